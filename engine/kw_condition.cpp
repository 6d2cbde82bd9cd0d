// Conditions on dictionary positions: ordinary values by the operator, the error and blank
// positions by the rule in the header.
#include "engine/kw_condition.h"

#include <string_view>

#include "platform/core/cp932.h"

namespace kw {

namespace {

bool isTextTest(std::int32_t op) {
    return op == KW_COND_BEGINS || op == KW_COND_CONTAINS || op == KW_COND_ENDS;
}

// Ordering tests and ranges on one kind of value. std::string_view compares by unsigned bytes.
template <typename T>
bool compare(std::int32_t op, const T& v, const T& a, const T& b) {
    switch (op) {
        case KW_COND_GT:
            return v > a;
        case KW_COND_GE:
            return v >= a;
        case KW_COND_LT:
            return v < a;
        case KW_COND_LE:
            return v <= a;
        case KW_COND_EQ:
            return v == a;
        case KW_COND_NE:
            return !(v == a);
        case KW_COND_RANGE:
            return a <= v && v <= b;
        case KW_COND_RANGE_LOW:
            return a <= v && v < b;
        case KW_COND_RANGE_HIGH:
            return a < v && v <= b;
        case KW_COND_RANGE_OPEN:
            return a < v && v < b;
        case KW_COND_NORMAL:
            return true;
        default:
            return false;
    }
}

bool textTest(std::int32_t op, std::string_view v, std::string_view a) {
    switch (op) {
        case KW_COND_BEGINS:
            return v.starts_with(a) && zbq::cp932::isCharStart(v, a.size());
        case KW_COND_CONTAINS:
            return !v.empty() && !a.empty() && zbq::cp932::find(v, a) != std::string_view::npos;
        case KW_COND_ENDS:
            return zbq::cp932::endsWith(v, a);
        default:
            return false;
    }
}

// The code or text of a position, or its display name; the pools are NUL-terminated and every
// offset was checked when the file was read.
std::string_view textAt(const ItemBlock& item, bool byName, std::size_t p) {
    const KW_dict& e = item.dict[p];
    if (byName && item.hasCodes() && p >= KW_POS_FIRST_VALUE) return item.names.data() + e.low;
    return item.strings.data() + e.high;
}

bool textHolds(const ItemBlock& item, const Condition& c, std::size_t p) {
    const std::string_view v = textAt(item, c.byName, p);
    if (isTextTest(c.op)) return textTest(c.op, v, c.text1);
    return compare<std::string_view>(c.op, v, c.text1, c.text2);
}

// Positions 0 and 1.
bool specialHolds(const ItemBlock& item, const Condition& c, std::size_t p) {
    switch (c.op) {
        case KW_COND_ERROR:
            return p == KW_POS_ERROR;
        case KW_COND_BLANK:
            return p == KW_POS_BLANK;
        case KW_COND_EQ:
        case KW_COND_NE:
        case KW_COND_BEGINS:
        case KW_COND_CONTAINS:
        case KW_COND_ENDS:
            if (hasStringPool(item.def.type)) return textHolds(item, c, p);
            return c.op == KW_COND_NE;
        default:
            return false;  // orderings, ranges, Normal, Others
    }
}

}  // namespace

bool conditionHolds(const ItemBlock& item, const Condition& c, std::int32_t p) {
    if (p < 0 || static_cast<std::size_t>(p) >= item.dict.size()) return false;
    const auto at = static_cast<std::size_t>(p);
    if (p < KW_POS_FIRST_VALUE) return specialHolds(item, c, at);
    if (c.op == KW_COND_ERROR || c.op == KW_COND_BLANK) return false;
    const KW_dict& e = item.dict[at];
    if (hasStringPool(item.def.type)) return textHolds(item, c, at);
    if (isTextTest(c.op)) return false;
    if (item.def.type == KW_TYPE_FLOAT) return compare(c.op, e.asDouble(), c.real1, c.real2);
    return compare(c.op, e.high, c.int1, c.int2);
}

void markPassing(const ItemBlock& item, const Condition& c, std::vector<std::uint8_t>& pass) {
    const std::size_t size = item.dict.size();
    pass.assign(size, 0);
    for (std::size_t p = 0; p < size && p < KW_POS_FIRST_VALUE; ++p)
        pass[p] = specialHolds(item, c, p);
    if (c.op == KW_COND_ERROR || c.op == KW_COND_BLANK) return;
    // One loop per kind, so that the type is decided once and not per value.
    const KW_dict* dict = item.dict.data();
    if (hasStringPool(item.def.type)) {
        for (std::size_t p = KW_POS_FIRST_VALUE; p < size; ++p)
            pass[p] = textHolds(item, c, p);
    } else if (isTextTest(c.op)) {
        return;
    } else if (item.def.type == KW_TYPE_FLOAT) {
        for (std::size_t p = KW_POS_FIRST_VALUE; p < size; ++p)
            pass[p] = compare(c.op, dict[p].asDouble(), c.real1, c.real2);
    } else {
        for (std::size_t p = KW_POS_FIRST_VALUE; p < size; ++p)
            pass[p] = compare(c.op, dict[p].high, c.int1, c.int2);
    }
}

}  // namespace kw
