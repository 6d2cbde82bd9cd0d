// CExcelReadDlg's state and actions without widgets: records from the worksheets of workbooks,
// for a new data set (a definition and text data written into temp/, loaded by the caller) or
// added to the loaded one (text data only; the items must be the loaded definition's, one to
// one, in number and type).
//
// The sheet list is made when the model is made (every worksheet of every workbook, all opened
// from the folder of the first); each workbook is opened once and read again by the item
// information and OK while it stays as it was; the item names come from a header row of one
// sheet, the proposed types from the row below it; OK copies every listed sheet's used range
// below its header row. Both lists keep a selection, which the buttons act on and the macro
// hooks add to before they act (an index outside a list fails the hook and acts on nothing).
// result() is 1 until a listing, a reading or an OK fails; the hooks return it.
//
// An addition's text data holds one column per item in item order, a new data set's every
// column of the used range (the definition binds the items to theirs). Cells reach the data
// file without TAB, CR or LF, and so do header cells their names; a cell in a column whose item
// is 整数 or 浮動小数 loses its commas; a cell's quotes reach the data set as they stand
// (appendBuilderField). A number in the header is named with two decimals and a point, whatever
// the locale. New names and the title must come back from the definition parser unchanged
// (definitionKeeps). Rows shorter than the columns read are padded with TABs. A workbook
// that is damaged, or holds a text CP932 cannot hold, gets its message and nothing is written:
// the dialog stays after the latter. So it does when temp/ has no room for what is written
// (the message names the folder and the room needed); a workbook that would write far more than
// its size can hold is refused as damaged, whatever the room. Steps are recorded through the
// application (they record nothing while a macro plays). Names, captions and the title are CP932.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/excel_read_output.h"
#include "app/struct_def.h"
#include "platform/workbook/workbook_reader.h"

class CKWApp;

namespace zbq::app {

struct SheetRow {
    std::int32_t index = 0;  // within its workbook, from 0
    std::string file;        // the workbook's file name with extension
    std::string sheet;       // CP932
};

struct ItemRow {
    std::int32_t column = 0;  // within the used range, from 1
    std::string name;         // CP932
    std::string caption;      // a type caption, CP932 (a macro may set any text)
};

class ExcelReadModel {
public:
    enum class Outcome { Stay, Accepted, Cancelled };
    static constexpr std::size_t kNameLimit = 60;

    // Lists the sheets at once.
    ExcelReadModel(CKWApp& app, const std::vector<std::string>& paths, bool addMode);
    ~ExcelReadModel();
    ExcelReadModel(const ExcelReadModel&) = delete;
    ExcelReadModel& operator=(const ExcelReadModel&) = delete;

    bool addMode() const { return addMode_; }
    int result() const { return result_; }
    const std::string& folder() const { return folder_; }
    const std::vector<SheetRow>& sheets() const { return sheets_; }
    const std::vector<ItemRow>& items() const { return items_; }
    int headerRow() const { return headerRow_; }
    int columnCount() const { return columnCount_; }
    bool nextEnabled() const { return nextEnabled_; }
    bool okEnabled() const { return okEnabled_; }
    bool busy() const { return busy_; }
    const std::string& title() const { return title_; }
    // Ignored in add mode, where the title is the loaded data set's.
    void setTitle(std::string title);
    // The progress line (CP932); `sink` is told each new text. A count of rows copied ends in
    // kRowsRead, which the dialog shows in the language in force.
    static constexpr char kRowsRead[] = ZBQ_SHOWN(" 行読込");
    const std::string& progress() const { return progress_; }
    void setProgressSink(std::function<void(const std::string&)> sink) {
        progressSink_ = std::move(sink);
    }

    // --- Selections (ascending row indexes) ---
    const std::vector<int>& sheetSelection() const { return sheetSelection_; }
    const std::vector<int>& itemSelection() const { return itemSelection_; }
    void selectSheets(std::vector<int> rows);
    void selectItems(std::vector<int> rows);

    // --- The buttons, on the selections ---
    void OnDeleteSheet();
    void OnSheetUp();
    void OnSheetDown();
    // 項目設定 (offset 0) and 次行 (offset headerRow()): the first selected sheet's items.
    void ReadSheetItems(int headerOffset);
    void OnDeleteItem();
    // Edits each selected item in turn; `edit` is the item dialog (nullopt: cancelled).
    using ItemEditor =
        std::function<std::optional<ImportItem>(const std::string& name, int typeChoice)>;
    void OnEditItem(const ItemEditor& edit);
    Outcome OnOK();
    // After Accepted: the definition file (new data set) or the text data file (adding).
    const std::string& outputPath() const { return outputPath_; }
    // The written files become the caller's; files nobody took are removed when the model goes
    // or OK runs again.
    std::string takeOutputPath() { return std::exchange(outputPath_, std::string()); }

    // --- The macro hooks ---
    int DeleteSheets(const std::vector<int>& rows);
    int MoveSheetsUp(const std::vector<int>& rows);
    int MoveSheetsDown(const std::vector<int>& rows);
    int ReadColumnInfo(int row);
    int ReadColumnInfoNext();
    int DeleteColumns(const std::vector<int>& rows);
    int UpdateColumnInfo(int row, std::string name, std::string caption);
    int Execute();

    // What a snapshot shows of it, one fact a line (UTF-8).
    std::vector<std::string> describe() const;

private:
    void ListSheetNames(const std::vector<std::string>& paths);
    void removeUntakenOutput();
    bool addToSelection(std::vector<int>& selection, const std::vector<int>& rows, int count);
    void fail(const std::string& cp932Message);
    void failShown(const std::string& utf8Message);  // in the language in force already
    void show(const std::string& cp932Progress);
    // Returns Stay after a refused check.
    std::optional<Outcome> checkItems(const std::vector<ImportItem>& items);
    // The reader of workbook `file`, opened once per import while the file stays as it was
    // (a .xls file is parsed whole when it is opened); nullptr with `failure` set.
    workbook::WorkbookReader* openBook(const std::string& file, workbook::ReadStage stage,
                                       workbook::ReadFailure& failure);
    Outcome copySheets(const std::vector<ImportItem>& items, ImportOutput& output);
    Outcome refuseNoRoom(ImportOutput& output, std::uint64_t needed);

    CKWApp& app_;
    bool addMode_;
    CStructDef definition_;  // the loaded data set's, in add mode
    int result_ = 1;
    std::string folder_;
    std::vector<SheetRow> sheets_;
    std::vector<ItemRow> items_;
    std::vector<int> sheetSelection_;
    std::vector<int> itemSelection_;
    int headerRow_ = 0;
    int columnCount_ = 0;
    bool nextEnabled_ = false;
    bool okEnabled_ = false;
    bool busy_ = false;
    std::string title_;
    std::string progress_;
    std::function<void(const std::string&)> progressSink_;
    std::string outputPath_;
    // The scan behind the last item information, so that reading the same sheet at OK need
    // not scan it again (the reader confirms it on the way).
    std::string scannedFile_;
    int scannedIndex_ = -1;
    workbook::KnownScan scanned_;
    struct OpenBook {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modifiedNs = 0;
        std::unique_ptr<workbook::WorkbookReader> reader;
    };
    std::map<std::string, OpenBook> books_;  // by file name
};

}  // namespace zbq::app
