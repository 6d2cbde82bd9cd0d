// The aggregation grid's model on the harness's data: the layout, captions, key and value texts,
// colours and spans of tables over every item type, and the text helpers the filter and the
// exports share.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/analysis_window.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "windows/molap_format.h"
#include "windows/molap_view.h"

namespace zbq::windows {
namespace {

// Items of the fixture: 0 ID String, 1 性別 Code, 2 年齢 Integer, 3 趣味 MultiAns, 4 満足度
// Float, 5 回答日 Date, 6 回答時刻 Time.
class MolapViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(harness.load()); }

    // Builds the table as the window does, without its workers.
    void build(const MolapParams& given) {
        const MolapParams p = molapParamsCopy(given);
        KW_search& s = harness.app().Search();
        s.ResetMolapX();
        s.ResetMolapY();
        s.ResetMolapZ();
        ASSERT_EQ(s.SetMolapX(p.xItems, p.xDateUnits), 0);
        ASSERT_EQ(s.SetMolapY(p.yItems, p.yDateUnits), 0);
        ASSERT_EQ(s.SetMolapZ(p.zItems, p.zUnits), 0);
        ASSERT_EQ(
            s.KWexecuteMolap(p.xItems, p.yItems, p.zItems, p.zKinds, p.xTotalMode, p.yTotalMode),
            0);
        MolapLayout layout = molapLayoutFrame(harness.app(), p);
        ASSERT_EQ(buildMolapLayout(s, layout), 0);
        view.install(std::move(layout));
    }

    // The grid, a line per row: cells as text, each prefixed by its colour (c caption beige,
    // t total grey, k key cyan, a filter mark 0-4, nothing for the default) and "<" when it is
    // aligned left whatever it holds.
    std::string grid() const {
        std::string out;
        for (std::int32_t r = 0; r < view.rows(); ++r) {
            for (std::int32_t c = 0; c < view.columns(); ++c) {
                const MolapCellView cell = view.cellView(r, c);
                const QRgb colour = view.background(r, c);
                if (c) out += "|";
                if (const std::int32_t mark = view.filterMark(r, c); mark >= 0)
                    out += std::to_string(mark);
                else if (colour == kMolapCaptionColour)
                    out += "c";
                else if (colour == kMolapTotalColour)
                    out += "t";
                else if (colour == kMolapKeyColour)
                    out += "k";
                if (cell.left) out += "<";
                out += cp932::toUtf8(cell.text);
            }
            out += "\n";
        }
        return out;
    }
    std::string spans() const {
        std::string out;
        for (const MolapSpan& s : view.layout().spans)
            out += std::to_string(s.row) + "," + std::to_string(s.column) + " " +
                   std::to_string(s.rows) + "x" + std::to_string(s.columns) + "\n";
        return out;
    }

    test::AppHarness harness;
    CMOLAPView view{harness.app().Search()};
};

struct GridCase {
    const char* name;
    MolapParams params;
    const char* grid;
    const char* spans;
};

// Golden tables over the fixture, read against its twelve records by hand: A005 (code 9, month
// 13) and A006 (年齢 "abc") have an error key and count nowhere; blanks are keys of their own.
const GridCase kGridCases[] = {
    {"code X, years of a date Y, a sum and a float average, totals per axis",
     [] {
         MolapParams p;
         p.xItems = {1};
         p.yItems = {5};
         p.zItems = {2, 4};
         p.zKinds = {1, 2};
         p.yDateUnits = {1};
         p.xTotalMode = 1;
         p.yTotalMode = 2;
         p.decimalsIndex = 2;
         return p;
     }(),
     R"(c<性別|k<ﾌﾞﾗﾝｸ|k<ﾌﾞﾗﾝｸ|k<男性|k<男性|k<女性|k<女性|t<総計|t<総計
c<回答日（年）|t<年齢[合計]|t<満足度[平均]|t<年齢[合計]|t<満足度[平均]|t<年齢[合計]|t<満足度[平均]|t<年齢[合計]|t<満足度[平均]
k<ﾌﾞﾗﾝｸ|0.00||||||t0.00|t
k<2023|||||34.00|4.50|t34.00|t4.50
k<2024|||149.00|3.81|91.00|2.56|t240.00|t3.19
t<総計|t0.00|t|t149.00|t3.81|t125.00|t2.95|t274.00|t3.33
)",
     R"(0,1 1x2
0,3 1x2
0,5 1x2
0,7 1x2
)"},
    {"no Y items: the X keys start at column 0, one count column",
     [] {
         MolapParams p;
         p.xItems = {1};
         p.xTotalMode = 2;
         return p;
     }(),
     R"(k<ﾌﾞﾗﾝｸ|k<男性|k<女性|t<総計
t<件数|t<件数|t<件数|t<件数
1|5|5|t11
)",
     R"()"},
    {"no X items: the Z captions in row 0; extremes of time, float and string",
     [] {
         MolapParams p;
         p.yItems = {2};
         p.zItems = {6, 4, 0};
         p.zKinds = {3, 4, 3};
         p.yTotalMode = 2;
         p.decimalsIndex = 1;
         return p;
     }(),
     R"(c<年齢|t<回答時刻[最大]|t<満足度[最小]|t<回答者ID[最大]
kﾌﾞﾗﾝｸ|<|2.0|<A003
k-3|<16:00:00|1.0|<A012
k0|<00:00:00||<テスト
k19|<|4.0|<A007
k28|<10:00:00|4.2|<A002
k34|<18:20:00|3.5|<A010
k42|<12:00:00|-1.5|<A005
k45|<07:07:07|2.8|<
k51|<23:59:59|5.0|<A004
k66|<14:45:30|3.0|<A008
t<総計|t<23:59:59|t-1.5|t<テスト
)",
     R"()"},
    {"half years against codes and year/months, subtotals",
     [] {
         MolapParams p;
         p.xItems = {5};
         p.yItems = {1, 5};
         p.xDateUnits = {6};
         p.yDateUnits = {0, 4};
         p.xTotalMode = 1;
         p.yTotalMode = 2;
         return p;
     }(),
     R"(c< |c<回答日（半期）|k<ﾌﾞﾗﾝｸ|k<上期|k<下期|t<総計
c<性別|c<回答日（年/月）|t<件数|t<件数|t<件数|t<件数
k<ﾌﾞﾗﾝｸ|k<ﾌﾞﾗﾝｸ|1|||t1
k<ﾌﾞﾗﾝｸ|t<計|t1|t0|t0|t1
k<男性|k<2024/02||1||t1
k<男性|k<2024/04||2||t2
k<男性|k<2024/05||1||t1
k<男性|k<2024/06||1||t1
k<男性|t<計|t0|t5|t0|t5
k<女性|k<2023/12|||1|t1
k<女性|k<2024/03||1||t1
k<女性|k<2024/04||2||t2
k<女性|k<2024/05||1||t1
k<女性|t<計|t0|t4|t1|t5
t<総計|t<|t1|t9|t1|t11
)",
     R"(2,0 2x1
4,0 5x1
9,0 5x1
)"},
    {"a float key without decimals over a code, dates and times",
     [] {
         MolapParams p;
         p.xItems = {4, 1};
         p.yItems = {5, 6};
         p.zItems = {2};
         p.zKinds = {0};
         p.xTotalMode = 2;
         return p;
     }(),
     R"(c< |c<満足度|kﾌﾞﾗﾝｸ|kﾌﾞﾗﾝｸ|k1|k1|k2|k2|k3|k3|k3|k3|k4|k4|k4|k4|k4|k4|k5|k5|t<総計
c< |c<性別|k<ﾌﾞﾗﾝｸ|t<計|k<女性|t<計|k<女性|t<計|k<男性|t<計|k<女性|t<計|k<男性|t<計|k<女性|t<計|k<女性|t<計|k<男性|t<計|t<
c<回答日|c<回答時刻|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]|t<年齢[件数]
k<ﾌﾞﾗﾝｸ|k<08:15:00|1|t1||t0||t0||t0||t0||t0||t0||t0||t0|t1
k<2023/12/31|k<18:20:00||t0||t0||t0||t0||t0||t0||t0|1|t1||t0|t1
k<2024/02/29|k<07:07:07||t0||t0||t0|1|t1||t0||t0||t0||t0||t0|t1
k<2024/03/15|k<16:00:00||t0|1|t1||t0||t0||t0||t0||t0||t0||t0|t1
k<2024/04/01|k<09:30:05||t0||t0||t0||t0||t0|1|t1||t0||t0||t0|t1
k<2024/04/01|k<10:00:00||t0||t0||t0||t0||t0||t0|1|t1||t0||t0|t1
k<2024/04/02|k<ﾌﾞﾗﾝｸ||t0||t0|1|t1||t0||t0||t0||t0||t0||t0|t1
k<2024/04/03|k<23:59:59||t0||t0||t0||t0||t0||t0||t0||t0|1|t1|t1
k<2024/05/10|k<14:45:30||t0||t0||t0||t0|1|t1||t0||t0||t0||t0|t1
)",
     R"(0,2 1x2
0,4 1x2
0,6 1x2
0,8 1x4
0,12 1x6
0,18 1x2
7,0 2x1
)"},
};

// Equal neighbours merge only inside the runs of the level above: the two 女性 keys of two half
// years stay apart.
TEST_F(MolapViewTest, spansStayInsideTheRunsAbove) {
    MolapParams p;
    p.xItems = {5, 1};
    p.xDateUnits = {6, 0};
    build(p);
    EXPECT_EQ(grid(), R"(k<ﾌﾞﾗﾝｸ|k<上期|k<上期|k<下期
k<ﾌﾞﾗﾝｸ|k<男性|k<女性|k<女性
t<件数|t<件数|t<件数|t<件数
1|5|4|1
)");
    EXPECT_EQ(spans(), "0,1 1x2\n");
}

TEST_F(MolapViewTest, tablesShowKeysValuesColoursAndSpans) {
    for (const GridCase& c : kGridCases) {
        SCOPED_TRACE(c.name);
        build(c.params);
        EXPECT_EQ(grid(), c.grid);
        EXPECT_EQ(spans(), c.spans);
        EXPECT_EQ(view.layout().fixedRows(), static_cast<std::int32_t>(c.params.xItems.size()) + 1);
        EXPECT_EQ(view.layout().fixedColumns(), static_cast<std::int32_t>(c.params.yItems.size()));
    }
}

// The filter marks body cells that meet a condition, last met condition's colour; totals and
// empty cells never; a release takes every mark back.
TEST_F(MolapViewTest, filterMarksMetCellsOutsideTotals) {
    build(kGridCases[0].params);
    FilterConditions conditions;
    conditions[0] = {3, 2, "100", ""};     // sums and averages >= 100
    conditions[2] = {6, 4, "1,000", "x"};  // a To that is no number never meets
    conditions[3] = {6, 1, "34", "90"};    // 34.00 in range
    view.ApplyFilter(conditions);
    const std::string expected = R"(c<性別|k<ﾌﾞﾗﾝｸ|k<ﾌﾞﾗﾝｸ|k<男性|k<男性|k<女性|k<女性|t<総計|t<総計
c<回答日（年）|t<年齢[合計]|t<満足度[平均]|t<年齢[合計]|t<満足度[平均]|t<年齢[合計]|t<満足度[平均]|t<年齢[合計]|t<満足度[平均]
k<ﾌﾞﾗﾝｸ|0.00||||||t0.00|t
k<2023|||||134.00|4.50|t34.00|t4.50
k<2024|||2149.00|3.81|91.00|2.56|t240.00|t3.19
t<総計|t0.00|t|t149.00|t3.81|t125.00|t2.95|t274.00|t3.33
)";
    EXPECT_EQ(grid(), expected);
    EXPECT_TRUE(view.filterActive());
    EXPECT_EQ(view.conditions(), conditions);

    // Applying again repaints: a cell that meets nothing now loses its mark.
    conditions = {};
    conditions[0] = {0, 3, "91", ""};
    view.ApplyFilter(conditions);
    EXPECT_EQ(view.filterMark(4, 3), -1);
    EXPECT_EQ(view.filterMark(4, 5), 3);
    EXPECT_EQ(view.filterMark(3, 5), -1);
    // Two conditions met by one cell: the later one's colour shows.
    conditions[1] = {6, 2, "90", "92"};
    view.ApplyFilter(conditions);
    EXPECT_EQ(view.filterMark(4, 5), 2);

    view.ReleaseFilter();
    EXPECT_EQ(grid(), kGridCases[0].grid);
    EXPECT_FALSE(view.filterActive());
    for (const FilterCondition& c : view.conditions())
        EXPECT_EQ(c.op, -1);
}

TEST_F(MolapViewTest, selectCellKeepsInsideTheTable) {
    build(kGridCases[1].params);
    EXPECT_EQ(view.currentRow(), 2);  // the first body cell is current after a build
    EXPECT_EQ(view.currentColumn(), 0);
    EXPECT_TRUE(view.SelectCell(0, 3));
    EXPECT_FALSE(view.SelectCell(3, 0));
    EXPECT_FALSE(view.SelectCell(0, 4));
    EXPECT_EQ(view.currentRow(), 0);
    EXPECT_EQ(view.currentColumn(), 3);
}

// The exporter reads the grid's first row as its headers and numbers behind number texts.
TEST_F(MolapViewTest, tableSourceReadsTheGridAsItStands) {
    build(kGridCases[0].params);
    const MolapTableSource source(view);
    EXPECT_EQ(source.rowCount(), 5);
    EXPECT_EQ(source.columnCount(), 9);
    EXPECT_EQ(cp932::toUtf8(source.columnHeader(0)), "性別");
    TableCell cell;
    source.readCell(3, 3, cell);
    EXPECT_EQ(cell.text, "149.00");
    ASSERT_TRUE(cell.number);
    EXPECT_EQ(cell.number->value, 149);
    EXPECT_EQ(cell.number->decimals, 2);
    cell.clear();
    source.readCell(3, 0, cell);  // a year key
    ASSERT_TRUE(cell.number);
    EXPECT_EQ(cell.number->value, 2024);
    cell.clear();
    source.readCell(1, 2, cell);  // an empty cell
    EXPECT_EQ(cell.text, "");
    EXPECT_FALSE(cell.number);
}

TEST(MolapFormat, valueUnitsDropTheFractionThenRound) {
    struct Case {
        double value;
        std::int32_t unit;
        double expected;
    } cases[] = {
        {1499.9, 130, 1}, {1500, 130, 2},      {-1500, 130, -1},  {1001, 120, 2},
        {-1001, 120, -1}, {1999, 110, 1},      {1500000, 230, 2}, {2999999, 210, 2},
        {1.7, 0, 1.7},    {1234567.8, 220, 2}, {-0.5, 110, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(molapScaled(c.value, c.unit), c.expected) << c.value << " " << c.unit;
}

// Numbers beyond every integer type compare and scale as what they are, never wrapped.
TEST(MolapFormat, hugeNumbersCompareAndScaleAsDoubles) {
    MolapValue count;
    count.kind = MolapValue::Integer;
    count.integer = 5;
    MolapValue sum;
    sum.kind = MolapValue::Double;
    sum.number = 1e22;
    const std::string huge = "99999999999999999999";
    struct Case {
        std::int32_t kind;
        const MolapValue& value;
        std::string from, to;
        std::int32_t op;
        bool met;
    } cases[] = {
        {0, count, huge, "", 2, false},      {0, count, huge, "", 4, true},
        {0, count, "-" + huge, "", 2, true}, {0, count, "4.9", "", 2, true},
        {0, count, "5.9", "", 0, true},      {0, count, "-" + huge, huge, 6, true},
        {1, sum, huge, "", 2, true},         {1, sum, "1" + huge + "00", "", 3, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesCondition(c.kind, 1, c.value, c.from, c.to, c.op, 0, 2), c.met)
            << c.from << " " << c.op;
    EXPECT_EQ(molapScaled(1e22, 130), 1e19);
    EXPECT_EQ(molapScaled(-3e20, 210), -3e14);
    EXPECT_EQ(molapScaled(1e22, 0), 1e22);
}

TEST(MolapFormat, keysByTypeAndUnit) {
    const auto integer = [](std::int32_t v) {
        MolapValue value;
        value.kind = MolapValue::Integer;
        value.integer = v;
        return value;
    };
    MolapValue real;
    real.kind = MolapValue::Double;
    real.number = 1234.5;
    struct Case {
        std::int32_t type;
        MolapValue value;
        std::int32_t unit, decimals;
        const char* expected;
    } cases[] = {
        {3, real, 0, 2, "1,234.50"},
        {3, real, 0, -1, "1,234.500000"},
        {2, integer(-1234567), 0, 0, "-1,234,567"},
        {5, integer(20240401), 0, 0, "2024/04/01"},
        {5, integer(202404), 4, 0, "2024/04"},
        {5, integer(3), 5, 0, "3期"},
        {5, integer(2), 6, 0, "下期"},
        {5, integer(1), 6, 0, "上期"},
        {5, integer(2024), 1, 0, "2024"},
        {5, integer(123), 0, 0, "123"},  // not eight digits: shown as it is
        {7, integer(90505), 0, 0, "09:05:05"},
        {1, integer(1), 0, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cp932::toUtf8(FormatKeyValue(c.type, c.value, c.unit, c.decimals)), c.expected)
            << c.expected;
    real.number = 1234.6;
    EXPECT_EQ(FormatKeyValue(3, real, 0, 0), "1235");  // no grouping without decimals
}

TEST(MolapFormat, captionsAndNumberCheck) {
    EXPECT_EQ(cp932::toUtf8(molapZCaption(2, cp932::literal("年齢"), 1, 130)),
              "年齢[合計/単位:千(四捨五入)]");
    EXPECT_EQ(cp932::toUtf8(molapZCaption(5, cp932::literal("回答日"), 3, 4)),
              "回答日（年/月）[最大]");
    EXPECT_EQ(cp932::toUtf8(molapZCaption(-1, "", 1, 0)), "件数");
    EXPECT_EQ(cp932::toUtf8(molapZCaption(2, "a", 2, 210)), "a[平均/単位:100万(切り捨て)]");

    struct Case {
        const char* text;
        bool number;
        const char* kept;
    } cases[] = {{"1,234", true, "1234"},
                 {"12a", false, "12"},
                 {"-1.5", true, "-1.5"},
                 {"", true, ""},
                 {"a1", false, ""}};
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(IsNumberText(text), c.number) << c.text;
        EXPECT_EQ(text, c.kept);
    }
    std::string longText(256, '1');
    EXPECT_FALSE(IsNumberText(longText));
    EXPECT_EQ(RoundToDecimals(2.345678, 2), 2.35);
}

TEST(MolapFilterCheck, refusesWhatTheDialogCannotApply) {
    const auto with = [](std::initializer_list<std::pair<std::size_t, FilterCondition>> rows) {
        FilterConditions c;
        for (const auto& [k, row] : rows)
            c[k] = row;
        return c;
    };
    struct Case {
        FilterConditions conditions;
        const char* refusal;
    } cases[] = {
        {with({}), "条件が指定されていません。"},
        {with({{2, {0, 0, "", ""}}}), "第3条件の値が指定されていません。"},
        {with({{0, {6, 0, "1", ""}}}), "第1条件のToの値が指定されていません。"},
        {with({{0, {2, 0, "1", ""}}, {4, {6, 1, "", "9"}}}), "第5条件の値が指定されていません。"},
        {with({{1, {6, 0, "1,000", "2"}}, {3, {5, 4, "x", ""}}}), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(filterConditionsRefusal(c.conditions), c.refusal);
}

}  // namespace
}  // namespace zbq::windows
