// The search language of KWsrch: an expression text becomes a table of terms and a postfix
// program over them.
//
//   expression := operand { ("*" | "+") operand }      "*" is AND and binds tighter than "+"
//   operand    := term | "(" expression ")"
//   term       := "#" item-number operator value
//   operator   := "=" | "!=" | ">" | ">=" | "<" | "<="
//
// Blanks outside double quotes are dropped before anything else; inside quotes they belong to
// the value. A value runs to the next "(", ")", "*" or "+" outside quotes and holds 1 to 1023
// bytes. With "=" and "!=" it may be a range "a-b" (split at the first "-" outside quotes when
// it is not the first byte; the bounds are put in order), a wildcard "ab%", "%ab%", "%ab"
// (begins with, contains, ends with; texts only) or a plain value; quotes around a value or a
// bound are dropped. "NAME:" in front of a value (or of a bound, or inside the quotes or
// behind a wildcard, as the filter tab writes it) makes a text item compare display names.
// Numbers take an optional leading "-" and digits (Float: one "." besides) and must fit their
// type.
//
// Free functions; no state. Texts are CP932 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "engine/kw_condition.h"

namespace kw {

// Operator codes of the language; "!=" adds kSearchNot to the code of the "=" form.
enum : std::int32_t {
    kSearchEqual = 0,
    kSearchBeginsWith = 1,
    kSearchContains = 2,
    kSearchEndsWith = 3,
    kSearchGreater = 4,
    kSearchGreaterEqual = 5,
    kSearchLess = 6,
    kSearchLessEqual = 7,
    kSearchRange = 8,
    kSearchNot = 256,
};

// Postfix program entries besides term indexes.
inline constexpr std::int32_t kSearchAnd = 10000;
inline constexpr std::int32_t kSearchOr = 10001;

inline constexpr std::size_t kSearchMaxProgram = 1023;    // postfix entries
inline constexpr std::size_t kSearchMaxOperators = 1024;  // open "(", "*", "+" at once
inline constexpr std::size_t kSearchMaxValue = 1023;      // bytes of a term's value

struct SearchTerm {
    std::int32_t item = 0;
    std::int32_t code = 0;  // language operator code, kSearchNot included
    Condition condition;    // the test of one dictionary position, negation aside

    bool negated() const { return (code & kSearchNot) != 0; }
};

struct SearchProgram {
    std::vector<SearchTerm> terms;
    std::vector<std::int32_t> postfix;  // term index, kSearchAnd or kSearchOr
};

// Parses an expression (up to its first NUL) for a data set whose items have the given
// KWTypes. 0, or the first error met from left to right: -1 empty expression, -1003 an item
// number not below the item count, -1020 syntax (an item number or integer value beyond int32
// included), -1022 the operator stack or the program full. Throws std::bad_alloc.
std::int32_t parseSearch(std::string_view expression, std::span<const std::int32_t> itemTypes,
                         SearchProgram& out);

}  // namespace kw
