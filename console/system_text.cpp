#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/system_text.h"

#include "platform/core/cp932.h"

namespace {

// "%15s": right-aligned in 15 bytes, never cut.
std::string padded15(const std::string& text) {
    return text.size() >= 15 ? text : std::string(15 - text.size(), ' ') + text;
}

std::string bytes(std::uint64_t value) {
    // Grouped as the application groups every count; no machine has 2^63 bytes.
    return CKWApp::FormatInt64(static_cast<std::int64_t>(value));
}

}  // namespace

std::string systemText(const zbq::MemoryStatus& memory) {
    using zbq::cp932::literal;
    static const std::string notice = literal(" 表形式データの集計・分析システム");
    static const std::string physical = literal("  全メモリー  ");
    static const std::string virtualTotal = literal("  全仮想記憶  ");
    static const std::string unit = literal(" ﾊﾞｲﾄ");
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
