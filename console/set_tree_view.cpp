#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/set_tree_view.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include "app/images.h"
#include "console/data_sel_page.h"
#include "console/state_image_delegate.h"
#include "platform/ui/qt_cp932.h"

std::optional<std::int32_t> draggedSetOf(const QMimeData* mime) {
    if (!mime || !mime->hasFormat(QString::fromLatin1(kSetMimeType))) return std::nullopt;
    bool ok = false;
    const int number =
        QString::fromLatin1(mime->data(QString::fromLatin1(kSetMimeType))).toInt(&ok);
    if (!ok) return std::nullopt;
    return number;
}

CDataSelTreeView::CDataSelTreeView(CDataSelPage& page, QWidget* parent)
    : QTreeWidget(parent), page_(page) {
    setObjectName(QStringLiteral("setTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setExpandsOnDoubleClick(false);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setItemDelegate(new StateImageDelegate(zbq::kStateImages, this));
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { expansionChanged(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { expansionChanged(item, false); });
    connect(this, &QTreeWidget::itemChanged, this, &CDataSelTreeView::captionEdited);
}

std::int32_t CDataSelTreeView::setNumberOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

void CDataSelTreeView::programChange(const std::function<void()>& change) {
    ++programDepth_;
    change();
    --programDepth_;
}

QMimeData* CDataSelTreeView::mimeData(const QList<QTreeWidgetItem*>& items) const {
    if (items.isEmpty()) return nullptr;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kSetMimeType),
                  QByteArray::number(setNumberOf(items.front())));
    return mime;
}

QStringList CDataSelTreeView::mimeTypes() const {
    return {QString::fromLatin1(kSetMimeType)};
}

// A drop only asks for a combination; the tree itself never moves a node.
Qt::DropActions CDataSelTreeView::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

void CDataSelTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (draggedSetOf(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CDataSelTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (!draggedSetOf(event->mimeData()) || !itemAt(event->position().toPoint())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void CDataSelTreeView::dropEvent(QDropEvent* event) {
    const std::optional<std::int32_t> dragged = draggedSetOf(event->mimeData());
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    if (!dragged || !target) {
        event->ignore();
        return;
    }
    // Copy, so that the drag's source removes nothing when the drag returns.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const std::int32_t targetNo = setNumberOf(target);
    const std::int32_t draggedNo = *dragged;
    // The menu opens after the drag has ended, outside the drag's own event loop.
    QTimer::singleShot(
        0, &page_, [page = &page_, draggedNo, targetNo] { page->DropSet(draggedNo, targetNo); });
}

void CDataSelTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    page_.SelectSet(setNumberOf(item));
    event->accept();
}

void CDataSelTreeView::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item = itemAt(event->pos());
    if (!item) return;
    setCurrentItem(item);
    page_.OnContextMenu(setNumberOf(item));
}

void CDataSelTreeView::expansionChanged(QTreeWidgetItem* item, bool expanded) {
    if (inProgramChange() || page_.CollapseAllowed()) return;
    programChange([item, expanded] { item->setExpanded(!expanded); });
}

void CDataSelTreeView::captionEdited(QTreeWidgetItem* item, int column) {
    if (inProgramChange() || column != 0) return;
    const std::int32_t setNo = setNumberOf(item);
    const std::string text = zbq::ui::toCp932(item->text(0)).value_or(std::string());
    const SetRecord record = page_.app().GetSetRecord(setNo);
    if (text.empty() || text == record.text2) {
        // Nothing to store: the node shows the caption it had, as the tree shows it.
        const std::string shown = page_.ShownSetCaption(record);
        programChange([item, &shown] { item->setText(0, zbq::ui::fromCp932(shown)); });
        return;
    }
    page_.RenameSet(setNo, text);
}

// Enter or Escape ends an edit: the tree is laid out again with the edited node selected.
bool CDataSelTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool editing = QTreeWidget::edit(index, trigger, event);
    if (editing) editedSet_ = setNumberOf(itemFromIndex(index));
    return editing;
}

void CDataSelTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const std::int32_t setNo = editedSet_;
    QTreeWidget::closeEditor(editor, hint);
    QTimer::singleShot(0, &page_, [page = &page_, setNo] {
        page->RebuildTree();
        page->setTree()->programChange([page] { page->setTree()->expandAll(); });
        if (QTreeWidgetItem* node = page->FindSetItem(setNo)) {
            QTreeWidget* tree = page->setTree();
            page->setTree()->programChange([tree, node] { tree->setCurrentItem(node); });
        }
    });
}
