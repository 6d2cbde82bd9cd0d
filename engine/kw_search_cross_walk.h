// The one pass of the cross tabulation, every record of a map (or all records) with the cell
// it falls into, and the civil-day arithmetic of Date values. Shared by the aggregation, the
// reads and the drill, so all of them see the same cells and the same days.
//
// A record falls into cell (x, y) when its X value lies in X category x and its Y value in Y
// category y. A MultiAns axis puts a record once into every category that one of its answers
// falls in; a record in several X and Y categories visits every pair once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/kw_dates.h"
#include "engine/kw_map.h"
#include "engine/kw_map_walk.h"

namespace kw {

// One axis as the pass reads it.
struct CrossAxisPass {
    const std::int32_t* values = nullptr;    // record -> position (MultiAns: answer -> position)
    const std::int32_t* starts = nullptr;    // MultiAns answer offsets, else null
    const std::int32_t* category = nullptr;  // position -> category, -1 for none
    std::int32_t count = 0;                  // categories
};

// Calls f(cell, record) for every record of the map (null: records 0 .. records - 1) and
// every cell it falls into, records ascending. Throws std::bad_alloc (MultiAns scratch only).
template <typename F>
void ForEachCrossCell(const KW_map* map, std::int32_t records, const CrossAxisPass& x,
                      const CrossAxisPass& y, F&& f) {
    const auto xCount = static_cast<std::size_t>(x.count);
    auto walk = [&](auto&& body) {
        if (map) {
            ForEachRecord(*map, body);
        } else {
            for (std::int32_t r = 0; r < records; ++r)
                body(r);
        }
    };
    if (!x.starts && !y.starts) {
        const std::int32_t* xv = x.values;
        const std::int32_t* yv = y.values;
        const std::int32_t* xc = x.category;
        const std::int32_t* yc = y.category;
        walk([&](std::int32_t r) {
            const std::int32_t cx = xc[xv[r]];
            const std::int32_t cy = yc[yv[r]];
            if ((cx | cy) >= 0) f(static_cast<std::size_t>(cy) * xCount + cx, r);
        });
        return;
    }
    // Distinct categories of one record; stamp[c] == r + 1 once c was taken for record r.
    struct Gather {
        std::vector<std::int32_t> stamp, found;
        std::int32_t n = 0;
        explicit Gather(std::int32_t count)
            : stamp(static_cast<std::size_t>(count)), found(static_cast<std::size_t>(count) + 1) {}
        void operator()(const CrossAxisPass& a, std::int32_t r) {
            n = 0;
            if (!a.starts) {
                const std::int32_t c = a.category[a.values[r]];
                if (c >= 0) found[static_cast<std::size_t>(n++)] = c;
                return;
            }
            for (std::int32_t k = a.starts[r], end = a.starts[r + 1]; k < end; ++k) {
                const std::int32_t c = a.category[a.values[k]];
                if (c >= 0 && stamp[static_cast<std::size_t>(c)] != r + 1) {
                    stamp[static_cast<std::size_t>(c)] = r + 1;
                    found[static_cast<std::size_t>(n++)] = c;
                }
            }
        }
    };
    Gather gx(x.count), gy(y.count);
    walk([&](std::int32_t r) {
        gx(x, r);
        if (gx.n == 0) return;
        gy(y, r);
        for (std::int32_t j = 0; j < gy.n; ++j) {
            const std::size_t row =
                static_cast<std::size_t>(gy.found[static_cast<std::size_t>(j)]) * xCount;
            for (std::int32_t i = 0; i < gx.n; ++i)
                f(row + static_cast<std::size_t>(gx.found[static_cast<std::size_t>(i)]), r);
        }
    });
}

}  // namespace kw
