// CItemSheet: the item window, a top-level window of the main frame showing one item on two
// tabs, "概要" (the statistics text and its percent-rank button) and "値一覧" (the value list
// with its counters, buttons, search field and "文字列" box). It implements ItemWindowOps for
// the frame's refresh fan-out and records its own window steps: a tab the user chose, the
// window's state changes, and its close box (not while the window list closes it). The macro
// players reach it through the frame's FindItemSheet and call the same actions its widgets do.
//
// The models live here: ValueListModel and ValueListPage (the value list), SummaryText (the
// statistics). Each show that is not the desktop's own (a new window, a hidden one shown again)
// resets the value list's options, fits the list and the window and writes the summary.
// Closing gives the window back to the frame; going away drops the engine's exclusion flags of
// the item. User-interface thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

#include "app/analysis_window.h"
#include "windows/value_list_model.h"
#include "windows/value_list_page.h"

class CKWApp;
class CMainFrame;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextEdit;

namespace zbq::windows {

class ValueListView;

class CItemSheet : public QWidget, public ItemWindowOps {
public:
    enum Page { kSummaryPage = 0, kValueListPage = 1 };

    CItemSheet(CKWApp& app, CMainFrame& frame, std::int32_t item, QWidget* parent = nullptr);
    ~CItemSheet() override;

    // --- ItemWindowOps ---
    std::int32_t GetItemNo() const override { return model_->GetItemNo(); }
    void Refresh() override;
    void Rebuild() override;
    // Options reset, the list and the window fitted, natural order, counts and summary anew.
    void ResetOptions();

    ValueListModel& model() { return *model_; }
    ValueListPage& page() { return *page_; }
    ValueListView* view() const { return view_; }
    QTabWidget* tabs() const { return tabs_; }
    QTextEdit* summaryEdit() const { return summary_; }
    QPushButton* percentButton() const { return percentButton_; }
    QComboBox* searchField() const { return search_; }
    QCheckBox* textSearchBox() const { return textSearch_; }
    // The statistics text (CP932), in Japanese whatever the language the page shows it in.
    const std::string& summaryText() const { return summaryText_; }

    // --- Actions ---
    // The program's change of tab: no step.
    void ShowPage(int index);
    void WritePercentRank(double percent);
    // The percent-rank button: the dialog, then the block and Item_PercentValue.
    void OnPercentRank();
    // After a player or a menu changed the value list: counters, search field, repaint.
    void updateValuePage();
    // The search field's text set as a player sets it (no step).
    bool setSearchText(const std::string& cp932);
    void toggleTextSearch();

    // What a user can see of the window, one fact a line (UTF-8).
    std::string snapshot() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildSummaryPage();
    QWidget* buildValueListPage();
    void writeSummary();
    void syncHistory();

    CKWApp& app_;
    CMainFrame& frame_;
    std::unique_ptr<ValueListModel> model_;
    std::unique_ptr<ValueListPage> page_;
    std::string summaryText_;
    std::string shownSummary_;  // the same in the language in force
    QTabWidget* tabs_ = nullptr;
    QTextEdit* summary_ = nullptr;
    QPushButton* percentButton_ = nullptr;
    ValueListView* view_ = nullptr;
    QLabel* selectedCount_ = nullptr;
    QLabel* totalCount_ = nullptr;
    QPushButton* graphButton_ = nullptr;
    QComboBox* search_ = nullptr;
    QCheckBox* textSearch_ = nullptr;
    bool programTab_ = false;
};

}  // namespace zbq::windows
