// CKWView: the original-data window's view, a thin widget over DataGridModel. It lays out the
// grid (ResultGrid: column header 20 high, row header 80 wide, the list in the rest), paints the
// model's cells, hands the grid's gestures to the model's operations (which record the steps),
// and shows the window's menu ("MainPop") enabled by the clicked column's item type. It
// implements the frame's DataViewOps, so the application reaches it for rebuilds, ShowRecord,
// the current row and format printing.
//
// CChildFrame is the MDI sub-window's part: it records the window's own steps (Data_Close unless
// the console's window list closes it, Data_Max, Data_Min, Data_Restore), performs them for the
// players, keeps the main frame's caption, and unregisters the window when it closes.
//
// Command ids of the menu are those the window has always used (3001-3012, 3100-3106,
// 32814-32821, 32793). User-interface thread only.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

#include "app/analysis_window.h"
#include "windows/data_grid_model.h"
#include "windows/result_grid.h"

class QMdiSubWindow;
class QMenu;

namespace zbq::windows {

class CChildFrame;

class CKWView : public QWidget, public DataViewOps, private GridOwner {
    Q_OBJECT

public:
    enum Command : std::int32_t {
        kCopyWithHead = 3001,
        kCopy = 3002,
        kCsvWithHead = 3003,
        kCsv = 3004,
        kExcelWithHead = 3005,
        kExcel = 3006,
        kSortUp = 3007,
        kSortDown = 3008,
        kDispByCode = 3009,
        kItemDetails = 3010,
        kCellWidth = 3011,
        kComma = 3012,
        kDecimals0 = 3100,   // 3100-3106: places 0-6
        kDecimals7 = 32814,  // 32814-32821: places 7-14
        kSortOrg = 32793,
    };

    explicit CKWView(CKWApp& app, QWidget* parent = nullptr);
    ~CKWView() override;
    // The factory the main frame opens the window with.
    static QWidget* Make(CKWApp& app);

    DataGridModel& model() { return model_; }
    ResultGrid& grid() { return *grid_; }
    CChildFrame* frame() const;

    // --- DataViewOps ---
    void RebuildGrid(std::int32_t flag) override;
    std::int32_t ShowRecord(std::int32_t row, std::int32_t item) override;
    std::int32_t GetCurrentRow() const override { return model_.GetCurrentRow(); }
    void FormatPrint(std::int32_t number) override;

    // The menu as the control of that role shows it for a column (-1: none, the corner); the
    // caller owns it. RunCommand does what choosing an entry does.
    std::unique_ptr<QMenu> BuildMenu(GridRole role, std::int32_t column);
    void RunCommand(std::int32_t command, std::int32_t column);

    // Re-reads the model's state into the widgets.
    void refresh();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // GridOwner
    GridController& geometry() override { return model_.geometry(); }
    std::int32_t listRowCount() const override { return model_.GetRowCount() + 1; }
    std::int32_t dataRowCount() const override { return model_.GetRowCount(); }
    std::string columnTitle(std::int32_t column) const override;
    std::int32_t columnImage(std::int32_t column) const override {
        return model_.GetColumnType(column);
    }
    std::string rowLabel(std::int32_t row) const override;
    bool cellText(std::int32_t row, std::int32_t column, std::string* text) const override;
    bool isSelected(std::int32_t column, std::int32_t row) const override;
    bool rightAligned(std::int32_t column) const override;
    void dragSelection(Cell anchor, Cell end) override;
    void selectAll() override { model_.SelectAll(); }
    void selectCells(Cell anchor, Cell end) override { model_.SelectCells(anchor, end); }
    void selectRows(std::int32_t first, std::int32_t last) override;
    void selectColumns(std::int32_t first, std::int32_t last) override;
    void columnResized(std::int32_t column, std::int32_t width) override;
    void fitColumn(std::int32_t column) override { model_.AdjustCellWidth(column, true); }
    void titleDoubleClicked(std::int32_t column) override { model_.DispItemDlg(column); }
    void rowDoubleClicked(std::int32_t row) override;
    void cellDoubleClicked(std::int32_t row, std::int32_t column) override;
    void scrollRequest(bool vertical, std::int32_t code, std::int32_t value) override;
    void wheel(std::int32_t delta) override { model_.OnMouseWheel(0, delta); }
    void key(std::int32_t virtualKey) override { model_.OnKeyDown(virtualKey, 1, 0); }
    void contextMenu(GridRole role, std::int32_t column, QPoint global) override;

    CKWApp& app_;
    DataGridModel model_;
    ResultGrid* grid_;
    QPointer<CChildFrame> frame_;
};

class CChildFrame : public QObject {
    Q_OBJECT

public:
    CChildFrame(CKWApp& app, QMdiSubWindow& window);
    QMdiSubWindow& window() const { return window_; }

    // The window's own commands, as its title bar performs them; each records its step.
    void OnClose();
    void OnMaximize();
    void OnMinimize();
    void OnRestore();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CKWApp& app_;
    QMdiSubWindow& window_;
    // State changes the program makes itself (opening maximised) record nothing.
    bool quiet_ = false;
    bool closing_ = false;
    const char* lastStep_ = nullptr;
};

}  // namespace zbq::windows
