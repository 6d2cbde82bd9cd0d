// The system tab's list of open windows: one row per window the main frame reported, in the
// order they opened. A row keeps the window's title, a kind text, its image and the window.
// Rows are found by the window's identity, never by title, since two windows may share one; a
// row may hold no window (it was reported without one, or the window is gone), and the
// all-window commands skip such rows. A window reported again (hidden and shown once more)
// keeps its one row: the row numbers the list's commands record must name one window each.
//
// Plain data over guarded pointers: no row ever hands out a window that no longer exists.
// User-interface thread only.
#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

struct WindowRow {
    std::string title;  // CP932
    std::string kind;   // CP932, the "ﾀｲﾌﾟ" column
    std::int32_t image = 0;
    QPointer<QWidget> window;
    const QObject* identity = nullptr;  // compared only, never used: the window may be gone
};

class WindowList {
public:
    // Appends a row, or gives the row the window has already the new texts and image; its index.
    int add(std::string title, std::string kind, std::int32_t image, QWidget* window);
    // The row of that window; -1 when it has none, and always for null.
    int find(const QObject* window) const;
    // Removes every row of that window (none for null); the indexes removed, highest first.
    std::vector<int> remove(const QObject* window);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    bool isRow(int row) const { return row >= 0 && row < rowCount(); }
    const WindowRow& row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    // The window of a row; null for a row without one or outside the list.
    QWidget* windowAt(int row) const;
    // The windows of all rows, first row first (null where a row has none).
    std::vector<QWidget*> windows() const;

private:
    std::vector<WindowRow> rows_;
};
