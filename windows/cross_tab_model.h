// CrossTabModel: the cross-tabulation window without its widgets. It builds the table through
// the engine (the X and Y axes from the item's own values or from the classes of a category,
// then the aggregate of the cross-tab settings), decides which categories are shown as columns
// and rows, and answers every text of the table from the engine's result when it is painted or
// exported: cells, headers and corner are never cached, only the shown column and row lists,
// the non-empty matrix and the sort order are kept.
//
// The window's own state lives here too: the empty-cell text ([OLAP] NODATA of ZBQ.ini, read
// once, "-" without one), the error/blank display flag, the sort (kept by its X category across
// rebuilds and sorted again each time), the decimal places and grouping, the selection as
// anchor and end cells, and the geometry of the list (GridController: widths, rows, scroll).
// Every operation of the window's menus, keys and wheel is a public method that records its
// own step, so a menu, a gesture, a macro player and a test run the same code.
//
// Positions: the shown column c is X category columns()[c]; the shown row r is, through the
// sort order, Y category rows()[...]. Texts are CP932. User-interface thread only.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "windows/grid_controller.h"
#include "windows/table_source.h"

namespace zbq::windows {

class CrossTabModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kRowHeaderWidth = 160;
    // The largest frame a fit makes.
    static constexpr int kWidestFrame = 800;
    static constexpr int kHighestFrame = 500;
    static constexpr int kHeaderHeight = 20;
    static constexpr int kCaptionPadding = 36;
    static constexpr int kMaxDecimals = 14;
    static constexpr int kWheelPixels = 20;
    // Cell alignment as the list draws it.
    enum Alignment : std::int32_t { kCentre = 0, kLeft = 1, kRight = 2 };
    // Text width in pixels of CP932 bytes; the widget installs its font's measure.
    using Measure = std::function<int(std::string_view cp932)>;

    explicit CrossTabModel(CKWApp& app, QObject* parent = nullptr);
    CKWApp& app() const { return app_; }
    GridController& geometry() { return geometry_; }
    const GridController& geometry() const { return geometry_; }
    void setMeasure(Measure measure);

    // --- Building ---
    // Runs the engine on the current settings and map: 0 when the table stands, -1 without
    // records (no message), the engine's negative code when it failed (told).
    std::int32_t RefreshCrossView();
    // The window's caption of the last build ("" before one).
    const std::string& caption() const { return caption_; }
    // What the caption is made of (CP932), for a window title in another language.
    struct CaptionParts {
        std::string aggregate, x, y, z;
        std::int32_t records = 0;
    };
    const CaptionParts& captionParts() const { return captionParts_; }
    std::int32_t GetColumnCount() const { return static_cast<std::int32_t>(columns_.size()); }
    std::int32_t GetRowCount() const { return static_cast<std::int32_t>(rows_.size()); }
    const CrossSettings& settings() const { return settings_; }

    // --- Texts ---
    // False (text "") outside the table.
    bool GetCellText(std::int32_t row, std::int32_t column, std::string* text) const;
    std::string GetCellText(std::int32_t row, std::int32_t column) const;
    std::string GetColumnHeaderText(std::int32_t column) const;
    std::string GetRowHeaderText(std::int32_t row) const;
    const std::string& GetCornerText() const { return corner_; }
    std::int32_t GetCellAlignment(std::string_view text) const;
    const std::string& emptyText() const { return emptyText_; }

    // --- Display ---
    // 0 to 14; anything else changes nothing. Records Olap_DecimalDigit.
    void SetDecimalDigit(std::int32_t places);
    std::int32_t decimals() const { return decimals_; }
    bool grouped() const { return grouped_; }
    std::int32_t errorBlank() const { return errorBlank_; }
    // The text of the toggle's menu entry: what the toggle will do next.
    std::string toggleText() const;
    // Shows or hides the error and blank positions of plain-value axes; no step.
    std::int32_t ToggleErrorBlank();

    // --- Sorting ---
    // Sorts the rows by a shown column (descending 0 ascending, anything else descending);
    // records Olap_Sort. A column without any ordinary cell leaves the table unsorted.
    void SortRows(std::int32_t column, std::int32_t descending);
    // Back to the order of the data; records Olap_OriginalDisplay only when it was sorted.
    void OriginalDisplay();
    // The shown column sorted by, -1 when unsorted.
    std::int32_t sortColumn() const;
    bool sortDescending() const { return descending_; }

    // --- Drill-through ---
    // The records of the selected cells become a new set "<X> X <Y>" and every window is
    // refreshed on it; records DorileDrillThrough. A selection over no shown cell does nothing;
    // cells holding no record leave everything as it was and say so.
    void DrillThrough();

    // --- Selection (shown positions) ---
    void SetSelStart(std::int32_t column, std::int32_t row);
    void SetSelEnd(std::int32_t column, std::int32_t row);
    Cell GetSelStart() const { return start_; }
    Cell GetSelEnd() const { return end_; }
    // The recorded selections of the list, the row header, the column header and the corner.
    void SelectCells(Cell anchor, Cell end);
    void SelectRows(std::int32_t anchorRow, std::int32_t endRow);
    void SelectColumns(std::int32_t anchorColumn, std::int32_t endColumn);
    void SelectAll();
    bool isSelected(std::int32_t row, std::int32_t column) const;

    // --- Keys, wheel, scrolling, widths ---
    void MoveSelection(std::int32_t row, std::int32_t column);
    // Records Olap_ChangeSelectByKey for a move key before it moves.
    void OnKeyDown(std::int32_t key, std::int32_t repeat, std::int32_t flags);
    // Records Olap_MouseWheel after scrolling.
    void OnMouseWheel(std::int32_t flags, std::int32_t delta);
    // Scroll-bar requests (codes 0-4; the thumb's value a row or pixels); false for another
    // code. Record Olap_VScroll / Olap_HScroll.
    bool VScroll(std::int32_t code, std::int32_t value);
    bool HScroll(std::int32_t code, std::int32_t value);
    void ScrollToRow(std::int32_t row);
    void ScrollToColumn(std::int32_t column);
    // Fits a column to its widest text; records Olap_Alignment in place of the divider drag's
    // Olap_AlignmentFree of the same column.
    void FitColumnWidth(std::int32_t column);
    // A divider drag's width (clamped to 0 to the widest column); records Olap_AlignmentFree.
    void SetColumnWidth(std::int32_t column, std::int32_t width, bool record = true);
    // The frame's client size that shows the whole table, at most 800 x 500 with the frame's
    // non-client size given.
    std::pair<int, int> FitFrameToTable(int nonClientWidth, int nonClientHeight) const;

    // --- Copy and export (the exporter asks, writes and records) ---
    void CopyAll();
    void CopyWithHead();
    void Copy();
    void OutToCsvAll(const std::string& path);
    void OutToCsvWithHead(const std::string& path);
    void OutToCsv(const std::string& path);
    void OutToExcelAll();
    void OutToExcelWithHead();
    void OutToExcel();
    const TableSource& Table() const { return source_; }

    // --- QAbstractTableModel: the shown cells ---
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // Something a paint shows changed: texts, selection, widths or the scroll position.
    void viewChanged();
    // A table stands after a rebuild, the toggle or a sort: the window fits itself to it.
    void tableShown();
    // A rebuild could not make a table: the window closes.
    void tableLost();

private:
    class Source : public TableSource {
    public:
        explicit Source(const CrossTabModel& model) : model_(model) {}
        std::int32_t rowCount() const override { return model_.GetRowCount(); }
        std::int32_t columnCount() const override { return model_.GetColumnCount(); }
        std::string caption() const override { return model_.caption_; }
        bool hasRowHeaders() const override { return true; }
        std::string corner() const override { return model_.corner_; }
        std::string rowHeader(std::int32_t row) const override {
            return model_.GetRowHeaderText(row);
        }
        std::string columnHeader(std::int32_t column) const override {
            return model_.GetColumnHeaderText(column);
        }
        void readCell(std::int32_t row, std::int32_t column, TableCell& cell) const override;

    private:
        const CrossTabModel& model_;
    };

    // What a cell shows for the kind and the Z item's type.
    enum class CellKind { Count, Value, Date, Time, DateCount, TimeCount, Text, None };
    CellKind cellKind() const;
    bool classAxis(int axis) const;
    // The error or blank position of a plain-value axis, which aggregates leave empty.
    bool plainSpecial(std::int32_t xCategory, std::int32_t yCategory) const;
    bool cellEmpty(CrossCell cell) const;
    std::int32_t buildAxis(int axis);
    std::int32_t buildTable();
    // The table again: through the engine, or from the result in hand when the settings, the
    // categories and the records are those it was made for.
    std::int32_t show(bool runEngine);
    std::int32_t relayout();
    bool resultInHand() const;
    void markNonEmptyCells();
    std::vector<std::int32_t> shownCategories(int axis, std::int32_t check) const;
    // Sorts again by the kept X category; drops the sort when it is not shown or has no key.
    void applySort();
    std::string axisHeader(int axis, std::int32_t category) const;
    std::int32_t yCategoryOfRow(std::int32_t row) const;
    std::int32_t shownRecords();
    // The caption and the log line of a build.
    void writeCaption(double ms);
    void exportTable(int kind, bool whole, bool withHeaders, const std::string& path);
    void changed() { emit viewChanged(); }

    CKWApp& app_;
    Source source_;
    GridController geometry_;
    Measure measure_;

    CrossSettings settings_;
    std::vector<CategoryDefinition> categories_;
    std::string caption_;
    CaptionParts captionParts_;
    std::string corner_;
    std::string emptyText_;
    std::vector<std::uint8_t> matrix_;  // X count x Y count; empty when both axes show all
    std::int32_t matrixColumns_ = 0;
    std::vector<std::int32_t> columns_;  // X category of each shown column
    std::vector<std::int32_t> rows_;     // Y category of each shown row, in the data's order
    std::int32_t errorBlank_ = 0;
    std::int32_t decimals_ = 0;
    bool grouped_ = true;
    std::int32_t sortCategory_ = -1;  // X category sorted by, -1 unsorted
    bool descending_ = false;
    std::vector<std::int32_t> order_;  // row-list positions in ascending key order
    bool built_ = false;
    KW_mapPtr builtMap_;
    Cell start_{0, 0};
    Cell end_{0, 0};
};

}  // namespace zbq::windows
