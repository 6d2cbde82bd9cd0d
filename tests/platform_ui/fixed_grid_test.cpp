// The fixed grid's sizes in twips: turned into pixels by the screen's dots per inch, and taken
// alike by the scrolling part and the fixed rows and columns drawn over it.
#include "platform/ui/fixed_grid.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QStandardItemModel>

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

}  // namespace
}  // namespace zbq::ui
