// CMOLAPFrm: the aggregation window, a top-level window owned by the main frame (in its
// registry, never in the console's window list) over the CMOLAPView model and its grid.
//
// A build runs in two stages on worker threads while the window's thread waits in a local event
// loop, woken by the worker's queued "done", with a 100 ms timer for the status text: worker 1
// runs the engine's aggregation, worker 2 lays the result out. No worker touches a widget; the
// layout is installed in one step. While a build runs the application's busy flag is raised, so
// every entry that uses the engine refuses as it does while data are loaded, this window's own
// commands included.
//
// A close during a build (close box, the frame, shutdown) requests the engine's cancel and the
// window closes once the build has returned; a window destroyed meanwhile stops its worker
// first and the build then touches nothing of it. A cancel leaves no half table and carries over
// to no later build. The window keeps its own copy of its parameters; a rebuild after a drill
// uses that copy. User-interface thread only.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "app/analysis_window.h"
#include "windows/molap_view.h"

class QMenu;

namespace zbq::ui {
class FixedGrid;
}

namespace zbq::windows {

class CMOLAPFrm : public QWidget, public MolapWindowOps {
    Q_OBJECT

public:
    CMOLAPFrm(CKWApp& app, const MolapParams& params, QWidget* parent = nullptr);
    ~CMOLAPFrm() override;
    // The factory the main frame opens the window with.
    static QWidget* Make(CKWApp& app, const MolapParams& params);

    void SetParams(const MolapParams& params);
    const MolapParams& params() const { return params_; }
    // Builds and shows the table: 0, or -1 when refused, failed or cancelled (told to the user
    // where the build has something to tell).
    std::int32_t ExecuteMolap() override;

    // --- The window's commands (molap_commands.cpp) ---
    // Each refuses (0) while a build runs; 1 done. Steps are recorded as the commands succeed.
    // The whole grid as TAB text with LF line ends to the clipboard.
    std::int32_t Copy();
    // The save chooser, then WriteCsvFile; 0 when it is cancelled.
    std::int32_t OnOutToCsv();
    // ".csv" (any case): every field quoted, a '"' doubled; any other name TAB text. Written
    // through a temporary beside it; a failure is told, the old file kept, nothing recorded.
    std::int32_t WriteCsvFile(const std::string& path);
    // The grid into a workbook opened in the spreadsheet program; over 256 columns refused.
    std::int32_t ExportMolapToExcel();
    // The records of the current cell become a new record set and the current selection; a
    // header cell or an empty one is refused. The double-click asks first.
    std::int32_t DrillThrough(bool doubleClick = false);
    // Applies the five conditions and records them.
    std::int32_t Filter(const FilterConditions& conditions);
    std::int32_t FilterRelease();
    // The "フィルター" dialog over the stored conditions; OK applies and records them, Cancel
    // changes nothing. 1 when applied.
    std::int32_t OnFilter();

    // The window's system commands, recorded as the user gives them.
    void OnMaximize();
    void OnMinimize();
    void OnRestore();

    CMOLAPView& view() { return view_; }
    const CMOLAPView& view() const { return view_; }
    bool busy() const { return busy_; }
    // The text shown while a build runs ("" otherwise).
    const std::string& statusText() const { return status_; }
    ui::FixedGrid* grid() const { return grid_; }
    // The grid's menu as the right button or the menu key shows it (built afresh each time).
    QMenu* contextMenu();

    // Tests: called on each worker (stage 1 aggregation, 2 layout) as it starts; a stage for
    // which starting a worker fails as if the system refused the thread (0: none).
    static void setWorkerHookForTest(std::function<void(std::int32_t stage)> hook);
    static void setFailingStageForTest(std::int32_t stage);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The desktop's change of the window's state is the user's: MolapMax, MolapMin or
    // MolapRestore, one step per state reached.
    void changeEvent(QEvent* event) override;

private:
    static constexpr std::int32_t kNotStarted = -100;
    const char* lastState_ = nullptr;  // the state step last reached

    std::int32_t BuildMolapTable();
    // Runs the work on a worker and waits; the work's code, or kNotStarted.
    std::int32_t runWorker(std::int32_t stage, const std::function<std::int32_t()>& work,
                           const std::atomic<std::int32_t>* progress);
    // The status in CP932 and, when it is not a text of ours as it stands, as the user reads it.
    void setStatus(std::string text, std::optional<QString> shown = std::nullopt);
    void requestCancel();
    // Off the frame's registry and gone once the event loop is back.
    void closeNow();
    void installGrid();
    void connectGrid();
    void fitFrame();
    MixedText logText() const;
    void recordBurst() const;

    CKWApp& app_;
    MolapParams params_;
    CMOLAPView view_;
    ui::FixedGrid* grid_ = nullptr;
    bool busy_ = false;
    std::int32_t wasBusy_ = 0;  // the application's busy flag before the build
    bool closeRequested_ = false;
    bool rebuildQuietly_ = false;  // a drill's refresh records no settings
    std::string status_;
    QString shownStatus_;
    std::thread worker_;
};

}  // namespace zbq::windows
