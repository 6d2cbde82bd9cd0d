// DisplayList: the model of the item-selection tab's display list, the ordered rows of the items
// the original-data window shows. Rows are keyed by item number, so an item is listed once and
// two items of the same name are two rows; the calls that name a row by its text take the first
// row of that name. Each row keeps its selected state. Texts are CP932. No widget.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

struct DisplayRow {
    std::int32_t itemNo = -1;
    std::string name;
    std::int32_t type = -1;
    std::string typeCaption;  // "ﾀｲﾌﾟ" column
    std::string sizeText;     // kept with the row, shown in no column
    bool selected = false;
};

class DisplayList {
public:
    int size() const { return static_cast<int>(rows_.size()); }
    bool empty() const { return rows_.empty(); }
    const DisplayRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    const std::vector<DisplayRow>& rows() const { return rows_; }
    bool valid(int index) const { return index >= 0 && index < size(); }

    bool contains(std::int32_t itemNo) const { return listed_.count(itemNo) != 0; }
    // The row of the item, or the first row of the name; -1 when none.
    int rowOfItem(std::int32_t itemNo) const;
    int rowOfName(std::string_view name) const;

    // Inserts at `position` (-1, or beyond the last row: at the end) unless the item is listed;
    // the row index it got, or -1 when it was listed already.
    int insert(int position, DisplayRow row);
    bool removeRow(int index);
    void clear();
    // Takes the row out and puts it in again at `position` of the shorter list (beyond it: at the
    // end); it comes back unselected.
    bool moveRow(int from, int position);

    void setSelected(int index, bool selected);
    void selectOnly(int index);
    void selectAll();
    std::vector<int> selectedRows() const;

    std::vector<std::int32_t> itemNumbers() const;

private:
    std::vector<DisplayRow> rows_;
    std::unordered_set<std::int32_t> listed_;
};

// Where the rows of a drag inside the list go when dropped on row `dropRow` (-1 below the last
// row): the (position, row name) pairs to move in order, each as MoveDisplayItem takes it. Rows
// above the drop row land behind its item, rows from it on in front of it (after those from
// above), so the dragged rows keep their order; every position is a row of the list.
struct RowMove {
    int position;
    std::string name;
    std::int32_t itemNo;  // the row that moves: names may repeat
};
std::vector<RowMove> planRowMoves(const DisplayList& list, const std::vector<int>& rows,
                                  int dropRow);
