// KW_search: building the aggregation's ordinary cells in one pass over the current map.
//
// Each level maps its dictionary positions to ranks among the positions some record holds
// (the error value to a bad mark), and an axis key becomes one integer in mixed radix over
// those ranks, level 0 most significant: integer order is key order. The cell code
// x * ySpace + y finds the cell's slot through a direct table when the code space is small,
// else through an open hash. Z values are added into the slot's cells in the same pass.
// Keys whose mixed radix would not fit 62 bits (many levels of huge dictionaries) are first
// ranked record by record by sorting, which keeps the order.
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <new>

#include "engine/kw_search.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

constexpr std::uint32_t kBad = 0x80000000u;  // rank of the error value and of unused positions
constexpr std::uint64_t kMaxSpace = std::uint64_t{1} << 62;
constexpr std::int32_t kPollRecords = 64;  // the cancel flag is read this often

struct PassLevel {
    const std::int32_t* positions;
    const std::uint32_t* rank;
    std::uint64_t stride;
};

// An axis as the pass reads it: its levels and the number of distinct codes.
struct AxisCode {
    std::vector<PassLevel> levels;
    std::uint64_t space = 1;
    std::vector<std::vector<std::uint32_t>> ranks;  // storage behind levels[].rank
    std::vector<std::int32_t> ranked;               // per record, when ranked by sorting
};

// a * b, or nothing when it passes kMaxSpace.
bool multiply(std::uint64_t a, std::uint64_t b, std::uint64_t& out) {
    return !__builtin_mul_overflow(a, b, &out) && out <= kMaxSpace;
}

// The ranks of every level and the mixed radix over them. False when the code space is too
// large for one integer.
bool mixedRadix(const std::vector<kw::MolapLevelPtr>& levels, AxisCode& axis) {
    axis.ranks.resize(levels.size());
    std::vector<std::uint64_t> radix(levels.size());
    for (std::size_t l = 0; l < levels.size(); ++l) {
        const std::span<const KW_dict> dict = levels[l]->dict;
        std::vector<std::uint32_t>& rank = axis.ranks[l];
        rank.assign(dict.size(), kBad);
        std::uint32_t next = 0;
        for (std::size_t p = KW_POS_BLANK; p < dict.size(); ++p)
            if (dict[p].count > 0) rank[p] = next++;
        radix[l] = next;
    }
    axis.levels.resize(levels.size());
    std::uint64_t stride = 1;
    for (std::size_t l = levels.size(); l-- > 0;) {
        axis.levels[l] = {levels[l]->positions.data(), axis.ranks[l].data(), stride};
        if (!multiply(stride, radix[l], stride)) return false;
    }
    axis.space = stride;
    return true;
}

// Calls f(record) for the records of the map (all records without one), stopping with false
// when the cancel flag is seen; the flag is read before every kPollRecords records.
template <typename F>
bool forEachRecordPolled(const KW_map* map, std::int32_t records, kw::MolapCancel& cancel, F&& f) {
    const std::int32_t words = (records + 31) / 32;
    const std::int32_t pollWords = kPollRecords / 32;
    for (std::int32_t w0 = 0; w0 < words; w0 += pollWords) {
        if (cancel.poll()) return false;
        for (std::int32_t w = w0, end = std::min(w0 + pollWords, words); w < end; ++w) {
            std::uint32_t bits = 0xFFFFFFFFu;
            if (map) bits = map->data()[w];
            if (w == words - 1 && records % 32 != 0) bits &= ~(0xFFFFFFFFu >> (records % 32));
            const std::int32_t base = w * 32;
            if (bits == 0xFFFFFFFFu) {
                for (std::int32_t r = base; r < base + 32; ++r)
                    f(r);
                continue;
            }
            while (bits != 0) {
                const int b = std::countl_zero(bits);
                f(base + b);
                bits &= ~(0x80000000u >> b);
            }
        }
    }
    return !cancel.poll();
}

// Ranks the keys of an axis record by record, in key order, for code spaces too large for the
// mixed radix: the axis becomes one level whose positions are the ranks plus one.
bool rankBySorting(const std::vector<kw::MolapLevelPtr>& levels, const KW_map* map,
                   std::int32_t records, kw::MolapCancel& cancel, AxisCode& axis) {
    std::vector<std::int32_t> keyed;
    const bool complete = forEachRecordPolled(map, records, cancel, [&](std::int32_t r) {
        for (const kw::MolapLevelPtr& l : levels)
            if (l->positions[at(r)] == KW_POS_ERROR) return;
        keyed.push_back(r);
    });
    if (!complete) return false;
    std::sort(keyed.begin(), keyed.end(), [&](std::int32_t a, std::int32_t b) {
        for (const kw::MolapLevelPtr& l : levels) {
            const std::int32_t pa = l->positions[at(a)], pb = l->positions[at(b)];
            if (pa != pb) return pa < pb;
        }
        return a < b;
    });
    axis.ranked.assign(at(records), 0);
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        if (i > 0)
            for (const kw::MolapLevelPtr& l : levels)
                if (l->positions[at(keyed[i])] != l->positions[at(keyed[i - 1])]) {
                    ++rank;
                    break;
                }
        axis.ranked[at(keyed[i])] = static_cast<std::int32_t>(rank) + 1;
    }
    const std::uint32_t ranks = keyed.empty() ? 0 : rank + 1;
    axis.ranks.assign(1, std::vector<std::uint32_t>(ranks + 1));
    axis.ranks[0][0] = kBad;
    for (std::uint32_t i = 1; i <= ranks; ++i)
        axis.ranks[0][i] = i - 1;
    axis.levels = {{axis.ranked.data(), axis.ranks[0].data(), 1}};
    axis.space = ranks;
    return true;
}

struct ZColumn {
    const std::int32_t* positions;
    const double* values;  // per position; 0 for items that have no sum
};

// The pass itself, for one kind of cell index.
template <bool Dense>
bool accumulate(kw::MolapResult& r, const AxisCode& x, const AxisCode& y,
                const std::vector<ZColumn>& z, const KW_map* map, std::int32_t records,
                kw::MolapCancel& cancel, kw::MolapSlots& slots) {
    const std::size_t zCount = at(r.zCount);
    const std::uint64_t ySpace = y.space;
    auto newCell = [&](std::uint64_t xc, std::uint64_t yc, std::int32_t record) {
        const auto slot = static_cast<std::int32_t>(slots.record.size());
        slots.x.push_back(xc);
        slots.y.push_back(yc);
        slots.record.push_back(record);
        r.cells.resize(r.cells.size() + zCount);
        return slot;
    };
    return forEachRecordPolled(map, records, cancel, [&](std::int32_t record) {
        std::uint64_t xc = 0, yc = 0;
        std::uint32_t bad = 0;
        for (const PassLevel& l : x.levels) {
            const std::uint32_t k = l.rank[l.positions[record]];
            bad |= k;
            xc += k * l.stride;
        }
        for (const PassLevel& l : y.levels) {
            const std::uint32_t k = l.rank[l.positions[record]];
            bad |= k;
            yc += k * l.stride;
        }
        if (bad & kBad) return;
        const std::uint64_t code = xc * ySpace + yc;
        std::int32_t slot;
        if constexpr (Dense) {
            std::int32_t* entry = r.index.denseEntry(code);
            if (*entry == 0) *entry = newCell(xc, yc, record) + 1;
            slot = *entry - 1;
        } else {
            const auto fresh = static_cast<std::int32_t>(slots.record.size());
            slot = r.index.findOrAdd(code, fresh);
            if (slot == fresh) newCell(xc, yc, record);
        }
        kw::KW_cell* cell = r.cells.data() + at(slot) * zCount;
        if (z.empty()) {
            ++cell->count;
            return;
        }
        for (const ZColumn& column : z) {
            const std::int32_t p = column.positions[record];
            ++cell->count;
            if (p >= KW_POS_FIRST_VALUE) {
                ++cell->values;
                cell->sum += column.values[p];
                if (p < cell->smallest) cell->smallest = p;
                if (p > cell->largest) cell->largest = p;
            }
            ++cell;
        }
    });
}

}  // namespace

namespace kw {

void MolapCellIndex::init(std::uint64_t space, std::uint64_t denseLimit) {
    dense_.reset();
    keys_.clear();
    slots_.clear();
    used_ = 0;
    if (space <= denseLimit) {
        dense_.reset(static_cast<std::int32_t*>(
            std::calloc(std::max<std::uint64_t>(space, 1), sizeof(std::int32_t))));
        if (!dense_) throw std::bad_alloc();
        return;
    }
    keys_.assign(1024, 0);
    slots_.assign(1024, 0);
    mask_ = 1023;
    shift_ = 64 - 10;
}

std::int32_t MolapCellIndex::find(std::uint64_t code) const {
    if (dense_) return dense_[code] - 1;
    if (slots_.empty()) return -1;
    for (std::size_t i = hash(code); slots_[i] != 0; i = (i + 1) & mask_)
        if (keys_[i] == code) return slots_[i] - 1;
    return -1;
}

void MolapCellIndex::grow() {
    std::vector<std::uint64_t> keys(keys_.size() * 2, 0);
    std::vector<std::int32_t> slots(slots_.size() * 2, 0);
    keys.swap(keys_);
    slots.swap(slots_);
    mask_ = keys_.size() - 1;
    --shift_;
    for (std::size_t j = 0; j < keys.size(); ++j) {
        if (slots[j] == 0) continue;
        std::size_t i = hash(keys[j]);
        while (slots_[i] != 0)
            i = (i + 1) & mask_;
        keys_[i] = keys[j];
        slots_[i] = slots[j];
    }
}

}  // namespace kw

// Fills r.cells, r.index and the slots. False when cancelled. Throws std::bad_alloc.
bool KW_search::molapPass(kw::MolapResult& r, kw::MolapSlots& slots) {
    kw::MolapCancel& cancel = molap_.cancel;
    const KW_map* map = current_.get();
    if (cancel.poll()) return false;

    AxisCode x, y;
    if (!mixedRadix(r.xLevels, x) && !rankBySorting(r.xLevels, map, records_, cancel, x))
        return false;
    if (!mixedRadix(r.yLevels, y) && !rankBySorting(r.yLevels, map, records_, cancel, y))
        return false;
    std::uint64_t cellSpace;
    if (!multiply(x.space, y.space, cellSpace)) {
        // Each axis fits alone but not both: rank the larger, then the other if need be.
        AxisCode& larger = x.space >= y.space ? x : y;
        if (!rankBySorting(&larger == &x ? r.xLevels : r.yLevels, map, records_, cancel, larger))
            return false;
        if (!multiply(x.space, y.space, cellSpace)) {
            AxisCode& other = &larger == &x ? y : x;
            if (!rankBySorting(&other == &x ? r.xLevels : r.yLevels, map, records_, cancel, other))
                return false;
            cellSpace = x.space * y.space;
        }
    }

    std::vector<ZColumn> z;
    std::vector<std::vector<double>> zValues(r.zLevels.size());
    for (std::size_t i = 0; i < r.zLevels.size(); ++i) {
        const kw::MolapLevel& level = *r.zLevels[i];
        std::vector<double>& values = zValues[i];
        values.assign(level.dict.size(), 0.0);
        for (std::size_t p = KW_POS_FIRST_VALUE; p < values.size(); ++p) {
            if (level.type == KW_TYPE_INTEGER) values[p] = level.dict[p].high;
            if (level.type == KW_TYPE_FLOAT) values[p] = level.dict[p].asDouble();
        }
        z.push_back({level.positions.data(), values.data()});
    }

    const std::uint64_t shown = static_cast<std::uint64_t>(KWgetDataCount());
    // A direct table costs 4 bytes a code, a hash about 32 bytes a cell: direct while the
    // table stays within a few words per record.
    const std::uint64_t denseLimit = std::min<std::uint64_t>(
        std::max<std::uint64_t>(std::uint64_t{1} << 20, 8 * shown), std::uint64_t{1} << 28);
    r.index.init(cellSpace, denseLimit);
    r.ySpace = y.space;
    const std::size_t expected = at(std::min<std::uint64_t>({cellSpace, shown, 1u << 21}));
    r.cells.reserve(expected * at(r.zCount));
    slots.x.reserve(expected);
    slots.y.reserve(expected);
    slots.record.reserve(expected);
    slots.xSpace = x.space;
    slots.ySpace = y.space;
    if (cellSpace == 0) return !cancel.poll();  // some level has no value at all
    return r.index.dense() ? accumulate<true>(r, x, y, z, map, records_, cancel, slots)
                           : accumulate<false>(r, x, y, z, map, records_, cancel, slots);
}

std::int32_t KW_search::KWexecuteMolap(const std::vector<std::int32_t>& xItems,
                                       const std::vector<std::int32_t>& yItems,
                                       const std::vector<std::int32_t>& zItems,
                                       const std::vector<std::int32_t>& kinds,
                                       std::int32_t xTotalMode, std::int32_t yTotalMode) {
    const kw::MolapCancel::Running running(molap_.cancel);
    KWMolapClose();
    // The levels were made by SetMolapX/Y/Z for these very lists.
    if (xItems != molap_.x.items || yItems != molap_.y.items || zItems != molap_.z.items)
        return KW_ERR_ARGUMENT;
    if (!zItems.empty() && kinds.size() != zItems.size()) return KW_ERR_ARGUMENT;
    try {
        try {
            auto r = std::make_unique<kw::MolapResult>();
            r->xLevels = molap_.x.levels;
            r->yLevels = molap_.y.levels;
            r->zLevels = molap_.z.levels;
            r->kinds = zItems.empty() ? std::vector<std::int32_t>{0} : kinds;
            r->zCount = static_cast<std::int32_t>(r->kinds.size());
            kw::MolapSlots slots;
            if (!molapPass(*r, slots)) return 1;  // cancelled: nothing of it is kept
            kw::finishMolap(*r, slots, xTotalMode, yTotalMode, err_);
            molap_.result = std::move(r);
        } catch (const std::bad_alloc&) {
            KWfail(err_, KW_ERR_NEW_FAILED, "new failed.");
        }
    } catch (...) {
        return KWfinish(err_, "KW_search::KWexecuteMolap()");
    }
    return KW_OK;
}
