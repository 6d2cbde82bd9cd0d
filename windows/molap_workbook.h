// The aggregation grid as a workbook description: one sheet holding every cell as the grid
// shows it, header rows and columns included, each with a thin border and the workbook colour
// of the cell's own background (never the highlight).
//
// A cell whose text, grouping commas aside, is a plain decimal number becomes that number in the
// form it is shown in (its decimals, its grouping); every other text stays text, an empty cell
// stays blank. Equal neighbouring captions merge: in each header row (the X rows and the caption
// row) runs of two or more equal texts, then in each fixed column but the last runs of equal
// non-empty texts down the column that stay clear of the row merges, so no two merges overlap.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/workbook/workbook_description.h"
#include "windows/molap_view.h"

namespace zbq::windows {

// A shown text read as a number: its value, decimals and grouping. Nothing for a text that
// would not show the same when written back as that number ("010", "1-2", "1,2").
struct ShownNumber {
    double value = 0;
    std::int32_t decimals = 0;
    bool grouped = false;
};
std::optional<ShownNumber> shownNumber(const std::string& text);

// The workbook colour (0xRRGGBB) of a grid background, nothing for the default and others.
std::optional<std::uint32_t> molapWorkbookFill(QRgb background);

// The merged ranges of a grid of `rows` x `columns` texts: row runs in the first `headerRows`
// rows, then column runs in the first `mergedColumns` columns.
using MolapText = std::function<std::string(std::int32_t row, std::int32_t column)>;
std::vector<workbook::MergedRange> molapMerges(std::int32_t rows, std::int32_t columns,
                                               std::int32_t headerRows, std::int32_t mergedColumns,
                                               const MolapText& text);

workbook::Workbook molapWorkbook(const CMOLAPView& view);

}  // namespace zbq::windows
