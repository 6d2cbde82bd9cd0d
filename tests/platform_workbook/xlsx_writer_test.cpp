// Writing workbooks: sheets, cells, styles and charts as described, read back through the
// package and through openpyxl; failures leave the old file and no scratch files.
#include "platform/workbook/xlsx_writer.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::workbook;
using zbq::test::entriesIn;
using zbq::test::openpyxlMismatch;
using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

// A data sheet (very hidden) with text, numbers and a styled blank, a chart sheet over it and
// a visible sheet with an embedded chart.
Workbook sampleBook() {
    Workbook book;
    book.styles = {CellStyle{.text = true}, CellStyle{.fill = 0xFFFF00, .thinBorders = true}};
    Worksheet data;
    data.name = "Data";
    data.visibility = Visibility::VeryHidden;
    data.cells = {{0, 0, std::string("001"), 0},
                  {0, 1, 10.0, -1},
                  {1, 0, std::string("日本語"), 0},
                  {1, 1, -2.5, -1},
                  {2, 0, std::monostate{}, 1}};
    Chartsheet pie;
    pie.name = "円グラフ";
    pie.zoomToFit = true;
    pie.chart = {
        .type = ChartType::Pie,
        .categories = rangeFormula("Data", 0, 0, 1, 0),
        .values = rangeFormula("Data", 0, 1, 1, 1),
        .labels = {.category = true, .percent = true, .legendKey = true, .leaderLines = true},
        .legend = false,
        .plotAreaBorder = false};
    Worksheet shown;
    shown.name = "Shown";
    shown.cells = {{0, 0, std::string("x"), -1}};
    PlacedChart line{.row = 1, .col = 2};
    line.chart = {.type = ChartType::Line,
                  .categories = rangeFormula("Data", 0, 0, 1, 0),
                  .values = rangeFormula("Data", 0, 1, 1, 1),
                  .labels = {.value = true},
                  .markers = false};
    shown.charts.push_back(line);
    book.sheets = {pie, shown, data};
    book.activeSheet = 0;
    return book;
}

// Points TMPDIR at `folder` for as long as it lives, and back however the test ends: a failed
// assertion must not leave the rest of the program writing into a removed folder.
class TmpDirFor {
public:
    explicit TmpDirFor(const std::string& folder) {
        if (const char* old = std::getenv("TMPDIR")) saved_ = old;
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TmpDirFor() {
        if (saved_)
            ::setenv("TMPDIR", saved_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    TmpDirFor(const TmpDirFor&) = delete;
    TmpDirFor& operator=(const TmpDirFor&) = delete;

private:
    std::optional<std::string> saved_;
};

TEST(XlsxWriter, WritesSheetsCellsStylesAndCharts) {
    TempDir dir;
    const std::string path = dir.file("book_g.xls");  // the ending does not matter
    std::string error;
    ASSERT_TRUE(writeXlsx(sampleBook(), path, &error)) << error;
    EXPECT_EQ(entriesIn(dir.path()), 1u);

    auto pkg = zbq::test::readPackage(path);
    using Sheets = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(zbq::test::sheetsOf(pkg),
              (Sheets{{"円グラフ", ""}, {"Shown", ""}, {"Data", "veryHidden"}}));
    pugi::xml_document pie = zbq::test::sheetXml(pkg, "円グラフ");
    EXPECT_STREQ(pie.select_node("//sheetView").node().attribute("zoomToFit").value(), "1");

    EXPECT_EQ(openpyxlMismatch(path, R"({
        "sheets": [["円グラフ", "chartsheet", "visible"], ["Shown", "worksheet", "visible"],
                   ["Data", "worksheet", "veryHidden"]],
        "active": 0,
        "cells": {"Data": {"A1": "001", "B1": 10, "A2": "日本語", "B2": -2.5},
                  "Shown": {"A1": "x"}},
        "formats": {"Data": {"A1": "@", "A2": "@"}},
        "fills": {"Data": {"A3": "FFFF00"}},
        "borders": {"Data": {"A3": "thin"}},
        "charts": {
            "円グラフ": [{"type": "pie", "series": 1, "cat": "Data!$A$1:$A$2",
                         "val": "Data!$B$1:$B$2", "legend": false, "markers": null,
                         "labels": ["category", "percent", "legendKey", "leaderLines"]}],
            "Shown": [{"type": "line", "series": 1, "cat": "Data!$A$1:$A$2",
                       "val": "Data!$B$1:$B$2", "legend": true, "markers": false,
                       "labels": ["value"]}]},
        "zoom_to_fit": {"円グラフ": true}
    })"),
              "");
}

TEST(XlsxWriter, ReplacesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.file("g.xlsx");
    writeFile(path, "old bytes");
    std::string error;
    ASSERT_TRUE(writeXlsx(sampleBook(), path, &error)) << error;
    EXPECT_EQ(readFile(path).substr(0, 2), "PK");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(XlsxWriter, FailureLeavesTheOldFileAndNoScratch) {
    TempDir dir;
    const std::string path = dir.file("g.xlsx");
    writeFile(path, "old bytes");
    // The writer's scratch files go to the temporary folder: a private one shows what is left.
    TempDir scratch;
    const TmpDirFor tmp(scratch.path());

    Workbook badName = sampleBook();
    std::get<Worksheet>(badName.sheets[1]).name = "a/b";  // not a sheet name
    Workbook badStyle = sampleBook();
    std::get<Worksheet>(badStyle.sheets[1]).cells[0].style = 7;
    Workbook tooLong = sampleBook();
    std::get<Worksheet>(tooLong.sheets[1]).cells[0].value = std::string(40000, 'x');
    // The library copies a charted text into the chart as it is, where a control character
    // makes the workbook unreadable; the same holds for a sheet name.
    Workbook controlInChart = sampleBook();
    std::get<Worksheet>(controlInChart.sheets[2]).cells[0].value = std::string("a\x01z");
    Workbook controlInName = sampleBook();
    std::get<Worksheet>(controlInName.sheets[1]).name = "a\x1bz";
    for (const Workbook& bad :
         {badName, badStyle, tooLong, controlInChart, controlInName, Workbook{}}) {
        std::string error;
        EXPECT_FALSE(writeXlsx(bad, path, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readFile(path), "old bytes");
    }
    std::string error;
    EXPECT_FALSE(writeXlsx(sampleBook(), dir.file("missing/g.xlsx"), &error));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_EQ(entriesIn(scratch.path()), 0u);
}

// Writers killed at random moments while they write: none leaves a scratch file in the temporary
// folder, the target is always the old workbook or a whole new one, and the temporaries the
// killed writers left beside it are gone after the next write.
TEST(XlsxWriter, KilledWritersStrandNoScratchAndTearNoWorkbook) {
    constexpr int kKills = 20;
    TempDir dir;
    const std::string path = dir.file("g.xlsx");
    TempDir scratch;
    const TmpDirFor tmp(scratch.path());

    Workbook book = sampleBook();
    auto& cells = std::get<Worksheet>(book.sheets[2]).cells;
    for (uint32_t row = 3; row < 20000; ++row)
        cells.push_back({row, 1, double(row), -1});
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(writeXlsx(book, path, &error)) << error;
    const auto once = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();

    std::mt19937 random(45);
    int killedWhileWriting = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < 1000; ++i)
                writeXlsx(book, path, nullptr);
            ::_exit(0);
        }
        std::uniform_int_distribution<long> delay(0, 2 * once + 1000);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status)) ++killedWhileWriting;
        EXPECT_EQ(entriesIn(scratch.path()), 0u) << "after kill " << kill;
        // The target is always a whole workbook.
        EXPECT_EQ(zbq::test::sheetsOf(zbq::test::readPackage(path)).size(), 3u);
    }
    EXPECT_EQ(killedWhileWriting, kKills);
    ASSERT_TRUE(writeXlsx(book, path, &error)) << error;
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_EQ(entriesIn(scratch.path()), 0u);
}

// A header run merged across a row and one down a column beside it; the merged cells keep the
// values and styles written to them, and numbers carry the form they are shown in.
Workbook mergedBook() {
    Workbook book;
    book.styles = {CellStyle{.fill = 0xC0C0C0, .thinBorders = true},
                   CellStyle{.numberFormat = "#,##0.00"}};
    Worksheet sheet;
    sheet.name = "Sheet1";
    sheet.cells = {{0, 0, std::string("a"), 0},
                   {0, 1, std::string("a"), 0},
                   {1, 0, std::string("b"), -1},
                   {2, 0, std::string("b"), -1},
                   {1, 1, 1234.5, 1}};
    sheet.merges = {{0, 0, 0, 1}, {1, 0, 2, 0}};
    book.sheets = {sheet};
    return book;
}

TEST(XlsxWriter, MergesRangesOverTheCellsWritten) {
    TempDir dir;
    const std::string path = dir.file("m.xlsx");
    std::string error;
    ASSERT_TRUE(writeXlsx(mergedBook(), path, &error)) << error;
    EXPECT_EQ(openpyxlMismatch(path, R"({
        "merges": {"Sheet1": ["A1:B1", "A2:A3"]},
        "cells": {"Sheet1": {"A1": "a", "A2": "b", "B2": 1234.5}},
        "formats": {"Sheet1": {"B2": "#,##0.00"}},
        "fills": {"Sheet1": {"A1": "C0C0C0"}}})"),
              "");
}

TEST(XlsxWriter, RefusesOverlappingOrSingleCellMerges) {
    TempDir dir;
    const std::string path = dir.file("m.xlsx");
    writeFile(path, "old bytes");
    const std::vector<std::vector<MergedRange>> bad = {
        {{0, 0, 0, 1}, {0, 1, 2, 1}},  // share B1
        {{0, 0, 1, 1}, {1, 1, 1, 2}},  // share B2
        {{3, 3, 3, 3}},                // one cell
        {{2, 0, 1, 0}},                // upside down
    };
    for (const auto& merges : bad) {
        Workbook book = mergedBook();
        std::get<Worksheet>(book.sheets[0]).merges = merges;
        std::string error;
        EXPECT_FALSE(writeXlsx(book, path, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readFile(path), "old bytes");
    }
}

TEST(RangeFormula, QuotesSheetNamesThatCouldBeMisread) {
    struct Case {
        const char* sheet;
        uint32_t row1;
        uint16_t col1;
        uint32_t row2;
        uint16_t col2;
        const char* formula;
    } cases[] = {
        {"Data", 0, 0, 2, 0, "=Data!$A$1:$A$3"},
        {"Data1", 4, 1, 5, 2, "=Data1!$B$5:$C$6"},
        {"AB12", 0, 25, 0, 26, "='AB12'!$Z$1:$AA$1"},
        {"R1C1", 0, 0, 0, 0, "='R1C1'!$A$1:$A$1"},
        {"Sheet 1", 0, 701, 0, 702, "='Sheet 1'!$ZZ$1:$AAA$1"},
        {"it's", 0, 0, 0, 0, "='it''s'!$A$1:$A$1"},
        {"円グラフ", 0, 0, 0, 0, "='円グラフ'!$A$1:$A$1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rangeFormula(c.sheet, c.row1, c.col1, c.row2, c.col2), c.formula) << c.sheet;
}

}  // namespace
