// KW_search: the cross tabulation's aggregation.
//
// One pass over the records of the current map puts each record into its cell (two table
// lookups, kw_search_cross_walk.h) and accumulates there. Extremes are kept as dictionary
// positions, which sort as the values do, and turned into values once at the end. Unique
// counts and percentiles need every cell's Z positions: the (cell, position) pairs are
// sorted by two counting-sort passes (position, then cell), so each cell's positions come out
// ascending in time linear in the records, with no X x Z counter table to clear.
#include <cmath>
#include <limits>
#include <new>

#include "engine/kw_search.h"
#include "engine/kw_search_cross_walk.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

// What the pass reads besides the axes.
struct CrossInput {
    const KW_map* map = nullptr;
    std::int32_t records = 0;
    kw::CrossAxisPass x, y;
    const kw::ItemBlock* z = nullptr;  // kinds 1 to 7
    double p = 0;                      // kind 7
    std::size_t shown = 0;             // records of the map: the usual number of visits
    kw::CrossScratch* scratch = nullptr;
};

template <typename F>
void forEachCell(const CrossInput& in, F&& f) {
    kw::ForEachCrossCell(in.map, in.records, in.x, in.y, std::forward<F>(f));
}

// Calls f(cell, position) for every record whose Z value is ordinary.
template <typename F>
void forEachZ(const CrossInput& in, F&& f) {
    const std::int32_t* zv = in.z->values.data();
    forEachCell(in, [&](std::size_t cell, std::int32_t r) {
        const std::int32_t zp = zv[r];
        if (zp >= KW_POS_FIRST_VALUE) f(cell, zp);
    });
}

// Sum and average: the int cell counts the values, the double cell sums them; Integer values
// as they are, Date as the seconds of its civil day, Time as seconds since midnight (exact in
// 64-bit integers), Float in double. String and Code values are only counted.
void sumValues(const CrossInput& in, kw::CrossResult& r) {
    const kw::ItemBlock& z = *in.z;
    const std::size_t cells = r.flags.size();
    r.ints.assign(cells, 0);
    r.doubles.assign(cells, 0.0);
    const std::int32_t type = z.def.type;
    if (type == KW_TYPE_FLOAT) {
        std::vector<double> value(z.dict.size());
        for (std::size_t p = KW_POS_FIRST_VALUE; p < value.size(); ++p)
            value[p] = z.dict[p].asDouble();
        forEachZ(in, [&](std::size_t cell, std::int32_t zp) {
            ++r.ints[cell];
            r.doubles[cell] += value[at(zp)];
        });
    } else if (kw::isIntegerType(type)) {
        std::vector<std::int64_t> value(z.dict.size());
        for (std::size_t p = KW_POS_FIRST_VALUE; p < value.size(); ++p) {
            const std::int32_t v = z.dict[p].high;
            value[p] = type == KW_TYPE_INTEGER ? v
                       : type == KW_TYPE_DATE  ? kw::DaysFromYmd(v) * 86400
                                               : v / 10000 * 3600 + v / 100 % 100 * 60 + v % 100;
        }
        std::vector<std::int64_t> sums(cells, 0);
        forEachZ(in, [&](std::size_t cell, std::int32_t zp) {
            ++r.ints[cell];
            sums[cell] += value[at(zp)];
        });
        for (std::size_t c = 0; c < cells; ++c)
            r.doubles[c] = static_cast<double>(sums[c]);
    } else {
        forEachZ(in, [&](std::size_t cell, std::int32_t) { ++r.ints[cell]; });
    }
    if (r.kind == KW_CROSS_AVERAGE)
        for (std::size_t c = 0; c < cells; ++c)
            if (r.ints[c] > 0) r.doubles[c] /= r.ints[c];
    for (std::size_t c = 0; c < cells; ++c)
        r.flags[c] = r.ints[c] > 0;
}

// Z value of a position for the int cell: Integer, Date and Time items keep the value there,
// the others the position.
std::int32_t intCellOf(const kw::ItemBlock& z, std::int32_t position) {
    return kw::isIntegerType(z.def.type) ? z.dict[at(position)].high : position;
}

void extremes(const CrossInput& in, kw::CrossResult& r) {
    const kw::ItemBlock& z = *in.z;
    const std::size_t cells = r.flags.size();
    const bool maximum = r.kind == KW_CROSS_MAXIMUM;
    constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();
    r.ints.assign(cells, maximum ? 0 : kNone);  // positions: every ordinary one is >= 2
    if (maximum) {
        forEachZ(in, [&](std::size_t cell, std::int32_t zp) {
            if (zp > r.ints[cell]) r.ints[cell] = zp;
        });
    } else {
        forEachZ(in, [&](std::size_t cell, std::int32_t zp) {
            if (zp < r.ints[cell]) r.ints[cell] = zp;
        });
    }
    const bool isFloat = z.def.type == KW_TYPE_FLOAT;
    const bool isInteger = kw::isIntegerType(z.def.type);
    if (isFloat) r.doubles.assign(cells, maximum ? 0.0 : 1.7e308);
    for (std::size_t c = 0; c < cells; ++c) {
        const std::int32_t pos = r.ints[c];
        r.flags[c] = pos >= KW_POS_FIRST_VALUE && pos != kNone;
        if (r.flags[c]) {
            if (isFloat) r.doubles[c] = z.dict[at(pos)].asDouble();
            r.ints[c] = intCellOf(z, pos);
        } else {
            // An empty cell reads as it always has: 0 or INT_MAX for numbers, -1 for no
            // position.
            r.ints[c] = isInteger ? (maximum ? 0 : kNone) : -1;
        }
    }
}

// kind 7: the first position from the top at which the cumulative count reaches p percent
// of the cell, compared exactly: cumulative * 100 >= p * n.
class Percentile {
public:
    explicit Percentile(double p) : p_(p), integral_(p == std::floor(p)) {}
    bool reaches(std::int64_t cumulative, std::int64_t n) const {
        if (integral_) return cumulative * 100 >= static_cast<std::int64_t>(p_) * n;
        return static_cast<long double>(cumulative) * 100 >=
               static_cast<long double>(p_) * static_cast<long double>(n);
    }

private:
    double p_;
    bool integral_;
};

void distinctValues(const CrossInput& in, kw::CrossResult& r) {
    const kw::ItemBlock& z = *in.z;
    const std::size_t cells = r.flags.size();
    const std::size_t positions = z.dict.size();

    // The pairs, and how many there are per position and per cell.
    std::vector<std::uint32_t>& pairCell = in.scratch->pairCell;
    std::vector<std::uint32_t>& pairPos = in.scratch->pairPos;
    pairCell.clear();
    pairPos.clear();
    pairCell.reserve(in.shown);
    pairPos.reserve(in.shown);
    std::vector<std::uint32_t> perPos(positions + 1, 0), cellStart(cells + 1, 0);
    forEachZ(in, [&](std::size_t cell, std::int32_t zp) {
        pairCell.push_back(static_cast<std::uint32_t>(cell));
        pairPos.push_back(static_cast<std::uint32_t>(zp));
        ++perPos[at(zp) + 1];
        ++cellStart[cell + 1];
    });
    for (std::size_t p = 1; p <= positions; ++p)
        perPos[p] += perPos[p - 1];
    for (std::size_t c = 1; c <= cells; ++c)
        cellStart[c] += cellStart[c - 1];

    // By position, then stably by cell: each cell's positions ascending.
    std::vector<std::uint32_t>& cellsByPos = in.scratch->cellsByPos;
    cellsByPos.resize(pairCell.size());
    {
        std::vector<std::uint32_t> next(perPos.begin(), perPos.end() - 1);
        for (std::size_t i = 0; i < pairCell.size(); ++i)
            cellsByPos[next[pairPos[i]]++] = pairCell[i];
    }
    std::vector<std::uint32_t>& posByCell = pairPos;  // reused: same size
    {
        std::vector<std::uint32_t> next(cellStart.begin(), cellStart.end() - 1);
        for (std::size_t p = 0; p < positions; ++p)
            for (std::uint32_t i = perPos[p]; i < perPos[p + 1]; ++i)
                posByCell[next[cellsByPos[i]]++] = static_cast<std::uint32_t>(p);
    }

    r.ints.assign(cells, 0);
    const Percentile percentile(in.p);
    for (std::size_t c = 0; c < cells; ++c) {
        const std::uint32_t* begin = posByCell.data() + cellStart[c];
        const std::uint32_t* end = posByCell.data() + cellStart[c + 1];
        if (begin == end) continue;
        r.flags[c] = 1;
        if (r.kind == KW_CROSS_UNIQUE) {
            std::int32_t distinct = 1;
            for (const std::uint32_t* q = begin + 1; q < end; ++q)
                distinct += *q != q[-1];
            r.ints[c] = distinct;
            continue;
        }
        const std::int64_t n = end - begin;
        std::int64_t cumulative = 0;
        const std::uint32_t* q = end;
        std::uint32_t value = 0;
        do {
            value = q[-1];
            for (; q > begin && q[-1] == value; --q)
                ++cumulative;
        } while (q > begin && !percentile.reaches(cumulative, n));
        r.ints[c] = intCellOf(z, static_cast<std::int32_t>(value));
    }
}

}  // namespace

std::int32_t KW_search::ExecuteCross(std::int32_t x, std::int32_t y, std::int32_t z,
                                     std::int32_t kind, double p) {
    if (kind < KW_CROSS_RECORDS || kind > KW_CROSS_PERCENT) return KW_ERR_ARGUMENT;
    const std::int32_t items[2] = {x, y};
    std::shared_ptr<const kw::CrossAxisTables> axes[2];
    for (int a : {kw::kCrossX, kw::kCrossY}) {
        const kw::CrossList& list = cross_.lists[a];
        if (list.active) {
            if (!list.built || list.item != items[a]) return KW_ERR_ARGUMENT;
            axes[a] = list.built;
        } else if (!validItem(items[a])) {
            return KW_ERR_ARGUMENT;
        }
    }
    if (kind != KW_CROSS_RECORDS) {
        // A MultiAns item has values per answer, not per record.
        if (!validItem(z) || kw::isMultiType(items_[at(z)].def.type)) return KW_ERR_ARGUMENT;
    }
    if (kind == KW_CROSS_PERCENT && !(p >= 0.0 && p <= 100.0)) return KW_ERR_ARGUMENT;

    try {
        for (int a : {kw::kCrossX, kw::kCrossY}) {
            if (axes[a]) continue;
            auto values = std::make_shared<kw::CrossAxisTables>();
            values->item = items[a];
            values->category.resize(items_[at(items[a])].dict.size());
            for (std::size_t i = 0; i < values->category.size(); ++i)
                values->category[i] = static_cast<std::int32_t>(i);
            axes[a] = std::move(values);
        }
        const std::size_t xCount = at(axes[kw::kCrossX]->count());
        const std::size_t yCount = at(axes[kw::kCrossY]->count());
        // Cells are addressed by int32 pairs and counted in uint32 by the sorts.
        if (yCount != 0 && xCount > std::numeric_limits<std::int32_t>::max() / yCount)
            throw std::bad_alloc();

        auto result = std::make_unique<kw::CrossResult>();
        result->kind = kind;
        result->axes[kw::kCrossX] = axes[kw::kCrossX];
        result->axes[kw::kCrossY] = axes[kw::kCrossY];
        result->map = current_;
        result->flags.assign(xCount * yCount, 0);

        CrossInput in;
        in.map = current_.get();
        in.records = records_;
        in.shown = at(KWgetDataCount());
        in.scratch = &cross_.scratch;
        kw::CrossAxisPass* passes[2] = {&in.x, &in.y};
        for (int a : {kw::kCrossX, kw::kCrossY}) {
            const kw::ItemBlock& b = items_[at(items[a])];
            passes[a]->values = b.values.data();
            passes[a]->starts = kw::isMultiType(b.def.type) ? b.starts.data() : nullptr;
            passes[a]->category = axes[a]->category.data();
            passes[a]->count = axes[a]->count();
        }
        if (kind != KW_CROSS_RECORDS) {
            in.z = &items_[at(z)];
            in.p = p;
            result->zItem = z;
            result->zType = in.z->def.type;
        }

        kw::CrossResult& r = *result;
        switch (kind) {
            case KW_CROSS_RECORDS:
            case KW_CROSS_COUNT:
                r.ints.assign(r.flags.size(), 0);
                if (kind == KW_CROSS_RECORDS)
                    forEachCell(in, [&](std::size_t cell, std::int32_t) { ++r.ints[cell]; });
                else
                    forEachZ(in, [&](std::size_t cell, std::int32_t) { ++r.ints[cell]; });
                for (std::size_t c = 0; c < r.flags.size(); ++c)
                    r.flags[c] = r.ints[c] > 0;
                break;
            case KW_CROSS_SUM:
            case KW_CROSS_AVERAGE:
                sumValues(in, r);
                break;
            case KW_CROSS_MAXIMUM:
            case KW_CROSS_MINIMUM:
                extremes(in, r);
                break;
            default:
                distinctValues(in, r);
                break;
        }
        cross_.result = std::move(result);
    } catch (const std::bad_alloc&) {
        cross_.result.reset();
        return KW_ERR_NO_MEMORY;
    }
    return 0;
}
