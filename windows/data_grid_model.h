// DataGridModel: the original-data window without its widgets. One row per record of the current
// record set in the engine's order (plus the one empty row the list always shows), one column per
// entry of the application's grid item list. Every cell text is read through CKWApp when it is
// painted or exported: the model keeps no record and caches no text, so a new selection of
// records, a sort or a switch between codes and names shows at the next paint.
//
// What the model does keep is the window's own state: per column the item, the width, the comma
// flag, the decimal places and the code flag; the selection as anchor and end cells (all -1 for
// none); and the list's geometry and scroll position (GridController). Every operation of the
// window's menus, keys and wheel is a public method with explicit arguments that records its own
// step, so a menu, a gesture, a macro player and a test call the same code. Recording happens
// only while the macro object records and no macro plays (CKWApp::Record).
//
// Texts are CP932 bytes; data() hands them to views as QString. User-interface thread only.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "windows/grid_controller.h"
#include "windows/table_source.h"

namespace zbq::windows {

// One cell as exports need it: the text shown, whether the value is blank, and the number
// behind an Integer or Float cell.
struct GridCell {
    bool exists = false;
    std::string text;
    bool blank = false;
    std::optional<double> number;
    std::int32_t decimals = 0;
    bool grouped = false;
};

// Which entries of the window's menu are on for a column (or for the corner / no column).
struct GridMenuState {
    bool excel = true;
    bool sort = false;
    bool codes = false;  // only Code and MultiAns items have codes to show
    bool itemDetails = false;
    bool cellWidth = false;
    bool comma = false;
    bool decimals = false;
    bool commaChecked = false;
    bool codesChecked = false;
    std::int32_t checkedDecimals = -1;  // -1: none checked
};

class DataGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr std::size_t kMultiTextLimit = 4800;
    static constexpr int kCaptionPadding = 36;
    static constexpr int kMaxDecimals = 14;
    // Text width in pixels of CP932 bytes; the widget installs its font's measure.
    using Measure = std::function<int(std::string_view cp932)>;

    explicit DataGridModel(CKWApp& app, QObject* parent = nullptr);
    CKWApp& app() const { return app_; }
    GridController& geometry() { return geometry_; }
    const GridController& geometry() const { return geometry_; }
    void setMeasure(Measure measure);
    int measure(std::string_view cp932) const { return measure_(cp932); }

    // --- Building ---
    // Columns from the grid item list, widths from their captions, the selection cleared. With
    // keep 0 every code and multiple-answer item is switched to names; with 1 the engine's
    // present setting of each is taken over.
    void BuildGrid(std::int32_t keep);
    void RebuildGrid(std::int32_t keep) { BuildGrid(keep); }

    // --- Reading ---
    std::int32_t GetRowCount() const;
    std::int32_t GetColumnCount() const { return static_cast<std::int32_t>(columns_.size()); }
    // -1 for a column the grid does not have.
    std::int32_t GetColumnItem(std::int32_t column) const;
    std::string GetColumnName(std::int32_t column) const;
    std::int32_t GetColumnType(std::int32_t column) const;
    // The cell's text; false (text empty) outside the records and columns.
    bool GetCellText(std::int32_t row, std::int32_t column, std::string* text) const;
    GridCell ReadCell(std::int32_t row, std::int32_t column) const;
    bool GetDispComma(std::int32_t column) const;
    std::int32_t GetDecimalDigit(std::int32_t column) const;
    bool GetDispCode(std::int32_t column) const;
    // Cells of number, date and time columns are right-aligned, the rest left.
    bool IsRightAligned(std::int32_t column) const;

    // --- Selection ---
    // A row not below the row count clears all four to -1.
    void SetSelStart(std::int32_t column, std::int32_t row);
    void SetSelEnd(std::int32_t column, std::int32_t row);
    Cell GetSelStart() const { return anchor_; }
    Cell GetSelEnd() const { return end_; }
    std::int32_t GetCurrentRow() const { return anchor_.row; }
    bool HasSelection() const;
    bool IsSelected(std::int32_t column, std::int32_t row) const;
    // The gestures' and players' selections; each records its step.
    void SelectCells(Cell anchor, Cell end);
    void SelectRows(std::int32_t first, std::int32_t last);
    void SelectColumns(std::int32_t first, std::int32_t last);
    void SelectAll();

    // --- Menu operations (each records its step) ---
    GridMenuState EnableMenuByType(std::int32_t column) const;
    void SortUp(std::int32_t column);
    void SortDown(std::int32_t column);
    void SortOrg(std::int32_t column);
    void DispByCode(std::int32_t column);
    void DispComma(std::int32_t column);
    void SetDecimalDigit(std::int32_t column, std::int32_t places);
    // Raises the window-action flag around opening the item window, so the window's own steps
    // stay out of the recording.
    void DispItemDlg(std::int32_t column);
    // Fits the column to its widest visible cell. `replacingDrag`: a divider double-click,
    // whose press and release recorded the drag's step first.
    void AdjustCellWidth(std::int32_t column, bool replacingDrag = false);
    // The width a divider drag reached (0-24000).
    void SetColumnWidth(std::int32_t column, std::int32_t width);
    void SetMinWidth(std::int32_t column, std::int32_t width);

    // --- Copy and export of the selected block (nothing without a selection) ---
    // Each records its step after it succeeded; the file commands record their path.
    void CopyWithHead();
    void Copy();
    // An empty path asks with the save chooser.
    void OutToCsvWithHead(const std::string& path);
    void OutToCsv(const std::string& path);
    void OutToExcelWithHead();
    void OutToExcel();
    // Selects the whole grid (recording Data_SelectAll), writes it with the item names to
    // temp/StylePrt.csv and opens the file of the first print entry of that number; records Prt.
    void FormatPrint(std::int32_t number);
    // What exports read: the records and columns as the grid shows them.
    const TableSource& Table() const { return source_; }

    // --- Moving and scrolling ---
    // Scrolls the record into view and selects the cell of the first column showing the item;
    // 1 on success, 0 (nothing changed) when no column shows it or the row is out of range.
    std::int32_t ShowRecord(std::int32_t row, std::int32_t item);
    void ScrollToRow(std::int32_t row);
    void ScrollToColumn(std::int32_t column);
    // Records the key first when it is a move key, then moves the current cell.
    void OnKeyDown(std::int32_t key, std::int32_t repeat, std::int32_t flags);
    // 20 pixels up for a positive delta, else down; then records.
    void OnMouseWheel(std::int32_t flags, std::int32_t delta);
    // A scroll-bar request of the list; records codes 0-4, false (nothing done) for others.
    bool VScroll(std::int32_t code, std::int32_t value);
    bool HScroll(std::int32_t code, std::int32_t value);
    // The list's viewport changed size.
    void SetViewport(int width, int height);

    // --- QAbstractTableModel: rows are the records plus one ---
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // Something a paint shows changed: texts, selection, widths or the scroll position.
    void viewChanged();

private:
    class Source : public TableSource {
    public:
        explicit Source(const DataGridModel& model) : model_(model) {}
        std::int32_t rowCount() const override { return model_.GetRowCount(); }
        std::int32_t columnCount() const override { return model_.GetColumnCount(); }
        std::string columnHeader(std::int32_t column) const override {
            return model_.GetColumnName(column);
        }
        void readCell(std::int32_t row, std::int32_t column, TableCell& cell) const override;

    private:
        const DataGridModel& model_;
    };
    void exportSelection(int kind, bool withHeaders, const std::string& path);

    struct Column {
        std::int32_t item = -1;
        std::int32_t type = -1;  // the item's type, fixed while the data set is loaded
        bool comma = false;
        std::int32_t decimals = 0;
        bool code = false;
        int minWidth = 0;
    };
    bool validColumn(std::int32_t column) const;
    void sortRows(std::int32_t column, std::int32_t item, std::int32_t direction, std::int32_t kind,
                  const char* step);
    void changed() { emit viewChanged(); }
    void showCell(std::int32_t column, std::int32_t row);

    CKWApp& app_;
    GridController geometry_;
    Measure measure_;
    std::vector<Column> columns_;
    Source source_{*this};
    Cell anchor_{0, 0};
    Cell end_{0, 0};
};

}  // namespace zbq::windows
