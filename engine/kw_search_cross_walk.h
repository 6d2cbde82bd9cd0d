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

// Days since 1970-01-01 of a yyyymmdd date (proleptic Gregorian; no time zone, no daylight
// saving), and back.
constexpr std::int64_t DaysFromYmd(std::int32_t ymd) {
    std::int64_t y = ymd / 10000;
    const std::int64_t m = ymd / 100 % 100;
    const std::int64_t d = ymd % 100;
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr std::int64_t YmdFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2);
    return y * 10000 + m * 100 + d;
}

static_assert(DaysFromYmd(19700101) == 0 && DaysFromYmd(19691231) == -1 &&
              DaysFromYmd(20000301) == 11017 && YmdFromDays(11017) == 20000301 &&
              YmdFromDays(-1) == 19691231 && YmdFromDays(DaysFromYmd(16000229)) == 16000229);

}  // namespace kw
