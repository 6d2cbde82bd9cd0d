// The grid with fixed rows and columns: overlay views over the grid's own model.
#include "platform/ui/fixed_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace zbq::ui {

namespace {

constexpr int kTwipsPerInch = 1440;

// The scroll bar's value that shows `section` whole in the part of the viewport beyond the
// first `fixed` pixels, which the fixed part covers; `current` when it shows there already. A
// section longer than that part is shown from its start.
int bodyScrollValue(const QHeaderView& header, QAbstractItemView::ScrollMode mode, int current,
                    int section, int fixed, int length) {
    const int position = header.sectionPosition(section);
    // The offsets that show it: from its end at the viewport's end to its start at the fixed
    // part's end.
    const int latest = position - fixed;
    const int earliest = std::min(position + header.sectionSize(section) - length, latest);
    const int offset = header.offset();
    if (offset >= earliest && offset <= latest) return current;
    const int wanted = offset > latest ? latest : earliest;
    if (mode == QAbstractItemView::ScrollPerPixel) return std::max(wanted, 0);
    // By item the value is the visual index of the section at the viewport's start: the last
    // whose start is at most the offset wanted, or the first at least at it.
    const auto start = [&header](int visual) {
        return header.sectionPosition(header.logicalIndex(visual));
    };
    int visual = header.visualIndex(section);
    if (offset > latest) {
        while (visual > 0 && start(visual) > wanted)
            --visual;
    } else {
        while (visual > 0 && start(visual - 1) >= wanted)
            --visual;
    }
    return visual;
}

}  // namespace

int twipsToPixels(int twips, int dpi) {
    return static_cast<int>(static_cast<long long>(dpi) * twips / kTwipsPerInch);
}

int pixelsToTwips(int pixels, int dpi) {
    return dpi > 0 ? static_cast<int>(static_cast<long long>(pixels) * kTwipsPerInch / dpi) : 0;
}

// Paints the highlight over the highlighted cell; every other cell as the model says.
class FixedGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(FixedGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        o.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        if (index.row() == grid_.highlightRow_ && index.column() == grid_.highlightColumn_) {
            // The system's highlight whether or not the window has the focus.
            painter->save();
            painter->fillRect(o.rect, o.palette.color(QPalette::Active, QPalette::Highlight));
            painter->setPen(o.palette.color(QPalette::Active, QPalette::HighlightedText));
            const QVariant align = index.data(Qt::TextAlignmentRole);
            const auto flags = align.isValid() ? Qt::Alignment(align.toInt())
                                               : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
            painter->drawText(o.rect.adjusted(3, 0, -3, 0), int(flags), index.data().toString());
            painter->restore();
            return;
        }
        QStyledItemDelegate::paint(painter, o, index);
    }

private:
    FixedGrid& grid_;
};

FixedGrid::FixedGrid(QWidget* parent) : QTableView(parent), delegate_(new Delegate(*this)) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(delegate_);
    viewport()->installEventFilter(this);
    top_ = makeOverlay();
    left_ = makeOverlay();
    corner_ = makeOverlay();
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, top_->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, left_->verticalScrollBar(),
            &QScrollBar::setValue);
}

FixedGrid::~FixedGrid() = default;

QTableView* FixedGrid::makeOverlay() {
    auto* view = new QTableView(this);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFocusPolicy(Qt::NoFocus);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFrameShape(QFrame::NoFrame);
    view->setItemDelegate(delegate_);
    view->viewport()->installEventFilter(this);
    view->hide();
    return view;
}

void FixedGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    for (QTableView* view : {top_, left_, corner_})
        view->setModel(model);
    placeOverlays();
}

void FixedGrid::setFixed(int rows, int columns) {
    fixedRows_ = rows;
    fixedColumns_ = columns;
    placeOverlays();
}

void FixedGrid::setCellSpans(const std::vector<QRect>& spans) {
    for (QTableView* view : {static_cast<QTableView*>(this), top_, left_, corner_}) {
        view->clearSpans();
        for (const QRect& s : spans)
            view->setSpan(s.y(), s.x(), s.height(), s.width());
    }
}

void FixedGrid::setSectionTwips(int rowTwips, int columnTwips) {
    rowTwips_ = rowTwips;
    columnTwips_ = columnTwips;
    applySectionTwips();
}

int FixedGrid::rowHeightTwips() const {
    return rowTwips_ > 0 ? rowTwips_
                         : pixelsToTwips(verticalHeader()->defaultSectionSize(), logicalDpiY());
}

int FixedGrid::columnWidthTwips() const {
    return columnTwips_ > 0
               ? columnTwips_
               : pixelsToTwips(horizontalHeader()->defaultSectionSize(), logicalDpiX());
}

void FixedGrid::applySectionTwips() {
    const int height = rowTwips_ > 0 ? std::max(1, twipsToPixels(rowTwips_, logicalDpiY())) : 0;
    const int width =
        columnTwips_ > 0 ? std::max(1, twipsToPixels(columnTwips_, logicalDpiX())) : 0;
    for (QTableView* view : {static_cast<QTableView*>(this), top_, left_, corner_}) {
        if (height > 0) {
            view->verticalHeader()->setMinimumSectionSize(1);
            view->verticalHeader()->setDefaultSectionSize(height);
        }
        if (width > 0) {
            view->horizontalHeader()->setMinimumSectionSize(1);
            view->horizontalHeader()->setDefaultSectionSize(width);
        }
    }
    placeOverlays();
}

void FixedGrid::setHighlight(int row, int column) {
    const int oldRow = highlightRow_, oldColumn = highlightColumn_;
    highlightRow_ = row;
    highlightColumn_ = column;
    if (model() && row >= 0 && column >= 0) setCurrentIndex(model()->index(row, column));
    for (QTableView* view : {static_cast<QTableView*>(this), top_, left_, corner_}) {
        if (!view->model()) continue;
        if (oldRow >= 0) view->update(view->model()->index(oldRow, oldColumn));
        if (row >= 0) view->update(view->model()->index(row, column));
    }
}

void FixedGrid::placeOverlays() {
    if (!model()) return;
    const QRect area = viewport()->geometry();
    int height = 0, width = 0;
    for (int r = 0; r < fixedRows_ && r < model()->rowCount(); ++r)
        height += rowHeight(r);
    for (int c = 0; c < fixedColumns_ && c < model()->columnCount(); ++c)
        width += columnWidth(c);
    height = std::min(height, area.height());
    width = std::min(width, area.width());
    const auto place = [&](QTableView* view, bool shown, const QRect& rect) {
        view->setVisible(shown && rect.width() > 0 && rect.height() > 0);
        if (!view->isVisible()) return;
        view->setGeometry(rect);
    };
    place(top_, fixedRows_ > 0, QRect(area.x(), area.y(), area.width(), height));
    place(left_, fixedColumns_ > 0, QRect(area.x(), area.y(), width, area.height()));
    place(corner_, fixedRows_ > 0 && fixedColumns_ > 0, QRect(area.x(), area.y(), width, height));
    top_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    left_->verticalScrollBar()->setValue(verticalScrollBar()->value());
    corner_->raise();
}

void FixedGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || hint != EnsureVisible || !model()) {
        QTableView::scrollTo(index, hint);
        return;
    }
    // Qt's own would count the cells under the fixed part as shown: the current cell made
    // visible in a narrow grid scrolled the first body column under the fixed columns.
    const auto show = [](QScrollBar* bar, const QHeaderView& header, ScrollMode mode, int section,
                         int fixedSections, int length) {
        if (section < fixedSections) return;
        const int fixed = fixedSections > 0 ? header.sectionPosition(fixedSections - 1) +
                                                  header.sectionSize(fixedSections - 1)
                                            : 0;
        bar->setValue(bodyScrollValue(header, mode, bar->value(), section, fixed, length));
    };
    const QRect area = viewport()->rect();
    show(horizontalScrollBar(), *horizontalHeader(), horizontalScrollMode(), index.column(),
         fixedColumns_, area.width());
    show(verticalScrollBar(), *verticalHeader(), verticalScrollMode(), index.row(), fixedRows_,
         area.height());
}

void FixedGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeOverlays();
}

void FixedGrid::updateGeometries() {
    QTableView::updateGeometries();
    placeOverlays();
}

void FixedGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Menu) {
        const QModelIndex current = currentIndex();
        emit menuKeyPressed(current.row(), current.column());
        return;
    }
    QTableView::keyPressEvent(event);
}

bool FixedGrid::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonPress)
        return QTableView::eventFilter(watched, event);
    // The scroll area watches its scroll bars too: a click there is on no cell.
    QTableView* view = watched == viewport() ? this : nullptr;
    for (QTableView* overlay : {corner_, top_, left_})
        if (watched == overlay->viewport()) view = overlay;
    if (!view) return QTableView::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex index = view->indexAt(mouse->position().toPoint());
    if (!index.isValid()) return QTableView::eventFilter(watched, event);
    if (type == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
        setCurrentIndex(index);
        emit cellDoubleClicked(index.row(), index.column());
        return true;
    }
    if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        setCurrentIndex(index);
        emit cellReleased(index.row(), index.column());
        return true;
    }
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton) {
        setCurrentIndex(index);
        emit cellRightPressed(index.row(), index.column(), mouse->globalPosition().toPoint());
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace zbq::ui
