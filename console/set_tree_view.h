// CDataSelTreeView: the set tree of the data-selection tab as a widget. One node per set,
// carrying the set number; the current set's node carries the mark. Its gestures go to the page:
// a double click makes a set current, the right button opens the set menu, an edited caption
// renames the set, and a node dragged onto another asks for a combination once the drop has
// returned. Drags carry the set number under a MIME type of our own, so nothing else drops
// here. While the page forbids it, the user's expanding and collapsing are undone at once.
// User-interface thread only.
#pragma once

#include <QTreeWidget>

#include <cstdint>
#include <functional>
#include <optional>

class CDataSelPage;

// The MIME type of a dragged set: its number as decimal text.
inline constexpr const char* kSetMimeType = "application/x-zbq-set-number";

// Where a drop of `mime` data may land; nullopt when it carries no set.
std::optional<std::int32_t> draggedSetOf(const QMimeData* mime);

class CDataSelTreeView : public QTreeWidget {
    Q_OBJECT

public:
    explicit CDataSelTreeView(CDataSelPage& page, QWidget* parent = nullptr);

    static std::int32_t setNumberOf(const QTreeWidgetItem* item);
    // Runs a change of the program's own (filling, marking, expanding) that the handlers of the
    // user's gestures must not take for one.
    void programChange(const std::function<void()>& change);
    bool inProgramChange() const { return programDepth_ > 0; }

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void expansionChanged(QTreeWidgetItem* item, bool expanded);
    void captionEdited(QTreeWidgetItem* item, int column);

    CDataSelPage& page_;
    int programDepth_ = 0;
    std::int32_t editedSet_ = -1;
};
