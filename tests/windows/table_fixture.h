// A small TableSource for the exporter's tests: stored texts with numbers and blank values where
// a test puts them, optional row headers and caption, or a generated table of any size whose cell
// (r, c) shows "r-c" without storing anything. It counts the cells read, so a test can tell that
// an abandoned export read none, and can run out of memory at a given read. Texts are CP932.
// Header-only.
#pragma once

#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/cp932.h"
#include "windows/table_source.h"

namespace zbq::test {

class FixtureTable final : public TableSource {
public:
    FixtureTable(std::vector<std::string> headers, std::vector<std::vector<std::string>> rows)
        : headers_(std::move(headers)),
          texts_(std::move(rows)),
          rows_(static_cast<std::int32_t>(texts_.size())),
          columns_(static_cast<std::int32_t>(headers_.size())) {}

    static FixtureTable generated(std::int32_t rows, std::int32_t columns) {
        FixtureTable table({}, {});
        table.rows_ = rows;
        table.columns_ = columns;
        table.generated_ = true;
        return table;
    }

    FixtureTable& withRowHeaders(std::string corner, std::vector<std::string> labels) {
        corner_ = std::move(corner);
        rowLabels_ = std::move(labels);
        return *this;
    }
    FixtureTable& withCaption(std::string caption) {
        caption_ = std::move(caption);
        return *this;
    }
    FixtureTable& number(std::int32_t row, std::int32_t column, CellNumber number) {
        numbers_[{row, column}] = number;
        return *this;
    }
    // Holds the blank value; the grid shows "ﾌﾞﾗﾝｸ" for it.
    FixtureTable& blank(std::int32_t row, std::int32_t column) {
        blanks_[{row, column}] = true;
        return *this;
    }

    // The read of that number (from 1) finds no memory, as a cell text that cannot grow would.
    FixtureTable& outOfMemoryAtRead(int read) {
        outOfMemoryAt_ = read;
        return *this;
    }

    int reads() const { return reads_; }

    std::int32_t rowCount() const override { return rows_; }
    std::int32_t columnCount() const override { return columns_; }
    std::string caption() const override { return caption_; }
    bool hasRowHeaders() const override { return !rowLabels_.empty(); }
    std::string corner() const override { return corner_; }
    std::string rowHeader(std::int32_t row) const override {
        return static_cast<std::size_t>(row) < rowLabels_.size() ? rowLabels_[row]
                                                                 : "r" + std::to_string(row);
    }
    std::string columnHeader(std::int32_t column) const override {
        return generated_ ? "c" + std::to_string(column) : headers_.at(column);
    }
    void readCell(std::int32_t row, std::int32_t column, TableCell& cell) const override {
        if (++reads_ == outOfMemoryAt_) throw std::bad_alloc();
        if (blanks_.count({row, column})) {
            cell.text = cp932::literal("ﾌﾞﾗﾝｸ");
            cell.blank = true;
            return;
        }
        cell.text = generated_ ? std::to_string(row) + "-" + std::to_string(column)
                               : texts_.at(row).at(column);
        if (auto found = numbers_.find({row, column}); found != numbers_.end())
            cell.number = found->second;
    }

private:
    std::vector<std::string> headers_;
    std::vector<std::vector<std::string>> texts_;
    std::int32_t rows_ = 0;
    std::int32_t columns_ = 0;
    bool generated_ = false;
    std::string corner_, caption_;
    std::vector<std::string> rowLabels_;
    std::map<std::pair<std::int32_t, std::int32_t>, CellNumber> numbers_;
    std::map<std::pair<std::int32_t, std::int32_t>, bool> blanks_;
    mutable int reads_ = 0;
    int outOfMemoryAt_ = 0;
};

}  // namespace zbq::test
