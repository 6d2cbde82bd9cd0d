#include "windows/value_list_placeholder_view.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "windows/value_list_page.h"

namespace zbq::windows {

std::optional<CellPos> valueListKeyTarget(std::int32_t key, CellPos cell, std::int32_t columns,
                                          std::int32_t rows, std::int32_t pageRows) {
    const std::int32_t c = cell.column, r = cell.row;
    const std::int32_t lastColumn = columns - 1, lastRow = rows - 1;
    if (columns <= 0 || rows <= 0) return std::nullopt;
    switch (key) {
        case kKeyLeft:
            return c > 0 ? std::optional<CellPos>({c - 1, r}) : std::nullopt;
        case kKeyRight:
            return c < lastColumn ? std::optional<CellPos>({c + 1, r}) : std::nullopt;
        case kKeyUp:
            return r > 0 ? std::optional<CellPos>({c, r - 1}) : std::nullopt;
        case kKeyDown:
            return r < lastRow ? std::optional<CellPos>({c, r + 1}) : std::nullopt;
        case kKeyPageUp:
            return CellPos{c, std::max(0, r - pageRows)};
        case kKeyPageDown:
            return CellPos{c, r + pageRows >= lastRow ? lastRow : r + pageRows};
        case kKeyHome:
            return CellPos{0, r};
        case kKeyEnd:
            return CellPos{lastColumn, r};
        case kKeyTab:
            if (c < lastColumn) return CellPos{c + 1, r};
            if (r < lastRow) return CellPos{0, r + 1};
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

namespace {

QString qt(const std::string& cp932) {
    return QString::fromStdString(cp932::toUtf8(cp932));
}

std::int32_t qtToVirtualKey(int key) {
    switch (key) {
        case Qt::Key_Tab:
            return kKeyTab;
        case Qt::Key_PageUp:
            return kKeyPageUp;
        case Qt::Key_PageDown:
            return kKeyPageDown;
        case Qt::Key_End:
            return kKeyEnd;
        case Qt::Key_Home:
            return kKeyHome;
        case Qt::Key_Left:
            return kKeyLeft;
        case Qt::Key_Up:
            return kKeyUp;
        case Qt::Key_Right:
            return kKeyRight;
        case Qt::Key_Down:
            return kKeyDown;
        default:
            return 0;
    }
}

}  // namespace

ValueListPlaceholderView::ValueListPlaceholderView(ValueListModel& model, ValueListPage& page,
                                                   QWidget* parent)
    : QAbstractScrollArea(parent), model_(model), page_(page) {
    setObjectName("valueList");
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(false);
    for (int c = 0; c < model_.columnCount(); ++c) {
        const int title = fontMetrics().horizontalAdvance(qt(model_.columnHeader(c))) + 12;
        widths_.push_back(std::max(kMinimumWidth, title));
    }
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { onScrollAction(true, action); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { onScrollAction(false, action); });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [this] {
        model_.record("Item_VScroll", {4, topRow()});
    });
    connect(horizontalScrollBar(), &QScrollBar::sliderReleased, this, [this] {
        model_.record("Item_HScroll", {4, xOffset()});
    });
    syncScrollBars();
}

// --- Geometry ---

int ValueListPlaceholderView::columnWidth(int column) const {
    return column >= 0 && column < static_cast<int>(widths_.size())
               ? widths_[static_cast<std::size_t>(column)]
               : 0;
}

std::int32_t ValueListPlaceholderView::topRow() const {
    return verticalScrollBar()->value();
}

int ValueListPlaceholderView::xOffset() const {
    return horizontalScrollBar()->value();
}

std::int32_t ValueListPlaceholderView::rowsPerPage() const {
    return std::max(1, (viewport()->height() - kHeaderHeight) / kRowHeight);
}

void ValueListPlaceholderView::syncScrollBars() {
    syncing_ = true;
    verticalScrollBar()->setRange(0, std::max(0, model_.rowCount() - rowsPerPage()));
    verticalScrollBar()->setPageStep(rowsPerPage());
    int content = 0;
    for (int w : widths_)
        content += w;
    horizontalScrollBar()->setRange(0, std::max(0, content - viewport()->width()));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    syncing_ = false;
}

void ValueListPlaceholderView::refresh() {
    syncScrollBars();
    viewport()->update();
}

std::optional<CellPos> ValueListPlaceholderView::cellAt(QPoint point) const {
    if (point.y() < kHeaderHeight) return std::nullopt;
    const std::int32_t row = topRow() + (point.y() - kHeaderHeight) / kRowHeight;
    if (row >= model_.rowCount()) return std::nullopt;
    int x = -xOffset();
    for (int c = 0; c < static_cast<int>(widths_.size()); ++c) {
        x += widths_[static_cast<std::size_t>(c)];
        if (point.x() < x) return CellPos{c, row};
    }
    return CellPos{static_cast<int>(widths_.size()) - 1, row};
}

int ValueListPlaceholderView::dividerAt(int x) const {
    int right = -xOffset();
    for (int c = 0; c < static_cast<int>(widths_.size()); ++c) {
        right += widths_[static_cast<std::size_t>(c)];
        if (std::abs(x - right) <= 2) return c;
    }
    return -1;
}

int ValueListPlaceholderView::fittedWidth(int column) const {
    const std::int32_t first = topRow();
    const std::int32_t last = std::min(model_.rowCount() - 1, first + rowsPerPage() - 1);
    if (last < first) return kMinimumWidth;
    int widest = 0;
    for (std::int32_t row = first; row <= last; ++row)
        widest =
            std::max(widest, fontMetrics().horizontalAdvance(qt(model_.cellText(row, column))));
    return std::clamp(widest + 12, kMinimumWidth, kFittedWidest);
}

void ValueListPlaceholderView::fitAllColumns() {
    for (int c = 0; c < static_cast<int>(widths_.size()); ++c)
        widths_[static_cast<std::size_t>(c)] = fittedWidth(c);
    refresh();
}

QSize ValueListPlaceholderView::fittedSize() const {
    int width = 0;
    for (int w : widths_)
        width += w;
    const std::int32_t visible = std::min(rowsPerPage(), model_.rowCount() - topRow());
    return {std::max(300, width + 120), std::min(350, (topRow() + visible) * kRowHeight)};
}

// --- Actions ---

void ValueListPlaceholderView::SelectCells(CellPos anchor, CellPos end) {
    model_.setSelection(anchor, end);
    viewport()->update();
    model_.record("Item_SelectCell", {anchor.column, anchor.row, end.column, end.row});
}

void ValueListPlaceholderView::SelectRows(std::int32_t first, std::int32_t last) {
    model_.setSelection({0, first}, {model_.columnCount() - 1, last});
    viewport()->update();
    model_.record("Item_SelectRow", {first, last});
}

void ValueListPlaceholderView::SelectColumns(std::int32_t first, std::int32_t last) {
    model_.setSelection({first, 0}, {last, model_.rowCount() - 1});
    viewport()->update();
    model_.record("Item_SelectColumn", {first, last});
}

void ValueListPlaceholderView::SelectAll() {
    model_.SelectAll();
    viewport()->update();
}

namespace {

// A scroll request on a bar: codes 0 and 1 go to `back` and `forward`, 2 and 3 a page either
// way, 4 to `position`. False for another code.
bool scrollBy(QScrollBar* bar, std::int32_t code, std::int32_t position, int back, int forward,
              int page) {
    const int targets[] = {back, forward, bar->value() - page, bar->value() + page, position};
    if (code < 0 || code > 4) return false;
    bar->setValue(targets[code]);
    return true;
}

}  // namespace

bool ValueListPlaceholderView::VScroll(std::int32_t code, std::int32_t position) {
    const int top = topRow();
    if (!scrollBy(verticalScrollBar(), code, position, top - 1, top + 1, rowsPerPage()))
        return false;
    model_.record("Item_VScroll", {code, code == 4 ? topRow() : 0});
    return true;
}

bool ValueListPlaceholderView::HScroll(std::int32_t code, std::int32_t position) {
    // A line is the nearest column edge either way.
    const int x = xOffset();
    int back = 0, forward = x, edge = 0;
    bool found = false;
    for (int w : widths_) {
        if (edge < x) back = edge;
        edge += w;
        if (edge > x && !found) {
            forward = edge;
            found = true;
        }
    }
    if (edge < x) back = edge;
    if (!scrollBy(horizontalScrollBar(), code, position, back, forward, viewport()->width()))
        return false;
    model_.record("Item_HScroll", {code, code == 4 ? xOffset() : 0});
    return true;
}

void ValueListPlaceholderView::MouseWheel(std::int32_t flags, std::int32_t delta) {
    const auto turn = static_cast<std::int16_t>(delta);
    // 20 pixels a notch: one row.
    verticalScrollBar()->setValue(topRow() + (turn < 1 ? 1 : -1));
    model_.record("Item_MouseWheel", {flags, delta});
}

void ValueListPlaceholderView::KeyDown(std::int32_t key, std::int32_t repeat, std::int32_t flags) {
    const bool move = key == kKeyTab || (key >= kKeyPageUp && key <= kKeyDown);
    if (move) model_.record("Item_ChangeSelectByKey", {key, repeat, flags});
    const std::optional<CellPos> target = valueListKeyTarget(
        key, model_.GetSelStart(), model_.columnCount(), model_.rowCount(), rowsPerPage());
    if (!target) return;
    ScrollToRow(target->row);
    ScrollToColumn(target->column);
    model_.setSelection(*target, *target);
    viewport()->update();
}

void ValueListPlaceholderView::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= static_cast<int>(widths_.size())) return;
    widths_[static_cast<std::size_t>(column)] = std::max(0, width & 0xFFFF);
    refresh();
    model_.record("Item_AlignmentFree", {column, widths_[static_cast<std::size_t>(column)]});
}

void ValueListPlaceholderView::FitColumn(int column) {
    if (column < 0 || column >= static_cast<int>(widths_.size())) return;
    widths_[static_cast<std::size_t>(column)] = fittedWidth(column);
    refresh();
    StepBuilder step("Item_Alignment");
    step.number(model_.GetItemNo()).number(column);
    // Only the drag step of this very divider gives way to the fit.
    StepBuilder drag("Item_AlignmentFree");
    drag.number(model_.GetItemNo()).number(column);
    model_.recordReplacingLast(step, drag.str() + ",");
}

void ValueListPlaceholderView::ScrollToRow(std::int32_t row) {
    const std::int32_t top = topRow(), last = top + rowsPerPage() - 1;
    if (row < top)
        verticalScrollBar()->setValue(row);
    else if (row > last)
        verticalScrollBar()->setValue(top + (row - last));
}

void ValueListPlaceholderView::ScrollToColumn(int column) {
    int left = 0;
    for (int c = 0; c < column && c < static_cast<int>(widths_.size()); ++c)
        left += widths_[static_cast<std::size_t>(c)];
    const int right = left + columnWidth(column);
    if (left < xOffset())
        horizontalScrollBar()->setValue(left);
    else if (right > xOffset() + viewport()->width())
        horizontalScrollBar()->setValue(right - viewport()->width());
}

// --- Menu ---

QMenu* ValueListPlaceholderView::buildMenu() {
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
    add(menu, QStringLiteral("全てを選択"), [this] { SelectAll(); });
    QMenu* sort = menu->addMenu(QStringLiteral("存在順に表示"));
    add(
        sort, QStringLiteral("昇順"), [this] { model_.SortUp(); }, state.upChecked, true);
    add(
        sort, QStringLiteral("降順"), [this] { model_.SortDown(); }, state.downChecked, true);
    add(
        menu, QStringLiteral("逆順に表示"), [this] { model_.SortReverse(); }, state.reverseChecked,
        true);
    QMenu* excel = menu->addMenu(QStringLiteral("Excelに書出し"));
    add(excel, QStringLiteral("項目名付き"), [this] { model_.OutToExcel(true); });
    add(excel, QStringLiteral("項目名無し"), [this] { model_.OutToExcel(false); });
    struct Mark {
        const char* text;
        MarkCommand command;
    };
    QMenu* remove = menu->addMenu(QStringLiteral("外す"));
    for (const Mark& m : {Mark{"選択範囲を外す", MarkCommand::RemoveSelection},
                          Mark{"選択範囲のみ外す", MarkCommand::RemoveOnlySelection},
                          Mark{"全てを外す", MarkCommand::RemoveAll},
                          Mark{"値検索結果を外す", MarkCommand::RemoveSearchResult},
                          Mark{"値検索結果のみを外す", MarkCommand::RemoveOnlySearchResult}})
        add(remove, QString::fromUtf8(m.text), [this, c = m.command] { page_.Mark(c); });
    QMenu* addMarks = menu->addMenu(QStringLiteral("加える"));
    for (const Mark& m : {Mark{"選択範囲を加える", MarkCommand::AddSelection},
                          Mark{"選択範囲のみ加える", MarkCommand::AddOnlySelection},
                          Mark{"全てを加える", MarkCommand::AddAll},
                          Mark{"値検索結果を加える", MarkCommand::AddSearchResult},
                          Mark{"値検索結果のみを加える", MarkCommand::AddOnlySearchResult}})
        add(addMarks, QString::fromUtf8(m.text), [this, c = m.command] { page_.Mark(c); });
    menu->addSeparator();
    add(
        menu, QStringLiteral("カンマ編集"), [this] { model_.DispComma(); }, state.commaChecked,
        true)
        ->setEnabled(state.commaEnabled);
    QMenu* decimals = menu->addMenu(QStringLiteral("小数点以下桁数"));
    decimals->setEnabled(state.decimalsEnabled);
    for (int d = 0; d <= ValueListModel::kMaxDecimals; ++d)
        add(
            decimals, QString::number(d), [this, d] { model_.SetDecimalDigit(d); },
            d == state.decimals, true);
    QMenu* percent = menu->addMenu(QStringLiteral("％表示桁数"));
    for (int d = 0; d <= ValueListModel::kMaxPercentDigits; ++d)
        add(
            percent, QString::number(d), [this, d] { model_.SetPercentDigit(d); },
            d == state.percentDigits, true);
    return menu;
}

// --- Painting and gestures ---

void ValueListPlaceholderView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    p.fillRect(area, palette().base());
    const CellRange selected = selectedRange(model_, model_.GetSelStart(), model_.GetSelEnd());
    int x = -xOffset();
    for (int c = 0; c < static_cast<int>(widths_.size()); ++c) {
        const int w = widths_[static_cast<std::size_t>(c)];
        const QRect title(x, 0, w, kHeaderHeight);
        p.fillRect(title, palette().button());
        p.drawRect(title.adjusted(0, 0, -1, -1));
        p.drawText(title, Qt::AlignCenter, qt(model_.columnHeader(c)));
        x += w;
    }
    const std::int32_t last = std::min(model_.rowCount() - 1, topRow() + rowsPerPage());
    for (std::int32_t row = topRow(); row <= last; ++row) {
        const int y = kHeaderHeight + (row - topRow()) * kRowHeight;
        const bool checked = model_.IsValueChecked(row);
        x = -xOffset();
        for (int c = 0; c < static_cast<int>(widths_.size()); ++c) {
            const int w = widths_[static_cast<std::size_t>(c)];
            const QRect cell(x, y, w, kRowHeight);
            const bool in = !selected.isEmpty() && c >= selected.firstColumn &&
                            c <= selected.lastColumn && row >= selected.firstRow &&
                            row <= selected.lastRow;
            if (in) p.fillRect(cell, palette().highlight());
            p.setPen(checked ? (in ? palette().highlightedText().color() : palette().text().color())
                             : QColor(Qt::red));
            p.drawText(
                cell.adjusted(6, 0, -6, 0),
                Qt::AlignVCenter | (model_.rightAligned(row, c) ? Qt::AlignRight : Qt::AlignLeft),
                qt(model_.cellText(row, c)));
            p.setPen(palette().mid().color());
            p.drawRect(cell.adjusted(0, 0, -1, -1));
            x += w;
        }
    }
}

void ValueListPlaceholderView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    syncScrollBars();
}

void ValueListPlaceholderView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    if (at.y() < kHeaderHeight) {
        dragColumn_ = dividerAt(at.x());
        if (dragColumn_ >= 0) {
            drag_ = Drag::Divider;
            dragWidth_ = columnWidth(dragColumn_);
        }
        return;
    }
    if (const std::optional<CellPos> cell = cellAt(at)) {
        drag_ = Drag::Cells;
        dragAnchor_ = *cell;
        model_.setSelection(*cell, *cell);
        viewport()->update();
    }
}

void ValueListPlaceholderView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Divider) {
        int left = -xOffset();
        for (int c = 0; c < dragColumn_; ++c)
            left += columnWidth(c);
        dragWidth_ = std::max(0, at.x() - left);
        widths_[static_cast<std::size_t>(dragColumn_)] = dragWidth_;
        refresh();
    } else if (drag_ == Drag::Cells) {
        if (const std::optional<CellPos> cell = cellAt(at)) {
            model_.setSelection(dragAnchor_, *cell);
            viewport()->update();
        }
    }
}

void ValueListPlaceholderView::mouseReleaseEvent(QMouseEvent*) {
    const Drag drag = std::exchange(drag_, Drag::None);
    if (drag == Drag::Divider) SetColumnWidth(dragColumn_, dragWidth_);
    if (drag == Drag::Cells) SelectCells(model_.GetSelStart(), model_.GetSelEnd());
}

void ValueListPlaceholderView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (at.y() < kHeaderHeight) {
        const int divider = dividerAt(at.x());
        if (divider >= 0) FitColumn(divider);
    }
}

void ValueListPlaceholderView::wheelEvent(QWheelEvent* event) {
    MouseWheel(static_cast<std::int32_t>(event->modifiers() >> 25), event->angleDelta().y());
}

void ValueListPlaceholderView::keyPressEvent(QKeyEvent* event) {
    const std::int32_t key = qtToVirtualKey(event->key());
    if (!key) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    KeyDown(key, 1, 0);
}

void ValueListPlaceholderView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = buildMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void ValueListPlaceholderView::onScrollAction(bool vertical, int action) {
    if (syncing_) return;
    // The bar moves itself; its line and page requests are recorded as they come, the thumb
    // once it is let go (sliderReleased).
    std::int32_t code = -1;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            code = 0;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            code = 1;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = 2;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = 3;
            break;
        default:
            return;
    }
    model_.record(vertical ? "Item_VScroll" : "Item_HScroll", {code, 0});
}

}  // namespace zbq::windows
