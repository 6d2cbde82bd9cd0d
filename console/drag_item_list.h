// COlapItemList: one of the four lists of the aggregation settings page (the item list, the X
// and Y axes, the aggregation list with its "内容" column). Rows are dragged from one list onto
// another under a private MIME type that names the source list and its rows; the list itself
// changes nothing: it reports a drop onto it, the Delete key, a click and a right click to the
// page, whose model applies the rules. A drag carries the selected rows, or the row under the
// press when none is selected. Drops from another program or from the list itself are refused.
// User-interface thread only.
#pragma once

#include <QTreeWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "console/molap_settings.h"

class QMimeData;

class COlapItemList : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr const char* kMimeType = "application/x-zebrine-molap-rows";

    COlapItemList(MolapList role, QWidget* parent = nullptr);

    MolapList role() const { return role_; }
    // Selected rows, top to bottom.
    std::vector<int> selectedRows() const;
    void selectRows(const std::vector<int>& rows);
    // Shows the rows, each with the picture of its item's type, as every list of items shows
    // one; the selection is kept while the number of rows stays the same.
    void showRows(const std::vector<MolapRow>& rows);
    // How the list learns an item's type (ItemType; -1 shows no picture).
    void setTypeOf(std::function<std::int32_t(std::int32_t item)> typeOf) {
        typeOf_ = std::move(typeOf);
    }

    // The payload of a drag, and the source and rows read back (nullopt: not ours).
    static QMimeData* dragData(MolapList source, const std::vector<int>& rows);
    static std::optional<std::pair<MolapList, std::vector<int>>> readDragData(
        const QMimeData* data);

signals:
    void rowsDropped(MolapList source, const std::vector<int>& rows);
    void deleteReleased();
    void rowsClicked();
    void menuRequested();
    void focused();

protected:
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool accepts(const QMimeData* data) const;

    MolapList role_;
    std::function<std::int32_t(std::int32_t)> typeOf_;
    int pressedRow_ = -1;
};
