// CKWApp: ZBQ's application object. One instance for the whole run (made by main, or by a
// test), reached through KWApp(). It owns the loaded data set (the engines KW_search and
// KW_create), the data set's structure definition and definition text, and all state the windows
// share: display and grid items, record sets with the next set number, search conditions,
// categories, the cross-tab settings block, the paths of the run, the flags. Windows keep no
// copy of it; they ask here.
//
// It creates no widget. The console, the main frame's windows and the macro object are reached
// through three ports (console_port.h, window_port.h, macro_port.h) whose null implementations
// stand until the real ones are installed, so the whole core runs and is tested headless.
// Message boxes go through the Prompts service (caption "ZEBRINE").
//
// Conventions: application-level operations return 1 for success and 0 for failure, the user
// having been told; engine wrappers return the engine's result. Texts are CP932 bytes, paths
// UTF-8. Numbers ignore the locale. User-interface thread only.
//
// The code is split by concern: ckw_app.cpp (state, ports, engine host), ckw_app_definition.cpp
// (definition file and parser), ckw_app_blob.cpp (settings blob), ckw_app_restore.cpp (restoring
// state after a load), ckw_app_engine.cpp (engine wrappers), ckw_app_format.cpp (number, date,
// time texts and the vocabulary of types, aggregates and classes), ckw_app_services.cpp (console
// forwarders, open windows, spreadsheet program, graph control check, timing).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/console_port.h"
#include "app/definition_text.h"
#include "app/held_data_file.h"
#include "app/macro_port.h"
#include "app/settings_block.h"
#include "app/shared_records.h"
#include "app/struct_def.h"
#include "app/temp_names.h"
#include "app/window_port.h"
#include "engine/kw_create.h"
#include "engine/kw_search.h"
#include "platform/core/engine_host.h"

class QWidget;

// Flags an action raises around another action it runs itself, so that the inner action records
// no step of its own.
enum class Suppress : std::uint8_t {
    CloseOne,  // the window list closes one window; a drill-through adds its result set
    CloseAll,  // the window list closes all windows
    ItemTree,  // the item tree expands itself
    SetTree,   // the set tree deletes, combines or adds sets
    Filter,    // the filter dialog stores a condition
    States,    // the window list or the frame changes windows' states, recording its own step
};

// A cross-tab cell, so that no caller can swap X and Y.
struct CrossCell {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class CKWApp : public zbq::EngineHost {
public:
    // The product caption of every message box.
    static constexpr const char* kCaption = "ZEBRINE";

    CKWApp();
    ~CKWApp() override;
    CKWApp(const CKWApp&) = delete;
    CKWApp& operator=(const CKWApp&) = delete;

    // --- Ports (ckw_app.cpp); not owned, null restores the null port ---
    void SetConsolePort(ConsolePort* port);
    void SetWindowPort(WindowPort* port);
    void SetMacroPort(MacroPort* port);
    ConsolePort& console() const { return *console_; }
    WindowPort& windows() const { return *windows_; }
    MacroPort& macro() const { return *macro_; }
    // Records a step when recording is on and no macro plays.
    void Record(const StepBuilder& step);
    // The same, in place of the last recorded step when that one begins with `lastPrefix`.
    void RecordReplacingLast(const StepBuilder& step, std::string_view lastPrefix);

    // --- Engine host (ckw_app.cpp) ---
    void setStatusText(std::string_view text) override { SetStatusText(text); }
    void pumpMessages() override { PumpMessages(); }
    // [MEMORY] MemoryReadCsvSize of ZBQ.ini in the program directory.
    int memoryReadCsvSizeMb() override;

    KW_search& Search() { return search_; }
    const KW_search& Search() const { return search_; }
    KW_create& Creator() { return create_; }

    // --- Suppression flags (ckw_app.cpp) ---
    bool IsSuppressed(Suppress flag) const { return flags_[static_cast<int>(flag)] != 0; }
    // Raises a flag for its lifetime and restores the previous value.
    class SuppressGuard {
    public:
        SuppressGuard(CKWApp& app, Suppress flag);
        ~SuppressGuard();
        SuppressGuard(const SuppressGuard&) = delete;
        SuppressGuard& operator=(const SuppressGuard&) = delete;

    private:
        CKWApp& app_;
        Suppress flag_;
        std::uint8_t previous_;
    };

    // --- Paths and modes ---
    const std::string& GetProgramDir() const { return programDir_; }
    void SetProgramDir(std::string dir) { programDir_ = std::move(dir); }
    // 0 undecided, 1 definition file with text data, 2 data file, 3 data added.
    std::int32_t GetLoadMode() const { return loadMode_; }
    void SetLoadMode(std::int32_t mode) { loadMode_ = mode; }
    // 1 all records, 2 the records of the displayed set.
    std::int32_t GetSaveMode() const { return saveMode_; }
    void SetSaveMode(std::int32_t mode) { saveMode_ = mode; }
    const std::string& GetDefinitionPath() const { return definitionPath_; }
    void SetDefinitionPath(std::string path) { definitionPath_ = std::move(path); }
    const std::string& GetTextDataPath() const { return textDataPath_; }
    void SetTextDataPath(std::string path) { textDataPath_ = std::move(path); }
    const std::string& GetDataFilePath() const { return dataFilePath_; }
    void SetDataFilePath(std::string path) { dataFilePath_ = std::move(path); }
    const std::string& GetSavePath() const { return savePath_; }
    void SetSavePath(std::string path) { savePath_ = std::move(path); }
    const std::string& GetMacroFilePath() const { return macroFilePath_; }
    void SetMacroFilePath(std::string path) { macroFilePath_ = std::move(path); }
    const std::string& GetTempDataFile() const { return tempDataFile_; }
    void SetTempDataFile(std::string path) { tempDataFile_ = std::move(path); }
    const std::string& GetAddFilePath() const { return addFilePath_; }
    void SetAddFilePath(std::string path) { addFilePath_ = std::move(path); }
    const std::string& GetTempAddFile() const { return tempAddFile_; }
    void SetTempAddFile(std::string path) { tempAddFile_ = std::move(path); }
    const std::string& GetTempMergeFile() const { return tempMergeFile_; }
    void SetTempMergeFile(std::string path) { tempMergeFile_ = std::move(path); }
    const std::string& GetGraphTempPath() const { return graphTempPath_; }
    void SetGraphTempPath(std::string path) { graphTempPath_ = std::move(path); }
    const std::string& GetExportTempPath() const { return exportTempPath_; }
    void SetExportTempPath(std::string path) { exportTempPath_ = std::move(path); }
    // "" when no spreadsheet program is installed.
    std::string GetExcelPath() const { return excelPath_; }
    void SetExcelPath(std::string path) { excelPath_ = std::move(path); }
    const std::string& GetImageDir() const { return imageDir_; }
    void SetImageDir(std::string dir) { imageDir_ = std::move(dir); }
    const std::vector<PrintMenuEntry>& GetPrintMenu() const { return printMenu_; }
    void SetPrintMenu(std::vector<PrintMenuEntry> entries) { printMenu_ = std::move(entries); }
    const std::vector<std::string>& GetSavedPaths() const { return savedPaths_; }
    // A save landed there; a temporary saved to outlives the run (ckw_app_startup.cpp).
    void AddSavedPath(std::string path);
    const std::string& GetSavePassword() const { return savePassword_; }
    void SetSavePassword(std::string password) { savePassword_ = std::move(password); }

    // --- Flags ---
    std::int32_t IsDataLoaded() const { return loaded_; }
    void SetDataLoaded(std::int32_t loaded) { loaded_ = loaded; }
    std::int32_t IsAddingData() const { return busy_; }
    void SetAddingData(std::int32_t busy) { busy_ = busy; }
    std::int32_t GetGraphOutput() const { return graphOutput_; }
    void SetGraphOutput(std::int32_t on) { graphOutput_ = on; }
    // The attachment viewer: off, with no module or argument, until something sets it.
    std::int32_t GetViewerEnabled() const { return viewerEnabled_; }
    const std::string& GetViewerModule() const { return viewerModule_; }
    const std::string& GetViewerArgument() const { return viewerArgument_; }
    void SetViewer(std::int32_t enabled, std::string module, std::string argument);

    // --- Data set definition ---
    const CStructDef& GetStructDef() const { return structDef_; }
    CStructDef& StructDef() { return structDef_; }
    // The definition lines as the data file keeps them (definition_text.h).
    const zbq::app::DefinitionText& GetDefinitionText() const { return definitionText_; }
    // A copy of every definition line.
    std::vector<std::string> GetDefinitionLines() const { return definitionText_.lines(); }
    void SetDefinitionLines(const std::vector<std::string>& lines) {
        definitionText_ = zbq::app::DefinitionText::fromLines(lines);
    }
    // Name of the item with that number; "" when there is none.
    std::string GetItemName(std::int32_t item) const;
    // ItemType of the item with that number; -1 when there is none.
    std::int32_t GetItemType(std::int32_t item) const;
    // "ｴﾗｰ", "ﾌﾞﾗﾝｸ" (CP932).
    const std::vector<std::string>& GetSpecialCaptions() const { return specialCaptions_; }

    // --- Display and grid items ---
    const std::vector<std::int32_t>& GetDisplayItems() const { return displayItems_; }
    void SetDisplayItems(std::vector<std::int32_t> items) { displayItems_ = std::move(items); }
    std::vector<std::int32_t> GetGridItems() const { return gridItems_; }

    // --- Record sets ---
    // The next set number and a copy of the list.
    void GetSetList(std::int32_t* nextSetNo, std::vector<SetRecord>* sets) const;
    void SetSetList(std::int32_t nextSetNo, std::vector<SetRecord> sets);
    const std::vector<SetRecord>& Sets() const { return sets_; }
    std::int32_t GetNextSetNo() const { return nextSetNo_; }
    // A copy of the set with that number (the last of several); an empty record when none.
    SetRecord GetSetRecord(std::int32_t number) const;
    // Asks the set tree to insert the set; the record the tree stored, empty without a console.
    SetRecord AddSet(std::int32_t level, std::int32_t number, std::string text1, std::string text2,
                     std::string text3, KW_mapPtr map, std::int32_t mapLength,
                     std::int32_t recordCount);
    // A caption of names alone; one with words of ours keeps them apart for the tree.
    void AddResultSet(std::string_view caption, std::int32_t intersect);
    void AddResultSet(const MixedText& caption, std::int32_t intersect);
    // The marked set read from a data file's settings (-1 none).
    std::int32_t GetRestoredSetNo() const { return restoredSetNo_; }

    // --- Search conditions ---
    const std::vector<SearchCondition>& GetSearchConditions() const { return conditions_; }
    // Out of range: item, operator, bound and kind -1, empty values.
    SearchCondition GetSearchCondition(std::int32_t index) const;
    void AddSearchCondition(const SearchCondition& condition);
    // Removes it; the items offered for conditions stay as they are.
    void RemoveSearchCondition(std::int32_t index);
    void SetSearchConditions(std::vector<SearchCondition> conditions);
    const std::vector<std::int32_t>& GetConditionItems() const { return conditionItems_; }
    void SetConditionItems(std::vector<std::int32_t> items) { conditionItems_ = std::move(items); }

    // --- Categories ---
    const std::vector<CategoryDefinition>& GetCategoryList() const { return categories_; }
    void SetCategoryList(std::vector<CategoryDefinition> categories);
    // "Brank", "Error", "Normal", "Others".
    const std::vector<std::string>& GetReservedWords() const { return reservedWords_; }

    // --- Cross-tab settings ---
    CrossSettings GetCrossSettings() const { return crossSettings_; }
    void SetCrossSettings(CrossSettings settings) { crossSettings_ = settings; }

    // --- Start-up and shutdown (ckw_app_startup.cpp) ---
    // The program's start: the spreadsheet probe, the graph control check, the choice of the
    // input (the first file argument, else the open dialog), the temporary names, ZBQ.ini, the
    // console, loading, the macro file, restoring, and the "auto_open" question. False when the
    // program is not to run (the user has been told, or cancelled); ExitInstance runs either way.
    bool InitInstance(const std::vector<std::string>& arguments);
    // Cancels a running aggregation, closes the engine and deletes the run's temporaries (those
    // saved to stay) and an import's generated definition and text data. The exit code, 0.
    int ExitInstance();
    // [image] Path and the [print] entries of ZBQ.ini in the program directory.
    void ReadProfile();
    // Where the start-up stamp's time comes from; null: the system clock.
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    // That clock's time now; the stamps of the run's files (temporaries, an import's output)
    // follow it, so that a run and a replay of it name their files alike.
    std::chrono::system_clock::time_point Now() const {
        return clock_ ? clock_() : std::chrono::system_clock::now();
    }
    // The import dialogs: given workbooks (Excel) or text files, they write a definition file and
    // its text data and give the definition's path; nullopt when cancelled. Unset: a cancel.
    enum class ImportKind { Excel, Text };
    using ImportDialog = std::function<std::optional<std::string>(
        ImportKind kind, const std::vector<std::string>& files)>;
    void SetImportDialog(ImportDialog dialog) { importDialog_ = std::move(dialog); }

    // --- Building and opening (ckw_app_open.cpp); 1 done, 0 failed (told) ---
    std::int32_t BuildDataFile();
    std::int32_t OpenDataFile();

    // --- Adding records (ckw_app_add.cpp) ---
    // Adds the records of the add-data file (a text file as the definition describes its text
    // data: separator, heading line, columns) to the loaded data set: 1 added, or nothing to
    // add to (a set not loaded from a data file, whose mode stays); 0 failed (told), the old set
    // still loaded. Success leaves set 0 alone, load mode 3 and the joined set in the temporary
    // merge file.
    std::int32_t AddExcelData();
    // The same for the file the workbook import wrote at `path` (TAB-separated, no heading line,
    // one column per item in item order), with the status text and progress, the file removed
    // afterwards whatever happened.
    std::int32_t AddDataFromFile(const std::string& path);
    // Called at each step of adding; true makes that step fail (tests).
    enum class AddStage { Build, Join, Open, Install };
    using AddFaultHook = std::function<bool(AddStage stage)>;
    void SetAddFaultHook(AddFaultHook hook) { addFaultHook_ = std::move(hook); }

    // --- Saving (ckw_app_save.cpp) ---
    // Writes the save scope's records to the save path with the settings blob and the password
    // (asked in the password dialog when `ask` is non-zero), and the macro file beside it: both
    // or, as far as the file system allows, neither. 1 saved, 0 not (told). Refused while data
    // is loading or being added, another save runs or an aggregation's workers run. Records
    // SaveZbw while recording.
    std::int32_t SaveDataAndMacro(std::string_view password, std::int32_t ask);
    // A save is under way (its dialogs and engine steps let other actions in).
    bool IsSaving() const { return saving_; }
    // Called before each write of a save with its ordinal from 0; tests stop a save there.
    using SaveFaultHook = std::function<void(int write)>;
    void SetSaveFaultHook(SaveFaultHook hook) { saveFaultHook_ = std::move(hook); }

    // --- Definition file and parser (ckw_app_definition.cpp) ---
    std::int32_t ReadDefinitionFile();
    std::int32_t ParseDefinitionFile();
    std::int32_t CheckQuotedValue(std::string_view value, std::string_view line);
    std::int32_t CheckExactKeyword(std::string_view line, std::size_t length);
    std::int32_t CheckAllocDigits(std::string_view value, std::string_view line);
    std::int32_t CheckBlockState(std::int32_t state, std::int32_t expected, std::string_view line);
    std::int32_t CheckItemComplete(std::string_view line);
    std::int32_t CheckCodeListOwner(const CItemDef& item, std::string_view line);
    std::int32_t CheckAllocList(std::string_view line);
    // The field separator a data file's definition text (lines ended by CR LF) gives: ',' when
    // one of its lines reads NOTTAB, else TAB.
    static char DefinitionSeparator(std::string_view text);

    // --- Settings blob (ckw_app_blob.cpp) ---
    // Fills the settings block from the present state (the marked set from the set tree) and
    // returns the blob bytes, plain; nullopt (the user told) when it cannot be made.
    std::optional<std::string> BuildSettingsBlob();
    std::uint32_t GetSettingsBlobSize() const;
    std::int32_t WriteSettingsBlob(std::string& out) const;
    static void ScrambleBlob(char* bytes, std::int32_t length);
    // Load mode 2: reads the data file's blob into the settings block; 1 or 0 (told).
    std::int32_t ReadSettingsBlob();
    // Rebuilds the settings block from bytes; the number of bytes consumed, -1 for a damaged
    // blob, or kBlobNotOfLoadedFile for a sound one whose structure is not the loaded file's
    // (nothing taken over either way).
    static constexpr std::int32_t kBlobNotOfLoadedFile = -2;
    std::int32_t DeserializeSettingsBlob(std::string_view blob);
    SettingsBlock* Block() { return block_ ? &*block_ : nullptr; }
    // Installs a settings block as the blob reader would (tests, and callers that decode one).
    void SetBlock(SettingsBlock block) { block_ = std::move(block); }
    void FreeSettingsBlock() { block_.reset(); }

    // --- Restoring state after a load (ckw_app_restore.cpp) ---
    std::int32_t RestoreDisplayList();
    std::int32_t RestoreSets();
    void InitConditionItems();
    void RestoreCategories();
    void InitCategories(std::int32_t addBuiltIn);
    // Makes the restored marked set's map current (all records for -1, an unknown number or a
    // set without a map).
    void SelectRestoredSet();
    std::int32_t UpdateDisplayItems();
    void SetGridItems();
    // The application's part of the screen reset before a macro runs.
    void ResetScreen();

    // --- Engine wrappers (ckw_app_engine.cpp); results as the engine's ---
    // Checked: a negative result shows "<name>()がエラー終了しました [errorNo:<code>]".
    std::int32_t KWgetDataCount();
    std::int32_t KWsrch(std::string_view expression);
    std::int32_t KWpwdSet(const std::string& path, std::string_view password);
    std::int32_t KWpwdchk(const std::string& path);
    std::int32_t KWdispCode(std::int32_t item);
    std::int32_t KWdispName(std::int32_t item);
    std::int32_t KWgetDisp(std::int32_t item);
    std::int32_t KWreadInteger(std::int32_t row, std::int32_t item, std::int32_t* value);
    std::int32_t KWreadDouble(std::int32_t row, std::int32_t item, double* value);
    std::int32_t KWmapGetLength();
    std::int32_t KWmapSet(KW_mapPtr map);
    std::int32_t KWmapClear();
    std::int32_t KWnewMap(std::int32_t item);
    std::int32_t KWpassDataFromMap(std::int32_t item, std::int32_t position);
    std::int32_t KWgetValueCount(std::int32_t item);
    // Forwarding only.
    std::int32_t SortRecords(std::int32_t item, std::int32_t direction);
    std::int32_t KWreadString(std::int32_t row, std::int32_t item, const char** text);
    const char* KWreadMulti(std::int32_t row, std::int32_t item, std::int32_t k,
                            std::int32_t* answerCount);
    KW_mapPtr KWmapGet() const;
    std::int32_t KWpassDataClear(std::int32_t item);
    // 1 when the value is not excluded (engine result 0 or negative), else 0.
    std::int32_t KWpassDataGet(std::int32_t item, std::int32_t position) const;
    const char* KWgetValueText(std::int32_t item, std::int32_t position) const;
    std::int32_t KWgetValueInt(std::int32_t item, std::int32_t position) const;
    double KWgetValueDouble(std::int32_t item, std::int32_t position) const;
    std::int32_t KWgetValueDataCount(std::int32_t item, std::int32_t position) const;
    std::int32_t KWgetItemDataCount(std::int32_t item) const;
    std::int32_t GetItemDataCount(std::int32_t item) const { return KWgetItemDataCount(item); }
    std::int32_t KWgetAnswerRange(std::int32_t item, std::int32_t* largest,
                                  std::int32_t* smallest) const;
    std::int32_t KWsortValue(std::int32_t item, std::int32_t mode);
    std::int32_t KWgetPercentPos(std::int32_t item, double percent) const;
    std::int32_t KWsaveSort(std::int32_t item);
    std::int32_t KWrestoreSort(std::int32_t item);
    std::int32_t KWgetStatistics(std::int32_t item, double* sum, double* mean,
                                 double* deviation) const;
    std::int32_t KWmapProduct(const KW_mapPtr& a, const KW_mapPtr& b);
    std::int32_t KWmapUnion(const KW_mapPtr& a, const KW_mapPtr& b);
    std::int32_t KWmapDifference(const KW_mapPtr& a, const KW_mapPtr& b);
    std::int32_t KWmapComplement(const KW_mapPtr& a);
    std::int32_t KWsetFindString(std::int32_t item, std::int32_t start, std::string_view text);
    std::int32_t KWsetFindInt(std::int32_t item, std::int32_t start, std::int32_t op,
                              std::int32_t a, std::int32_t b);
    std::int32_t KWsetFindDouble(std::int32_t item, std::int32_t start, std::int32_t op, double a,
                                 double b);
    std::int32_t KWsetFindStringRange(std::int32_t item, std::int32_t start, std::int32_t op,
                                      std::string_view text1, std::string_view text2);
    std::int32_t KWfindNextValue();
    std::int32_t KWfindPrevValue();
    std::int32_t KWfindFirstValue();
    std::int32_t KWfindLastValue();
    std::int32_t KWfindNextRecord(std::int32_t item, std::int32_t startRow);
    std::int32_t KWfindPrevRecord();
    std::int32_t KWreadBlob(const std::string& path, std::string& blob);
    std::int32_t KWwriteBlob(const std::string& path, std::string_view blob);
    // Writes the records of the current map as a new data file.
    std::int32_t KWmapSave(const std::string& path);
    std::int32_t InitCrossX(std::int32_t item, std::int32_t nameMode, std::int32_t conditions);
    std::int32_t AddCrossXInt(std::string_view label, std::int32_t op, std::int32_t from,
                              std::int32_t to);
    std::int32_t AddCrossXDouble(std::string_view label, std::int32_t op, double from, double to);
    std::int32_t AddCrossXString(std::string_view label, std::int32_t op, std::string_view from,
                                 std::string_view to);
    std::int32_t BuildCrossX();
    void ResetCrossX();
    std::int32_t InitCrossY(std::int32_t item, std::int32_t nameMode, std::int32_t conditions);
    std::int32_t AddCrossYInt(std::string_view label, std::int32_t op, std::int32_t from,
                              std::int32_t to);
    std::int32_t AddCrossYDouble(std::string_view label, std::int32_t op, double from, double to);
    std::int32_t AddCrossYString(std::string_view label, std::int32_t op, std::string_view from,
                                 std::string_view to);
    std::int32_t BuildCrossY();
    void ResetCrossY();
    std::int32_t ExecuteCross(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t kind,
                              double percentage);
    std::int32_t GetCrossCount(CrossCell cell) const;
    double GetCrossValue(CrossCell cell) const;
    std::string GetCrossText(CrossCell cell) const;
    std::int32_t GetCrossCellFlag(CrossCell cell) const;
    std::int32_t MarkCrossCell(CrossCell cell);
    std::int32_t CrossDrill();
    std::string GetCrossXLabel(std::int32_t i) const;
    std::string GetCrossYLabel(std::int32_t i) const;
    std::int32_t GetCrossXInt(std::int32_t i) const;
    std::int32_t GetCrossYInt(std::int32_t i) const;
    double GetCrossXDouble(std::int32_t i) const;
    double GetCrossYDouble(std::int32_t i) const;
    std::int32_t GetCrossXCount() const;
    std::int32_t GetCrossYCount() const;

    // --- Texts and vocabulary (ckw_app_format.cpp); CP932 results ---
    static std::string FormatInteger(std::int32_t value);
    static std::string FormatInt64(std::int64_t value);
    static std::string FormatDouble(double value, std::int32_t decimals);
    static std::string FormatDate(std::int32_t yyyymmdd);
    static std::string FormatTime(std::int32_t hhmmss);
    static std::int32_t DateTextToInt(std::string_view text);
    static std::int32_t TimeTextToInt(std::string_view text);
    static std::int32_t IsIntegerText(std::string_view text);
    static std::int32_t IsDecimalText(std::string_view text);
    static std::int32_t IsAlphanumericText(std::string_view text);
    static std::int32_t CheckDate(std::string_view text);
    static std::int32_t SplitDateNumbers(std::string_view text, std::int32_t* year,
                                         std::int32_t* month, std::int32_t* day);
    static std::int32_t SplitDateText(std::string_view text, std::string* year, std::string* month,
                                      std::string* day);
    static std::int32_t CheckTime(std::string_view text);
    static std::int32_t SplitTimeNumbers(std::string_view text, std::int32_t* hour,
                                         std::int32_t* minute, std::int32_t* second);
    static std::int32_t SplitTimeText(std::string_view text, std::string* hour, std::string* minute,
                                      std::string* second);
    static std::string GetAggregateName(std::int32_t kind);
    static std::string GetItemTypeCaption(std::int32_t itemType);
    static std::string GetItemTypeKeyword(std::int32_t itemType);
    static std::int32_t ItemTypeToKWType(std::int32_t itemType);
    static std::int32_t IsCategoryTypeCompatible(std::int32_t itemType, std::int32_t valueType);
    static std::int32_t ToEngineClassCode(std::int32_t op, std::string_view value1);

    // --- Services (ckw_app_services.cpp) ---
    // Console forwarders: nothing, or the neutral result, without a console.
    void LogSearch(std::string_view caption, std::int32_t before, std::int32_t after, double ms);
    void LogSort(std::string_view itemName, std::int32_t records, std::int32_t kind, double ms);
    std::string LogCrossTab(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, double ms);
    std::string LogDrillThrough(std::string_view x, std::string_view y, std::int32_t before,
                                std::int32_t after, double ms);
    std::string LogOperation(const MixedText& text, std::int32_t records, double ms);
    std::string FormatCrossTabCaption(std::string_view aggregate, std::string_view x,
                                      std::string_view y, std::string_view z, std::int32_t records);
    void AppendReadLog(std::string_view line);
    void AppendReadLines(std::string_view lines, std::int32_t count);
    void FlushReadLog();
    void EndReadLog(std::string_view redLine);
    void ShowItemSelControl1();
    void ShowItemSelControl2();
    void ActivateConsolePage(std::int32_t page);
    void RebuildItemTree();
    void AddDisplayItem(std::int32_t position, std::int32_t item);
    void RemoveDisplayItem(std::string_view name);
    void UnmarkTreeItem(std::string_view name);
    void SetStatusText(std::string_view text);
    std::int32_t StartProgress();
    void StopProgress();
    void AddWindowRow(std::string_view title, std::string_view kind, std::int32_t image,
                      QWidget* window);
    void RemoveWindowRow(QWidget* window);
    std::int32_t InsertSetItem(std::int32_t parent, std::string_view text, std::int32_t image,
                               std::int32_t setNo);
    void RebuildSetTree();
    void MarkCurrentSet(std::int32_t setNo);
    std::int32_t GetCurrentSetNo() const;
    void RefreshOlapPages();
    void ResetOlapPages();
    void AttachCategorySet();
    void ResetCategorySet();
    void RestoreDisplayListToTree();
    // Lets the item tree finish its update, then pending window messages through (throttled).
    void PumpMessages();
    // Open windows.
    void RebuildGrid(std::int32_t flag);
    std::int32_t ShowRecord(std::int32_t row, std::int32_t item);
    std::int32_t GetCurrentRow() const;
    void RefreshItemWindows();
    void RebuildItemWindows();
    std::int32_t RefreshCrossView();
    std::int32_t ExecuteMolap();
    // Opens the workbook with the desktop's spreadsheet program; "エクセルの起動に失敗しました"
    // when that fails or start-up found no such program.
    void LaunchExcel(const std::string& path);
    // Graph output on when the control's library and its registration are found; each missing
    // one is told. Returns 1.
    std::int32_t CheckGraphControl();
    void StartTimer();
    double GetElapsedMs();

    // --- Message boxes: caption "ZEBRINE", owner the main window ---
    void ShowError(std::string_view utf8Text) const;        // exclamation
    void ShowInformation(std::string_view utf8Text) const;  // information
    bool AskYesNo(std::string_view utf8Text) const;         // question; true for Yes
    // "ファイルの書出しに失敗しました。" naming the file that could not be written
    // (ckw_app_save.cpp).
    void ShowWriteFailure(const std::string& path) const;

private:
    friend class SuppressGuard;

    // Deletes the definition file an import wrote and its text data (ckw_app_startup.cpp).
    void removeGeneratedDefinition();
    // The set the console shows as current (ckw_app_save.cpp).
    SetRecord displayedSet() const;

    ConsolePort* console_;
    WindowPort* windows_;
    MacroPort* macro_;

    KW_search search_;
    KW_create create_;

    std::string programDir_;
    std::int32_t loadMode_ = 0;
    std::int32_t saveMode_ = 1;
    std::string definitionPath_, textDataPath_, dataFilePath_, savePath_, macroFilePath_;
    std::string tempDataFile_, addFilePath_, tempAddFile_, tempMergeFile_;
    std::string graphTempPath_, exportTempPath_;
    zbq::app::TempLock tempLock_;  // this run's hold on its temporary names
    // The working data file as loaded: what a save of all records copies (held_data_file.h).
    zbq::app::HeldDataFile held_;
    std::string excelPath_;
    std::string imageDir_;
    std::vector<PrintMenuEntry> printMenu_;
    std::vector<std::string> savedPaths_;
    std::string savePassword_;
    std::int32_t restoredSetNo_ = -1;

    std::int32_t loaded_ = 0;
    std::int32_t busy_ = 0;
    bool saving_ = false;
    bool addFromImport_ = false;  // the file added is the workbook import's (ckw_app_add.cpp)
    std::int32_t graphOutput_ = 0;
    std::int32_t viewerEnabled_ = 0;
    std::string viewerModule_, viewerArgument_;
    std::uint8_t flags_[6] = {};

    zbq::app::DefinitionText definitionText_;
    CStructDef structDef_;
    std::vector<std::int32_t> displayItems_;
    std::vector<std::int32_t> gridItems_;
    std::vector<std::string> specialCaptions_;
    std::int32_t nextSetNo_ = 1;
    std::vector<SetRecord> sets_;
    std::vector<CategoryDefinition> categories_;
    std::vector<std::string> reservedWords_;
    std::vector<std::int32_t> conditionItems_;
    std::vector<SearchCondition> conditions_;
    CrossSettings crossSettings_;
    std::optional<SettingsBlock> block_;

    std::chrono::system_clock::time_point timerStart_{}, timerEnd_{};
    std::optional<int> memoryReadCsvSize_;

    Clock clock_;
    ImportDialog importDialog_;
    SaveFaultHook saveFaultHook_;
    // The definition file an import wrote (its text data beside it), deleted once loaded.
    std::string generatedDefinition_;
    AddFaultHook addFaultHook_;
};

// The application object in force; null when none exists.
CKWApp* KWApp();
