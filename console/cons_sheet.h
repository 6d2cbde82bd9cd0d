// CConsSheet: the console, "ｺﾝｿｰﾙ (Main Navigator)", the navigator that floats beside the main
// frame for the whole run. A top-level widget: a thin progress bar along the top, the tab strip
// of its pages, and a status bar of three parts along the bottom.
//
// Six pages are built (System, Item selection, Data selection, OLAP, Multi-dimensional, Log);
// the strip shows five tabs (0 ｼｽﾃﾑ, 1 項目選択, 2 ﾃﾞｰﾀ選択, 3 多次元集計, 4 ﾛｸﾞ): the OLAP page
// lives without a tab and is reached by identity only. The console opens on the log tab.
//
// It is the application's console port: the main frame makes it (MakeHandle), installs it on
// the application and removes it again when it is destroyed; the destructor also removes it.
// Recording: the user's change of tab (on the tab strip, by mouse or key) records its Open…Tab
// step; the program's own (ActivatePage, ActivateConsolePage: start-up, an action, a player)
// and showing the console record none. The window system maximising, minimising or restoring
// the console records Cons_Max, Cons_Min or Cons_Restore, and so does OnSysCommand, the
// command's own entry; what the program does to the window itself records nothing. Closing the
// console asks the main frame to close, after the close event has returned, so the frame may
// destroy the console. User-interface thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "app/analysis_window.h"
#include "app/console_port.h"
#include "console/cons_sys_command.h"
#include "platform/core/shown_text.h"

class CKWApp;
class CConsStatusBar;
class CDataSelPage;
class CItemSelPage;
class COlapFrm;
class CLogPage;
class COlapPage;
class COlap2Page;
class CSysPage;
class ProgressAnimation;
class QProgressBar;
class QTabWidget;

class CConsSheet : public QWidget, public ConsolePort {
    Q_OBJECT

public:
    static constexpr const char* kCaption = ZBQ_SHOWN("ｺﾝｿｰﾙ (Main Navigator)");
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 524;

    CConsSheet(CKWApp& app, QWidget* parent = nullptr);
    ~CConsSheet() override;

    // A new console as the main frame keeps it: the widget, its port and its pages.
    static ConsoleHandle MakeHandle(CKWApp& app, QWidget* parent);

    // --- Pages ---
    QWidget* Page(ConsolePage page) const;
    ConsolePage CurrentPage() const;
    // Makes the page's tab current; false for the OLAP page, which has none.
    bool ActivatePage(ConsolePage page);
    CSysPage* SysPage() const { return sys_; }
    CItemSelPage* ItemSelPage() const { return itemSel_; }
    CDataSelPage* DataSelPage() const { return dataSel_; }
    CLogPage* LogPage() const { return log_; }
    COlapPage* OlapPage() const { return olap_; }
    COlap2Page* MolapPage() const { return molap_; }
    // The OLAP page's category frame (list and editor).
    COlapFrm* OlapFrame() const;
    QTabWidget* tabs() const { return tabs_; }

    // --- Window commands ---
    // Maximises, minimises or restores the console as its title bar does, recording the step.
    void OnSysCommand(ConsoleSysCommand command);

    // --- Status bar and progress ---
    CConsStatusBar* statusBar() const { return status_; }
    QProgressBar* progressBar() const { return progressBar_; }
    ProgressAnimation& progress() const { return *progress_; }
    // Part 0's text, CP932.
    std::string StatusText() const;

    // --- Console port ---
    bool exists() const override { return true; }
    void LogSearch(std::string_view caption, std::int32_t before, std::int32_t after,
                   double ms) override;
    void LogSort(std::string_view itemName, std::int32_t records, std::int32_t kind,
                 double ms) override;
    std::string LogCrossTab(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, double ms) override;
    std::string LogDrillThrough(std::string_view x, std::string_view y, std::int32_t before,
                                std::int32_t after, double ms) override;
    std::string LogOperation(const MixedText& text, std::int32_t records, double ms) override;
    std::string FormatCrossTabCaption(std::string_view aggregate, std::string_view x,
                                      std::string_view y, std::string_view z,
                                      std::int32_t records) override;
    void AppendReadLog(std::string_view line) override;
    void AppendReadLines(std::string_view lines, std::int32_t count) override;
    void FlushReadLog() override;
    void EndReadLog(std::string_view redLine) override;
    void ColourReadLogComments() override;
    // The tab at that position (0 to 4); other positions do nothing.
    void ActivateConsolePage(std::int32_t page) override;
    void SetStatusText(std::string_view text) override;
    std::int32_t StartProgress() override;
    void StopProgress() override;
    void AddWindowRow(std::string_view title, std::string_view kind, std::int32_t image,
                      QWidget* window) override;
    void RemoveWindowRow(QWidget* window) override;
    std::vector<QWidget*> ListedWindows() const override;
    void ShowItemSelControl1() override;
    void ShowItemSelControl2() override;
    void ShowData() override;
    void RebuildItemTree() override;
    void AddDisplayItem(std::int32_t position, std::int32_t item) override;
    void RemoveDisplayItem(std::string_view name) override;
    void UnmarkTreeItem(std::string_view name) override;
    std::optional<std::vector<std::int32_t>> DisplayListItems() const override;
    void RestoreDisplayListToTree() override;
    void ResetPages() override;
    void RebuildSetTree() override;
    void MarkCurrentSet(std::int32_t setNo) override;
    std::int32_t GetCurrentSetNo() const override;
    std::int32_t InsertSetItem(std::int32_t parent, std::string_view text, std::int32_t image,
                               std::int32_t setNo) override;
    SetRecord AddSet(const SetRecord& set) override;
    void AddResultSet(const MixedText& caption, std::int32_t intersect) override;
    void RefreshOlapPages() override;
    void ResetOlapPages() override;
    void EnableMolapExecute(bool enable) override;
    void AttachCategorySet() override;
    void ResetCategorySet() override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void tabChanged(int tab);
    // Makes the tab current as the program's change, not the user's.
    void showTab(int tab);
    void resetCategoryPart();

    CKWApp& app_;
    // The window states the program itself set, until the window system reports them.
    std::deque<Qt::WindowStates> ownStates_;
    bool ownTabChange_ = false;
    QProgressBar* progressBar_;
    QTabWidget* tabs_;
    CConsStatusBar* status_;
    ProgressAnimation* progress_;
    CSysPage* sys_;
    CItemSelPage* itemSel_;
    CDataSelPage* dataSel_;
    COlapPage* olap_;
    COlap2Page* molap_;
    CLogPage* log_;
};
