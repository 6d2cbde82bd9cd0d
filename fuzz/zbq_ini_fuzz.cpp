// ZBQ.ini on any bytes, as both programs read it: the settings tool's reading of its two
// sections, ZBQ's reading of the format-printing menu, and the tool's Save of what it read. The
// tool lists only entries it can write again, the Save reads back as the same list with nothing
// refused, and the written file stays in proportion to the one read.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/print_entries.h"
#include "platform/core/profile.h"
#include "settingstool/settings_file.h"

using namespace zbq;
using namespace zbq::settings;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ProfileFile profile(bytes);

    const std::vector<PrintMenuEntry> menu = app::readPrintEntries(profile, "/program");
    if (menu.size() > 99) std::abort();
    for (const PrintMenuEntry& entry : menu)
        if (entry.menuName.empty() || entry.formatFile.empty()) std::abort();

    const SettingsContent content = readSettings(profile);
    const std::vector<PrintFormatRow>& rows = content.table.rows();
    if (rows.size() + content.refused.size() > profile.entries(kPrintSection).size()) std::abort();
    for (const PrintFormatRow& row : rows)
        if (row.menuName.empty() || row.macroFile.empty() || !isStorableText(joinEntry(row)))
            std::abort();
    if (content.table.usedNumbers().size() != rows.size()) std::abort();

    ProfileFile saved = profile;
    if (!isStorableText(content.linkFolder)) std::abort();
    const std::string folder =
        content.linkFolder.empty() ? std::string("/link") : content.linkFolder;
    if (!writeSettings(saved, folder, rows)) std::abort();
    const std::string written = saved.bytes();
    if (written.size() > 2 * size + 64) std::abort();
    const ProfileFile again(written);
    const SettingsContent back = readSettings(again);
    if (!back.refused.empty() || back.table.rows() != rows || back.linkFolder != folder)
        std::abort();
    return 0;
}
