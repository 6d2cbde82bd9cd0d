#include "windows/grid_controller.h"

#include <algorithm>
#include <cstdlib>

namespace zbq::windows {

bool isMoveKey(std::int32_t key) {
    return key == kVkTab || (key >= kVkPageUp && key <= kVkDown);
}

void GridController::setColumnWidths(std::vector<int> widths) {
    for (int& w : widths)
        w = std::max(w, 0);
    widths_ = std::move(widths);
    setXOffset(xOffset_);
}

int GridController::columnWidth(int column) const {
    return column >= 0 && column < columnCount() ? widths_[static_cast<std::size_t>(column)] : 0;
}

void GridController::setColumnWidth(int column, int width) {
    if (column < 0 || column >= columnCount()) return;
    widths_[static_cast<std::size_t>(column)] = std::max(width, 0);
    setXOffset(xOffset_);
}

int GridController::columnLeft(int column) const {
    int left = 0;
    for (int c = 0; c < column && c < columnCount(); ++c)
        left += widths_[static_cast<std::size_t>(c)];
    return left;
}

int GridController::contentWidth() const {
    return columnLeft(columnCount());
}

void GridController::setRowCount(std::int32_t rows) {
    rows_ = std::max<std::int32_t>(rows, 0);
    setTopRow(topRow_);
}

void GridController::setRowHeight(int height) {
    rowHeight_ = std::max(height, 1);
    setTopRow(topRow_);
}

void GridController::setViewport(int width, int height) {
    viewportWidth_ = std::max(width, 0);
    viewportHeight_ = std::max(height, 0);
    setTopRow(topRow_);
    setXOffset(xOffset_);
}

std::int32_t GridController::rowsPerPage() const {
    return std::max(viewportHeight_ / rowHeight_, 1);
}

std::int32_t GridController::maxTopRow() const {
    return std::max<std::int32_t>(rows_ - rowsPerPage(), 0);
}

void GridController::setTopRow(std::int64_t row) {
    topRow_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(row, 0, maxTopRow()));
}

int GridController::maxXOffset() const {
    return std::max(contentWidth() - viewportWidth_, 0);
}

void GridController::setXOffset(std::int64_t x) {
    xOffset_ = static_cast<int>(std::clamp<std::int64_t>(x, 0, maxXOffset()));
}

std::int32_t GridController::lastVisibleRow() const {
    return std::min<std::int32_t>(topRow_ + rowsPerPage() - 1, rows_ - 1);
}

int GridController::ColumnAtX(int x) const {
    if (widths_.empty()) return -1;
    const int content = x + xOffset_;
    int right = 0;
    for (int c = 0; c < columnCount(); ++c) {
        right += widths_[static_cast<std::size_t>(c)];
        if (content < right) return c;
    }
    return columnCount() - 1;
}

std::int32_t GridController::RowAtY(int y) const {
    if (y < 0) return -1;
    const std::int64_t row = static_cast<std::int64_t>(topRow_) + y / rowHeight_;
    return row < rows_ ? static_cast<std::int32_t>(row) : -1;
}

int GridController::DividerAt(int headerX) const {
    const int content = headerX - config_.rowHeaderWidth + xOffset_;
    int right = 0;
    for (int c = 0; c < columnCount(); ++c) {
        right += widths_[static_cast<std::size_t>(c)];
        if (content >= right - kDividerZone && content <= right + kDividerZone) return c;
    }
    return -1;
}

std::optional<Cell> GridController::CellAt(int x, int y) const {
    if (x < 0 || x + xOffset_ >= contentWidth()) return std::nullopt;
    const std::int32_t row = RowAtY(y);
    if (row < 0) return std::nullopt;
    return Cell{ColumnAtX(x), row};
}

int GridController::FitWidth(const std::vector<int>& textWidths, int minimumWidth) {
    if (textWidths.empty()) return minimumWidth;
    int widest = 0;
    for (int w : textWidths)
        widest = std::max(widest, std::min(w + kFitPadding, kWidestColumn));
    return std::max(widest, minimumWidth);
}

std::optional<Cell> GridController::KeyTarget(std::int32_t key, Cell current, std::int32_t columns,
                                              std::int32_t rows, std::int32_t pageRows) {
    // Nothing to move when there is no current cell inside the table.
    if (current.column < 0 || current.row < 0 || current.column >= columns || current.row >= rows)
        return std::nullopt;
    const auto [c, r] = current;
    switch (key) {
        case kVkLeft:
            if (c > 0) return Cell{c - 1, r};
            break;
        case kVkRight:
            if (c < columns - 1) return Cell{c + 1, r};
            break;
        case kVkUp:
            if (r > 0) return Cell{c, r - 1};
            break;
        case kVkDown:
            if (r < rows - 1) return Cell{c, r + 1};
            break;
        case kVkPageUp:
            return Cell{c, std::max(r - pageRows, 0)};
        case kVkPageDown:
            return Cell{c, r + pageRows < rows - 1 ? r + pageRows : rows - 1};
        case kVkHome:
            return Cell{0, r};
        case kVkEnd:
            return Cell{columns - 1, r};
        case kVkTab:
            if (c < columns - 1) return Cell{c + 1, r};
            if (r < rows - 1) return Cell{0, r + 1};
            break;
        default:
            break;
    }
    return std::nullopt;
}

void GridController::ScrollToRow(std::int32_t row) {
    const std::int32_t page = rowsPerPage();
    if (row < topRow_)
        setTopRow(row);
    else if (row > topRow_ + page - 1)
        setTopRow(static_cast<std::int64_t>(row) - (page - 1));
}

void GridController::ScrollToColumn(int column) {
    if (column < 0 || column >= columnCount()) return;
    const int left = columnLeft(column);
    const int right = left + columnWidth(column);
    if (left < xOffset_)
        setXOffset(left);
    else if (right > xOffset_ + viewportWidth_)
        setXOffset(right - viewportWidth_);
}

bool GridController::VScroll(std::int32_t code, std::int32_t value) {
    switch (code) {
        case kLineBack:
            setTopRow(static_cast<std::int64_t>(topRow_) - 1);
            return true;
        case kLineForward:
            setTopRow(static_cast<std::int64_t>(topRow_) + 1);
            return true;
        case kPageBack:
            setTopRow(static_cast<std::int64_t>(topRow_) - rowsPerPage());
            return true;
        case kPageForward:
            setTopRow(static_cast<std::int64_t>(topRow_) + rowsPerPage());
            return true;
        case kThumb:
            setTopRow(value);
            return true;
        default:
            return false;
    }
}

bool GridController::HScroll(std::int32_t code, std::int32_t value) {
    // The first column whose right edge lies past the left of the view.
    const int first = ColumnAtX(0);
    switch (code) {
        case kLineBack:
            if (first >= 0) {
                const int left = columnLeft(first);
                setXOffset(left < xOffset_ ? left : columnLeft(std::max(first - 1, 0)));
            }
            return true;
        case kLineForward:
            if (first >= 0) setXOffset(columnLeft(first) + columnWidth(first));
            return true;
        case kPageBack:
            setXOffset(static_cast<std::int64_t>(xOffset_) - viewportWidth_);
            return true;
        case kPageForward:
            setXOffset(static_cast<std::int64_t>(xOffset_) + viewportWidth_);
            return true;
        case kThumb:
            setXOffset(value);
            return true;
        default:
            return false;
    }
}

void GridController::ScrollByPixels(int dy) {
    if (dy == 0) return;
    const int rows = (std::abs(dy) + rowHeight_ - 1) / rowHeight_;
    setTopRow(static_cast<std::int64_t>(topRow_) + (dy > 0 ? rows : -rows));
}

}  // namespace zbq::windows
