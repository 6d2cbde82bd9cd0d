// The text forms of an export, byte for byte: lines, separators, quoting, headers, captions and
// blank cells, and the rectangle a selection gives.
#include "windows/table_text.h"

#include <gtest/gtest.h>

#include "tests/windows/table_fixture.h"

namespace zbq::test {
namespace {

const TextForm kTab{'\t', Quoting::AsIs, "\r\n"};
const TextForm kCsv{',', Quoting::IfComma, "\r\n"};

std::string cp(const char* utf8) {
    return cp932::literal(utf8);
}

TEST(TableText, TwoByTwoWithNamesIsThreeCrLfLines) {
    // A cross-tab: the corner and the column headers, then each row led by its row header.
    FixtureTable cross({"x1", "x2", "x3"}, {{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "9"}});
    cross.withRowHeaders(cp("件数"), {"y1", "y2", "y3"}).withCaption(cp("クロス集計"));
    const CellRange twoByTwo = selectedRange(cross, {2, 1}, {1, 2});
    EXPECT_EQ(tableText(cross, {twoByTwo, true, false}, kTab),
              cp("件数") + "\tx2\tx3\r\ny2\t5\t6\r\ny3\t8\t9\r\n");
    EXPECT_EQ(tableText(cross, {twoByTwo, false, false}, kTab), "5\t6\r\n8\t9\r\n");
    // The whole table starts with the caption line.
    EXPECT_EQ(tableText(cross, {wholeTable(cross), true, true}, kCsv),
              cp("クロス集計") + "\r\n" + cp("件数") +
                  ",x1,x2,x3\r\ny1,1,2,3\r\ny2,4,5,6\r\ny3,7,8,9\r\n");

    // The original-data grid has no row headers: the item names alone head the columns.
    FixtureTable grid({cp("氏名"), cp("年齢")}, {{"a", "1"}, {"b", "2"}});
    EXPECT_EQ(tableText(grid, {wholeTable(grid), true, false}, kTab),
              cp("氏名") + "\t" + cp("年齢") + "\r\na\t1\r\nb\t2\r\n");
}

TEST(TableText, FieldsAreQuotedOnlyWhereTheFormSays) {
    struct Case {
        std::string text, tab, ifComma, all;
    };
    for (const Case& c : {
             Case{"a,b", "a,b", "\"a,b\"", "\"a,b\""},
             Case{"a\"b,c", "a\"b,c", "\"a\"\"b,c\"", "\"a\"\"b,c\""},
             Case{"a\"b", "a\"b", "a\"b", "\"a\"\"b\""},
             Case{"", "", "", "\"\""},
             // Two-byte text goes through whole.
             Case{cp("表,計"), cp("表,計"), "\"" + cp("表,計") + "\"", "\"" + cp("表,計") + "\""},
         }) {
        std::string tab, ifComma, all;
        appendField(tab, c.text, kTab);
        appendField(ifComma, c.text, kCsv);
        appendField(all, c.text, {',', Quoting::All, "\n"});
        EXPECT_EQ(tab, c.tab) << c.text;
        EXPECT_EQ(ifComma, c.ifComma) << c.text;
        EXPECT_EQ(all, c.all) << c.text;
    }
    FixtureTable table({"h,1", "h2"}, {{"a,b", "c"}});
    EXPECT_EQ(tableText(table, {wholeTable(table), true, false}, kCsv),
              "\"h,1\",h2\r\n\"a,b\",c\r\n");
    EXPECT_EQ(tableText(table, {wholeTable(table), true, false}, {',', Quoting::All, "\n"}),
              "\"h,1\",\"h2\"\n\"a,b\",\"c\"\n");
}

TEST(TableText, OnlyTheBlankValueIsExportedEmpty) {
    // The text "ﾌﾞﾗﾝｸ" inside data and names is data; only a cell holding the blank value empties.
    FixtureTable table({cp("ﾌﾞﾗﾝｸ"), "n"}, {{cp("ﾌﾞﾗﾝｸ品"), "1"}, {"x", "2"}});
    table.blank(1, 1);
    EXPECT_EQ(tableText(table, {wholeTable(table), true, false}, kCsv),
              cp("ﾌﾞﾗﾝｸ") + ",n\r\n" + cp("ﾌﾞﾗﾝｸ品") + ",1\r\nx,\r\n");
}

TEST(TableText, ASelectionIsClippedToTheTableAndNoSelectionIsEmpty) {
    FixtureTable table = FixtureTable::generated(5, 4);
    struct Case {
        CellPos anchor, end;
        CellRange range;
    };
    for (const Case& c : {
             Case{{3, 4}, {1, 2}, {1, 2, 3, 4}},
             Case{{2, 3}, {9, 99}, {2, 3, 3, 4}},  // a selection made before the table shrank
             Case{{-1, -1}, {-1, -1}, {}}, Case{{0, 0}, {-1, 2}, {}},
             Case{{4, 0}, {6, 1}, {}},  // wholly right of the table
         }) {
        const CellRange got = selectedRange(table, c.anchor, c.end);
        EXPECT_EQ(got.isEmpty(), c.range.isEmpty());
        if (got.isEmpty()) continue;
        EXPECT_EQ(got.firstColumn, c.range.firstColumn);
        EXPECT_EQ(got.firstRow, c.range.firstRow);
        EXPECT_EQ(got.lastColumn, c.range.lastColumn);
        EXPECT_EQ(got.lastRow, c.range.lastRow);
    }
    EXPECT_TRUE(wholeTable(FixtureTable::generated(0, 4)).isEmpty());
    EXPECT_EQ(tableText(table, {CellRange{}, true, true}, kTab), "");
    EXPECT_EQ(table.reads(), 0);
}

TEST(TableText, TheSinkTakesEveryBlockAndTheRestStaysInTheBuffer) {
    FixtureTable table = FixtureTable::generated(1000, 3);
    const ExportShape shape{wholeTable(table), true, false};
    std::string taken, buffer;
    int blocks = 0;
    ASSERT_TRUE(buildTableText(table, shape, kTab, buffer, 1000, [&](std::string& block) {
        EXPECT_GE(block.size(), 1000u);
        taken += block;
        block.clear();
        ++blocks;
        return true;
    }));
    EXPECT_GT(blocks, 10);
    EXPECT_EQ(taken + buffer, tableText(table, shape, kTab));
    // A sink that stops ends the build after its first block.
    buffer.clear();
    EXPECT_FALSE(
        buildTableText(table, shape, kTab, buffer, 1000, [](std::string&) { return false; }));
    EXPECT_LT(buffer.size(), 1100u);
}

}  // namespace
}  // namespace zbq::test
