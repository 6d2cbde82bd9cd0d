// CItemSelPage: the console's item-selection tab ("項目選択"). Above, the tree of the data set's
// items under their groups; below, the display list, the ordered items the original-data window
// shows; over both, the buttons "ﾃﾞｰﾀ表示", "ZBQに書出し" and "ﾃﾞｰﾀ追加". The tree and the list
// are the models ItemTree and DisplayList; the widgets only show them.
//
// Every action is a public method with explicit arguments (the node, the rows, the position), so
// the menus, the drops, the macro players and the tests run the same code; each records its own
// step once it has acted and then hands the application the list's item numbers once. Popup
// menus go through a chooser that tests replace; drags carry private MIME types and end in the
// Drop... methods. Messages go through the application's Prompts. User-interface thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "console/item_sel_list.h"
#include "console/item_sel_menus.h"
#include "console/item_sel_tree.h"
#include "platform/core/shown_text.h"

class CKWApp;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

class CItemSelPage : public QWidget {
    Q_OBJECT

public:
    // Shows the menu at a global position; the id of the entry chosen, 0 for none.
    using MenuChooser =
        std::function<std::int32_t(QWidget* owner, const MenuVariant& menu, const QPoint& at)>;
    // Reads the chosen workbooks and adds their records; the workbook import in add mode unless
    // a test sets another.
    using AddDataHook = std::function<void(CItemSelPage& page, const std::vector<std::string>&)>;

    static constexpr const char* kNotLoaded =
        ZBQ_SHOWN("データがロードされていません\nそのため、表示リストに加えることはできません");
    static constexpr const char* kNoItems = ZBQ_SHOWN("表示項目を１つ以上選んでください");

    explicit CItemSelPage(CKWApp& app, QWidget* parent = nullptr);
    ~CItemSelPage() override;

    const ItemTree& tree() const { return tree_; }
    const DisplayList& list() const { return list_; }

    // --- The application's calls ---
    // Rebuilds the tree from the structure definition and empties the list.
    void FillTree();
    // Marks and lists the application's display items (after a load), in their order.
    void RestoreDisplayList();
    // Lists the item at `position` (-1 the end) and marks it, unless it is listed.
    void AddDisplayItem(std::int32_t position, std::int32_t item);
    // Takes the first row of that name out and unmarks its item.
    void RemoveDisplayItem(std::string_view name);
    // Clears the mark of the first item node of that name.
    void UnmarkTreeItem(std::string_view name);
    // The screen reset: the tree expanded with collapsing allowed, the list emptied, no step.
    void ResetPage();

    // --- Tree ---
    // The node the tree's actions work on; -1 none.
    int SelectedNode() const { return selectedNode_; }
    void SelectNode(int node);
    // "表示ﾘｽﾄへ": the node's items (a group's in tree order) at row `position` (-1 the end);
    // records ToListItem, and for a row ChangeListItem for each item it brought.
    void OnToDisplayList(int node, int position = -1);
    void OnAllToDisplayList();
    // "非表示に": an item node leaves the list; a group or the root changes nothing.
    void OnHide(int node);
    void OnHideAll();
    void OnAllowClose();
    void OnExpandAll();
    void OnCollapseAll();
    // A user's click on a node's expander; refused while collapsing is not allowed.
    bool RequestExpanded(int node, bool expanded);

    // --- Display list ---
    // Exactly these rows become selected.
    void SelectListRows(const std::vector<int>& rows);
    // "非表示に": the rows leave the list, the last first, one BackListItem step each.
    void OnListHide(const std::vector<int>& rows);
    void OnListHideAll();
    void OnListSelectAll();
    // Moves the first row of that name to `position`, recording ChangeListItem first.
    void MoveDisplayItem(int position, std::string_view name);

    // --- Drops (the drop rules are acceptsDrop) ---
    // A tree node dropped on row `row` of the list (-1 below the last): the root as
    // "全て表示ﾘｽﾄへ", any other node as "表示ﾘｽﾄへ" at that row.
    void DropNodeOnList(int node, int row);
    // The list's selected rows dropped on row `row` of the list.
    void DropRowsOnList(int row);
    // The list's selected rows dropped on the tree: "非表示に".
    void DropRowsOnTree();

    // --- Buttons ---
    void OnShowData();  // 1018 "ﾃﾞｰﾀ表示"
    void OnWriteZbq();  // 1019 "ZBQに書出し"
    void OnAddData();   // 1020 "ﾃﾞｰﾀ追加"
    // The addition of the records the import wrote at `path`, which is removed afterwards.
    void AddDataFromFile(const std::string& path);

    // --- Menus ---
    void ShowTreeMenu(int node, const QPoint& at);
    void ShowListMenu(const QPoint& at);
    void RunTreeCommand(std::int32_t command, int node);
    void RunListCommand(std::int32_t command);
    void SetMenuChooser(MenuChooser chooser) { chooser_ = std::move(chooser); }
    void SetAddDataHook(AddDataHook hook) { addData_ = std::move(hook); }

    QTreeWidget* treeView() const { return treeView_; }
    QTreeWidget* listView() const { return listView_; }
    QPushButton* showDataButton() const { return showData_; }
    QPushButton* writeButton() const { return write_; }
    QPushButton* addDataButton() const { return addData_button_; }

private:
    bool checkLoaded() const;
    // Marks and lists the item nodes at `position`, advancing it after each (not -1).
    void addNodes(const std::vector<int>& nodes, int position);
    void removeRow(int row);
    // Every mark cleared and every row gone, with no step.
    void unlistAll();
    // MoveDisplayItem's step and move of the row of that item, the views left as they are.
    void moveItem(int position, std::int32_t itemNo);
    void syncApp();
    DisplayRow rowFor(const ItemNode& node) const;

    void buildTreeView();
    void showMark(int node);
    void showExpansion();
    void showList();
    void treeExpansionChanged(QTreeWidgetItem* item, bool expanded);
    void listSelectionChanged();

    CKWApp& app_;
    ItemTree tree_;
    DisplayList list_;
    int selectedNode_ = -1;
    MenuChooser chooser_;
    AddDataHook addData_;

    QPushButton* showData_;
    QPushButton* write_;
    QPushButton* addData_button_;
    QSplitter* splitter_;
    QTreeWidget* treeView_;
    QTreeWidget* listView_;
    std::vector<QTreeWidgetItem*> treeItems_;
    // Set while the program itself changes the views, whose signals are then not the user's.
    bool updating_ = false;
};
