// ValueListModel: the item window's value list as a table: one row per value of the item's
// dictionary in the engine's current value order (row 0 the error value, row 1 the blank value),
// with the value (and its code for code and multiple-answer items), its records in the current
// set and their percentage; one mark per value; the display options, the order toggles and the
// selection; the ten marking commands and the exports. It is the TableSource the exporter reads
// and what the grid paints.
//
// Nothing is copied per row: each cell's text is made from the engine when it is painted or
// written. Marks are one bit per value, kept by dictionary position, so a value keeps its mark
// whatever order the list is in; they are written to the engine's exclusion flags after every
// change of a mark and after every refresh (a change of the current set drops the engine's
// flags). Work over all values happens once per action, never per painted cell.
//
// Actions record their own step ("Item_..." with the item number) while recording. Texts are
// CP932. User-interface thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/macro_port.h"
#include "windows/item_texts.h"
#include "windows/table_source.h"
#include "windows/table_text.h"

class CKWApp;

namespace zbq::windows {

enum class ValueOrder { Natural, CountUp, CountDown, Reverse };

enum class MarkCommand {
    RemoveSelection,
    RemoveOnlySelection,
    RemoveAll,
    RemoveSearchResult,
    RemoveOnlySearchResult,
    AddSelection,
    AddOnlySelection,
    AddAll,
    AddSearchResult,
    AddOnlySearchResult,
};
// "Item_RemoveSelection" ...
std::string markStepName(MarkCommand command);
bool isSearchMark(MarkCommand command);

// What the pop-up menu enables and checks for the item's type and the options.
struct ValueMenuState {
    bool excelEnabled = false;  // only with a spreadsheet program to open the workbook
    bool commaEnabled = false;
    bool decimalsEnabled = false;
    bool commaChecked = false;
    bool upChecked = false;
    bool downChecked = false;
    bool reverseChecked = false;
    std::int32_t decimals = 0;  // the checked entry of 0..14
    std::int32_t percentDigits = 0;
};

class ValueListModel : public TableSource {
public:
    static constexpr std::int32_t kMaxDecimals = 14;
    static constexpr std::int32_t kMaxPercentDigits = 6;

    ValueListModel(CKWApp& app, std::int32_t item);

    std::int32_t GetItemNo() const { return values_.item(); }
    std::int32_t itemType() const { return values_.itemType(); }
    bool hasCodeColumn() const { return values_.hasCodeColumn(); }
    // The column of the value names (1 for code items, else 0) and of the counts.
    std::int32_t valueColumn() const { return hasCodeColumn() ? 1 : 0; }
    std::int32_t countColumn() const { return valueColumn() + 1; }

    // --- TableSource ---
    std::int32_t rowCount() const override { return rows_; }
    std::int32_t columnCount() const override { return hasCodeColumn() ? 4 : 3; }
    std::string columnHeader(std::int32_t column) const override;
    void readCell(std::int32_t row, std::int32_t column, TableCell& cell) const override;
    // The shown text; empty for a cell outside the table.
    std::string cellText(std::int32_t row, std::int32_t column) const;
    // Numbers right-aligned; "ｴﾗｰ", "ﾌﾞﾗﾝｸ" and the texts of code items left.
    bool rightAligned(std::int32_t row, std::int32_t column) const;

    // --- Life ---
    // The current set changed: counts again, a count order sorted again under the new counts,
    // the marks written to the engine again.
    void refresh();
    // Data were added: bound to the item's new dictionary, every value marked.
    void rebind();
    // Comma grouping on, 3 decimals, 1 percent place, natural order, selection at (0, 0).
    void ResetOptions();

    // --- Options ---
    bool comma() const { return comma_; }
    std::int32_t decimals() const { return decimals_; }
    std::int32_t percentDigits() const { return percentDigits_; }
    ValueOrder order() const { return order_; }
    void DispComma();
    // False (nothing changed) outside 0..14 / 0..6.
    bool SetDecimalDigit(std::int32_t places);
    bool SetPercentDigit(std::int32_t places);
    ValueMenuState menuState() const;

    // --- Order ---
    void SortUp();
    void SortDown();
    void SortReverse();
    // Natural order, the toggles off, nothing recorded (the searches start from it).
    void ResetOrder();

    // --- Marks ---
    bool IsValueChecked(std::int32_t row) const;
    void SetValueChecked(std::int32_t row, bool checked);
    void checkAll(bool checked);
    std::int32_t checkedCount() const { return checkedCount_; }
    // Records of the checked values, counted at the last change.
    std::int64_t GetCheckedRecordCount() const { return checkedRecords_; }
    // Writes the unchecked values to the engine as excluded; the number of checked values.
    std::int32_t SyncCheckedToEngine();
    // A marking command over the selection, or over the dictionary positions of a search's hits
    // (the search commands; null or no hits: nothing changes and nothing is recorded). 1 done.
    std::int32_t Mark(MarkCommand command, const std::vector<std::int32_t>* hits = nullptr);

    // --- Selection ---
    CellPos GetSelStart() const { return anchor_; }
    CellPos GetSelEnd() const { return end_; }
    void setSelection(CellPos anchor, CellPos end);
    void SelectAll();  // records Item_SelectAll
    CellRange selectedRows() const;

    // --- Exports of the selection; 1 done ---
    std::int32_t Copy(bool withHead);
    std::int32_t OutToCsv(const std::string& path, bool withHead);
    std::int32_t OutToExcel(bool withHead);

    // Records a step of this item: the name, the item number, then the numbers.
    void record(const char* command, std::initializer_list<std::int32_t> numbers = {}) const;
    // The step in place of the last one when that begins with `lastPrefix`.
    void recordReplacingLast(const StepBuilder& step, const std::string& lastPrefix) const;

private:
    std::int32_t dictionaryOf(std::int32_t row) const;
    void toggle(ValueOrder order, const char* step);
    void applyOrder();
    void recount();

    CKWApp& app_;
    ItemValues values_;
    std::int32_t rows_ = 0;
    std::int32_t itemRecords_ = 0;  // the percentages' base, counted at each refresh
    std::vector<bool> checked_;     // by dictionary position
    std::int32_t checkedCount_ = 0;
    std::int64_t checkedRecords_ = 0;
    bool comma_ = true;
    std::int32_t decimals_ = 3;
    std::int32_t percentDigits_ = 1;
    ValueOrder order_ = ValueOrder::Natural;
    CellPos anchor_{0, 0};
    CellPos end_{0, 0};
};

}  // namespace zbq::windows
