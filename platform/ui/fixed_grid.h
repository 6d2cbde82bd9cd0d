// FixedGrid: the grid control of the analysis windows, a QTableView over a virtual model whose
// first rows and columns stay in place while the rest scrolls under them. Spans merge cells;
// the model gives each cell's text, background and alignment (Qt's display, background and
// alignment roles); the grid keeps no item per cell.
//
// The fixed part is drawn by overlay views over the same model (the fixed rows, the fixed
// columns and their corner), sized to it and scrolled with the grid, so no row or column carries
// state of its own. One cell is highlighted: the grid paints the system's highlight over it and
// never stores it as the cell's colour, so the model's background stays what it is.
//
// Rows and columns are sized in twips (1/1440 inch), turned into pixels by the screen's logical
// dots per inch, so a table keeps its proportions on any screen; the fixed part takes the same
// sizes as the rest.
//
// Gestures come out as signals with the cell's row and column: a left double-click, a left
// release, a right press (with the global position) and the menu key (the current cell). All
// on the user-interface thread.
#pragma once

#include <QRect>
#include <QTableView>

#include <vector>

namespace zbq::ui {

// Pixels of a length in twips at `dpi` dots per inch, and back (whole units, rounded down).
int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);

class FixedGrid : public QTableView {
    Q_OBJECT

public:
    explicit FixedGrid(QWidget* parent = nullptr);
    ~FixedGrid() override;

    void setModel(QAbstractItemModel* model) override;
    // The rows and columns that never scroll.
    void setFixed(int rows, int columns);
    int fixedRows() const { return fixedRows_; }
    int fixedColumns() const { return fixedColumns_; }
    // Replaces every span: x column, y row, width columns, height rows.
    void setCellSpans(const std::vector<QRect>& spans);
    // Every row's height and every column's width in twips. Until they are set, the style's
    // default sizes stand, and these read them in twips.
    void setSectionTwips(int rowTwips, int columnTwips);
    int rowHeightTwips() const;
    int columnWidthTwips() const;
    // The highlighted cell (-1, -1: none); it also becomes the current cell.
    void setHighlight(int row, int column);
    // A body cell is made visible beyond the fixed part, a cell of the fixed part without
    // scrolling in its direction.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    int highlightRow() const { return highlightRow_; }
    int highlightColumn() const { return highlightColumn_; }

signals:
    void cellDoubleClicked(int row, int column);
    void cellReleased(int row, int column);
    void cellRightPressed(int row, int column, QPoint globalPosition);
    void menuKeyPressed(int row, int column);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void updateGeometries() override;

private:
    class Delegate;
    QTableView* makeOverlay();
    void placeOverlays();
    void applySectionTwips();

    QTableView* top_ = nullptr;
    QTableView* left_ = nullptr;
    QTableView* corner_ = nullptr;
    Delegate* delegate_ = nullptr;
    int fixedRows_ = 0, fixedColumns_ = 0;
    int rowTwips_ = 0, columnTwips_ = 0;  // 0: the style's default
    int highlightRow_ = -1, highlightColumn_ = -1;
};

}  // namespace zbq::ui
