// StateImageDelegate: a tree's second picture list. A node's state image (the mark of a listed
// item, of the current set, of a faulty class) stands in a slot of its own left of the node's
// image; the node keeps its image, text and editor right of the slot. The state is an int
// under kStateImageRole (0 or absent: no picture), an index into the picture set given at
// construction. Every node of column 0 keeps the slot, so names stay aligned whichever node
// carries the mark.
#pragma once

#include <QStyledItemDelegate>

class StateImageDelegate : public QStyledItemDelegate {
public:
    static constexpr int kStateImageRole = Qt::UserRole + 64;
    // The slot: a 16-pixel image and a 2-pixel gap.
    static constexpr int kSlotWidth = 18;

    StateImageDelegate(int imageSet, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // Where the state image of a node painted in `cell` goes.
    static QRect stateRect(const QRect& cell);

private:
    int imageSet_;
};
