// KW_search: building the aggregation's ordinary cells in one pass over the current map.
//
// Each level maps its dictionary positions to ranks among the positions some record holds
// (the error value to a bad mark), and an axis key becomes one integer in mixed radix over
// those ranks, level 0 most significant: integer order is key order, and the cell code
// x * ySpace + y orders cells by X key, then Y key. Keys are computed 64 records at a time,
// one level at a time. Then, by the size of the cell code space:
// - small (a table that stays in cache): a direct table finds each record's cell, and the Z
//   values are added in the same pass;
// - larger: the (cell code, record) pairs are radix-sorted and each run of equal codes is one
//   cell, so cells come out in key order and no table over the code space is needed.
// Keys whose mixed radix would not fit 62 bits (many levels of huge dictionaries) are first
// ranked record by record by sorting, which keeps the order.
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

constexpr std::uint32_t kBad = 0x80000000u;  // rank of the error value and of unused positions
constexpr std::uint64_t kMaxSpace = std::uint64_t{1} << 62;
constexpr std::uint64_t kDirectSpace = std::uint64_t{1} << 16;  // 256 KB of table
constexpr std::int32_t kBlockWords = 2;  // 64 records per block; the cancel flag is read per block

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

// Records of the map (all records without one), 64 at a time.
struct Block {
    std::int32_t n = 0;
    std::int32_t record[32 * kBlockWords];
    std::uint64_t x[32 * kBlockWords];
    std::uint64_t y[32 * kBlockWords];
    std::uint32_t bad[32 * kBlockWords];
};

// Calls f(block) for the records of the map in record order, stopping with false when the
// cancel flag is seen; the flag is read before every block.
template <typename F>
bool forEachBlock(const KW_map* map, std::int32_t records, kw::MolapCancel& cancel, Block& block,
                  F&& f) {
    const std::int32_t words = (records + 31) / 32;
    for (std::int32_t w0 = 0; w0 < words; w0 += kBlockWords) {
        if (cancel.poll()) return false;
        block.n = 0;
        for (std::int32_t w = w0, end = std::min(w0 + kBlockWords, words); w < end; ++w) {
            std::uint32_t bits = map ? map->data()[w] : 0xFFFFFFFFu;
            if (w == words - 1 && records % 32 != 0) bits &= ~(0xFFFFFFFFu >> (records % 32));
            if (bits == 0xFFFFFFFFu) {
                for (std::int32_t b = 0; b < 32; ++b)
                    block.record[block.n++] = w * 32 + b;
                continue;
            }
            while (bits != 0) {
                const int b = std::countl_zero(bits);
                block.record[block.n++] = w * 32 + b;
                bits &= ~(0x80000000u >> b);
            }
        }
        if (block.n > 0) f(block);
    }
    return !cancel.poll();
}

// The X and Y codes of a block's records, level by level; bad has kBad for records with the
// error value (or an unheld position) on some level.
void encode(Block& b, const AxisCode& x, const AxisCode& y) {
    const std::int32_t n = b.n;
    for (std::int32_t i = 0; i < n; ++i) {
        b.x[i] = 0;
        b.y[i] = 0;
        b.bad[i] = 0;
    }
    auto add = [&](const PassLevel& l, std::uint64_t* code) {
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint32_t k = l.rank[l.positions[b.record[i]]];
            b.bad[i] |= k;
            code[i] += k * l.stride;
        }
    };
    for (const PassLevel& l : x.levels)
        add(l, b.x);
    for (const PassLevel& l : y.levels)
        add(l, b.y);
}

// Ranks the keys of an axis record by record, in key order, for code spaces too large for the
// mixed radix: the axis becomes one level whose positions are the ranks plus one.
bool rankBySorting(const std::vector<kw::MolapLevelPtr>& levels, const KW_map* map,
                   std::int32_t records, kw::MolapCancel& cancel, AxisCode& axis) {
    std::vector<std::int32_t> keyed;
    Block block;
    const bool complete = forEachBlock(map, records, cancel, block, [&](const Block& b) {
        for (std::int32_t i = 0; i < b.n; ++i) {
            bool valid = true;
            for (const kw::MolapLevelPtr& l : levels)
                valid = valid && l->positions[at(b.record[i])] != KW_POS_ERROR;
            if (valid) keyed.push_back(b.record[i]);
        }
    });
    if (!complete) return false;
    auto differ = [&](std::int32_t a, std::int32_t b) {
        for (const kw::MolapLevelPtr& l : levels)
            if (l->positions[at(a)] != l->positions[at(b)]) return true;
        return false;
    };
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
        if (i > 0 && differ(keyed[i - 1], keyed[i])) ++rank;
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

// Adds one record's Z values (or only the record, without Z items) to a slot's cells.
inline void addRecord(kw::KW_cell* cell, const std::vector<ZColumn>& z, std::int32_t record) {
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
}

// Everything the two ways of finding cells share.
struct Pass {
    kw::MolapResult& r;
    kw::MolapSlots& slots;
    const AxisCode& x;
    const AxisCode& y;
    const std::vector<ZColumn>& z;
    const KW_map* map;
    std::int32_t records;
    std::int32_t shown;  // records of the map
    kw::MolapCancel& cancel;
    kw::MolapScratch& scratch;

    std::int32_t newCell(std::uint64_t xc, std::uint64_t yc, std::int32_t record) {
        const auto slot = static_cast<std::int32_t>(slots.record.size());
        slots.x.push_back(xc);
        slots.y.push_back(yc);
        slots.record.push_back(record);
        r.cells.resize(r.cells.size() + at(r.zCount));
        return slot;
    }
    kw::KW_cell* cellOf(std::int32_t slot) { return r.cells.data() + at(slot) * at(r.zCount); }

    // A direct table over the cell codes; Z values added as the records come.
    bool direct() {
        r.index.initDirect(slots.xSpace * slots.ySpace);
        Block block;
        return forEachBlock(map, records, cancel, block, [&](Block& b) {
            encode(b, x, y);
            for (std::int32_t i = 0; i < b.n; ++i) {
                if (b.bad[i] & kBad) continue;
                std::int32_t* entry = r.index.directEntry(b.x[i] * slots.ySpace + b.y[i]);
                if (*entry == 0) *entry = newCell(b.x[i], b.y[i], b.record[i]) + 1;
                addRecord(cellOf(*entry - 1), z, b.record[i]);
            }
        });
    }

    // Sorted (cell code, record) pairs: packed into one word (the code above 32 bits) and
    // radix-sorted, or for code spaces beyond 32 bits kept apart and sorted by comparison.
    bool sorted() {
        const std::uint64_t ySpace = slots.ySpace;
        // Every shown record may make a pair.
        const auto reserve = static_cast<std::size_t>(shown);
        Block block;
        if (slots.xSpace * ySpace <= std::uint64_t{1} << 32) {
            std::vector<std::uint64_t>& pairs = scratch.pairs;
            pairs.clear();
            kw::reserveLarge(pairs, reserve);
            const bool complete = forEachBlock(map, records, cancel, block, [&](Block& b) {
                encode(b, x, y);
                for (std::int32_t i = 0; i < b.n; ++i)
                    if (!(b.bad[i] & kBad))
                        pairs.push_back((b.x[i] * ySpace + b.y[i]) << 32 |
                                        static_cast<std::uint32_t>(b.record[i]));
            });
            return complete && radixSortCodes(pairs) &&
                   walk(
                       pairs, [](std::uint64_t v) { return v >> 32; },
                       [](std::uint64_t v) { return static_cast<std::int32_t>(v & 0xFFFFFFFFu); });
        }
        using Pair = std::pair<std::uint64_t, std::int32_t>;
        std::vector<Pair> pairs;
        pairs.reserve(reserve);
        const bool complete = forEachBlock(map, records, cancel, block, [&](Block& b) {
            encode(b, x, y);
            for (std::int32_t i = 0; i < b.n; ++i)
                if (!(b.bad[i] & kBad)) pairs.emplace_back(b.x[i] * ySpace + b.y[i], b.record[i]);
        });
        if (!complete) return false;
        std::sort(pairs.begin(), pairs.end());
        return walk(
            pairs, [](const Pair& v) { return v.first; }, [](const Pair& v) { return v.second; });
    }

    // Each run of equal codes is one cell, in code order. The Z positions of the records are
    // gathered in pair order first: one tight loop per Z item keeps many memory reads in
    // flight, where reading them run by run would wait for each in turn.
    template <typename Pairs, typename Code, typename Record>
    bool walk(const Pairs& pairs, Code codeOf, Record recordOf) {
        const std::size_t n = pairs.size();
        scratch.zPositions.resize(z.size());
        for (std::size_t k = 0; k < z.size(); ++k) {
            std::vector<std::int32_t>& gathered = scratch.zPositions[k];
            kw::sizeLarge(gathered, n);
            const std::int32_t* positions = z[k].positions;
            for (std::size_t i = 0; i < n; ++i)
                gathered[i] = positions[recordOf(pairs[i])];
        }
        if (cancel.poll()) return false;
        std::vector<std::uint64_t>& codes = r.index.sortedCodes();
        // The X code of the current run, found by division only when it changes.
        std::uint64_t xc = 0, xFirst = 0;
        for (std::size_t i = 0; i < n;) {
            const std::uint64_t code = codeOf(pairs[i]);
            if (code >= xFirst + slots.ySpace) {
                xc = code / slots.ySpace;
                xFirst = xc * slots.ySpace;
            }
            const std::int32_t slot = newCell(xc, code - xFirst, recordOf(pairs[i]));
            codes.push_back(code);
            std::size_t end = i + 1;
            while (end < n && codeOf(pairs[end]) == code)
                ++end;
            kw::KW_cell* cell = cellOf(slot);
            if (z.empty()) cell->count = static_cast<std::int32_t>(end - i);
            for (std::size_t k = 0; k < z.size(); ++k, ++cell) {
                const std::int32_t* gathered = scratch.zPositions[k].data();
                const double* values = z[k].values;
                cell->count = static_cast<std::int32_t>(end - i);
                for (std::size_t j = i; j < end; ++j) {
                    const std::int32_t p = gathered[j];
                    if (p < KW_POS_FIRST_VALUE) continue;
                    ++cell->values;
                    cell->sum += values[p];
                    if (p < cell->smallest) cell->smallest = p;
                    if (p > cell->largest) cell->largest = p;
                }
            }
            i = end;
            if ((slot & 63) == 0 && cancel.poll()) return false;
        }
        return true;
    }

    // LSD radix sort on the code bits (above bit 32), at most 11 bits a pass. Stable, so the
    // records of a cell stay in record order.
    bool radixSortCodes(std::vector<std::uint64_t>& a) {
        const int bits = std::bit_width(slots.xSpace * slots.ySpace - 1);
        if (a.size() < 2 || bits == 0) return true;
        const int passes = (bits + 10) / 11;
        const int digit = (bits + passes - 1) / passes;
        std::vector<std::uint64_t>& b = scratch.sortBuffer;
        kw::sizeLarge(b, a.size());
        std::vector<std::size_t> start(at(1) << digit);
        const std::uint64_t mask = (std::uint64_t{1} << digit) - 1;
        for (int pass = 0; pass < passes; ++pass) {
            if (cancel.poll()) return false;
            const int shift = 32 + pass * digit;
            std::fill(start.begin(), start.end(), 0);
            for (const std::uint64_t v : a)
                ++start[at((v >> shift) & mask)];
            std::size_t sum = 0;
            for (std::size_t& s : start)
                sum += std::exchange(s, sum);
            for (const std::uint64_t v : a)
                b[start[at((v >> shift) & mask)]++] = v;
            a.swap(b);
        }
        return true;
    }
};

}  // namespace

namespace kw {

std::int32_t MolapCellIndex::find(std::uint64_t code) const {
    if (!direct_.empty()) return code < direct_.size() ? direct_[at(code)] - 1 : -1;
    const auto it = std::lower_bound(sorted_.begin(), sorted_.end(), code);
    return it != sorted_.end() && *it == code ? static_cast<std::int32_t>(it - sorted_.begin())
                                              : -1;
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
        // Rank the larger axis record by record, then the other if need be (both then hold
        // fewer keys than there are records, so their product fits).
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

    slots.x.clear();
    slots.y.clear();
    slots.record.clear();
    slots.xSpace = x.space;
    slots.ySpace = y.space;
    r.ySpace = y.space;
    if (cellSpace == 0) return !cancel.poll();  // some level has no value at all
    const std::int32_t shown = KWgetDataCount();
    const auto expected = at(std::min<std::uint64_t>(
        {cellSpace, static_cast<std::uint64_t>(shown), std::uint64_t{1} << 21}));
    kw::reserveLarge(r.cells, expected * at(r.zCount));
    kw::reserveLarge(slots.x, expected);
    kw::reserveLarge(slots.y, expected);
    kw::reserveLarge(slots.record, expected);
    if (cellSpace > kDirectSpace) kw::reserveLarge(r.index.sortedCodes(), expected);
    Pass pass{r, slots, x, y, z, map, records_, shown, cancel, molap_.scratch};
    return cellSpace <= kDirectSpace ? pass.direct() : pass.sorted();
}

std::int32_t KW_search::KWexecuteMolap(const std::vector<std::int32_t>& xItems,
                                       const std::vector<std::int32_t>& yItems,
                                       const std::vector<std::int32_t>& zItems,
                                       const std::vector<std::int32_t>& kinds,
                                       std::int32_t xTotalMode, std::int32_t yTotalMode) {
    const kw::MolapCancel::Running running(molap_.cancel);
    // The levels were made by SetMolapX/Y/Z for these very lists; a call that does not match
    // them changes nothing, the shown result included.
    if (xItems != molap_.x.items || yItems != molap_.y.items || zItems != molap_.z.items)
        return KW_ERR_ARGUMENT;
    if (!zItems.empty() && kinds.size() != zItems.size()) return KW_ERR_ARGUMENT;
    // The previous result goes now, whatever happens; its memory serves the new one.
    std::unique_ptr<kw::MolapResult> old = std::move(molap_.result);
    molap_.drill.reset();
    try {
        try {
            std::unique_ptr<kw::MolapResult> r = kw::recycleMolap(std::move(old));
            r->xLevels = molap_.x.levels;
            r->yLevels = molap_.y.levels;
            r->zLevels = molap_.z.levels;
            r->kinds = zItems.empty() ? std::vector<std::int32_t>{0} : kinds;
            r->zCount = static_cast<std::int32_t>(r->kinds.size());
            kw::MolapSlots& slots = molap_.scratch.cellSlots;
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
