// The cross-tabulation window on the screen. CCrossListView is a thin widget over
// CrossTabModel: the result grid in its cross-tab configuration (row header 160 wide, header 20
// high, the model's corner above the row labels), the model's texts painted, the grid's
// gestures handed to the model's operations (which record the steps), and the two menus: the
// cells' menu (4000) and the column titles' menu (214); the row labels, the corner and the strip
// right of the last column have none.
//
// CCrossFrm is the top-level window the main frame owns: it implements CrossWindowOps, takes the
// table's caption as its title, fits itself to the table after every build, closes when a
// rebuild cannot make a table, and records its own steps: Olap_Close (not while the window list
// closes it), Olap_Max, Olap_Min and Olap_Restore. The players call OnClose, OnMaximize,
// OnMinimize and OnRestore. User-interface thread only.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QWidget>

#include <cstdint>
#include <memory>

#include "app/analysis_window.h"
#include "platform/ui/shown_bytes.h"
#include "windows/cross_tab_model.h"
#include "windows/result_grid.h"

class QMenu;

namespace zbq::windows {

class CCrossListView : public QWidget, private GridOwner {
    Q_OBJECT

public:
    enum Command : std::int32_t {
        kDrill = 4001,
        kCopyAll = 4002,
        kCopyWithHead = 4003,
        kCopy = 4004,
        kCsvAll = 32799,
        kCsvWithHead = 32801,
        kCsv = 32802,
        kExcelAll = 4005,
        kExcelWithHead = 4006,
        kExcel = 4007,
        kDecimals0 = 4100,   // 4100-4106: places 0-6
        kDecimals7 = 32806,  // 32806-32813: places 7-14
        kErrorBlank = 32841,
        kSortUp = 32838,
        kSortDown = 32839,
        kOriginal = 32840,
    };

    explicit CCrossListView(CKWApp& app, QWidget* parent = nullptr);
    CrossTabModel& model() { return model_; }
    ResultGrid& grid() { return *grid_; }

    // The menu of the control of that role for a column; null where the control has none. The
    // caller owns it. RunCommand does what choosing an entry does.
    std::unique_ptr<QMenu> BuildMenu(GridRole role, std::int32_t column);
    void RunCommand(std::int32_t command, std::int32_t column);
    void refresh();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // GridOwner
    GridController& geometry() override { return model_.geometry(); }
    std::int32_t listRowCount() const override { return model_.GetRowCount(); }
    std::int32_t dataRowCount() const override { return model_.GetRowCount(); }
    std::string columnTitle(std::int32_t column) const override {
        return model_.GetColumnHeaderText(column);
    }
    std::string rowLabel(std::int32_t row) const override { return model_.GetRowHeaderText(row); }
    std::string cornerText() const override { return ui::shownBytes(model_.GetCornerText()); }
    bool rowLabelsLeft() const override { return true; }
    bool cellText(std::int32_t row, std::int32_t column, std::string* text) const override {
        return model_.GetCellText(row, column, text);
    }
    bool isSelected(std::int32_t column, std::int32_t row) const override {
        return model_.isSelected(row, column);
    }
    bool rightAligned(std::int32_t column) const override;
    bool centredCell(std::string_view text) const override {
        return model_.GetCellAlignment(text) == CrossTabModel::kCentre;
    }
    void dragSelection(Cell anchor, Cell end) override;
    void selectAll() override { model_.SelectAll(); }
    void selectCells(Cell anchor, Cell end) override { model_.SelectCells(anchor, end); }
    void selectRows(std::int32_t first, std::int32_t last) override {
        model_.SelectRows(first, last);
    }
    void selectColumns(std::int32_t first, std::int32_t last) override {
        model_.SelectColumns(first, last);
    }
    void columnResized(std::int32_t column, std::int32_t width) override {
        model_.SetColumnWidth(column, width);
    }
    void fitColumn(std::int32_t column) override { model_.FitColumnWidth(column); }
    void titleDoubleClicked(std::int32_t) override {}
    void rowDoubleClicked(std::int32_t) override {}
    void cellDoubleClicked(std::int32_t, std::int32_t) override {}
    void scrollRequest(bool vertical, std::int32_t code, std::int32_t value) override;
    void wheel(std::int32_t delta) override { model_.OnMouseWheel(0, delta); }
    void key(std::int32_t virtualKey) override { model_.OnKeyDown(virtualKey, 1, 0); }
    void contextMenu(GridRole role, std::int32_t column, QPoint global) override;

    CKWApp& app_;
    CrossTabModel model_;
    ResultGrid* grid_;
};

class CCrossFrm : public QWidget, public CrossWindowOps {
    Q_OBJECT

public:
    explicit CCrossFrm(CKWApp& app, QWidget* parent = nullptr);
    // The factory the main frame opens the window with.
    static QWidget* Make(CKWApp& app);

    CCrossListView& view() { return *view_; }
    CrossTabModel& model() { return view_->model(); }

    // --- CrossWindowOps ---
    std::int32_t RefreshCrossView() override;
    // The width the caption needs in the title bar; the window's client area is never fitted
    // narrower (up to the widest frame a fit makes).
    int titleWidth() const;

    // The window's own commands, as its title bar performs them; each records its step.
    void OnClose() { close(); }
    void OnMaximize() { showMaximized(); }
    void OnMinimize() { showMinimized(); }
    void OnRestore() { showNormal(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitToTable();
    void tableLost();

    CKWApp& app_;
    CCrossListView* view_;
    const char* lastStep_ = nullptr;
    bool closing_ = false;
};

}  // namespace zbq::windows
