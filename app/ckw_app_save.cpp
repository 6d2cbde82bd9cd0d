// CKWApp, saving a data set: all records or only the displayed set, with the settings blob, the
// password and the macro file beside it.
//
// The new data file (records, blob, password) and the new macro file are both made complete in
// temporaries beside their targets before either replaces anything; the macro file is put in
// place first, because its old one can be put back from ".bak", and the data file renamed over
// its target last. A failure before that rename leaves the old files, the working file and the
// application's state as they were and names the file that could not be written; the working
// file a save from a definition or an addition takes over is removed only after it. The blob is
// scrambled when the file being written has a version of 120 or more, whatever the loaded
// file's version.
//
// All records are copied from the working file held open since it was loaded (held_data_file.h),
// never from whatever lies at its name now; a held file changed in place since is refused, and
// once a save has put a new working file in place, that file is the one held.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/ckw_app.h"
#include "app/password_dlg.h"
#include "app/shown_message.h"
#include "app/temp_names.h"
#include "platform/core/cp932.h"
#include "platform/core/fd_io.h"
#include "platform/core/shown_text.h"
#include "platform/core/temp_file.h"
#include "platform/ui/termination.h"

namespace {

// clang-format off
constexpr const char* kWriteFailure = ZBQ_SHOWN("ファイルの書出しに失敗しました。\n[%1]");
constexpr const char* kSubsetOverWorking = ZBQ_SHOWN("ファイルの書出しに失敗しました。\n[%1]\n作業中のZBQファイルを表示中の集合データだけで置き換えることはできません。");
constexpr const char* kSaved = ZBQ_SHOWN("ZBQﾌｧｲﾙ[%1]\nMCRﾌｧｲﾙ[%2]\nを作成しました");
constexpr const char* kKept = ZBQ_SHOWN("\n読込めなかった元のMCRファイルは[%1]に残しました");
constexpr const char* kLoadedChanged = ZBQ_SHOWN("ファイルの書出しに失敗しました。\n[%1]\n読込んだ後にZBQファイル[%2]が変更されたため、読込んだデータを書き出せません。");
// clang-format on
constexpr std::int32_t kScrambledVersion = 120;
constexpr char kMagic[8] = {'Q', 'R', 'N', ' ', 'Z', 'B', 'Q', ' '};

// Ordinals of the fault hook: before each write of a save, and once when all are done.
enum SaveWrite : int {
    kWriteRecords,
    kWriteBlob,
    kWritePassword,
    kWriteMacroFile,
    kPlaceMacroFile,
    kRenameOverTarget,
    kRemoveWorkingFile,
    kSaveDone,
};

// The format version of a data file on disk (the head's word at offset 8); -1 when unreadable.
std::int32_t fileVersion(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    unsigned char head[12];
    const bool read = ::pread(fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head);
    ::close(fd);
    if (!read || std::memcmp(head, kMagic, sizeof kMagic) != 0) return -1;
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(head[8]) | static_cast<std::uint32_t>(head[9]) << 8 |
        static_cast<std::uint32_t>(head[10]) << 16 | static_cast<std::uint32_t>(head[11]) << 24);
}

// Appends the first `size` bytes of the file open at `in` to `fd`, through the program's one
// write path; false also when the file has fewer.
bool copyInto(int in, std::int64_t size, int fd) {
    std::vector<char> buffer(1 << 20);
    for (std::int64_t at = 0; at < size;) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(size - at, static_cast<std::int64_t>(buffer.size())));
        const ssize_t n = ::pread(in, buffer.data(), want, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        if (!zbq::writeAll(fd, buffer.data(), static_cast<std::size_t>(n))) return false;
        at += n;
    }
    return true;
}

void syncFolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The macro file belonging to a data file: its ".zbq" ending replaced, or ".mcr" added to a
// name without one.
std::string macroPathFor(const std::string& dataPath) {
    if (dataPath.size() >= 4 &&
        zbq::cp932::equalsNoCase(dataPath.substr(dataPath.size() - 4), ".zbq"))
        return dataPath.substr(0, dataPath.size() - 4) + ".mcr";
    return dataPath + ".mcr";
}

}  // namespace

void CKWApp::ShowWriteFailure(const std::string& path) const {
    ShowError(zbq::app::shownMessage(kWriteFailure, {path}));
}

std::int32_t CKWApp::SaveDataAndMacro(std::string_view password, std::int32_t ask) {
    // The password dialog and the engine steps let other actions in: a second save, or one
    // while a load or an aggregation is under way, would write from a state half made.
    if (!loaded_ || busy_ || saving_ || search_.MolapCancelFlag().running()) {
        ShowInformation("データがロードされるまでお待ちください");
        return 0;
    }
    saving_ = true;
    struct EndSaving {
        bool& saving;
        ~EndSaving() { saving = false; }
    } endSaving{saving_};

    const bool recording = macro_->isRecording() && !macro_->isPlaying();
    const bool variable = recording && macro_->isVariable();
    std::string recordedPath;
    if (recording) {
        // A path the macro file cannot hold is asked for again when the step plays.
        const std::optional<std::string> stored = zbq::cp932::pathToStored(savePath_);
        recordedPath = variable || !stored ? "???" : *stored;
    }

    if (ask != 0)
        savePassword_ = askSavePassword(windows().mainWindow()).value_or(std::string());
    else
        savePassword_ = std::string(password);
    // A password never stands in a macro file: the step asks for it when it plays.
    const std::string recordedPassword = variable || !savePassword_.empty() ? "???" : "";

    const auto endProgress = [this] {
        StopProgress();
        SetStatusText("");
        if (busy_) {
            SetStatusText(zbq::cp932::literal(ZBQ_SHOWN("読込み中")));
            StartProgress();
        }
    };
    const auto fail = [&](const std::string* failedPath) {
        endProgress();
        if (failedPath) ShowWriteFailure(*failedPath);
        return 0;
    };
    const auto fault = [this](int write) {
        if (saveFaultHook_) saveFaultHook_(write);
    };

    SetStatusText(zbq::cp932::literal(ZBQ_SHOWN("書き込み中")));
    StartProgress();

    // What the new file is made from: the working file for all records, the current map for
    // the displayed set.
    const std::string* const current = loadMode_ == 1   ? &tempDataFile_
                                       : loadMode_ == 2 ? &dataFilePath_
                                       : loadMode_ == 3 ? &tempMergeFile_
                                                        : nullptr;
    if (!current || (saveMode_ != 1 && saveMode_ != 2)) return fail(nullptr);
    std::string working;
    if (saveMode_ == 1) working = *current;

    std::optional<std::string> blob = BuildSettingsBlob();
    if (!blob) return 0;
    if (saveMode_ == 2) {
        // The displayed set alone: it becomes the file's set 0, with no display list.
        const SetRecord shown = displayedSet();
        SettingsBlock& block = *Block();
        block.displayItems.clear();
        block.nextSetNo = 1;
        block.markedSetNo = 0;
        block.sets = {SettingsBlock::Set{0, 0, shown.text1, shown.text2, 0}};
        block.maps.clear();
        std::string out;
        if (WriteSettingsBlob(out) != static_cast<std::int32_t>(GetSettingsBlobSize())) {
            FreeSettingsBlock();
            endProgress();
            ShowError("内部データの取得に失敗しました");
            return 0;
        }
        blob = std::move(out);
    }
    FreeSettingsBlock();

    // Through a symbolic link the file it names is replaced and the link kept; a link that
    // names nothing is refused rather than replaced by a file.
    std::string target;
    if (savePath_.empty() || !zbq::resolveWriteTarget(savePath_, target)) return fail(&savePath_);
    // A file the user made read-only is not replaced behind that permission; a folder or
    // device at the target's place is no file to replace at all.
    struct stat targetStat {};
    const bool targetExists = ::stat(target.c_str(), &targetStat) == 0;
    if (targetExists && (!S_ISREG(targetStat.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return fail(&savePath_);
    const bool targetIsWorking =
        saveMode_ == 1 && loadMode_ != 2 && zbq::app::sameFile(working, savePath_);
    // The displayed set alone never replaces the file the program works on: the file would lose
    // the other records while the program still shows them, and the next save of all records
    // would copy the shortened file.
    if (saveMode_ == 2 && targetExists && zbq::app::sameFile(*current, savePath_)) {
        endProgress();
        ShowError(zbq::app::shownMessage(kSubsetOverWorking, {savePath_}));
        return 0;
    }

    // All records are the loaded bytes, held since the load: another program's file renamed
    // over the name since is not this session's data. Bytes changed in place are lost to it,
    // and nothing is written.
    const auto loadedChanged = [&] {
        endProgress();
        ShowError(zbq::app::shownMessage(kLoadedChanged, {savePath_, working}));
        return 0;
    };
    if (saveMode_ == 1 && (!held_.held() || !held_.unchanged())) return loadedChanged();
    // A save of all records over the loaded file itself leaves the session on the new file.
    const bool overLoaded = saveMode_ == 1 && loadMode_ == 2 && targetExists &&
                            zbq::app::sameFile(dataFilePath_, savePath_);

    // From here until the temporaries beside the targets are renamed or removed, a signal to
    // end the program waits: ended in between, it would leave them beside the user's files.
    std::optional<zbq::TerminationHold> hold;
    hold.emplace();
    std::unique_ptr<MacroFileWrite> macroFile;

    // The new data file, whole in a temporary beside the target.
    fault(kWriteRecords);
    std::string temp;
    const int fd = zbq::createTempFile(target, temp);
    if (fd < 0) {
        hold.reset();
        return fail(&savePath_);
    }
    bool written;
    if (saveMode_ == 1) {
        written = copyInto(held_.fd(), held_.size(), fd) && ::fsync(fd) == 0;
        written = ::close(fd) == 0 && written;
    } else {
        ::close(fd);
        written = KWmapSave(temp) >= 0;
    }
    int savedFd = -1;  // the new file, held once it is in place
    const auto discard = [&](const std::string* failedPath) {
        macroFile.reset();
        if (savedFd >= 0) ::close(savedFd);
        ::unlink(temp.c_str());
        hold.reset();
        return fail(failedPath);
    };
    if (saveMode_ == 1 && !held_.unchanged()) {  // changed while it was copied
        ::unlink(temp.c_str());
        hold.reset();
        return loadedChanged();
    }
    if (!written) return discard(&savePath_);

    fault(kWriteBlob);
    if (fileVersion(temp) >= kScrambledVersion)
        ScrambleBlob(blob->data(), static_cast<std::int32_t>(blob->size()));
    if (KWwriteBlob(temp, *blob) < 0) return discard(&savePath_);

    fault(kWritePassword);
    // An empty password removes one the copied file carried; a refused one fails the save.
    if (KWpwdSet(temp, savePassword_) < 0) return discard(nullptr);

    // The new macro file, whole beside its target too, before either file replaces anything.
    fault(kWriteMacroFile);
    const std::string macroPath = macroPathFor(savePath_);
    macroFile = macro_->PrepareMacroFile(macroPath);
    if (!macroFile) return discard(nullptr);

    // The macro file goes in first: its old one is kept as ".bak" and can be put back, while
    // an old data file is gone once the new one is renamed over it.
    fault(kPlaceMacroFile);
    if (!macroFile->commit()) return discard(nullptr);
    fault(kRenameOverTarget);
    const mode_t mode = targetExists ? (targetStat.st_mode & 07777) : 0644;
    const bool worksOnSaved = saveMode_ == 1 && (loadMode_ != 2 || overLoaded);
    if (worksOnSaved) savedFd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if ((worksOnSaved && savedFd < 0) || ::chmod(temp.c_str(), mode) != 0 ||
        ::rename(temp.c_str(), target.c_str()) != 0) {
        macroFile->undo();
        return discard(&savePath_);
    }
    syncFolderOf(target);
    hold.reset();

    // Both files are in place: the save is done.
    AddSavedPath(savePath_);
    macroFilePath_ = macroPath;
    if (worksOnSaved) {
        held_.adopt(savedFd, savePath_);
        savedFd = -1;
    }
    // From a definition or an addition, the saved file is now the one the program works on.
    if (saveMode_ == 1 && loadMode_ != 2) {
        loadMode_ = 2;
        dataFilePath_ = savePath_;
        fault(kRemoveWorkingFile);
        if (!targetIsWorking) ::unlink(working.c_str());
    }

    endProgress();
    std::string message = zbq::app::shownMessage(kSaved, {savePath_, macroFilePath_});
    if (const std::string kept = macroFile->keptFile(); !kept.empty())
        message += zbq::app::shownMessage(kKept, {kept});
    ShowInformation(message);
    if (recording)
        Record(StepBuilder("SaveZbw")
                   .text(recordedPath)
                   .text(recordedPassword)
                   .number(saveMode_ == 1 ? 0 : 1));
    fault(kSaveDone);
    return 1;
}

SetRecord CKWApp::displayedSet() const {
    const std::int32_t marked = GetCurrentSetNo();
    for (const SetRecord& set : sets_)
        if (set.number == marked) return set;
    // Without a set tree to ask, the set whose map the engine holds is the one shown.
    if (const KW_mapPtr current = search_.KWmapGet())
        for (const SetRecord& set : sets_)
            if (set.map && (set.map == current || *set.map == *current)) return set;
    return sets_.empty() ? SetRecord{} : sets_.front();
}
