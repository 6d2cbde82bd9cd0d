// KW_search: value reads, the view order, rows <-> records and the record lists.
//
// The view is a sequence of positions: record order (position = record) or the order array of
// a sort (position -> record). Its rows are the positions whose record is in the current map,
// ascending, or in reverse for a descending sort. A row is found from the row before or after
// it by a short scan (sequential reading), else through a rank index that counts the shown
// positions of every block of 64, so a jump never walks from the first record.
#include <algorithm>
#include <bit>
#include <new>
#include <utility>

#include "engine/kw_search.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

std::int32_t KW_search::KWgetDataCount() const {
    return current_ ? currentCount_ : records_;
}

std::int32_t KW_search::KWgetDisp(std::int32_t item) const {
    return validItem(item) ? states_[at(item)].display : -1;
}

std::int32_t KW_search::KWdispCode(std::int32_t item) {
    if (!validItem(item) || !items_[at(item)].hasCodes()) return -1;
    states_[at(item)].display = 0;
    return 0;
}

std::int32_t KW_search::KWdispName(std::int32_t item) {
    if (!validItem(item) || !items_[at(item)].hasCodes()) return -1;
    states_[at(item)].display = 1;
    return 0;
}

// --- Texts of dictionary positions ---

const char* KW_search::ValueText(std::int32_t item, std::int32_t position) const {
    if (!validItem(item)) return nullptr;
    const kw::ItemBlock& b = items_[at(item)];
    if (!kw::hasStringPool(b.def.type) || position < 0 || at(position) >= b.dict.size())
        return nullptr;
    return b.strings.data() + b.dict[at(position)].high;
}

const char* KW_search::ValueName(std::int32_t item, std::int32_t position) const {
    if (!validItem(item)) return nullptr;
    const kw::ItemBlock& b = items_[at(item)];
    if (b.hasCodes() && position >= KW_POS_FIRST_VALUE && at(position) < b.dict.size())
        return b.names.data() + b.dict[at(position)].low;
    return ValueText(item, position);
}

const char* KW_search::DisplayText(std::int32_t item, std::int32_t position) const {
    if (!validItem(item)) return nullptr;
    return states_[at(item)].display == 1 ? ValueName(item, position) : ValueText(item, position);
}

// --- Reads by row ---

std::int32_t KW_search::RecordOfRow(std::int32_t row) const {
    const std::int32_t position = rowToPosition(row);
    return position < 0 ? -1 : recordAt(position);
}

std::int32_t KW_search::KWreadString(std::int32_t row, std::int32_t item, const char** text) {
    if (!validItem(item) || items_[at(item)].def.type != KW_TYPE_STRING) return -1;
    const std::int32_t record = RecordOfRow(row);
    if (record < 0) return -1;
    *text = DisplayText(item, items_[at(item)].values[at(record)]);
    return 0;
}

std::int32_t KW_search::KWreadInteger(std::int32_t row, std::int32_t item, std::int32_t* value) {
    if (!validItem(item) || !kw::isIntegerType(items_[at(item)].def.type)) return -1;
    const std::int32_t record = RecordOfRow(row);
    if (record < 0) return -1;
    const kw::ItemBlock& b = items_[at(item)];
    const std::int32_t p = b.values[at(record)];
    if (p == KW_POS_BLANK) return 1;
    if (p == KW_POS_ERROR) return 2;
    *value = b.dict[at(p)].high;
    return 0;
}

std::int32_t KW_search::KWreadDouble(std::int32_t row, std::int32_t item, double* value) {
    if (!validItem(item) || items_[at(item)].def.type != KW_TYPE_FLOAT) return -1;
    const std::int32_t record = RecordOfRow(row);
    if (record < 0) return -1;
    const kw::ItemBlock& b = items_[at(item)];
    const std::int32_t p = b.values[at(record)];
    if (p == KW_POS_BLANK) return 1;
    if (p == KW_POS_ERROR) return 2;
    *value = b.dict[at(p)].asDouble();
    return 0;
}

const char* KW_search::KWreadMulti(std::int32_t row, std::int32_t item, std::int32_t k,
                                   std::int32_t* answerCount) {
    if (!validItem(item) || !kw::isMultiType(items_[at(item)].def.type)) return nullptr;
    const std::int32_t record = RecordOfRow(row);
    if (record < 0) return nullptr;
    const kw::ItemBlock& b = items_[at(item)];
    const std::int32_t first = b.starts[at(record)];
    const std::int32_t count = b.starts[at(record) + 1] - first;
    if (answerCount) *answerCount = count;
    if (k < 0 || k >= count) return nullptr;
    return DisplayText(item, b.values[at(first + k)]);
}

// --- View order ---

void KW_search::clearCursor() const {
    cursorRow_ = -1;
    cursorPosition_ = -1;
}

void KW_search::resetView() {
    sortItem_ = -1;
    direction_ = 0;
    std::vector<std::int32_t>().swap(order_);
    std::vector<std::int32_t>().swap(rank_);
    std::vector<std::int32_t>().swap(positionOf_);
    clearCursor();
}

void KW_search::sortOrder(std::int32_t item, std::vector<std::int32_t>& out) const {
    const kw::ItemBlock& b = items_[at(item)];
    const bool multi = kw::isMultiType(b.def.type);
    // Ties keep the previous view order when it came from another single-valued item.
    const bool fromPrevious = !multi && !order_.empty() && sortItem_ >= 0 && sortItem_ != item &&
                              !kw::isMultiType(items_[at(sortItem_)].def.type);
    // Counting sort: next[p] is where the next record with key p goes.
    std::vector<std::int32_t> next(b.dict.size(), 0);
    std::vector<std::int32_t> keys;
    if (multi) {
        // Each record once, under its smallest answer (a record without answers as blank).
        keys.resize(at(records_));
        for (std::int32_t r = 0; r < records_; ++r) {
            const auto first = b.values.begin() + b.starts[at(r)];
            const auto last = b.values.begin() + b.starts[at(r) + 1];
            keys[at(r)] = first == last ? KW_POS_BLANK : *std::min_element(first, last);
            ++next[at(keys[at(r)])];
        }
        std::int32_t start = 0;
        for (std::int32_t& n : next)
            start += std::exchange(n, start);
    } else {
        for (std::size_t p = 0; p < next.size(); ++p)
            next[p] = b.dict[p].start;
    }
    const std::span<const std::int32_t> key =
        multi ? std::span<const std::int32_t>(keys) : b.values;
    out.resize(at(records_));
    for (std::int32_t i = 0; i < records_; ++i) {
        const std::int32_t r = fromPrevious ? order_[at(i)] : i;
        out[at(next[at(key[at(r)])]++)] = r;
    }
}

std::int32_t KW_search::KWsortData(std::int32_t item, std::int32_t direction) {
    clearCursor();
    std::vector<std::int32_t>().swap(rank_);
    std::vector<std::int32_t>().swap(positionOf_);
    if (item >= 0) {
        if (!validItem(item)) return -1;
        std::vector<std::int32_t> order;
        try {
            sortOrder(item, order);
        } catch (const std::bad_alloc&) {
            std::vector<std::int32_t>().swap(order_);
            sortItem_ = -1;
            return KW_ERR_NO_MEMORY;
        }
        order_ = std::move(order);
        sortItem_ = item;
    } else if (item == -1) {
        std::vector<std::int32_t>().swap(order_);
        sortItem_ = -1;
    }
    direction_ = direction;
    return 0;
}

// --- Rows <-> positions ---

std::int32_t KW_search::nextShown(std::int32_t position) const {
    if (!order_.empty()) {
        while (position < records_ && !shown(position))
            ++position;
        return position < records_ ? position : -1;
    }
    // Record order: the next set bit of the map, a word at a time.
    const std::uint32_t* words = current_->data();
    const std::int32_t wordCount = current_->wordCount();
    if (position >= records_) return -1;
    std::int32_t w = position >> 5;
    std::uint32_t bits = words[w] & (0xFFFFFFFFu >> (position & 31));
    while (bits == 0) {
        if (++w == wordCount) return -1;
        bits = words[w];
    }
    return w * 32 + std::countl_zero(bits);
}

std::int32_t KW_search::previousShown(std::int32_t position) const {
    if (!order_.empty()) {
        while (position >= 0 && !shown(position))
            --position;
        return position;
    }
    const std::uint32_t* words = current_->data();
    if (position < 0) return -1;
    std::int32_t w = position >> 5;
    std::uint32_t bits = words[w] & ~(0x7FFFFFFFu >> (position & 31));
    while (bits == 0) {
        if (--w < 0) return -1;
        bits = words[w];
    }
    return w * 32 + 31 - std::countr_zero(bits);
}

void KW_search::buildRank() const {
    const std::int32_t blocks = (records_ + kRankBlock - 1) / kRankBlock;
    rank_.assign(at(blocks) + 1, 0);
    const std::uint32_t* words = current_->data();
    const std::int32_t wordCount = current_->wordCount();
    for (std::int32_t b = 0; b < blocks; ++b) {
        std::int32_t shownHere = 0;
        if (order_.empty()) {
            shownHere = std::popcount(words[2 * b]);
            if (2 * b + 1 < wordCount) shownHere += std::popcount(words[2 * b + 1]);
        } else {
            const std::int32_t end = std::min(records_, (b + 1) * kRankBlock);
            for (std::int32_t p = b * kRankBlock; p < end; ++p)
                shownHere += shown(p);
        }
        rank_[at(b) + 1] = rank_[at(b)] + shownHere;
    }
}

// The position of the k-th shown position (from 0) of a block.
std::int32_t KW_search::selectInBlock(std::int32_t block, std::int32_t k) const {
    if (order_.empty()) {
        const std::uint32_t* words = current_->data();
        const std::uint32_t low = 2 * block + 1 < current_->wordCount() ? words[2 * block + 1] : 0;
        std::uint64_t bits = std::uint64_t{words[2 * block]} << 32 | low;
        for (; k > 0; --k)
            bits &= ~(std::uint64_t{1} << (63 - std::countl_zero(bits)));
        return block * kRankBlock + std::countl_zero(bits);
    }
    std::int32_t p = block * kRankBlock;
    for (;; ++p)
        if (shown(p) && k-- == 0) return p;
}

std::int32_t KW_search::rowToPosition(std::int32_t row) const {
    const std::int32_t count = KWgetDataCount();
    if (row < 0 || row >= count) return -1;
    // A descending view is the ascending one read from the end.
    const std::int32_t ascending = !order_.empty() && direction_ == 1 ? count - 1 - row : row;
    if (!current_) return ascending;

    std::int32_t position;
    if (ascending == cursorRow_) {
        position = cursorPosition_;
    } else if (cursorRow_ >= 0 && ascending == cursorRow_ + 1) {
        position = nextShown(cursorPosition_ + 1);
    } else if (cursorRow_ >= 0 && ascending == cursorRow_ - 1) {
        position = previousShown(cursorPosition_ - 1);
    } else {
        if (rank_.empty()) buildRank();
        const auto block = std::upper_bound(rank_.begin(), rank_.end(), ascending) - 1;
        const auto b = static_cast<std::int32_t>(block - rank_.begin());
        position = selectInBlock(b, ascending - *block);
    }
    cursorRow_ = ascending;
    cursorPosition_ = position;
    return position;
}

std::int32_t KW_search::RowOfRecord(std::int32_t record) const {
    if (record < 0 || record >= records_) return -1;
    if (current_ && !current_->test(record)) return -1;
    if (!order_.empty() && positionOf_.empty()) {
        positionOf_.resize(at(records_));
        for (std::int32_t p = 0; p < records_; ++p)
            positionOf_[at(order_[at(p)])] = p;
    }
    const std::int32_t position = order_.empty() ? record : positionOf_[at(record)];
    std::int32_t ascending = position;
    if (current_) {
        if (rank_.empty()) buildRank();
        const std::int32_t block = position / kRankBlock;
        ascending = rank_[at(block)];
        for (std::int32_t p = block * kRankBlock; p < position; ++p)
            ascending += shown(p);
    }
    const std::int32_t count = KWgetDataCount();
    return !order_.empty() && direction_ == 1 ? count - 1 - ascending : ascending;
}

// --- Tables ---

std::span<const std::int32_t> KW_search::values(std::int32_t item) const {
    if (!validItem(item)) return {};
    return items_[at(item)].values;
}

std::span<const std::int32_t> KW_search::answerStarts(std::int32_t item) const {
    if (!validItem(item)) return {};
    return items_[at(item)].starts;
}

std::int32_t KW_search::BuildValueIndex(std::int32_t item) {
    if (!validItem(item)) return -1;
    if (listItem_ == item) return 0;  // the tables never change while loaded
    const kw::ItemBlock& b = items_[at(item)];
    listItem_ = -1;
    try {
        lists_.resize(b.values.size());
        std::vector<std::int32_t> next(b.dict.size());
        for (std::size_t p = 0; p < next.size(); ++p)
            next[p] = b.dict[p].start;
        if (kw::isMultiType(b.def.type)) {
            for (std::int32_t r = 0; r < records_; ++r)
                for (std::int32_t a = b.starts[at(r)]; a < b.starts[at(r) + 1]; ++a)
                    lists_[at(next[at(b.values[at(a)])]++)] = r;
        } else {
            for (std::int32_t r = 0; r < records_; ++r)
                lists_[at(next[at(b.values[at(r)])]++)] = r;
        }
    } catch (const std::bad_alloc&) {
        std::vector<std::int32_t>().swap(lists_);
        return KW_ERR_NO_MEMORY;
    }
    listItem_ = item;
    return 0;
}

std::span<const std::int32_t> KW_search::RecordList(std::int32_t item,
                                                    std::int32_t position) const {
    if (item != listItem_ || !validItem(item)) return {};
    const kw::ItemBlock& b = items_[at(item)];
    if (position < 0 || at(position) >= b.dict.size()) return {};
    const KW_dict& e = b.dict[at(position)];
    return std::span<const std::int32_t>(lists_).subspan(at(e.start), at(e.count));
}
