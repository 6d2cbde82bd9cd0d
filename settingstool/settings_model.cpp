#include "settingstool/settings_model.h"

#include <sys/stat.h>
#include <cerrno>

namespace zbq::settings {

namespace {

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

SettingsModel::LoadResult SettingsModel::load(const std::string& path) {
    LoadResult result;
    path_ = path;
    if (!fileExists(path)) {
        result.status = LoadStatus::Missing;
        return result;
    }
    ProfileFile profile;
    if (!ProfileFile::load(path, profile, &result.error)) {
        result.status = LoadStatus::Unreadable;
        return result;
    }
    SettingsContent content = readSettings(profile);
    sections_ = sectionsOf(profile);
    linkFolder_ = std::move(content.linkFolder);
    table_ = std::move(content.table);
    result.refused = std::move(content.refused);
    result.refusedLinkFolder = std::move(content.refusedLinkFolder);
    return result;
}

SettingsModel::SaveResult SettingsModel::save(bool overwrite) {
    SaveResult result;
    if (linkFolder_.empty()) {
        result.status = SaveStatus::NoLinkFolder;
        return result;
    }
    // The file as it is now, so that a hand edit of ZBQ's own sections since the start survives.
    // The tool never creates the file: one that vanished meanwhile stays gone.
    if (!fileExists(path_)) {
        result.status = SaveStatus::Failed;
        result.error = ENOENT;
        return result;
    }
    ProfileFile profile;
    if (!ProfileFile::load(path_, profile, &result.error)) {
        result.status = SaveStatus::Failed;
        return result;
    }
    if (!overwrite && sectionsOf(profile) != sections_) {
        result.status = SaveStatus::ChangedElsewhere;
        return result;
    }
    if (!writeSettings(profile, linkFolder_, table_.rows())) {
        result.status = SaveStatus::Failed;
        result.error = EINVAL;
        return result;
    }
    if (!profile.save(path_, &result.error)) {
        result.status = SaveStatus::Failed;
        return result;
    }
    sections_ = sectionsOf(profile);
    return result;
}

}  // namespace zbq::settings
