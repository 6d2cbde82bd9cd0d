#include "console/window_list.h"

int WindowList::add(std::string title, std::string kind, std::int32_t image, QWidget* window) {
    if (const int listed = find(window); listed >= 0) {
        WindowRow& row = rows_[static_cast<std::size_t>(listed)];
        row.title = std::move(title);
        row.kind = std::move(kind);
        row.image = image;
        return listed;
    }
    rows_.push_back({std::move(title), std::move(kind), image, window, window});
    return rowCount() - 1;
}

int WindowList::find(const QObject* window) const {
    if (!window) return -1;
    for (int i = 0; i < rowCount(); ++i)
        if (rows_[static_cast<std::size_t>(i)].identity == window) return i;
    return -1;
}

std::vector<int> WindowList::remove(const QObject* window) {
    std::vector<int> removed;
    if (!window) return removed;
    for (int i = rowCount() - 1; i >= 0; --i) {
        if (rows_[static_cast<std::size_t>(i)].identity != window) continue;
        rows_.erase(rows_.begin() + i);
        removed.push_back(i);
    }
    return removed;
}

QWidget* WindowList::windowAt(int row) const {
    return isRow(row) ? rows_[static_cast<std::size_t>(row)].window.data() : nullptr;
}

std::vector<QWidget*> WindowList::windows() const {
    std::vector<QWidget*> out;
    out.reserve(rows_.size());
    for (const WindowRow& r : rows_)
        out.push_back(r.window.data());
    return out;
}
