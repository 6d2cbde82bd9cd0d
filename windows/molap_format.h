// The aggregation window's texts: the captions of its axes and Z columns, the text of a key and
// of a cell value as read from the engine's result, the rounding to the table's decimal places,
// the number check and the filter's value test. Plain functions over the engine's MolapValue,
// shared by the grid model, the filter and the exports. Texts are CP932 bytes.
//
// Types are ItemType numbers (0 Code, 1 MultiAns, 2 Integer, 3 Float, 4 String, 5 Date, 7 Time);
// aggregate kinds 0 count, 1 sum, 2 average, 3 maximum, 4 minimum, -1 the count column of a table
// without Z items. Date units 1-6 group a date (year, month, day, year/month, quarter, half);
// Z units of 10 and more are value units: hundreds digit 1 thousands, 2 millions; tens digit
// 1 truncate, 2 round up, 3 round half up.
#pragma once

#include "engine/kw_search.h"

#include <cstdint>
#include <string>

namespace zbq::windows {

using MolapValue = KW_search::MolapValue;

// The captions are Japanese, as the exports write them; `shown`, when given, puts each word of
// ours (CP932) in the language in force for the screen, the names as they stand.
using ShownCaption = std::string (*)(const std::string& cp932);

// "（年）" ... "（半期）" for date units 1-6; "" otherwise.
std::string molapDateUnitCaption(std::int32_t dateUnit, ShownCaption shown = nullptr);
// "件数", "合計", "平均", "最大", "最小" for kinds 0-4; "" otherwise.
std::string molapKindCaption(std::int32_t kind, ShownCaption shown = nullptr);
// "単位:千(切り捨て)" ... for value units 110-230; "" otherwise.
std::string molapValueUnitCaption(std::int32_t zUnit, ShownCaption shown = nullptr);
// An axis item's caption: its name and date-unit caption.
std::string molapItemCaption(const std::string& name, std::int32_t dateUnit,
                             ShownCaption shown = nullptr);
// A Z column's caption; zItem -1 (no Z items) gives "件数".
std::string molapZCaption(std::int32_t zItem, const std::string& name, std::int32_t kind,
                          std::int32_t zUnit, ShownCaption shown = nullptr);

// A key (or an extreme) as the grid shows it. A text value (codes, strings, the error and blank
// keys of any item) is shown as it is; decimalsIndex is the table's decimal places for Float.
// A quarter ("3期") and a half ("上期", "下期") are words of ours, given through `shown`.
std::string FormatKeyValue(std::int32_t itemType, const MolapValue& value, std::int32_t dateUnit,
                           std::int32_t decimalsIndex, ShownCaption shown = nullptr);
// A cell's value; "" for an empty cell.
std::string FormatCellValue(std::int32_t kind, std::int32_t itemType, const MolapValue& value,
                            std::int32_t zUnit, std::int32_t decimalsIndex);
// A sum or average scaled by a value unit (the fraction dropped first); unchanged for unit 0.
double molapScaled(double value, std::int32_t zUnit);

// The value as printed with that many decimals and read back.
double RoundToDecimals(double value, std::int32_t decimalsIndex);
// True when the text is a number; the text keeps its digits, signs and points up to the first
// other character, its commas dropped. A text over 255 bytes is not a number (and is kept).
bool IsNumberText(std::string& text);

// The filter's test of one cell value: operators 0-6 are =, !=, >, >=, <, <= and From <= value
// <= To. A From (or To) that is not a number never meets a numeric test.
bool MatchesCondition(std::int32_t kind, std::int32_t itemType, const MolapValue& value,
                      const std::string& from, const std::string& to, std::int32_t op,
                      std::int32_t zUnit, std::int32_t decimalsIndex);

}  // namespace zbq::windows
