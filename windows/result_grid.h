// ResultGrid: the three controls of a result grid as one widget: a painted column header strip
// across the top, a painted row header strip down the left and the cell list, a
// QAbstractScrollArea that paints only the rows in view. The controls own no data and no
// selection: they paint from their owner (GridOwner: counts, titles, labels, cell texts, the
// selection, the geometry) and turn mouse, key, wheel and scroll-bar gestures into owner calls
// with explicit arguments, which is where steps are recorded. One base serves the three tables;
// GridConfig gives the row header's width (80, 160 or 80), the header's height and whether the
// titles are centred. An owner may paint a row's text in its own colour and align cells by row.
//
// The gestures: a press in the corner selects everything; a press and drag in the column header
// selects columns, on a divider it resizes the column; a drag in the row header selects rows, in
// the list a rectangle of cells, scrolling by 10 pixels every 100 ms while the mouse rests
// outside the list. Double-clicks on a divider fit the column, on a title, a row label or a cell
// go to the owner. The context menu of each control is the owner's, asked for by role.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRawFont>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "windows/grid_controller.h"

namespace zbq::windows {

enum class GridRole { ColumnHeader, RowHeader, List };

class GridOwner {
public:
    virtual ~GridOwner() = default;
    virtual GridController& geometry() = 0;
    // Rows the list shows (may be one more than the records) and real rows, for selections.
    virtual std::int32_t listRowCount() const = 0;
    virtual std::int32_t dataRowCount() const = 0;
    virtual std::string columnTitle(std::int32_t column) const = 0;  // CP932
    virtual std::string rowLabel(std::int32_t row) const = 0;        // CP932
    // The column's picture in the item-type set (app/images.h), -1 for none. A column with a
    // picture shows it at (left + 6, top + 2) and its title from left + 30.
    virtual std::int32_t columnImage(std::int32_t /*column*/) const { return -1; }
    // The text of the top-left corner (CP932) and whether row labels sit left, not centred.
    virtual std::string cornerText() const { return {}; }
    virtual bool rowLabelsLeft() const { return false; }
    virtual bool cellText(std::int32_t row, std::int32_t column, std::string* text) const = 0;
    virtual bool isSelected(std::int32_t column, std::int32_t row) const = 0;
    virtual bool rightAligned(std::int32_t column) const = 0;
    // A cell whose text is drawn centred whatever its column's alignment (CP932 text).
    virtual bool centredCell(std::string_view /*text*/) const { return false; }
    // Owners whose alignment or text colour varies by row say so here; by default a column
    // has one alignment and every row the palette's colours.
    virtual bool cellRightAligned(std::int32_t row, std::int32_t column) const {
        (void)row;
        return rightAligned(column);
    }
    // A colour for the whole row's text, selected cells included; nullopt keeps the palette's.
    virtual std::optional<QColor> rowTextColour(std::int32_t row) const {
        (void)row;
        return std::nullopt;
    }

    // A drag under way: the selection shown, nothing recorded.
    virtual void dragSelection(Cell anchor, Cell end) = 0;
    // The ends of gestures, which record.
    virtual void selectAll() = 0;
    virtual void selectCells(Cell anchor, Cell end) = 0;
    virtual void selectRows(std::int32_t first, std::int32_t last) = 0;
    virtual void selectColumns(std::int32_t first, std::int32_t last) = 0;
    virtual void columnResized(std::int32_t column, std::int32_t width) = 0;
    virtual void fitColumn(std::int32_t column) = 0;
    virtual void titleDoubleClicked(std::int32_t column) = 0;
    virtual void rowDoubleClicked(std::int32_t row) = 0;
    virtual void cellDoubleClicked(std::int32_t row, std::int32_t column) = 0;
    // Scroll-bar requests (codes 0-4) and the wheel and move keys.
    virtual void scrollRequest(bool vertical, std::int32_t code, std::int32_t value) = 0;
    virtual void wheel(std::int32_t delta) = 0;
    virtual void key(std::int32_t virtualKey) = 0;
    // The control's menu at a global point; the column under the point (-1 none, the corner).
    virtual void contextMenu(GridRole role, std::int32_t column, QPoint global) = 0;
};

class ResultGrid;

// A selection drag of the row header or the list: while it lasts, a timer repeats the last move
// every 100 ms, so the selection and the scrolling go on while the mouse rests outside the list.
class AutoScrollDrag {
public:
    template <typename Tick>
    AutoScrollDrag(QObject* owner, Tick tick) {
        timer_.setInterval(100);
        QObject::connect(&timer_, &QTimer::timeout, owner, [this, tick] { tick(last_); });
    }
    void begin(QPoint at) {
        active_ = true;
        last_ = at;
        timer_.start();
    }
    void moveTo(QPoint at) { last_ = at; }
    // False when no drag was under way.
    bool end() {
        timer_.stop();
        return std::exchange(active_, false);
    }
    bool active() const { return active_; }

private:
    bool active_ = false;
    QPoint last_;
    QTimer timer_;
};

class GridColumnHeader : public QWidget {
public:
    static constexpr int kImageLeft = 6;
    static constexpr int kImageTop = 2;
    static constexpr int kImageTitleLeft = 30;

    explicit GridColumnHeader(ResultGrid& grid);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ResultGrid& grid_;
    enum class Drag { None, Columns, Resize } drag_ = Drag::None;
    std::int32_t column_ = -1;
    std::int32_t anchorColumn_ = -1;
    std::int32_t width_ = 0;
};

class GridRowHeader : public QWidget {
public:
    explicit GridRowHeader(ResultGrid& grid);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void extendTo(QPoint point);
    ResultGrid& grid_;
    std::int32_t anchorRow_ = -1;
    std::int32_t endRow_ = -1;
    AutoScrollDrag drag_;
};

class GridList : public QAbstractScrollArea {
public:
    explicit GridList(ResultGrid& grid);
    // The scroll bars follow the geometry's range and position.
    void syncScrollBars();
    // Cells whose pixels the list keeps, and the bytes they hold (for tests and diagnostics),
    // within these bounds: half a 1280 x 800 screen's pixels.
    static constexpr std::size_t kMaxKeptCells = 4096;
    static constexpr std::size_t kMaxKeptBytes = std::size_t{2} << 20;
    std::size_t keptCells() const;
    std::size_t keptBytes() const { return keptBytes_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int, int) override {}
    // Tab moves the current cell, not the focus.
    bool focusNextPrevChild(bool) override { return false; }

private:
    void turnWheel(QWheelEvent& event);
    // The raster image a paint lands in, when the painter maps the viewport onto it by whole
    // pixels: kept cells are copied from and to it; otherwise every text is drawn.
    struct PaintTarget {
        const QImage* image = nullptr;
        QPoint offset;  // viewport to image
        QRegion clip;   // in image coordinates; empty for the whole image
    };
    // What besides its text decides a cell's pixels while the font stays: the box's size, the
    // side the text keeps to, the pen and the ground under it.
    struct CellLook {
        int width = 0;
        int height = 0;
        bool right = false;
        quint64 pen = 0;  // QRgba64
        quint64 ground = 0;
        bool operator==(const CellLook&) const = default;
    };
    void extendTo(QPoint point);
    void onAction(bool vertical, int action);
    PaintTarget paintTarget(const QPainter& p) const;
    // Draws one cell's CP932 text in the box, aligned left or right; on a ground that is one
    // colour (nullopt otherwise) a text that comes back is copied as it was drawn before.
    void drawCellText(QPainter& p, const PaintTarget& target, const QRect& box,
                      std::string_view cp932, bool right, int baseline,
                      std::optional<quint64> ground, quint64 pen);
    // How a text is drawn: one run of glyphs of the list's font or of its Japanese font, laid
    // out from x 0; or, when neither font holds every character, the painter's own text.
    struct TextRun {
        QGlyphRun run;
        QString text;  // only for the painter's text
        int width = 0;
        bool glyphs = false;
        // Kept runs: the pixels the glyphs may touch, around the origin on the baseline.
        QRect ink;
    };
    // One cell's text where it is drawn, the clip included: where it starts, whether the clip
    // is needed and the box-relative pixels it may touch (empty when it strays out of the box).
    struct Placement {
        int left = 0;
        bool clip = false;
        QRect ink;
    };
    static Placement place(const TextRun& t, const QRect& box, bool right, int baseline);
    static void paintText(QPainter& p, const TextRun& t, const QRect& box, const Placement& at,
                          int baseline);
    const TextRun& textRun(QPainter& p, std::string_view cp932);
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    ResultGrid& grid_;
    // The glyphs of ASCII characters in the list's font: digits, dates and codes are laid out
    // from them as they are, without shaping every text of the screen anew.
    struct AsciiGlyphs {
        QRawFont raw;
        std::array<quint32, 128> index{};
        std::array<qreal, 128> advance{};
        bool usable = false;
    } ascii_;
    // The run of the last ASCII text, pointing into the two arrays it was laid out in.
    TextRun asciiRun_;
    std::vector<quint32> asciiIndexes_;
    std::vector<QPointF> asciiPositions_;
    QRawFont cjk_;
    // Other runs by text, kept while the font stays: converting and looking up Japanese text
    // costs more than drawing it, and a screen repeats its codes' names and blanks many times
    // (scrolling shows most of them again). Bounded by clearing.
    static constexpr std::size_t kMaxRuns = 4096;
    std::unordered_map<std::string, TextRun, TextHash, std::equal_to<>> runs_;
    QFont runsFont_;
    bool runsReady_ = false;
    // The pixels of non-ASCII texts as they were drawn, by text and look: blending a Japanese
    // text's glyphs (gamma-corrected, pixel by pixel) is most of a screen's paint, and a
    // screen repeats its codes' names many times over. A text is copied from its second time
    // on; the least recently drawn go first past the bounds above.
    struct KeptCell {
        std::string text;
        CellLook look;
        QImage pixels;  // null until the text comes back
        QPoint at;      // where pixels sit in the box
    };
    struct KeptKey {
        std::string_view text;  // the kept cell's own string
        CellLook look;
        bool operator==(const KeptKey&) const = default;
    };
    struct KeptHash {
        std::size_t operator()(const KeptKey& key) const;
    };
    // The kept cell of a text and look, made (and *fresh set) when there is none.
    KeptCell& keptCell(std::string_view text, const CellLook& look, bool* fresh);
    void dropKept(std::size_t keep);
    void clearKept();
    std::list<KeptCell> kept_;  // most recently drawn first
    std::unordered_map<KeptKey, std::list<KeptCell>::iterator, KeptHash> keptIndex_;
    std::size_t keptBytes_ = 0;
    QImage::Format keptFormat_ = QImage::Format_Invalid;
    bool syncing_ = false;
    Cell anchor_;
    Cell end_;
    AutoScrollDrag drag_;
};

class ResultGrid : public QWidget {
public:
    ResultGrid(GridOwner& owner, GridConfig config, QWidget* parent = nullptr);

    GridOwner& owner() const { return owner_; }
    GridController& geometry() const { return owner_.geometry(); }
    GridColumnHeader* columnHeader() const { return columnHeader_; }
    GridRowHeader* rowHeader() const { return rowHeader_; }
    GridList* list() const { return list_; }
    // Repaints the three controls and brings the scroll bars to the geometry.
    void refresh();
    // The record row a selection drag reaches at list y: above or below the list it scrolls 10
    // pixels and gives the top or the last visible row.
    std::int32_t rowReached(int y);
    // The width of CP932 text in the grid's font.
    int textWidth(std::string_view cp932) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    GridOwner& owner_;
    GridConfig config_;
    GridColumnHeader* columnHeader_;
    GridRowHeader* rowHeader_;
    GridList* list_;
};

// The virtual-key code of a Qt key, 0 for keys that are not move keys.
std::int32_t virtualKeyOf(int qtKey);

}  // namespace zbq::windows
