// Reading a 100,000-row × 20-column workbook for import: listing its sheets, reading its item
// information (the used range and the first two rows) and reading it whole into the cells'
// texts, tab-separated as the data file takes them; and the parts of item information's time
// (inflating the sheet, skimming it). openpyxl's read-only reading of the same file runs beside
// it for comparison.
//
// The workbook is written once per run by libxlsxwriter: five columns each of integers,
// decimals, texts (shared strings) and dates. .xls workbooks (xlwt) are read beside it.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/workbook/sheet_range_skimmer.h"
#include "platform/workbook/workbook_reader.h"
#include "platform/workbook/zip_part_stream.h"

namespace {

using namespace zbq::workbook;

constexpr int kRows = 100000;
constexpr int kColumns = 20;

// The folder of this run's workbook, removed when the program ends.
struct BenchFolder {
    std::string path =
        (std::filesystem::temp_directory_path() / ("zbq-wbbench-" + std::to_string(getpid())))
            .string();
    BenchFolder() { std::filesystem::create_directories(path); }
    ~BenchFolder() { std::filesystem::remove_all(path); }
};

const std::string& workbookPath() {
    static const BenchFolder folder;
    static const std::string path = [] {
        const std::string p = folder.path + "/big.xlsx";
        lxw_workbook* wb = workbook_new(p.c_str());
        lxw_worksheet* ws = workbook_add_worksheet(wb, "data");
        lxw_format* date = workbook_add_format(wb);
        format_set_num_format_index(date, 14);
        for (int c = 0; c < kColumns; ++c)
            worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c),
                                   ("item" + std::to_string(c)).c_str(), nullptr);
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                const auto row = static_cast<lxw_row_t>(r);
                const auto col = static_cast<lxw_col_t>(c);
                switch (c / 5) {
                    case 0:
                        worksheet_write_number(ws, row, col, (r * 7 + c) % 100000, nullptr);
                        break;
                    case 1:
                        worksheet_write_number(ws, row, col, ((r * 13 + c) % 100000) / 8.0,
                                               nullptr);
                        break;
                    case 2:
                        worksheet_write_string(ws, row, col,
                                               ("text" + std::to_string((r + c) % 1000)).c_str(),
                                               nullptr);
                        break;
                    default:
                        worksheet_write_number(ws, row, col, 40000 + (r + c) % 5000, date);
                        break;
                }
            }
        if (workbook_close(wb) != LXW_NO_ERROR) std::abort();
        std::atexit([] {
            std::filesystem::remove_all(std::filesystem::path(workbookPath()).parent_path());
        });
        return p;
    }();
    return path;
}

std::unique_ptr<WorkbookReader> openBook() {
    ReadFailure failure;
    auto book = WorkbookReader::open(workbookPath(), ReadStage::ListSheets, &failure);
    if (!book) std::abort();
    return book;
}

void BM_ListSheets(benchmark::State& state) {
    workbookPath();
    for (auto _ : state) {
        auto book = openBook();
        benchmark::DoNotOptimize(book->sheets().size());
    }
}
BENCHMARK(BM_ListSheets)->Unit(benchmark::kMillisecond);

void BM_ReadItemInformation(benchmark::State& state) {
    workbookPath();
    for (auto _ : state) {
        auto book = openBook();
        ReadFailure failure;
        auto sheet = book->openSheet(0, ReadStage::ReadItems, &failure);
        if (!sheet) std::abort();
        const UsedRange range = sheet->usedRange();
        std::size_t cells = 0;
        sheet->readRows(
            range.firstRow, range.firstRow + 1, ReadStage::ReadItems,
            [&](const RangeRow& r) {
                cells += r.cells.size();
                return true;
            },
            &failure);
        benchmark::DoNotOptimize(cells);
    }
}
BENCHMARK(BM_ReadItemInformation)->Unit(benchmark::kMillisecond);

// Where item information's time goes: the sheet part inflated by the zip library (zlib) and by
// the reader's own stream (ISA-L), and the range skimmed from the part already inflated.
zip_uint64_t sheetPart(zip_t* za, zip_stat_t& st) {
    const zip_int64_t index = zip_name_locate(za, "xl/worksheets/sheet1.xml", 0);
    if (index < 0 || zip_stat_index(za, static_cast<zip_uint64_t>(index), 0, &st) != 0)
        std::abort();
    return static_cast<zip_uint64_t>(index);
}

void BM_InflateSheetZlib(benchmark::State& state) {
    zip_t* za = zip_open(workbookPath().c_str(), ZIP_RDONLY, nullptr);
    zip_stat_t st;
    const zip_uint64_t index = sheetPart(za, st);
    std::vector<char> chunk(std::size_t{1} << 18);
    for (auto _ : state) {
        zip_file_t* f = zip_fopen_index(za, index, 0);
        std::size_t total = 0;
        for (zip_int64_t n; (n = zip_fread(f, chunk.data(), chunk.size())) > 0;)
            total += static_cast<std::size_t>(n);
        zip_fclose(f);
        if (total != st.size) std::abort();
    }
    state.counters["sheet_MB"] = static_cast<double>(st.size) / 1e6;
    zip_discard(za);
}
BENCHMARK(BM_InflateSheetZlib)->Unit(benchmark::kMillisecond);

void BM_InflateSheetIsal(benchmark::State& state) {
    zip_t* za = zip_open(workbookPath().c_str(), ZIP_RDONLY, nullptr);
    zip_stat_t st;
    const zip_uint64_t index = sheetPart(za, st);
    std::vector<char> chunk(std::size_t{1} << 18);
    for (auto _ : state) {
        ZipPartStream stream;
        if (!stream.open(za, index, st, nullptr)) std::abort();
        std::size_t total = 0;
        for (long long n; (n = stream.read(chunk.data(), chunk.size())) > 0;)
            total += static_cast<std::size_t>(n);
        if (total != st.size || !stream.error().empty()) std::abort();
    }
    zip_discard(za);
}
BENCHMARK(BM_InflateSheetIsal)->Unit(benchmark::kMillisecond);

void BM_SkimInflatedSheet(benchmark::State& state) {
    zip_t* za = zip_open(workbookPath().c_str(), ZIP_RDONLY, nullptr);
    zip_stat_t st;
    const zip_uint64_t index = sheetPart(za, st);
    std::string xml(st.size, '\0');
    zip_file_t* f = zip_fopen_index(za, index, 0);
    if (zip_fread(f, xml.data(), xml.size()) != static_cast<zip_int64_t>(xml.size())) std::abort();
    zip_fclose(f);
    zip_discard(za);
    for (auto _ : state) {
        std::size_t at = 0;
        SheetRangeSkimmer skimmer(
            [&](char* data, std::size_t size) -> long long {
                const std::size_t n = std::min(size, xml.size() - at);
                std::memcpy(data, xml.data() + at, n);
                at += n;
                return static_cast<long long>(n);
            },
            std::size_t{1} << 20);
        if (!skimmer.run()) std::abort();
        benchmark::DoNotOptimize(skimmer.range());
    }
}
BENCHMARK(BM_SkimInflatedSheet)->Unit(benchmark::kMillisecond);

// The whole sheet into texts; with `known`, its scan is the one item information left (as the
// import dialog keeps it), else the sheet is scanned first.
void readWholeIntoTexts(benchmark::State& state, bool known) {
    workbookPath();
    KnownScan scan;
    if (known) {
        ReadFailure failure;
        auto sheet = openBook()->openSheet(0, ReadStage::ReadItems, &failure);
        if (!sheet) std::abort();
        scan = sheet->scan();
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto book = openBook();
        ReadFailure failure;
        auto sheet = book->openSheet(0, ReadStage::ReadData, &failure, scan);
        if (!sheet) std::abort();
        std::string line;
        bytes = 0;
        sheet->readRows(
            2, 1048576, ReadStage::ReadData,
            [&](const RangeRow& r) {
                line.clear();
                for (const ReadCell& c : r.cells) {
                    line += c.text;
                    line += '\t';
                }
                line.back() = '\n';
                bytes += line.size();
                return true;
            },
            &failure);
        if (failure.error != ReadError::None) std::abort();
    }
    state.counters["text_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_ReadWholeIntoTexts(benchmark::State& state) {
    readWholeIntoTexts(state, false);
}
BENCHMARK(BM_ReadWholeIntoTexts)->Unit(benchmark::kMillisecond);

void BM_ReadWholeAfterItemInformation(benchmark::State& state) {
    readWholeIntoTexts(state, true);
}
BENCHMARK(BM_ReadWholeAfterItemInformation)->Unit(benchmark::kMillisecond);

// .xls workbooks of 10,000 and 65,535 rows × 20 columns (a heading row; integers, decimals,
// texts and dates, five columns each), written once per run by xlwt. ZBQ_BENCH_XLS names another
// .xls to read instead at the larger size (one saved by a spreadsheet program, say).
const std::string& xlsPath(int rows) {
    static const BenchFolder folder;
    static std::map<int, std::string> paths;
    if (auto known = paths.find(rows); known != paths.end()) return known->second;
    const char* given = std::getenv("ZBQ_BENCH_XLS");
    std::string p = folder.path + "/big" + std::to_string(rows) + ".xls";
    if (given && rows == 65535) {
        p = given;
    } else {
        const std::string cmd =
            "/usr/bin/python3 -c \"import sys, datetime, xlwt\n"
            "wb = xlwt.Workbook(encoding='utf-8')\n"
            "ws = wb.add_sheet('data')\n"
            "date = xlwt.easyxf(num_format_str='yyyy/m/d')\n"
            "for c in range(20): ws.write(0, c, 'item%d' % c)\n"
            "for r in range(1, int(sys.argv[2])):\n"
            "    for c in range(20):\n"
            "        k = c // 5\n"
            "        if k == 0: ws.write(r, c, r * 7 + c)\n"
            "        elif k == 1: ws.write(r, c, r * 0.25 + c)\n"
            "        elif k == 2: ws.write(r, c, 'text%d' % ((r + c) % 1000))\n"
            "        else: ws.write(r, c, datetime.date(2000, 1, 1) + datetime.timedelta(r % "
            "9000), date)\n"
            "wb.save(sys.argv[1])\n\" '" +
            p + "' " + std::to_string(rows);
        if (std::system(cmd.c_str()) != 0) std::abort();
    }
    return paths[rows] = p;
}

// Opening the workbook, the sheet and every row read into cells, as the import reads it.
void BM_XlsReadWhole(benchmark::State& state) {
    const std::string& path = xlsPath(static_cast<int>(state.range(0)));
    std::size_t cells = 0;
    for (auto _ : state) {
        ReadFailure failure;
        auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
        if (!book) std::abort();
        auto sheet = book->openSheet(0, ReadStage::ReadData, &failure);
        if (!sheet) std::abort();
        cells = 0;
        if (!sheet->readRows(
                1, 1048576, ReadStage::ReadData,
                [&](const RangeRow& row) {
                    for (const ReadCell& c : row.cells)
                        cells += c.kind != CellKind::Empty;
                    return true;
                },
                &failure))
            std::abort();
        benchmark::DoNotOptimize(cells);
    }
    state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_XlsReadWhole)->Arg(10000)->Arg(65535)->Unit(benchmark::kMillisecond);

// xlrd over the same .xls, every value of the sheet (the interpreter's start included).
void BM_XlrdReadWhole(benchmark::State& state) {
    const std::string cmd =
        "/usr/bin/python3 -c \"import sys, xlrd\n"
        "s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
        "n = sum(1 for r in range(s.nrows) for v in s.row_values(r))\n\" '" +
        xlsPath(static_cast<int>(state.range(0))) + "'";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError("xlrd did not run");
            return;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_XlrdReadWhole)
    ->Arg(65535)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// openpyxl in read-only mode, every value of every row (the interpreter's start included).
void BM_OpenpyxlReadOnly(benchmark::State& state) {
    const std::string cmd =
        "/usr/bin/python3 -c \"import sys, openpyxl\n"
        "wb = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
        "n = sum(1 for row in wb.active.iter_rows(values_only=True) for v in row)\n\" '" +
        workbookPath() + "'";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError("openpyxl did not run");
            return;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_OpenpyxlReadOnly)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
