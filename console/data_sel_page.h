// CDataSelPage: the console's data-selection tab ("ﾃﾞｰﾀ選択"). The upper pane is the set tree
// (every record set of the application, nested as made; the current set carries the mark), the
// lower pane the filter conditions, one row each, with the buttons "ﾌｨﾙﾀ実行", "AND", "OR",
// "追加", "削除" and "編集" below.
//
// The state lives in the application object (sets, conditions); the page shows it and holds
// only what is the screen's own: the mark, the join, whether nodes may be expanded and
// collapsed, and the filter dialogs a macro player opened. Every user action is a public method
// with explicit arguments that records its own step (nothing while a macro plays), so players,
// widgets and tests all go through the same code. A set change refreshes the windows that show
// records: the original-data grid (rebuilt), the item windows, the cross-tab and the
// aggregation window. Popup menus go through a chooser that tests replace. User-interface
// thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/shared_records.h"
#include "console/condition_list.h"
#include "console/set_list.h"

class CKWApp;
class CFilterCondDlg;
class CDataSelTreeView;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

class CDataSelPage : public QWidget {
    Q_OBJECT

public:
    // Menu command ids of the set tree's popups.
    enum MenuId : std::int32_t {
        kMenuUnion = 32789,
        kMenuProduct = 32790,
        kMenuDifference = 32791,
        kMenuComplement = 32792,
        kMenuDelete = 32794,
        kMenuAllowClose = 32795,
        kMenuExpandAll = 32796,
        kMenuCloseAll = 32797,
    };
    // Shows a popup and gives the id chosen, 0 for none. The default opens it at the cursor.
    using MenuChooser = std::function<std::int32_t(QMenu& menu, std::int32_t menuNumber)>;

    explicit CDataSelPage(CKWApp& app, QWidget* parent = nullptr);
    ~CDataSelPage() override;

    CKWApp& app() const { return app_; }

    // --- Set tree ---
    // Puts the application's sets into the tree again, keeping the mark where its set is.
    void RebuildTree();
    void MarkCurrentSet(std::int32_t setNo);
    // The marked set; -1 when none is.
    std::int32_t CurrentSetNo() const { return currentSetNo_; }
    bool HasSetItem(std::int32_t setNo) const;
    // Inserts a node for a set as the last child of the parent's (top level for -1); 0 when the
    // parent has no node.
    std::int32_t InsertSetItem(std::int32_t parent, std::string_view text, std::int32_t setNo);
    // Numbers and stores a new set after the parent's subtree (parent -1: at the end); the
    // record stored. The tree is not touched.
    SetRecord AddSet(std::int32_t parent, SetRecord record);
    // Replaces the record of that set in the application's list.
    void UpdateSet(std::int32_t setNo, const SetRecord& record);
    // The engine's current map as a new set under the current set, limited to the current
    // set's records when `intersect` is non-zero; marked, the tree expanded. Records nothing.
    void AddResultSet(const MixedText& title, std::int32_t intersect);
    // The caption the set's node shows: its words of ours in the language in force.
    std::string ShownSetCaption(const SetRecord& set) const;

    // The user's set-tree actions, each recording its step.
    // Double-click: the set becomes the current selection of the whole program.
    void SelectSet(std::int32_t setNo);
    // Deletes the set and those below it; refused for set 0, the current set and its ancestors.
    void OnDelete(std::int32_t setNo);
    void OnAllowClose();
    void OnExpandAll();
    void OnCollapseAll();
    bool CollapseAllowed() const { return collapseAllowed_; }
    // Combines target A with the dragged set B (op codes of SetOp), adds the result, marks it;
    // false when either set is missing.
    bool CombineSets(SetOp op, std::int32_t a, std::int32_t b);
    // The in-place edit of a caption ended with `text`: the caption becomes exactly the text.
    void RenameSet(std::int32_t setNo, const std::string& text);
    // A set dropped onto another: the fitting algebra menu, then the chosen combination and
    // the refresh. Runs from the event loop after the drop has returned.
    void DropSet(std::int32_t dragged, std::int32_t target);
    // Right button on a node: the fitting popup, then the chosen command.
    void OnContextMenu(std::int32_t setNo);
    // The windows that show records follow the current set.
    // False when the page did not outlive the refresh (it runs the aggregation's nested loop).
    bool RefreshWindows();
    void setMenuChooser(MenuChooser chooser) { chooser_ = std::move(chooser); }

    // --- Conditions ---
    void FillConditions();
    void UpdateButtons();
    // The first selected row, -1 when none; SelectRow(-1) clears the selection.
    std::int32_t SelectedRow() const;
    void SelectRow(std::int32_t row);
    FilterJoin Join() const;
    // Checks the radio button without the click's recording (a player's step).
    void SetJoin(FilterJoin join);
    // The radio buttons' clicks.
    void OnAnd();
    void OnOr();
    // "追加" and "編集" run the dialog modally.
    void OnAdd();
    void OnEdit();
    // "削除": asks, then removes the selected row's condition.
    void OnDeleteCondition();
    // Removes the condition at the row without asking or recording; false out of range.
    bool DeleteCondition(std::int32_t row);
    // "ﾌｨﾙﾀ実行": 1 when a set was added.
    std::int32_t OnExecuteFilter();
    std::optional<std::string> BuildSearchExpression() const;

    // --- Filter dialogs a macro player opened, without a modal loop ---
    // Opens one (row -1 in add mode) beside any already open; the newest is the one later
    // steps act on. The page destroys every one it still holds when it goes.
    CFilterCondDlg* OpenPlayerDialog(std::int32_t mode, std::int32_t row);
    CFilterCondDlg* NewestPlayerDialog() const;
    void ClosePlayerDialogs();

    // The screen reset: the set tree of set 0 alone and current (the windows refreshed), no
    // conditions, AND, collapsing allowed, no player's dialog.
    void ResetPage();

    // --- For the snapshot and tests ---
    CDataSelTreeView* setTree() const { return tree_; }
    QTreeWidget* conditionList() const { return conditions_; }
    QPushButton* button(std::int32_t id) const;
    QRadioButton* andButton() const { return and_; }
    QRadioButton* orButton() const { return or_; }
    QTreeWidgetItem* FindSetItem(std::int32_t setNo) const;
    // The nodes' captions in pre-order, CP932.
    std::vector<std::string> SetLines() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void expandAllQuietly();
    void showNewSet(std::int32_t setNo);
    void selectNode(std::int32_t setNo);
    std::int32_t choose(QMenu& menu, std::int32_t menuNumber);
    void runFilterDialog(std::int32_t mode, std::int32_t row);

    CKWApp& app_;
    CDataSelTreeView* tree_;
    QTreeWidget* conditions_;
    QPushButton* execute_;
    QRadioButton* and_;
    QRadioButton* or_;
    QLabel* label_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* edit_;
    std::int32_t currentSetNo_ = -1;
    // The titles of the sets added here with their words apart, by set number; the sets keep
    // the Japanese whole, and a set read from a file shows it as it stands.
    std::map<std::int32_t, MixedText> titleWords_;
    bool collapseAllowed_ = true;
    std::vector<CFilterCondDlg*> playerDialogs_;
    MenuChooser chooser_;
};
