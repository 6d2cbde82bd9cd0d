#include "console/item_sel_tree.h"

#include "app/struct_def.h"

void ItemTree::clear() {
    nodes_.clear();
    byItem_.clear();
}

void ItemTree::FillTree(const CStructDef& def) {
    clear();
    nodes_.reserve(def.items.size() + 1);
    ItemNode root;
    root.kind = ItemNodeKind::Root;
    root.text = def.title;
    nodes_.push_back(std::move(root));

    // The open group nodes of the previous item, outermost first.
    std::vector<int> path;
    const std::vector<std::string>* previous = nullptr;
    for (const CItemDef& item : def.items) {
        std::size_t keep = 0;
        if (previous)
            while (keep < path.size() && keep < item.groups.size() &&
                   (*previous)[keep] == item.groups[keep])
                ++keep;
        path.resize(keep);
        for (std::size_t g = keep; g < item.groups.size(); ++g) {
            ItemNode group;
            group.kind = ItemNodeKind::Group;
            group.text = item.groups[g];
            group.level = static_cast<int>(g) + 1;
            group.parent = path.empty() ? 0 : path.back();
            path.push_back(size());
            nodes_.push_back(std::move(group));
        }
        ItemNode leaf;
        leaf.kind = ItemNodeKind::Item;
        leaf.text = item.name;
        leaf.level = static_cast<int>(path.size()) + 1;
        leaf.parent = path.empty() ? 0 : path.back();
        leaf.itemNo = item.itemNo;
        leaf.type = item.type;
        byItem_.emplace(item.itemNo, size());
        nodes_.push_back(std::move(leaf));
        previous = &item.groups;
    }

    // Every node is appended below the current path, so the vector is in pre-order and a
    // subtree ends where the next node of its level or above begins.
    std::vector<int> open;
    for (int i = 0; i < size(); ++i) {
        while (!open.empty() && nodes_[open.back()].level >= nodes_[i].level) {
            nodes_[open.back()].end = i;
            open.pop_back();
        }
        open.push_back(i);
    }
    for (int i : open)
        nodes_[i].end = size();
}

int ItemTree::imageOf(const ItemNode& node) {
    switch (node.kind) {
        case ItemNodeKind::Root:
            return kRootImage;
        case ItemNodeKind::Group:
            return kGroupImage;
        case ItemNodeKind::Item:
            break;
    }
    return node.type;
}

int ItemTree::FindItem(std::string_view name) const {
    for (int i = 0; i < size(); ++i)
        if (nodes_[i].text == name) return i;
    return -1;
}

int ItemTree::nodeOfItem(std::int32_t itemNo) const {
    const auto it = byItem_.find(itemNo);
    return it == byItem_.end() ? -1 : it->second;
}

std::vector<int> ItemTree::itemsUnder(int index) const {
    std::vector<int> items;
    if (!valid(index)) return items;
    for (int i = index; i < nodes_[index].end; ++i)
        if (nodes_[i].kind == ItemNodeKind::Item) items.push_back(i);
    return items;
}

bool ItemTree::setMarked(int index, bool marked) {
    if (!valid(index) || nodes_[index].kind != ItemNodeKind::Item) return false;
    if (nodes_[index].marked == marked) return false;
    nodes_[index].marked = marked;
    return true;
}

void ItemTree::unmarkAll() {
    for (ItemNode& node : nodes_)
        node.marked = false;
}

void ItemTree::expandAll() {
    for (ItemNode& node : nodes_)
        if (node.kind != ItemNodeKind::Item) node.expanded = true;
}

void ItemTree::collapseAll() {
    for (ItemNode& node : nodes_)
        if (node.kind != ItemNodeKind::Item) node.expanded = false;
}

bool ItemTree::requestExpanded(int index, bool expanded) {
    if (!collapseAllowed_ || !valid(index)) return false;
    setExpanded(index, expanded);
    return true;
}

void ItemTree::setExpanded(int index, bool expanded) {
    if (valid(index) && nodes_[index].kind != ItemNodeKind::Item) nodes_[index].expanded = expanded;
}
