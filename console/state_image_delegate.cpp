#include "console/state_image_delegate.h"

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
        // A selected row's highlight reaches under the slot too.
        if (option.state & QStyle::State_Selected) {
            const QPalette::ColorGroup group =
                option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
            painter->fillRect(
                QRect(option.rect.left(), option.rect.top(), kSlotWidth, option.rect.height()),
                option.palette.brush(group, QPalette::Highlight));
        }
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
