// ValueListView: the item window's value list, drawn by the result grid's three controls in
// their value-list configuration (row header 80 wide, column header 20 high, titles centred,
// row labels the row number + 1 with separators). It owns the list's geometry and answers the
// grid from the ValueListModel: cell texts, the selection, left-aligned error and blank rows,
// and unchecked values in red. The grid's gestures end in the view's actions, which record
// their steps; the players call the same actions with explicit arguments. User-interface
// thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "windows/grid_controller.h"
#include "windows/result_grid.h"
#include "windows/value_list_model.h"

class QMenu;

namespace zbq::windows {

class ValueListPage;

// Virtual-key codes of the keys that move the selected cell.
enum ValueListKey : std::int32_t {
    kKeyTab = kVkTab,
    kKeyPageUp = kVkPageUp,
    kKeyPageDown = kVkPageDown,
    kKeyEnd = kVkEnd,
    kKeyHome = kVkHome,
    kKeyLeft = kVkLeft,
    kKeyUp = kVkUp,
    kKeyRight = kVkRight,
    kKeyDown = kVkDown,
};
// Where a key takes the cell in a table of columns x rows, nullopt when it does not move.
std::optional<CellPos> valueListKeyTarget(std::int32_t key, CellPos cell, std::int32_t columns,
                                          std::int32_t rows, std::int32_t pageRows);

class ValueListView : public QWidget, private GridOwner {
public:
    static constexpr int kHeaderHeight = 20;
    static constexpr int kRowHeaderWidth = 80;
    static constexpr int kMinimumWidth = 50;
    static constexpr int kFittedWidest = 256;

    ValueListView(ValueListModel& model, ValueListPage& page, QWidget* parent = nullptr);

    ValueListModel& model() const { return model_; }
    ResultGrid& grid() const { return *grid_; }
    int columnWidth(int column) const { return geometry_.columnWidth(column); }
    std::int32_t topRow() const { return geometry_.topRow(); }
    int xOffset() const { return geometry_.xOffset(); }
    std::int32_t rowsPerPage() const { return geometry_.rowsPerPage(); }

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
    // The model changed: row count, scroll range and repaint.
    void refresh();

    // The pop-up menu, built by role for the item's type; shown at a global point.
    QMenu* buildMenu();
    // Called after a menu command changed marks or options (the window updates its counters).
    std::function<void()> changed;

private:
    // The texts of the column's visible rows, measured.
    std::vector<int> visibleTextWidths(int column) const;
    // The width the window's reset gives a column: room for its visible texts, within bounds
    // that keep the window on the screen.
    int fittedWidth(int column) const;
    // The narrowest a divider's fit makes the column: its title.
    int minimumWidth(int column) const;

    // GridOwner
    GridController& geometry() override { return geometry_; }
    std::int32_t listRowCount() const override { return model_.rowCount(); }
    std::int32_t dataRowCount() const override { return model_.rowCount(); }
    std::string columnTitle(std::int32_t column) const override;
    std::string rowLabel(std::int32_t row) const override;
    bool cellText(std::int32_t row, std::int32_t column, std::string* text) const override;
    bool isSelected(std::int32_t column, std::int32_t row) const override;
    bool rightAligned(std::int32_t column) const override;
    bool cellRightAligned(std::int32_t row, std::int32_t column) const override;
    std::optional<QColor> rowTextColour(std::int32_t row) const override;
    void dragSelection(Cell anchor, Cell end) override;
    void selectAll() override { SelectAll(); }
    void selectCells(Cell anchor, Cell end) override;
    void selectRows(std::int32_t first, std::int32_t last) override { SelectRows(first, last); }
    void selectColumns(std::int32_t first, std::int32_t last) override;
    void columnResized(std::int32_t column, std::int32_t width) override;
    void fitColumn(std::int32_t column) override { FitColumn(column); }
    void titleDoubleClicked(std::int32_t) override {}
    void rowDoubleClicked(std::int32_t) override {}
    void cellDoubleClicked(std::int32_t, std::int32_t) override {}
    void scrollRequest(bool vertical, std::int32_t code, std::int32_t value) override;
    void wheel(std::int32_t delta) override { MouseWheel(0, delta); }
    void key(std::int32_t virtualKey) override { KeyDown(virtualKey, 1, 0); }
    void contextMenu(GridRole role, std::int32_t column, QPoint global) override;

    ValueListModel& model_;
    ValueListPage& page_;
    GridController geometry_;
    ResultGrid* grid_;
};

}  // namespace zbq::windows
