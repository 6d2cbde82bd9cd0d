// The aggregation's keys in key order, with the total and subtotal keys of each axis, and the
// total cells.
//
// A subtotal of level k closes a group of ordinary keys equal in levels 0..k and sorts right
// after it, deeper subtotals first; the grand total sorts last. A total cell holds the merged
// ordinary cells of its group, row by row: (X total, Y key) for every ordinary Y key, then
// (any X key, Y total) for every X key, X totals included, so the corner cells exist. Total
// cells are dense: a group with no record in a row still has its cell there, with count 0.
#include <algorithm>
#include <new>
#include <numeric>

#include "engine/kw_molap.h"

namespace kw {

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

// The ordinary keys of one axis: the distinct codes of the slots in ascending order (which is
// key order), one record holding each, and each slot's key index.
struct RankedKeys {
    std::vector<std::uint64_t> codes;
    std::vector<std::int32_t> records;
    std::vector<std::int32_t> ofSlot;
};

RankedKeys rankKeys(std::span<const std::uint64_t> codes, std::uint64_t space,
                    std::span<const std::int32_t> records) {
    RankedKeys k;
    const std::size_t n = codes.size();
    k.ofSlot.resize(n);
    if (space <= std::max<std::uint64_t>(std::uint64_t{1} << 16, 4 * n)) {
        // A direct table over the code space: slot first seen per code, then its key index.
        std::vector<std::int32_t> table(at(space), -1);
        for (std::size_t s = 0; s < n; ++s)
            if (table[at(codes[s])] < 0) table[at(codes[s])] = static_cast<std::int32_t>(s);
        std::int32_t next = 0;
        for (std::size_t c = 0; c < table.size(); ++c) {
            if (table[c] < 0) continue;
            k.codes.push_back(c);
            k.records.push_back(records[at(table[c])]);
            table[c] = next++;
        }
        for (std::size_t s = 0; s < n; ++s)
            k.ofSlot[s] = table[at(codes[s])];
        return k;
    }
    std::vector<std::int32_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::int32_t a, std::int32_t b) { return codes[at(a)] < codes[at(b)]; });
    for (const std::int32_t s : order) {
        if (k.codes.empty() || k.codes.back() != codes[at(s)]) {
            k.codes.push_back(codes[at(s)]);
            k.records.push_back(records[at(s)]);
        }
        k.ofSlot[at(s)] = static_cast<std::int32_t>(k.codes.size()) - 1;
    }
    return k;
}

// Lays out the keys of an axis in key order with the totals of its mode.
void layoutAxis(MolapAxisKeys& k, const std::vector<MolapLevelPtr>& levels,
                const RankedKeys& ranked, std::int32_t mode) {
    const auto n = static_cast<std::int32_t>(levels.size());
    k.levels = n;
    if (n == 0) {
        // No items: one key that every cell shares.
        k.codes = {0};
        k.baseOf = {0};
        k.totalOf = {-1};
        k.entryOfBase = {0};
        return;
    }
    const auto bases = static_cast<std::int32_t>(ranked.codes.size());
    const std::int32_t subtotalLevels = mode == 2 ? n - 1 : 0;
    const bool grand = (mode == 1 || mode == 2) && bases > 0;
    k.codes = ranked.codes;
    k.perBase = subtotalLevels + (grand ? 1 : 0);
    k.ancestors.assign(at(bases) * at(k.perBase), -1);
    k.entryOfBase.resize(at(bases));

    std::vector<std::int32_t> base(at(bases) * at(n));
    for (std::int32_t b = 0; b < bases; ++b)
        for (std::int32_t l = 0; l < n; ++l)
            base[at(b) * at(n) + at(l)] = levels[at(l)]->positions[at(ranked.records[at(b)])];
    auto keyOf = [&](std::int32_t b) { return base.data() + at(b) * at(n); };

    std::int32_t groupStart[kMolapMaxLevels] = {};
    auto appendTotal = [&](const std::int32_t* from, std::int32_t valueLevels) {
        const std::int32_t t = k.totals();
        k.entryOfTotal.push_back(k.entries());
        k.baseOf.push_back(-1);
        k.totalOf.push_back(t);
        for (std::int32_t l = 0; l < n; ++l)
            k.components.push_back(l < valueLevels ? from[l] : kMolapTotal);
        return t;
    };
    // The subtotal of level `level` over the group that ends with ordinary key `last`.
    auto closeGroup = [&](std::int32_t level, std::int32_t last) {
        const std::int32_t t = appendTotal(keyOf(last), level + 1);
        for (std::int32_t b = groupStart[level]; b <= last; ++b)
            k.ancestors[at(b) * at(k.perBase) + at(level)] = t;
    };
    for (std::int32_t b = 0; b < bases; ++b) {
        if (b > 0 && subtotalLevels > 0) {
            std::int32_t l = 0;
            while (l < subtotalLevels && keyOf(b - 1)[l] == keyOf(b)[l])
                ++l;
            for (std::int32_t level = subtotalLevels - 1; level >= l; --level) {
                closeGroup(level, b - 1);
                groupStart[level] = b;
            }
        }
        k.entryOfBase[at(b)] = k.entries();
        k.baseOf.push_back(b);
        k.totalOf.push_back(-1);
        k.components.insert(k.components.end(), keyOf(b), keyOf(b) + n);
    }
    if (bases == 0) return;
    for (std::int32_t level = subtotalLevels - 1; level >= 0; --level)
        closeGroup(level, bases - 1);
    if (grand) {
        const std::int32_t t = appendTotal(nullptr, 0);
        for (std::int32_t b = 0; b < bases; ++b)
            k.ancestors[at(b) * at(k.perBase) + at(subtotalLevels)] = t;
    }
}

// rows x columns x zCount cells, each preset empty. Throws std::bad_alloc when that is more
// than memory could ever hold.
void allocateCells(std::vector<KW_cell>& cells, std::int32_t rows, std::int32_t columns,
                   std::int32_t zCount) {
    std::uint64_t n;
    if (__builtin_mul_overflow(static_cast<std::uint64_t>(rows),
                               static_cast<std::uint64_t>(columns), &n) ||
        __builtin_mul_overflow(n, static_cast<std::uint64_t>(zCount), &n) ||
        n > (std::uint64_t{1} << 40) / sizeof(KW_cell))
        throw std::bad_alloc();
    cells.clear();
    sizeLarge(cells, at(n));
}

void mergeInto(KW_cell* dst, const KW_cell* src, std::size_t zCount) {
    for (std::size_t z = 0; z < zCount; ++z)
        dst[z].merge(src[z]);
}

// (X total, ordinary Y key) cells.
void totalColumns(MolapResult& r, const RankedKeys& x, const RankedKeys& y) {
    const MolapAxisKeys& xk = r.x;
    if (xk.totals() == 0) return;
    const std::size_t zCount = at(r.zCount), rows = at(r.y.bases()), per = at(xk.perBase);
    allocateCells(r.xTotals, xk.totals(), r.y.bases(), r.zCount);
    for (std::size_t s = 0; s < x.ofSlot.size(); ++s) {
        const KW_cell* src = r.cells.data() + s * zCount;
        const std::size_t yb = at(y.ofSlot[s]);
        const std::int32_t* totals = xk.ancestors.data() + at(x.ofSlot[s]) * per;
        for (std::size_t a = 0; a < per; ++a)
            mergeInto(r.xTotals.data() + (at(totals[a]) * rows + yb) * zCount, src, zCount);
    }
}

// (any X key, Y total) cells.
void totalRows(MolapResult& r, const RankedKeys& x, const RankedKeys& y) {
    const MolapAxisKeys& yk = r.y;
    if (yk.totals() == 0) return;
    const std::size_t zCount = at(r.zCount), columns = at(r.x.entries()), per = at(yk.perBase);
    allocateCells(r.yTotals, yk.totals(), r.x.entries(), r.zCount);
    auto add = [&](const KW_cell* src, std::size_t xe, std::size_t yb) {
        const std::int32_t* totals = yk.ancestors.data() + yb * per;
        for (std::size_t a = 0; a < per; ++a)
            mergeInto(r.yTotals.data() + (at(totals[a]) * columns + xe) * zCount, src, zCount);
    };
    for (std::size_t s = 0; s < y.ofSlot.size(); ++s)
        add(r.cells.data() + s * zCount, at(r.x.entryOfBase[at(x.ofSlot[s])]), at(y.ofSlot[s]));
    const std::size_t rows = at(r.y.bases());
    for (std::int32_t t = 0; t < r.x.totals(); ++t)
        for (std::size_t yb = 0; yb < rows; ++yb)
            add(r.xTotals.data() + (at(t) * rows + yb) * zCount, at(r.x.entryOfTotal[at(t)]), yb);
}

// Runs a total step; a failure travels on with the step's name.
template <typename F>
void totalStep(KW_error& err, const char* method, F&& step) {
    try {
        try {
            step();
        } catch (const std::bad_alloc&) {
            KWfail(err, KW_ERR_NEW_FAILED, "new failed.");
        }
    } catch (...) {
        KWpassOn(err, method);
    }
}

}  // namespace

void finishMolap(MolapResult& r, const MolapSlots& slots, std::int32_t xMode, std::int32_t yMode,
                 KW_error& err) {
    const RankedKeys x = rankKeys(slots.x, slots.xSpace, slots.record);
    const RankedKeys y = rankKeys(slots.y, slots.ySpace, slots.record);
    layoutAxis(r.x, r.xLevels, x, xMode);
    layoutAxis(r.y, r.yLevels, y, yMode);
    totalStep(err, xMode == 2 ? "KW_search::GMolapXSubTotal()" : "KW_search::GMolapXTotal()",
              [&] { totalColumns(r, x, y); });
    totalStep(err, yMode == 2 ? "KW_search::GMolapYSubTotal()" : "KW_search::GMolapYTotal()",
              [&] { totalRows(r, x, y); });
}

}  // namespace kw
