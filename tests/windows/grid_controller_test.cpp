// The grid's geometry: hits past the edges and on dividers, fitted widths at their bounds, where
// each move key takes the current cell at the table's edges, and the scroll requests' clamping.
#include "windows/grid_controller.h"

#include <gtest/gtest.h>

namespace zbq::windows {
namespace {

GridController threeColumns() {
    GridController grid;
    grid.setColumnWidths({50, 100, 30});
    grid.setRowHeight(10);
    grid.setRowCount(100);
    grid.setViewport(120, 55);  // five whole rows
    return grid;
}

TEST(GridControllerTest, ColumnAtXFollowsTheScrollAndStopsAtTheLastColumn) {
    GridController grid = threeColumns();
    EXPECT_EQ(grid.ColumnAtX(0), 0);
    EXPECT_EQ(grid.ColumnAtX(49), 0);
    EXPECT_EQ(grid.ColumnAtX(50), 1);
    EXPECT_EQ(grid.ColumnAtX(5000), 2);  // past the last
    grid.setXOffset(60);
    EXPECT_EQ(grid.ColumnAtX(0), 1);
    EXPECT_EQ(grid.xOffset(), 60);
    grid.setXOffset(1000);  // clamped to what the content allows
    EXPECT_EQ(grid.xOffset(), 180 - 120);

    GridController empty;
    EXPECT_EQ(empty.ColumnAtX(10), -1);
    EXPECT_FALSE(empty.CellAt(10, 0).has_value());
}

TEST(GridControllerTest, DividersAreHitTwoPixelsEitherSideInHeaderCoordinates) {
    GridController grid = threeColumns();  // row header 80 wide
    EXPECT_EQ(grid.DividerAt(80 + 50), 0);
    EXPECT_EQ(grid.DividerAt(80 + 52), 0);
    EXPECT_EQ(grid.DividerAt(80 + 53), -1);
    EXPECT_EQ(grid.DividerAt(80 + 148), 1);
    grid.setXOffset(50);
    EXPECT_EQ(grid.DividerAt(80 + 100), 1);
}

TEST(GridControllerTest, RowsAndCellsOffTheRecordsAreNoHit) {
    GridController grid = threeColumns();
    grid.setTopRow(10);
    EXPECT_EQ(grid.RowAtY(0), 10);
    EXPECT_EQ(grid.RowAtY(-1), -1);
    grid.setRowCount(12);
    EXPECT_EQ(grid.topRow(), 7);  // a shorter table pulls the top row back
    EXPECT_EQ(grid.RowAtY(49), 11);
    EXPECT_EQ(grid.RowAtY(50), -1);
    EXPECT_EQ(grid.CellAt(60, 0), (Cell{1, 7}));
    EXPECT_FALSE(grid.CellAt(179, 50).has_value());
    EXPECT_EQ(grid.lastVisibleRow(), 11);
}

TEST(GridControllerTest, FitTakesTheWidestTextCappedAndNeverBelowTheMinimum) {
    EXPECT_EQ(GridController::FitWidth({10, 40, 20}, 0), 52);
    EXPECT_EQ(GridController::FitWidth({23988}, 0), 24000);
    EXPECT_EQ(GridController::FitWidth({30000, 5}, 0), 24000);
    EXPECT_EQ(GridController::FitWidth({10}, 70), 70);
    EXPECT_EQ(GridController::FitWidth({}, 33), 33);  // no visible rows
}

TEST(GridControllerTest, KeysMoveTheCellAndStopAtTheEdges) {
    struct Case {
        std::int32_t key;
        Cell from;
        std::optional<Cell> to;
    };
    // Three columns, ten rows, pages of four.
    const Case cases[] = {
        {kVkLeft, {0, 5}, std::nullopt},
        {kVkLeft, {2, 5}, Cell{1, 5}},
        {kVkRight, {2, 5}, std::nullopt},
        {kVkUp, {1, 0}, std::nullopt},
        {kVkDown, {1, 9}, std::nullopt},
        {kVkDown, {1, 3}, Cell{1, 4}},
        {kVkPageUp, {1, 2}, Cell{1, 0}},
        {kVkPageUp, {1, 7}, Cell{1, 3}},
        {kVkPageDown, {1, 4}, Cell{1, 8}},
        {kVkPageDown, {1, 6}, Cell{1, 9}},  // stops at the last record
        {kVkHome, {2, 6}, Cell{0, 6}},
        {kVkEnd, {0, 6}, Cell{2, 6}},
        {kVkTab, {1, 6}, Cell{2, 6}},
        {kVkTab, {2, 6}, Cell{0, 7}},
        {kVkTab, {2, 9}, std::nullopt},     // the last cell of the table
        {65, {1, 1}, std::nullopt},         // not a move key
        {kVkDown, {-1, -1}, std::nullopt},  // no selection
        {kVkEnd, {5, 1}, std::nullopt},     // a cell outside the columns
    };
    for (const Case& c : cases)
        EXPECT_EQ(GridController::KeyTarget(c.key, c.from, 3, 10, 4), c.to)
            << "key " << c.key << " from " << c.from.column << "," << c.from.row;
}

TEST(GridControllerTest, ScrollRequestsMoveAndClampTheList) {
    GridController grid = threeColumns();
    EXPECT_TRUE(grid.VScroll(kThumb, 10));
    EXPECT_EQ(grid.topRow(), 10);
    EXPECT_TRUE(grid.VScroll(kPageForward, 0));
    EXPECT_EQ(grid.topRow(), 15);
    EXPECT_TRUE(grid.VScroll(kThumb, 1000));
    EXPECT_EQ(grid.topRow(), 95);
    EXPECT_FALSE(grid.VScroll(5, 0));
    EXPECT_EQ(grid.topRow(), 95);

    grid.ScrollToRow(3);
    EXPECT_EQ(grid.topRow(), 3);
    grid.ScrollToRow(20);
    EXPECT_EQ(grid.topRow(), 16);  // just enough: row 20 is the last visible one

    EXPECT_TRUE(grid.HScroll(kLineForward, 0));
    EXPECT_EQ(grid.xOffset(), 50);
    EXPECT_TRUE(grid.HScroll(kLineBack, 0));
    EXPECT_EQ(grid.xOffset(), 0);
    grid.ScrollToColumn(2);
    EXPECT_EQ(grid.xOffset(), 180 - 120);

    grid.ScrollByPixels(20);
    EXPECT_EQ(grid.topRow(), 18);
    grid.ScrollByPixels(-5);  // less than a row still moves one
    EXPECT_EQ(grid.topRow(), 17);
}

}  // namespace
}  // namespace zbq::windows
