// KW_search: the item window's value search (one condition walked over dictionary positions)
// and the grid's record stepping over the values the user has not excluded.
//
// A value "has records in the current map" exactly when its in-map count is above zero, so the
// value search reads the lazily recounted dictionary instead of walking record lists; record
// stepping reads rows through the view's own row -> record cursor, which makes a walk in
// either direction linear.
#include <algorithm>

#include "engine/kw_search.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

bool isTextItem(std::int32_t type) {
    return kw::hasStringPool(type);
}

}  // namespace

void KW_search::resetItemWindowState() {
    find_ = {};
    step_ = {};
    savedOrderItem_ = -1;
    savedOrder_ = {};
}

// --- Value search ---

std::int32_t KW_search::setFind(std::int32_t item, std::int32_t start, kw::Condition condition) {
    find_ = {item, std::max<std::int32_t>(start, KW_POS_BLANK), std::move(condition)};
    return 0;
}

std::int32_t KW_search::KWsetFindString(std::int32_t item, std::int32_t start,
                                        std::string_view text) {
    if (!validItem(item) || !isTextItem(items_[at(item)].def.type)) return -1;
    kw::Condition c;
    c.op = KW_COND_CONTAINS;
    c.text1 = text.substr(0, text.find('\0'));
    c.byName = true;  // display names where the item has them, else its codes or texts
    return setFind(item, start, std::move(c));
}

std::int32_t KW_search::KWsetFindStringRange(std::int32_t item, std::int32_t start, std::int32_t op,
                                             std::string_view text1, std::string_view text2) {
    if (!validItem(item) || !isTextItem(items_[at(item)].def.type)) return -1;
    if (op < KW_COND_GT || op > KW_COND_RANGE_OPEN) return -1;
    kw::Condition c;
    c.op = op;
    c.text1 = text1.substr(0, text1.find('\0'));
    c.text2 = text2.substr(0, text2.find('\0'));
    return setFind(item, start, std::move(c));
}

std::int32_t KW_search::KWsetFindInt(std::int32_t item, std::int32_t start, std::int32_t op,
                                     std::int32_t a, std::int32_t b) {
    if (!validItem(item) || !kw::isIntegerType(items_[at(item)].def.type)) return -1;
    if (op < KW_COND_GT || op > KW_COND_RANGE_OPEN) return -1;
    kw::Condition c;
    c.op = op;
    c.int1 = a;
    c.int2 = b;
    return setFind(item, start, std::move(c));
}

std::int32_t KW_search::KWsetFindDouble(std::int32_t item, std::int32_t start, std::int32_t op,
                                        double a, double b) {
    if (!validItem(item) || items_[at(item)].def.type != KW_TYPE_FLOAT) return -1;
    if (op < KW_COND_GT || op > KW_COND_RANGE_OPEN) return -1;
    kw::Condition c;
    c.op = op;
    c.real1 = a;
    c.real2 = b;
    return setFind(item, start, std::move(c));
}

// Walks the ordinary positions from `from` by `step` (+1 or -1). Each value that matches becomes
// the search position; the first that also has records in the current map is the answer.
std::int32_t KW_search::findValue(std::int32_t from, std::int32_t step) {
    if (!validItem(find_.item)) return -1;
    const kw::ItemBlock& b = items_[at(find_.item)];
    const std::span<const KW_dict> dict = dictionary(find_.item);
    const auto size = static_cast<std::int32_t>(dict.size());
    const std::int32_t first =
        step > 0 ? std::max<std::int32_t>(from, KW_POS_FIRST_VALUE) : std::min(from, size - 1);
    for (std::int32_t p = first; p >= KW_POS_FIRST_VALUE && p < size; p += step) {
        if (!kw::conditionHolds(b, find_.condition, p)) continue;
        find_.position = p;
        if (!current_ || dict[at(p)].mapCount > 0) return p;
    }
    return -1;
}

std::int32_t KW_search::KWfindNextValue() {
    return findValue(find_.position + 1, 1);
}

std::int32_t KW_search::KWfindPrevValue() {
    return findValue(find_.position - 1, -1);
}

std::int32_t KW_search::KWfindFirstValue() {
    return findValue(KW_POS_FIRST_VALUE, 1);
}

std::int32_t KW_search::KWfindLastValue() {
    return validItem(find_.item) ? findValue(KWgetValueCount(find_.item) - 1, -1) : -1;
}

// --- Record stepping ---

bool KW_search::stepQualifies(std::int32_t record) const {
    const std::vector<std::uint8_t>& excluded = states_[at(step_.item)].excluded;
    if (excluded.empty()) return true;
    const kw::ItemBlock& b = items_[at(step_.item)];
    if (!kw::isMultiType(b.def.type)) return !excluded[at(b.values[at(record)])];
    // One answer not excluded is enough.
    for (std::int32_t a = b.starts[at(record)]; a < b.starts[at(record) + 1]; ++a)
        if (!excluded[at(b.values[at(a)])]) return true;
    return false;
}

// Rows from `from` by `step` (+1 or -1) until one qualifies; it becomes the row found last.
std::int32_t KW_search::stepWalk(std::int32_t from, std::int32_t step) {
    const std::int32_t rows = KWgetDataCount();
    for (std::int32_t row = from; row >= 0 && row < rows; row += step) {
        const std::int32_t record = RecordOfRow(row);
        if (stepQualifies(record)) {
            step_.row = step_.anchor = row;
            step_.record = record;
            return row;
        }
    }
    return -1;
}

std::int32_t KW_search::KWfindNextRecord(std::int32_t item, std::int32_t startRow) {
    if (!validItem(item)) return -1;
    const std::int32_t rows = KWgetDataCount();
    step_ = {item, -1, -1, std::clamp(startRow, 0, rows)};
    if (startRow >= rows) return stepWalk(rows - 1, -1);
    return stepWalk(step_.anchor, 1);
}

std::int32_t KW_search::KWfindPrevRecord() {
    if (!validItem(step_.item)) return -1;
    const std::int32_t found = stepWalk(std::min(step_.anchor, KWgetDataCount()) - 1, -1);
    return found >= 0 ? found : step_.row;
}
