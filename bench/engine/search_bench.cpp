// KWsrch on the benchmark questionnaire (1M records x 20 items unless ZBQ_BENCH_RECORDS says
// otherwise), each search including making its result current; beside it a hand-written scan
// of the one-term search as the floor to compare with, and the item window's statistics.
//
// Target at 1M records, release build, one thread: one term at about half the records <= 10 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "engine/kw_search.h"

namespace {

using namespace zbq::bench;

KW_search& loaded() {
    static KW_search* search = [] {
        auto* s = new KW_search;
        if (s->KWopen(benchData().dataFile, "") != 0) {
            std::fputs("cannot open the benchmark data file\n", stderr);
            std::exit(1);
        }
        return s;
    }();
    return *search;
}

void search(benchmark::State& state, const std::string& expression) {
    KW_search& s = loaded();
    std::int32_t found = 0;
    for (auto _ : state) {
        found = s.KWsrch(expression);
        if (found < 0) state.SkipWithError("search failed");
    }
    state.counters["hits"] = static_cast<double>(found) / s.KWgetRecordCount();
    state.SetItemsProcessed(state.iterations() * s.KWgetRecordCount());
}

std::string item(Item i) {
    return "#" + std::to_string(static_cast<int>(i));
}

// Gender code 1: half the records.
void BM_SearchOneTerm(benchmark::State& state) {
    search(state, item(kGender) + "=1");
}
// (men or the married) aged under 80: about half again, three terms in two operators.
void BM_SearchThreeTerms(benchmark::State& state) {
    search(state, "(" + item(kGender) + "=1+" + item(kMarried) + "=2)*" + item(kAge) + "<80");
}
void BM_SearchMultiAnswer(benchmark::State& state) {
    search(state, item(kHobbies) + "=1+" + item(kHobbies) + "=5");
}
void BM_SearchNegatedFloatRange(benchmark::State& state) {
    search(state, item(kScore) + "!=25-75");
}
// A contains test over every distinct name: the cost of the dictionary side.
void BM_SearchNameContains(benchmark::State& state) {
    search(state, item(kName) + "=%\x8E\x71%");  // 子
}
BENCHMARK(BM_SearchOneTerm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchThreeTerms)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchMultiAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchNegatedFloatRange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchNameContains)->Unit(benchmark::kMillisecond);

// The floor: the one-term search written by hand over the same arrays, a bit per record, with
// the count that making it current takes.
void BM_HandScanOneTerm(benchmark::State& state) {
    KW_search& s = loaded();
    const auto dict = s.dictionary(kGender);
    std::vector<std::uint8_t> pass(dict.size());
    for (std::size_t p = 0; p < dict.size(); ++p) {
        const char* text = s.ValueText(kGender, static_cast<std::int32_t>(p));
        pass[p] = p >= KW_POS_FIRST_VALUE && text[0] == '1' && text[1] == '\0';
    }
    const auto values = s.values(kGender);
    const std::int32_t records = s.KWgetRecordCount();
    KW_map map(records);
    for (auto _ : state) {
        std::uint32_t* words = map.data();
        for (std::int32_t w = 0; w < map.wordCount(); ++w) {
            std::uint32_t bits = 0;
            for (std::int32_t r = w * 32, end = std::min(records, r + 32); r < end; ++r)
                bits |=
                    std::uint32_t{
                        pass[static_cast<std::size_t>(values[static_cast<std::size_t>(r)])]}
                    << (31 - (r & 31));
            words[w] = bits;
        }
        benchmark::DoNotOptimize(MapCount(map.data(), map.byteLength()));
    }
    state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_HandScanOneTerm)->Unit(benchmark::kMillisecond);

// The item window's summary under a current map of half the records: the first read of an item
// after the change recounts it (one pass over the map), the statistics walk its dictionary.
void BM_StatisticsAfterSearch(benchmark::State& state) {
    KW_search& s = loaded();
    double sum = 0, mean = 0, deviation = 0;
    for (auto _ : state) {
        s.KWsrch(item(kGender) + "=1");
        s.KWgetStatistics(kAge, &sum, &mean, &deviation);
        benchmark::DoNotOptimize(s.KWgetPercentPos(kAge, 50));
    }
}
BENCHMARK(BM_StatisticsAfterSearch)->Unit(benchmark::kMillisecond);

// Ordering the values of the name item (many distinct values) by their counts.
void BM_SortValuesByCount(benchmark::State& state) {
    KW_search& s = loaded();
    s.KWmapClear();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.KWsortValue(kName, 1));
    state.counters["values"] = s.KWgetValueCount(kName);
}
BENCHMARK(BM_SortValuesByCount)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
