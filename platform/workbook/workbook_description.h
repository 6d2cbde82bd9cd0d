// What a workbook to be written holds: sheets in tab order, their cells, cell styles and charts.
// Callers build this plain description; xlsx_writer.h turns it into a file. Text is UTF-8.
//
// Rows and columns count from 0 (A1 is row 0, column 0). A chart's data is given as range
// formulas ("=Data!$A$1:$A$3"), as a spreadsheet program writes them. Merged ranges of one
// sheet never overlap; the writer refuses a sheet whose ranges do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zbq::workbook {

enum class ChartType { Column, Line, Area, Pie, Doughnut };

struct DataLabels {
    bool value = false;
    bool category = false;
    bool percent = false;
    bool legendKey = false;    // the series' colour key beside each label
    bool leaderLines = false;  // pie and doughnut charts only
};

struct Chart {
    ChartType type = ChartType::Column;
    std::string categories{};  // range formula of the category names
    std::string values{};      // range formula of the values (one series)
    DataLabels labels{};
    bool legend = true;
    bool plotAreaBorder = true;  // false: the plot area is drawn without a border line
    bool markers = true;         // line charts: a marker at each point
};

struct CellStyle {
    bool text = false;  // number format "@": the cell keeps what was written as text
    std::optional<uint32_t> fill = std::nullopt;  // solid background, 0xRRGGBB
    bool thinBorders = false;                     // a thin line on all four sides
    std::string numberFormat{};  // a number cell's format ("#,##0.00"); empty: General
    bool operator==(const CellStyle&) const = default;
};

struct Cell {
    uint32_t row = 0;
    uint16_t col = 0;
    std::variant<std::monostate, std::string, double> value{};  // monostate: blank (styled) cell
    int style = -1;  // index into Workbook::styles; -1: the default style
};

inline Cell textCell(uint32_t row, uint16_t col, std::string text, int style = -1) {
    Cell c;
    c.row = row;
    c.col = col;
    c.value.emplace<std::string>(std::move(text));
    c.style = style;
    return c;
}

inline Cell numberCell(uint32_t row, uint16_t col, double number, int style = -1) {
    Cell c;
    c.row = row;
    c.col = col;
    c.value = number;
    c.style = style;
    return c;
}

inline Cell blankCell(uint32_t row, uint16_t col, int style) {
    Cell c;
    c.row = row;
    c.col = col;
    c.style = style;
    return c;
}

struct PlacedChart {
    uint32_t row = 0;  // top-left anchor cell
    uint16_t col = 0;
    int32_t xOffset = 0;  // pixels from the anchor cell's corner
    int32_t yOffset = 0;
    Chart chart{};
};

// A block of cells shown as one; the first cell's value and style stand for the whole.
struct MergedRange {
    uint32_t firstRow = 0;
    uint16_t firstCol = 0;
    uint32_t lastRow = 0;
    uint16_t lastCol = 0;
    bool operator==(const MergedRange&) const = default;
};

enum class Visibility { Visible, Hidden, VeryHidden };  // very hidden: no menu shows it again

struct Worksheet {
    std::string name{};
    std::vector<Cell> cells{};
    std::vector<PlacedChart> charts{};
    std::vector<MergedRange> merges{};
    Visibility visibility = Visibility::Visible;
};

struct Chartsheet {
    std::string name{};
    Chart chart{};
    bool zoomToFit = false;  // the chart is sized with the window
};

struct Workbook {
    std::vector<CellStyle> styles{};
    std::vector<std::variant<Worksheet, Chartsheet>> sheets{};  // tab order
    std::size_t activeSheet = 0;
};

// A range formula for a block of one sheet: "=Name!$A$1:$A$3" (the name quoted when needed).
std::string rangeFormula(const std::string& sheet, uint32_t firstRow, uint16_t firstCol,
                         uint32_t lastRow, uint16_t lastCol);

}  // namespace zbq::workbook
