#include "console/item_sel_list.h"

#include <algorithm>

int DisplayList::rowOfItem(std::int32_t itemNo) const {
    if (!contains(itemNo)) return -1;
    for (int i = 0; i < size(); ++i)
        if (rows_[i].itemNo == itemNo) return i;
    return -1;
}

int DisplayList::rowOfName(std::string_view name) const {
    for (int i = 0; i < size(); ++i)
        if (rows_[i].name == name) return i;
    return -1;
}

int DisplayList::insert(int position, DisplayRow row) {
    if (contains(row.itemNo)) return -1;
    if (position < 0 || position > size()) position = size();
    listed_.insert(row.itemNo);
    rows_.insert(rows_.begin() + position, std::move(row));
    return position;
}

bool DisplayList::removeRow(int index) {
    if (!valid(index)) return false;
    listed_.erase(rows_[index].itemNo);
    rows_.erase(rows_.begin() + index);
    return true;
}

void DisplayList::clear() {
    rows_.clear();
    listed_.clear();
}

bool DisplayList::moveRow(int from, int position) {
    if (!valid(from)) return false;
    DisplayRow row = std::move(rows_[from]);
    rows_.erase(rows_.begin() + from);
    row.selected = false;
    if (position < 0 || position > size()) position = size();
    rows_.insert(rows_.begin() + position, std::move(row));
    return true;
}

void DisplayList::setSelected(int index, bool selected) {
    if (valid(index)) rows_[index].selected = selected;
}

void DisplayList::selectOnly(int index) {
    for (int i = 0; i < size(); ++i)
        rows_[i].selected = i == index;
}

void DisplayList::selectAll() {
    for (DisplayRow& row : rows_)
        row.selected = true;
}

std::vector<int> DisplayList::selectedRows() const {
    std::vector<int> selected;
    for (int i = 0; i < size(); ++i)
        if (rows_[i].selected) selected.push_back(i);
    return selected;
}

std::vector<std::int32_t> DisplayList::itemNumbers() const {
    std::vector<std::int32_t> items;
    items.reserve(rows_.size());
    for (const DisplayRow& row : rows_)
        items.push_back(row.itemNo);
    return items;
}

std::vector<RowMove> planRowMoves(const DisplayList& list, const std::vector<int>& rows,
                                  int dropRow) {
    std::vector<RowMove> moves;
    if (list.empty()) return moves;
    const int last = list.size() - 1;
    if (dropRow < 0 || dropRow > last) dropRow = last;
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    // Rows above land on the drop row, behind its item; rows from it on land before it, after
    // any that came from above.
    int following = 0;
    const bool fromAbove = !sorted.empty() && sorted.front() < dropRow;
    for (int row : sorted) {
        if (!list.valid(row)) continue;
        const int position =
            row < dropRow ? dropRow : std::min(dropRow + (fromAbove ? 1 : 0) + following++, last);
        moves.push_back({position, list.row(row).name, list.row(row).itemNo});
    }
    return moves;
}
