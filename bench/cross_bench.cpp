// The cross tabulation on 1,000,000 records: a 100 x 50 record count (all records and within a
// map of about half of them), on condition axes, sums and extremes, and the kinds that need
// every cell's distinct Z values (unique count, percentile) on 1,000 Y x 100 X categories with
// 10,000 distinct Z values; and a drill over a block of marked cells.
//
// The data file is made once per run in a temporary folder from seeded random Integer items,
// written straight through the format writer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>

#include "bench/generated_data.h"
#include "engine/kw_format.h"
#include "engine/kw_search.h"

namespace {

constexpr std::int32_t kRecords = 1'000'000;

enum Item { kX100, kY50, kY1000, kZ10000 };

bench::OpenedData makeData() {
    std::mt19937 rng(2024);
    std::vector<kw::ItemBlock> items;
    items.push_back(bench::uniformItem("x100", KW_TYPE_INTEGER, 100, kRecords, rng));
    items.push_back(bench::uniformItem("y50", KW_TYPE_INTEGER, 50, kRecords, rng));
    items.push_back(bench::uniformItem("y1000", KW_TYPE_INTEGER, 1000, kRecords, rng));
    items.push_back(bench::uniformItem("z10000", KW_TYPE_INTEGER, 10000, kRecords, rng));
    return bench::OpenedData(items, kRecords, rng);
}

bench::OpenedData& data() {
    static bench::OpenedData d = makeData();
    return d;
}

void run(benchmark::State& state, Item x, Item y, std::int32_t kind, bool withMap) {
    bench::OpenedData& d = data();
    d.s.ResetCrossX();
    d.s.ResetCrossY();
    withMap ? d.s.KWmapSet(d.half) : d.s.KWmapClear();
    for (auto _ : state)
        if (d.s.ExecuteCross(x, y, kZ10000, kind, 50) != 0) state.SkipWithError("failed");
    state.SetItemsProcessed(state.iterations() * d.s.KWgetDataCount());
}

void BM_Count100x50(benchmark::State& state) {
    run(state, kX100, kY50, KW_CROSS_RECORDS, state.range(0) != 0);
}
BENCHMARK(BM_Count100x50)->Arg(0)->Arg(1)->ArgName("map")->Unit(benchmark::kMillisecond);

void BM_Sum100x50(benchmark::State& state) {
    run(state, kX100, kY50, KW_CROSS_SUM, false);
}
BENCHMARK(BM_Sum100x50)->Unit(benchmark::kMillisecond);

void BM_Maximum100x50(benchmark::State& state) {
    run(state, kX100, kY50, KW_CROSS_MAXIMUM, false);
}
BENCHMARK(BM_Maximum100x50)->Unit(benchmark::kMillisecond);

void BM_Unique100x1000(benchmark::State& state) {
    run(state, kX100, kY1000, KW_CROSS_UNIQUE, false);
}
BENCHMARK(BM_Unique100x1000)->Unit(benchmark::kMillisecond);

void BM_Percentile100x1000(benchmark::State& state) {
    run(state, kX100, kY1000, KW_CROSS_PERCENT, false);
}
BENCHMARK(BM_Percentile100x1000)->Unit(benchmark::kMillisecond);

// Ten range classes on X and five on Y, built and aggregated.
void BM_CountOnConditionAxes(benchmark::State& state) {
    bench::OpenedData& d = data();
    d.s.KWmapClear();
    for (auto _ : state) {
        d.s.InitCrossX(kX100, 0, 10);
        for (std::int32_t c = 0; c < 10; ++c)
            d.s.AddCrossXInt(std::to_string(c), KW_COND_RANGE_LOW, c * 10, c * 10 + 10);
        d.s.BuildCrossX();
        d.s.InitCrossY(kY50, 0, 5);
        for (std::int32_t c = 0; c < 5; ++c)
            d.s.AddCrossYInt(std::to_string(c), KW_COND_RANGE_LOW, c * 10, c * 10 + 10);
        d.s.BuildCrossY();
        if (d.s.ExecuteCross(kX100, kY50, -1, KW_CROSS_RECORDS, 0) != 0)
            state.SkipWithError("failed");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_CountOnConditionAxes)->Unit(benchmark::kMillisecond);

// A block of 20 x 10 marked cells drilled into the current map.
void BM_Drill200Cells(benchmark::State& state) {
    bench::OpenedData& d = data();
    d.s.ResetCrossX();
    d.s.ResetCrossY();
    for (auto _ : state) {
        state.PauseTiming();
        d.s.KWmapClear();
        d.s.ExecuteCross(kX100, kY50, -1, KW_CROSS_RECORDS, 0);
        state.ResumeTiming();
        for (std::int32_t y = 2; y < 12; ++y)
            for (std::int32_t x = 2; x < 22; ++x)
                d.s.MarkCrossCell(x, y);
        if (d.s.CrossDrill() <= 0) state.SkipWithError("failed");
    }
}
BENCHMARK(BM_Drill200Cells)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
