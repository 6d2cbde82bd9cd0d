// The value-list page's search text: what it searches for and how the engine's value search is
// set up from it.
//
// A text is read in this order: "=", "!", ">=", ">", "<=", "<" and a rest; "[a,b]", "[a,b)",
// "(a,b]", "(a,b)" (split at the first ","); anything else is "equal to the whole text".
// Operators are the engine's codes (0 >, 1 >=, 2 <, 3 <=, 4 =, 5 !=, 6 to 9 the ranges). Blanks
// are taken out before parsing for every search but a contained-text one. A search is not set
// up (nullopt) for an empty text, a range without ",", or an operand the item's type cannot
// read: a number that is not one, a date or a time the application's checks refuse.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CKWApp;

namespace zbq::windows {

// The longest search text the page holds, in CP932 bytes (the engine's operand buffer).
inline constexpr std::size_t kMaxSearchBytes = 255;

struct SearchTerm {
    std::int32_t op = 4;
    std::string first;
    std::string second;
    bool operator==(const SearchTerm&) const = default;
};

std::string withoutBlanks(std::string_view text);
std::optional<SearchTerm> parseSearchTerm(std::string_view blankFree);

struct ValueSearch {
    enum class Kind { Contains, TextRange, Int, Double };
    Kind kind = Kind::Contains;
    std::int32_t op = 4;
    std::string text1, text2;  // Contains, TextRange
    std::int32_t int1 = 0, int2 = 0;
    double double1 = 0, double2 = 0;
};

// The search for an item of that ItemType; `textSearch` is the "文字列" box of code and
// multiple-answer items (ignored for the others).
std::optional<ValueSearch> makeValueSearch(std::string_view text, std::int32_t itemType,
                                           bool textSearch);

// Sets the engine's value search up for the item from a row; the engine's result, -1 when
// nothing was set up.
std::int32_t setUpValueSearch(CKWApp& app, std::int32_t item, const ValueSearch& search,
                              std::int32_t row);

}  // namespace zbq::windows
