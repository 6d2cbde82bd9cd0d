#include "console/drag_item_list.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QDataStream>
#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

#include "app/images.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/shown_bytes.h"

namespace {

// A text of ours as the user reads it (language.h).
QString u(const char* utf8) {
    return zbq::ui::shown(utf8);
}

constexpr int kLastList = static_cast<int>(MolapList::Sum);
// Room beside a column's text for the cell's and the header section's margins.
constexpr int kColumnPadding = 16;

}  // namespace

COlapItemList::COlapItemList(MolapList role, QWidget* parent) : QTreeWidget(parent), role_(role) {
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    header()->setStretchLastSection(false);
    switch (role) {
        case MolapList::Items:
            setHeaderLabels({u("項目名")});
            setColumnWidth(0, 105);
            break;
        case MolapList::X:
            setHeaderLabels({u("X軸項目名")});
            setColumnWidth(0, 123);
            break;
        case MolapList::Y:
            setHeaderLabels({u("Y軸項目名")});
            setColumnWidth(0, 123);
            break;
        case MolapList::Sum: {
            setHeaderLabels({u("集計項目名"), u("内容")});
            // The kind column as wide as its title and its longest kind need, which English
            // makes wider than the Japanese's 55 pixels.
            int kind = header()->fontMetrics().horizontalAdvance(headerItem()->text(1));
            for (const char* k : MolapSettings::kKinds)
                kind = std::max(kind, fontMetrics().horizontalAdvance(u(k)));
            setColumnWidth(
                0, std::max(120, header()->fontMetrics().horizontalAdvance(headerItem()->text(0)) +
                                     kColumnPadding));
            setColumnWidth(1, std::max(55, kind + kColumnPadding));
            break;
        }
    }
}

std::vector<int> COlapItemList::selectedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->isSelected()) rows.push_back(i);
    return rows;
}

void COlapItemList::selectRows(const std::vector<int>& rows) {
    clearSelection();
    for (int row : rows)
        if (QTreeWidgetItem* item = topLevelItem(row)) item->setSelected(true);
    if (!rows.empty())
        if (QTreeWidgetItem* item = topLevelItem(rows.front()))
            setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
}

void COlapItemList::showRows(const std::vector<MolapRow>& rows) {
    const bool withKind = role_ == MolapList::Sum;
    // As many rows as before: changed in place, so a kind or suffix chosen keeps the selection.
    if (topLevelItemCount() != static_cast<int>(rows.size())) {
        clear();
        for (std::size_t i = 0; i < rows.size(); ++i)
            new QTreeWidgetItem(this);
    }
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const MolapRow& row = rows[static_cast<std::size_t>(i)];
        QTreeWidgetItem* item = topLevelItem(i);
        const QString text = zbq::ui::fromCp932(molapRowText(row, &zbq::ui::shownBytes));
        if (item->text(0) != text) item->setText(0, text);
        if (item->data(0, Qt::UserRole).toInt() != row.item)
            item->setData(0, Qt::UserRole, row.item);
        if (withKind && item->text(1) != u(MolapSettings::kKinds[row.kind]))
            item->setText(1, u(MolapSettings::kKinds[row.kind]));
        const QIcon picture = zbq::zbqImage(zbq::kItemImages, typeOf_ ? typeOf_(row.item) : -1);
        if (item->icon(0).cacheKey() != picture.cacheKey()) item->setIcon(0, picture);
    }
}

// --- Dragging ---

QMimeData* COlapItemList::dragData(MolapList source, const std::vector<int>& rows) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << static_cast<qint32>(source) << static_cast<qint32>(rows.size());
    for (int row : rows)
        out << static_cast<qint32>(row);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kMimeType), bytes);
    return data;
}

std::optional<std::pair<MolapList, std::vector<int>>> COlapItemList::readDragData(
    const QMimeData* data) {
    if (!data || !data->hasFormat(QString::fromLatin1(kMimeType))) return std::nullopt;
    QDataStream in(data->data(QString::fromLatin1(kMimeType)));
    qint32 source = -1, count = -1;
    in >> source >> count;
    if (in.status() != QDataStream::Ok || source < 0 || source > kLastList || count < 0)
        return std::nullopt;
    std::vector<int> rows;
    for (qint32 i = 0; i < count; ++i) {
        qint32 row = -1;
        in >> row;
        if (in.status() != QDataStream::Ok) return std::nullopt;
        rows.push_back(row);
    }
    return std::pair{static_cast<MolapList>(source), std::move(rows)};
}

void COlapItemList::startDrag(Qt::DropActions) {
    std::vector<int> rows = selectedRows();
    if (rows.empty() && pressedRow_ >= 0) rows.push_back(pressedRow_);
    if (rows.empty()) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData(role_, rows));
    if (QTreeWidgetItem* item = topLevelItem(rows.front())) {
        const QRect rect = visualItemRect(item);
        if (!rect.isEmpty()) drag->setPixmap(viewport()->grab(rect));
    }
    // Copy only: the page's rules decide which rows leave their list, never the view.
    drag->exec(Qt::CopyAction);
}

bool COlapItemList::accepts(const QMimeData* data) const {
    const auto payload = readDragData(data);
    return payload && payload->first != role_;
}

void COlapItemList::dragEnterEvent(QDragEnterEvent* event) {
    if (!accepts(event->mimeData())) return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void COlapItemList::dragMoveEvent(QDragMoveEvent* event) {
    if (!accepts(event->mimeData())) return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void COlapItemList::dropEvent(QDropEvent* event) {
    const auto payload = readDragData(event->mimeData());
    if (!payload || payload->first == role_) return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit rowsDropped(payload->first, payload->second);
}

// --- Keys and clicks ---

void COlapItemList::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && role_ != MolapList::Items) emit deleteReleased();
    QTreeWidget::keyReleaseEvent(event);
}

void COlapItemList::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    pressedRow_ = index.isValid() ? index.row() : -1;
    QTreeWidget::mousePressEvent(event);
}

void COlapItemList::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit rowsClicked();
}

void COlapItemList::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    emit menuRequested();
}

void COlapItemList::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    emit focused();
}
