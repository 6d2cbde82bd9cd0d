// The data-selection tab's conditions as text: the rows of the condition list (item, condition,
// value kind), the search expression the rows make for the engine's search language, and the
// title a filter's result set gets. Pure functions over the application's conditions; texts
// are CP932 bytes. Any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/shared_records.h"

class CStructDef;

// Item types as the structure definition numbers them.
namespace item_type {
inline constexpr std::int32_t kCode = 0;
inline constexpr std::int32_t kMulti = 1;
inline constexpr std::int32_t kInteger = 2;
inline constexpr std::int32_t kFloat = 3;
inline constexpr std::int32_t kString = 4;
inline constexpr std::int32_t kDate = 5;
inline constexpr std::int32_t kTime = 7;
// Integer, Float, Date and Time: the items compared as numbers.
constexpr bool isNumeric(std::int32_t type) {
    return type == kInteger || type == kFloat || type == kDate || type == kTime;
}
}  // namespace item_type

// How the conditions are joined: all by AND ("*") or all by OR ("+").
enum class FilterJoin : std::uint8_t { And, Or };

// The types of the data set's items, indexed by item number (-1 where none).
std::vector<std::int32_t> itemTypesOf(const CStructDef& def);

// The condition column of a row: "= 10", "! abc", "[ 10, 20 )".
std::string conditionText(const SearchCondition& condition);
// The value-kind column: "ｺｰﾄﾞ", "文字列", "数字", or empty for kind -1.
std::string valueKindText(std::int32_t kind);

// One row of the condition list.
struct ConditionRow {
    std::string itemName;
    std::string condition;
    std::string kind;
    std::int32_t itemType = -1;  // the row's image
};

// The rows of the condition list for the conditions, in order.
std::vector<ConditionRow> conditionRows(const std::vector<SearchCondition>& conditions,
                                        const CStructDef& def);

// The expression for the conditions: "" when there are none; nullopt when a value cannot be
// written in the search language (a code value that is not plain letters and digits, a text
// holding '"', a number, date or time that does not read as one).
std::optional<std::string> BuildSearchExpression(const std::vector<SearchCondition>& conditions,
                                                 const std::vector<std::int32_t>& itemTypes,
                                                 FilterJoin join);

// The title of a filter's result: the conditions' item names joined by "*" or "+".
std::string filterTitle(const std::vector<SearchCondition>& conditions, const CStructDef& def,
                        FilterJoin join);

// An Integer value: an optional '-', at least one digit, nothing else, within 32 bits.
bool isInt32Text(const std::string& text);
// A Float value: an optional '-', digits with at most one '.', at least one digit.
bool isFloatText(const std::string& text);
