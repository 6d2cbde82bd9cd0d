// The shared exporter on a grid of 1,000,000 records by 20 columns (a code, an Integer with
// commas, a Float at three places, a date and a Japanese string, four times over, one cell in
// 97 blank), each cell formatted when it is read as the original-data grid does: to a CSV file,
// to clipboard text (the scripted clipboard, and the desktop's offscreen), and to a workbook
// beside libxlsxwriter alone writing the same cells (100,000 records there: 2M cells).
//
// Targets: CSV and clipboard text within 3 s each, a file export within 32 MB of memory beyond
// what the run held before it, the workbook within 1.15 x libxlsxwriter alone. "peak_MB" is the
// peak resident memory of an iteration beyond the resident memory before it.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <QGuiApplication>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/prompts.h"
#include "windows/table_exporter.h"

namespace {

constexpr std::int32_t kColumns = 20;

class GeneratedGrid final : public TableSource {
public:
    // `utf8`: the same texts in the form libxlsxwriter takes, for the floor it sets alone.
    GeneratedGrid(std::int32_t rows, bool utf8 = false)
        : rows_(rows),
          name_(utf8 ? "名前" : zbq::cp932::literal("名前")),
          header_(utf8 ? "項目" : zbq::cp932::literal("項目")) {}

    std::int32_t rowCount() const override { return rows_; }
    std::int32_t columnCount() const override { return kColumns; }
    std::string columnHeader(std::int32_t column) const override {
        return header_ + std::to_string(column);
    }
    void readCell(std::int32_t row, std::int32_t column, TableCell& cell) const override {
        const std::uint32_t seed = static_cast<std::uint32_t>(row) * 2654435761u +
                                   static_cast<std::uint32_t>(column) * 40503u;
        if (seed % 97 == 0) {
            cell.text = "\xcc\xde\xd7\xdd\xb8";  // ﾌﾞﾗﾝｸ
            cell.blank = true;
            return;
        }
        char digits[32];
        switch (column % 5) {
            case 0: {
                const unsigned code = seed % 1000;
                cell.text = {'C', char('0' + code / 100), char('0' + code / 10 % 10),
                             char('0' + code % 10)};
                break;
            }
            case 1: {
                const std::int32_t value = static_cast<std::int32_t>(seed % 10'000'000);
                cell.text = CKWApp::FormatInteger(value);
                cell.number = CellNumber{double(value), 0, true};
                break;
            }
            case 2: {
                const double value = (seed % 100000) / 8.0;
                auto end = std::to_chars(digits, digits + sizeof digits, value,
                                         std::chars_format::fixed, 3)
                               .ptr;
                cell.text.assign(digits, end);
                cell.number = CellNumber{value, 3, false};
                break;
            }
            case 3: {
                const auto yyyymmdd = static_cast<std::int32_t>(
                    (2000 + seed % 25) * 10000 + (1 + seed % 12) * 100 + 1 + seed % 28);
                cell.text = CKWApp::FormatDate(yyyymmdd);
                break;
            }
            default:
                cell.text = name_;
                cell.text += std::to_string(seed % 5000);
                break;
        }
    }

private:
    std::int32_t rows_;
    std::string name_, header_;
};

// Says Yes to the large-table question; nothing else is asked.
class YesPrompts final : public zbq::ui::Prompts {
public:
    YesPrompts() : previous_(zbq::ui::setPrompts(this)) {}
    ~YesPrompts() override { zbq::ui::setPrompts(previous_); }
    using Prompts::message;
    zbq::ui::Answer message(QWidget*, const zbq::ui::Message&) override {
        return zbq::ui::Answer::Yes;
    }
    std::optional<QString> choose(QWidget*, const zbq::ui::Chooser&) override { return {}; }
    std::optional<QStringList> chooseFiles(QWidget*, const zbq::ui::Chooser&) override {
        return {};
    }
    void beep() override {}

private:
    zbq::ui::Prompts* previous_;
};

long statusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(key), nullptr, 10);
    return 0;
}

// Restarts the kernel's count of the peak resident memory; the resident memory now.
long startPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmRSS:");
}

struct Run {
    Run() : dir(std::filesystem::temp_directory_path() / "zbq-export-bench") {
        std::filesystem::create_directories(dir);
        app.SetExportTempPath((dir / "bench_e.xlsx").string());
    }
    ~Run() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
    YesPrompts yes;
    zbq::ui::ScriptedOpener opener;
    CKWApp app;
};

void report(benchmark::State& state, long peakKb, std::int64_t cells, std::uintmax_t bytes) {
    state.counters["peak_MB"] = double(peakKb) / 1024.0;
    state.counters["cells"] = double(cells);
    if (bytes) state.counters["file_MB"] = double(bytes) / (1024.0 * 1024.0);
}

void BM_CsvFile(benchmark::State& state) {
    Run run;
    GeneratedGrid grid(static_cast<std::int32_t>(state.range(0)));
    const std::string path = (run.dir / "bench.csv").string();
    long peak = 0;
    for (auto _ : state) {
        const long before = startPeak();
        if (TableExporter(run.app, grid)
                .writeTextFile(path, {wholeTable(grid), true, false}, std::nullopt) != 1)
            state.SkipWithError("export failed");
        peak = std::max(peak, statusKb("VmHWM:") - before);
    }
    report(state, peak, wholeTable(grid).cells(), std::filesystem::file_size(path));
}
BENCHMARK(BM_CsvFile)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void copyTo(benchmark::State& state, zbq::ui::Clipboard* clipboard) {
    Run run;
    zbq::ui::Clipboard* previous = zbq::ui::setClipboard(clipboard);
    GeneratedGrid grid(static_cast<std::int32_t>(state.range(0)));
    long peak = 0;
    for (auto _ : state) {
        const long before = startPeak();
        if (TableExporter(run.app, grid).copy({wholeTable(grid), true, false}, std::nullopt) != 1)
            state.SkipWithError("copy failed");
        peak = std::max(peak, statusKb("VmHWM:") - before);
    }
    zbq::ui::setClipboard(previous);
    report(state, peak, wholeTable(grid).cells(), 0);
}

void BM_CopyText(benchmark::State& state) {
    zbq::ui::ScriptedClipboard scripted;
    copyTo(state, &scripted);
}
BENCHMARK(BM_CopyText)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same through the desktop's clipboard (offscreen), which holds the text as a QString.
void BM_CopyToDesktopClipboard(benchmark::State& state) {
    copyTo(state, nullptr);
}
BENCHMARK(BM_CopyToDesktopClipboard)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_Workbook(benchmark::State& state) {
    Run run;
    GeneratedGrid grid(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state)
        if (TableExporter(run.app, grid)
                .writeWorkbook({wholeTable(grid), true, false}, std::nullopt) != 1)
            state.SkipWithError("export failed");
    report(state, 0, wholeTable(grid).cells(),
           std::filesystem::file_size(run.app.GetExportTempPath()));
}
BENCHMARK(BM_Workbook)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// libxlsxwriter alone on the same cells, read from the same grid: the floor the exporter's own
// work (CP932 to UTF-8, formats, the temporary and its rename) adds to.
void BM_LibxlsxwriterAlone(benchmark::State& state) {
    Run run;
    GeneratedGrid grid(static_cast<std::int32_t>(state.range(0)), true);
    const std::string path = (run.dir / "alone.xlsx").string();
    for (auto _ : state) {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        lxw_format* grouped = workbook_add_format(book);
        format_set_num_format(grouped, "#,##0");
        lxw_format* decimals = workbook_add_format(book);
        format_set_num_format(decimals, "0.000");
        for (std::int32_t c = 0; c < kColumns; ++c)
            worksheet_write_string(sheet, 0, c, grid.columnHeader(c).c_str(), nullptr);
        TableCell cell;
        for (std::int32_t r = 0; r < grid.rowCount(); ++r) {
            for (std::int32_t c = 0; c < kColumns; ++c) {
                cell.clear();
                grid.readCell(r, c, cell);
                if (cell.blank) continue;
                if (cell.number)
                    worksheet_write_number(sheet, r + 1, c, cell.number->value,
                                           cell.number->grouped ? grouped : decimals);
                else
                    worksheet_write_string(sheet, r + 1, c, cell.text.c_str(), nullptr);
            }
        }
        if (workbook_close(book) != LXW_NO_ERROR) state.SkipWithError("write failed");
    }
    report(state, 0, wholeTable(grid).cells(), std::filesystem::file_size(path));
}
BENCHMARK(BM_LibxlsxwriterAlone)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
