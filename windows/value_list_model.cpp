#include "windows/value_list_model.h"

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "windows/table_exporter.h"

namespace zbq::windows {

namespace {

constexpr std::int32_t kFirstValue = 2;

std::int32_t engineMode(ValueOrder order) {
    switch (order) {
        case ValueOrder::CountUp:
            return 0;
        case ValueOrder::CountDown:
            return 1;
        case ValueOrder::Reverse:
            return -2;
        case ValueOrder::Natural:
            break;
    }
    return -1;
}

}  // namespace

std::string markStepName(MarkCommand command) {
    static const char* const names[] = {"Item_RemoveSelection",
                                        "Item_RemoveOnlySelection",
                                        "Item_RemoveAll",
                                        "Item_RemoveSearchResult",
                                        "Item_RemoveOnlySearchResult",
                                        "Item_AddSelection",
                                        "Item_AddOnlySelection",
                                        "Item_AddAll",
                                        "Item_AddSearchResult",
                                        "Item_AddOnlySearchResult"};
    return names[static_cast<int>(command)];
}

bool isSearchMark(MarkCommand command) {
    return command == MarkCommand::RemoveSearchResult ||
           command == MarkCommand::RemoveOnlySearchResult ||
           command == MarkCommand::AddSearchResult || command == MarkCommand::AddOnlySearchResult;
}

ValueListModel::ValueListModel(CKWApp& app, std::int32_t item) : app_(app), values_(app, item) {
    rebind();
}

// --- Life ---

void ValueListModel::rebind() {
    rows_ = values_.count();
    checked_.assign(static_cast<std::size_t>(rows_), true);
    refresh();
}

void ValueListModel::refresh() {
    itemRecords_ = std::max(0, app_.KWgetItemDataCount(GetItemNo()));
    // A count order reflects the counts of the set it was sorted under.
    applyOrder();
    SyncCheckedToEngine();
}

void ValueListModel::ResetOptions() {
    comma_ = true;
    decimals_ = 3;
    percentDigits_ = 1;
    order_ = ValueOrder::Natural;
    applyOrder();
    anchor_ = end_ = CellPos{0, 0};
}

// --- Cells ---

std::int32_t ValueListModel::dictionaryOf(std::int32_t row) const {
    if (order_ == ValueOrder::Natural || row < kFirstValue) return row;
    return app_.Search().ValueListToDictionary(GetItemNo(), row);
}

std::string ValueListModel::columnHeader(std::int32_t column) const {
    static const std::string code = cp932::literal(ZBQ_SHOWN("ｺｰﾄﾞ")),
                             value = cp932::literal(ZBQ_SHOWN("値")),
                             count = cp932::literal(ZBQ_SHOWN("存在数"));
    const std::int32_t c = hasCodeColumn() ? column : column + 1;
    switch (c) {
        case 0:
            return code;
        case 1:
            return value;
        case 2:
            return count;
        case 3:
            return "%";
        default:
            return {};
    }
}

std::string ValueListModel::cellText(std::int32_t row, std::int32_t column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columnCount()) return {};
    const std::int32_t p = dictionaryOf(row);
    if (p < 0) return {};
    if (hasCodeColumn() && column == 0)
        return row < kFirstValue ? std::string() : std::string(values_.code(p));
    if (column == countColumn()) return CKWApp::FormatInteger(values_.records(p));
    if (column == countColumn() + 1) {
        const double share = itemRecords_ > 0 ? values_.records(p) * 100.0 / itemRecords_ : 0.0;
        return plainDouble(share, percentDigits_);
    }
    if (hasCodeColumn()) return std::string(values_.name(p));
    if (row < kFirstValue) return app_.GetSpecialCaptions()[static_cast<std::size_t>(row)];
    switch (itemType()) {
        case 2:
            return comma_ ? CKWApp::FormatInteger(values_.intValue(p))
                          : plainInt(values_.intValue(p));
        case 3:
            return comma_ ? CKWApp::FormatDouble(values_.doubleValue(p), decimals_)
                          : plainDouble(values_.doubleValue(p), decimals_);
        case 5:
            return dateText(values_.intValue(p));
        case 7:
            return timeText(values_.intValue(p));
        default:
            return std::string(values_.code(p));
    }
}

void ValueListModel::readCell(std::int32_t row, std::int32_t column, TableCell& cell) const {
    cell.text = cellText(row, column);
    const std::int32_t p = dictionaryOf(row);
    if (column == countColumn()) {
        cell.number = CellNumber{static_cast<double>(values_.records(p)), 0, true};
    } else if (column == countColumn() + 1) {
        const double share = itemRecords_ > 0 ? values_.records(p) * 100.0 / itemRecords_ : 0.0;
        cell.number = CellNumber{share, percentDigits_, false};
    } else if (column == valueColumn() && row >= kFirstValue && !hasCodeColumn()) {
        if (itemType() == 2)
            cell.number = CellNumber{static_cast<double>(values_.intValue(p)), 0, comma_};
        else if (itemType() == 3)
            cell.number = CellNumber{values_.doubleValue(p), decimals_, comma_};
    }
}

bool ValueListModel::rightAligned(std::int32_t row, std::int32_t column) const {
    if (column >= countColumn()) return true;
    if (hasCodeColumn() || row < kFirstValue) return false;
    const std::int32_t type = itemType();
    return type == 2 || type == 3 || type == 5 || type == 7;
}

// --- Options ---

void ValueListModel::DispComma() {
    comma_ = !comma_;
    record("Item_DispComma");
}

bool ValueListModel::SetDecimalDigit(std::int32_t places) {
    if (places < 0 || places > kMaxDecimals) return false;
    decimals_ = places;
    record("Item_DecimalDigit", {places});
    return true;
}

bool ValueListModel::SetPercentDigit(std::int32_t places) {
    if (places < 0 || places > kMaxPercentDigits) return false;
    percentDigits_ = places;
    record("Item_PercentDigit", {places});
    return true;
}

ValueMenuState ValueListModel::menuState() const {
    ValueMenuState state;
    state.excelEnabled = !app_.GetExcelPath().empty();
    state.commaEnabled = itemType() == 2 || itemType() == 3;
    state.decimalsEnabled = itemType() == 3;
    state.commaChecked = comma_;
    state.upChecked = order_ == ValueOrder::CountUp;
    state.downChecked = order_ == ValueOrder::CountDown;
    state.reverseChecked = order_ == ValueOrder::Reverse;
    state.decimals = decimals_;
    state.percentDigits = percentDigits_;
    return state;
}

// --- Order ---

void ValueListModel::applyOrder() {
    if (app_.KWsortValue(GetItemNo(), engineMode(order_)) < 0 && order_ != ValueOrder::Natural) {
        // Without memory for the sort the engine keeps the order it had: show natural order
        // rather than a mark that does not match the rows.
        order_ = ValueOrder::Natural;
        app_.KWsortValue(GetItemNo(), -1);
    }
}

void ValueListModel::toggle(ValueOrder order, const char* step) {
    order_ = order_ == order ? ValueOrder::Natural : order;
    applyOrder();
    record(step);
}

void ValueListModel::SortUp() {
    toggle(ValueOrder::CountUp, "Item_SortUp");
}
void ValueListModel::SortDown() {
    toggle(ValueOrder::CountDown, "Item_SortDown");
}
void ValueListModel::SortReverse() {
    toggle(ValueOrder::Reverse, "Item_SortReverse");
}

void ValueListModel::ResetOrder() {
    order_ = ValueOrder::Natural;
    applyOrder();
}

// --- Marks ---

bool ValueListModel::IsValueChecked(std::int32_t row) const {
    const std::int32_t p = row >= 0 && row < rows_ ? dictionaryOf(row) : -1;
    return p >= 0 && checked_[static_cast<std::size_t>(p)];
}

void ValueListModel::SetValueChecked(std::int32_t row, bool checked) {
    const std::int32_t p = row >= 0 && row < rows_ ? dictionaryOf(row) : -1;
    if (p >= 0) checked_[static_cast<std::size_t>(p)] = checked;
}

void ValueListModel::checkAll(bool checked) {
    checked_.assign(checked_.size(), checked);
}

void ValueListModel::recount() {
    const auto dict = app_.Search().dictionary(GetItemNo());
    checkedCount_ = 0;
    checkedRecords_ = 0;
    for (std::size_t p = 0; p < checked_.size() && p < dict.size(); ++p) {
        if (!checked_[p]) continue;
        ++checkedCount_;
        checkedRecords_ += dict[p].mapCount;
    }
}

std::int32_t ValueListModel::SyncCheckedToEngine() {
    const std::int32_t item = GetItemNo();
    app_.KWpassDataClear(item);
    for (std::int32_t row = 0; row < rows_; ++row)
        if (!checked_[static_cast<std::size_t>(dictionaryOf(row))])
            app_.KWpassDataFromMap(item, row);
    recount();
    return checkedCount_;
}

CellRange ValueListModel::selectedRows() const {
    return selectedRange(*this, anchor_, end_);
}

std::int32_t ValueListModel::Mark(MarkCommand command, const std::vector<std::int32_t>* hits) {
    if (isSearchMark(command) && (!hits || hits->empty())) return 0;
    const CellRange range = selectedRows();
    const auto setRows = [&](bool on) {
        for (std::int32_t row = range.firstRow; !range.isEmpty() && row <= range.lastRow; ++row)
            SetValueChecked(row, on);
    };
    const auto setHits = [&](bool on) {
        for (std::int32_t p : *hits)
            if (p >= 0 && p < rows_) checked_[static_cast<std::size_t>(p)] = on;
    };
    switch (command) {
        case MarkCommand::RemoveSelection:
            setRows(false);
            break;
        case MarkCommand::RemoveOnlySelection:
            checkAll(true);
            setRows(false);
            break;
        case MarkCommand::RemoveAll:
            checkAll(false);
            break;
        case MarkCommand::RemoveSearchResult:
            setHits(false);
            break;
        case MarkCommand::RemoveOnlySearchResult:
            checkAll(true);
            setHits(false);
            break;
        case MarkCommand::AddSelection:
            setRows(true);
            break;
        case MarkCommand::AddOnlySelection:
            checkAll(false);
            setRows(true);
            break;
        case MarkCommand::AddAll:
            checkAll(true);
            break;
        case MarkCommand::AddSearchResult:
            setHits(true);
            break;
        case MarkCommand::AddOnlySearchResult:
            checkAll(false);
            setHits(true);
            break;
    }
    SyncCheckedToEngine();
    record(markStepName(command).c_str());
    return 1;
}

// --- Selection ---

void ValueListModel::setSelection(CellPos anchor, CellPos end) {
    anchor_ = anchor;
    end_ = end;
}

void ValueListModel::SelectAll() {
    anchor_ = CellPos{0, 0};
    end_ = CellPos{columnCount() - 1, rows_ - 1};
    record("Item_SelectAll");
}

// --- Exports ---

std::int32_t ValueListModel::Copy(bool withHead) {
    TableExporter exporter(app_, *this);
    StepBuilder step(withHead ? "Item_CopyWithHead" : "Item_Copy");
    step.number(GetItemNo());
    return exporter.copy({selectedRows(), withHead, false}, step);
}

std::int32_t ValueListModel::OutToCsv(const std::string& path, bool withHead) {
    TableExporter exporter(app_, *this);
    StepBuilder step(withHead ? "Item_OutToCsvWithHead" : "Item_OutToCsv");
    step.number(GetItemNo());
    return exporter.writeTextFile(path, {selectedRows(), withHead, false}, step);
}

std::int32_t ValueListModel::OutToExcel(bool withHead) {
    TableExporter exporter(app_, *this);
    StepBuilder step(withHead ? "Item_OutToExcelWithHead" : "Item_OutToExcel");
    step.number(GetItemNo());
    return exporter.writeWorkbook({selectedRows(), withHead, false}, step);
}

void ValueListModel::record(const char* command,
                            std::initializer_list<std::int32_t> numbers) const {
    StepBuilder step(command);
    step.number(GetItemNo());
    for (std::int32_t n : numbers)
        step.number(n);
    app_.Record(step);
}

void ValueListModel::recordReplacingLast(const StepBuilder& step,
                                         const std::string& lastPrefix) const {
    app_.RecordReplacingLast(step, lastPrefix);
}

}  // namespace zbq::windows
