// ShowGraph: the summary sheet with its table, shares, total row, borders and pie chart, read
// back through openpyxl.
#include "graphctl/summary_sheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "graphctl/graph_ctl.h"
#include "graphctl/graph_state.h"
#include "platform/workbook/zip_package.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::grafvik::GraphCtl;
using zbq::grafvik::shareText;
using zbq::grafvik::threadState;
using zbq::test::openpyxlMismatch;
using zbq::test::TempDir;

TEST(SummarySheet, SharesRoundHalvesToEven) {
    struct Case {
        int32_t value, total;
        const char* text;
    } cases[] = {
        {10, 40, "25%"},
        {30, 40, "75%"},
        {1, 3, "33%"},
        {1, 8, "12%"},  // 12.5
        {3, 8, "38%"},
        {5, 200, "2%"},
        {-5, 10, "-50%"},
        {7, 0, ""},
        {2147483647, 1, "214748364700%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shareText(c.value, c.total), c.text) << c.value;
}

class ShowGraph : public ::testing::Test {
protected:
    void SetUp() override { threadState() = {}; }

    int show(const std::string& text) {
        ctl.setFilePath(path);
        ctl.setData(text);
        return ctl.showGraph();
    }

    TempDir dir;
    std::string path = dir.file("summary.xls");
    GraphCtl ctl{nullptr};
};

TEST_F(ShowGraph, ANewWorkbookHoldsTheSheetData1Alone) {
    ASSERT_EQ(show("A\t10\tB\t30"), GRAFVIK_OK);
    EXPECT_EQ(threadState().newBookFlag, -1);
    EXPECT_TRUE(threadState().src.empty());
    const char* bordered = R"("thin")";
    std::string borders;
    for (const char* col : {"B", "C", "D"})
        for (int row = 4; row <= 7; ++row)
            borders += std::string(borders.empty() ? "" : ", ") + "\"" + col + std::to_string(row) +
                       "\": " + bordered;
    EXPECT_EQ(openpyxlMismatch(path, R"({
        "sheets": [["Data1", "worksheet", "visible"]],
        "cells": {"Data1": {"B4": "項目名", "C4": "データ",
                            "B5": "A", "C5": 10, "D5": "25%",
                            "B6": "B", "C6": 30, "D6": "75%",
                            "B7": "合計", "C7": 40}},
        "formats": {"Data1": {"B5": "@", "B6": "@"}},
        "fills": {"Data1": {"B7": "FFFF00", "C7": "FFFF00", "D7": "FFFF00"}},
        "borders": {"Data1": {)" + borders +
                                         R"(}},
        "charts": {"Data1": [{"type": "pie", "series": 1, "cat": "Data1!$B$5:$B$6",
                              "val": "Data1!$C$5:$C$6", "legend": true, "markers": null,
                              "labels": ["category", "percent", "legendKey", "leaderLines"]}]}
    })"),
              "");
}

TEST_F(ShowGraph, SharesNeedNotAddUpAndATotalOfZeroLeavesThemEmpty) {
    ASSERT_EQ(show("a\t1\tb\t1\tc\t1"), GRAFVIK_OK);
    EXPECT_EQ(openpyxlMismatch(path, R"({"cells": {"Data1": {
        "B4": "項目名", "C4": "データ", "B5": "a", "C5": 1, "D5": "33%", "B6": "b", "C6": 1,
        "D6": "33%", "B7": "c", "C7": 1, "D7": "33%", "B8": "合計", "C8": 3}}})"),
              "");
    std::filesystem::remove(path);
    ASSERT_EQ(show("up\t5\tdown\t-5"), GRAFVIK_OK);
    EXPECT_EQ(openpyxlMismatch(path, R"({"cells": {"Data1": {
        "B4": "項目名", "C4": "データ", "B5": "up", "C5": 5, "B6": "down", "C6": -5,
        "B7": "合計", "C7": 0}}})"),
              "");
}

// Every part of `before` is still in `after`, byte for byte unless it is one of `edited`.
void expectPartsKept(const zbq::workbook::ZipPackage& before,
                     const zbq::workbook::ZipPackage& after, const std::set<std::string>& edited) {
    for (const std::string& name : before.names()) {
        const std::string* now = after.find(name);
        ASSERT_NE(now, nullptr) << name << " was lost";
        if (!edited.count(name)) {
            EXPECT_EQ(*now, *before.find(name)) << name << " changed";
        }
    }
}

TEST_F(ShowGraph, ASecondCallAddsData2InFrontAndKeepsEverythingElse) {
    ASSERT_EQ(show("A\t10\tB\t30"), GRAFVIK_OK);
    const auto first = zbq::test::readPackage(path);
    ASSERT_EQ(show("x\t1\ty\t3"), GRAFVIK_OK);
    EXPECT_EQ(threadState().newBookFlag, 0);
    expectPartsKept(
        first, zbq::test::readPackage(path),
        {"[Content_Types].xml", "docProps/app.xml", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
         "xl/styles.xml", "xl/worksheets/sheet1.xml"});  // no longer the selected tab
    EXPECT_EQ(openpyxlMismatch(path, R"({
        "sheets": [["Data2", "worksheet", "visible"], ["Data1", "worksheet", "visible"]],
        "active": 0,
        "cells": {"Data2": {"B4": "項目名", "C4": "データ", "B5": "x", "C5": 1, "D5": "25%",
                            "B6": "y", "C6": 3, "D6": "75%", "B7": "合計", "C7": 4},
                  "Data1": {"B4": "項目名", "C4": "データ", "B5": "A", "C5": 10, "D5": "25%",
                            "B6": "B", "C6": 30, "D6": "75%", "B7": "合計", "C7": 40}},
        "formats": {"Data2": {"B5": "@", "B6": "@"}, "Data1": {"B5": "@", "B6": "@"}},
        "fills": {"Data2": {"B7": "FFFF00", "C7": "FFFF00", "D7": "FFFF00"},
                  "Data1": {"B7": "FFFF00", "C7": "FFFF00", "D7": "FFFF00"}},
        "charts": {
            "Data2": [{"type": "pie", "series": 1, "cat": "Data2!$B$5:$B$6",
                       "val": "Data2!$C$5:$C$6", "legend": true, "markers": null,
                       "labels": ["category", "percent", "legendKey", "leaderLines"]}],
            "Data1": [{"type": "pie", "series": 1, "cat": "Data1!$B$5:$B$6",
                       "val": "Data1!$C$5:$C$6", "legend": true, "markers": null,
                       "labels": ["category", "percent", "legendKey", "leaderLines"]}]}
    })"),
              "");
    // The one selected tab is the new one, and the document properties list it first.
    auto pkg = zbq::test::readPackage(path);
    pugi::xml_document app = zbq::test::xmlPart(pkg, "docProps/app.xml");
    EXPECT_STREQ(app.select_node("//TitlesOfParts/vt:vector/vt:lpstr").node().text().get(),
                 "Data2");
    EXPECT_EQ(app.select_node("//HeadingPairs//vt:i4").node().text().as_int(), 2);
    EXPECT_STREQ(zbq::test::sheetXml(pkg, "Data2")
                     .select_node("//sheetView")
                     .node()
                     .attribute("tabSelected")
                     .value(),
                 "1");
    EXPECT_FALSE(zbq::test::sheetXml(pkg, "Data1")
                     .select_node("//sheetView")
                     .node()
                     .attribute("tabSelected"));
}

TEST_F(ShowGraph, AddsInFrontOfTheChartWorkbook) {
    ctl.setFilePath(path);
    ctl.setData("A\t1\tB\t3");
    ASSERT_EQ(ctl.exNormal(), GRAFVIK_OK);
    ASSERT_EQ(ctl.showGraph(), GRAFVIK_OK);
    EXPECT_EQ(openpyxlMismatch(path, R"({
        "sheets": [["Data9", "worksheet", "visible"], ["円グラフ", "chartsheet", "visible"],
                   ["立体円グラフ", "chartsheet", "visible"], ["棒グラフ", "chartsheet", "visible"],
                   ["円柱グラフ", "chartsheet", "visible"], ["折れ線グラフ", "chartsheet", "visible"],
                   ["立体平面グラフ", "chartsheet", "visible"],
                   ["ドーナツグラフ", "chartsheet", "visible"], ["Data", "worksheet", "veryHidden"]],
        "active": 0,
        "cells": {"Data": {"A1": "A", "B1": 1, "A2": "B", "B2": 3},
                  "Data9": {"B4": "項目名", "C4": "データ", "B5": "A", "C5": 1, "D5": "25%",
                            "B6": "B", "C6": 3, "D6": "75%", "B7": "合計", "C7": 4}},
        "zoom_to_fit": {"円グラフ": true, "ドーナツグラフ": true},
        "charts": {"棒グラフ": [{"type": "column", "series": 1, "cat": "Data!$A$1:$A$2",
                                 "val": "Data!$B$1:$B$2", "legend": false, "markers": null,
                                 "labels": ["value"]}]}
    })"),
              "");
}

TEST_F(ShowGraph, AddsToAWorkbookOfAnotherProgram) {
    // Shared strings, a custom number format, a name scoped to the second sheet, and a sheet
    // already called what the new one would be.
    auto made = zbq::test::runPython({"-c", R"(
import sys, openpyxl
from openpyxl.workbook.defined_name import DefinedName
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "First"
ws["A1"] = "hello"
ws["A2"] = 1.5
ws["A2"].number_format = "0.000"
wb.create_sheet("Data3")["B2"] = "second"
wb.defined_names.append(DefinedName("area", localSheetId=1, attr_text="Data3!$B$2"))
wb.save(sys.argv[1])
)",
                                      path});
    ASSERT_EQ(made.status, 0) << made.output;
    const auto before = zbq::test::readPackage(path);
    ASSERT_EQ(show("x\t1"), GRAFVIK_OK);
    EXPECT_EQ(openpyxlMismatch(path, R"({
        "sheets": [["Data4", "worksheet", "visible"], ["First", "worksheet", "visible"],
                   ["Data3", "worksheet", "visible"]],
        "active": 0,
        "cells": {"First": {"A1": "hello", "A2": 1.5}, "Data3": {"B2": "second"},
                  "Data4": {"B4": "項目名", "C4": "データ", "B5": "x", "C5": 1, "D5": "100%",
                            "B6": "合計", "C6": 1}},
        "formats": {"First": {"A2": "0.000"}, "Data4": {"B5": "@"}},
        "fills": {"Data4": {"B6": "FFFF00", "C6": "FFFF00", "D6": "FFFF00"}},
        "names": [["area", 2, "Data3!$B$2"]]
    })"),
              "");
    expectPartsKept(before, zbq::test::readPackage(path),
                    {"[Content_Types].xml", "docProps/app.xml", "xl/workbook.xml",
                     "xl/_rels/workbook.xml.rels", "xl/styles.xml", "xl/worksheets/sheet1.xml"});
}

TEST_F(ShowGraph, AFileThatIsNoWorkbookStaysAsItWas) {
    using zbq::workbook::ZipPackage;
    ZipPackage notABook;
    notABook.put("word/document.xml", "<w:document/>");
    // A workbook whose list of sheets is gone: there is nowhere to enter a new sheet.
    ASSERT_EQ(show("x\t1"), GRAFVIK_OK);
    ZipPackage noSheets = zbq::test::readPackage(path);
    std::string* book = noSheets.find("xl/workbook.xml");
    ASSERT_TRUE(book);
    const auto from = book->find("<sheets>"), to = book->find("</sheets>");
    ASSERT_NE(to, std::string::npos);
    book->erase(from, to + 9 - from);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"plain text", "plain text, not a package"},
        {"another kind of package", *notABook.toBytes(nullptr)},
        {"a workbook without sheets", *noSheets.toBytes(nullptr)},
        // Packages made to exhaust memory when unpacked.
        {"parts inflating beyond the limit",
         zbq::test::inflatingZip(ZipPackage::kMaxUnpackedSize + (std::size_t{1} << 20))},
        {"too many parts", zbq::test::manyPartsZip(ZipPackage::kMaxEntries + 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zbq::test::writeFile(path, c.bytes);
        EXPECT_EQ(show("x\t1"), GRAFVIK_E_WRITE);
        EXPECT_TRUE(zbq::test::readFile(path) == c.bytes);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
}

TEST_F(ShowGraph, ControlCharactersInNamesAreCleanedAlikeInCellsAndPie) {
    const std::string clean = "a\uFFFDz";
    for (bool existing : {false, true}) {  // a new workbook, then one more sheet added to it
        SCOPED_TRACE(existing);
        ASSERT_EQ(show("a\x01z\t1\tb\t3"), GRAFVIK_OK);
        const char* sheet = existing ? "Data2" : "Data1";
        EXPECT_EQ(openpyxlMismatch(path, std::string(R"({"cells": {")") + sheet + R"(": {
            "B4": "項目名", "C4": "データ", "B5": )" +
                                             zbq::test::json(clean) +
                                             R"(, "C5": 1, "D5": "25%", "B6": "b", "C6": 3,
            "D6": "75%", "B7": "合計", "C7": 4}}})"),
                  "");
        std::vector<std::string> cached;
        auto pie = zbq::test::chartXmlOf(zbq::test::readPackage(path), sheet);
        for (auto pt : pie.select_nodes("//c:cat//c:pt/c:v"))
            cached.emplace_back(pt.node().text().get());
        EXPECT_EQ(cached, (std::vector<std::string>{clean, "b"}));
    }
}

TEST(SummarySheet, NamesCountTheSheetsAndSkipNamesTaken) {
    using zbq::grafvik::summarySheetName;
    EXPECT_EQ(summarySheetName({"Data1"}), "Data2");
    EXPECT_EQ(summarySheetName({"a", "b", "c", "d", "e", "f", "g", "Data"}), "Data9");
    EXPECT_EQ(summarySheetName({"DATA2"}), "Data3");
    EXPECT_EQ(summarySheetName({"Data2", "data3", "x"}), "Data4");
}

TEST_F(ShowGraph, BadDataWritesNoWorkbook) {
    for (const char* bad : {"", "A\tx", "A\t1\tB"}) {
        EXPECT_EQ(show(bad), GRAFVIK_E_NO_DATA) << bad;
        EXPECT_FALSE(std::filesystem::exists(path)) << bad;
        EXPECT_EQ(threadState().abortFlag, 1);
    }
}

}  // namespace
