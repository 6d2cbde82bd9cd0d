// Cross tabulation results on a small hand-made table: the worked examples of every aggregate
// kind (percentile from the top, civil-day date averages, text extremes, display names), the
// refusals that keep the previous result, and drilling marked cells into the current map.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/core/cp932.h"
#include "tests/engine/cross_fixture.h"

namespace {

using namespace zbq::test;

enum Item { kGroup, kNum, kDate, kTime, kText, kCode, kFloat, kMulti };
// Columns of the group axis: error, blank, then the groups a, b, c, d.
enum Column { kA = 2, kB, kC, kD };

FixtureTable groups() {
    FixtureTable t;
    t.items = {{"g", KW_TYPE_STRING}, {"n", KW_TYPE_INTEGER},
               {"d", KW_TYPE_DATE},   {"t", KW_TYPE_TIME},
               {"s", KW_TYPE_STRING}, {"c", KW_TYPE_STRING, {{"b", "Bee"}, {"a", "Ay"}}},
               {"f", KW_TYPE_FLOAT},  {"m", KW_TYPE_MULTI, {{"x", "Ex"}, {"y", "Why"}}}};
    const std::string katakanaA = zbq::cp932::literal("ｱ");  // one byte above every ASCII text
    t.rows = {{"a", "10", "2024/3/1", "10:00:00", "b", "b", "1.5", "x"},
              {"a", "20", "2024/3/3", "11:00:01", "ab", "a", "2.5", "y"},
              {"a", "30", "", "", katakanaA, "", "", "x,y"},
              {"a", "40", "2024/2/30", "", "", "", "", ""},
              {"b", "", "1969/12/30", "", "", "", "", "x"},
              {"b", "", "1970/1/1", "", "", "", "", "y"},
              {"c", "5", "2024/2/28", "", "", "", "", ""},
              {"c", "5", "2024/3/1", "", "", "", "", ""},
              {"c", "7", "", "", "", "", "", ""},
              {"d", "", "", "", "", "", "", ""}};
    return t;
}

// Groups across, one row of all records.
class CrossByGroup : public ::testing::Test {
protected:
    void SetUp() override {
        t_.s.ResetCrossX();
        setAxis(t_.s, 1, kGroup, 0, {ic("all", KW_COND_OTHERS)});
    }
    std::int32_t run(std::int32_t z, std::int32_t kind, double p = 0) {
        return t_.s.ExecuteCross(kGroup, kGroup, z, kind, p);
    }
    LoadedTable t_{groups()};
    KW_search& s_ = t_.s;
};

TEST_F(CrossByGroup, PercentileFromTheTop) {
    // a holds 10, 20, 30, 40; c holds 5, 5, 7.
    const struct {
        double p;
        std::int32_t a, c;
    } cases[] = {{50, 30, 5},   {25, 40, 7}, {100, 10, 5}, {0, 40, 7},
                 {12.5, 40, 7}, {75, 20, 5}, {33, 30, 7},  {34, 30, 5}};
    for (const auto& c : cases) {
        ASSERT_EQ(run(kNum, KW_CROSS_PERCENT, c.p), 0);
        EXPECT_EQ(s_.GetCrossCount(kA, 0), c.a) << c.p;
        EXPECT_EQ(s_.GetCrossValue(kA, 0), c.a) << c.p;
        EXPECT_EQ(s_.GetCrossCount(kC, 0), c.c) << c.p;
        EXPECT_EQ(s_.GetCrossCellFlag(kB, 0), -1);  // no ordinary value
    }
    // A Float percentile reads as the value; a text one through its text.
    ASSERT_EQ(run(kFloat, KW_CROSS_PERCENT, 50), 0);
    EXPECT_EQ(s_.GetCrossValue(kA, 0), 2.5);
    ASSERT_EQ(run(kText, KW_CROSS_PERCENT, 50), 0);
    EXPECT_EQ(s_.GetCrossText(kA, 0), "b");
}

TEST_F(CrossByGroup, DateAndTimeAveragesAreCivilDaysAndSeconds) {
    ASSERT_EQ(run(kDate, KW_CROSS_AVERAGE), 0);
    EXPECT_EQ(s_.GetCrossValue(kA, 0), 20240302);
    EXPECT_EQ(s_.GetCrossCount(kA, 0), 2);         // the error date is not counted
    EXPECT_EQ(s_.GetCrossValue(kB, 0), 19691231);  // before 1970
    EXPECT_EQ(s_.GetCrossValue(kC, 0), 20240229);  // across a leap day
    ASSERT_EQ(run(kTime, KW_CROSS_AVERAGE), 0);
    EXPECT_EQ(s_.GetCrossValue(kA, 0), 103000);  // 10:30:00.5 shows its whole second
    ASSERT_EQ(run(kDate, KW_CROSS_SUM), 0);
    EXPECT_EQ(s_.GetCrossValue(kB, 0), -86400.0 * 2 + 0);  // 1969/12/30 and 1970/1/1 in seconds
}

TEST_F(CrossByGroup, SumsCountsAndUniqueCounts) {
    ASSERT_EQ(run(kNum, KW_CROSS_SUM), 0);
    EXPECT_EQ(s_.GetCrossValue(kA, 0), 100.0);
    EXPECT_EQ(s_.GetCrossCount(kA, 0), 4);
    ASSERT_EQ(run(kFloat, KW_CROSS_AVERAGE), 0);
    EXPECT_EQ(s_.GetCrossValue(kA, 0), 2.0);
    // Texts are counted, never summed.
    ASSERT_EQ(run(kText, KW_CROSS_SUM), 0);
    EXPECT_EQ(s_.GetCrossCount(kA, 0), 3);
    EXPECT_EQ(s_.GetCrossValue(kA, 0), 0.0);
    EXPECT_EQ(s_.GetCrossText(kA, 0), "");

    ASSERT_EQ(run(kNum, KW_CROSS_RECORDS), 0);
    EXPECT_EQ(countGrid(s_), ". . 4 2 3 1");
    ASSERT_EQ(run(kNum, KW_CROSS_COUNT), 0);
    EXPECT_EQ(countGrid(s_), ". . 4 . 3 .");  // b and d hold only blanks
    ASSERT_EQ(run(kNum, KW_CROSS_UNIQUE), 0);
    EXPECT_EQ(countGrid(s_), ". . 4 . 2 .");
}

TEST_F(CrossByGroup, ExtremesOfTextsAndNumbers) {
    ASSERT_EQ(run(kText, KW_CROSS_MAXIMUM), 0);
    EXPECT_EQ(s_.GetCrossText(kA, 0), zbq::cp932::literal("ｱ"));
    // The smallest text, not the preset that would sort below every position.
    ASSERT_EQ(run(kText, KW_CROSS_MINIMUM), 0);
    EXPECT_EQ(s_.GetCrossText(kA, 0), "ab");
    EXPECT_EQ(s_.GetCrossCellFlag(kB, 0), -1);
    EXPECT_EQ(s_.GetCrossText(kB, 0), "");

    ASSERT_EQ(run(kNum, KW_CROSS_MINIMUM), 0);
    EXPECT_EQ(s_.GetCrossCount(kA, 0), 10);
    EXPECT_EQ(s_.GetCrossValue(kC, 0), 5.0);
    ASSERT_EQ(run(kFloat, KW_CROSS_MAXIMUM), 0);
    EXPECT_EQ(s_.GetCrossValue(kA, 0), 2.5);
    ASSERT_EQ(run(kDate, KW_CROSS_MAXIMUM), 0);
    EXPECT_EQ(s_.GetCrossCount(kC, 0), 20240301);
}

TEST_F(CrossByGroup, CodeTextsAreNamesOnAValueAxisOnly) {
    ASSERT_EQ(run(kCode, KW_CROSS_MAXIMUM), 0);
    EXPECT_EQ(s_.GetCrossText(kA, 0), "Bee");
    setAxis(s_, 0, kGroup, 0, {tc("a", KW_COND_EQ, "a")});
    ASSERT_EQ(run(kCode, KW_CROSS_MAXIMUM), 0);
    EXPECT_EQ(s_.GetCrossText(0, 0), "b");
}

TEST_F(CrossByGroup, RefusalsKeepThePreviousResult) {
    ASSERT_EQ(run(kNum, KW_CROSS_SUM), 0);
    EXPECT_EQ(run(kMulti, KW_CROSS_COUNT), -1);  // answers are not records
    EXPECT_EQ(run(-1, KW_CROSS_COUNT), -1);
    EXPECT_EQ(run(kNum, -1), -1);
    EXPECT_EQ(run(kNum, 8), -1);
    EXPECT_EQ(run(kNum, KW_CROSS_PERCENT, -0.5), -1);
    EXPECT_EQ(run(kNum, KW_CROSS_PERCENT, 100.5), -1);
    EXPECT_EQ(run(kNum, KW_CROSS_PERCENT, std::nan("")), -1);
    EXPECT_EQ(s_.ExecuteCross(kGroup, 99, kNum, KW_CROSS_SUM, 0), -1);
    EXPECT_EQ(s_.GetCrossValue(kA, 0), 100.0);
    // Kind 0 needs no Z item.
    EXPECT_EQ(run(-1, KW_CROSS_RECORDS), 0);
    EXPECT_EQ(s_.GetCrossCount(kA, 0), 4);
    EXPECT_EQ(s_.GetCrossCellFlag(6, 0), -1);
    EXPECT_EQ(s_.GetCrossCount(0, 1), 0);
}

// The records of the current map, ascending.
std::vector<int> current(const KW_search& s) {
    std::vector<int> out;
    for (int r = 0; r < s.KWgetRecordCount(); ++r)
        if (!s.KWmapGet() || s.KWmapGet()->test(r)) out.push_back(r);
    return out;
}

TEST(CrossDrill, MarkedCellsBecomeTheCurrentMap) {
    LoadedTable t(groups());
    KW_search& s = t.s;
    EXPECT_EQ(s.MarkCrossCell(0, 0), -1);  // no result yet
    EXPECT_EQ(s.CrossDrill(), -1);
    // Groups across, codes down (error, blank, a, b).
    ASSERT_EQ(s.ExecuteCross(kGroup, kCode, -1, KW_CROSS_RECORDS, 0), 0);
    EXPECT_EQ(s.CrossDrill(), -1);  // nothing marked
    EXPECT_EQ(s.MarkCrossCell(6, 0), -1);
    ASSERT_EQ(s.MarkCrossCell(kA, 1), 0);  // records 2, 3
    ASSERT_EQ(s.MarkCrossCell(kC, 1), 0);  // 6, 7, 8
    ASSERT_EQ(s.MarkCrossCell(kC, 1), 0);
    EXPECT_EQ(s.CrossDrill(), 5);
    EXPECT_EQ(current(s), (std::vector<int>{2, 3, 6, 7, 8}));
    // Marks after a drill add to what was drilled.
    ASSERT_EQ(s.MarkCrossCell(kA, 3), 0);  // record 0
    EXPECT_EQ(s.CrossDrill(), 6);
    EXPECT_EQ(current(s), (std::vector<int>{0, 2, 3, 6, 7, 8}));

    // With a Z item only the records holding an ordinary value.
    s.KWmapClear();
    ASSERT_EQ(s.ExecuteCross(kGroup, kCode, kNum, KW_CROSS_COUNT, 0), 0);
    ASSERT_EQ(s.MarkCrossCell(kA, 1), 0);
    ASSERT_EQ(s.MarkCrossCell(kB, 1), 0);  // blank numbers only
    EXPECT_EQ(s.CrossDrill(), 2);
    EXPECT_EQ(current(s), (std::vector<int>{2, 3}));
}

TEST(CrossDrill, MultiAnsAxisTakesEachRecordOnce) {
    LoadedTable t(groups());
    KW_search& s = t.s;
    // Answers across (error, blank, x, y), groups down.
    ASSERT_EQ(s.ExecuteCross(kMulti, kGroup, -1, KW_CROSS_RECORDS, 0), 0);
    EXPECT_EQ(countGrid(s), ". . . .|. . . .|. 1 2 2|. . 1 1|. 3 . .|. 1 . .");
    ASSERT_EQ(s.MarkCrossCell(2, kA), 0);
    ASSERT_EQ(s.MarkCrossCell(3, kA), 0);
    EXPECT_EQ(s.CrossDrill(), 3);
    EXPECT_EQ(current(s), (std::vector<int>{0, 1, 2}));
}

}  // namespace
