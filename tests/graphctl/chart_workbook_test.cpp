// ExNormal, ExUp and ExDown: the workbook with its very hidden data sheet and seven charts, in
// the order asked for, read back through the package and through openpyxl; bad data and failed
// writes leave no workbook behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphctl/graph_ctl.h"
#include "graphctl/graph_state.h"
#include "tests/graphctl/graph_host_fake.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/full_disk.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::grafvik::GraphCtl;
using zbq::grafvik::threadState;
using zbq::test::json;
using zbq::test::openpyxlMismatch;
using zbq::test::TempDir;

class ChartWorkbook : public ::testing::Test {
protected:
    void SetUp() override { threadState() = {}; }

    // Draws `text` with `method` into dir/name; returns the status.
    int draw(int (GraphCtl::*method)(), const std::string& text,
             const std::string& name = "_g.xls") {
        ctl.setFilePath(dir.file(name));
        ctl.setData(text);
        return (ctl.*method)();
    }

    // The expectation that column A and B of "Data" hold these items, in this order.
    static std::string dataCells(const std::vector<std::pair<std::string, int>>& items) {
        std::string cells;
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::string row = std::to_string(i + 1);
            cells += (i ? ", " : "") + json("A" + row) + ": " + json(items[i].first) + ", " +
                     json("B" + row) + ": " + std::to_string(items[i].second);
        }
        return R"({"cells": {"Data": {)" + cells + "}}}";
    }

    TempDir dir;
    zbq::test::FakeGraphHost host;
    GrafvikHost services = host.services();
    GraphCtl ctl{&services};
};

TEST_F(ChartWorkbook, SevenChartSheetsOverAVeryHiddenDataSheet) {
    ASSERT_EQ(draw(&GraphCtl::exNormal, "001\t10\t日本語\t20\t1-2\t5"), GRAFVIK_OK);
    const std::string path = dir.file("_g.xls");

    auto pkg = zbq::test::readPackage(path);
    using Sheets = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(zbq::test::sheetsOf(pkg), (Sheets{{"円グラフ", ""},
                                                {"立体円グラフ", ""},
                                                {"棒グラフ", ""},
                                                {"円柱グラフ", ""},
                                                {"折れ線グラフ", ""},
                                                {"立体平面グラフ", ""},
                                                {"ドーナツグラフ", ""},
                                                {"Data", "veryHidden"}}));
    // Every plot area is drawn without a border line.
    for (const char* sheet : {"円グラフ", "棒グラフ", "ドーナツグラフ"}) {
        pugi::xml_document chart = zbq::test::chartXmlOf(pkg, sheet);
        EXPECT_TRUE(chart.select_node("//c:plotArea/c:spPr/a:ln/a:noFill")) << sheet;
    }

    const std::string round = R"("labels": ["category", "percent", "legendKey", "leaderLines"])";
    const std::string value = R"("labels": ["value"])";
    auto chart = [&](const char* type, const std::string& labels, const char* markers) {
        return std::string(R"([{"type": ")") + type +
               R"(", "series": 1, "cat": "Data!$A$1:$A$3", "val": "Data!$B$1:$B$3", )" + labels +
               R"(, "legend": false, "markers": )" + markers + "}]";
    };
    EXPECT_EQ(openpyxlMismatch(path, R"({
        "sheets": [["円グラフ", "chartsheet", "visible"], ["立体円グラフ", "chartsheet", "visible"],
                   ["棒グラフ", "chartsheet", "visible"], ["円柱グラフ", "chartsheet", "visible"],
                   ["折れ線グラフ", "chartsheet", "visible"],
                   ["立体平面グラフ", "chartsheet", "visible"],
                   ["ドーナツグラフ", "chartsheet", "visible"], ["Data", "worksheet", "veryHidden"]],
        "active": 0,
        "cells": {"Data": {"A1": "001", "B1": 10, "A2": "日本語", "B2": 20, "A3": "1-2", "B3": 5}},
        "formats": {"Data": {"A1": "@", "A2": "@", "A3": "@"}},
        "zoom_to_fit": {"円グラフ": true, "立体円グラフ": true, "棒グラフ": true, "円柱グラフ": true,
                        "折れ線グラフ": true, "立体平面グラフ": true, "ドーナツグラフ": true},
        "charts": {"円グラフ": )" + chart("pie", round, "null") +
                                         R"(, "立体円グラフ": )" + chart("pie", round, "null") +
                                         R"(, "棒グラフ": )" + chart("column", value, "null") +
                                         R"(, "円柱グラフ": )" + chart("column", value, "null") +
                                         R"(, "折れ線グラフ": )" + chart("line", value, "false") +
                                         R"(, "立体平面グラフ": )" + chart("area", value, "null") +
                                         R"(, "ドーナツグラフ": )" +
                                         chart("doughnut", round, "null") + "}}"),
              "");
}

TEST_F(ChartWorkbook, OrderAsGivenAscendingOrDescending) {
    struct Case {
        int (GraphCtl::*method)();
        const char* text;
        std::vector<std::pair<std::string, int>> rows;
    } cases[] = {
        {&GraphCtl::exNormal, "A\t10\tB\t20", {{"A", 10}, {"B", 20}}},
        {&GraphCtl::exUp, "A\t10\tB\t20", {{"A", 10}, {"B", 20}}},
        {&GraphCtl::exDown, "A\t10\tB\t20", {{"B", 20}, {"A", 10}}},
        {&GraphCtl::exDown, "A\t5\tB\t5\tC\t7", {{"C", 7}, {"A", 5}, {"B", 5}}},
        {&GraphCtl::exUp, "A\t5\tB\t5\tC\t7", {{"A", 5}, {"B", 5}, {"C", 7}}},
        {&GraphCtl::exDown,
         "lo\t-2147483648\thi\t2147483647",
         {{"hi", INT32_MAX}, {"lo", INT32_MIN}}},
        {&GraphCtl::exUp,
         "hi\t2147483647\tlo\t-2147483648",
         {{"lo", INT32_MIN}, {"hi", INT32_MAX}}},
        {&GraphCtl::exNormal, "one\t1", {{"one", 1}}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(draw(c.method, c.text), GRAFVIK_OK) << c.text;
        EXPECT_EQ(openpyxlMismatch(dir.file("_g.xls"), dataCells(c.rows)), "") << c.text;
        EXPECT_TRUE(threadState().src.empty() && threadState().dst.empty());
    }
}

// A control character is escaped in a cell but would go raw into a chart's cached names, which
// no reader can then open: names are cleaned once, and the cells and all seven charts agree.
TEST_F(ChartWorkbook, ControlCharactersInNamesAreCleanedAlikeInCellsAndCharts) {
    ASSERT_EQ(draw(&GraphCtl::exNormal, "a\x01z\t1\tb\x0bz\t2\tc\x1bz\t3"), GRAFVIK_OK);
    const std::string path = dir.file("_g.xls");
    const std::vector<std::string> clean = {"a\uFFFDz", "b\uFFFDz", "c\uFFFDz"};
    EXPECT_EQ(openpyxlMismatch(path, dataCells({{clean[0], 1}, {clean[1], 2}, {clean[2], 3}})), "");
    auto pkg = zbq::test::readPackage(path);
    for (const char* sheet : {"円グラフ", "立体円グラフ", "棒グラフ", "円柱グラフ", "折れ線グラフ",
                              "立体平面グラフ", "ドーナツグラフ"}) {
        std::vector<std::string> cached;
        pugi::xml_document chart = zbq::test::chartXmlOf(pkg, sheet);
        for (auto pt : chart.select_nodes("//c:cat//c:pt/c:v"))
            cached.emplace_back(pt.node().text().get());
        EXPECT_EQ(cached, clean) << sheet;
    }
}

TEST_F(ChartWorkbook, AnExistingFileIsReplaced) {
    zbq::test::writeFile(dir.file("_g.xls"), "an old workbook");
    ASSERT_EQ(draw(&GraphCtl::exUp, "A\t1"), GRAFVIK_OK);
    EXPECT_EQ(zbq::test::sheetsOf(zbq::test::readPackage(dir.file("_g.xls"))).size(), 8u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(ChartWorkbook, BadDataWritesNothingAndKeepsNoEarlierItems) {
    for (const char* bad : {"", "A", "A\tx", "A\t10\tB", "A\t2147483647\tB\t1"}) {
        for (auto method : {&GraphCtl::exNormal, &GraphCtl::exUp, &GraphCtl::exDown}) {
            ASSERT_EQ(draw(&GraphCtl::exNormal, "good\t1"), GRAFVIK_OK);
            EXPECT_EQ(draw(method, bad), GRAFVIK_E_NO_DATA) << bad;
            // The old workbook is gone, so nobody takes it for the graph of this text.
            EXPECT_FALSE(std::filesystem::exists(dir.file("_g.xls"))) << bad;
            EXPECT_EQ(threadState().abortFlag, 1);
            EXPECT_TRUE(threadState().src.empty());
            EXPECT_EQ(threadState().total, 0);
        }
    }
}

TEST_F(ChartWorkbook, AFailedWriteLeavesNoWorkbookAndIsNotSuccess) {
    zbq::test::writeFile(dir.file("_g.xls"), "old");
    {
        // The disk fills up part-way through the workbook.
        zbq::test::FullDisk full(4096, "_g.xls");
        EXPECT_EQ(draw(&GraphCtl::exNormal, "A\t1"), GRAFVIK_E_WRITE);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
    EXPECT_EQ(draw(&GraphCtl::exNormal, "A\t1", "no/such/folder.xls"), GRAFVIK_E_WRITE);
    EXPECT_EQ(draw(&GraphCtl::exNormal, "A\t1", ""), GRAFVIK_E_WRITE);  // the folder itself
    EXPECT_TRUE(threadState().src.empty() && threadState().dst.empty());
}

}  // namespace
