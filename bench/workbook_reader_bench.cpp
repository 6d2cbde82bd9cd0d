// Reading workbooks for import. A 100,000-row × 20-column workbook: listing its sheets, reading
// its item information (the used range and the first two rows) and reading it whole into the
// cells' texts, tab-separated as the data file takes them; the parts of item information's time
// (inflating the sheet, skimming it); and openpyxl's read-only reading of the same file for
// comparison. A 1,000,000-row × 20-column workbook in the form a spreadsheet program saves,
// read whole. .xls workbooks of 10,000 and 65,535 rows read whole, and xlrd reading the larger.
//
// Each workbook is written once per run: the 100,000 rows by libxlsxwriter and the 1,000,000
// rows by a generator of our own (below), both five columns each of integers, decimals, texts
// (shared strings) and dates; the .xls workbooks by xlwt. ZBQ_BENCH_XLSX names a workbook of
// one's own to read whole beside them.
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
#include <fstream>
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

std::unique_ptr<WorkbookReader> openBook(const std::string& path = workbookPath()) {
    ReadFailure failure;
    auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
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

// The whole first sheet of `path` into texts; with `known`, its scan is the one item
// information left (as the import dialog keeps it), else the sheet is scanned first.
void readWholeIntoTexts(benchmark::State& state, bool known,
                        const std::string& path = workbookPath()) {
    KnownScan scan;
    if (known) {
        ReadFailure failure;
        auto sheet = openBook(path)->openSheet(0, ReadStage::ReadItems, &failure);
        if (!sheet) std::abort();
        scan = sheet->scan();
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto book = openBook(path);
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

// 1,000,000 rows × 20 columns as a spreadsheet program saves them: every cell with its
// reference, style and type, every row with its attributes, texts in the shared-string table,
// dates in a custom format. The sheet (about 750 MB of XML) is written to a file first and
// deflated from it, so that the generator never holds it.
constexpr int kMillionRows = 1000000;

void writeMillionRowSheet(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    std::string row;
    out << R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
           R"(<dimension ref="A1:T)"
        << kMillionRows << R"("/><sheetData>)";
    const auto letter = [](int c) { return static_cast<char>('A' + c); };
    for (int r = 1; r <= kMillionRows; ++r) {
        const std::string n = std::to_string(r);
        row = R"(<row r=")" + n +
              R"(" customFormat="false" ht="12.8" hidden="false" customHeight="false" )"
              R"(outlineLevel="0" collapsed="false">)";
        for (int c = 0; c < kColumns; ++c) {
            row += R"(<c r=")";
            row += letter(c);
            row += n;
            if (r == 1) {
                row += R"(" s="0" t="s"><v>)" + std::to_string(c) + "</v></c>";
                continue;
            }
            switch (c / 5) {
                case 0:
                    row += R"(" s="0" t="n"><v>)" + std::to_string((r * 7 + c) % 100000);
                    break;
                case 1: {
                    char text[32];
                    std::snprintf(text, sizeof text, "%.15g", ((r * 13 + c) % 100000) / 8.0);
                    row += R"(" s="0" t="n"><v>)";
                    row += text;
                    break;
                }
                case 2:
                    row += R"(" s="0" t="s"><v>)" + std::to_string(kColumns + (r + c) % 1000);
                    break;
                default:
                    row += R"(" s="1" t="n"><v>)" + std::to_string(40000 + (r + c) % 5000);
                    break;
            }
            row += "</v></c>";
        }
        row += "</row>";
        out << row;
    }
    out << "</sheetData></worksheet>";
    if (!out.flush()) std::abort();
}

const std::string& millionRowPath() {
    static const BenchFolder folder;
    static const std::string path = [] {
        const std::string p = folder.path + "/million.xlsx";
        const std::string sheetFile = folder.path + "/sheet1.xml";
        writeMillionRowSheet(sheetFile);
        std::string strings =
            R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
            R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";
        for (int c = 0; c < kColumns; ++c)
            strings += "<si><t>item" + std::to_string(c) + "</t></si>";
        for (int i = 0; i < 1000; ++i)
            strings += "<si><t>text" + std::to_string(i) + "</t></si>";
        strings += "</sst>";
        const std::vector<std::pair<std::string, std::string>> parts = {
            {"[Content_Types].xml",
             R"(<?xml version="1.0" encoding="UTF-8"?>)"
             R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
             R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
             R"(<Default Extension="xml" ContentType="application/xml"/></Types>)"},
            {"_rels/.rels",
             R"(<?xml version="1.0" encoding="UTF-8"?>)"
             R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
             R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
             R"(</Relationships>)"},
            {"xl/workbook.xml",
             R"(<?xml version="1.0" encoding="UTF-8"?>)"
             R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
             R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
             R"(<sheets><sheet name="data" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
            {"xl/_rels/workbook.xml.rels",
             R"(<?xml version="1.0" encoding="UTF-8"?>)"
             R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
             R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
             R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)"
             R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
             R"(</Relationships>)"},
            {"xl/styles.xml",
             R"(<?xml version="1.0" encoding="UTF-8"?>)"
             R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
             R"(<numFmts count="2"><numFmt numFmtId="164" formatCode="General"/>)"
             R"(<numFmt numFmtId="165" formatCode="yyyy\-mm\-dd"/></numFmts>)"
             R"(<cellXfs count="2"><xf numFmtId="164"/><xf numFmtId="165"/></cellXfs></styleSheet>)"},
            {"xl/sharedStrings.xml", strings},
        };
        int err = 0;
        zip_t* za = zip_open(p.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        if (!za) std::abort();
        for (const auto& [name, data] : parts)
            if (zip_file_add(za, name.c_str(), zip_source_buffer(za, data.data(), data.size(), 0),
                             ZIP_FL_OVERWRITE) < 0)
                std::abort();
        const zip_int64_t sheet =
            zip_file_add(za, "xl/worksheets/sheet1.xml",
                         zip_source_file(za, sheetFile.c_str(), 0, -1), ZIP_FL_OVERWRITE);
        // The fastest deflate: the sheet is read, not kept.
        if (sheet < 0 ||
            zip_set_file_compression(za, static_cast<zip_uint64_t>(sheet), ZIP_CM_DEFLATE, 1) != 0)
            std::abort();
        if (zip_close(za) != 0) std::abort();
        std::filesystem::remove(sheetFile);
        return p;
    }();
    return path;
}

void BM_MillionRowsReadWholeAfterItemInformation(benchmark::State& state) {
    readWholeIntoTexts(state, true, millionRowPath());
}
BENCHMARK(BM_MillionRowsReadWholeAfterItemInformation)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// A workbook of one's own, named by ZBQ_BENCH_XLSX: its first sheet's item information (the
// scan that finds its range, or refuses it: the label says which).
void BM_OwnWorkbookItemInformation(benchmark::State& state) {
    const char* path = std::getenv("ZBQ_BENCH_XLSX");
    if (!path) {
        state.SkipWithError("ZBQ_BENCH_XLSX names no workbook");
        return;
    }
    ReadFailure failure;
    for (auto _ : state) {
        failure = ReadFailure{};
        auto sheet = openBook(path)->openSheet(0, ReadStage::ReadItems, &failure);
        benchmark::DoNotOptimize(sheet.get());
    }
    state.SetLabel(failure.error == ReadError::None ? "read" : "refused: " + failure.detail);
}
BENCHMARK(BM_OwnWorkbookItemInformation)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same workbook read whole after its item information.
void BM_OwnWorkbookReadWholeAfterItemInformation(benchmark::State& state) {
    const char* path = std::getenv("ZBQ_BENCH_XLSX");
    if (!path) {
        state.SkipWithError("ZBQ_BENCH_XLSX names no workbook");
        return;
    }
    readWholeIntoTexts(state, true, path);
}
BENCHMARK(BM_OwnWorkbookReadWholeAfterItemInformation)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

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
