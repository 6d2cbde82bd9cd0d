// The aggregation's settings and lifecycle: date grouping of a Date item's dictionary, the
// axes the engine refuses, reads out of range, and what freeing the result or the data set
// leaves behind.
#include <gtest/gtest.h>

#include "tests/engine/molap_reference.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::test;
using Value = KW_search::MolapValue;

TEST(MolapDateGroupKey, IntegerExpressionsOverYyyymmdd) {
    struct Case {
        std::int32_t date;
        std::int32_t year, month, day, yearMonth, quarter, half;
    };
    const Case cases[] = {
        {20240101, 2024, 1, 1, 202401, 1, 1},   {20230331, 2023, 3, 31, 202303, 1, 1},
        {20230401, 2023, 4, 1, 202304, 2, 1},   {20230630, 2023, 6, 30, 202306, 2, 1},
        {20230701, 2023, 7, 1, 202307, 3, 2},   {20231001, 2023, 10, 1, 202310, 4, 2},
        {19991231, 1999, 12, 31, 199912, 4, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kw::dateGroupKey(c.date, 1), c.year) << c.date;
        EXPECT_EQ(kw::dateGroupKey(c.date, 2), c.month) << c.date;
        EXPECT_EQ(kw::dateGroupKey(c.date, 3), c.day) << c.date;
        EXPECT_EQ(kw::dateGroupKey(c.date, 4), c.yearMonth) << c.date;
        EXPECT_EQ(kw::dateGroupKey(c.date, 5), c.quarter) << c.date;
        EXPECT_EQ(kw::dateGroupKey(c.date, 6), c.half) << c.date;
    }
}

class MolapSettings : public ::testing::Test {
protected:
    void SetUp() override {
        writeFixture(dir_.file("s.zbq"), table_);
        ASSERT_EQ(s_.KWopen(dir_.file("s.zbq"), ""), 0);
    }

    FixtureTable table_ = molapTable(600, 41);
    TempDir dir_;
    KW_search s_;
};

TEST_F(MolapSettings, DateConvertGroupsEveryRecordsDate) {
    const SqliteReference db(table_);
    const char* expressions[] = {"v4 / 10000",
                                 "(v4 % 10000) / 100",
                                 "v4 % 100",
                                 "v4 / 100",
                                 "((v4 % 10000) / 100 - 1) / 3 + 1",
                                 "((v4 % 10000) / 100 - 1) / 6 + 1"};
    const std::span<const std::int32_t> own = s_.values(kDay);
    for (int g = 1; g <= 6; ++g) {
        SCOPED_TRACE(g);
        std::vector<KW_dict> dict;
        std::vector<std::int32_t> positions;
        ASSERT_EQ(s_.DateConvert(kDay, g, dict, positions), 0);
        ASSERT_EQ(positions.size(), own.size());
        EXPECT_EQ(dict[0].low, -2);
        EXPECT_EQ(dict[1].low, -1);
        // Ascending distinct keys, counts and starts that add up.
        std::vector<std::int32_t> counted(dict.size(), 0);
        for (const std::int32_t p : positions)
            ++counted[static_cast<std::size_t>(p)];
        for (std::size_t p = 0; p < dict.size(); ++p) {
            EXPECT_EQ(dict[p].count, counted[p]) << p;
            if (p > 0) {
                EXPECT_EQ(dict[p].start, dict[p - 1].start + dict[p - 1].count) << p;
            }
            if (p > 2) {
                EXPECT_LT(dict[p - 1].high, dict[p].high) << p;
            }
        }
        const auto rows =
            db.query(std::string("SELECT rec, k4, ") + expressions[g - 1] + " FROM t");
        for (const SqlRow& row : rows) {
            const auto r = static_cast<std::size_t>(std::get<std::int64_t>(row[0]));
            const std::int64_t kind = std::get<std::int64_t>(row[1]);
            if (kind < 2) {
                EXPECT_EQ(positions[r], kind) << r;  // error and blank stay at 0 and 1
            } else {
                EXPECT_EQ(dict[static_cast<std::size_t>(positions[r])].high,
                          std::get<std::int64_t>(row[2]))
                    << r;
            }
        }
    }
}

TEST_F(MolapSettings, CodesOtherThanOneToSixMeanNoGrouping) {
    std::vector<KW_dict> dict;
    std::vector<std::int32_t> positions;
    EXPECT_EQ(s_.DateConvert(kDay, 0, dict, positions), -1);
    EXPECT_EQ(s_.DateConvert(kDay, 7, dict, positions), -1);
    EXPECT_EQ(s_.DateConvert(kSmall, 1, dict, positions), -1);  // not a Date item
    // On an axis such a code leaves the dates whole.
    ASSERT_EQ(s_.SetMolapX({kDay}, {9}), 0);
    ASSERT_EQ(s_.KWexecuteMolap({kDay}, {}, {}, {}, 0, 0), 0);
    Value v;
    ASSERT_EQ(s_.GetMolapXLabel(1, 0, v), 0);
    EXPECT_GT(v.integer, 20220000);
}

TEST_F(MolapSettings, RefusedAxesChangeNothing) {
    ASSERT_EQ(s_.SetMolapX({kCode3}, {0}), 0);
    ASSERT_EQ(s_.SetMolapY({kTiny}, {0}), 0);
    ASSERT_EQ(s_.SetMolapZ({kAmount}, {0}), 0);
    struct Case {
        const char* name;
        std::int32_t rc;
    };
    const Case cases[] = {
        {"MultiAns X", s_.SetMolapX({kCode2, kMulti}, {0, 0})},
        {"MultiAns Y", s_.SetMolapY({kMulti}, {0})},
        {"MultiAns Z", s_.SetMolapZ({kAmount, kMulti}, {0, 0})},
        {"six X levels", s_.SetMolapX({0, 1, 2, 3, 4, 5}, {0, 0, 0, 0, 0, 0})},
        {"six Y levels", s_.SetMolapY({0, 1, 2, 3, 4, 5}, {0, 0, 0, 0, 0, 0})},
        {"fewer codes than items", s_.SetMolapX({kCode3, kTiny}, {0})},
        {"item out of range", s_.SetMolapY({kItemCount}, {0})},
        {"negative item", s_.SetMolapZ({-1}, {0})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rc, -1) << c.name;
    EXPECT_EQ(s_.GetMolapXItems(), (std::vector<std::int32_t>{kCode3}));
    EXPECT_EQ(s_.GetMolapYItems(), (std::vector<std::int32_t>{kTiny}));
    // Six Z items are fine: Z forms no key.
    EXPECT_EQ(s_.SetMolapZ({kAmount, kPrice, kNote, kDay, kClock, kHalf}, {0, 0, 0, 0, 0, 0}), 0);
    ASSERT_EQ(s_.SetMolapZ({kAmount}, {0}), 0);

    // The build takes the lists it was set up for, and one kind per Z item.
    EXPECT_EQ(s_.KWexecuteMolap({kCode2}, {kTiny}, {kAmount}, {1}, 0, 0), -1);
    EXPECT_EQ(s_.KWexecuteMolap({kCode3}, {kTiny}, {kAmount}, {1, 2}, 0, 0), -1);
    EXPECT_EQ(s_.KWexecuteMolap({kCode3}, {kTiny}, {kAmount}, {1}, 0, 0), 0);
}

TEST_F(MolapSettings, ReadsOutOfRangeAreRefused) {
    Value v;
    EXPECT_EQ(s_.KWMolapGetData(0, 0, 0, v), -1);  // no result
    EXPECT_EQ(s_.GetMolapXLabel(0, 0, v), -1);
    ASSERT_EQ(s_.SetMolapX({kCode3}, {0}), 0);
    ASSERT_EQ(s_.SetMolapZ({kAmount, kPrice}, {0, 0}), 0);
    ASSERT_EQ(s_.KWexecuteMolap({kCode3}, {}, {kAmount, kPrice}, {0, 1}, 1, 0), 0);
    const int xs = s_.GetMolapXCount();
    ASSERT_EQ(xs, 5);  // blank, a, b, c, total
    EXPECT_EQ(s_.GetMolapYCount(), 0);
    EXPECT_EQ(s_.GetMolapXLabel(2 * xs - 1, 0, v), 1);  // columns count per Z item
    EXPECT_EQ(s_.GetMolapXLabel(2 * xs, 0, v), -1);
    EXPECT_EQ(s_.GetMolapXLabel(0, 1, v), -1);
    EXPECT_EQ(s_.GetMolapYLabel(0, 0, v), -1);  // no Y items
    EXPECT_EQ(s_.KWMolapGetData(xs, 0, 0, v), -1);
    EXPECT_EQ(s_.KWMolapGetData(0, 0, 2, v), -1);
    EXPECT_EQ(s_.KWMolapGetData(0, 12345, 0, v), 0);  // an axis without items ignores its index
    EXPECT_EQ(v.kind, Value::Integer);
}

TEST_F(MolapSettings, ClosingTheResultKeepsTheSettingsClosingTheDataSetDropsBoth) {
    ASSERT_EQ(s_.SetMolapX({kCode3}, {0}), 0);
    ASSERT_EQ(s_.SetMolapY({kDay}, {1}), 0);
    ASSERT_EQ(s_.KWexecuteMolap({kCode3}, {kDay}, {}, {}, 0, 0), 0);
    s_.ResetMolapY();  // the result keeps the levels it was built from
    Value v;
    EXPECT_EQ(s_.GetMolapYLabel(1, 0, v), 0);
    EXPECT_EQ(v.integer, 2022);
    EXPECT_EQ(s_.MolapDrillY(1, 0), 0);
    EXPECT_GT(s_.MolapDrill(), 0);

    s_.KWMolapClose();
    EXPECT_EQ(s_.GetMolapXCount(), 0);
    EXPECT_EQ(s_.MolapDrill(), -1);
    EXPECT_EQ(s_.GetMolapXItems(), (std::vector<std::int32_t>{kCode3}));
    EXPECT_TRUE(s_.GetMolapYItems().empty());

    ASSERT_EQ(s_.KWexecuteMolap({kCode3}, {}, {}, {}, 0, 0), 0);
    s_.KWclose();
    EXPECT_EQ(s_.GetMolapXCount(), 0);
    EXPECT_TRUE(s_.GetMolapXItems().empty());
}

}  // namespace
