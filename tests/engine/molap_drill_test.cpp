// Drilling a cell of the aggregation: the records made current equal SQLite's WHERE on the
// cell's non-total levels (every level of both axes valid, within the current map), for
// ordinary, subtotal and total cells alike, and their number is the cell's count.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/molap_reference.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::test;
using Value = KW_search::MolapValue;

class MolapDrill : public ::testing::Test {
protected:
    void SetUp() override {
        writeFixture(dir_.file("d.zbq"), table_);
        ASSERT_EQ(s_.KWopen(dir_.file("d.zbq"), ""), 0);
        q_.x = {{kCode3}, {kTiny}, {kDay2, 6}};
        q_.y = {{kWord}, {kCode2}};
        q_.xMode = 2;
        q_.yMode = 2;
    }

    // The grid column of X key x: one per Z column.
    int column(int x) const { return x * std::max<int>(1, static_cast<int>(q_.z.size())); }

    // The SQL condition of one axis key: its levels up to the first total level.
    std::string levelsWhere(const std::vector<MolapLevelSpec>& levels, bool xAxis, int key) {
        std::string where;
        for (std::size_t l = 0; l < levels.size(); ++l) {
            const std::string n = std::to_string(levels[l].item);
            where += " AND k" + n + " != 0";
        }
        for (std::size_t l = 0; l < levels.size(); ++l) {
            Value v;
            const int level = static_cast<int>(l);
            const std::int32_t rc =
                xAxis ? s_.GetMolapXLabel(column(key), level, v) : s_.GetMolapYLabel(key, level, v);
            if (rc == 1) break;
            const std::string n = std::to_string(levels[l].item);
            if (v.position == KW_POS_BLANK)
                where += " AND k" + n + " = 1";
            else if (levels[l].grouping == 6)
                where += " AND ((((v" + n +
                         " % 10000) / 100) - 1) / 6 + 1) = " + std::to_string(v.integer);
            else
                where += " AND p" + n + " = " + std::to_string(v.position);
        }
        return where;
    }

    // Drills cell (x, y) as the window does and checks the new current map; then puts the
    // previous map back.
    void drill(int x, int y, const std::string& mapWhere) {
        Value count;
        s_.KWMolapGetData(x, y, 0, count);
        for (int level = 0; level < static_cast<int>(q_.x.size()); ++level) {
            Value v;
            if (s_.GetMolapXLabel(column(x), level, v) == 1) break;
            ASSERT_EQ(s_.MolapDrillX(x, level), 0);
        }
        for (int level = 0; level < static_cast<int>(q_.y.size()); ++level) {
            Value v;
            if (s_.GetMolapYLabel(y, level, v) == 1) break;
            ASSERT_EQ(s_.MolapDrillY(y, level), 0);
        }
        const KW_mapPtr before = s_.KWmapGet();
        const std::int32_t n = s_.MolapDrill();
        const std::vector<std::int32_t> want = db_.records(
            "(" + mapWhere + ")" + levelsWhere(q_.x, true, x) + levelsWhere(q_.y, false, y));
        std::vector<std::int32_t> got;
        for (std::int32_t r = 0; r < s_.KWgetRecordCount(); ++r)
            if (s_.KWmapGet()->test(r)) got.push_back(r);
        EXPECT_EQ(got, want) << "cell " << x << "," << y;
        EXPECT_EQ(n, static_cast<std::int32_t>(want.size()));
        EXPECT_EQ(n, count.kind == Value::None ? 0 : count.integer) << "cell " << x << "," << y;
        ASSERT_GE(s_.KWmapSet(before), 0);
    }

    void drillSample(const std::string& mapWhere) {
        ASSERT_EQ(runMolap(s_, q_), 0);
        const int xs = s_.GetMolapXCount(), ys = s_.GetMolapYCount();
        ASSERT_GT(xs, 20);
        // Every corner and edge of the table, and a stride through its inside.
        for (int x = 0; x < xs; ++x)
            for (int y = 0; y < ys; ++y)
                if (x == xs - 1 || y == ys - 1 || (x * ys + y) % 13 == 0) drill(x, y, mapWhere);
    }

    FixtureTable table_ = molapTable(1500, 23);
    SqliteReference db_{table_};
    MolapQuery q_;
    TempDir dir_;
    KW_search s_;
};

TEST_F(MolapDrill, OrdinarySubtotalAndTotalCells) {
    drillSample("1");
}

TEST_F(MolapDrill, WithinTheCurrentMap) {
    const std::string where = "rec % 4 != 0";
    auto map = std::make_shared<KW_map>(s_.KWgetRecordCount());
    for (const std::int32_t r : db_.records(where))
        map->set(r);
    ASSERT_GE(s_.KWmapSet(map), 0);
    drillSample(where);
}

TEST_F(MolapDrill, WithoutNarrowingTakesTheRecordsOfAllCells) {
    ASSERT_EQ(runMolap(s_, q_), 0);
    const std::size_t valid =
        db_.records("k0 != 0 AND k8 != 0 AND k9 != 0 AND k3 != 0 AND k7 != 0").size();
    EXPECT_EQ(s_.MolapDrill(), static_cast<std::int32_t>(valid));
    EXPECT_LT(valid, table_.rows.size());  // records with an error key stay out
}

// A cell named on every level comes from what the build kept of each cell's records, which
// differs by the way the build went: a cell for every code of a small key space, a bit per
// code with the cells that occur in cache, or sorted pairs (a key space far larger than the
// records). A Z item asked for many aggregates is added up once.
TEST_F(MolapDrill, OrdinaryCellsAfterEveryWayOfBuilding) {
    struct Case {
        const char* name;
        std::vector<MolapLevelSpec> x, y;
        int zColumns;
        std::string where;
    };
    const Case cases[] = {
        {"every code", {{kCode3}, {kTiny}}, {{kWord}}, 0, "1"},
        {"bit per code", {{kAmount}}, {{kClock}, {kCode5}}, 24, "rec % 7 != 3"},
        {"pairs", {{kAmount}, {kTiny}}, {{kPrice}}, 0, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        q_ = {};
        q_.x = c.x;
        q_.y = c.y;
        for (int i = 0; i < c.zColumns; ++i) {
            q_.z.push_back(kAmount);
            q_.kinds.push_back(i % 5);  // column 0 counts
        }
        auto map = std::make_shared<KW_map>(s_.KWgetRecordCount());
        for (const std::int32_t r : db_.records(c.where))
            map->set(r);
        ASSERT_GE(s_.KWmapSet(map), 0);
        ASSERT_EQ(runMolap(s_, q_), 0);
        const int xs = s_.GetMolapXCount(), ys = s_.GetMolapYCount();
        int drilled = 0;
        for (int x = 0; x < xs && drilled < 8; x += 1 + xs / 16) {
            for (int y = 0; y < ys; ++y) {
                Value count;
                s_.KWMolapGetData(x, y, 0, count);
                if (count.kind == Value::None) continue;
                drill(x, y, c.where);
                ++drilled;
                break;
            }
        }
        EXPECT_EQ(drilled, 8);
    }
}

// A narrowing takes the records of the current map at its call, even when the map changes
// before the next one.
TEST_F(MolapDrill, EachNarrowingKeepsTheMapItWasAskedUnder) {
    ASSERT_EQ(runMolap(s_, q_), 0);
    const std::string where = "rec % 3 != 0";
    auto map = std::make_shared<KW_map>(s_.KWgetRecordCount());
    for (const std::int32_t r : db_.records(where))
        map->set(r);
    ASSERT_GE(s_.KWmapSet(map), 0);
    ASSERT_EQ(s_.MolapDrillX(0, 0), 0);
    s_.KWmapClear();
    ASSERT_EQ(s_.MolapDrillY(0, 0), 0);
    Value x, y;
    ASSERT_EQ(s_.GetMolapXLabel(0, 0, x), 0);
    ASSERT_EQ(s_.GetMolapYLabel(0, 0, y), 0);
    const std::vector<std::int32_t> want =
        db_.records(where + " AND p0 = " + std::to_string(x.position) +
                    " AND p3 = " + std::to_string(y.position) +
                    " AND k0 != 0 AND k8 != 0 AND k9 != 0 AND k3 != 0 AND k7 != 0");
    ASSERT_EQ(s_.MolapDrill(), static_cast<std::int32_t>(want.size()));
    std::vector<std::int32_t> got;
    for (std::int32_t r = 0; r < s_.KWgetRecordCount(); ++r)
        if (s_.KWmapGet()->test(r)) got.push_back(r);
    EXPECT_EQ(got, want);
}

TEST_F(MolapDrill, TotalLevelsNarrowNothingAndBadArgumentsAreRefused) {
    EXPECT_EQ(s_.MolapDrill(), -1);  // no result yet
    ASSERT_EQ(runMolap(s_, q_), 0);
    const int grand = s_.GetMolapXCount() - 1;
    EXPECT_EQ(s_.MolapDrillX(grand, 0), 0);
    EXPECT_EQ(s_.MolapDrillX(grand, 2), 0);
    EXPECT_EQ(s_.MolapDrillX(grand + 1, 0), -1);
    EXPECT_EQ(s_.MolapDrillX(0, 3), -1);
    EXPECT_EQ(s_.MolapDrillY(-1, 0), -1);
    Value all;
    s_.KWMolapGetData(grand, s_.GetMolapYCount() - 1, 0, all);
    EXPECT_EQ(s_.MolapDrill(), all.integer);
}

}  // namespace
