// CKWApp, start-up and shutdown: the road from the program's arguments to a loaded data set
// with the console filled and the frame maximised, and back out again. Every refusal on the
// road tells the user and returns false before the event loop; shutdown leaves nothing behind
// in temp/ but the files the user saved to, and a start removes what killed runs left there.
#include "app/ckw_app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStringList>

#include <algorithm>
#include <thread>

#include "app/print_entries.h"
#include "app/shown_message.h"
#include "app/startup_input.h"
#include "app/temp_names.h"
#include "engine/kw_error.h"
#include "platform/core/cp932.h"
#include "platform/core/profile.h"
#include "platform/core/program_paths.h"
#include "platform/core/shown_text.h"
#include "platform/core/temp_file.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"
#include "platform/ui/spreadsheet_probe.h"

namespace {

using zbq::app::InputChoice;
using zbq::app::InputKind;

constexpr char kAutoOpen[] = "auto_open";
constexpr char kWriteFailure[] = ZBQ_SHOWN("ファイルの書出しに失敗しました。\n%1");

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void removeFile(const std::string& path) {
    if (!path.empty()) ::unlink(path.c_str());
}

std::vector<std::string> toPaths(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& path : list)
        out.push_back(path.toStdString());
    return out;
}

// The open dialog of a start-up without a file argument: only data files without a spreadsheet
// program, else data files and workbooks, several at once. nullopt when cancelled.
std::optional<std::vector<std::string>> askForInput(bool importPossible) {
    zbq::ui::Chooser chooser;
    if (!importPossible) {
        chooser.kind = zbq::ui::ChooserKind::OpenFile;
        chooser.filter = zbq::ui::shown("ZBQﾌｧｲﾙ (*.zbq)");
        std::optional<QString> file = zbq::ui::prompts().choose(nullptr, chooser);
        if (!file) return std::nullopt;
        return std::vector<std::string>{file->toStdString()};
    }
    chooser.kind = zbq::ui::ChooserKind::OpenFiles;
    chooser.filter = zbq::ui::shown(
        "ZBQファイル (*.zbq);;Excelファイル (*.xls *.xlsx);;テキストファイル (*.txt)");
    std::optional<QStringList> files = zbq::ui::prompts().chooseFiles(nullptr, chooser);
    if (!files) return std::nullopt;
    return toPaths(*files);
}

}  // namespace

bool CKWApp::InitInstance(const std::vector<std::string>& arguments) {
    for (std::uint8_t& flag : flags_)
        flag = 0;
    loaded_ = 0;
    busy_ = 0;

    // Without a spreadsheet program nothing is exported to one and nothing imported from one.
    excelPath_ = zbq::ui::spreadsheetProgram();
    if (excelPath_.empty())
        zbq::ui::prompts().message(
            nullptr,
            QString::fromUtf8(
                ZBQ_SHOWN("エクセルがインストールされていないため、エクセルへの出力はできません")),
            QString::fromUtf8(kCaption), zbq::ui::Icon::Exclamation);

    if (programDir_.empty()) programDir_ = zbq::programDir();
    if (programDir_.empty()) {
        ShowError("カレントモジュール名の取得に失敗しました");
        return false;
    }

    graphOutput_ = 0;
    CheckGraphControl();

    // The input. Workbooks and text files are read without a spreadsheet program.
    const bool importPossible = true;
    InputChoice choice;
    if (!arguments.empty() && !arguments.front().empty()) {
        choice = zbq::app::inputFromCommandLine(arguments.front());
    } else {
        std::optional<std::vector<std::string>> files = askForInput(importPossible);
        if (!files) {
            windows().CloseWithoutAsking();
            return false;
        }
        choice = zbq::app::inputFromDialog(*files, importPossible);
    }
    if (!choice.accepted) {
        ShowError(choice.refusal);
        if (choice.closeFrame) windows().CloseWithoutAsking();
        return false;
    }

    // The temporary names, claimed so that no other run shares them; what killed runs left
    // behind goes first. A run that cannot claim its own names would write into files it does
    // not own, so it does not start. Claimed before an import, which writes its definition and
    // text data under the run's names, so that a kill during it leaves nothing a start keeps.
    const std::string tempDir = programDir_ + "/temp";
    ::mkdir(tempDir.c_str(), 0755);
    zbq::app::removeAbandonedTemps(tempDir);
    zbq::removeStaleTempFiles(tempDir);  // a build's scratch files, should it have been killed
    const auto now = Now();
    zbq::app::TempClaim claim = zbq::app::claimTempNames(tempDir, zbq::app::startupStamp(now));
    if (!claim.claimed()) {
        ShowError(zbq::app::shownMessage(kWriteFailure, {claim.failedPath}));
        windows().CloseWithoutAsking();
        return false;
    }
    tempLock_ = std::move(claim.lock);
    tempDataFile_ = claim.names.data;
    tempAddFile_ = claim.names.add;
    tempMergeFile_ = claim.names.merge;
    graphTempPath_ = claim.names.graph;
    exportTempPath_ = claim.names.exports;

    std::string definition;
    switch (choice.kind) {
        case InputKind::DataFile:
            loadMode_ = 2;
            dataFilePath_ = choice.files.front();
            macroFilePath_ = zbq::app::withEnding(dataFilePath_, ".mcr");
            break;
        case InputKind::Definition:
            definition = choice.files.front();
            break;
        case InputKind::Excel:
        case InputKind::Text: {
            std::optional<std::string> written;
            if (importDialog_)
                written = importDialog_(
                    choice.kind == InputKind::Excel ? ImportKind::Excel : ImportKind::Text,
                    choice.files);
            if (!written || written->empty()) {
                windows().CloseWithoutAsking();
                return false;
            }
            definition = *written;
            generatedDefinition_ = definition;
            break;
        }
    }
    if (!definition.empty()) {
        loadMode_ = 1;
        definitionPath_ = definition;
        textDataPath_ = zbq::app::withEnding(definition, ".dat");
        macroFilePath_ = zbq::app::withEnding(definition, ".mcr");
    }

    ReadProfile();

    if (!windows().ShowConsole()) return false;
    SetStatusText(zbq::cp932::literal(ZBQ_SHOWN("読込み中")));
    StartProgress();

    // Each step that fails has told the user in its own words.
    auto failLoading = [this] {
        StopProgress();
        SetStatusText("");
        loaded_ = 1;
        return false;
    };

    KWsetLogDir(programDir_);
    if (loadMode_ == 1) {
        bool loaded = ReadDefinitionFile() && ParseDefinitionFile();
        if (loaded) {
            ActivateConsolePage(1);
            RebuildItemTree();
            PumpMessages();
            loaded = BuildDataFile();
            removeGeneratedDefinition();  // built from: no longer needed, however large
            loaded = loaded && OpenDataFile();
        }
        // The generated definition has served its purpose, whether the data set loaded or not.
        removeGeneratedDefinition();
        if (!loaded) return failLoading();
    } else {
        ActivateConsolePage(1);
        if (!OpenDataFile() || !ReadSettingsBlob() || !ParseDefinitionFile()) return failLoading();
        RebuildItemTree();
        PumpMessages();
    }

    if (!macro().ReadMacroFile(macroFilePath_)) return failLoading();
    RestoreDisplayList();
    if (!RestoreSets()) return failLoading();
    InitConditionItems();
    RestoreCategories();
    FreeSettingsBlock();

    RebuildSetTree();
    if (loadMode_ == 1) {
        MarkCurrentSet(0);
    } else {
        // A marked set the file no longer has leaves all records current, and set 0 marked.
        const bool known = std::any_of(sets_.begin(), sets_.end(), [this](const SetRecord& set) {
            return set.number == restoredSetNo_;
        });
        MarkCurrentSet(known ? restoredSetNo_ : 0);
        SelectRestoredSet();
    }

    RefreshOlapPages();
    AttachCategorySet();
    ShowItemSelControl1();
    if (loadMode_ == 2) {
        ShowItemSelControl2();
        RestoreDisplayListToTree();
    }

    windows().ShowMainWindowMaximized();
    StopProgress();
    SetStatusText("");
    loaded_ = 1;

    // A file saved with the displayed set alone carries no display list: the button's own
    // check tells the user, where a grid of no columns would open.
    if (loadMode_ == 2 && console().exists()) console().ShowData();
    KWsetLogDir(programDir_);

    const std::vector<std::string> names = macro().macroNames();
    if (std::find(names.begin(), names.end(), kAutoOpen) != names.end() &&
        AskYesNo(zbq::app::shownMessage(zbq::app::kRunMacroQuestion, {kAutoOpen}))) {
        ResetScreen();
        macro().RunAutoOpenMacro();
    }
    return true;
}

void CKWApp::ReadProfile() {
    imageDir_.clear();
    printMenu_.clear();
    const std::string path = programDir_ + "/ZBQ.ini";
    zbq::ProfileFile ini;
    if (!exists(path)) return;
    // A FIFO, a device or a huge file in its place is refused unread; the run goes on without it.
    if (!zbq::ProfileFile::load(path, ini)) {
        ShowError(zbq::app::shownMessage(ZBQ_SHOWN("設定ファイル[%1]を読み込めません。"), {path}));
        return;
    }
    if (const std::string dir = ini.getString("image", "Path"); !dir.empty())
        imageDir_ = zbq::cp932::pathFromStored(dir);
    printMenu_ = zbq::app::readPrintEntries(ini, programDir_);
    windows().BuildPrintMenu();
}

int CKWApp::ExitInstance() {
    // The aggregation's workers read the engine's tables: they end before the tables go.
    kw::MolapCancel& aggregation = search_.MolapCancelFlag();
    aggregation.cancel([this] { PumpMessages(); });
    while (aggregation.running()) {
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    search_.KWclose();
    held_.release();

    for (const std::string* temp : {&tempDataFile_, &tempAddFile_, &tempMergeFile_}) {
        if (temp->empty()) continue;
        const bool saved =
            std::any_of(savedPaths_.begin(), savedPaths_.end(),
                        [&](const std::string& path) { return zbq::app::sameFile(*temp, path); });
        if (!saved) removeFile(*temp);
    }
    removeFile(graphTempPath_);
    removeFile(exportTempPath_);
    removeGeneratedDefinition();
    // What an import or an addition of this run still had under its names.
    if (!tempDataFile_.empty()) {
        removeFile(zbq::app::withEnding(tempDataFile_, ".def"));
        removeFile(zbq::app::withEnding(tempDataFile_, ".dat"));
    }
    tempLock_.release();

    if (sets_.size() > 1) sets_.resize(1);
    FreeSettingsBlock();
    return 0;
}

void CKWApp::AddSavedPath(std::string path) {
    // Noted where a later start looks, should this run end without its shutdown.
    for (const std::string* temp : {&tempDataFile_, &tempAddFile_, &tempMergeFile_})
        if (!temp->empty() && zbq::app::sameFile(*temp, path)) tempLock_.keep(*temp);
    savedPaths_.push_back(std::move(path));
}

void CKWApp::removeGeneratedDefinition() {
    if (generatedDefinition_.empty()) return;
    removeFile(generatedDefinition_);
    removeFile(zbq::app::withEnding(generatedDefinition_, ".dat"));
    generatedDefinition_.clear();
}
