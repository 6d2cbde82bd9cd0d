// The aggregation grid's widget offscreen: the fixed rows and columns stay while the body
// scrolls, the highlight is painted over the current cell without touching its colour, and the
// gestures reach the window's commands (a double-click asks before the drill, the right button
// opens the menu).
#include "tests/windows/molap_fixture.h"

#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include "platform/ui/fixed_grid.h"

namespace zbq::windows {
namespace {

using MolapGridTest = MolapWindowTest;

QPoint centreOf(ui::FixedGrid& grid, int row, int column) {
    return grid.visualRect(grid.model()->index(row, column)).center();
}

TEST_F(MolapGridTest, fixedPartStaysAndHighlightIsPaintedOver) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    ui::FixedGrid& grid = *window()->grid();
    window()->resize(260, 120);
    window()->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.fixedRows(), 2);
    EXPECT_EQ(grid.fixedColumns(), 1);

    // Scrolled to the end, the first column's caption still shows at the grid's left edge.
    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    ASSERT_GT(grid.horizontalScrollBar()->maximum(), 0);
    const QImage shot = grid.grab().toImage();
    const QPoint corner = grid.viewport()->mapTo(&grid, QPoint(4, 4));
    EXPECT_EQ(shot.pixelColor(corner), QColor::fromRgb(kMolapCaptionColour));  // 性別
    grid.horizontalScrollBar()->setValue(0);
    grid.verticalScrollBar()->setValue(0);

    // The highlight: painted in the highlight colour; the cell's own colour stays in the model.
    ASSERT_TRUE(window()->view().SelectCell(2, 1));
    EXPECT_EQ(grid.highlightRow(), 2);
    EXPECT_EQ(grid.highlightColumn(), 1);
    QCoreApplication::processEvents();
    const QRect cell = grid.visualRect(grid.model()->index(2, 1));
    const QImage lit = grid.grab().toImage();
    EXPECT_EQ(lit.pixelColor(grid.viewport()->mapTo(&grid, cell.topLeft() + QPoint(2, 2))),
              grid.palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(window()->view().background(2, 1), 0u);
}

// Rows 80 twips and columns 200 twips larger than the grid's own, in pixels by the screen's dots
// per inch, kept by a second build; the window fitted to the table in twips, up to 800 x 500.
TEST_F(MolapGridTest, rowsAndColumnsAreSizedInTwipsByTheScreensDpi) {
    const ui::FixedGrid plain;
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    ui::FixedGrid& grid = *window()->grid();
    const int rowTwips = plain.rowHeightTwips() + 80, columnTwips = plain.columnWidthTwips() + 200;
    for (int build = 0; build < 2; ++build) {
        EXPECT_EQ(grid.rowHeightTwips(), rowTwips);
        EXPECT_EQ(grid.columnWidthTwips(), columnTwips);
        const int dpiX = grid.logicalDpiX(), dpiY = grid.logicalDpiY();
        for (int r : {0, 1, 2, 5})
            EXPECT_EQ(grid.rowHeight(r), ui::twipsToPixels(rowTwips, dpiY)) << r;
        for (int c : {0, 1, 8})
            EXPECT_EQ(grid.columnWidth(c), ui::twipsToPixels(columnTwips, dpiX)) << c;
        // Six rows fit in height; nine columns are wider than 800 pixels, so room for the
        // horizontal scroll bar is added.
        ASSERT_GT(dpiX * 9 * columnTwips / 1440 + 12, 800);
        const QSize decoration = window()->frameGeometry().size() - window()->size();
        EXPECT_EQ(window()->frameGeometry().size(),
                  QSize(800, decoration.height() + dpiY * 6 * rowTwips / 1440 + 10 + 17));
        EXPECT_EQ(window()->ExecuteMolap(), 0);
    }

    // A long table of a few columns: the width as the twips give it, the height capped with
    // room for the vertical scroll bar.
    MolapParams tall;
    tall.xItems = {1};
    tall.yItems = {2, 6};
    tall.yTotalMode = 2;
    ASSERT_EQ(frame.ShowMolapWindow(tall), 1) << ::testing::PrintToString(messages());
    const CMOLAPView& view = window()->view();
    const int dpiX = window()->grid()->logicalDpiX(), dpiY = window()->grid()->logicalDpiY();
    const int width = dpiX * view.columns() * columnTwips / 1440 + 12;
    ASSERT_LT(width, 700);
    ASSERT_GT(dpiY * view.rows() * rowTwips / 1440 + 10, 500);
    const QSize decoration = window()->frameGeometry().size() - window()->size();
    EXPECT_EQ(window()->frameGeometry().size(), QSize(decoration.width() + width + 15, 500));
}

TEST_F(MolapGridTest, gesturesReachTheWindowsCommands) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    ui::FixedGrid& grid = *window()->grid();
    window()->resize(600, 200);
    window()->show();
    QCoreApplication::processEvents();

    // A double-click on a body cell asks; No drills nothing.
    harness.prompts().answer(ui::Answer::No);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, centreOf(grid, 4, 3));
    EXPECT_EQ(messages(), std::vector<std::string>{"ドリルスルーを実行しますか？"});
    EXPECT_EQ(window()->view().currentRow(), 4);
    EXPECT_EQ(window()->view().currentColumn(), 3);
    EXPECT_EQ(harness.app().KWgetDataCount(), 12);

    // The right button opens the menu; its drill-through acts on the clicked cell.
    QTest::mousePress(grid.viewport(), Qt::RightButton, {}, centreOf(grid, 4, 3));
    QMenu* menu = window()->findChild<QMenu*>();
    ASSERT_TRUE(menu);
    ASSERT_GE(menu->actions().size(), 4);
    EXPECT_FALSE(menu->actions()[3]->isEnabled());  // no filter to release
    menu->actions()[0]->trigger();
    menu->close();
    EXPECT_EQ(harness.app().KWgetDataCount(), 5);
}

// A table wider than the window opens at its first data column, right of the fixed columns,
// the thumb at the left with it; so does a rebuild after the table was scrolled. With two Y
// items the fixed part and the first data column are wider than the window as the build shows
// its grid, before the window is fitted to the table.
TEST_F(MolapGridTest, aWideTableOpensAtItsFirstDataColumn) {
    MolapParams twoY = params();
    twoY.yItems = {5, 1};
    twoY.yDateUnits = {1, 0};
    for (const MolapParams& p : {params(), twoY}) {
        const int nY = static_cast<int>(p.yItems.size());
        SCOPED_TRACE(nY);
        ASSERT_EQ(frame.ShowMolapWindow(p), 1);
        ui::FixedGrid& grid = *window()->grid();
        for (int build = 0; build < 2; ++build) {
            QCoreApplication::processEvents();
            ASSERT_GT(grid.horizontalScrollBar()->maximum(), 0) << "the table fits";
            EXPECT_EQ(grid.horizontalScrollBar()->value(), 0) << build;
            EXPECT_EQ(grid.verticalScrollBar()->value(), 0) << build;
            EXPECT_EQ(grid.columnViewportPosition(nY), nY * grid.columnWidth(0)) << build;
            grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
            ASSERT_EQ(window()->ExecuteMolap(), 0);
        }
    }
}

// The scroll bar's arrows scroll; a double-click there is no double-click on a cell.
TEST_F(MolapGridTest, aDoubleClickOnAScrollArrowDrillsNothing) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    ui::FixedGrid& grid = *window()->grid();
    window()->resize(300, 120);
    QCoreApplication::processEvents();
    QScrollBar* bar = grid.horizontalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    // Both arrows: the left one lies under the fixed column, the right one under the body.
    for (const QPoint inBar :
         {QPoint(4, bar->height() / 2), QPoint(bar->width() - 4, bar->height() / 2)}) {
        const QPoint inGrid = bar->mapTo(&grid, inBar);
        QWidget* under = grid.childAt(inGrid);
        ASSERT_NE(under, nullptr);
        QTest::mouseDClick(under, Qt::LeftButton, {}, under->mapFrom(&grid, inGrid));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(messages(), std::vector<std::string>{});
    EXPECT_EQ(harness.app().KWgetDataCount(), 12);
}

}  // namespace
}  // namespace zbq::windows
