// The multi-dimensional aggregation on 1,000,000 records:
// - 5 X + 5 Y items of 3 codes each with two Z items and subtotals on both axes (about 1.3e5
//   cells with the dense total cells), on all records and within a map of about half of them;
// - 2 X + 2 Y items of 50 codes each without totals (about 9e5 cells);
// - growth: one X and one Y item of k values each, k^2 cells from 1e2 to 1e6;
// - a drill into one cell of the 2 + 2 result.
// Each run is one whole build (KWexecuteMolap), as the window starts it: a rebuild (which
// reuses the memory of the result it replaces, as after a drill) and, marked Cold, a first
// build with nothing kept. Counters give the cells and keys of the result.
//
// The data file is made once per run in a temporary folder from seeded random Integer items,
// written straight through the format writer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/generated_data.h"
#include "engine/kw_format.h"
#include "engine/kw_search.h"

namespace {

constexpr std::int32_t kRecords = 1'000'000;
constexpr std::int32_t kGrowth[] = {10, 32, 100, 316, 1000};

// Item numbers: ten 3-code items, four 50-code items, the growth pairs, two Z items.
constexpr std::int32_t kThree = 0;
constexpr std::int32_t kFifty = 10;
constexpr std::int32_t kGrowthItems = 14;
constexpr std::int32_t kZInteger = kGrowthItems + 2 * std::size(kGrowth);
constexpr std::int32_t kZFloat = kZInteger + 1;

// An item named at random, so that the names of the many items differ.
kw::ItemBlock item(std::int32_t type, std::int32_t distinct, std::mt19937& rng) {
    std::string name = "i" + std::to_string(rng() % 100000);
    return bench::uniformItem(name, type, distinct, kRecords, rng);
}

bench::OpenedData makeData() {
    std::mt19937 rng(2024);
    std::vector<kw::ItemBlock> items;
    for (int i = 0; i < 10; ++i)
        items.push_back(item(KW_TYPE_INTEGER, 3, rng));
    for (int i = 0; i < 4; ++i)
        items.push_back(item(KW_TYPE_INTEGER, 50, rng));
    for (const std::int32_t k : kGrowth)
        for (int i = 0; i < 2; ++i)
            items.push_back(item(KW_TYPE_INTEGER, k, rng));
    items.push_back(item(KW_TYPE_INTEGER, 10000, rng));
    items.push_back(item(KW_TYPE_FLOAT, 100000, rng));
    return bench::OpenedData(items, kRecords, rng);
}

bench::OpenedData& data() {
    static bench::OpenedData d = makeData();
    return d;
}

std::vector<std::int32_t> range(std::int32_t first, std::int32_t n) {
    std::vector<std::int32_t> v;
    for (std::int32_t i = 0; i < n; ++i)
        v.push_back(first + i);
    return v;
}

void run(benchmark::State& state, const std::vector<std::int32_t>& x,
         const std::vector<std::int32_t>& y, std::int32_t totalMode, bool withMap,
         bool cold = false) {
    bench::OpenedData& d = data();
    withMap ? d.s.KWmapSet(d.half) : d.s.KWmapClear();
    const std::vector<std::int32_t> z = {kZInteger, kZFloat}, kinds = {1, 2};
    d.s.ResetMolapX();
    d.s.ResetMolapY();
    d.s.ResetMolapZ();
    if (d.s.SetMolapX(x, std::vector<std::int32_t>(x.size(), 0)) != 0 ||
        d.s.SetMolapY(y, std::vector<std::int32_t>(y.size(), 0)) != 0 ||
        d.s.SetMolapZ(z, {0, 0}) != 0) {
        state.SkipWithError("settings refused");
        return;
    }
    for (auto _ : state) {
        if (cold) d.s.KWMolapClose();
        if (d.s.KWexecuteMolap(x, y, z, kinds, totalMode, totalMode) != 0)
            state.SkipWithError("build failed");
    }
    const std::int32_t xs = d.s.GetMolapXCount(), ys = d.s.GetMolapYCount();
    std::int64_t cells = 0;
    KW_search::MolapValue v;
    for (std::int32_t i = 0; i < xs; ++i)
        for (std::int32_t j = 0; j < ys; ++j)
            if (d.s.KWMolapGetData(i, j, 0, v) >= 0 && v.kind != KW_search::MolapValue::None)
                ++cells;
    state.counters["x_keys"] = xs;
    state.counters["y_keys"] = ys;
    state.counters["cells"] = static_cast<double>(cells);
    state.counters["records"] = d.s.KWgetDataCount();
}

void BM_FiveByFiveThreeCodesSubtotals(benchmark::State& state) {
    run(state, range(kThree, 5), range(kThree + 5, 5), 2, false);
}
void BM_FiveByFiveThreeCodesSubtotalsCold(benchmark::State& state) {
    run(state, range(kThree, 5), range(kThree + 5, 5), 2, false, true);
}
void BM_FiveByFiveThreeCodesSubtotalsHalfMap(benchmark::State& state) {
    run(state, range(kThree, 5), range(kThree + 5, 5), 2, true);
}
void BM_TwoByTwoFiftyCodesNoTotals(benchmark::State& state) {
    run(state, range(kFifty, 2), range(kFifty + 2, 2), 0, false);
}
void BM_TwoByTwoFiftyCodesNoTotalsCold(benchmark::State& state) {
    run(state, range(kFifty, 2), range(kFifty + 2, 2), 0, false, true);
}
// Drilling one ordinary cell of the 2 + 2 result, every level named, as the window does, into
// a new current map; the map is put back between runs, untimed.
void BM_DrillOneCell(benchmark::State& state) {
    bench::OpenedData& d = data();
    d.s.KWmapClear();
    const std::vector<std::int32_t> x = range(kFifty, 2), y = range(kFifty + 2, 2);
    d.s.ResetMolapX();
    d.s.ResetMolapY();
    d.s.ResetMolapZ();
    if (d.s.SetMolapX(x, {0, 0}) != 0 || d.s.SetMolapY(y, {0, 0}) != 0 ||
        d.s.KWexecuteMolap(x, y, {}, {}, 0, 0) != 0) {
        state.SkipWithError("build failed");
        return;
    }
    // A cell with records, a third of the way into the table.
    const std::int32_t cx = d.s.GetMolapXCount() / 3;
    std::int32_t cy = d.s.GetMolapYCount() / 2;
    for (KW_search::MolapValue v; d.s.KWMolapGetData(cx, cy, 0, v) == 0 && v.integer == 0;)
        ++cy;
    std::int32_t count = 0;
    for (auto _ : state) {
        for (std::int32_t level = 0; level < 2; ++level)
            if (d.s.MolapDrillX(cx, level) != 0 || d.s.MolapDrillY(cy, level) != 0)
                state.SkipWithError("drill refused");
        count = d.s.MolapDrill();
        state.PauseTiming();
        d.s.KWmapClear();
        state.ResumeTiming();
    }
    state.counters["records"] = count;
}

void BM_GrowthOneByOne(benchmark::State& state) {
    const std::int32_t g = kGrowthItems + 2 * static_cast<std::int32_t>(state.range(0));
    run(state, {g}, {g + 1}, 0, false);
}

}  // namespace

BENCHMARK(BM_FiveByFiveThreeCodesSubtotals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveByFiveThreeCodesSubtotalsCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveByFiveThreeCodesSubtotalsHalfMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoByTwoFiftyCodesNoTotals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoByTwoFiftyCodesNoTotalsCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrillOneCell)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrowthOneByOne)->DenseRange(0, std::size(kGrowth) - 1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
