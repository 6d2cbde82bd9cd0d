// The two sections of ZBQ.ini that the settings tool owns: [image] path, the link folder, and
// [print] prt01, prt02, ..., the format-printing entries "number,menu name,macro file".
//
// Reading takes what ZBQ's menu shows, through the one reader both programs use
// (platform/core/print_section.h): an entry the menu leaves out as malformed, or under a key the
// menu never reads (past prt99, another name), is refused (10017), one whose number an earlier
// entry has is refused (10018); both are reported with the key and value and vanish at the next
// save. Writing changes only these two sections: [image] path in place, and the keys of [print]:
// prt01 to prtNN for the rows in order, each rewritten where it stands (new ones after the last
// key), every other key of the section deleted; comments stay.
// Everything else stays byte for byte (platform/core/profile.h).
// All texts are CP932.
#pragma once

#include "platform/core/print_section.h"
#include "platform/core/profile.h"
#include "settingstool/print_format_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace zbq::settings {

inline constexpr std::string_view kImageSection = "image";
inline constexpr std::string_view kPathKey = "path";
using zbq::kPrintSection;
using zbq::printKey;

// A refused entry: the message number (ids::InvalidEntry or ids::DuplicateEntry), key and value.
struct RefusedEntry {
    int message = 0;
    std::string key;
    std::string value;
    bool operator==(const RefusedEntry&) const = default;
};

struct SettingsContent {
    std::string linkFolder;
    PrintFormatTable table;
    std::vector<RefusedEntry> refused;
    // A link folder the file could not hold again (a NUL or a lone CR): left out, so that the
    // user chooses one before a Save, and shown with 10045.
    std::string refusedLinkFolder;
};

SettingsContent readSettings(const ProfileFile& profile);

// What the tool's two sections hold, as reading gives them: Save compares it with what it held at
// load to tell another program's change.
struct SettingsSections {
    std::vector<ProfileFile::Entry> image;
    std::vector<ProfileFile::Entry> print;
    bool operator==(const SettingsSections&) const = default;
};
SettingsSections sectionsOf(const ProfileFile& profile);

// The value written for a row: its three texts joined by commas.
std::string joinEntry(const PrintFormatRow& row);

// The macro file of an entry as the entry names it (UTF-8): relative to the program folder when
// the chosen file lies under it, so that the two can move together, else its absolute path. ZBQ
// resolves a relative name against its program folder and takes an absolute one as it stands.
std::string macroFileName(const std::string& chosenPath, const std::string& programFolder);

// True when a text can stand in a value of the file (it holds no line break and no NUL).
bool isStorableText(std::string_view text);

// False when the profile cannot hold a text (a line break in it); the profile is then unchanged.
bool writeSettings(ProfileFile& profile, std::string_view linkFolder,
                   const std::vector<PrintFormatRow>& rows);

}  // namespace zbq::settings
