// The loaded set on the benchmark questionnaire (1M records x 20 items unless
// ZBQ_BENCH_RECORDS says otherwise): building the data file from its text, opening it, the set
// algebra and the recount of every item's values within a new current map (all items, and
// each item alone to show where the time goes).
//
// Targets at 1M records, release build, one thread: build <= 1 s per 10 items, open <= 0.2 s,
// the recount of every item <= 10 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "engine/kw_create.h"
#include "engine/kw_search.h"

namespace {

using namespace zbq::bench;

void build(benchmark::State& state, int memoryMb) {
    const BenchData& d = benchData();
    QuietHost host(memoryMb);
    KW_create create;
    create.SetOwner(&host);
    describe(create);
    const std::string out = d.dir + "/build-bench.zbq";
    for (auto _ : state) {
        if (create.KWcreate(d.source, out, '\t', 1) != 0) state.SkipWithError("build failed");
    }
    std::remove(out.c_str());
    state.SetBytesProcessed(state.iterations() * d.sourceBytes);
    state.counters["records"] = static_cast<double>(d.records);
}

// The program's default limit (50 MB of source in memory): larger sources go through column
// files, as they do for a user.
void BM_BuildThroughColumnFiles(benchmark::State& state) {
    build(state, zbq::EngineHost::kDefaultMemoryReadCsvSizeMb);
}
void BM_BuildInMemory(benchmark::State& state) {
    build(state, 1 << 20);
}
BENCHMARK(BM_BuildThroughColumnFiles)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_BuildInMemory)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Open(benchmark::State& state) {
    const BenchData& d = benchData();
    KW_search search;
    for (auto _ : state) {
        if (search.KWopen(d.dataFile, "") != 0) state.SkipWithError("open failed");
        state.PauseTiming();
        search.KWclose();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->MinTime(2);

// The loaded set shared by the query benchmarks below, with two sets: A = men (about half the
// records), B = aged 40 or more (about three quarters).
struct Loaded {
    KW_search search;
    KW_mapPtr a, b;

    Loaded() {
        if (search.KWopen(benchData().dataFile, "") != 0) {
            std::fputs("cannot open the benchmark data file\n", stderr);
            std::exit(1);
        }
        a = select(kGender, [&](std::int32_t p) { return text(kGender, p) == "1"; });
        b = select(kAge, [&](std::int32_t p) {
            return p >= KW_POS_FIRST_VALUE && search.dictionary(kAge)[p].high >= 40;
        });
    }
    std::string text(std::int32_t item, std::int32_t p) const {
        const char* t = search.ValueText(item, p);
        return t != nullptr ? t : "";
    }
    template <typename Pass>
    KW_mapPtr select(std::int32_t item, Pass pass) {
        const auto dict = search.dictionary(item);
        std::vector<char> passes(dict.size());
        for (std::size_t p = 0; p < dict.size(); ++p)
            passes[p] = pass(static_cast<std::int32_t>(p));
        auto map = std::make_shared<KW_map>(search.KWgetRecordCount());
        const auto values = search.values(item);
        for (std::int32_t r = 0; r < search.KWgetRecordCount(); ++r)
            if (passes[static_cast<std::size_t>(values[static_cast<std::size_t>(r)])]) map->set(r);
        return map;
    }
};

Loaded& loaded() {
    static Loaded l;
    return l;
}

void BM_SetProduct(benchmark::State& state) {
    Loaded& l = loaded();
    for (auto _ : state)
        benchmark::DoNotOptimize(l.search.KWmapProduct(l.a, l.b));
}
void BM_SetUnion(benchmark::State& state) {
    Loaded& l = loaded();
    for (auto _ : state)
        benchmark::DoNotOptimize(l.search.KWmapUnion(l.a, l.b));
}
void BM_SetDifference(benchmark::State& state) {
    Loaded& l = loaded();
    for (auto _ : state)
        benchmark::DoNotOptimize(l.search.KWmapDifference(l.a, l.b));
}
void BM_SetComplement(benchmark::State& state) {
    Loaded& l = loaded();
    for (auto _ : state)
        benchmark::DoNotOptimize(l.search.KWmapComplement(l.a));
}
BENCHMARK(BM_SetProduct)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetUnion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetDifference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetComplement)->Unit(benchmark::kMicrosecond);

// A set made current and the in-map count of every value of every item brought up to date:
// what a window that shows all items' counts asks for after a change of sets.
void BM_RecountAllItems(benchmark::State& state) {
    Loaded& l = loaded();
    const std::int32_t items = l.search.KWgetItemCount();
    for (auto _ : state) {
        l.search.KWmapSet(l.a);
        for (std::int32_t i = 0; i < items; ++i)
            benchmark::DoNotOptimize(l.search.dictionary(i).data());
    }
}
BENCHMARK(BM_RecountAllItems)->Unit(benchmark::kMillisecond);

// The same for one item at a time (the argument is the item number), to tell where the time
// of the whole recount goes.
void BM_RecountOneItem(benchmark::State& state) {
    Loaded& l = loaded();
    const auto item = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        l.search.KWmapSet(l.a);
        benchmark::DoNotOptimize(l.search.dictionary(item).data());
    }
    state.counters["values"] = static_cast<double>(l.search.dictionary(item).size());
}
BENCHMARK(BM_RecountOneItem)->DenseRange(0, kItemCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
