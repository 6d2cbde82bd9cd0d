#include "settingstool/settings_file.h"

#include "settingstool/string_ids.h"

#include <filesystem>

namespace zbq::settings {

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
    // The rows are the entries of ZBQ's menu, read by ZBQ's own reader, so that a Save without
    // an edit shows ZBQ the same menu; what the menu leaves out is refused here and reported.
    PrintSection section = readPrintSection(profile);
    for (PrintEntry& entry : section.entries)
        content.table.append(
            {std::move(entry.number), std::move(entry.menuName), std::move(entry.file)});
    for (RefusedPrintEntry& entry : section.refused)
        content.refused.push_back({entry.reason == RefusedPrintEntry::Reason::DuplicateNumber
                                       ? ids::DuplicateEntry
                                       : ids::InvalidEntry,
                                   std::move(entry.key), std::move(entry.value)});
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
