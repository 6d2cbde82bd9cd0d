#include "windows/data_grid_model.h"

#include <algorithm>
#include <charconv>

#include "app/main_frame.h"
#include "platform/core/atomic_file.h"
#include "platform/core/cp932.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"
#include "windows/table_exporter.h"
#include "windows/table_text.h"

namespace zbq::windows {
namespace {

enum ItemTypeCode : std::int32_t {
    kCode = 0,
    kMultiAns = 1,
    kInteger = 2,
    kFloat = 3,
    kString = 4,
    kDate = 5,
    kTime = 7,
};

const std::string& blankText() {
    static const std::string text = cp932::literal("ﾌﾞﾗﾝｸ");
    return text;
}
const std::string& errorText() {
    static const std::string text = cp932::literal("ｴﾗｰ");
    return text;
}

// A blank or error status gives its caption; true when the value itself was read.
bool statusText(std::int32_t status, GridCell& cell) {
    if (status == 1) {
        cell.text = blankText();
        cell.blank = true;
        return false;
    }
    if (status == 2) {
        cell.text = errorText();
        return false;
    }
    return status == 0;
}

// A number at `places` decimals without grouping; no places given is six, as "%f" has it.
std::string plainDouble(double value, std::int32_t places) {
    const int precision = places < 0 ? 6 : std::min<int>(places, DataGridModel::kMaxDecimals);
    // 309 integer digits at most, the sign, the point and the decimals.
    char text[330 + DataGridModel::kMaxDecimals];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

int byteWidth(std::string_view cp932) {
    return static_cast<int>(cp932.size()) * 7;
}

}  // namespace

DataGridModel::DataGridModel(CKWApp& app, QObject* parent)
    : QAbstractTableModel(parent), app_(app), measure_(byteWidth) {}

void DataGridModel::setMeasure(Measure measure) {
    measure_ = measure ? std::move(measure) : Measure(byteWidth);
}

bool DataGridModel::validColumn(std::int32_t column) const {
    return column >= 0 && column < GetColumnCount();
}

void DataGridModel::BuildGrid(std::int32_t keep) {
    beginResetModel();
    columns_.clear();
    std::vector<int> widths;
    for (std::int32_t item : app_.GetGridItems()) {
        Column column;
        column.item = item;
        const std::int32_t type = app_.GetItemType(item);
        column.type = type;
        if (type == kCode || type == kMultiAns) {
            if (keep == 0) {
                app_.KWdispName(item);
                column.code = false;
            } else {
                column.code = app_.KWgetDisp(item) == 0;
            }
        }
        columns_.push_back(column);
        int width = measure_(app_.GetItemName(item)) + kCaptionPadding;
        // A short caption must not clip the year: a date column is at least as wide as a date.
        if (type == kDate) width = std::max(width, measure_("0000/00/00") + kCaptionPadding);
        widths.push_back(width);
    }
    geometry_.setColumnWidths(std::move(widths));
    geometry_.setRowCount(GetRowCount() + 1);
    geometry_.setTopRow(0);
    geometry_.setXOffset(0);
    anchor_ = end_ = Cell{};
    endResetModel();
    changed();
}

// --- Reading ---

std::int32_t DataGridModel::GetRowCount() const {
    if (!app_.IsDataLoaded()) return 0;
    return std::max<std::int32_t>(app_.KWgetDataCount(), 0);
}

std::int32_t DataGridModel::GetColumnItem(std::int32_t column) const {
    return validColumn(column) ? columns_[static_cast<std::size_t>(column)].item : -1;
}

std::string DataGridModel::GetColumnName(std::int32_t column) const {
    return validColumn(column) ? app_.GetItemName(GetColumnItem(column)) : std::string();
}

std::int32_t DataGridModel::GetColumnType(std::int32_t column) const {
    return validColumn(column) ? columns_[static_cast<std::size_t>(column)].type : -1;
}

bool DataGridModel::GetDispComma(std::int32_t column) const {
    return validColumn(column) && columns_[static_cast<std::size_t>(column)].comma;
}
std::int32_t DataGridModel::GetDecimalDigit(std::int32_t column) const {
    return validColumn(column) ? columns_[static_cast<std::size_t>(column)].decimals : 0;
}
bool DataGridModel::GetDispCode(std::int32_t column) const {
    return validColumn(column) && columns_[static_cast<std::size_t>(column)].code;
}

bool DataGridModel::IsRightAligned(std::int32_t column) const {
    const std::int32_t type = GetColumnType(column);
    return type == kInteger || type == kFloat || type == kDate || type == kTime;
}

GridCell DataGridModel::ReadCell(std::int32_t row, std::int32_t column) const {
    GridCell cell;
    if (row < 0 || row >= GetRowCount() || !validColumn(column)) return cell;
    const Column& col = columns_[static_cast<std::size_t>(column)];
    const std::int32_t item = col.item;
    cell.exists = true;
    switch (col.type) {
        case kCode:
        case kString: {
            const char* text = nullptr;
            if (app_.KWreadString(row, item, &text) != 0 || !text) {
                cell.exists = false;
                return cell;
            }
            cell.text = text;
            // The engine gives blank values their caption; exports still know them as blank.
            cell.blank = cell.text == blankText();
            return cell;
        }
        case kMultiAns: {
            std::int32_t count = 0;
            const char* first = app_.KWreadMulti(row, item, 0, &count);
            std::string text;
            if (first) text = first;
            for (std::int32_t k = 1; k < count; ++k) {
                const char* answer = app_.KWreadMulti(row, item, k, &count);
                if (!answer) break;
                text += ',';
                text += answer;
                if (text.size() > kMultiTextLimit) break;
            }
            cell.text = std::string(cp932::cut(text, kMultiTextLimit));
            cell.blank = cell.text == blankText();
            return cell;
        }
        case kInteger: {
            std::int32_t value = 0;
            if (!statusText(app_.KWreadInteger(row, item, &value), cell)) return cell;
            cell.text = col.comma ? CKWApp::FormatInteger(value) : std::to_string(value);
            cell.number = value;
            cell.grouped = col.comma;
            return cell;
        }
        case kFloat: {
            double value = 0;
            if (!statusText(app_.KWreadDouble(row, item, &value), cell)) return cell;
            cell.text = col.comma ? CKWApp::FormatDouble(value, col.decimals)
                                  : plainDouble(value, col.decimals);
            cell.number = value;
            cell.decimals = col.decimals;
            cell.grouped = col.comma;
            return cell;
        }
        case kDate:
        case kTime: {
            std::int32_t value = 0;
            if (!statusText(app_.KWreadInteger(row, item, &value), cell)) return cell;
            cell.text = col.type == kDate ? CKWApp::FormatDate(value) : CKWApp::FormatTime(value);
            return cell;
        }
        default:
            cell.exists = false;
            return cell;
    }
}

bool DataGridModel::GetCellText(std::int32_t row, std::int32_t column, std::string* text) const {
    GridCell cell = ReadCell(row, column);
    if (text) *text = cell.exists ? std::move(cell.text) : std::string();
    return cell.exists;
}

// --- Selection ---

void DataGridModel::SetSelStart(std::int32_t column, std::int32_t row) {
    if (row >= GetRowCount()) {
        anchor_ = end_ = Cell{};
    } else {
        anchor_ = Cell{column, row};
    }
    changed();
}

void DataGridModel::SetSelEnd(std::int32_t column, std::int32_t row) {
    if (row >= GetRowCount()) {
        anchor_ = end_ = Cell{};
    } else {
        end_ = Cell{column, row};
    }
    changed();
}

bool DataGridModel::HasSelection() const {
    return anchor_.column >= 0 && anchor_.row >= 0 && end_.column >= 0 && end_.row >= 0;
}

bool DataGridModel::IsSelected(std::int32_t column, std::int32_t row) const {
    if (!HasSelection()) return false;
    return column >= std::min(anchor_.column, end_.column) &&
           column <= std::max(anchor_.column, end_.column) &&
           row >= std::min(anchor_.row, end_.row) && row <= std::max(anchor_.row, end_.row);
}

void DataGridModel::SelectCells(Cell anchor, Cell end) {
    SetSelStart(anchor.column, anchor.row);
    SetSelEnd(end.column, end.row);
    app_.Record(StepBuilder("Data_SelectCell")
                    .number(anchor.column)
                    .number(anchor.row)
                    .number(end.column)
                    .number(end.row));
}

void DataGridModel::SelectRows(std::int32_t first, std::int32_t last) {
    SetSelStart(0, first);
    SetSelEnd(GetColumnCount() - 1, last);
    app_.Record(StepBuilder("Data_SelectRow").number(first).number(last));
}

void DataGridModel::SelectColumns(std::int32_t first, std::int32_t last) {
    SetSelStart(first, 0);
    SetSelEnd(last, GetRowCount() - 1);
    app_.Record(StepBuilder("Data_SelectColumn").number(first).number(last));
}

void DataGridModel::SelectAll() {
    // Set directly: with no records the end row is -1, and the whole (empty) table is meant.
    anchor_ = Cell{0, 0};
    end_ = Cell{GetColumnCount() - 1, GetRowCount() - 1};
    changed();
    app_.Record(StepBuilder("Data_SelectAll"));
}

// --- Menu operations ---

GridMenuState DataGridModel::EnableMenuByType(std::int32_t column) const {
    GridMenuState state;
    // Without a spreadsheet program the workbook would be written and never opened.
    state.excel = !app_.GetExcelPath().empty();
    if (!validColumn(column)) return state;
    const std::int32_t type = GetColumnType(column);
    state.sort = type != kMultiAns;
    state.codes = type == kCode || type == kMultiAns;
    state.itemDetails = true;
    state.cellWidth = true;
    state.comma = type == kInteger || type == kFloat;
    state.decimals = type == kFloat;
    state.commaChecked = GetDispComma(column);
    state.codesChecked = GetDispCode(column);
    state.checkedDecimals = GetDecimalDigit(column);
    return state;
}

void DataGridModel::sortRows(std::int32_t column, std::int32_t item, std::int32_t direction,
                             std::int32_t kind, const char* step) {
    const std::int32_t rows = GetRowCount();
    app_.StartTimer();
    app_.SortRecords(item, direction);
    const double ms = app_.GetElapsedMs();
    changed();
    app_.LogSort(GetColumnName(column), rows, kind, ms);
    StepBuilder builder(step);
    if (kind != 2) builder.number(column);
    app_.Record(builder);
}

void DataGridModel::SortUp(std::int32_t column) {
    if (!validColumn(column)) return;
    sortRows(column, GetColumnItem(column), 0, 0, "Data_SortUp");
}

void DataGridModel::SortDown(std::int32_t column) {
    if (!validColumn(column)) return;
    sortRows(column, GetColumnItem(column), 1, 1, "Data_SortDown");
}

void DataGridModel::SortOrg(std::int32_t column) {
    sortRows(column, -1, 0, 2, "Data_SortOrg");
}

void DataGridModel::DispByCode(std::int32_t column) {
    // Another item has no codes: the engine would refuse and the flag would lie.
    if (!validColumn(column) || !EnableMenuByType(column).codes) return;
    Column& col = columns_[static_cast<std::size_t>(column)];
    col.code = !col.code;
    if (col.code)
        app_.KWdispCode(col.item);
    else
        app_.KWdispName(col.item);
    changed();
    app_.Record(StepBuilder("Data_DispByCode").number(column));
}

void DataGridModel::DispComma(std::int32_t column) {
    if (!validColumn(column)) return;
    Column& col = columns_[static_cast<std::size_t>(column)];
    col.comma = !col.comma;
    changed();
    app_.Record(StepBuilder("Data_DispComma").number(column));
}

void DataGridModel::SetDecimalDigit(std::int32_t column, std::int32_t places) {
    if (!validColumn(column) || places < 0 || places > kMaxDecimals) return;
    columns_[static_cast<std::size_t>(column)].decimals = places;
    changed();
    app_.Record(StepBuilder("Data_DecimalDigit").number(column).number(places));
}

void DataGridModel::DispItemDlg(std::int32_t column) {
    if (!validColumn(column)) return;
    {
        CKWApp::SuppressGuard guard(app_, Suppress::CloseOne);
        if (auto* frame = qobject_cast<CMainFrame*>(app_.windows().mainWindow()))
            frame->ShowItemSheet(GetColumnItem(column));
    }
    app_.Record(StepBuilder("DispItemDlg").number(column));
}

void DataGridModel::AdjustCellWidth(std::int32_t column, bool replacingDrag) {
    if (!validColumn(column)) return;
    std::vector<int> widths;
    const std::int32_t rows = GetRowCount();
    const std::int32_t last = std::min(geometry_.lastVisibleRow(), rows - 1);
    for (std::int32_t row = geometry_.topRow(); row <= last; ++row) {
        std::string text;
        GetCellText(row, column, &text);
        widths.push_back(measure_(text));
    }
    const int width =
        GridController::FitWidth(widths, columns_[static_cast<std::size_t>(column)].minWidth);
    geometry_.setColumnWidth(column, width);
    changed();
    const StepBuilder step = StepBuilder("Data_Alignment").number(column);
    if (replacingDrag)
        app_.RecordReplacingLast(step, "Data_AlignmentFree," + std::to_string(column) + ",");
    else
        app_.Record(step);
}

void DataGridModel::SetColumnWidth(std::int32_t column, std::int32_t width) {
    if (!validColumn(column)) return;
    width = std::clamp(width, 0, GridController::kWidestColumn);
    geometry_.setColumnWidth(column, width);
    changed();
    app_.Record(StepBuilder("Data_AlignmentFree").number(column).number(width));
}

void DataGridModel::SetMinWidth(std::int32_t column, std::int32_t width) {
    if (validColumn(column)) columns_[static_cast<std::size_t>(column)].minWidth = width;
}

// --- Moving and scrolling ---

std::int32_t DataGridModel::ShowRecord(std::int32_t row, std::int32_t item) {
    const auto it = std::find_if(columns_.begin(), columns_.end(),
                                 [item](const Column& c) { return c.item == item; });
    if (it == columns_.end() || row < 0 || row >= GetRowCount()) return 0;
    showCell(static_cast<std::int32_t>(it - columns_.begin()), row);
    return 1;
}

void DataGridModel::showCell(std::int32_t column, std::int32_t row) {
    geometry_.ScrollToRow(row);
    geometry_.ScrollToColumn(column);
    anchor_ = end_ = Cell{column, row};
    changed();
}

void DataGridModel::ScrollToRow(std::int32_t row) {
    geometry_.ScrollToRow(row);
    changed();
}

void DataGridModel::ScrollToColumn(std::int32_t column) {
    geometry_.ScrollToColumn(column);
    changed();
}

void DataGridModel::OnKeyDown(std::int32_t key, std::int32_t repeat, std::int32_t flags) {
    if (!isMoveKey(key)) return;
    app_.Record(StepBuilder("Data_ChengeSelectByKey").number(key).number(repeat).number(flags));
    const auto target = GridController::KeyTarget(key, anchor_, GetColumnCount(), GetRowCount(),
                                                  geometry_.rowsPerPage());
    // By column: an item shown twice would send every move to its first column.
    if (target) showCell(target->column, target->row);
}

void DataGridModel::OnMouseWheel(std::int32_t flags, std::int32_t delta) {
    geometry_.ScrollByPixels(delta < 1 ? 20 : -20);
    changed();
    app_.Record(StepBuilder("Data_MouseWheel").number(flags).number(delta));
}

bool DataGridModel::VScroll(std::int32_t code, std::int32_t value) {
    if (!geometry_.VScroll(code, value)) return false;
    changed();
    app_.Record(StepBuilder("Data_VScroll").number(code).number(code == kThumb ? value : 0));
    return true;
}

bool DataGridModel::HScroll(std::int32_t code, std::int32_t value) {
    if (!geometry_.HScroll(code, value)) return false;
    changed();
    app_.Record(StepBuilder("Data_HScroll").number(code).number(code == kThumb ? value : 0));
    return true;
}

void DataGridModel::SetViewport(int width, int height) {
    geometry_.setViewport(width, height);
    changed();
}

// --- Copy and export ---

void DataGridModel::Source::readCell(std::int32_t row, std::int32_t column, TableCell& cell) const {
    GridCell read = model_.ReadCell(row, column);
    cell.text = std::move(read.text);
    cell.blank = read.blank;
    if (read.number) cell.number = CellNumber{*read.number, read.decimals, read.grouped};
}

namespace {
enum ExportKind { kClipboard, kTextFile, kWorkbook };
}  // namespace

void DataGridModel::exportSelection(int kind, bool withHeaders, const std::string& path) {
    const ExportShape shape{
        selectedRange(source_, {anchor_.column, anchor_.row}, {end_.column, end_.row}), withHeaders,
        false};
    TableExporter exporter(app_, source_);
    switch (kind) {
        case kClipboard:
            exporter.copy(shape, StepBuilder(withHeaders ? "Data_CopyWithHead" : "Data_Copy"));
            break;
        case kTextFile:
            exporter.writeTextFile(
                path, shape, StepBuilder(withHeaders ? "Data_OutToCsvWithHead" : "Data_OutToCsv"));
            break;
        default:
            exporter.writeWorkbook(
                shape, StepBuilder(withHeaders ? "Data_OutToExcelWithHead" : "Data_OutToExcel"));
            break;
    }
}

void DataGridModel::CopyWithHead() {
    exportSelection(kClipboard, true, {});
}
void DataGridModel::Copy() {
    exportSelection(kClipboard, false, {});
}
void DataGridModel::OutToCsvWithHead(const std::string& path) {
    exportSelection(kTextFile, true, path);
}
void DataGridModel::OutToCsv(const std::string& path) {
    exportSelection(kTextFile, false, path);
}
void DataGridModel::OutToExcelWithHead() {
    exportSelection(kWorkbook, true, {});
}
void DataGridModel::OutToExcel() {
    exportSelection(kWorkbook, false, {});
}

void DataGridModel::FormatPrint(std::int32_t number) {
    SelectAll();
    const std::string path = app_.GetProgramDir() + "/temp/StylePrt.csv";
    const ExportShape shape{wholeTable(source_), true, false};
    TableExporter exporter(app_, source_);
    // A No leaves the previous file as it was and opens nothing.
    if (!exporter.confirmCellCount(shape.range)) return;
    AtomicFile file(path);
    std::string buffer;
    const TextForm form = exporter.csvForm();
    // Over no records the entry's file still finds the item names it reads its columns by.
    if (shape.range.isEmpty()) {
        for (std::int32_t c = 0; c < GetColumnCount(); ++c) {
            if (c > 0) buffer += form.separator;
            appendField(buffer, source_.columnHeader(c), form);
        }
        if (GetColumnCount() > 0) buffer += form.lineEnd;
    }
    const bool written = file.open() &&
                         buildTableText(source_, shape, form, buffer, TableExporter::kBlockBytes,
                                        [&file](std::string& text) {
                                            const bool ok = file.write(text);
                                            text.clear();
                                            return ok;
                                        }) &&
                         file.write(buffer) && file.commit();
    if (!written) {
        app_.ShowError(ui::shown("CSVファイルのオープンに失敗しました\n\n[%1]")
                           .arg(QString::fromStdString(path))
                           .toStdString());
        return;
    }
    for (const PrintMenuEntry& entry : app_.GetPrintMenu()) {
        if (entry.number != number) continue;
        const std::string& target = entry.formatFile;
        if (!ui::opener().open(QString::fromStdString(target)))
            app_.ShowError(ui::shown("エクセルファイルの起動に失敗しました\n\n[%1]")
                               .arg(QString::fromStdString(target))
                               .toStdString());
        break;
    }
    app_.Record(StepBuilder("Prt").number(number));
}

// --- QAbstractTableModel ---

int DataGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GetRowCount() + 1;
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GetColumnCount();
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    std::string text;
    if (!GetCellText(index.row(), index.column(), &text)) return {};
    return ui::fromCp932(text);
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return ui::fromCp932(GetColumnName(section));
    return ui::fromCp932(CKWApp::FormatInteger(section + 1));
}

}  // namespace zbq::windows
