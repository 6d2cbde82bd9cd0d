#include "console/state_image_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <algorithm>

#include "app/images.h"

namespace {

QStyleOptionViewItem rightOfSlot(const QStyleOptionViewItem& option, const QModelIndex& index) {
    QStyleOptionViewItem shifted(option);
    if (index.column() == 0)
        shifted.rect.setLeft(option.rect.left() + StateImageDelegate::kSlotWidth);
    return shifted;
}

}  // namespace

StateImageDelegate::StateImageDelegate(int imageSet, QObject* parent)
    : QStyledItemDelegate(parent), imageSet_(imageSet) {}

QRect StateImageDelegate::stateRect(const QRect& cell) {
    const QSize size = zbq::zbqImageSize(zbq::kStateImages);
    return QRect(QPoint(cell.left(), cell.top() + (cell.height() - size.height()) / 2), size);
}

void StateImageDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (index.column() == 0) {
        // The row's ground (selection, hover) reaches under the slot too.
        QStyleOptionViewItem ground(option);
        initStyleOption(&ground, index);
        ground.rect.setRight(option.rect.left() + kSlotWidth - 1);
        QStyle* style = ground.widget ? ground.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &ground, painter, ground.widget);
        const int state = index.data(kStateImageRole).toInt();
        if (const QIcon icon = zbq::zbqImage(imageSet_, state); state > 0 && !icon.isNull())
            icon.paint(painter, stateRect(option.rect));
    }
    QStyledItemDelegate::paint(painter, rightOfSlot(option, index), index);
}

QSize StateImageDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.column() == 0) {
        size.rwidth() += kSlotWidth;
        size.setHeight(std::max(size.height(), zbq::zbqImageSize(imageSet_).height()));
    }
    return size;
}

void StateImageDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const {
    QStyledItemDelegate::updateEditorGeometry(editor, rightOfSlot(option, index), index);
}
