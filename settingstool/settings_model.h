// The settings tool's document: the path of ZBQ.ini, the link folder and the format-printing
// rows, with loading and saving. No widgets; the dialog shows it and turns clicks into calls.
//
// Texts are CP932; the path is UTF-8. Saving reads the file again and changes only the tool's two
// sections (settings_file.h), so edits made to ZBQ's own sections meanwhile are kept. When another
// program changed the tool's own two sections since the load, Save asks before it overwrites them
// (ChangedElsewhere), and so it does when the file is replaced or written between that reading
// and the rename that puts the new file in its place: just before the rename the file must still
// be the one read (its inode, size and change time). The file is replaced atomically, and a
// failure leaves the old file intact. A file the user may not write (read-only) is not replaced:
// the save fails with EACCES; nor is one that would pass the size any reader accepts (EFBIG).
// Not thread-safe.
#pragma once

#include "platform/core/profile.h"
#include "settingstool/print_format_table.h"
#include "settingstool/settings_file.h"

#include <functional>
#include <string>
#include <vector>

namespace zbq::settings {

class SettingsModel {
public:
    enum class LoadStatus { Loaded, Missing, Unreadable };
    struct LoadResult {
        LoadStatus status = LoadStatus::Loaded;
        int error = 0;                      // errno when Unreadable
        std::vector<RefusedEntry> refused;  // entries left out, in file order
        std::string refusedLinkFolder;      // a link folder left out (settings_file.h)
    };
    // Reads the file; the tool never creates it, so a missing file is an answer of its own. The
    // scratch files of a Save that was killed before its rename are removed from the folder.
    LoadResult load(const std::string& path);

    enum class SaveStatus { Saved, NoLinkFolder, ChangedElsewhere, Failed };
    struct SaveResult {
        SaveStatus status = SaveStatus::Saved;
        int error = 0;  // errno when Failed (EINVAL: a text the file cannot hold)
    };
    // Writes nothing at all without a link folder, nor when the file has gone (ENOENT), nor when
    // the new file would be too large to read again (EFBIG), nor, unless `overwrite`, when
    // [image] or [print] differ from what they held at the load or the last save
    // (ChangedElsewhere). With `overwrite` too, a file changed after this save read it and
    // before its rename is not overwritten (ChangedElsewhere): the caller asks again.
    SaveResult save(bool overwrite = false);

    // Runs in save() once the new file is written, just before the file read is checked again
    // and replaced: lets a test be the other program that writes in that moment.
    void setBeforeReplaceForTesting(std::function<void()> hook) {
        beforeReplace_ = std::move(hook);
    }

    const std::string& path() const { return path_; }
    const std::string& linkFolder() const { return linkFolder_; }
    void setLinkFolder(std::string cp932) { linkFolder_ = std::move(cp932); }
    PrintFormatTable& table() { return table_; }
    const PrintFormatTable& table() const { return table_; }

    bool canSave() const { return !linkFolder_.empty(); }
    bool canAdd() const { return table_.size() < kMaxRows; }

private:
    std::string path_;
    SettingsSections sections_;  // the tool's sections as last read or written
    std::string linkFolder_;
    PrintFormatTable table_;
    std::function<void()> beforeReplace_;
};

}  // namespace zbq::settings
