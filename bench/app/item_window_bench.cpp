// The item window's value list on the benchmark questionnaire (ZBQ_BENCH_RECORDS, default 1M),
// on its ID item (one distinct value a record) and its name item, offscreen:
// - OpenToPaintedList: the window's models built and one screen of the list painted. Target 0.3 s.
// - SortDown: the count order descending, as its menu runs it. Target 0.15 s.
// - ToTopItemData: the first value "=500000" (the list back in natural order first). Target 20 ms.
// - AddOnlySearchResult: the values "[1,1000000]" marked, every other one unmarked. Target 0.2 s.
// - CreateSet: a set of half the values. Target 0.2 s.
// - Copy, Csv: the whole list to the clipboard text and to a CSV file. Target 1 s each.
// - Workbook: the whole list as a workbook. Target 5 s.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/app/loaded_app.h"
#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/scripted_prompts.h"
#include "windows/value_list_model.h"
#include "windows/value_list_page.h"
#include "windows/value_list_view.h"

namespace {

using zbq::windows::MarkCommand;
using zbq::windows::ValueListModel;
using zbq::windows::ValueListPage;

CKWApp& loadedApp() {
    static std::unique_ptr<CKWApp> app = [] {
        const zbq::bench::BenchData& d = zbq::bench::benchData();
        auto a = zbq::bench::openLoadedApp("item-window-bench");
        a->SetExportTempPath(d.dir + "/item-window-bench_e.xlsx");
        return a;
    }();
    return *app;
}

std::int32_t itemOf(const benchmark::State& state) {
    return state.range(0) == 0 ? zbq::bench::kId : zbq::bench::kName;
}

void OpenToPaintedList(benchmark::State& state) {
    CKWApp& app = loadedApp();
    for (auto _ : state) {
        ValueListModel model(app, itemOf(state));
        ValueListPage page(app, model);
        zbq::windows::ValueListView view(model, page);
        view.resize(350, 400);
        view.fitAllColumns();
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["values"] = ValueListModel(app, itemOf(state)).rowCount();
}
BENCHMARK(OpenToPaintedList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void SortDown(benchmark::State& state) {
    CKWApp& app = loadedApp();
    ValueListModel model(app, itemOf(state));
    for (auto _ : state) {
        model.SortDown();
        state.PauseTiming();
        model.ResetOrder();
        state.ResumeTiming();
    }
}
BENCHMARK(SortDown)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void ToTopItemData(benchmark::State& state) {
    CKWApp& app = loadedApp();
    ValueListModel model(app, zbq::bench::kId);
    ValueListPage page(app, model);
    page.setSearchText("=500000");
    for (auto _ : state)
        page.ToTopItemData();
    state.counters["row"] = model.GetSelStart().row;
}
BENCHMARK(ToTopItemData)->Unit(benchmark::kMillisecond)->UseRealTime();

void AddOnlySearchResult(benchmark::State& state) {
    CKWApp& app = loadedApp();
    ValueListModel model(app, zbq::bench::kId);
    ValueListPage page(app, model);
    page.setSearchText("[1,1000000]");
    for (auto _ : state)
        page.Mark(MarkCommand::AddOnlySearchResult);
    state.counters["checked"] = model.checkedCount();
}
BENCHMARK(AddOnlySearchResult)->Unit(benchmark::kMillisecond)->UseRealTime();

void CreateSet(benchmark::State& state) {
    CKWApp& app = loadedApp();
    for (auto _ : state) {
        state.PauseTiming();
        app.KWmapClear();
        ValueListModel model(app, itemOf(state));
        ValueListPage page(app, model);
        for (std::int32_t row = 2; row < model.rowCount(); row += 2)
            model.SetValueChecked(row, false);
        state.ResumeTiming();
        page.CreateSet();
    }
    state.counters["records"] = app.Search().KWgetDataCount();
    app.KWmapClear();
}
BENCHMARK(CreateSet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void Copy(benchmark::State& state) {
    CKWApp& app = loadedApp();
    zbq::ui::ScriptedClipboard clipboard;
    zbq::ui::ScriptedPrompts prompts;
    ValueListModel model(app, itemOf(state));
    model.setSelection({0, 0}, {model.columnCount() - 1, model.rowCount() - 1});
    for (auto _ : state) {
        prompts.answer(zbq::ui::Answer::Yes);  // the question above 10,000 cells
        model.Copy(true);
    }
    state.counters["bytes"] = clipboard.text() ? static_cast<double>(clipboard.text()->size()) : 0;
}
BENCHMARK(Copy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void Csv(benchmark::State& state) {
    CKWApp& app = loadedApp();
    ValueListModel model(app, itemOf(state));
    model.setSelection({0, 0}, {model.columnCount() - 1, model.rowCount() - 1});
    const std::string path = zbq::bench::benchData().dir + "/item-window-bench.csv";
    zbq::ui::ScriptedPrompts prompts;
    for (auto _ : state) {
        prompts.answer(zbq::ui::Answer::Yes);
        model.OutToCsv(path, true);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(Csv)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void Workbook(benchmark::State& state) {
    CKWApp& app = loadedApp();
    zbq::ui::ScriptedOpener opener;
    zbq::ui::ScriptedPrompts prompts;
    ValueListModel model(app, itemOf(state));
    model.setSelection({0, 0}, {model.columnCount() - 1, model.rowCount() - 1});
    for (auto _ : state) {
        prompts.answer(zbq::ui::Answer::Yes);
        model.OutToExcel(true);
    }
    state.counters["opened"] = static_cast<double>(opener.opened().size());
}
BENCHMARK(Workbook)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
