// The cross-tabulation window on the benchmark questionnaire (ZBQ_BENCH_RECORDS, default 1M),
// age x prefecture (100 x 50 positions), offscreen:
// - EngineExecuteCross: the engine's cross tabulation alone, the yardstick of the next one.
// - OpenToFirstPaint: the window made, built and painted once. Target: the engine's time + 20 ms.
// - SortByColumn: the window's sort, from the result in hand. Target 5 ms, no engine run.
// - CopyAll, CsvAll: the whole table to the clipboard and to a CSV file. Target 10 ms each.
// - WorkbookAll: the whole table to a workbook. Target 100 ms.
// Each runs as a record count and as a sum of the score, and on the age's ten-year classes.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/app/loaded_app.h"
#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "windows/cross_frame.h"

namespace {

using zbq::bench::kAge;
using zbq::bench::kPrefecture;
using zbq::bench::kScore;

CKWApp& loadedApp() {
    static std::unique_ptr<CKWApp> app = [] {
        const zbq::bench::BenchData& d = zbq::bench::benchData();
        auto a = zbq::bench::openLoadedApp("cross-window-bench");
        a->SetExportTempPath(d.dir + "/cross-window-bench.xlsx");
        // Ages in ten-year classes.
        CategoryDefinition ages;
        ages.name = "ages";
        ages.valueType = 1;
        ages.smallClasses.push_back({"<20", 4, "20", ""});
        for (int from = 20; from < 100; from += 10)
            ages.smallClasses.push_back(
                {std::to_string(from), 7, std::to_string(from), std::to_string(from + 9)});
        ages.smallClasses.push_back({"100+", 3, "100", ""});
        a->SetCategoryList({ages});
        return a;
    }();
    return *app;
}

// range(0): 0 record count, 1 sum of the score; range(1): 1 on the age classes.
CrossSettings settingsOf(const benchmark::State& state) {
    CrossSettings s;
    s.xItem = kAge;
    s.yItem = kPrefecture;
    if (state.range(0) == 1) {
        s.zItem = kScore;
        s.kind = 3;
    }
    if (state.range(1) == 1) {
        s.xCategory = 0;
        s.xLevel = 1;
    }
    return s;
}

void Args(benchmark::internal::Benchmark* b) {
    b->ArgNames({"sum", "classes"});
    for (int sum : {0, 1})
        for (int classes : {0, 1})
            b->Args({sum, classes});
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

void EngineExecuteCross(benchmark::State& state) {
    CKWApp& app = loadedApp();
    const CrossSettings s = settingsOf(state);
    app.SetCrossSettings(s);
    // The window builds the axes once; the engine then aggregates on them alone.
    zbq::windows::CrossTabModel model(app);
    if (model.RefreshCrossView() != 0) state.SkipWithError("no table");
    for (auto _ : state)
        if (app.ExecuteCross(s.xItem, s.yItem, s.zItem, s.kind > 0 ? s.kind : 0, 0) != 0)
            state.SkipWithError("failed");
}
BENCHMARK(EngineExecuteCross)->Apply(Args);

void OpenToFirstPaint(benchmark::State& state) {
    CKWApp& app = loadedApp();
    app.SetCrossSettings(settingsOf(state));
    for (auto _ : state) {
        auto frame = std::make_unique<zbq::windows::CCrossFrm>(app);
        frame->setGeometry(100, 100, 400, 200);
        if (frame->RefreshCrossView() != 0) state.SkipWithError("no table");
        benchmark::DoNotOptimize(frame->grab().toImage());
        state.PauseTiming();
        frame.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenToFirstPaint)->Apply(Args);

void SortByColumn(benchmark::State& state) {
    CKWApp& app = loadedApp();
    app.SetCrossSettings(settingsOf(state));
    zbq::windows::CrossTabModel model(app);
    if (model.RefreshCrossView() != 0) state.SkipWithError("no table");
    std::int32_t descending = 0;
    for (auto _ : state) {
        model.SortRows(model.GetColumnCount() / 2, descending);
        descending ^= 1;
    }
    state.counters["rows"] = model.GetRowCount();
    state.counters["columns"] = model.GetColumnCount();
}
BENCHMARK(SortByColumn)->Apply(Args);

template <typename Export>
void exportTable(benchmark::State& state, Export run) {
    CKWApp& app = loadedApp();
    app.SetCrossSettings(settingsOf(state));
    zbq::windows::CrossTabModel model(app);
    if (model.RefreshCrossView() != 0) state.SkipWithError("no table");
    zbq::ui::ScriptedClipboard clipboard;
    zbq::ui::ScriptedOpener opener;
    for (auto _ : state)
        run(model);
    state.counters["cells"] =
        static_cast<double>(model.GetRowCount()) * static_cast<double>(model.GetColumnCount());
}

void CopyAll(benchmark::State& state) {
    exportTable(state, [](zbq::windows::CrossTabModel& m) { m.CopyAll(); });
}
BENCHMARK(CopyAll)->Apply(Args);

void CsvAll(benchmark::State& state) {
    const std::string path = zbq::bench::benchData().dir + "/cross-window-bench.csv";
    exportTable(state, [&path](zbq::windows::CrossTabModel& m) { m.OutToCsvAll(path); });
}
BENCHMARK(CsvAll)->Apply(Args);

void WorkbookAll(benchmark::State& state) {
    exportTable(state, [](zbq::windows::CrossTabModel& m) { m.OutToExcelAll(); });
}
BENCHMARK(WorkbookAll)->Apply(Args);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
