// The workbook reader against workbooks of independent writers and assembled packages: sheets,
// used ranges and every cell's kind, text and format code.
#include "platform/workbook/workbook_reader.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "platform/core/cp932.h"
#include "platform/workbook/workbook_reader_formats.h"
#include "tests/platform_workbook/workbook_reader_fixtures.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::workbook;
using zbq::cp932::literal;
using zbq::test::TempDir;

struct WantSheet {
    std::string name;  // UTF-8
    bool hidden;
    std::string range;  // "A1:H5", "" for a sheet without values
};

struct WantCell {
    std::string sheet, cell;  // UTF-8, "B2"
    CellKind kind;
    std::string text, format;  // UTF-8
};

struct ReadSheet {
    UsedRange range;
    std::map<std::string, ReadCell> cells;  // the cells that hold a value
};

std::string rangeText(const UsedRange& r) {
    if (r.empty()) return "";
    return cellName(r.firstColumn, r.firstRow) + ":" + cellName(r.lastColumn, r.lastRow);
}

// A book of one sheet holding `sheetData`, written at `path`, and that sheet opened for
// `stage`; `sheet` is null (and the test failed) where the book or sheet does not open.
struct OneSheet {
    std::unique_ptr<WorkbookReader> book;
    std::unique_ptr<SheetReader> sheet;
    ReadFailure failure;
};
OneSheet openOneSheet(const std::string& path, const std::string& sheetData, ReadStage stage) {
    zbq::test::AssembledBook assembled;
    assembled.sheets.emplace_back("S", zbq::test::sheetXml(sheetData));
    zbq::test::writeAssembledBook(path, assembled);
    OneSheet one;
    one.book = WorkbookReader::open(path, stage, &one.failure);
    if (one.book) one.sheet = one.book->openSheet(0, stage, &one.failure);
    if (!one.sheet) ADD_FAILURE() << one.failure.detail;
    return one;
}

// Every sheet's valued cells; of a sheet over a thousand rows only its first and last rows.
// Each sheet is opened with known[i] where given, and its scan kept in `scans` where given.
std::vector<ReadSheet> readAll(WorkbookReader& book, const std::vector<KnownScan>* known = nullptr,
                               std::vector<KnownScan>* scans = nullptr) {
    std::vector<ReadSheet> out;
    for (std::size_t i = 0; i < book.sheets().size(); ++i) {
        ReadFailure failure;
        auto sheet = book.openSheet(i, ReadStage::ReadData, &failure,
                                    known && i < known->size() ? (*known)[i] : nullptr);
        EXPECT_TRUE(sheet) << failure.detail;
        if (!sheet) return out;
        if (scans) scans->push_back(sheet->scan());
        ReadSheet rs;
        rs.range = sheet->usedRange();
        auto keep = [&](const RangeRow& row) {
            EXPECT_EQ(row.cells.size(), rs.range.lastColumn - rs.range.firstColumn + 1);
            for (std::size_t c = 0; c < row.cells.size(); ++c)
                if (row.cells[c].kind != CellKind::Empty)
                    rs.cells[cellName(rs.range.firstColumn + static_cast<uint32_t>(c), row.row)] =
                        row.cells[c];
            return true;
        };
        const UsedRange& r = rs.range;
        if (r.lastRow - r.firstRow > 1000) {
            EXPECT_TRUE(
                sheet->readRows(r.firstRow, r.firstRow, ReadStage::ReadData, keep, &failure))
                << failure.detail;
            EXPECT_TRUE(sheet->readRows(r.lastRow, r.lastRow, ReadStage::ReadData, keep, &failure))
                << failure.detail;
        } else {
            uint32_t expected = r.firstRow;
            EXPECT_TRUE(sheet->readRows(
                1, 1048576, ReadStage::ReadData,
                [&](const RangeRow& row) {
                    EXPECT_EQ(row.row, expected++) << "rows come one by one, blank ones included";
                    return keep(row);
                },
                &failure))
                << failure.detail;
            if (!r.empty()) {
                EXPECT_EQ(expected, r.lastRow + 1);
            }
        }
        out.push_back(std::move(rs));
    }
    return out;
}

using zbq::test::kindName;

struct Fixture {
    std::string name;
    std::string file;
    std::function<void(const std::string&)> write;
    bool date1904;
    std::vector<WantSheet> sheets;
    std::vector<WantCell> cells;  // every valued cell of every sheet
};

using K = CellKind;

zbq::test::AssembledBook handMadeBook() {
    zbq::test::AssembledBook book;
    // A dimension that lies, cells without r (their place follows the previous cell), a row
    // without r, formulas with cached values of each type and one without, inline strings with
    // runs and a phonetic reading, escaped characters, a value hidden under a merge, a '>' and
    // the other quote inside an attribute value; this sheet and the strings open with a UTF-8
    // byte-order mark, as some writers make them.
    book.sheets.emplace_back(
        "手",
        "\xEF\xBB\xBF"
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<x:dimension ref="A1:B2"/><x:sheetData>)"
        R"(<x:row r="2"><x:c r="B2" t="s"><x:v>0</x:v></x:c><x:c t="s"><x:v>1</x:v></x:c>)"
        R"(<x:c t="inlineStr"><x:is><x:t xml:space="preserve">in_x000D_line &amp; _x005F_x0041_</x:t></x:is></x:c></x:row>)"
        R"(<x:row><x:c><x:v>1.5</x:v></x:c><x:c t="str"><x:f>A1</x:f><x:v>式</x:v></x:c>)"
        R"(<x:c t="b"><x:f>TRUE()</x:f><x:v>1</x:v></x:c><x:c t="e"><x:f>1/0</x:f><x:v>#DIV/0!</x:v></x:c>)"
        R"(<x:c s="1"><x:f>X</x:f><x:v>60</x:v></x:c><x:c s="2"><x:f>Y</x:f></x:c><x:c s="3"><x:v>45000</x:v></x:c>)"
        R"(<x:c s="4"><x:v>7</x:v></x:c><x:c s="9"><x:v>8</x:v></x:c></x:row>)"
        R"(<x:row r="5" spans="1:9" x:note='a>"b'><x:c r="D5" t="inlineStr"><x:is><x:r><x:t>ri</x:t></x:r><x:r><x:rPr/><x:t>ch</x:t></x:r>)"
        R"(<x:rPh sb="0" eb="1"><x:t>ルビ</x:t></x:rPh></x:is></x:c><x:c r="E5"><x:v>1</x:v></x:c><x:c r="F5"><x:v>2</x:v></x:c></x:row>)"
        R"(<x:row r="6"><x:c r="A6"><x:is><x:t>untyped</x:t></x:is></x:c>)"
        R"(<x:c r="B6" s="1"><x:v>9223372036854775808</x:v></x:c><x:c r="C6" s="1"/>)"
        R"(<x:c r="D6" t="n"><x:is><x:t>typed</x:t></x:is></x:c></x:row>)"
        R"(</x:sheetData><x:mergeCells count="1"><x:mergeCell ref="E5:F6"/></x:mergeCells></x:worksheet>)");
    book.sheets.emplace_back("空", zbq::test::sheetXml(R"(<row r="1"><c r="A1" s="1"/></row>)"));
    book.sharedStrings =
        "\xEF\xBB\xBF"
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="2" uniqueCount="2">)"
        R"(<si><r><t>漢</t></r><r><rPr><b/></rPr><t>字</t></r><rPh sb="0" eb="2"><t>カンジ</t></rPh><phoneticPr fontId="1"/></si>)"
        R"(<si><t>a_x000D__x000A_b</t></si></sst>)";
    book.styles =
        R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<numFmts count="2"><numFmt numFmtId="164" formatCode="[$-411]ggge&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/>)"
        R"(<numFmt numFmtId="165" formatCode="&quot;yyyy&quot;0"/></numFmts>)"
        R"(<cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="22"/><xf numFmtId="164"/><xf numFmtId="165"/></cellXfs>)"
        R"(</styleSheet>)";
    return book;
}

std::vector<Fixture> fixtures() {
    // The same cells in both date systems: a .xls reader gives dates by the workbook's own mode.
    // xlwt writes the general format as a code of its own, "General".
    const std::vector<WantCell> xlwtCells{
        {"一覧", "A1", K::Text, "日本語", "General"},
        {"一覧", "B1", K::Number, "42", "General"},
        {"一覧", "C1", K::Number, "1.5", "General"},
        {"一覧", "D1", K::Number, "123456789.25", "General"},
        {"一覧", "A2", K::Number, "2024/3/5", "yyyy/mm/dd"},
        {"一覧", "B2", K::Number, "7:05:09", "h:mm:ss"},
        {"一覧", "C2", K::Number, "2024/3/5 17:05:09", "yyyy/mm/dd h:mm:ss"},
        {"一覧", "E4", K::Text, "end", "General"},
        {"二", "B3", K::Number, "-3", "General"},
    };
    return {
        {"openpyxl",
         "o.xlsx",
         zbq::test::writeOpenpyxlBook,
         false,
         {{"データ", false, "A1:G5"}, {"隠し", true, "B2:B2"}, {"端", false, "A1:XFD1048576"}},
         {
             {"データ", "A1", K::Text, "名前", "G/標準"},
             {"データ", "B1", K::Number, "2024", "G/標準"},
             {"データ", "C1", K::Text, "日付", "G/標準"},
             {"データ", "G1", K::Text, "結合", "G/標準"},
             {"データ", "A2", K::Text, "①～", "G/標準"},
             {"データ", "B2", K::Number, "3", "G/標準"},
             {"データ", "C2", K::Number, "2024/3/5", "yyyy-mm-dd"},
             {"データ", "D2", K::Number, "7:05:09", "h:mm:ss"},
             {"データ", "E2", K::Number, "2024/3/5 7:05:09", "yyyy-mm-dd h:mm:ss"},
             {"データ", "F2", K::Boolean, "TRUE", "G/標準"},
             {"データ", "A3", K::Error, "#N/A", "G/標準"},
             {"データ", "B3", K::Number, "1.5", "0.0"},
             {"データ", "C3", K::Number, "2023/3/15", "yyyy/m/d"},
             {"データ", "E3", K::Number, "1234567.891", "#,##0.00"},
             {"データ", "B4", K::Number, "0.3", "G/標準"},
             {"データ", "A5", K::Number, "1.23456789012346e+16", "G/標準"},
             {"隠し", "B2", K::Text, "x", "G/標準"},
             {"端", "A1", K::Number, "2", "G/標準"},
             {"端", "XFD1048576", K::Number, "1", "G/標準"},
         }},
        {"openpyxl 1904",
         "o1904.xlsx",
         zbq::test::writeOpenpyxl1904Book,
         true,
         {{"Sheet", false, "A1:B1"}},
         {
             {"Sheet", "A1", K::Number, "2024/3/5", "yyyy-mm-dd"},
             {"Sheet", "B1", K::Number, "1904/1/1", "yyyy/m/d"},
         }},
        {"libxlsxwriter",
         "w.xlsx",
         zbq::test::writeXlsxwriterBook,
         false,
         {{"表", false, "A1:F5"}, {"裏", true, "A1:A1"}},
         {
             {"表", "A1", K::Text, "テキスト", "G/標準"},
             {"表", "B1", K::Number, "1900/2/29", "yyyy/m/d"},
             {"表", "C1", K::Number, "1900/3/1", "yyyy/m/d"},
             {"表", "D1", K::Number, "2023/3/15 12:00:00", "yyyy/m/d h:mm"},
             {"表", "E1", K::Number, "18:00:00", "h:mm:ss"},
             {"表", "A2", K::Number, "2023/3/15", "yyyy/m/d"},
             {"表", "B2", K::Number, "2", "G/標準"},
             {"表", "C2", K::Boolean, "FALSE", "G/標準"},
             {"表", "D2", K::Text, "太字", "G/標準"},
             {"表", "F4", K::Number, "-2.5", "G/標準"},
             {"表", "A5", K::Text, "結合", "G/標準"},
             {"裏", "A1", K::Text, "x", "G/標準"},
         }},
        {"xlwt",
         "x.xls",
         [](const std::string& p) { zbq::test::writeXlwtBook(p, false); },
         false,
         {{"一覧", false, "A1:E4"}, {"二", false, "B3:B3"}},
         xlwtCells},
        {"xlwt 1904",
         "x1904.xls",
         [](const std::string& p) { zbq::test::writeXlwtBook(p, true); },
         true,
         {{"一覧", false, "A1:E4"}, {"二", false, "B3:B3"}},
         xlwtCells},
        {"assembled",
         "a.xlsx",
         [](const std::string& p) { zbq::test::writeAssembledBook(p, handMadeBook()); },
         false,
         {{"手", false, "A2:I6"}, {"空", false, ""}},
         {
             {"手", "B2", K::Text, "漢字", "G/標準"},
             {"手", "C2", K::Text, "a\r\nb", "G/標準"},
             {"手", "D2", K::Text, "in\rline & _x0041_", "G/標準"},
             {"手", "A3", K::Number, "1.5", "G/標準"},
             {"手", "B3", K::Text, "式", "G/標準"},
             {"手", "C3", K::Boolean, "TRUE", "G/標準"},
             {"手", "D3", K::Error, "#DIV/0!", "G/標準"},
             {"手", "E3", K::Number, "1900/2/29", "yyyy/m/d"},
             {"手", "G3", K::Number, "2023/3/15", "[$-411]ggge\"年\"m\"月\"d\"日\""},
             {"手", "H3", K::Number, "7", "\"yyyy\"0"},
             {"手", "I3", K::Number, "8", "G/標準"},
             {"手", "D5", K::Text, "rich", "G/標準"},
             {"手", "E5", K::Number, "1", "G/標準"},
             // An inline string read whatever t says, and a date serial past any date (from
             // 2^63 up, beyond a 64-bit day count) read as the number it is.
             {"手", "A6", K::Text, "untyped", "G/標準"},
             {"手", "B6", K::Number, "9.22337203685478e+18", "yyyy/m/d"},
             {"手", "D6", K::Text, "typed", "G/標準"},
         }},
    };
}

TEST(WorkbookReader, ReadsWorkbooksOfIndependentWriters) {
    TempDir dir;
    for (const Fixture& fx : fixtures()) {
        SCOPED_TRACE(fx.name);
        const std::string path = dir.file(fx.file);
        fx.write(path);
        ReadFailure failure;
        auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
        ASSERT_TRUE(book) << failure.detail;
        EXPECT_EQ(book->date1904(), fx.date1904);
        ASSERT_EQ(book->sheets().size(), fx.sheets.size());
        for (std::size_t i = 0; i < fx.sheets.size(); ++i) {
            EXPECT_EQ(book->sheets()[i].name, literal(fx.sheets[i].name));
            EXPECT_EQ(book->sheets()[i].hidden, fx.sheets[i].hidden) << fx.sheets[i].name;
        }
        const std::vector<ReadSheet> sheets = readAll(*book);
        ASSERT_EQ(sheets.size(), fx.sheets.size());
        std::size_t expectedValued = 0;
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            EXPECT_EQ(rangeText(sheets[i].range), fx.sheets[i].range) << fx.sheets[i].name;
            for (const WantCell& want : fx.cells) {
                if (want.sheet != fx.sheets[i].name) continue;
                ++expectedValued;
                const auto got = sheets[i].cells.find(want.cell);
                if (got == sheets[i].cells.end()) {
                    ADD_FAILURE() << want.sheet << "!" << want.cell << " holds no value";
                    continue;
                }
                EXPECT_STREQ(kindName(got->second.kind), kindName(want.kind))
                    << want.sheet << "!" << want.cell;
                EXPECT_EQ(zbq::cp932::toUtf8(got->second.text), want.text)
                    << want.sheet << "!" << want.cell;
                EXPECT_EQ(zbq::cp932::toUtf8(got->second.formatCode), want.format)
                    << want.sheet << "!" << want.cell;
            }
        }
        std::size_t valued = 0;
        for (const ReadSheet& s : sheets)
            valued += s.cells.size();
        EXPECT_EQ(valued, expectedValued) << "cells with a value that no expectation names";

        // Opened again with the scans the first reading left, every sheet reads the same.
        std::vector<KnownScan> scans;
        auto first = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
        ASSERT_TRUE(first) << failure.detail;
        readAll(*first, nullptr, &scans);
        auto again = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
        ASSERT_TRUE(again) << failure.detail;
        const std::vector<ReadSheet> reread = readAll(*again, &scans);
        ASSERT_EQ(reread.size(), sheets.size());
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            EXPECT_EQ(reread[i].range, sheets[i].range) << fx.sheets[i].name;
            ASSERT_EQ(reread[i].cells.size(), sheets[i].cells.size()) << fx.sheets[i].name;
            for (const auto& [name, cell] : sheets[i].cells) {
                const ReadCell& other = reread[i].cells.at(name);
                EXPECT_TRUE(other.kind == cell.kind && other.text == cell.text &&
                            other.formatCode == cell.formatCode)
                    << fx.sheets[i].name << "!" << name;
            }
        }
    }
}

// A scan handed back spares the next opening its scan only for the same sheet of the same file
// unchanged, and the reading confirms it: a scan that no longer fits never shapes the rows.
TEST(WorkbookReader, TakesAKnownScanOnlyWhereTheSheetStillAgrees) {
    TempDir dir;
    const std::string path = dir.file("known.xlsx");
    zbq::test::AssembledBook book;
    book.sheets.emplace_back(
        "S", zbq::test::sheetXml(R"(<row r="2"><c r="B2"><v>1</v></c><c r="C2"><v>2</v></c></row>)"
                                 R"(<row r="4"><c r="D4"><v>3</v></c></row>)"
                                 R"(<row r="9"><c r="A9" s="0"/></row>)"));
    book.sheets.emplace_back("T",
                             zbq::test::sheetXml(R"(<row r="1"><c r="A1"><v>7</v></c></row>)"));
    zbq::test::writeAssembledBook(path, book);
    ReadFailure failure;
    KnownScan scan;
    {
        auto reader = WorkbookReader::open(path, ReadStage::ReadItems, &failure);
        ASSERT_TRUE(reader) << failure.detail;
        auto sheet = reader->openSheet(0, ReadStage::ReadItems, &failure);
        ASSERT_TRUE(sheet) << failure.detail;
        scan = sheet->scan();
        ASSERT_TRUE(scan);
        EXPECT_EQ(rangeText(scan->range), "B2:D4");
    }
    auto rowsOf = [&](std::size_t index, const KnownScan& known, ReadFailure& f) {
        std::vector<std::string> rows;
        auto reader = WorkbookReader::open(path, ReadStage::ReadData, &f);
        if (!reader) return std::vector<std::string>{"open failed"};
        auto sheet = reader->openSheet(index, ReadStage::ReadData, &f, known);
        if (!sheet) return std::vector<std::string>{"no sheet"};
        rows.push_back(rangeText(sheet->usedRange()));
        const bool ok = sheet->readRows(
            1, 1048576, ReadStage::ReadData,
            [&](const RangeRow& r) {
                std::string line = std::to_string(r.row) + ":";
                for (const ReadCell& c : r.cells)
                    line += c.text + ",";
                rows.push_back(line);
                return true;
            },
            &f);
        if (!ok) rows.push_back("failed");
        return rows;
    };
    const std::vector<std::string> honest{"B2:D4", "2:1,2,,", "3:,,,", "4:,,3,"};
    auto tampered = [&](const std::function<void(SheetScan&)>& change) {
        auto copy = std::make_shared<SheetScan>(*scan);
        change(*copy);
        return KnownScan(copy);
    };

    ReadFailure f;
    EXPECT_EQ(rowsOf(0, scan, f), honest);
    // Another sheet, or the file since changed: scanned afresh.
    EXPECT_EQ(rowsOf(1, scan, f), (std::vector<std::string>{"A1:A1", "1:7,"}));
    EXPECT_EQ(rowsOf(0, tampered([](SheetScan& s) {
                         s.range.lastColumn = 9;
                         s.file.modifiedNs += 1;
                     }),
                     f),
              honest);

    // The same file by every sign, but the sheet does not agree: the reading fails.
    for (const auto& change : std::vector<std::function<void(SheetScan&)>>{
             [](SheetScan& s) { s.range.lastRow = 3; },
             [](SheetScan& s) { s.range.lastColumn = 9; },
             [](SheetScan& s) { s.range.firstColumn = 1; },
             [](SheetScan& s) {
                 s.merges.push_back(SheetMerge{2, 2, 3, 2});
             },
         }) {
        ReadFailure bad;
        const auto rows = rowsOf(0, tampered(change), bad);
        EXPECT_EQ(rows.back(), "failed");
        EXPECT_EQ(bad.error, ReadError::Damaged);
        EXPECT_EQ(bad.stage, ReadStage::ReadData);
    }
}

// The import reads a header and a sample from a sheet of any length, and blocks of rows: a read
// covers the rows asked for, in the used range's columns, and stops when the caller has enough.
TEST(WorkbookReader, ReadsTheRowsAskedForAndStopsWhenTold) {
    TempDir dir;
    const std::string path = dir.file("rows.xlsx");
    std::string rows;
    for (int r = 3; r <= 400; r += 3)
        rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"C" + std::to_string(r) + "\"><v>" +
                std::to_string(r) + "</v></c><c r=\"E" + std::to_string(r) +
                "\"><v>1</v></c></row>";
    auto [book, sheet, failure] = openOneSheet(path, rows, ReadStage::ReadItems);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(rangeText(sheet->usedRange()), "C3:E399");

    std::vector<std::string> seen;
    ASSERT_TRUE(sheet->readRows(
        5, 9, ReadStage::ReadItems,
        [&](const RangeRow& r) {
            seen.push_back(std::to_string(r.row) + "=" + r.cells[0].text + "," + r.cells[1].text +
                           "," + r.cells[2].text);
            return true;
        },
        &failure));
    EXPECT_EQ(seen, (std::vector<std::string>{"5=,,", "6=6,,1", "7=,,", "8=,,", "9=9,,1"}));

    seen.clear();
    ASSERT_TRUE(sheet->readRows(
        1, 1048576, ReadStage::ReadItems,
        [&](const RangeRow& r) {
            seen.push_back(std::to_string(r.row));
            return seen.size() < 2;
        },
        &failure));
    EXPECT_EQ(seen, (std::vector<std::string>{"3", "4"}));
}

// A sheet of megabytes is inflated by a worker ahead of the reader: its range still comes from
// its last bytes, every row arrives once and in order, and a read stopped early ends at once.
TEST(WorkbookReader, ReadsALargeSheetWholeAndInOrder) {
    TempDir dir;
    const std::string path = dir.file("large.xlsx");
    constexpr int kRows = 70000;
    auto valueOf = [](int r) { return std::to_string(r * 7919 % 100003); };
    std::string rows;
    for (int r = 1; r <= kRows; ++r)
        rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
                std::to_string(r) + "</v></c><c r=\"C" + std::to_string(r) + "\"><v>" + valueOf(r) +
                "</v></c>" +
                (r == kRows ? "<c r=\"E" + std::to_string(r) + "\"><v>1</v></c>" : "") + "</row>";
    // A long reading lets the windows' messages through as it goes, on the reading thread.
    static int pumped = 0;
    static std::thread::id pumpedOn;
    pumped = 0;
    setReadingPump([] {
        ++pumped;
        pumpedOn = std::this_thread::get_id();
    });
    struct NoPumpAfter {
        ~NoPumpAfter() { setReadingPump(nullptr); }
    } noPumpAfter;
    auto [book, sheet, failure] = openOneSheet(path, rows, ReadStage::ReadData);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(rangeText(sheet->usedRange()), "A1:E70000");
    EXPECT_GT(pumped, 4);
    EXPECT_EQ(pumpedOn, std::this_thread::get_id());
    const int pumpedToOpen = pumped;

    int expected = 1, wrong = 0;
    ASSERT_TRUE(sheet->readRows(
        1, 1048576, ReadStage::ReadData,
        [&](const RangeRow& r) {
            if (r.row != static_cast<uint32_t>(expected) ||
                r.cells.at(0).text != std::to_string(expected) ||
                r.cells.at(2).text != valueOf(expected))
                ++wrong;
            ++expected;
            return true;
        },
        &failure))
        << failure.detail;
    EXPECT_EQ(expected, kRows + 1);
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(pumped, pumpedToOpen + 4);

    int seen = 0;
    ASSERT_TRUE(sheet->readRows(
        1, 1048576, ReadStage::ReadData, [&](const RangeRow&) { return ++seen < 3; }, &failure));
    EXPECT_EQ(seen, 3);
}

// A .xls sheet's pass lets the windows' messages through as it goes.
TEST(WorkbookReader, TheXlsReaderPumpsWhileItReads) {
    static int pumped = 0;
    pumped = 0;
    setReadingPump([] { ++pumped; });
    struct NoPumpAfter {
        ~NoPumpAfter() { setReadingPump(nullptr); }
    } noPumpAfter;
    TempDir dir;
    const std::string path = dir.file("x.xls");
    zbq::test::writeXlwtBook(path, false);
    ReadFailure failure;
    auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
    ASSERT_TRUE(book) << failure.detail;
    ASSERT_TRUE(book->openSheet(0, ReadStage::ReadData, &failure)) << failure.detail;
    EXPECT_GT(pumped, 0);
}

// Comments and instructions may stand anywhere between elements, any number of them.
TEST(WorkbookReader, SkipsAnyNumberOfCommentsBetweenCells) {
    TempDir dir;
    const std::string path = dir.file("comments.xlsx");
    std::string noise;
    for (int i = 0; i < 200000; ++i)
        noise += i % 2 ? "<!---->" : "<?pi?>";
    auto [book, sheet, failure] = openOneSheet(
        path, R"(<row r="1">)" + noise + R"(<c r="B1"><v>5</v></c>)" + noise + "</row>",
        ReadStage::ReadData);
    ASSERT_TRUE(sheet);
    std::string text;
    EXPECT_TRUE(sheet->readRows(
        1, 1, ReadStage::ReadData,
        [&](const RangeRow& r) {
            text = r.cells.at(0).text;
            return true;
        },
        &failure));
    EXPECT_EQ(text, "5");
}

}  // namespace
