// The item-selection tab's popup menus as data: which variant of the tree menu a node gets (by
// its kind, its mark and the collapse-allowed flag) with the entries it enables and checks, the
// display list's menu, and the drop rules of the tab's drags. The page shows the entries through
// a menu chooser that tests replace. Captions are UTF-8 (they go straight to widgets).
#pragma once

#include <cstdint>
#include <vector>

struct ItemNode;

struct MenuEntry {
    std::int32_t id;
    const char* caption;
    bool enabled = true;
    bool checked = false;
};

// Command ids of the tree menu and the display list's menu.
enum ItemSelCommand : std::int32_t {
    kToDisplayList = 32783,
    kHide = 32784,
    kHideAll = 32786,
    kAllowClose = 32787,
    kExpandAll = 32788,
    kCollapseAll = 32789,
    kAllToDisplayList = 32790,
    kListHide = 32791,
    kListHideAll = 32792,
    kListSelectAll = 32793,
};

struct MenuVariant {
    int menuId;  // 132-134, 149, 176, 177; 150 for the display list
    std::vector<MenuEntry> entries;
};

// 149 / 133 an unmarked node, 132 / 134 a marked item, 176 / 177 the root (the first of each
// pair while collapsing is allowed).
MenuVariant itemTreeMenu(const ItemNode& node, bool collapseAllowed);
MenuVariant displayListMenu();

// Where a drag comes from and what it is over.
enum class ItemSelPane : std::uint8_t { Tree, List };
// A drag from either pane is taken as a move, except a tree node over the tree itself.
bool acceptsDrop(ItemSelPane from, ItemSelPane over);

// The private MIME types of the tab's drags: a tree node (its index), display-list rows.
inline constexpr const char* kItemNodeMime = "application/x-zbq-item-node";
inline constexpr const char* kDisplayRowsMime = "application/x-zbq-display-rows";
