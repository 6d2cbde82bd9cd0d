// The aggregation window on the benchmark questionnaire (ZBQ_BENCH_RECORDS, default 1M),
// offscreen: a table of about 100,000 cells (Score, about 1,000 values, down; the 48-code
// Prefecture across; Age summed and Score averaged), its engine build done once beforehand.
// - LayoutAndInstall: the layout made from the result and installed in the grid, painted once.
//   Target 20 ms.
// - ScrollPageAndJumpToEnd: a page scrolled, then the last cell made current, each painted.
//   Target 16 ms each.
// - CopyText / CsvText: the whole table as the clipboard's and the CSV file's text. Target
//   100 ms.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/analysis_window.h"
#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "platform/ui/fixed_grid.h"
#include "windows/molap_layout.h"
#include "windows/molap_view.h"
#include "windows/table_text.h"

namespace {

using namespace zbq::windows;
namespace q = zbq::bench;

MolapParams tableParams() {
    MolapParams p;
    p.xItems = {q::kPrefecture};
    p.yItems = {q::kScore};
    p.zItems = {q::kAge, q::kScore};
    p.zKinds = {1, 2};
    return molapParamsCopy(p);
}

// The questionnaire loaded and the table's result built.
CKWApp& builtApp() {
    static std::unique_ptr<CKWApp> app = [] {
        const q::BenchData& d = q::benchData();
        const std::string def = d.dir + "/molap-window-bench.def";
        if (q::writeDefinition(def) != 0) std::abort();
        auto a = std::make_unique<CKWApp>();
        a->SetLoadMode(1);
        a->SetDefinitionPath(def);
        if (!a->ReadDefinitionFile() || !a->ParseDefinitionFile()) std::abort();
        if (a->Search().KWopen(d.dataFile, "") != 0) std::abort();
        a->SetDataLoaded(1);
        const MolapParams p = tableParams();
        KW_search& s = a->Search();
        if (s.SetMolapX(p.xItems, p.xDateUnits) != 0 || s.SetMolapY(p.yItems, p.yDateUnits) != 0 ||
            s.SetMolapZ(p.zItems, p.zUnits) != 0 ||
            s.KWexecuteMolap(p.xItems, p.yItems, p.zItems, p.zKinds, 0, 0) != 0)
            std::abort();
        return a;
    }();
    return *app;
}

struct Shown {
    CMOLAPView view;
    zbq::ui::FixedGrid grid;
    explicit Shown(CKWApp& app) : view(app.Search()) {
        grid.setModel(&view);
        grid.resize(1280, 800);
    }
    void install(CKWApp& app) {
        MolapLayout layout = molapLayoutFrame(app, tableParams());
        if (buildMolapLayout(app.Search(), layout) != 0) std::abort();
        view.install(std::move(layout));
        grid.setFixed(view.layout().fixedRows(), view.layout().fixedColumns());
    }
};

void LayoutAndInstall(benchmark::State& state) {
    CKWApp& app = builtApp();
    Shown shown(app);
    for (auto _ : state) {
        shown.install(app);
        benchmark::DoNotOptimize(shown.grid.grab().toImage());
    }
    state.counters["cells"] = static_cast<double>(shown.view.rows()) * shown.view.columns();
}
BENCHMARK(LayoutAndInstall)->Unit(benchmark::kMillisecond);

void ScrollPageAndJumpToEnd(benchmark::State& state) {
    CKWApp& app = builtApp();
    Shown shown(app);
    shown.install(app);
    for (auto _ : state) {
        QScrollBar* bar = shown.grid.verticalScrollBar();
        bar->setValue(bar->value() + bar->pageStep());
        benchmark::DoNotOptimize(shown.grid.grab().toImage());
        shown.view.SelectCell(shown.view.rows() - 1, shown.view.columns() - 1);
        shown.grid.scrollTo(shown.view.index(shown.view.rows() - 1, shown.view.columns() - 1));
        benchmark::DoNotOptimize(shown.grid.grab().toImage());
        bar->setValue(0);
    }
}
BENCHMARK(ScrollPageAndJumpToEnd)->Unit(benchmark::kMillisecond);

void TableTexts(benchmark::State& state, const TextForm& form) {
    CKWApp& app = builtApp();
    Shown shown(app);
    shown.install(app);
    const MolapTableSource source(shown.view);
    ExportShape shape;
    shape.range = {0, 0, source.columnCount() - 1, source.rowCount() - 1};
    shape.withHeaders = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(tableText(source, shape, form));
}
BENCHMARK_CAPTURE(TableTexts, CopyText, TextForm{'\t', Quoting::AsIs, "\n"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TableTexts, CsvText, TextForm{',', Quoting::All, "\n"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
