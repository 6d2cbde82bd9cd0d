// ZBQ opening a data file as a user starts it: the real start-up (InitInstance, load mode 2) with
// the main frame, the console and the macro object offscreen, until the console is painted; beside
// it the engine's own open of the same file, the floor the start-up adds to.
//
// The data file is the benchmark questionnaire (ZBQ_BENCH_RECORDS, default 1M) with the settings a
// save gives it, made once per run in the benchmark folder. Target: start-up within KWopen + 0.3 s.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cstdlib>
#include <filesystem>

#include "app/main_frame.h"
#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "console/cons_sheet.h"
#include "engine/kw_file.h"
#include "macro/cmacro.h"
#include "platform/ui/prompts.h"

namespace {

// Answers every box as closing it would; the start-up's notices need no one.
class SilentPrompts : public zbq::ui::Prompts {
public:
    using Prompts::message;
    zbq::ui::Answer message(QWidget*, const zbq::ui::Message&) override {
        return zbq::ui::Answer::Ok;
    }
    std::optional<QString> choose(QWidget*, const zbq::ui::Chooser&) override { return {}; }
    std::optional<QStringList> chooseFiles(QWidget*, const zbq::ui::Chooser&) override {
        return {};
    }
    void beep() override {}
};

// The questionnaire's data file with the settings a save writes (a data file fresh from the
// builder carries none, and ZBQ refuses one without them).
const std::string& savedDataFile() {
    static const std::string path = [] {
        const zbq::bench::BenchData& d = zbq::bench::benchData();
        const std::string def = d.dir + "/open-bench.def";
        const std::string file = d.dir + "/open-bench.zbq";
        if (zbq::bench::writeDefinition(def) != 0) std::abort();
        std::filesystem::copy_file(d.dataFile, file,
                                   std::filesystem::copy_options::overwrite_existing);
        CKWApp app;
        app.SetLoadMode(1);
        app.SetDefinitionPath(def);
        if (!app.ReadDefinitionFile() || !app.ParseDefinitionFile()) std::abort();
        if (app.Search().KWopen(file, "") != 0) std::abort();
        app.RestoreSets();
        app.RestoreCategories();
        const auto blob = app.BuildSettingsBlob();
        if (!blob || KWwriteBlob(file, *blob) < 0) std::abort();
        return file;
    }();
    return path;
}

void EngineOpen(benchmark::State& state) {
    const std::string& file = savedDataFile();
    for (auto _ : state) {
        KW_search s;
        benchmark::DoNotOptimize(s.KWopen(file, ""));
    }
}
BENCHMARK(EngineOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

void StartUpToPaintedConsole(benchmark::State& state) {
    const std::string& file = savedDataFile();
    SilentPrompts prompts;
    zbq::ui::Prompts* previous = zbq::ui::setPrompts(&prompts);
    const std::string programDir = zbq::bench::benchData().dir + "/program";
    std::filesystem::create_directories(programDir);
    for (auto _ : state) {
        CKWApp app;
        app.SetProgramDir(programDir);
        CMacro macro(app);
        WindowFactories factories;
        factories.console = [&app](CMainFrame& f) { return CConsSheet::MakeHandle(app, &f); };
        CMainFrame frame(app, std::move(factories));
        if (!app.InitInstance({file})) state.SkipWithError("start-up refused the file");
        if (QWidget* console = frame.console()) benchmark::DoNotOptimize(console->grab().toImage());
        state.PauseTiming();
        state.counters["records"] = app.Search().KWgetRecordCount();
        app.ExitInstance();
        state.ResumeTiming();
    }
    zbq::ui::setPrompts(previous);
}
BENCHMARK(StartUpToPaintedConsole)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("ZBQ_NO_SPREADSHEET", "1", 0);
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
