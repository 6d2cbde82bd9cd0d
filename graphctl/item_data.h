// Turning the control's data text into items, and ordering them.
//
// The text is a flat list of TAB-separated fields: name, value, name, value, ... with no header,
// no quoting and no line structure (CR and LF belong to the field that holds them). A value is a
// decimal number with optional sign and surrounding blanks; a fraction rounds to the nearest
// integer, halves to even. Anything else is bad data: an odd number of fields, a value that is
// not a number or lies outside 32 bits, values whose sum lies outside 32 bits, text that is not
// UTF-8 or holds characters a workbook cannot store. So is text that no workbook can hold, found
// before anything is built: more items than a sheet has rows for (with the summary's header and
// total rows), or a name longer than a cell holds (32,767 UTF-16 units). Pure functions;
// thread-safe.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "graphctl/graph_state.h"

namespace zbq::grafvik {

// Rows of a sheet, less the summary sheet's three rows above its table and the total below.
inline constexpr std::size_t kMaxItems = 1048576 - 5;
// The characters one cell holds, counted in UTF-16 units as the workbook stores them.
inline constexpr std::size_t kMaxNameUnits = 32767;

struct ItemData {
    std::vector<Item> items;  // at least one
    int32_t total = 0;
};

// nullopt for empty text and for bad data.
std::optional<ItemData> parseItemData(std::string_view text);

// One value field; nullopt when it is not a number in the 32-bit range.
std::optional<int32_t> parseValue(std::string_view field);

// Stable orderings: items of equal value keep their input order in both directions.
void sortAscending(std::vector<Item>& items);
void sortDescending(std::vector<Item>& items);

}  // namespace zbq::grafvik
