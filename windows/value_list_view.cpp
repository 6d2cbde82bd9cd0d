#include "windows/value_list_view.h"

#include <QMenu>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "app/ckw_app.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/shown_bytes.h"
#include "windows/value_list_page.h"

namespace zbq::windows {

std::optional<CellPos> valueListKeyTarget(std::int32_t key, CellPos cell, std::int32_t columns,
                                          std::int32_t rows, std::int32_t pageRows) {
    const std::optional<Cell> to =
        GridController::KeyTarget(key, {cell.column, cell.row}, columns, rows, pageRows);
    if (!to) return std::nullopt;
    return CellPos{to->column, to->row};
}

namespace {

GridConfig valueListConfig() {
    GridConfig config;
    config.rowHeaderWidth = ValueListView::kRowHeaderWidth;
    config.headerHeight = ValueListView::kHeaderHeight;
    config.centredTitles = true;
    return config;
}

}  // namespace

ValueListView::ValueListView(ValueListModel& model, ValueListPage& page, QWidget* parent)
    : QWidget(parent),
      model_(model),
      page_(page),
      geometry_(valueListConfig()),
      grid_(new ResultGrid(*this, valueListConfig(), this)) {
    setObjectName("valueList");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    setFocusProxy(grid_);
    refresh();
}

// --- GridOwner ---

std::string ValueListView::columnTitle(std::int32_t column) const {
    return ui::shownBytes(model_.columnHeader(column));
}

std::string ValueListView::rowLabel(std::int32_t row) const {
    return CKWApp::FormatInteger(row + 1);
}

bool ValueListView::cellText(std::int32_t row, std::int32_t column, std::string* text) const {
    if (row < 0 || row >= model_.rowCount() || column < 0 || column >= model_.columnCount())
        return false;
    *text = model_.cellText(row, column);
    return true;
}

bool ValueListView::isSelected(std::int32_t column, std::int32_t row) const {
    const CellRange selected = selectedRange(model_, model_.GetSelStart(), model_.GetSelEnd());
    return !selected.isEmpty() && column >= selected.firstColumn && column <= selected.lastColumn &&
           row >= selected.firstRow && row <= selected.lastRow;
}

bool ValueListView::rightAligned(std::int32_t column) const {
    // Rows past the error and blank rows hold the ordinary values.
    return model_.rightAligned(2, column);
}

bool ValueListView::cellRightAligned(std::int32_t row, std::int32_t column) const {
    return model_.rightAligned(row, column);
}

std::optional<QColor> ValueListView::rowTextColour(std::int32_t row) const {
    if (row < 0 || row >= model_.rowCount() || model_.IsValueChecked(row)) return std::nullopt;
    return QColor(255, 0, 0);
}

void ValueListView::dragSelection(Cell anchor, Cell end) {
    model_.setSelection({anchor.column, anchor.row}, {end.column, end.row});
}

void ValueListView::selectCells(Cell anchor, Cell end) {
    SelectCells({anchor.column, anchor.row}, {end.column, end.row});
}

void ValueListView::selectColumns(std::int32_t first, std::int32_t last) {
    SelectColumns(first, last);
}

void ValueListView::columnResized(std::int32_t column, std::int32_t width) {
    SetColumnWidth(column, width);
}

void ValueListView::scrollRequest(bool vertical, std::int32_t code, std::int32_t value) {
    if (vertical)
        VScroll(code, value);
    else
        HScroll(code, value);
}

void ValueListView::contextMenu(GridRole, std::int32_t, QPoint global) {
    QMenu* menu = buildMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(global);
}

// --- Geometry ---

void ValueListView::refresh() {
    if (geometry_.columnCount() != model_.columnCount()) {
        std::vector<int> widths;
        for (int c = 0; c < model_.columnCount(); ++c)
            widths.push_back(std::max(kMinimumWidth, grid_->textWidth(columnTitle(c)) + 12));
        geometry_.setColumnWidths(std::move(widths));
    }
    geometry_.setRowCount(model_.rowCount());
    grid_->refresh();
}

std::vector<int> ValueListView::visibleTextWidths(int column) const {
    const std::int32_t first = topRow();
    const std::int32_t last = std::min(model_.rowCount() - 1, first + rowsPerPage() - 1);
    std::vector<int> widths;
    for (std::int32_t row = first; row <= last; ++row)
        widths.push_back(grid_->textWidth(model_.cellText(row, column)));
    return widths;
}

int ValueListView::fittedWidth(int column) const {
    const std::vector<int> widths = visibleTextWidths(column);
    if (widths.empty()) return kMinimumWidth;
    const int widest = *std::max_element(widths.begin(), widths.end());
    return std::clamp(widest + 12, kMinimumWidth, kFittedWidest);
}

int ValueListView::minimumWidth(int column) const {
    return grid_->textWidth(columnTitle(column)) + GridController::kFitPadding;
}

void ValueListView::fitAllColumns() {
    for (int c = 0; c < geometry_.columnCount(); ++c)
        geometry_.setColumnWidth(c, fittedWidth(c));
    refresh();
}

QSize ValueListView::fittedSize() const {
    const int width = geometry_.contentWidth();
    const std::int32_t visible = std::min(rowsPerPage(), model_.rowCount() - topRow());
    return {std::max(300, width + 120),
            std::min(350, kHeaderHeight + (topRow() + visible) * geometry_.rowHeight())};
}

void ValueListView::ScrollToRow(std::int32_t row) {
    geometry_.ScrollToRow(row);
    grid_->refresh();
}

void ValueListView::ScrollToColumn(int column) {
    geometry_.ScrollToColumn(column);
    grid_->refresh();
}

// --- Actions ---

void ValueListView::SelectCells(CellPos anchor, CellPos end) {
    model_.setSelection(anchor, end);
    grid_->refresh();
    model_.record("Item_SelectCell", {anchor.column, anchor.row, end.column, end.row});
}

void ValueListView::SelectRows(std::int32_t first, std::int32_t last) {
    model_.setSelection({0, first}, {model_.columnCount() - 1, last});
    grid_->refresh();
    model_.record("Item_SelectRow", {first, last});
}

void ValueListView::SelectColumns(std::int32_t first, std::int32_t last) {
    model_.setSelection({first, 0}, {last, model_.rowCount() - 1});
    grid_->refresh();
    model_.record("Item_SelectColumn", {first, last});
}

void ValueListView::SelectAll() {
    model_.SelectAll();
    grid_->refresh();
}

bool ValueListView::VScroll(std::int32_t code, std::int32_t position) {
    if (!geometry_.VScroll(code, position)) return false;
    grid_->refresh();
    model_.record("Item_VScroll", {code, code == kThumb ? topRow() : 0});
    return true;
}

bool ValueListView::HScroll(std::int32_t code, std::int32_t position) {
    if (!geometry_.HScroll(code, position)) return false;
    grid_->refresh();
    model_.record("Item_HScroll", {code, code == kThumb ? xOffset() : 0});
    return true;
}

void ValueListView::MouseWheel(std::int32_t flags, std::int32_t delta) {
    const auto turn = static_cast<std::int16_t>(delta);
    // One row a notch.
    geometry_.setTopRow(static_cast<std::int64_t>(topRow()) + (turn < 1 ? 1 : -1));
    grid_->refresh();
    model_.record("Item_MouseWheel", {flags, delta});
}

void ValueListView::KeyDown(std::int32_t key, std::int32_t repeat, std::int32_t flags) {
    if (isMoveKey(key)) model_.record("Item_ChangeSelectByKey", {key, repeat, flags});
    const std::optional<CellPos> target = valueListKeyTarget(
        key, model_.GetSelStart(), model_.columnCount(), model_.rowCount(), rowsPerPage());
    if (!target) return;
    geometry_.ScrollToRow(target->row);
    geometry_.ScrollToColumn(target->column);
    model_.setSelection(*target, *target);
    grid_->refresh();
}

void ValueListView::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= geometry_.columnCount()) return;
    geometry_.setColumnWidth(column, std::max(0, width & 0xFFFF));
    grid_->refresh();
    model_.record("Item_AlignmentFree", {column, geometry_.columnWidth(column)});
}

void ValueListView::FitColumn(int column) {
    if (column < 0 || column >= geometry_.columnCount()) return;
    // The divider's fit, as every grid's: the widest visible text, between the column's own
    // minimum (its title) and the widest column a grid has.
    geometry_.setColumnWidth(column,
                             GridController::FitWidth(visibleTextWidths(column), minimumWidth(column)));
    grid_->refresh();
    StepBuilder step("Item_Alignment");
    step.number(model_.GetItemNo()).number(column);
    // Only the drag step of this very divider gives way to the fit.
    StepBuilder drag("Item_AlignmentFree");
    drag.number(model_.GetItemNo()).number(column);
    model_.recordReplacingLast(step, drag.str() + ",");
}

// --- Menu ---

QMenu* ValueListView::buildMenu() {
    auto* menu = new QMenu(this);
    const ValueMenuState state = model_.menuState();
    const auto after = [this] {
        page_.UpdateCounts();
        refresh();
        if (changed) changed();
    };
    const auto add = [&](QMenu* to, const QString& text, auto action, bool checked = false,
                         bool checkable = false) {
        QAction* a = to->addAction(text);
        a->setCheckable(checkable);
        a->setChecked(checked);
        connect(a, &QAction::triggered, this, [action, after] {
            action();
            after();
        });
        return a;
    };
    add(menu, ui::shown("全てを選択"), [this] { SelectAll(); });
    QMenu* sort = menu->addMenu(ui::shown("存在順に表示"));
    add(
        sort, ui::shown("昇順"), [this] { model_.SortUp(); }, state.upChecked, true);
    add(
        sort, ui::shown("降順"), [this] { model_.SortDown(); }, state.downChecked, true);
    add(
        menu, ui::shown("逆順に表示"), [this] { model_.SortReverse(); }, state.reverseChecked,
        true);
    if (zbq::ui::englishShown()) {
        // Only the English layout offers the clipboard and the text file; the steps they record
        // play in either language.
        QMenu* copy = menu->addMenu(QStringLiteral("Copy"));
        add(copy, QStringLiteral("With item names"), [this] { model_.Copy(true); });
        add(copy, QStringLiteral("No item names"), [this] { model_.Copy(false); });
        QMenu* csv = menu->addMenu(QStringLiteral("Write to CSV"));
        add(csv, QStringLiteral("With item names"), [this] { model_.OutToCsv({}, true); });
        add(csv, QStringLiteral("No item names"), [this] { model_.OutToCsv({}, false); });
    }
    QMenu* excel = menu->addMenu(ui::shown("Excelに書出し"));
    excel->setEnabled(state.excelEnabled);
    add(excel, ui::shown("項目名付き"), [this] { model_.OutToExcel(true); });
    add(excel, ui::shown("項目名無し"), [this] { model_.OutToExcel(false); });
    struct Mark {
        const char* text;
        MarkCommand command;
    };
    QMenu* remove = menu->addMenu(ui::shown("外す"));
    for (const Mark& m :
         {Mark{ZBQ_SHOWN("選択範囲を外す"), MarkCommand::RemoveSelection},
          Mark{ZBQ_SHOWN("選択範囲のみ外す"), MarkCommand::RemoveOnlySelection},
          Mark{ZBQ_SHOWN("全てを外す"), MarkCommand::RemoveAll},
          Mark{ZBQ_SHOWN("値検索結果を外す"), MarkCommand::RemoveSearchResult},
          Mark{ZBQ_SHOWN("値検索結果のみを外す"), MarkCommand::RemoveOnlySearchResult}})
        add(remove, ui::shown(m.text), [this, c = m.command] { page_.Mark(c); });
    QMenu* addMarks = menu->addMenu(ui::shown("加える"));
    for (const Mark& m :
         {Mark{ZBQ_SHOWN("選択範囲を加える"), MarkCommand::AddSelection},
          Mark{ZBQ_SHOWN("選択範囲のみ加える"), MarkCommand::AddOnlySelection},
          Mark{ZBQ_SHOWN("全てを加える"), MarkCommand::AddAll},
          Mark{ZBQ_SHOWN("値検索結果を加える"), MarkCommand::AddSearchResult},
          Mark{ZBQ_SHOWN("値検索結果のみを加える"), MarkCommand::AddOnlySearchResult}})
        add(addMarks, ui::shown(m.text), [this, c = m.command] { page_.Mark(c); });
    menu->addSeparator();
    add(
        menu, ui::shown("カンマ編集"), [this] { model_.DispComma(); }, state.commaChecked, true)
        ->setEnabled(state.commaEnabled);
    QMenu* decimals = menu->addMenu(ui::shown("小数点以下桁数"));
    decimals->setEnabled(state.decimalsEnabled);
    for (int d = 0; d <= ValueListModel::kMaxDecimals; ++d)
        add(
            decimals, QString::number(d), [this, d] { model_.SetDecimalDigit(d); },
            d == state.decimals, true);
    QMenu* percent = menu->addMenu(ui::shown("％表示桁数"));
    for (int d = 0; d <= ValueListModel::kMaxPercentDigits; ++d)
        add(
            percent, QString::number(d), [this, d] { model_.SetPercentDigit(d); },
            d == state.percentDigits, true);
    return menu;
}

}  // namespace zbq::windows
