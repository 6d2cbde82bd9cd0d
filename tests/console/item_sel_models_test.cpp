// The item-selection tab's models without widgets: the tree laid out from the structure's group
// paths, finding nodes by name, the display list keyed by item number, the moves a drag inside
// the list makes, the menu variants and the drop rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/struct_def.h"
#include "console/item_sel_list.h"
#include "console/item_sel_menus.h"
#include "console/item_sel_tree.h"

namespace {

CStructDef structure(const std::vector<std::pair<std::string, std::vector<std::string>>>& items) {
    CStructDef def;
    def.title = "root";
    for (const auto& [name, groups] : items) {
        CItemDef item;
        item.itemNo = static_cast<std::int32_t>(def.items.size());
        item.name = name;
        item.type = 2;
        item.groups = groups;
        def.items.push_back(item);
    }
    def.itemCount = static_cast<std::int32_t>(def.items.size());
    return def;
}

// The tree as "text(children...)" lines, indented by level.
std::string outline(const ItemTree& tree) {
    std::string out;
    for (const ItemNode& node : tree.nodes())
        out += std::string(static_cast<std::size_t>(node.level) * 2, ' ') + node.text + "\n";
    return out;
}

DisplayRow row(std::int32_t item, std::string name) {
    DisplayRow r;
    r.itemNo = item;
    r.name = std::move(name);
    return r;
}

std::vector<std::string> names(const DisplayList& list) {
    std::vector<std::string> out;
    for (const DisplayRow& r : list.rows())
        out.push_back(r.name);
    return out;
}

TEST(ItemTree, GroupNodesFollowTheRunsOfEqualGroupNames) {
    ItemTree tree;
    tree.FillTree(structure({{"a", {"G1", "G2"}},
                             {"b", {"G1", "G2"}},
                             {"c", {"G1"}},
                             {"d", {}},
                             {"e", {"G1", "G3"}},
                             {"f", {"G1", "G2"}}}));
    EXPECT_EQ(outline(tree),
              "root\n  G1\n    G2\n      a\n      b\n    c\n  d\n  G1\n    G3\n      e\n"
              "    G2\n      f\n");
    // Parents, subtree ends and item data agree with the outline.
    const int firstG1 = 1, secondG1 = 7;
    EXPECT_EQ(tree.node(firstG1).end, 6);
    EXPECT_EQ(tree.node(tree.nodeOfItem(5)).parent, 10);
    EXPECT_EQ(tree.node(10).parent, secondG1);
    EXPECT_EQ(tree.node(0).end, tree.size());
    EXPECT_EQ(ItemTree::imageOf(tree.node(0)), 6);
    EXPECT_EQ(ItemTree::imageOf(tree.node(1)), 8);
    EXPECT_EQ(ItemTree::imageOf(tree.node(3)), 2);
}

TEST(ItemTree, ItemsUnderAGroupComeInTreeOrderAndFindTakesTheFirstNodeOfAName) {
    ItemTree tree;
    tree.FillTree(structure({{"x", {"G"}}, {"G", {"G"}}, {"y", {}}, {"x", {}}}));
    // root, G, x, G(item), y, x
    EXPECT_EQ(tree.FindItem("G"), 1);
    EXPECT_EQ(tree.node(tree.FindItem("G")).kind, ItemNodeKind::Group);
    EXPECT_EQ(tree.FindItem("x"), 2);
    EXPECT_EQ(tree.FindItem("root"), 0);
    EXPECT_EQ(tree.FindItem("none"), -1);
    EXPECT_EQ(tree.itemsUnder(1), (std::vector<int>{2, 3}));
    EXPECT_EQ(tree.itemsUnder(0), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(tree.itemsUnder(4), (std::vector<int>{4}));
    EXPECT_TRUE(tree.itemsUnder(99).empty());
}

TEST(ItemTree, UserRequestsAreRefusedWhileCollapsingIsNotAllowed) {
    ItemTree tree;
    tree.FillTree(structure({{"a", {"G"}}}));
    EXPECT_FALSE(tree.setMarked(1, true)) << "a group takes no mark";
    EXPECT_TRUE(tree.setMarked(2, true));
    tree.setCollapseAllowed(false);
    EXPECT_FALSE(tree.requestExpanded(1, false));
    EXPECT_TRUE(tree.node(1).expanded);
    tree.collapseAll();
    EXPECT_FALSE(tree.node(0).expanded);
    tree.setCollapseAllowed(true);
    EXPECT_TRUE(tree.requestExpanded(1, true));
    EXPECT_TRUE(tree.node(1).expanded);
    tree.FillTree(structure({{"a", {"G"}}}));
    EXPECT_FALSE(tree.node(2).marked);
    EXPECT_TRUE(tree.collapseAllowed());
}

TEST(DisplayList, RowsAreKeyedByItemNumber) {
    DisplayList list;
    EXPECT_EQ(list.insert(-1, row(1, "a")), 0);
    EXPECT_EQ(list.insert(-1, row(2, "b")), 1);
    EXPECT_EQ(list.insert(1, row(3, "a")), 1) << "a second item of the same name";
    EXPECT_EQ(list.insert(0, row(1, "a")), -1) << "an item is listed once";
    EXPECT_EQ(list.insert(99, row(4, "d")), 3);
    EXPECT_EQ(list.itemNumbers(), (std::vector<std::int32_t>{1, 3, 2, 4}));
    EXPECT_EQ(list.rowOfName("a"), 0);
    EXPECT_EQ(list.rowOfItem(3), 1);
    ASSERT_TRUE(list.removeRow(0));
    EXPECT_EQ(list.rowOfName("a"), 0);
    EXPECT_EQ(list.rowOfItem(3), 0);
    EXPECT_FALSE(list.contains(1));
    EXPECT_FALSE(list.removeRow(3));
}

TEST(DisplayList, MoveTakesTheRowOutAndPutsItBackAtThePosition) {
    DisplayList list;
    for (int i = 0; i < 4; ++i)
        list.insert(-1, row(i, std::string(1, static_cast<char>('A' + i))));
    list.setSelected(0, true);
    ASSERT_TRUE(list.moveRow(0, 2));
    EXPECT_EQ(names(list), (std::vector<std::string>{"B", "C", "A", "D"}));
    EXPECT_TRUE(list.selectedRows().empty());
    ASSERT_TRUE(list.moveRow(3, 0));
    EXPECT_EQ(names(list), (std::vector<std::string>{"D", "B", "C", "A"}));
    ASSERT_TRUE(list.moveRow(0, 3));
    EXPECT_EQ(names(list), (std::vector<std::string>{"B", "C", "A", "D"}));
}

// Each plan is played as MoveDisplayItem plays it, which is what a replay does.
TEST(DisplayList, DraggedRowsKeepTheirOrderAtTheDropRow) {
    struct Case {
        std::vector<int> rows;
        int drop;
        std::vector<std::string> result;
    } cases[] = {
        {{0}, 2, {"B", "C", "A", "D", "E"}},    {{0, 1}, 3, {"C", "D", "A", "B", "E"}},
        {{3, 4}, 1, {"A", "D", "E", "B", "C"}}, {{1, 4}, 2, {"A", "C", "B", "E", "D"}},
        {{2}, -1, {"A", "B", "D", "E", "C"}},
    };
    for (const Case& c : cases) {
        DisplayList list;
        for (int i = 0; i < 5; ++i)
            list.insert(-1, row(i, std::string(1, static_cast<char>('A' + i))));
        for (const RowMove& move : planRowMoves(list, c.rows, c.drop)) {
            EXPECT_GE(move.position, 0);
            EXPECT_LT(move.position, list.size());
            list.moveRow(list.rowOfName(move.name), move.position);
        }
        EXPECT_EQ(names(list), c.result) << "drop on " << c.drop;
    }
}

TEST(ItemSelMenus, TheVariantFollowsTheNodeAndTheCollapseFlag) {
    ItemNode root, group, item, marked;
    root.kind = ItemNodeKind::Root;
    group.kind = ItemNodeKind::Group;
    marked.marked = true;
    struct Case {
        const ItemNode* node;
        bool allowed;
        int id;
        bool toList, hide;
    } cases[] = {
        {&item, true, 149, true, false},    {&item, false, 133, true, false},
        {&group, true, 149, true, false},   {&marked, true, 132, false, true},
        {&marked, false, 134, false, true}, {&root, true, 176, false, false},
        {&root, false, 177, false, false},
    };
    for (const Case& c : cases) {
        const MenuVariant menu = itemTreeMenu(*c.node, c.allowed);
        EXPECT_EQ(menu.menuId, c.id);
        ASSERT_EQ(menu.entries.size(), 7u);
        EXPECT_EQ(menu.entries[0].enabled, c.toList) << c.id;
        EXPECT_EQ(menu.entries[1].enabled, c.hide) << c.id;
        EXPECT_EQ(menu.entries[4].checked, c.allowed) << c.id;
        EXPECT_EQ(menu.entries[5].enabled, c.allowed) << "expand all, " << c.id;
        EXPECT_EQ(menu.entries[6].enabled, c.allowed) << "close all, " << c.id;
    }
    EXPECT_TRUE(acceptsDrop(ItemSelPane::Tree, ItemSelPane::List));
    EXPECT_TRUE(acceptsDrop(ItemSelPane::List, ItemSelPane::List));
    EXPECT_TRUE(acceptsDrop(ItemSelPane::List, ItemSelPane::Tree));
    EXPECT_FALSE(acceptsDrop(ItemSelPane::Tree, ItemSelPane::Tree));
}

}  // namespace
