// Conditions on an item's values, decided per dictionary position: the one rule that the search
// language, the value search and the cross tabulation's class conditions share.
//
// A condition compares a value with one bound, or two for a range, in the item's own kind:
// int32 for Integer, Date and Time items (dates yyyymmdd, times hhmmss, as the dictionary holds
// them), double for Float items, CP932 text for String, Code and MultiAns items. Texts compare
// by unsigned bytes against the code or text of a value, or with byName against its display
// name (items without a code table have none and use the text); the substring tests match
// only at character starts (a pattern never begins inside a double-byte character).
//
// The error and blank positions (0 and 1) hold no value, and their entries would read as 0 or
// as captions that sort above every ASCII code, so a range or an ordering test would pick them
// up by accident. Therefore: they never pass an ordering test or a range; on numeric items they
// never equal anything; on text items "=" and the text tests compare their captions ("ｴﾗｰ",
// "ﾌﾞﾗﾝｸ"), the one way to pick those records there. Not-equal is always the negation of equal,
// so it passes them on numeric items.
//
// Free functions over a loaded item; no state of their own, safe on any thread that may read
// the item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/kw_format.h"

// Operator codes. 0 to 13 are the engine's condition codes (cross tabulation and value search);
// the text tests have codes of their own.
enum KWcondOp : std::int32_t {
    KW_COND_GT = 0,          // v > a
    KW_COND_GE = 1,          // v >= a
    KW_COND_LT = 2,          // v < a
    KW_COND_LE = 3,          // v <= a
    KW_COND_EQ = 4,          // v = a
    KW_COND_NE = 5,          // v != a
    KW_COND_RANGE = 6,       // a <= v <= b
    KW_COND_RANGE_LOW = 7,   // a <= v < b
    KW_COND_RANGE_HIGH = 8,  // a < v <= b
    KW_COND_RANGE_OPEN = 9,  // a < v < b
    KW_COND_NORMAL = 10,     // every ordinary value
    KW_COND_ERROR = 11,      // the error position
    KW_COND_BLANK = 12,      // the blank position
    KW_COND_OTHERS = 13,     // what no other class takes: the caller's to decide, never here
    KW_COND_BEGINS = 20,     // texts: v begins with a
    KW_COND_CONTAINS = 21,   // texts: a occurs in v (never in or of an empty text)
    KW_COND_ENDS = 22,       // texts: v ends with a
};

namespace kw {

struct Condition {
    std::int32_t op = KW_COND_EQ;
    std::int32_t int1 = 0, int2 = 0;  // Integer, Date, Time
    double real1 = 0, real2 = 0;      // Float
    std::string text1, text2;         // String, Code, MultiAns
    bool byName = false;              // texts: display names instead of codes
};

// True when dictionary position p of the item satisfies the condition. False for a position
// outside the dictionary, for KW_COND_OTHERS and for any code not listed above.
bool conditionHolds(const ItemBlock& item, const Condition& condition, std::int32_t p);

// pass[p] = 1 where position p satisfies the condition, else 0, for every position of the
// item's dictionary (pass is resized to it). Throws std::bad_alloc.
void markPassing(const ItemBlock& item, const Condition& condition,
                 std::vector<std::uint8_t>& pass);

}  // namespace kw
