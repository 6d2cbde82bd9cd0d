// The aggregation window's commands on a built table: the copy and the text files byte for
// byte, failures that keep the old file and record nothing, the workbook's column limit, the
// drill-through into body, total and header cells, and the filter's recorded step.
#include "tests/windows/molap_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "windows/molap_workbook.h"

namespace zbq::windows {
namespace {

using MolapCommandsTest = MolapWindowTest;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The table's text with the fields joined and quoted as asked, LF line ends.
std::string tableAs(const std::string& table, char separator, bool quoted) {
    std::string out, field;
    bool start = true;
    const auto flush = [&] {
        out += quoted ? "\"" + field + "\"" : field;
        field.clear();
    };
    for (const char c : table) {
        if (c == '|' || c == '\n') {
            flush();
            out += c == '|' ? std::string(1, separator) : "\n";
            start = c == '\n';
            continue;
        }
        field += c;
    }
    (void)start;
    return out;
}

TEST_F(MolapCommandsTest, copyAndTextFilesWriteTheGridWithLineFeeds) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    ASSERT_EQ(window()->Copy(), 1);
    const std::string tab = cp932::literal(tableAs(kTable, '\t', false));
    EXPECT_EQ(ui::clipboard().text().value_or(""), tab);

    struct Case {
        const char* name;
        std::string expected;
    } cases[] = {
        {"x.CSV", cp932::literal(tableAs(kTable, ',', true))},
        {"x.txt", tab},
        {"x", tab},
    };
    for (const Case& c : cases) {
        const std::string path = harness.file(c.name);
        ASSERT_EQ(window()->WriteCsvFile(path), 1) << c.name;
        EXPECT_EQ(readFile(path), c.expected) << c.name;
    }
    std::vector<std::string> steps = {"MolapCopy"};
    for (const Case& c : cases)
        steps.push_back("MolapOutToCSV,\"" + harness.file(c.name) + "\"");
    EXPECT_EQ(macro.steps, steps);
    EXPECT_TRUE(harness.prompts().messages().empty());
}

TEST_F(MolapCommandsTest, aFileThatCannotBeWrittenIsToldAndRecordsNothing) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    // A folder stands where the file would go: the rename over it fails.
    const std::string path = harness.file("taken.csv");
    std::filesystem::create_directory(path);
    std::ofstream(path + "/inside") << "kept";
    EXPECT_EQ(window()->WriteCsvFile(path), 0);
    ASSERT_EQ(harness.prompts().messages().size(), 1u);
    EXPECT_EQ(harness.prompts().messages()[0].text.toStdString(),
              "ファイルの書出しに失敗しました。\n[" + path + "]");
    EXPECT_EQ(readFile(path + "/inside"), "kept");
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(MolapCommandsTest, drillThroughMakesTheCellsRecordsASet) {
    struct Case {
        std::int32_t row, column;
        const char* description;
        std::int32_t records;
    } cases[] = {
        {4, 3, "回答日（年） X 性別", 5},  // 2024, 男性, 年齢[合計]
        {4, 8, "回答日（年）", 9},         // 2024 under the X grand total
        {5, 8, "総計", 11},                // the grand total: every record with keys
        {5, 5, "性別", 5},                 // 女性 in the Y grand total row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        ASSERT_EQ(harness.app().Search().KWmapClear(), 12);
        ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
        macro.steps.clear();
        console.calls.clear();
        ASSERT_TRUE(window()->view().SelectCell(c.row, c.column));
        ASSERT_EQ(window()->DrillThrough(), 1);
        EXPECT_EQ(harness.app().KWgetDataCount(), c.records);
        const std::string description = cp932::literal(c.description);
        EXPECT_EQ(console.callsStartingWith("AddResultSet"),
                  std::vector<std::string>{"AddResultSet " + description + " 1"});
        EXPECT_EQ(console.callsStartingWith("LogOperation " + cp932::literal("ﾄﾞﾘﾙｽﾙｰ")).size(),
                  1u);
        EXPECT_EQ(macro.steps,
                  std::vector<std::string>{"MolapDrillThrough," + std::to_string(c.row) + "," +
                                           std::to_string(c.column)});
        // The window was built again over the drilled records.
        ASSERT_TRUE(window());
        EXPECT_TRUE(window()->view().installed());
        frame.CloseMolapWindow();
        settle();
    }
}

TEST_F(MolapCommandsTest, drillThroughRefusesHeaderAndEmptyCells) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    const std::int32_t cells[][2] = {{0, 3}, {1, 3}, {3, 0}, {2, 2}};  // headers, an empty cell
    for (const auto& cell : cells) {
        harness.prompts().clear();
        ASSERT_TRUE(window()->view().SelectCell(cell[0], cell[1]));
        EXPECT_EQ(window()->DrillThrough(), 0);
        EXPECT_EQ(messages(), std::vector<std::string>{"ドリルスルーを実行できません。"});
    }
    EXPECT_EQ(harness.app().KWgetDataCount(), 12);
    EXPECT_TRUE(macro.steps.empty());

    // A double-click asks first; No changes nothing.
    harness.prompts().clear();
    harness.prompts().answer(ui::Answer::No);
    ASSERT_TRUE(window()->view().SelectCell(4, 3));
    EXPECT_EQ(window()->DrillThrough(true), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{"ドリルスルーを実行しますか？"});
    EXPECT_EQ(harness.app().KWgetDataCount(), 12);
}

TEST_F(MolapCommandsTest, filterRecordsEveryConditionAsOneQuotedField) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    FilterConditions conditions;
    conditions[0] = {6, 1, "1,000", "2\"0"};
    ASSERT_EQ(window()->Filter(conditions), 1);
    ASSERT_EQ(window()->FilterRelease(), 1);
    const std::string unused = ",\"-1\t\t\t0\"";
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"MolapFilter,\"6\t1,000\t2\"\"0\t1\"" +
                                                         unused + unused + unused + unused,
                                                     "MolapFilterRelease"}));
}

// A String key "計" is data: the drill narrows by it.
TEST(MolapDrillKeys, aStringKeyReadingTotalIsData) {
    test::AppHarness harness;
    ASSERT_TRUE(
        harness.load(cp932::literal("Title = \"t\"\nitem = \"s\"\n  String\nEndItem\nEndTitle\n"),
                     cp932::literal("s\n計\na\n計\n")));
    test::RecordingConsole console;
    harness.app().SetConsolePort(&console);
    CMainFrame frame(harness.app(), molapFactories(harness));
    MolapParams p;
    p.xItems = {0};
    p.xTotalMode = 1;
    ASSERT_EQ(frame.ShowMolapWindow(p), 1);
    auto* window = qobject_cast<CMOLAPFrm*>(frame.molapWindow());
    ASSERT_TRUE(window);
    ASSERT_EQ(cp932::toUtf8(window->view().cellText(0, 1)), "計");
    ASSERT_TRUE(window->view().SelectCell(2, 1));
    ASSERT_EQ(window->DrillThrough(), 1);
    EXPECT_EQ(harness.app().KWgetDataCount(), 2);
    EXPECT_EQ(console.callsStartingWith("AddResultSet"),
              std::vector<std::string>{"AddResultSet s 1"});
    frame.CloseMolapWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    harness.app().SetConsolePort(nullptr);
}

TEST_F(MolapCommandsTest, workbookHoldsTheGridWithMergesFillsAndShownNumbers) {
    harness.app().SetExportTempPath(harness.file("temp/stamp_e.xlsx"));
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    FilterConditions conditions;
    conditions[0] = {3, 2, "100", ""};  // 149.00 and the other sums of 100 or more
    conditions[3] = {6, 1, "34", "90"};
    ASSERT_EQ(window()->Filter(conditions), 1);
    // The highlight is the grid's own: the workbook shows the cell's colour under it.
    ASSERT_TRUE(window()->view().SelectCell(3, 5));
    macro.steps.clear();
    ASSERT_EQ(window()->ExportMolapToExcel(), 1) << ::testing::PrintToString(messages());
    const std::string path = harness.app().GetExportTempPath();
    EXPECT_EQ(test::openpyxlMismatch(path, R"({
        "merges": {"Sheet1": ["B1:C1", "D1:E1", "F1:G1", "H1:I1"]},
        "cells": {"Sheet1": {
            "A1": "性別", "B1": "ﾌﾞﾗﾝｸ", "D1": "男性", "F1": "女性", "H1": "総計",
            "A2": "回答日（年）", "B2": "年齢[合計]", "C2": "満足度[平均]", "D2": "年齢[合計]",
            "E2": "満足度[平均]", "F2": "年齢[合計]", "G2": "満足度[平均]", "H2": "年齢[合計]",
            "I2": "満足度[平均]",
            "A3": "ﾌﾞﾗﾝｸ", "B3": 0, "H3": 0,
            "A4": 2023, "F4": 34, "G4": 4.5, "H4": 34, "I4": 4.5,
            "A5": 2024, "D5": 149, "E5": 3.81, "F5": 91, "G5": 2.56, "H5": 240, "I5": 3.19,
            "A6": "総計", "B6": 0, "D6": 149, "E6": 3.81, "F6": 125, "G6": 2.95, "H6": 274,
            "I6": 3.33}},
        "formats": {"Sheet1": {
            "B3": "0.00", "H3": "0.00", "A4": "0", "F4": "0.00", "G4": "0.00", "H4": "0.00",
            "I4": "0.00", "A5": "0", "D5": "0.00", "E5": "0.00", "F5": "0.00", "G5": "0.00",
            "H5": "0.00", "I5": "0.00", "B6": "0.00", "D6": "0.00", "E6": "0.00", "F6": "0.00",
            "G6": "0.00", "H6": "0.00", "I6": "0.00"}},
        "fills": {"Sheet1": {
            "A1": "FFFFCC", "B1": "CCFFFF", "D1": "CCFFFF", "F1": "CCFFFF", "H1": "C0C0C0",
            "A2": "FFFFCC", "B2": "C0C0C0", "C2": "C0C0C0", "D2": "C0C0C0", "E2": "C0C0C0",
            "F2": "C0C0C0", "G2": "C0C0C0", "H2": "C0C0C0", "I2": "C0C0C0",
            "A3": "CCFFFF", "H3": "C0C0C0", "I3": "C0C0C0",
            "A4": "CCFFFF", "F4": "FFCC00", "H4": "C0C0C0", "I4": "C0C0C0",
            "A5": "CCFFFF", "D5": "CCFFCC", "H5": "C0C0C0", "I5": "C0C0C0",
            "A6": "C0C0C0", "B6": "C0C0C0", "C6": "C0C0C0", "D6": "C0C0C0", "E6": "C0C0C0",
            "F6": "C0C0C0", "G6": "C0C0C0", "H6": "C0C0C0", "I6": "C0C0C0"}}})"),
              "");
    // Every cell has a thin border; the reader reports none for the cells a merge hides.
    std::string borders = R"({"borders": {"Sheet1": {)";
    for (char column = 'A'; column <= 'I'; ++column)
        for (int row = 1; row <= 6; ++row)
            if (row > 1 || column == 'A' || (column - 'A') % 2 == 1)
                borders += std::string(borders.back() == '{' ? "" : ",") + "\"" + column +
                           std::to_string(row) + "\": \"thin\"";
    EXPECT_EQ(test::openpyxlMismatch(path, borders + "}}}"), "");
    EXPECT_EQ(macro.steps, std::vector<std::string>{"MolapOutToExcel"});
}

TEST_F(MolapCommandsTest, workbookFailuresKeepTheOldFileAndRecordNothing) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    const std::string path = harness.file("temp/stamp_e.xlsx");
    harness.app().SetExportTempPath(path);
    {
        std::ofstream(path) << "last workbook";
        std::ofstream(harness.file("temp/.~lock.stamp_e.xlsx#")) << "held";
    }
    macro.steps.clear();
    EXPECT_EQ(window()->ExportMolapToExcel(), 0);
    std::filesystem::remove(harness.file("temp/.~lock.stamp_e.xlsx#"));
    harness.app().SetExportTempPath(harness.file("missing/stamp_e.xlsx"));
    EXPECT_EQ(window()->ExportMolapToExcel(), 0);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"開いているファイルを閉じて下さい",
                                        "Excelの出力に失敗しました。処理を中止します。"}));
    EXPECT_EQ(readFile(path), "last workbook");
    EXPECT_FALSE(std::filesystem::exists(harness.file("missing")));
    EXPECT_TRUE(macro.steps.empty());
}

TEST(MolapWorkbookCells, shownNumbersKeepTheirFormAndOtherTextsStayText) {
    struct Case {
        const char* text;
        bool number;
        double value;
        std::int32_t decimals;
        bool grouped;
    } cases[] = {
        {"0", true, 0, 0, false},
        {"2023", true, 2023, 0, false},
        {"-1,234.50", true, -1234.5, 2, true},
        {"12,345,678", true, 12345678, 0, true},
        {"0.05", true, 0.05, 2, false},
        {"010", false, 0, 0, false},
        {"1,2", false, 0, 0, false},
        {"1-2", false, 0, 0, false},
        {"1.", false, 0, 0, false},
        {".5", false, 0, 0, false},
        {"+5", false, 0, 0, false},
        {"-", false, 0, 0, false},
        {"2024/01/15", false, 0, 0, false},
        {"1e5", false, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto n = shownNumber(c.text);
        ASSERT_EQ(n.has_value(), c.number);
        if (!n) continue;
        EXPECT_DOUBLE_EQ(n->value, c.value);
        EXPECT_EQ(n->decimals, c.decimals);
        EXPECT_EQ(n->grouped, c.grouped);
    }
}

// Merges of a grid given as rows of one-letter texts ('.' empty): two header rows, merges in
// the first two of three fixed columns.
std::vector<std::string> mergesOf(const std::vector<std::string>& grid) {
    const auto rows = static_cast<std::int32_t>(grid.size());
    const auto columns = static_cast<std::int32_t>(grid[0].size());
    std::vector<std::string> out;
    for (const auto& m : molapMerges(rows, columns, 2, 3, [&](std::int32_t r, std::int32_t c) {
             const char t = grid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
             return t == '.' ? std::string() : std::string(1, t);
         }))
        out.push_back(std::string(1, static_cast<char>('A' + m.firstCol)) +
                      std::to_string(m.firstRow + 1) + ":" +
                      std::string(1, static_cast<char>('A' + m.lastCol)) +
                      std::to_string(m.lastRow + 1));
    return out;
}

TEST(MolapWorkbookCells, headerRunsMergeFirstAndColumnRunsStayOutsideThem) {
    struct Case {
        std::vector<std::string> grid;
        std::vector<std::string> merges;
    } cases[] = {
        // Row runs in the header rows only; the last column is never merged down.
        {{"aabb", "cdee", "xyzz", "xyzz"}, {"A1:B1", "C1:D1", "C2:D2", "A3:A4", "B3:B4"}},
        // A column run stops at a row merge and at an empty start; empties never merge down.
        {{"xxab", "xyab", "xy..", "..cd", "..cd"}, {"A1:B1", "A2:A3", "B2:B3"}},
        // A header cell equal to the keys below joins their run when no row merge took it.
        {{"xabc", "xdef", "xg..", "yg.."}, {"A1:A3", "B3:B4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grid[0]);
        EXPECT_EQ(mergesOf(c.grid), c.merges);
    }
}

TEST(MolapWorkbook, moreThan256ColumnsAreRefusedBeforeAnythingIsWritten) {
    for (const std::int32_t columns : {256, 257}) {
        SCOPED_TRACE(columns);
        test::AppHarness harness;
        ui::ScriptedOpener opener;
        std::string data = "n\n";
        for (std::int32_t i = 0; i < columns; ++i)
            data += std::to_string(i) + "\n";
        ASSERT_TRUE(
            harness.load("Title = \"t\"\nitem = \"n\"\n  Integer\nEndItem\nEndTitle\n", data));
        // With a place to write to, so that a check after the write would leave a file there.
        harness.app().SetExportTempPath(harness.file("temp/stamp_e.xlsx"));
        harness.app().SetExcelPath("calc.desktop");  // as start-up finds one
        CMainFrame frame(harness.app(), molapFactories(harness));
        MolapParams p;
        p.xItems = {0};
        ASSERT_EQ(frame.ShowMolapWindow(p), 1);
        auto* window = qobject_cast<CMOLAPFrm*>(frame.molapWindow());
        ASSERT_EQ(window->view().columns(), columns);
        const auto before = std::distance(std::filesystem::directory_iterator(harness.file("temp")),
                                          std::filesystem::directory_iterator());
        const auto written = [&] {
            return std::distance(std::filesystem::directory_iterator(harness.file("temp")),
                                 std::filesystem::directory_iterator()) -
                   before;
        };
        if (columns == 256) {
            // The widest table a workbook holds goes out.
            EXPECT_EQ(window->ExportMolapToExcel(), 1);
            EXPECT_TRUE(harness.prompts().messages().empty());
            EXPECT_EQ(written(), 1);
        } else {
            EXPECT_EQ(window->ExportMolapToExcel(), 0);
            ASSERT_EQ(harness.prompts().messages().size(), 1u);
            EXPECT_EQ(harness.prompts().messages()[0].text.toStdString(),
                      "カラム数が256を超えています。出力できません。");
            EXPECT_EQ(written(), 0);
        }
        frame.CloseMolapWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace
}  // namespace zbq::windows
