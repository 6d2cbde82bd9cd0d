#include "console/item_sel_menus.h"

#include "console/item_sel_tree.h"
#include "platform/core/shown_text.h"

MenuVariant itemTreeMenu(const ItemNode& node, bool collapseAllowed) {
    const bool root = node.kind == ItemNodeKind::Root;
    const bool marked = node.kind == ItemNodeKind::Item && node.marked;
    MenuVariant menu;
    if (root)
        menu.menuId = collapseAllowed ? 176 : 177;
    else if (marked)
        menu.menuId = collapseAllowed ? 132 : 134;
    else
        menu.menuId = collapseAllowed ? 149 : 133;
    menu.entries = {
        {kToDisplayList, ZBQ_SHOWN("表示ﾘｽﾄへ"), !root && !marked},
        {kHide, ZBQ_SHOWN("非表示に"), !root && marked},
        {kAllToDisplayList, ZBQ_SHOWN("全て表示ﾘｽﾄへ")},
        {kHideAll, ZBQ_SHOWN("全て非表示に")},
        {kAllowClose, ZBQ_SHOWN("閉を許可"), true, collapseAllowed},
        {kExpandAll, ZBQ_SHOWN("全て展開"), collapseAllowed},
        {kCollapseAll, ZBQ_SHOWN("全て閉じる"), collapseAllowed},
    };
    return menu;
}

MenuVariant displayListMenu() {
    return {150,
            {{kListHide, ZBQ_SHOWN("非表示に")},
             {kListHideAll, ZBQ_SHOWN("全て非表示に")},
             {kListSelectAll, ZBQ_SHOWN("全て選択")}}};
}

bool acceptsDrop(ItemSelPane from, ItemSelPane over) {
    return !(from == ItemSelPane::Tree && over == ItemSelPane::Tree);
}
