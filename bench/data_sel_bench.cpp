// The data-selection tab on the benchmark questionnaire (ZBQ_BENCH_RECORDS, default 1M): a
// filter of three conditions run through the page ("ﾌｨﾙﾀ実行": expression, search, the new set
// limited to the current one, marked and logged) beside the engine's own search of the same
// expression; and with 500 sets in the tree, a rebuild of the tree and one combination.
//
// Targets at 1M records, release build: the filter within the search's own time + 5 ms; with
// 500 sets a rebuild <= 10 ms and a combination <= 5 ms.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <memory>

#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"

namespace {

namespace q = zbq::bench;

// The questionnaire loaded as start-up loads a definition with its data file, with a console.
struct Screen {
    CKWApp app;
    std::unique_ptr<CConsSheet> sheet;
    CDataSelPage* page = nullptr;

    Screen() {
        const q::BenchData& d = q::benchData();
        const std::string def = d.dir + "/data-sel-bench.def";
        if (q::writeDefinition(def) != 0) std::abort();
        app.SetLoadMode(1);
        app.SetDefinitionPath(def);
        if (!app.ReadDefinitionFile() || !app.ParseDefinitionFile()) std::abort();
        if (app.Search().KWopen(d.dataFile, "") != 0) std::abort();
        app.RestoreSets();
        app.InitConditionItems();
        sheet = std::make_unique<CConsSheet>(app);
        app.SetConsolePort(sheet.get());
        page = sheet->DataSelPage();
        app.RebuildSetTree();
        app.MarkCurrentSet(0);
    }
    ~Screen() { app.SetConsolePort(nullptr); }
};

Screen& screen() {
    static Screen* s = new Screen;
    return *s;
}

// Men or the married, aged 30 to under 60.
const std::vector<SearchCondition> kConditions = {
    {q::kGender, 0, -1, "1", "", 0},
    {q::kMarried, 0, -1, "1", "", 0},
    {q::kAge, 7, 0, "30", "60", 2},
};

// Puts the list back to set 0 alone, current.
void resetSets(Screen& s) {
    std::vector<SetRecord> sets = s.app.Sets();
    sets.resize(1);
    s.app.SetSetList(1, std::move(sets));
    s.app.KWmapClear();
    s.page->RebuildTree();
    s.page->MarkCurrentSet(0);
}

void EngineSearchThreeConditions(benchmark::State& state) {
    Screen& s = screen();
    const std::string expression =
        *BuildSearchExpression(kConditions, itemTypesOf(s.app.GetStructDef()), FilterJoin::And);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.app.Search().KWsrch(expression));
    s.app.KWmapClear();
}
BENCHMARK(EngineSearchThreeConditions)->Unit(benchmark::kMillisecond)->UseRealTime();

void ExecuteFilterThreeConditions(benchmark::State& state) {
    Screen& s = screen();
    s.app.SetSearchConditions(kConditions);
    s.page->FillConditions();
    for (auto _ : state) {
        if (s.page->OnExecuteFilter() != 1) state.SkipWithError("the filter added no set");
        state.PauseTiming();
        resetSets(s);
        state.ResumeTiming();
    }
}
BENCHMARK(ExecuteFilterThreeConditions)->Unit(benchmark::kMillisecond)->UseRealTime();

// 500 sets: each a filter result on set 0 or nested under the one before, to depth 5.
void fiveHundredSets(Screen& s) {
    resetSets(s);
    const KW_mapPtr half = [&] {
        s.app.KWsrch("#" + std::to_string(q::kGender) + "=1");
        return s.app.KWmapGet();
    }();
    std::int32_t next = 1;
    std::vector<SetRecord> sets = s.app.Sets();
    for (int i = 0; i < 500; ++i) {
        SetRecord r;
        r.level = 1 + i % 5;
        r.text1 = "set";
        r.map = half;
        r.mapLength = s.app.KWmapGetLength();
        r.recordCount = 1;
        addSet(sets, next, i % 5 == 0 ? 0 : next - 1, r);
    }
    s.app.SetSetList(next, std::move(sets));
    s.app.KWmapClear();
}

void RebuildTreeOf500Sets(benchmark::State& state) {
    Screen& s = screen();
    fiveHundredSets(s);
    for (auto _ : state)
        s.page->RebuildTree();
    resetSets(s);
}
BENCHMARK(RebuildTreeOf500Sets)->Unit(benchmark::kMillisecond)->UseRealTime();

void CombineTwoOf500Sets(benchmark::State& state) {
    Screen& s = screen();
    fiveHundredSets(s);
    const std::vector<SetRecord> before = s.app.Sets();
    const std::int32_t next = s.app.GetNextSetNo();
    for (auto _ : state) {
        s.page->CombineSets(SetOp::Product, 1, 250);
        state.PauseTiming();
        s.app.SetSetList(next, before);
        state.ResumeTiming();
    }
    resetSets(s);
}
BENCHMARK(CombineTwoOf500Sets)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
