// TableSource: what the exporter reads of a table a window shows (the original-data grid, the
// cross-tab, the item window's value list, the aggregation grid). The window's model implements
// it over the data it already shows; nothing is copied for an export, every cell is read when it
// is written.
//
// Rows and columns count from 0. Texts are CP932 bytes, exactly as the window shows them. A
// source with row headers (the cross-tab) has a corner text above them; one without (the
// original-data grid, the value list) writes only its column headers. The caption is the line a
// whole-table export starts with (the cross-tab's title); empty when the source has none.
//
// readCell() fills one cell: its shown text, the number behind it when it shows one (Integer and
// Float values, counts: a workbook types those cells) and whether it holds the blank value, which
// every export writes as an empty field whatever the grid shows for it. The exporter clears the
// cell before each call. A source is read on the user-interface thread only, and must not change
// while an export that pumps messages runs (the exporter raises the busy flag for that time).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// How a number cell is shown: its decimal places and whether thousands are grouped with ",".
struct CellNumber {
    double value = 0;
    std::int32_t decimals = 0;
    bool grouped = false;
};

struct TableCell {
    std::string text;                  // as shown; empty when the cell shows nothing
    std::optional<CellNumber> number;  // the value behind a number the cell shows
    bool blank = false;                // the cell holds the blank value

    void clear() {
        text.clear();  // keeps its capacity for the next cell
        number.reset();
        blank = false;
    }
};

class TableSource {
public:
    virtual ~TableSource() = default;

    virtual std::int32_t rowCount() const = 0;
    virtual std::int32_t columnCount() const = 0;

    virtual std::string caption() const { return {}; }
    virtual bool hasRowHeaders() const { return false; }
    virtual std::string corner() const { return {}; }
    virtual std::string rowHeader(std::int32_t /*row*/) const { return {}; }
    virtual std::string columnHeader(std::int32_t column) const = 0;

    // Called only for cells inside the table.
    virtual void readCell(std::int32_t row, std::int32_t column, TableCell& cell) const = 0;
};
