// The workbook form of an export, read back by openpyxl: typed numbers in their shown form, text
// as shown, the title row, empty blank cells; and the refusals (a sheet too large, a workbook a
// spreadsheet program holds or the user may not write) that leave the last workbook as it was.
#include <sys/stat.h>

#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/ordinary_user.h"
#include "tests/windows/export_fixture.h"
#include "tests/windows/table_fixture.h"
#include "windows/table_exporter.h"

namespace zbq::test {
namespace {

std::string cp(const char* utf8) {
    return cp932::literal(utf8);
}

// Columns as the original-data grid shows them: a code, an Integer with commas, a Float at three
// places, a date, and a String column with a blank and an error cell.
FixtureTable typedGrid() {
    FixtureTable grid({cp("コード"), cp("金額"), cp("比率"), cp("日付"), cp("備考")},
                      {{"001", "1,200,000", "2.500", "2026/12/10", cp("ﾌﾞﾗﾝｸ")},
                       {"010", "-7", "0.125", "1999/01/02", cp("ｴﾗｰ")}});
    grid.number(0, 1, {1200000, 0, true}).number(0, 2, {2.5, 3, false});
    grid.number(1, 1, {-7, 0, true}).number(1, 2, {0.125, 3, false});
    return grid.blank(0, 4);
}

using WorkbookExport = ExportTest;

TEST_F(WorkbookExport, NumbersAreTypedCodesStayTextAndTheTitleRowLeads) {
    FixtureTable grid = typedGrid();
    TableExporter exporter(app, grid);
    const std::string path = app.GetExportTempPath();
    app.SetExcelPath("calc.desktop");  // as start-up finds one: the workbook is opened
    ASSERT_EQ(exporter.writeWorkbook({wholeTable(grid), true, false},
                                     StepBuilder("Data_OutToExcelWithHead")),
              1);
    EXPECT_EQ(openpyxlMismatch(path, R"({
        "cells": {"Sheet1": {"A1": "コード", "B1": "金額", "C1": "比率", "D1": "日付", "E1": "備考",
                             "A2": "001", "B2": 1200000, "C2": 2.5, "D2": "2026/12/10",
                             "A3": "010", "B3": -7, "C3": 0.125, "D3": "1999/01/02", "E3": "ｴﾗｰ"}},
        "formats": {"Sheet1": {"B2": "#,##0", "C2": "0.000", "B3": "#,##0", "C3": "0.000"}}
    })"),
              "");
    EXPECT_EQ(opener.opened(), std::vector<QString>{QString::fromStdString(path)});
    EXPECT_EQ(macro.steps, std::vector<std::string>{"Data_OutToExcelWithHead"});

    // Without names the records start in the first row; the next export replaces the last.
    const CellRange second = selectedRange(grid, {0, 1}, {1, 1});
    ASSERT_EQ(exporter.writeWorkbook({second, false, false}, StepBuilder("Data_OutToExcel")), 1);
    EXPECT_EQ(openpyxlMismatch(path, R"({"cells": {"Sheet1": {"A1": "010", "B1": -7}}})"), "");
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST_F(WorkbookExport, AWholeCrossTabStartsWithItsCaptionAndLeadsRowsWithTheirHeaders) {
    FixtureTable cross({"x1", "x2"}, {{"3", "4"}, {"5", "6"}});
    cross.withRowHeaders(cp("件数"), {cp("ﾌﾞﾗﾝｸ"), "y2"}).withCaption(cp("クロス集計 [2件]"));
    cross.number(0, 0, {3, 0, false}).number(1, 1, {6, 0, false});
    ASSERT_EQ(
        TableExporter(app, cross)
            .writeWorkbook({wholeTable(cross), true, true}, StepBuilder("Olap_OutToExcelAll")),
        1);
    EXPECT_EQ(openpyxlMismatch(app.GetExportTempPath(), R"({
        "cells": {"Sheet1": {"A1": "クロス集計 [2件]",
                             "A2": "件数", "B2": "x1", "C2": "x2",
                             "A3": "ﾌﾞﾗﾝｸ", "B3": 3, "C3": "4",
                             "A4": "y2", "B4": "5", "C4": 6}}
    })"),
              "");
}

TEST_F(WorkbookExport, ASheetTooLargeIsRefusedBeforeAnythingIsAskedOrWritten) {
    const std::string path = app.GetExportTempPath();
    writeFile(path, "last workbook");
    // 1,048,576 records and their title row make one row more than a sheet holds.
    FixtureTable tall = FixtureTable::generated(1048576, 2);
    FixtureTable wide = FixtureTable::generated(1, 16385);
    EXPECT_EQ(TableExporter(app, tall).writeWorkbook({wholeTable(tall), true, false},
                                                     StepBuilder("Data_OutToExcelWithHead")),
              0);
    EXPECT_EQ(TableExporter(app, wide).writeWorkbook({wholeTable(wide), false, false},
                                                     StepBuilder("Data_OutToExcel")),
              0);
    const std::string limit = "行数または列数がExcelのシートの上限を超えています。出力できません。";
    EXPECT_EQ(messages(), (std::vector<std::string>{limit, limit}));
    EXPECT_EQ(prompts.messages()[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(tall.reads() + wide.reads(), 0);
    EXPECT_EQ(readFile(path), "last workbook");
    EXPECT_TRUE(opener.opened().empty());
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(WorkbookExport, AWorkbookHeldOpenOrNotWritableAsksToCloseItAndStaysAsItWas) {
    FixtureTable grid = typedGrid();
    TableExporter exporter(app, grid);
    const std::string path = app.GetExportTempPath();
    writeFile(path, "last workbook");
    const std::string lock = dir.file(".~lock.20261210_111000_e.xlsx#");
    writeFile(lock, ",user,host,10.12.2026 11:00,user;");
    EXPECT_EQ(
        exporter.writeWorkbook({wholeTable(grid), true, false}, StepBuilder("Data_OutToExcel")), 0);
    ASSERT_EQ(::unlink(lock.c_str()), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    {
        AsOrdinaryUser user({dir.path(), path});
        ASSERT_TRUE(user.ok());
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_EQ(
            exporter.writeWorkbook({wholeTable(grid), true, false}, StepBuilder("Data_OutToExcel")),
            0);
    }
    ::chmod(dir.path().c_str(), 0755);
    const std::string close = "開いているファイルを閉じて下さい";
    EXPECT_EQ(messages(), (std::vector<std::string>{close, close}));
    EXPECT_EQ(prompts.messages()[0].icon, ui::Icon::Information);
    EXPECT_EQ(readFile(path), "last workbook");
    EXPECT_TRUE(opener.opened().empty());
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(WorkbookExport, ANoToTheQuestionLeavesTheLastWorkbook) {
    const std::string path = app.GetExportTempPath();
    writeFile(path, "last workbook");
    FixtureTable large = FixtureTable::generated(101, 100);
    prompts.answer(ui::Answer::No);
    EXPECT_EQ(TableExporter(app, large)
                  .writeWorkbook({wholeTable(large), false, false}, StepBuilder("Data_OutToExcel")),
              0);
    EXPECT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(readFile(path), "last workbook");
    EXPECT_EQ(large.reads(), 0);
    EXPECT_TRUE(opener.opened().empty());
}

}  // namespace
}  // namespace zbq::test
