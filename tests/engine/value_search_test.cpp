// Value search over dictionary positions (text, integer and float conditions, the current map's
// part in it, both ends) and record stepping over the rows of the view past excluded values.
#include <gtest/gtest.h>

#include "engine/kw_search.h"
#include "platform/core/cp932.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;

class ValueSearch : public ::testing::Test {
protected:
    void SetUp() override {
        FixtureTable t;
        t.items = {{"code", KW_TYPE_STRING, {{"ab", "Cee"}, {"cd", "Xab"}, {"ef", "Eff"}}},
                   {"text", KW_TYPE_STRING},
                   {"int", KW_TYPE_INTEGER},
                   {"real", KW_TYPE_FLOAT},
                   {"multi", KW_TYPE_MULTI, {{"x", "Ex"}, {"y", "Why"}}}};
        // int: the values 1 to 7, one record each, then a blank: position = value + 1.
        t.rows = {{"ab", "ab", "1", "0.5", "x"},  {"cd", "xaby", "2", "1.5", "y"},
                  {"ef", "q", "3", "2.5", "x,y"}, {"ab", "", "4", "-1", ""},
                  {"", "zz", "5", "", "y"},       {"cd", "ab", "6", "3", "x"},
                  {"ef", "", "7", "x", "y,x"},    {"ab", "q", "", "0.5", "w"}};
        zbq::test::writeFixture(dir_.file("f.zbq"), t);
        ASSERT_EQ(s_.KWopen(dir_.file("f.zbq"), ""), 0);
    }

    // Every position the search finds, first to last.
    std::vector<std::int32_t> all() {
        std::vector<std::int32_t> out;
        for (std::int32_t p = s_.KWfindFirstValue(); p >= 0; p = s_.KWfindNextValue())
            out.push_back(p);
        return out;
    }

    KW_mapPtr mapOf(std::initializer_list<int> records) {
        auto map = std::make_shared<KW_map>(8);
        for (const int r : records)
            map->set(r);
        return map;
    }

    zbq::test::TempDir dir_;
    KW_search s_;
};

TEST_F(ValueSearch, TextSearchReadsDisplayNamesWhereTheItemHasThem) {
    ASSERT_EQ(s_.KWsetFindString(0, 0, "ab"), 0);
    EXPECT_EQ(all(), (std::vector<std::int32_t>{3}));  // "Xab", not the code "ab"
    ASSERT_EQ(s_.KWsetFindString(1, 0, "ab"), 0);
    EXPECT_EQ(all(), (std::vector<std::int32_t>{2, 4}));  // "ab", "xaby"
    // The blank caption holds the text, but error and blank are never found.
    ASSERT_EQ(s_.KWsetFindString(1, 0, zbq::cp932::literal("ﾌﾞ")), 0);
    EXPECT_EQ(s_.KWfindFirstValue(), -1);
    EXPECT_EQ(s_.KWfindLastValue(), -1);
    ASSERT_EQ(s_.KWsetFindString(1, 0, ""), 0);
    EXPECT_EQ(all(), std::vector<std::int32_t>{});
    // Comparisons read the codes.
    ASSERT_EQ(s_.KWsetFindStringRange(0, 0, KW_COND_RANGE, "ab", "cd"), 0);
    EXPECT_EQ(all(), (std::vector<std::int32_t>{2, 3}));
    ASSERT_EQ(s_.KWsetFindStringRange(4, 0, KW_COND_GT, "x", ""), 0);
    EXPECT_EQ(all(), (std::vector<std::int32_t>{3}));
}

TEST_F(ValueSearch, NumericOperators) {
    struct Case {
        std::int32_t op, a, b;
        std::vector<std::int32_t> values;
    };
    const Case cases[] = {
        {KW_COND_GT, 5, 0, {6, 7}},
        {KW_COND_GE, 5, 0, {5, 6, 7}},
        {KW_COND_LT, 2, 0, {1}},
        {KW_COND_LE, 2, 0, {1, 2}},
        {KW_COND_EQ, 4, 0, {4}},
        {KW_COND_NE, 4, 0, {1, 2, 3, 5, 6, 7}},
        {KW_COND_RANGE, 2, 4, {2, 3, 4}},
        {KW_COND_RANGE_LOW, 2, 4, {2, 3}},
        {KW_COND_RANGE_HIGH, 2, 4, {3, 4}},
        {KW_COND_RANGE_OPEN, 2, 4, {3}},
        {KW_COND_LE, 0, 0, {}},  // error and blank read as 0 in their entries, and never match
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("op " + std::to_string(c.op));
        ASSERT_EQ(s_.KWsetFindInt(2, 0, c.op, c.a, c.b), 0);
        std::vector<std::int32_t> values;
        for (const std::int32_t p : all())
            values.push_back(s_.KWgetValueInt(2, p));
        EXPECT_EQ(values, c.values);
    }
    ASSERT_EQ(s_.KWsetFindDouble(3, 0, KW_COND_RANGE_LOW, 0.5, 2.5), 0);
    EXPECT_EQ(all(), (std::vector<std::int32_t>{3, 4}));  // 0.5 and 1.5

    // Each setter refuses the wrong item, type or operator, and leaves the search as it was.
    EXPECT_EQ(s_.KWsetFindInt(3, 0, KW_COND_GT, 0, 0), -1);
    EXPECT_EQ(s_.KWsetFindDouble(2, 0, KW_COND_GT, 0, 0), -1);
    EXPECT_EQ(s_.KWsetFindString(2, 0, "1"), -1);
    EXPECT_EQ(s_.KWsetFindStringRange(1, 0, 10, "a", "b"), -1);
    EXPECT_EQ(s_.KWsetFindInt(2, 0, -1, 0, 0), -1);
    EXPECT_EQ(s_.KWsetFindInt(9, 0, KW_COND_GT, 0, 0), -1);
    EXPECT_EQ(all(), (std::vector<std::int32_t>{3, 4}));
}

TEST_F(ValueSearch, StepsBothWaysAndStopsAtEitherEnd) {
    KW_search fresh;
    EXPECT_EQ(fresh.KWfindNextValue(), -1);  // nothing set up

    ASSERT_EQ(s_.KWsetFindInt(2, 0, KW_COND_GE, 3, 0), 0);  // positions 4 to 8
    EXPECT_EQ(s_.KWfindNextValue(), 4);                     // a start below 2 searches from 2
    EXPECT_EQ(s_.KWfindLastValue(), 8);
    EXPECT_EQ(s_.KWfindNextValue(), -1);
    EXPECT_EQ(s_.KWfindPrevValue(), 7);  // the last one found stays the search position
    EXPECT_EQ(s_.KWfindFirstValue(), 4);
    EXPECT_EQ(s_.KWfindPrevValue(), -1);
    EXPECT_EQ(s_.KWfindNextValue(), 5);

    ASSERT_EQ(s_.KWsetFindInt(2, 6, KW_COND_GE, 3, 0), 0);
    EXPECT_EQ(s_.KWfindNextValue(), 7);
    EXPECT_EQ(s_.KWfindPrevValue(), 6);
    ASSERT_EQ(s_.KWsetFindInt(2, 50, KW_COND_GE, 3, 0), 0);
    EXPECT_EQ(s_.KWfindNextValue(), -1);
    EXPECT_EQ(s_.KWfindPrevValue(), 8);
}

TEST_F(ValueSearch, ValuesWithoutRecordsInTheMapArePassedOver) {
    // Every value but 5 (position 6) keeps a record.
    ASSERT_EQ(s_.KWmapSet(mapOf({0, 1, 2, 3, 5, 6})), 6);
    ASSERT_EQ(s_.KWsetFindInt(2, 5, KW_COND_GE, 3, 0), 0);
    EXPECT_EQ(s_.KWfindNextValue(), 7);
    EXPECT_EQ(s_.KWfindPrevValue(), 5);
    // A value that matches but has no record still becomes the search position: a failed
    // search from 5 upward to the end stops on 8, the last match.
    ASSERT_EQ(s_.KWmapSet(mapOf({0, 1, 2, 3})), 4);
    ASSERT_EQ(s_.KWsetFindInt(2, 5, KW_COND_GE, 3, 0), 0);
    EXPECT_EQ(s_.KWfindNextValue(), -1);
    EXPECT_EQ(s_.KWfindPrevValue(), 5);
    EXPECT_EQ(s_.KWfindLastValue(), 5);
}

class RecordStepping : public ValueSearch {
protected:
    // Excludes the values at the given value-list positions of an item.
    void exclude(std::int32_t item, std::initializer_list<std::int32_t> positions) {
        for (const std::int32_t p : positions)
            ASSERT_EQ(s_.KWpassDataFromMap(item, p), 0);
    }
};

TEST_F(RecordStepping, WithoutExclusionsEveryRowQualifies) {
    EXPECT_EQ(s_.KWfindNextRecord(2, 0), 0);
    EXPECT_EQ(s_.KWfindNextRecord(2, 5), 5);
    EXPECT_EQ(s_.KWfindPrevRecord(), 4);
    EXPECT_EQ(s_.KWfindNextRecord(2, 99), 7);
    EXPECT_EQ(s_.KWfindNextRecord(-1, 0), -1);
}

TEST_F(RecordStepping, SkipsExcludedValuesForwardAndBack) {
    exclude(2, {1, 3, 4, 7});  // blank, 2, 3 and 6: records 7, 1, 2 and 5
    EXPECT_EQ(s_.KWfindNextRecord(2, 1), 3);
    EXPECT_EQ(s_.KWfindPrevRecord(), 0);
    EXPECT_EQ(s_.KWfindPrevRecord(), 0);  // the first qualifying row again
    EXPECT_EQ(s_.KWfindNextRecord(2, 5), 6);
    EXPECT_EQ(s_.KWfindNextRecord(2, 7), -1);
    EXPECT_EQ(s_.KWfindPrevRecord(), 6);      // before the start of the failed search
    EXPECT_EQ(s_.KWfindNextRecord(2, 8), 6);  // beyond the last row: look backward
}

TEST_F(RecordStepping, FollowsTheViewAndTheMap) {
    ASSERT_EQ(s_.KWmapSet(mapOf({0, 2, 3, 4, 6})), 5);
    exclude(2, {5});                    // value 4: record 3, row 2
    ASSERT_EQ(s_.KWsortData(2, 1), 0);  // rows: records 6, 4, 3, 2, 0
    EXPECT_EQ(s_.KWfindNextRecord(2, 2), 3);
    EXPECT_EQ(s_.RecordOfRow(3), 2);
    EXPECT_EQ(s_.KWfindPrevRecord(), 1);
    EXPECT_EQ(s_.RecordOfRow(1), 4);
    EXPECT_EQ(s_.KWfindNextRecord(2, 5), 4);
}

TEST_F(RecordStepping, MultiAnswerRecordQualifiesByAnyAnswer) {
    // Answers: x | y | x,y | blank | y | x | y,x | error.
    exclude(4, {2});  // x
    std::vector<std::int32_t> rows;
    for (std::int32_t r = s_.KWfindNextRecord(4, 0); r >= 0;
         r = r < 7 ? s_.KWfindNextRecord(4, r + 1) : -1)
        rows.push_back(r);
    EXPECT_EQ(rows, (std::vector<std::int32_t>{1, 2, 3, 4, 6, 7}));
    exclude(4, {0, 1, 3});  // everything
    EXPECT_EQ(s_.KWfindNextRecord(4, 0), -1);
    EXPECT_EQ(s_.KWfindPrevRecord(), -1);
}

}  // namespace
