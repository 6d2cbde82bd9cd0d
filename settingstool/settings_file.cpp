#include "settingstool/settings_file.h"

#include "settingstool/string_ids.h"

#include <filesystem>
#include <unordered_map>

namespace zbq::settings {

std::string printKey(int position) {
    std::string key = "prt";
    if (position < 10) key += '0';
    key += decimalText(position);
    return key;
}

bool splitEntry(std::string_view value, PrintFormatRow& row) {
    // A comma (0x2C) is never the trail byte of a two-byte CP932 character.
    const std::size_t first = value.find(',');
    if (first == std::string_view::npos) return false;
    const std::size_t second = value.find(',', first + 1);
    if (second == std::string_view::npos || second + 1 == value.size()) return false;
    row.number = std::string(value.substr(0, first));
    row.menuName = std::string(value.substr(first + 1, second - first - 1));
    row.macroFile = std::string(value.substr(second + 1));
    return true;
}

std::string joinEntry(const PrintFormatRow& row) {
    std::string value;
    value.reserve(row.number.size() + row.menuName.size() + row.macroFile.size() + 2);
    value += row.number;
    value += ',';
    value += row.menuName;
    value += ',';
    value += row.macroFile;
    return value;
}

std::string macroFileName(const std::string& chosenPath, const std::string& programFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // The folder as the program finds itself and the chooser's path may differ by a symbolic link.
    fs::path chosen = fs::weakly_canonical(fs::absolute(chosenPath, ec), ec);
    if (ec) chosen = fs::path(chosenPath).lexically_normal();
    fs::path folder = fs::weakly_canonical(fs::absolute(programFolder, ec), ec);
    if (ec) folder = fs::path(programFolder).lexically_normal();
    const fs::path relative = chosen.lexically_relative(folder);
    if (relative.empty() || *relative.begin() == ".." || relative == ".") return chosen.string();
    return relative.string();
}

bool isStorableText(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

SettingsContent readSettings(const ProfileFile& profile) {
    SettingsContent content;
    content.linkFolder = profile.getString(kImageSection, kPathKey);
    if (!isStorableText(content.linkFolder)) {
        content.refusedLinkFolder = std::move(content.linkFolder);
        content.linkFolder.clear();
    }
    std::unordered_map<std::string, std::string> values;  // folded key -> value
    for (ProfileFile::Entry& entry : profile.entries(kPrintSection))
        values.emplace(profileFoldedName(entry.key), std::move(entry.value));
    // As ZBQ reads them: a gap before prt99 is skipped, so that a Save never drops an entry
    // that ZBQ shows. Past prt99 the walk goes on while keys follow, so that a longer list is
    // kept rather than cut at the save.
    for (int position = 1;; ++position) {
        std::string key = printKey(position);
        const auto found = values.find(key);
        if (found == values.end() || found->second.empty()) {
            if (position <= kLastNumber) continue;
            break;
        }
        std::string& value = found->second;
        PrintFormatRow row;
        if (!isStorableText(value) || !splitEntry(value, row) || row.menuName.empty())
            content.refused.push_back({ids::InvalidEntry, std::move(key), std::move(value)});
        else if (!content.table.append(std::move(row)))
            content.refused.push_back({ids::DuplicateEntry, std::move(key), std::move(value)});
    }
    return content;
}

SettingsSections sectionsOf(const ProfileFile& profile) {
    return {profile.entries(kImageSection), profile.entries(kPrintSection)};
}

bool writeSettings(ProfileFile& profile, std::string_view linkFolder,
                   const std::vector<PrintFormatRow>& rows) {
    // Keys are rewritten where they stand and only the ones left over are deleted, so that the
    // section keeps its place and its comments, and a save without changes changes no byte.
    ProfileFile updated = profile;
    std::vector<ProfileFile::Entry> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keys.push_back({printKey(static_cast<int>(i) + 1), joinEntry(rows[i])});
    if (!updated.setString(kImageSection, kPathKey, linkFolder) ||
        !updated.setSectionKeys(kPrintSection, keys))
        return false;
    profile = std::move(updated);
    return true;
}

}  // namespace zbq::settings
