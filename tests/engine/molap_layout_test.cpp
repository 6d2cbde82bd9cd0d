// The aggregation's layout on a small hand-made table: the order of keys with their subtotals,
// the total captions, which cells exist (total cells also with no record), and the
// aggregates of Z values that are blank or errors.
#include <gtest/gtest.h>

#include <string>

#include "engine/kw_search.h"
#include "platform/core/cp932.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;
using Value = KW_search::MolapValue;

std::string show(std::int32_t rc, const Value& v) {
    if (rc < 0) return "?";
    if (rc == 0 && v.position == KW_POS_BLANK) return "<blank>";
    switch (v.kind) {
        case Value::Integer:
            return std::to_string(v.integer);
        case Value::Double:
            return std::to_string(v.number);
        case Value::Text:
            return zbq::cp932::toUtf8(v.text);
        default:
            return ".";
    }
}

class MolapLayout : public ::testing::Test {
protected:
    void SetUp() override {
        // Items: A, B (codes with display names), C, Y (integers), Z (integer aggregated).
        FixtureTable t;
        t.items = {{"A", KW_TYPE_STRING, {{"a", "A"}, {"b", "B"}}},
                   {"B", KW_TYPE_STRING, {{"p", "P"}, {"q", "Q"}}},
                   {"C", KW_TYPE_INTEGER},
                   {"Y", KW_TYPE_INTEGER},
                   {"Z", KW_TYPE_INTEGER}};
        t.rows = {
            {"a", "p", "1", "1", "10"},   //
            {"a", "p", "2", "1", "20"},   //
            {"a", "p", "2", "2", ""},     // blank Z
            {"a", "q", "1", "2", "30"},   //
            {"b", "p", "2", "1", "5"},    //
            {"b", "q", "1", "1", "7"},    //
            {"b", "q", "1", "1", "x"},    // error Z
            {"zz", "p", "1", "1", "99"},  // error X key: in no cell
            {"a", "p", "1", "", "1"},     // blank Y key: sorts first
        };
        zbq::test::writeFixture(dir_.file("l.zbq"), t);
        ASSERT_EQ(s_.KWopen(dir_.file("l.zbq"), ""), 0);
        ASSERT_EQ(s_.SetMolapX({0, 1, 2}, {0, 0, 0}), 0);
        ASSERT_EQ(s_.SetMolapY({3}, {0}), 0);
        ASSERT_EQ(s_.SetMolapZ({4, 4, 4, 4, 4}, {0, 0, 0, 0, 0}), 0);
        ASSERT_EQ(s_.KWexecuteMolap({0, 1, 2}, {3}, {4, 4, 4, 4, 4}, {0, 1, 2, 4, 3}, 2, 1), 0);
    }

    std::string xKey(int x) {
        std::string s;
        for (int level = 0; level < 3; ++level) {
            Value v;
            const std::int32_t rc = s_.GetMolapXLabel(x * 5, level, v);
            s += (level ? "|" : "") + show(rc, v);
        }
        return s;
    }
    std::string yKey(int y) {
        Value v;
        const std::int32_t rc = s_.GetMolapYLabel(y, 0, v);
        return show(rc, v);
    }
    int xIndex(const std::string& key) {
        for (int x = 0; x < s_.GetMolapXCount(); ++x)
            if (xKey(x) == key) return x;
        ADD_FAILURE() << "no X key " << key;
        return 0;
    }
    int yIndex(const std::string& key) {
        for (int y = 0; y < s_.GetMolapYCount(); ++y)
            if (yKey(y) == key) return y;
        ADD_FAILURE() << "no Y key " << key;
        return 0;
    }

    zbq::test::TempDir dir_;
    KW_search s_;
};

TEST_F(MolapLayout, SubtotalsFollowTheirGroupDeepestFirst) {
    std::string keys;
    for (int x = 0; x < s_.GetMolapXCount(); ++x)
        keys += xKey(x) + "\n";
    EXPECT_EQ(keys,
              "A|P|1\nA|P|2\nA|P|計\nA|Q|1\nA|Q|計\nA|計|\n"
              "B|P|2\nB|P|計\nB|Q|1\nB|Q|計\nB|計|\n総計||\n");
    std::string rows;
    for (int y = 0; y < s_.GetMolapYCount(); ++y)
        rows += yKey(y) + "\n";
    EXPECT_EQ(rows, "<blank>\n1\n2\n総計\n");
}

TEST_F(MolapLayout, TotalCellsExistInEveryRowEvenWithoutRecords) {
    // Counts per row, one column per X key; "." where no cell exists.
    std::string grid;
    for (int y = 0; y < s_.GetMolapYCount(); ++y) {
        grid += yKey(y) + ":";
        for (int x = 0; x < s_.GetMolapXCount(); ++x) {
            Value v;
            grid += " " + show(s_.KWMolapGetData(x, y, 0, v), v);
        }
        grid += "\n";
    }
    EXPECT_EQ(grid,
              "<blank>: 1 . 1 . 0 1 . 0 . 0 0 1\n"
              "1: 1 1 2 . 0 2 1 1 2 2 3 5\n"
              "2: . 1 1 1 1 2 . 0 . 0 0 2\n"
              "総計: 2 2 4 1 1 5 1 1 2 2 3 8\n");
}

TEST_F(MolapLayout, AggregatesOverOrdinaryZValues) {
    // Kinds of the five Z columns: count, sum, average, minimum, maximum.
    struct Case {
        const char* x;
        const char* y;
        const char* want;
    };
    const Case cases[] = {
        {"A|P|1", "1", "1 10.000000 10.000000 10 10"},
        // Only a blank Z value: the sum is 0, no average and no extremes.
        {"A|P|2", "2", "1 0.000000 . . ."},
        // An error Z value counts as a record, nothing else.
        {"B|Q|1", "1", "2 7.000000 7.000000 7 7"},
        {"A|P|計", "1", "2 30.000000 15.000000 10 20"},
        {"A|計|", "2", "2 30.000000 30.000000 30 30"},
        // A group without records in its row.
        {"B|計|", "2", "0 . . . ."},
        {"A|Q|計", "<blank>", "0 . . . ."},
        {"A|P|1", "総計", "2 11.000000 5.500000 1 10"},
        {"総計||", "総計", "8 73.000000 12.166667 1 30"},
        // No cell at all.
        {"B|P|2", "2", ". . . . ."},
    };
    for (const Case& c : cases) {
        const int x = xIndex(c.x), y = yIndex(c.y);
        std::string got;
        for (int z = 0; z < 5; ++z) {
            Value v;
            got += (z ? " " : "") + show(s_.KWMolapGetData(x, y, z, v), v);
        }
        EXPECT_EQ(got, c.want) << c.x << " x " << c.y;
    }
}

TEST_F(MolapLayout, TotalFlagMarksEveryTotalLine) {
    Value v;
    EXPECT_EQ(s_.KWMolapGetData(xIndex("A|P|1"), yIndex("1"), 0, v), 0);
    EXPECT_EQ(s_.KWMolapGetData(xIndex("A|P|計"), yIndex("1"), 0, v), 1);
    EXPECT_EQ(s_.KWMolapGetData(xIndex("A|P|1"), yIndex("総計"), 0, v), 1);
    EXPECT_EQ(s_.KWMolapGetData(xIndex("B|P|2"), yIndex("2"), 0, v), 0);  // no cell
    EXPECT_EQ(v.kind, Value::None);
    EXPECT_EQ(s_.KWMolapGetData(xIndex("B|計|"), yIndex("2"), 0, v), 1);  // empty total cell
    EXPECT_EQ(v.kind, Value::Integer);
}

// A text that reads like a caption is still a value: only the total marker makes a total.
TEST(MolapLabels, ARealValueReadingLikeACaptionIsNoTotal) {
    const std::string kei = zbq::cp932::literal("計");
    FixtureTable t;
    t.items = {{"S", KW_TYPE_STRING}, {"T", KW_TYPE_INTEGER}};
    t.rows = {{kei, "1"}, {"x", "2"}, {kei, "2"}};
    zbq::test::TempDir dir;
    zbq::test::writeFixture(dir.file("k.zbq"), t);
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("k.zbq"), ""), 0);
    ASSERT_EQ(s.SetMolapX({0, 1}, {0, 0}), 0);
    ASSERT_EQ(s.KWexecuteMolap({0, 1}, {}, {}, {}, 2, 0), 0);
    // Keys: x|2, x|計(total), 計|1, 計|2, 計|計(total), 総計 (texts sort by bytes: "x" < 0x8C).
    ASSERT_EQ(s.GetMolapXCount(), 6);
    Value v;
    EXPECT_EQ(s.GetMolapXLabel(3, 0, v), 0);
    EXPECT_EQ(std::string(v.text), kei);
    EXPECT_EQ(s.GetMolapXLabel(4, 1, v), 1);
    EXPECT_EQ(std::string(v.text), kei);
    EXPECT_EQ(s.GetMolapXLabel(4, 0, v), 0);
    EXPECT_EQ(std::string(v.text), kei);
}

// A blank key of a number item shows its caption, never a 0 that a real 0 would share; the
// failed list leaves the shown result as it was.
TEST(MolapLabels, BlankNumberKeysShowTheirCaptionAndAMismatchedCallKeepsTheResult) {
    FixtureTable t;
    t.items = {
        {"I", KW_TYPE_INTEGER}, {"F", KW_TYPE_FLOAT}, {"D", KW_TYPE_DATE}, {"H", KW_TYPE_TIME}};
    t.rows = {{"0", "0", "2024/1/2", "0:0:0"}, {"", "", "", ""}};
    zbq::test::TempDir dir;
    zbq::test::writeFixture(dir.file("b.zbq"), t);
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("b.zbq"), ""), 0);
    const std::string blank = zbq::cp932::literal("ﾌﾞﾗﾝｸ");
    for (std::int32_t item = 0; item < 4; ++item) {
        ASSERT_EQ(s.SetMolapX({item}, {0}), 0);
        ASSERT_EQ(s.KWexecuteMolap({item}, {}, {}, {}, 0, 0), 0);
        ASSERT_EQ(s.GetMolapXCount(), 2) << "item " << item;
        Value v;
        ASSERT_EQ(s.GetMolapXLabel(0, 0, v), 0);  // the blank key sorts first
        ASSERT_EQ(v.kind, Value::Text) << "item " << item;
        EXPECT_EQ(std::string(v.text), blank);
        ASSERT_EQ(s.GetMolapXLabel(1, 0, v), 0);
        EXPECT_NE(v.kind, Value::Text) << "item " << item;
    }
    EXPECT_EQ(s.KWexecuteMolap({0}, {}, {}, {}, 0, 0), -1);  // lists differ from the settings
    EXPECT_EQ(s.GetMolapXCount(), 2);
}

}  // namespace
