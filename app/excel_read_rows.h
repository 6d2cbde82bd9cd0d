// The row operations the import dialogs' lists share: deleting the selected rows and moving them
// one place up or down as a block, where a block already at the top (or bottom) stays.
// Selections are row indexes, ascending and without repeats; the functions return the
// selection after the operation (the moved rows, where they now are).
#pragma once

#include <algorithm>
#include <vector>

namespace zbq::app {

// Sorted, without repeats and without indexes outside [0, count).
inline std::vector<int> normalizedSelection(std::vector<int> rows, int count) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [count](int r) { return r < 0 || r >= count; }),
        rows.end());
    return rows;
}

template <typename Row>
void deleteRows(std::vector<Row>& rows, const std::vector<int>& selected) {
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        rows.erase(rows.begin() + *it);
}

// The k-th selected row moves up only when its index is above k.
template <typename Row>
std::vector<int> moveRowsUp(std::vector<Row>& rows, const std::vector<int>& selected) {
    std::vector<int> after;
    for (std::size_t k = 0; k < selected.size(); ++k) {
        const int r = selected[k];
        if (r > static_cast<int>(k)) {
            std::swap(rows[r], rows[r - 1]);
            after.push_back(r - 1);
        } else {
            after.push_back(r);
        }
    }
    return after;
}

// The k-th selected row counted from the last moves down only when its index is below
// count - k - 1.
template <typename Row>
std::vector<int> moveRowsDown(std::vector<Row>& rows, const std::vector<int>& selected) {
    const int count = static_cast<int>(rows.size());
    std::vector<int> after(selected.size());
    for (std::size_t k = 0; k < selected.size(); ++k) {
        const std::size_t i = selected.size() - 1 - k;
        const int r = selected[i];
        if (r < count - static_cast<int>(k) - 1) {
            std::swap(rows[r], rows[r + 1]);
            after[i] = r + 1;
        } else {
            after[i] = r;
        }
    }
    return after;
}

}  // namespace zbq::app
