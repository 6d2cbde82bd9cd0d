// The result grid's list painted offscreen into an image, as a repaint paints the window's
// backing store: a Japanese text drawn again is copied from the pixels its earlier drawing left,
// and must give the very pixels a first drawing gives, wherever the cell is, on either ground
// and in any pen; text keeps inside its cell's insets, clipped when it is wider, on the side its
// column keeps to; and what the list keeps of its cells stays within its bounds.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPalette>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "windows/grid_controller.h"
#include "windows/result_grid.h"

namespace zbq::windows {
namespace {

// Hiragana in CP932: two bytes each, 0x82 0x9f (small a) to 0x82 0xf1 (n).
std::string hiragana(int first, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += '\x82';
        text += static_cast<char>(0x9f + (first + i * 7) % 83);
    }
    return text;
}

// A table whose texts come back every `cycle` rows: column 0 left-aligned, column 1 a text far
// wider than its cell, column 2 right-aligned, column 3 ASCII numbers (never kept). The texts
// of a screen shorter than the cycle are all different from each other.
class TableOwner : public GridOwner {
public:
    explicit TableOwner(std::int32_t rows, std::int32_t cycle = 16) : rows_(rows), cycle_(cycle) {
        geometry_.setColumnWidths({90, 60, 110, 70});
        geometry_.setRowCount(rows);
    }
    std::optional<Cell> selectedFrom, selectedTo;  // a rectangle of selected cells
    std::optional<std::int32_t> redRow;            // a row drawn in its own colour
    std::function<std::string(std::int32_t, std::int32_t)> text = [this](std::int32_t row,
                                                                         std::int32_t c) {
        const int k = static_cast<int>(row % cycle_);
        switch (c) {
            case 0:
                return hiragana(k, 2 + k % 3);
            case 1:
                return hiragana(k * 5, 12);
            case 2:
                return hiragana(k * 3 + 1, 1 + k % 4);
            default:
                return std::to_string(1000 + row * 37);
        }
    };

    GridController& geometry() override { return geometry_; }
    std::int32_t listRowCount() const override { return rows_; }
    std::int32_t dataRowCount() const override { return rows_; }
    std::string columnTitle(std::int32_t) const override { return "T"; }
    std::string rowLabel(std::int32_t row) const override { return std::to_string(row + 1); }
    bool cellText(std::int32_t row, std::int32_t column, std::string* out) const override {
        *out = text(row, column);
        return true;
    }
    bool isSelected(std::int32_t column, std::int32_t row) const override {
        return selectedFrom && column >= selectedFrom->column && column <= selectedTo->column &&
               row >= selectedFrom->row && row <= selectedTo->row;
    }
    bool rightAligned(std::int32_t column) const override { return column >= 2; }
    std::optional<QColor> rowTextColour(std::int32_t row) const override {
        if (redRow && row == *redRow) return QColor(200, 0, 0);
        return std::nullopt;
    }
    void dragSelection(Cell, Cell) override {}
    void selectAll() override {}
    void selectCells(Cell, Cell) override {}
    void selectRows(std::int32_t, std::int32_t) override {}
    void selectColumns(std::int32_t, std::int32_t) override {}
    void columnResized(std::int32_t, std::int32_t) override {}
    void fitColumn(std::int32_t) override {}
    void titleDoubleClicked(std::int32_t) override {}
    void rowDoubleClicked(std::int32_t) override {}
    void cellDoubleClicked(std::int32_t, std::int32_t) override {}
    void scrollRequest(bool, std::int32_t, std::int32_t) override {}
    void wheel(std::int32_t) override {}
    void key(std::int32_t) override {}
    void contextMenu(GridRole, std::int32_t, QPoint) override {}

private:
    GridController geometry_;
    std::int32_t rows_;
    std::int32_t cycle_;
};

// A grid on its owner, its list's viewport painted into an image at a top row.
struct Painted {
    explicit Painted(std::int32_t rows, QSize size = {360, 200}, std::int32_t cycle = 16)
        : owner(rows, cycle), grid(owner, GridConfig{}) {
        grid.resize(size);
        grid.show();
    }
    QImage at(std::int32_t topRow, int xOffset = 0) {
        owner.geometry().setTopRow(topRow);
        owner.geometry().setXOffset(xOffset);
        QWidget* viewport = grid.list()->viewport();
        QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        viewport->render(&image);
        return image;
    }
    int rowHeight() { return owner.geometry().rowHeight(); }
    TableOwner owner;
    ResultGrid grid;
};

// The box of a cell on a screen whose top row is `top`, inside its grid lines.
QRect cellBox(Painted& grid, std::int32_t row, int column, std::int32_t top) {
    const GridController& g = grid.owner.geometry();
    return QRect(g.columnLeft(column) - g.xOffset(), (row - top) * g.rowHeight(),
                 g.columnWidth(column) - 1, g.rowHeight() - 1);
}

// The first and last columns of a box whose pixels differ from the ground; {-1, -1} for none.
std::pair<int, int> inkColumns(const QImage& image, const QRect& box, QRgb ground) {
    int first = -1, last = -1;
    for (int x = box.left(); x <= box.right(); ++x)
        for (int y = box.top(); y <= box.bottom(); ++y)
            if (image.pixel(x, y) != ground) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

// Where two images first differ, "" when they are the same.
std::string difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + ": " +
                       QColor(a.pixel(x, y)).name().toStdString() + " against " +
                       QColor(b.pixel(x, y)).name().toStdString();
    return "";
}

struct Scene {
    const char* name;
    std::int32_t top;
    int xOffset;
    std::function<void(TableOwner&)> set;
};

TEST(ResultGridPaint, KeptTextsGiveThePixelsOfAFirstDrawing) {
    const int rows = 200;
    const std::vector<Scene> scenes = {
        {"another top row", 37, 0, [](TableOwner&) {}},
        {"scrolled sideways", 21, 13, [](TableOwner&) {}},
        {"selected cells", 45, 0,
         [](TableOwner& o) {
             o.selectedFrom = Cell{0, 46};
             o.selectedTo = Cell{2, 49};
         }},
        // A row's own colour stays on either ground: the pen alone does not tell them apart.
        {"a row in its own colour", 50, 0, [](TableOwner& o) { o.redRow = 51; }},
        {"a selected row in its own colour", 50, 0,
         [](TableOwner& o) {
             o.redRow = 61;
             o.selectedFrom = Cell{0, 60};
             o.selectedTo = Cell{2, 61};
         }},
    };
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(scene.name);
        // Drawn first: every text of the screen appears once, nothing is copied.
        Painted fresh(rows);
        scene.set(fresh.owner);
        const QImage drawn = fresh.at(scene.top, scene.xOffset);
        ASSERT_EQ(fresh.grid.list()->keptCells(), 0u);

        // Seen more than twice elsewhere, on both grounds and in every pen, then copied: the
        // first rows of each screen selected, a red row among them or below them.
        Painted warm(rows);
        for (const std::int32_t top : {0, 5, 16, 21, 32, 37, 48, 53}) {
            warm.owner.selectedFrom = Cell{0, top};
            warm.owner.selectedTo = Cell{2, top + 4};
            warm.owner.redRow = top + (top % 16 == 0 ? 3 : 8);
            warm.at(top);
        }
        warm.owner.selectedFrom = warm.owner.selectedTo = std::nullopt;
        warm.owner.redRow = std::nullopt;
        scene.set(warm.owner);
        const std::size_t kept = warm.grid.list()->keptCells();
        ASSERT_GT(kept, 30u);
        const QImage copied = warm.at(scene.top, scene.xOffset);
        EXPECT_EQ(difference(copied, drawn), "");
    }
}

TEST(ResultGridPaint, TextKeepsToItsSideAndInsideItsCellWhenKeptToo) {
    Painted grid(100);
    const int inset = GridController::kTextInset;
    const QRgb ground = grid.grid.list()->viewport()->palette().color(QPalette::Base).rgb();
    for (const std::int32_t top : {0, 16, 32}) {  // drawn, then noted and kept, then copied
        SCOPED_TRACE(top);
        const QImage image = grid.at(top);
        for (std::int32_t row = top; row < top + 5; ++row) {
            const QRect left = cellBox(grid, row, 0, top);
            const auto [leftFirst, leftLast] = inkColumns(image, left, ground);
            EXPECT_GE(leftFirst, left.left() + inset - 1);
            EXPECT_LE(leftFirst, left.left() + inset + 3);
            EXPECT_LT(leftLast, left.right() - inset);

            // A text wider than its cell stops at the inset on both sides.
            const QRect wide = cellBox(grid, row, 1, top);
            const auto [wideFirst, wideLast] = inkColumns(image, wide, ground);
            EXPECT_GE(wideFirst, wide.left() + inset);
            EXPECT_LE(wideLast, wide.right() + 1 - inset);
            EXPECT_GE(wideLast, wide.right() + 1 - inset - 5);

            const QRect right = cellBox(grid, row, 2, top);
            const auto [rightFirst, rightLast] = inkColumns(image, right, ground);
            EXPECT_LE(rightLast, right.right() + 1 - inset);
            EXPECT_GE(rightLast, right.right() + 1 - inset - 5);
            EXPECT_GT(rightFirst, right.left() + inset);
        }
    }
    EXPECT_GT(grid.grid.list()->keptCells(), 0u);
}

TEST(ResultGridPaint, WhatTheListKeepsStaysWithinItsBounds) {
    // Texts that never repeat on a screen but come back on the next: many to keep.
    Painted grid(4000, {1200, 800}, 4000);
    grid.owner.geometry().setColumnWidths(std::vector<int>(16, 70));
    grid.owner.text = [](std::int32_t row, std::int32_t column) {
        return hiragana(row, 2) + hiragana(column, 1) + hiragana(row / 83, 2);
    };
    const std::int32_t half = grid.owner.geometry().rowsPerPage() / 2;
    std::size_t most = 0;
    for (std::int32_t top = 0; top < 20 * half; top += half) {
        grid.at(top);
        const GridList& list = *grid.grid.list();
        most = std::max(most, list.keptCells());
        ASSERT_LE(list.keptBytes(), GridList::kMaxKeptBytes);
    }
    EXPECT_GT(most, 100u);
}

}  // namespace
}  // namespace zbq::windows
