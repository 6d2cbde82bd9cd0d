// GridController: the geometry of a result grid, with no widget and no data. It knows the
// column widths, the row count, the row height, the size of the list's viewport and where the
// list is scrolled to (top row, horizontal offset in pixels), and answers what the grid's three
// controls ask of it: which column lies under an x, which row under a y, which divider a header
// point touches, the fitted width of a column, where a key moves the current cell, and how a
// scroll request moves the list. The widgets paint from it and turn gestures into owner calls;
// the owner's operations and the macro players change it. Coordinates are list-client
// coordinates unless a name says "header".
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zbq::windows {

// The three configurations of the grid's controls.
struct GridConfig {
    int rowHeaderWidth = 80;  // also the width of the column header's corner cell
    int headerHeight = 20;
    bool centredTitles = false;  // column titles centred rather than left-aligned at the inset
};

// The standard scroll-bar requests as steps record them.
enum ScrollCode : std::int32_t {
    kLineBack = 0,  // line up or left
    kLineForward = 1,
    kPageBack = 2,
    kPageForward = 3,
    kThumb = 4,
};

// The virtual-key codes that move the current cell (what key steps record).
enum VirtualKey : std::int32_t {
    kVkTab = 9,
    kVkPageUp = 33,
    kVkPageDown = 34,
    kVkEnd = 35,
    kVkHome = 36,
    kVkLeft = 37,
    kVkUp = 38,
    kVkRight = 39,
    kVkDown = 40,
};
bool isMoveKey(std::int32_t key);

struct Cell {
    std::int32_t column = -1;
    std::int32_t row = -1;
    bool operator==(const Cell&) const = default;
};

class GridController {
public:
    static constexpr int kDividerZone = 2;
    static constexpr int kTextInset = 6;
    static constexpr int kFitPadding = 12;
    static constexpr int kWidestColumn = 24000;
    static constexpr int kAutoScrollStep = 10;

    explicit GridController(GridConfig config = {}) : config_(config) {}
    const GridConfig& config() const { return config_; }

    // --- Columns ---
    int columnCount() const { return static_cast<int>(widths_.size()); }
    void setColumnWidths(std::vector<int> widths);
    int columnWidth(int column) const;
    // A width below 0 counts as 0; nothing happens for a column the grid does not have.
    void setColumnWidth(int column, int width);
    // Left edge of a column in content coordinates (scroll offset not removed).
    int columnLeft(int column) const;
    int contentWidth() const;

    // --- Rows and viewport ---
    void setRowCount(std::int32_t rows);
    std::int32_t rowCount() const { return rows_; }
    void setRowHeight(int height);
    int rowHeight() const { return rowHeight_; }
    void setViewport(int width, int height);
    int viewportWidth() const { return viewportWidth_; }
    int viewportHeight() const { return viewportHeight_; }
    // Whole rows that fit in the viewport, at least 1.
    std::int32_t rowsPerPage() const;

    // --- Scroll position; setters clamp to what the content allows ---
    std::int32_t topRow() const { return topRow_; }
    void setTopRow(std::int64_t row);
    std::int32_t maxTopRow() const;
    int xOffset() const { return xOffset_; }
    void setXOffset(std::int64_t x);
    int maxXOffset() const;
    // The last row the viewport shows (top + rows per page - 1, never past the last row).
    std::int32_t lastVisibleRow() const;

    // --- Hits ---
    // The column whose span holds list x; past the last column the last; -1 without columns.
    int ColumnAtX(int x) const;
    // The row at list y, or -1 below the last row or above the list.
    std::int32_t RowAtY(int y) const;
    // The column whose right edge lies within the divider zone of header x; -1 for none.
    int DividerAt(int headerX) const;
    // The cell at a list point, nullopt off the cells.
    std::optional<Cell> CellAt(int x, int y) const;

    // The width a column fitted to texts of these measured widths takes: the widest plus the
    // padding, capped at the widest column, never below the minimum; the minimum without texts.
    static int FitWidth(const std::vector<int>& textWidths, int minimumWidth);

    // Where a move key takes the current cell in a table of `columns` by `rows`, or nullopt
    // when it does not move (a key that moves nothing, or the edge of the table).
    static std::optional<Cell> KeyTarget(std::int32_t key, Cell current, std::int32_t columns,
                                         std::int32_t rows, std::int32_t pageRows);

    // --- Scrolling ---
    // Scrolls just enough that the row / column is wholly visible.
    void ScrollToRow(std::int32_t row);
    void ScrollToColumn(int column);
    // A vertical request: lines and pages move the top row, the thumb sets it. False for a code
    // outside 0-4.
    bool VScroll(std::int32_t code, std::int32_t value);
    // A horizontal request: lines move to the next or previous column's edge, pages by the
    // viewport's width, the thumb sets the offset in pixels. False for a code outside 0-4.
    bool HScroll(std::int32_t code, std::int32_t value);
    // Scrolls vertically by pixels, rounded to whole rows away from zero.
    void ScrollByPixels(int dy);

private:
    GridConfig config_;
    std::vector<int> widths_;
    std::int32_t rows_ = 0;
    int rowHeight_ = 18;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    std::int32_t topRow_ = 0;
    int xOffset_ = 0;
};

}  // namespace zbq::windows
