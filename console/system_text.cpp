#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/system_text.h"

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/shown_bytes.h"

namespace {

// "%15s": right-aligned in 15 bytes, never cut.
std::string padded15(const std::string& text) {
    return text.size() >= 15 ? text : std::string(15 - text.size(), ' ') + text;
}

std::string bytes(std::uint64_t value) {
    // Grouped as the application groups every count; no machine has 2^63 bytes.
    return CKWApp::FormatInt64(static_cast<std::int64_t>(value));
}

// A label of the text in the language in force, as CP932 bytes like the rest of it.
std::string shownLabel(const char* japanese) {
    return zbq::ui::shownBytes(zbq::cp932::literal(japanese));
}

}  // namespace

std::string systemText(const zbq::MemoryStatus& memory) {
    // The two memory labels are as wide as each other in either language, so the figures line up.
    const std::string notice = shownLabel(ZBQ_SHOWN(" 表形式データの集計・分析システム"));
    const std::string physical = shownLabel(ZBQ_SHOWN("  全メモリー  "));
    const std::string virtualTotal = shownLabel(ZBQ_SHOWN("  全仮想記憶  "));
    const std::string unit = shownLabel(ZBQ_SHOWN(" ﾊﾞｲﾄ"));
    std::string text;
    text += std::string(" ") + kProductName + " " + kProductVersion + "\r\n";
    text += "\r\n";
    text += notice + "\r\n";
    text += std::string(36, '-') + "\r\n";
    text += "\r\n";
    text += physical + padded15(bytes(memory.totalPhysical)) + unit + "\r\n";
    text += virtualTotal + padded15(bytes(memory.totalVirtual)) + unit + "\r\n";
    return text;
}
