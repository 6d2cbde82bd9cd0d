// The aggregation's keys in key order, with the total and subtotal keys of each axis, and the
// total cells.
//
// A subtotal of level k closes a group of ordinary keys equal in levels 0..k and sorts right
// after it, deeper subtotals first; the grand total sorts last. A total cell holds the merged
// ordinary cells of its group, row by row: (X total, Y key) for every ordinary Y key, then
// (any X key, Y total) for every X key, X totals included, so the corner cells exist. Total
// cells are dense: a group with no record in a row still has its cell there, with count 0.
// A cell is merged into the innermost total that holds it and each total into the one that
// holds it, deepest first: every level costs one merge per cell of the level below.
#include <algorithm>
#include <new>

#include "engine/kw_molap.h"

namespace kw {

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

// Lays out the keys of an axis in key order with the totals of its mode.
void layoutAxis(MolapAxisKeys& k, const std::vector<MolapLevelPtr>& levels,
                const MolapOrdinaryKeys& ordinary, std::int32_t mode) {
    const auto n = static_cast<std::int32_t>(levels.size());
    k.levels = n;
    if (n == 0) {
        // No items: one key that every cell shares.
        k.codes = {0};
        k.baseOf = {0};
        k.totalOf = {-1};
        k.entryOfBase = {0};
        k.innermost = {-1};
        return;
    }
    const auto bases = static_cast<std::int32_t>(ordinary.codes.size());
    const std::int32_t subtotalLevels = mode == 2 ? n - 1 : 0;
    const bool grand = (mode == 1 || mode == 2) && bases > 0;
    k.codes = ordinary.codes;
    k.innermost.assign(at(bases), -1);
    k.entryOfBase.resize(at(bases));
    auto keyOf = [&](std::int32_t b) { return ordinary.positions.data() + at(b) * at(n); };

    std::int32_t groupStart[kMolapMaxLevels] = {};
    // Per level: the totals one level deeper closed since its group began (its children).
    std::vector<std::int32_t> children[kMolapMaxLevels];
    std::vector<std::int32_t> grandChildren;
    auto appendTotal = [&](const std::int32_t* from, std::int32_t valueLevels) {
        const std::int32_t t = k.totals();
        k.entryOfTotal.push_back(k.entries());
        k.baseOf.push_back(-1);
        k.totalOf.push_back(t);
        k.parent.push_back(-1);
        k.depth.push_back(valueLevels);
        for (std::int32_t l = 0; l < n; ++l)
            k.components.push_back(l < valueLevels ? from[l] : kMolapTotal);
        return t;
    };
    // The subtotal of level `level` over the group that ends with ordinary key `last`.
    auto closeGroup = [&](std::int32_t level, std::int32_t last) {
        const std::int32_t t = appendTotal(keyOf(last), level + 1);
        if (level == subtotalLevels - 1) {
            for (std::int32_t b = groupStart[level]; b <= last; ++b)
                k.innermost[at(b)] = t;
        }
        for (const std::int32_t c : children[level])
            k.parent[at(c)] = t;
        children[level].clear();
        (level > 0 ? children[level - 1] : grandChildren).push_back(t);
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
        for (const std::int32_t c : grandChildren)
            k.parent[at(c)] = t;
        if (subtotalLevels == 0) std::fill(k.innermost.begin(), k.innermost.end(), t);
    }
}

// rows x columns x zCount cells, each preset empty. Throws std::bad_alloc when that is more
// than memory could ever hold.
void allocateCells(LargeVector<KW_cell>& cells, std::int32_t rows, std::int32_t columns,
                   std::int32_t zCount) {
    std::uint64_t n;
    if (__builtin_mul_overflow(static_cast<std::uint64_t>(rows),
                               static_cast<std::uint64_t>(columns), &n) ||
        __builtin_mul_overflow(n, static_cast<std::uint64_t>(zCount), &n) ||
        n > (std::uint64_t{1} << 40) / sizeof(KW_cell))
        throw std::bad_alloc();
    cells.assign(at(n), KW_cell{});
}

void mergeInto(KW_cell* dst, const KW_cell* src, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        dst[i].merge(src[i]);
}

// Merges every total row of a store (`width` cells each) into its parent's row, deepest first,
// so that a total adds up the totals one level below it.
void mergeUpwards(const MolapAxisKeys& k, LargeVector<KW_cell>& store, std::size_t width) {
    for (std::int32_t depth = k.levels - 1; depth > 0; --depth)
        for (std::int32_t t = 0; t < k.totals(); ++t)
            if (k.depth[at(t)] == depth && k.parent[at(t)] >= 0)
                mergeInto(store.data() + at(k.parent[at(t)]) * width, store.data() + at(t) * width,
                          width);
}

// (X total, ordinary Y key) cells.
void totalColumns(MolapResult& r, const MolapSlots& slots) {
    const MolapAxisKeys& xk = r.x;
    if (xk.totals() == 0) return;
    const std::size_t zCount = at(r.zCount), rows = at(r.y.bases());
    allocateCells(r.xTotals, xk.totals(), r.y.bases(), r.zCount);
    for (std::size_t s = 0; s < slots.xKey.size(); ++s) {
        const std::int32_t t = xk.innermost[at(slots.xKey[s])];
        mergeInto(r.xTotals.data() + (at(t) * rows + at(slots.yKey[s])) * zCount,
                  r.cells.data() + s * zCount, zCount);
    }
    mergeUpwards(xk, r.xTotals, rows * zCount);
}

// (any X key, Y total) cells.
void totalRows(MolapResult& r, const MolapSlots& slots) {
    const MolapAxisKeys& yk = r.y;
    if (yk.totals() == 0) return;
    const std::size_t zCount = at(r.zCount), columns = at(r.x.entries());
    allocateCells(r.yTotals, yk.totals(), r.x.entries(), r.zCount);
    auto add = [&](const KW_cell* src, std::size_t xe, std::size_t yb) {
        const std::int32_t t = yk.innermost[yb];
        mergeInto(r.yTotals.data() + (at(t) * columns + xe) * zCount, src, zCount);
    };
    for (std::size_t s = 0; s < slots.yKey.size(); ++s)
        add(r.cells.data() + s * zCount, at(r.x.entryOfBase[at(slots.xKey[s])]), at(slots.yKey[s]));
    const std::size_t rows = at(r.y.bases());
    for (std::int32_t t = 0; t < r.x.totals(); ++t)
        for (std::size_t yb = 0; yb < rows; ++yb)
            add(r.xTotals.data() + (at(t) * rows + yb) * zCount, at(r.x.entryOfTotal[at(t)]), yb);
    mergeUpwards(yk, r.yTotals, columns * zCount);
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

void finishMolap(MolapResult& r, MolapSlots& slots, std::int32_t xMode, std::int32_t yMode,
                 KW_error& err) {
    layoutAxis(r.x, r.xLevels, slots.x, xMode);
    layoutAxis(r.y, r.yLevels, slots.y, yMode);
    totalStep(err, xMode == 2 ? "KW_search::GMolapXSubTotal()" : "KW_search::GMolapXTotal()",
              [&] { totalColumns(r, slots); });
    totalStep(err, yMode == 2 ? "KW_search::GMolapYSubTotal()" : "KW_search::GMolapYTotal()",
              [&] { totalRows(r, slots); });
}

}  // namespace kw
