// KW_search: the current map, the recount of every value within it, the exclusion flags and
// the set algebra.
//
// Making a map current costs one count of its bits; the in-map counts of an item are redone
// (item-major) the first time the item's dictionary is read under the new map, so a change of
// sets stays instant however many items the data set has. The recount reads the item's
// compact form made at load (kw_item_scan.h): a popcount per value of an item with bit maps,
// each record's bit for rising IDs, else a histogram over the narrowest positions there are.
#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <span>
#include <vector>

#include "engine/kw_map_walk.h"
#include "engine/kw_search.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

// The recount is a histogram of positions over the records of a map, and two things limit it:
// walking the set bits (a branch per bit that random selections mispredict) and the counters
// themselves (consecutive records holding the same value wait on one counter). Words with
// many set bits are therefore taken whole, adding each record's bit without a branch, and
// small dictionaries count into four partial histograms, summed at the end.
constexpr std::size_t kLanes = 4;
constexpr std::size_t kLaneLimit = 1024;  // above: counters are scattered anyway
constexpr int kDenseWord = 8;             // set bits from which a word is taken whole

// Four int32 histograms of D counters each; record k counts into histogram k mod 4.
struct LaneCounts {
    std::int32_t* lane[kLanes];
    std::int32_t* sink(std::size_t k) const { return lane[k & (kLanes - 1)]; }
};

// One int32 histogram: for a large dictionary, a sixth of the memory of its entries, so that
// the scattered counts stay in cache far longer.
struct FlatCounts {
    std::int32_t* counts;
    std::int32_t* sink(std::size_t) const { return counts; }
};

// The dictionary's in-map counts themselves.
struct DictCounts {
    KW_dict* dict;
    KW_dict* sink(std::size_t) const { return dict; }
};

inline void bump(std::int32_t* counts, std::int32_t p, std::int32_t n) {
    counts[p] += n;
}
inline void bump(KW_dict* dict, std::int32_t p, std::int32_t n) {
    dict[p].mapCount += n;
}

template <typename Counts, typename V>
[[gnu::always_inline]] inline void countSingle(const KW_map& map, std::int32_t records,
                                               const V* values, Counts counts) {
    const auto s0 = counts.sink(0), s1 = counts.sink(1), s2 = counts.sink(2), s3 = counts.sink(3);
    const std::uint32_t* words = map.data();
    for (std::int32_t w = 0, n = map.wordCount(); w < n; ++w) {
        std::uint32_t bits = words[w];
        if (bits == 0) continue;
        const std::int32_t base = w * 32;
        const V* v = values + base;
        if (std::popcount(bits) >= kDenseWord && base + 32 <= records) {
            auto bit = [bits](int j) { return static_cast<std::int32_t>((bits >> (31 - j)) & 1u); };
            for (int j = 0; j < 32; j += 4) {
                bump(s0, v[j], bit(j));
                bump(s1, v[j + 1], bit(j + 1));
                bump(s2, v[j + 2], bit(j + 2));
                bump(s3, v[j + 3], bit(j + 3));
            }
            continue;
        }
        for (std::size_t k = 0; bits != 0; ++k) {
            const int j = std::countl_zero(bits);
            bump(counts.sink(k), v[j], 1);
            bits &= ~(0x80000000u >> j);
        }
    }
}

// MultiAns items: every answer of every record of the map. Most records hold few answers, so
// the first four are added without a loop (an answer past the record's own adds 0).
template <typename Counts>
[[gnu::always_inline]] inline void countMulti(const KW_map& map, const std::int32_t* starts,
                                              std::span<const std::int32_t> values, Counts counts) {
    if (values.empty()) return;
    const std::int32_t last = static_cast<std::int32_t>(values.size()) - 1;
    const std::int32_t* v = values.data();
    std::size_t k = 0;
    ForEachRecord(map, [&](std::int32_t r) {
        const auto sink = counts.sink(k++);
        const std::int32_t a = starts[r], n = starts[r + 1] - a;
        for (std::int32_t t = 0; t < 4; ++t)
            bump(sink, v[std::min(a + t, last)], t < n ? 1 : 0);
        for (std::int32_t t = 4; t < n; ++t)
            bump(sink, v[a + t], 1);
    });
}

// An item with a dominant value: that value's records counted by a popcount, the others
// looked up among the other records' positions, whose index is the number of other records
// before them.
template <typename Counts>
[[gnu::always_inline]] inline void countDominant(const KW_map& map, std::int32_t records,
                                                 const kw::ItemScan& scan, Counts counts) {
    const std::uint32_t* words = map.data();
    const std::uint32_t* dominant = scan.dominantPlane.data();
    const std::int32_t* others = scan.others.data();
    bump(counts.sink(0), scan.dominant, kw::countBoth(words, dominant, scan.words));
    const std::int32_t tail = records % 32;
    std::size_t next = 0, k = 0;
    for (std::int32_t w = 0, n = map.wordCount(); w < n; ++w) {
        const std::uint32_t valid = w == n - 1 && tail != 0 ? ~(0xFFFFFFFFu >> tail) : 0xFFFFFFFFu;
        const std::uint32_t rest = ~dominant[w] & valid;
        for (std::uint32_t hit = words[w] & rest; hit != 0;) {
            const int j = std::countl_zero(hit);
            const auto before = static_cast<std::size_t>(std::popcount(rest & ~(0xFFFFFFFFu >> j)));
            bump(counts.sink(k++), others[next + before], 1);
            hit &= ~(0x80000000u >> j);
        }
        next += static_cast<std::size_t>(std::popcount(rest));
    }
}

// Every record (or answer) of the map counted by position, reading the narrowest form of the
// positions there is; compiled for processors with and without a popcount instruction, which
// the test for dense words uses once per word.
template <typename Counts>
KW_POPCOUNT_CLONES void countItem(const KW_map& map, std::int32_t records, const kw::ItemBlock& b,
                                  const kw::ItemScan* scan, Counts counts) {
    if (kw::isMultiType(b.def.type)) {
        countMulti(map, b.starts.data(), b.values, counts);
    } else if (scan && scan->dominant >= 0) {
        countDominant(map, records, *scan, counts);
    } else if (scan && !scan->narrow8.empty()) {
        countSingle(map, records, scan->narrow8.data(), counts);
    } else if (scan && !scan->narrow16.empty()) {
        countSingle(map, records, scan->narrow16.data(), counts);
    } else {
        countSingle(map, records, b.values.data(), counts);
    }
}

// Planes: a popcount per value; a single-valued item's value without a plane has the records
// left over.
void countPlanes(const KW_map& map, std::int32_t mapCount, const kw::ItemScan& scan,
                 std::span<KW_dict> dict) {
    for (KW_dict& e : dict)
        e.mapCount = 0;
    std::int32_t counted = 0;
    for (std::size_t k = 0; k < scan.planePositions.size(); ++k) {
        const std::int32_t n = kw::countBoth(map.data(), scan.plane(k), scan.words);
        dict[at(scan.planePositions[k])].mapCount = n;
        counted += n;
    }
    if (scan.lastLive >= 0) dict[at(scan.lastLive)].mapCount = mapCount - counted;
}

// Unique values: each record's bit is its entry's count; entries without a record count 0.
template <typename V>
void countUnique(const KW_map& map, std::int32_t records, const V* values, const kw::ItemScan& scan,
                 KW_dict* dict) {
    for (const std::int32_t p : scan.emptyPositions)
        dict[p].mapCount = 0;
    const std::uint32_t* words = map.data();
    if (scan.firstPosition >= 0) {
        // Record r holds entry firstPosition + r: the positions need not be read.
        KW_dict* entry = dict + scan.firstPosition;
        for (std::int32_t w = 0, n = map.wordCount(); w < n; ++w) {
            const std::uint32_t bits = words[w];
            const std::int32_t base = w * 32;
            for (std::int32_t j = 0, end = std::min(32, records - base); j < end; ++j)
                entry[base + j].mapCount = static_cast<std::int32_t>((bits >> (31 - j)) & 1u);
        }
        return;
    }
    for (std::int32_t w = 0, n = map.wordCount(); w < n; ++w) {
        const std::uint32_t bits = words[w];
        const std::int32_t base = w * 32;
        const V* v = values + base;
        for (std::int32_t j = 0, end = std::min(32, records - base); j < end; ++j)
            dict[v[j]].mapCount = static_cast<std::int32_t>((bits >> (31 - j)) & 1u);
    }
}

}  // namespace

const kw::ItemScan* KW_search::scan(std::int32_t item) const {
    if (at(item) >= scans_.size()) return nullptr;
    kw::ItemScan& s = scans_[at(item)];
    if (s.deferred) {
        try {
            s = kw::makeItemScan(items_[at(item)], records_);
        } catch (const std::bad_alloc&) {
            s = {};  // the passes read the value list itself
        }
    }
    return &s;
}

void KW_search::setCurrent(KW_mapPtr map, std::int32_t count) {
    current_ = std::move(map);
    currentCount_ = count;
    ++generation_;
    for (ItemState& s : states_)
        std::vector<std::uint8_t>().swap(s.excluded);
    resetView();
}

void KW_search::recount(std::int32_t item) const {
    const ItemState& state = states_[at(item)];
    if (state.countedFor == generation_) return;
    kw::ItemBlock& b = items_[at(item)];
    KW_dict* dict = b.dict.data();
    if (!current_ || currentCount_ == records_) {
        // Every record is in the map (it holds no bits after the last record): the counts are
        // the ones the file keeps.
        for (KW_dict& e : b.dict)
            e.mapCount = e.count;
    } else if (const kw::ItemScan* fast = scan(item);
               fast && fast->usePlanes && fast->planesCount) {
        countPlanes(*current_, currentCount_, *fast, b.dict);
    } else if (fast && fast->unique) {
        if (!fast->narrow8.empty()) {
            countUnique(*current_, records_, fast->narrow8.data(), *fast, dict);
        } else if (!fast->narrow16.empty()) {
            countUnique(*current_, records_, fast->narrow16.data(), *fast, dict);
        } else {
            countUnique(*current_, records_, b.values.data(), *fast, dict);
        }
    } else {
        auto count = [&](auto counts) { countItem(*current_, records_, b, fast, counts); };
        const std::size_t size = b.dict.size();
        if (size <= kLaneLimit) {
            // On the stack: reading a dictionary never allocates, so it cannot fail.
            std::array<std::int32_t, kLanes * kLaneLimit> lanes;
            std::fill_n(lanes.begin(), kLanes * size, 0);
            LaneCounts counts;
            for (std::size_t k = 0; k < kLanes; ++k)
                counts.lane[k] = lanes.data() + k * size;
            count(counts);
            for (std::size_t p = 0; p < size; ++p)
                dict[p].mapCount =
                    lanes[p] + lanes[size + p] + lanes[2 * size + p] + lanes[3 * size + p];
        } else {
            // The histogram stays for the next recount: fresh memory of this size would be
            // handed back to the system after each and fault in page by page again.
            std::vector<std::int32_t>& flat = countWork_;
            try {
                if (flat.size() < size) flat.resize(size);
            } catch (const std::bad_alloc&) {
                // Without the memory the entries take the counts themselves, only slower.
            }
            if (flat.size() < size) {
                for (KW_dict& e : b.dict)
                    e.mapCount = 0;
                count(DictCounts{dict});
            } else {
                std::fill_n(flat.begin(), size, 0);
                count(FlatCounts{flat.data()});
                for (std::size_t p = 0; p < size; ++p)
                    dict[p].mapCount = flat[p];
            }
        }
    }
    state.countedFor = generation_;
}

std::span<const KW_dict> KW_search::dictionary(std::int32_t item) const {
    if (!validItem(item)) return {};
    recount(item);
    return items_[at(item)].dict;
}

bool KW_search::fitsMap(const KW_mapPtr& map) const {
    return !map || map->byteLength() == KWmapGetLength();
}

std::int32_t KW_search::KWmapClear() {
    setCurrent(nullptr, records_);
    return records_;
}

std::int32_t KW_search::KWmapSet(KW_mapPtr map) {
    if (!map) return KWmapClear();
    if (!fitsMap(map)) return -1;
    if (records_ % 32 != 0 && map->wordCount() > 0) {
        // Bits after the last record would name records that do not exist: work on a copy
        // without them (the caller's map is shared and stays as it is).
        const std::uint32_t tail = 0xFFFFFFFFu >> (records_ % 32);
        if (map->data()[map->wordCount() - 1] & tail) {
            std::shared_ptr<KW_map> copy;
            try {
                copy = std::make_shared<KW_map>(*map);
            } catch (const std::bad_alloc&) {
                return KW_ERR_NO_MEMORY;
            }
            MapClearTail(copy->data(), records_);
            map = std::move(copy);
        }
    }
    const std::int32_t count = MapCount(map->data(), map->byteLength());
    setCurrent(std::move(map), count);
    return count;
}

// --- Exclusions ---

std::int32_t KW_search::ValueListToDictionary(std::int32_t item, std::int32_t position) const {
    if (!validItem(item)) return -1;
    const auto size = static_cast<std::int32_t>(items_[at(item)].dict.size());
    if (position < 0 || position >= size) return -1;
    if (position < KW_POS_FIRST_VALUE) return position;  // error and blank stay in place
    const ValueOrder& order = states_[at(item)].order;
    const bool sorted = (order.mode == 0 || order.mode == 1) &&
                        order.sorted.size() == static_cast<std::size_t>(size);
    const bool reversed = order.mode == -2 || order.mode == 1;
    const std::int32_t p = reversed ? size + 1 - position : position;
    return sorted ? order.sorted[at(p)] : p;
}

std::int32_t KW_search::KWpassDataFromMap(std::int32_t item, std::int32_t position) {
    const std::int32_t p = ValueListToDictionary(item, position);
    if (p < 0) return -1;
    std::vector<std::uint8_t>& flags = states_[at(item)].excluded;
    try {
        if (flags.empty()) flags.assign(items_[at(item)].dict.size(), 0);
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    flags[at(p)] = 1;
    return 0;
}

std::int32_t KW_search::KWpassDataClear(std::int32_t item) {
    if (!validItem(item)) return -1;
    std::vector<std::uint8_t>().swap(states_[at(item)].excluded);
    return 0;
}

std::int32_t KW_search::KWpassDataGet(std::int32_t item, std::int32_t position) const {
    const std::int32_t p = ValueListToDictionary(item, position);
    if (p < 0 || states_[at(item)].excluded.empty()) return -1;
    return states_[at(item)].excluded[at(p)];
}

std::int32_t KW_search::KWnewMap(std::int32_t item) {
    if (!validItem(item) || states_[at(item)].excluded.empty()) return -1;
    std::shared_ptr<KW_map> map = MapAlloc(records_, nullptr);
    if (!map) return KW_ERR_NO_MEMORY;
    const std::uint8_t* excluded = states_[at(item)].excluded.data();
    const kw::ItemBlock& b = items_[at(item)];
    const std::int32_t* values = b.values.data();
    const std::int32_t* starts = b.starts.data();
    const bool multi = kw::isMultiType(b.def.type);
    std::int32_t count = 0;
    auto keep = [&](std::int32_t r) {
        bool kept = false;
        if (multi) {
            for (std::int32_t a = starts[r]; a < starts[r + 1] && !kept; ++a)
                kept = !excluded[values[a]];
        } else {
            kept = !excluded[values[r]];
        }
        if (kept) {
            map->set(r);
            ++count;
        }
    };
    if (current_) {
        ForEachRecord(*current_, keep);
    } else {
        for (std::int32_t r = 0; r < records_; ++r)
            keep(r);
    }
    setCurrent(std::move(map), count);
    return 0;
}

// --- Set algebra ---

namespace {

// A new map: a copy of `from`, or all records set, or none.
std::shared_ptr<KW_map> newMap(std::int32_t records, const KW_map* from, bool all) {
    try {
        if (from) return std::make_shared<KW_map>(*from);
        auto map = std::make_shared<KW_map>(records);
        if (all) std::fill_n(map->data(), map->wordCount(), 0xFFFFFFFFu);
        return map;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

std::int32_t KW_search::finishSetOperation(std::shared_ptr<KW_map> result) {
    if (!result) return -1;
    MapClearTail(result->data(), records_);
    const std::int32_t count = MapCount(result->data(), result->byteLength());
    setCurrent(std::move(result), count);
    return count;
}

std::int32_t KW_search::KWmapProduct(const KW_mapPtr& a, const KW_mapPtr& b) {
    if (!fitsMap(a) || !fitsMap(b)) return -1;
    auto result = newMap(records_, a ? a.get() : b.get(), true);
    if (result && a && b) MapAnd(result->data(), b->data(), result->byteLength());
    return finishSetOperation(std::move(result));
}

std::int32_t KW_search::KWmapUnion(const KW_mapPtr& a, const KW_mapPtr& b) {
    if (!fitsMap(a) || !fitsMap(b)) return -1;
    auto result = newMap(records_, a && b ? a.get() : nullptr, true);
    if (result && a && b) MapOr(result->data(), b->data(), result->byteLength());
    return finishSetOperation(std::move(result));
}

std::int32_t KW_search::KWmapDifference(const KW_mapPtr& a, const KW_mapPtr& b) {
    if (!fitsMap(a) || !fitsMap(b)) return -1;
    if (!b) return finishSetOperation(newMap(records_, nullptr, false));
    auto result = newMap(records_, b.get(), false);
    if (!result) return -1;
    // A - B = A AND NOT B, with all records for a null A.
    MapNot(result->data(), result->byteLength());
    if (a) MapAnd(result->data(), a->data(), result->byteLength());
    return finishSetOperation(std::move(result));
}

std::int32_t KW_search::KWmapComplement(const KW_mapPtr& a) {
    if (!fitsMap(a)) return -1;
    auto result = newMap(records_, a.get(), false);
    if (result && a) MapNot(result->data(), result->byteLength());
    return finishSetOperation(std::move(result));
}
