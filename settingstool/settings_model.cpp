#include "settingstool/settings_model.h"

#include "platform/core/atomic_file.h"
#include "platform/core/folders.h"
#include "platform/core/temp_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zbq::settings {

namespace {

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Whether `path` still names the file that was read as `read`: replaced (another inode), written
// (another size or change time; the change time is one no program can set back) or removed all
// tell another program's hand.
bool sameFile(const std::string& path, const struct stat& read) {
    struct stat now;
    return ::stat(path.c_str(), &now) == 0 && now.st_dev == read.st_dev &&
           now.st_ino == read.st_ino && now.st_size == read.st_size &&
           now.st_ctim.tv_sec == read.st_ctim.tv_sec && now.st_ctim.tv_nsec == read.st_ctim.tv_nsec;
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
    // A Save killed before its rename left its scratch file beside ZBQ.ini: a new start clears it.
    removeStaleTempFiles(parentFolder(path));
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
    const auto fail = [&result](int error) {
        result.status = SaveStatus::Failed;
        result.error = error;
        return result;
    };
    if (linkFolder_.empty()) {
        result.status = SaveStatus::NoLinkFolder;
        return result;
    }
    // The file as it is now, so that a hand edit of ZBQ's own sections since the start survives.
    // The tool never creates the file: one that vanished meanwhile stays gone.
    if (!fileExists(path_)) return fail(ENOENT);
    ProfileFile profile;
    struct stat read {};
    if (!ProfileFile::load(path_, profile, &result.error, &read)) return fail(result.error);
    if (!overwrite && sectionsOf(profile) != sections_) {
        result.status = SaveStatus::ChangedElsewhere;
        return result;
    }
    if (!writeSettings(profile, linkFolder_, table_.rows())) return fail(EINVAL);
    const std::string bytes = profile.bytes();
    // A file neither the tool nor ZBQ would read again is no save at all.
    if (bytes.size() > ProfileFile::kMaxBytes) return fail(EFBIG);

    AtomicFile file(path_);
    if (!file.open() || !file.write(bytes)) return fail(file.error());
    // Flushed here, so that the commit below has little left to do between the check and the
    // rename: the moment in which another program's write would be lost stays as short as it
    // can be.
    if (::fdatasync(file.fd()) != 0) {
        const int error = errno;
        file.discard();
        return fail(error);
    }
    if (beforeReplace_) beforeReplace_();
    if (!sameFile(path_, read)) {
        file.discard();
        result.status = SaveStatus::ChangedElsewhere;
        return result;
    }
    if (!file.commit()) return fail(file.error());
    sections_ = sectionsOf(profile);
    return result;
}

}  // namespace zbq::settings
