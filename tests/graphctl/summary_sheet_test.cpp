// ShowGraph: the summary sheet with its table, shares, total row, borders and pie chart, read
// back through openpyxl.
#include "graphctl/summary_sheet.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "graphctl/graph_ctl.h"
#include "graphctl/graph_state.h"
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

TEST_F(ShowGraph, BadDataWritesNoWorkbook) {
    for (const char* bad : {"", "A\tx", "A\t1\tB"}) {
        EXPECT_EQ(show(bad), GRAFVIK_E_NO_DATA) << bad;
        EXPECT_FALSE(std::filesystem::exists(path)) << bad;
        EXPECT_EQ(threadState().abortFlag, 1);
    }
}

}  // namespace
