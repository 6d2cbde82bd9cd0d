// ItemTree: the model of the item-selection tab's tree of items. FillTree lays the data set's
// items out under their groups (root: the title; a group node per run of equal group names on
// each level; an item node per item, in definition order); the nodes are kept in pre-order, so
// "every node below" is a contiguous range. Item nodes carry the item number and a mark while
// the item is in the display list. Expansion is kept per node; the collapse-allowed flag decides
// whether the user's own expand and collapse requests are taken (the program's always are).
//
// Names may repeat: marks are keyed by item number, and FindItem gives the first node of a name
// in pre-order (a group before an item of the same name when it comes first). Texts are CP932.
// No widget; any thread that owns it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CStructDef;

enum class ItemNodeKind : std::uint8_t { Root, Group, Item };

struct ItemNode {
    ItemNodeKind kind = ItemNodeKind::Item;
    std::string text;
    int level = 0;
    int parent = -1;  // -1 for the root
    int end = 0;      // one past the last node of its subtree
    std::int32_t itemNo = -1;
    std::int32_t type = -1;
    bool marked = false;
    bool expanded = true;
};

class ItemTree {
public:
    static constexpr int kRootImage = 6;
    static constexpr int kGroupImage = 8;

    // Replaces the nodes by the structure's: all expanded, none marked. The flag is kept.
    void FillTree(const CStructDef& def);
    void clear();

    int size() const { return static_cast<int>(nodes_.size()); }
    bool empty() const { return nodes_.empty(); }
    const ItemNode& node(int index) const { return nodes_[static_cast<std::size_t>(index)]; }
    const std::vector<ItemNode>& nodes() const { return nodes_; }
    bool valid(int index) const { return index >= 0 && index < size(); }
    // The image the node shows: 6 the root, 8 a group, the item type for an item.
    static int imageOf(const ItemNode& node);

    // The first node in pre-order whose text equals `name` exactly; -1 when none.
    int FindItem(std::string_view name) const;
    // The node of that item number; -1 when none.
    int nodeOfItem(std::int32_t itemNo) const;
    // The item nodes of the node's subtree in pre-order (the node itself when it is an item).
    std::vector<int> itemsUnder(int index) const;

    // Marks are set on item nodes only; false when nothing changed.
    bool setMarked(int index, bool marked);
    void unmarkAll();

    bool collapseAllowed() const { return collapseAllowed_; }
    void setCollapseAllowed(bool allowed) { collapseAllowed_ = allowed; }
    // The program's own: every root and group node.
    void expandAll();
    void collapseAll();
    // The user's request on one node; refused (false) while collapsing is not allowed.
    bool requestExpanded(int index, bool expanded);
    void setExpanded(int index, bool expanded);

private:
    std::vector<ItemNode> nodes_;
    std::unordered_map<std::int32_t, int> byItem_;
    bool collapseAllowed_ = true;
};
