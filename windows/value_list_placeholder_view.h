// ValueListPlaceholderView: a plain view of the item window's value list until the result
// grid's value-list configuration takes its place. It paints the column titles and the rows in
// view from the ValueListModel (unchecked values in red, the selection highlighted), and turns
// mouse, key, wheel, scroll-bar and title-divider gestures into the view's actions, which record
// their steps. Geometry (column widths, top row, horizontal offset) lives here; the players
// call the same actions with explicit arguments. User-interface thread only.
#pragma once

#include <QAbstractScrollArea>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "windows/value_list_model.h"

class QMenu;

namespace zbq::windows {

class ValueListPage;

// Virtual-key codes of the keys that move the selected cell.
enum ValueListKey : std::int32_t {
    kKeyTab = 9,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
};
// Where a key takes the cell in a table of columns x rows, nullopt when it does not move.
std::optional<CellPos> valueListKeyTarget(std::int32_t key, CellPos cell, std::int32_t columns,
                                          std::int32_t rows, std::int32_t pageRows);

class ValueListPlaceholderView : public QAbstractScrollArea {
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kHeaderHeight = 20;
    static constexpr int kMinimumWidth = 50;
    static constexpr int kFittedWidest = 256;

    ValueListPlaceholderView(ValueListModel& model, ValueListPage& page, QWidget* parent = nullptr);

    ValueListModel& model() const { return model_; }
    int columnWidth(int column) const;
    std::int32_t topRow() const;
    int xOffset() const;
    std::int32_t rowsPerPage() const;

    // --- Actions; each records its step while recording ---
    void SelectCells(CellPos anchor, CellPos end);
    void SelectRows(std::int32_t first, std::int32_t last);
    void SelectColumns(std::int32_t first, std::int32_t last);
    void SelectAll();
    // Codes 0-4 (line back, line forward, page back, page forward, thumb); false for another.
    bool VScroll(std::int32_t code, std::int32_t position);
    bool HScroll(std::int32_t code, std::int32_t position);
    void MouseWheel(std::int32_t flags, std::int32_t delta);
    void KeyDown(std::int32_t key, std::int32_t repeat, std::int32_t flags);
    // The title divider: a drag's width, a double-click's fit (which supersedes the drag's step
    // its press and release recorded for that column).
    void SetColumnWidth(int column, int width);
    void FitColumn(int column);
    // Every column fitted to the rows in view (none: the minimum), widths set without a step.
    void fitAllColumns();
    // The list's width and height that show the fitted columns and rows (the window's fit).
    QSize fittedSize() const;
    void ScrollToRow(std::int32_t row);
    void ScrollToColumn(int column);
    // The model changed: scroll range and repaint.
    void refresh();

    // The pop-up menu, built by role for the item's type; shown at a global point.
    QMenu* buildMenu();
    // Called after a menu command changed marks or options (the window updates its counters).
    std::function<void()> changed;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int, int) override { viewport()->update(); }
    bool focusNextPrevChild(bool) override { return false; }

private:
    int fittedWidth(int column) const;
    std::optional<CellPos> cellAt(QPoint point) const;
    int dividerAt(int x) const;
    void syncScrollBars();
    void onScrollAction(bool vertical, int action);

    ValueListModel& model_;
    ValueListPage& page_;
    std::vector<int> widths_;
    enum class Drag { None, Cells, Divider } drag_ = Drag::None;
    CellPos dragAnchor_;
    int dragColumn_ = -1;
    int dragWidth_ = 0;
    bool syncing_ = false;
};

}  // namespace zbq::windows
