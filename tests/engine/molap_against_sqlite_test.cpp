// The aggregation's whole result (keys in order with labels, every cell's aggregates, totals
// and subtotals in each mode) equals GROUP BY over key prefixes in SQLite, on a random table
// with blanks and errors in every item.
#include <gtest/gtest.h>

#include "tests/engine/molap_reference.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::test;

// A table loaded into the engine and copied into SQLite.
struct Loaded {
    Loaded(int records, unsigned seed) : table(molapTable(records, seed)), db(table) {
        writeFixture(dir.file("m.zbq"), table);
        EXPECT_EQ(s.KWopen(dir.file("m.zbq"), ""), 0);
    }

    void check(const MolapQuery& q) {
        if (q.where != "1") {
            auto map = std::make_shared<KW_map>(s.KWgetRecordCount());
            for (const std::int32_t r : db.records(q.where))
                map->set(r);
            ASSERT_GE(s.KWmapSet(map), 0);
        }
        ASSERT_EQ(runMolap(s, q), 0);
        expectSameImage(engineImage(s, table, q), sqlImage(db, table, q));
    }

    FixtureTable table;
    SqliteReference db;
    TempDir dir;
    KW_search s;
};

class MolapAgainstSqlite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { loaded_ = new Loaded(3000, 17); }
    static void TearDownTestSuite() { delete loaded_; }
    void TearDown() override { loaded_->s.KWmapClear(); }

    void check(const MolapQuery& q) { loaded_->check(q); }
    KW_search& s_ = loaded_->s;

    static Loaded* loaded_;
};

Loaded* MolapAgainstSqlite::loaded_ = nullptr;

const std::vector<int> kAllKinds = {0, 1, 2, 3, 4};

// Deep keys are nearly unique per record: a small table keeps the cell grid small.
TEST(MolapAgainstSqliteDeep, OneToFiveLevelsPerAxis) {
    Loaded loaded(300, 5);
    const std::vector<MolapLevelSpec> xs = {{kCode3}, {kSmall}, {kWord}, {kClock}, {kTiny}};
    const std::vector<MolapLevelSpec> ys = {{kCode5}, {kHalf}, {kCode2}, {kDay}, {kCode3}};
    for (std::size_t n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        MolapQuery q;
        q.x.assign(xs.begin(), xs.begin() + static_cast<std::ptrdiff_t>(n));
        q.y.assign(ys.begin(), ys.begin() + static_cast<std::ptrdiff_t>(n));
        q.z = {kAmount, kPrice, kNote, kDay2, kAmount};
        q.kinds = {1, 2, 3, 4, 0};
        loaded.check(q);
    }
}

// Keys of many-valued levels: the cell code space passes 2^32 and the product of both axes
// 2^62, so the keys are ranked record by record before they are combined.
TEST(MolapAgainstSqliteDeep, KeySpacesBeyondOneWord) {
    Loaded loaded(300, 9);
    MolapQuery q;
    q.x = {{kAmount}, {kPrice}, {kDay2}, {kNote}, {kDay}};
    q.y = {{kPrice}, {kAmount}, {kNote}, {kDay2}, {kDay, 4}};
    q.z = {kSmall, kHalf};
    q.kinds = {1, 4};
    q.yMode = 1;
    loaded.check(q);
}

// Some five thousand cells of twenty Z columns (six distinct items) are more than the build
// adds up in place: the records are scattered by cell range first, within a map as well.
TEST(MolapAgainstSqliteLarge, ManyCellsOfManyZColumns) {
    Loaded loaded(12000, 23);
    auto check = [&](const MolapQuery& q) { loaded.check(q); };
    MolapQuery q;
    q.x = {{kAmount}};
    q.y = {{kClock}};
    const int zs[] = {kAmount, kPrice, kNote, kCode5, kDay2, kClock};
    for (int i = 0; i < 20; ++i) {
        q.z.push_back(zs[i % 6]);
        q.kinds.push_back(i % 5);
    }
    q.xMode = 2;
    q.yMode = 1;
    check(q);
    q.where = "rec % 5 != 1";
    check(q);
}

TEST_F(MolapAgainstSqlite, EveryKindOnEveryZType) {
    for (const int z : {kAmount, kPrice, kNote, kCode5, kDay2, kClock}) {
        SCOPED_TRACE(z);
        MolapQuery q;
        q.x = {{kCode2}};
        q.y = {{kTiny}};
        q.z = {z, z, z, z, z};
        q.kinds = kAllKinds;
        check(q);
    }
}

TEST_F(MolapAgainstSqlite, WithoutAnAxisOrZ) {
    struct Case {
        const char* name;
        std::vector<MolapLevelSpec> x, y;
        std::vector<int> z, kinds;
    };
    const Case cases[] = {
        {"no X", {}, {{kCode3}, {kTiny}}, {kAmount}, {2}},
        {"no Y", {{kWord}, {kCode2}}, {}, {kPrice}, {1}},
        {"no Z", {{kCode3}}, {{kSmall}}, {}, {}},
        {"no X, no Z", {}, {{kCode5}}, {}, {}},
        {"nothing", {}, {}, {kAmount, kAmount}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MolapQuery q;
        q.x = c.x;
        q.y = c.y;
        q.z = c.z;
        q.kinds = c.kinds;
        check(q);
    }
}

TEST_F(MolapAgainstSqlite, DateGroupingsOnBothAxesAndZ) {
    for (int g = 1; g <= 6; ++g) {
        SCOPED_TRACE(g);
        MolapQuery q;
        q.x = {{kDay, g}, {kCode2}};
        q.y = {{kDay2, 7 - g}};
        q.z = {kDay, kDay, kAmount};
        q.kinds = {3, 4, 1};
        q.zUnits = {g, 110, 0};  // a value unit is the window's business
        // Built after the last grouping's result, then again over its own: a grouped level
        // of the shown result serves a rebuild only where item and grouping are both its own.
        check(q);
        check(q);
    }
}

TEST_F(MolapAgainstSqlite, TotalModesOnEachAxis) {
    for (int xMode = 0; xMode <= 2; ++xMode) {
        for (int yMode = 0; yMode <= 2; ++yMode) {
            SCOPED_TRACE(std::to_string(xMode) + "/" + std::to_string(yMode));
            MolapQuery q;
            q.x = {{kCode3}, {kTiny}, {kCode2}};
            q.y = {{kWord}, {kDay, 5}};
            q.z = {kAmount, kPrice, kAmount, kPrice, kAmount};
            q.kinds = kAllKinds;
            q.xMode = xMode;
            q.yMode = yMode;
            check(q);
        }
    }
}

TEST_F(MolapAgainstSqlite, TotalsWithOneLevelOrOneAxis) {
    struct Case {
        const char* name;
        std::vector<MolapLevelSpec> x, y;
        int xMode, yMode;
    };
    const Case cases[] = {
        {"subtotals of one level are the grand total", {{kCode5}}, {{kCode3}}, 2, 2},
        {"X totals without Y items", {{kCode3}, {kSmall}}, {}, 2, 2},
        {"Y totals without X items", {}, {{kTiny}, {kWord}, {kCode2}}, 1, 2},
        {"five levels of subtotals",
         {{kCode2}, {kTiny}, {kCode3}, {kCode2}, {kTiny}},
         {{kCode2}},
         2,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MolapQuery q;
        q.x = c.x;
        q.y = c.y;
        q.z = {kPrice, kAmount};
        q.kinds = {2, 0};
        q.xMode = c.xMode;
        q.yMode = c.yMode;
        check(q);
    }
}

TEST_F(MolapAgainstSqlite, OnlyTheRecordsOfTheCurrentMap) {
    MolapQuery q;
    q.x = {{kCode3}, {kSmall}};
    q.y = {{kDay, 4}};
    q.z = {kAmount, kPrice};
    q.kinds = {1, 3};
    q.xMode = 2;
    q.yMode = 1;
    q.where = "rec % 3 != 1 AND k8 = 2";
    check(q);
}

TEST_F(MolapAgainstSqlite, AnEmptyCurrentMapGivesNoKeys) {
    MolapQuery q;
    q.x = {{kCode3}};
    q.y = {{kTiny}};
    q.z = {kAmount};
    q.kinds = {0};
    q.xMode = q.yMode = 2;
    q.where = "0";
    check(q);
    EXPECT_EQ(s_.GetMolapXCount(), 0);
    EXPECT_EQ(s_.GetMolapYCount(), 0);
}

}  // namespace
