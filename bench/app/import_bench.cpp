// Importing a 100,000-row × 20-column workbook into a new data set as a user does: listing its
// sheets and reading its item information (each within 50 ms), reading it into the text data
// (within 0.8 s), and the whole road from OK to the loaded, painted console (within 1.5 s):
// the Excel read model's OK, the definition's parse, the build and the open of the data set.
//
// The workbook is written once per run by libxlsxwriter: five columns each of integers,
// decimals, texts and dates. openpyxl's read-only reading of it is workbook_reader_bench's.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <QApplication>
#include <QImage>

#include <cstdlib>
#include <filesystem>

#include "app/excel_read_model.h"
#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"
#include "platform/ui/prompts.h"

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 20;

struct Folder {
    std::string path =
        (std::filesystem::temp_directory_path() / ("zbq-import-bench-" + std::to_string(getpid())))
            .string();
    Folder() { std::filesystem::create_directories(path + "/program/temp"); }
    ~Folder() { std::filesystem::remove_all(path); }
};

const Folder& folder() {
    static const Folder f;
    return f;
}

const std::string& workbook() {
    static const std::string path = [] {
        const std::string p = folder().path + "/sales.xlsx";
        lxw_workbook* wb = workbook_new(p.c_str());
        lxw_worksheet* ws = workbook_add_worksheet(wb, "sales");
        lxw_format* date = workbook_add_format(wb);
        format_set_num_format(date, "yyyy/m/d");
        for (lxw_col_t c = 0; c < kColumns; ++c)
            worksheet_write_string(ws, 0, c, ("c" + std::to_string(c)).c_str(), nullptr);
        for (lxw_row_t r = 1; r <= kRows; ++r)
            for (lxw_col_t c = 0; c < kColumns; ++c) {
                if (c < 5)
                    worksheet_write_number(ws, r, c, (r * 7 + c) % 100000, nullptr);
                else if (c < 10)
                    worksheet_write_number(ws, r, c, ((r * 13 + c) % 100000) / 8.0, nullptr);
                else if (c < 15)
                    worksheet_write_string(ws, r, c, ("t" + std::to_string((r + c) % 1000)).c_str(),
                                           nullptr);
                else
                    worksheet_write_number(ws, r, c, 40000 + (r + c) % 5000, date);
            }
        if (workbook_close(wb) != LXW_NO_ERROR) std::abort();
        return p;
    }();
    return path;
}

// Answers every box with OK; the open dialog picks the workbook.
class BenchPrompts : public zbq::ui::Prompts {
public:
    using Prompts::message;
    zbq::ui::Answer message(QWidget*, const zbq::ui::Message&) override {
        return zbq::ui::Answer::Ok;
    }
    std::optional<QString> choose(QWidget*, const zbq::ui::Chooser&) override { return {}; }
    std::optional<QStringList> chooseFiles(QWidget*, const zbq::ui::Chooser&) override {
        return QStringList{QString::fromStdString(workbook())};
    }
    void beep() override {}
};

void ListSheets(benchmark::State& state) {
    CKWApp app;
    app.SetProgramDir(folder().path + "/program");
    for (auto _ : state) {
        zbq::app::ExcelReadModel model(app, {workbook()}, false);
        benchmark::DoNotOptimize(model.sheets().size());
    }
}
BENCHMARK(ListSheets)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReadItems(benchmark::State& state) {
    CKWApp app;
    app.SetProgramDir(folder().path + "/program");
    zbq::app::ExcelReadModel model(app, {workbook()}, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(model.ReadColumnInfo(0));
}
BENCHMARK(ReadItems)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReadIntoTextData(benchmark::State& state) {
    CKWApp app;
    app.SetProgramDir(folder().path + "/program");
    for (auto _ : state) {
        state.PauseTiming();
        zbq::app::ExcelReadModel model(app, {workbook()}, false);
        model.ReadColumnInfo(0);
        state.ResumeTiming();
        if (model.OnOK() != zbq::app::ExcelReadModel::Outcome::Accepted)
            state.SkipWithError("the import failed");
    }
}
BENCHMARK(ReadIntoTextData)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void OkToPaintedConsole(benchmark::State& state) {
    BenchPrompts prompts;
    zbq::ui::Prompts* previous = zbq::ui::setPrompts(&prompts);
    for (auto _ : state) {
        CKWApp app;
        app.SetProgramDir(folder().path + "/program");
        CMacro macro(app);
        WindowFactories factories;
        factories.console = [&app](CMainFrame& f) { return CConsSheet::MakeHandle(app, &f); };
        CMainFrame frame(app, std::move(factories));
        // The dialog as the user leaves it at OK: its sheets listed and its items read.
        std::unique_ptr<zbq::app::ExcelReadModel> model;
        app.SetImportDialog(
            [&](CKWApp::ImportKind,
                const std::vector<std::string>& files) -> std::optional<std::string> {
                model = std::make_unique<zbq::app::ExcelReadModel>(app, files, false);
                model->ReadColumnInfo(0);
                state.ResumeTiming();
                if (model->OnOK() != zbq::app::ExcelReadModel::Outcome::Accepted) return {};
                return model->takeOutputPath();
            });
        state.PauseTiming();
        if (!app.InitInstance({})) state.SkipWithError("the start-up refused the workbook");
        if (QWidget* console = frame.console()) benchmark::DoNotOptimize(console->grab().toImage());
        state.PauseTiming();
        state.counters["records"] = app.Search().KWgetRecordCount();
        app.ExitInstance();
        state.ResumeTiming();
    }
    zbq::ui::setPrompts(previous);
}
BENCHMARK(OkToPaintedConsole)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("ZBQ_NO_SPREADSHEET", "1", 0);
    QApplication qapp(argc, argv);
    workbook();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
