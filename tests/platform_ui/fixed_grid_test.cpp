// The fixed grid's sizes in twips: turned into pixels by the screen's dots per inch, and taken
// alike by the scrolling part and the fixed rows and columns drawn over it.
#include "platform/ui/fixed_grid.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

namespace zbq::ui {
namespace {

TEST(FixedGridTwips, LengthsTurnIntoPixelsByTheDotsPerInch) {
    struct Case {
        int twips, dpi, pixels;
    };
    for (const Case& c :
         {Case{1440, 96, 96}, Case{80, 96, 5}, Case{200, 96, 13}, Case{200, 144, 20},
          Case{1000, 120, 83}, Case{0, 96, 0}, Case{2'000'000, 192, 266'666}}) {
        EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
    EXPECT_EQ(pixelsToTwips(96, 96), 1440);
    EXPECT_EQ(pixelsToTwips(30, 144), 300);
    EXPECT_EQ(pixelsToTwips(7, 0), 0);
}

TEST(FixedGridTwips, EveryPartOfTheGridTakesTheSizes) {
    QStandardItemModel model(40, 12);
    FixedGrid grid;
    grid.setModel(&model);
    grid.resize(400, 300);
    grid.setFixed(2, 1);
    grid.setSectionTwips(330, 1500);
    grid.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.rowHeightTwips(), 330);
    EXPECT_EQ(grid.columnWidthTwips(), 1500);
    const int height = twipsToPixels(330, grid.logicalDpiY());
    const int width = twipsToPixels(1500, grid.logicalDpiX());
    ASSERT_GT(height, 0);
    ASSERT_GT(width, 0);
    EXPECT_EQ(grid.rowHeight(0), height);
    EXPECT_EQ(grid.rowHeight(39), height);
    EXPECT_EQ(grid.columnWidth(11), width);
    // The overlays of the fixed part: the same sizes, so their cells lie over the grid's.
    const QList<QTableView*> overlays = grid.findChildren<QTableView*>();
    ASSERT_EQ(overlays.size(), 3);
    for (const QTableView* overlay : overlays) {
        EXPECT_EQ(overlay->rowHeight(1), height);
        EXPECT_EQ(overlay->columnWidth(0), width);
    }
    int fixedHeight = 0;
    for (const QTableView* overlay : overlays)
        if (overlay->isVisibleTo(&grid) && overlay->width() == grid.viewport()->width())
            fixedHeight = overlay->height();
    EXPECT_EQ(fixedHeight, 2 * height);

    // Before any is set the style's own sizes stand, read in twips.
    FixedGrid plain;
    EXPECT_EQ(plain.rowHeightTwips(),
              pixelsToTwips(plain.verticalHeader()->defaultSectionSize(), plain.logicalDpiY()));
    EXPECT_GT(plain.columnWidthTwips(), 0);
}

// A cell made visible shows whole beyond the fixed rows and columns, which cover the first
// rows and columns of the scrolling part; a fixed cell needs no scrolling. By item and by pixel.
TEST(FixedGridScrolling, ACellIsMadeVisibleBeyondTheFixedPart) {
    for (const auto mode : {QAbstractItemView::ScrollPerItem, QAbstractItemView::ScrollPerPixel}) {
        SCOPED_TRACE(mode);
        QStandardItemModel model(40, 12);
        FixedGrid grid;
        grid.setModel(&model);
        grid.setHorizontalScrollMode(mode);
        grid.setVerticalScrollMode(mode);
        grid.setFixed(2, 2);
        grid.setSectionTwips(330, 1500);
        // The fixed part and not quite two more columns, and as many rows.
        const int width = grid.columnWidth(0), height = grid.rowHeight(0);
        grid.resize(grid.width() - grid.viewport()->width() + 4 * width - 8,
                    grid.height() - grid.viewport()->height() + 4 * height - 4);
        grid.show();
        QCoreApplication::processEvents();
        QScrollBar* across = grid.horizontalScrollBar();
        QScrollBar* down = grid.verticalScrollBar();
        const auto shownWhole = [&](int row, int column) {
            const QRect cell = grid.visualRect(model.index(row, column));
            return cell.left() >= 2 * width && cell.top() >= 2 * height &&
                   grid.viewport()->rect().contains(cell);
        };

        // The first body cell, current, stays where the grid opens.
        grid.setCurrentIndex(model.index(2, 2));
        EXPECT_EQ(across->value(), 0);
        EXPECT_EQ(down->value(), 0);
        EXPECT_TRUE(shownWhole(2, 2));

        // From the far end back to the first body cell: it comes out from under the fixed
        // part, not merely into the viewport.
        across->setValue(across->maximum());
        down->setValue(down->maximum());
        grid.scrollTo(model.index(2, 2));
        EXPECT_EQ(across->value(), 0);
        EXPECT_EQ(down->value(), 0);

        // Far on, then the one before it, half under the fixed part: it comes out whole.
        grid.scrollTo(model.index(30, 9));
        EXPECT_TRUE(shownWhole(30, 9));
        ASSERT_FALSE(shownWhole(30, 8));
        grid.scrollTo(model.index(30, 8));
        EXPECT_TRUE(shownWhole(30, 8));

        // The arrow key moves onto the column under the fixed part and shows it.
        grid.setCurrentIndex(model.index(30, 8));
        ASSERT_FALSE(shownWhole(30, 7));
        QTest::keyClick(&grid, Qt::Key_Left);
        EXPECT_EQ(grid.currentIndex(), model.index(30, 7));
        EXPECT_TRUE(shownWhole(30, 7));

        // A fixed cell scrolls nothing, nor does a cell shown whole.
        const int row = down->value(), column = across->value();
        grid.scrollTo(model.index(0, 0));
        grid.scrollTo(model.index(30, 7));
        EXPECT_EQ(down->value(), row);
        EXPECT_EQ(across->value(), column);
    }
}

}  // namespace
}  // namespace zbq::ui
