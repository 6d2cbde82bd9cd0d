// Item statistics and percentile positions: pinned examples, and random tables checked against
// a long-double reference computed from the cell texts and against SQLite (aggregates and a
// window function over the cumulative counts), with and without a current map. Only ordinary
// values count, also without a map.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/kw_search.h"
#include "tests/engine/random_table.h"
#include "tests/support/sqlite_reference.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;
using zbq::test::SqlValue;
using zbq::test::TempDir;

struct Stats {
    double sum = -1, mean = -1, deviation = -1;
};

class Statistics : public ::testing::Test {
protected:
    void open(const FixtureTable& table) {
        zbq::test::writeFixture(dir_.file("s.zbq"), table);
        ASSERT_EQ(s_.KWopen(dir_.file("s.zbq"), ""), 0);
    }

    Stats stats(std::int32_t item) {
        Stats st;
        EXPECT_EQ(s_.KWgetStatistics(item, &st.sum, &st.mean, &st.deviation), 0);
        return st;
    }

    TempDir dir_;
    KW_search s_;
};

TEST_F(Statistics, PinnedExamples) {
    FixtureTable t;
    t.items = {{"n", KW_TYPE_INTEGER}, {"d", KW_TYPE_DATE}, {"t", KW_TYPE_TIME}};
    // 1, 1, 3, 3 and two blanks; dates on either side of 1970; times 10:00:00 and 10:00:03.
    t.rows = {{"1", "1969/12/1", "10:00:00"},
              {"1", "1969/12/3", "10:00:03"},
              {"3", "1969/12/31", ""},
              {"3", "1970/1/1", "x"},
              {"", "", ""},
              {"", "", ""}};
    open(t);
    Stats n = stats(0);
    EXPECT_EQ(n.sum, 8);
    EXPECT_EQ(n.mean, 2);  // blanks are not data: 8 / 4 also without a map
    EXPECT_EQ(n.deviation, 1);

    auto firstTwo = std::make_shared<KW_map>(6);
    firstTwo->set(0);
    firstTwo->set(1);
    ASSERT_EQ(s_.KWmapSet(firstTwo), 2);
    Stats d = stats(1);
    EXPECT_EQ(d.mean, 19691202);
    EXPECT_DOUBLE_EQ(d.deviation, 1.0);
    EXPECT_DOUBLE_EQ(d.sum, (-31.0 - 29.0) * 86400);
    Stats tm = stats(2);
    EXPECT_EQ(tm.mean, 100001);  // 10:00:01.5 truncated
    EXPECT_DOUBLE_EQ(tm.deviation, 1.5);
    EXPECT_EQ(tm.sum, 2 * 36000 + 3);

    // The mean instant 1969-12-31 12:00 lies on the 31st, not on the day nearer to 1970.
    auto across = std::make_shared<KW_map>(6);
    across->set(2);
    across->set(3);
    ASSERT_EQ(s_.KWmapSet(across), 2);
    EXPECT_EQ(stats(1).mean, 19691231);
    auto wide = std::make_shared<KW_map>(6);
    wide->set(0);
    wide->set(3);
    ASSERT_EQ(s_.KWmapSet(wide), 2);
    EXPECT_EQ(stats(1).mean, 19691216);

    auto none = std::make_shared<KW_map>(6);
    none->set(4);
    ASSERT_EQ(s_.KWmapSet(none), 1);
    n = stats(0);
    EXPECT_EQ(n.sum, 0);
    EXPECT_EQ(n.mean, 0);
    EXPECT_EQ(n.deviation, 0);
}

TEST_F(Statistics, RefusesItemsWithoutNumbers) {
    const FixtureTable t = zbq::test::randomTable(10, 1);
    open(t);
    double a = -1, b = -1, c = -1;
    for (const std::int32_t item : {2, 3, 4, 7}) {
        EXPECT_EQ(s_.KWgetStatistics(item, &a, &b, &c), -1) << item;
    }
    EXPECT_EQ(a, -1);
    EXPECT_EQ(s_.KWgetPercentPos(7, 50), -1);
}

TEST_F(Statistics, PercentPositionsPinned) {
    FixtureTable t;
    t.items = {{"n", KW_TYPE_INTEGER},
               {"single", KW_TYPE_INTEGER},
               {"code", KW_TYPE_STRING, {{"a", "Ay"}, {"b", "Bee"}, {"c", "Sea"}}}};
    // 10 x1, 20 x1, 30 x2 and error and blank data that never count.
    t.rows = {{"10", "5", "b"}, {"20", "", "c"}, {"30", "", ""},
              {"30", "", ""},   {"", "", ""},    {"x", "", ""}};
    open(t);                                    // positions: 2 = 10, 3 = 20, 4 = 30
    EXPECT_EQ(s_.KWgetPercentPos(0, 50), 4);    // 30 alone holds half
    EXPECT_EQ(s_.KWgetPercentPos(0, 50.1), 3);  //
    EXPECT_EQ(s_.KWgetPercentPos(0, 75), 3);
    EXPECT_EQ(s_.KWgetPercentPos(0, 100), 2);  // the smallest value, errors and blanks aside
    EXPECT_EQ(s_.KWgetPercentPos(0, 0), 4);
    EXPECT_EQ(s_.KWgetPercentPos(0, 100.5), 2);  // never reached
    EXPECT_EQ(s_.KWgetPercentPos(1, 100), 2);    // fewer than three values
    // All of a code item's data lie in b and c: 100 % is reached at b, blanks or not, and the
    // unused code a is never the answer.
    EXPECT_EQ(s_.KWgetPercentPos(2, 100), 3);
    EXPECT_EQ(s_.KWgetPercentPos(2, 50), 4);

    // A map without the 30s: values without records are passed over.
    auto map = std::make_shared<KW_map>(6);
    map->set(0);
    map->set(1);
    ASSERT_EQ(s_.KWmapSet(map), 2);
    EXPECT_EQ(s_.KWgetPercentPos(0, 0), 3);
    EXPECT_EQ(s_.KWgetPercentPos(0, 50), 3);
    EXPECT_EQ(s_.KWgetPercentPos(0, 51), 2);
}

// The records of a map as an SQL list.
std::string recordList(const KW_map& map, int records) {
    std::string list;
    for (int r = 0; r < records; ++r)
        if (map.test(r)) list += (list.empty() ? "" : ",") + std::to_string(r);
    return "(" + list + ")";
}

double asDouble(const SqlValue& v) {
    if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&v)) return *d;
    return 0;
}

TEST_F(Statistics, RandomTablesAgreeWithLongDoubleAndSqlite) {
    constexpr int kRecords = 1200;
    const FixtureTable table = zbq::test::randomTable(kRecords, 11);
    open(table);
    const zbq::test::SqliteReference sqlite(table);
    std::mt19937 rng(3);
    for (int round = 0; round < 4; ++round) {
        std::string where = "1";
        if (round > 0) {
            auto map = std::make_shared<KW_map>(kRecords);
            for (int r = 0; r < kRecords; ++r)
                if (rng() % (round + 1) == 0) map->set(r);
            s_.KWmapSet(map);
            where = "rec IN " + recordList(*map, kRecords);
        } else {
            s_.KWmapClear();
        }
        // int, float, date, time: each value as the statistics see it (dates in seconds).
        for (const auto& [item, value] : std::vector<std::pair<int, std::string>>{
                 {0, "v0"},
                 {1, "v1"},
                 {5,
                  "(julianday(printf('%04d-%02d-%02d', v5 / 10000, v5 / 100 % 100, v5 % 100)) "
                  "- 2440587.5) * 86400"},
                 {6, "(v6 / 10000 * 3600 + v6 / 100 % 100 * 60 + v6 % 100)"}}) {
            SCOPED_TRACE("round " + std::to_string(round) + " item " + std::to_string(item));
            const std::string k = "k" + std::to_string(item);
            const auto rows =
                sqlite.query("SELECT " + value + " FROM t WHERE " + k + " = 2 AND " + where);
            // Long double, two passes.
            long double sum = 0;
            for (const auto& row : rows)
                sum += asDouble(row[0]);
            const long double n = rows.size(), mean = sum / n;
            long double squares = 0;
            for (const auto& row : rows)
                squares += (asDouble(row[0]) - mean) * (asDouble(row[0]) - mean);
            const double deviation = static_cast<double>(std::sqrt(squares / n));
            // SQLite: sum, average and the second moment around it.
            const auto agg = sqlite.query(
                "SELECT SUM(x), AVG(x), SUM((x - m) * (x - m)) / COUNT(*) FROM (SELECT " + value +
                " AS x FROM t WHERE " + k + " = 2 AND " + where + "), (SELECT AVG(" + value +
                ") AS m FROM t WHERE " + k + " = 2 AND " + where + ")");

            const Stats got = stats(item);
            EXPECT_NEAR(got.sum, static_cast<double>(sum), 1e-9 * std::fabs(got.sum));
            EXPECT_NEAR(got.sum, asDouble(agg[0][0]), 1e-9 * std::fabs(got.sum));
            EXPECT_NEAR(got.deviation * (item == 5 ? 86400 : 1), deviation, 1e-9 * deviation);
            EXPECT_NEAR(got.deviation * (item == 5 ? 86400 : 1), std::sqrt(asDouble(agg[0][2])),
                        1e-6 * deviation);
            if (item == 5 || item == 6) {
                // The mean comes back as the calendar number of the mean instant.
                const std::string format =
                    item == 5 ? "'%Y%m%d', m" : "'%H%M%S', CAST(m AS INTEGER)";
                const auto calendar =
                    sqlite.query("SELECT CAST(strftime(" + format +
                                 ", 'unixepoch') AS INTEGER) FROM (SELECT AVG(" + value +
                                 ") AS m FROM t WHERE " + k + " = 2 AND " + where + ")");
                EXPECT_EQ(got.mean, asDouble(calendar[0][0]));
                continue;
            }
            EXPECT_NEAR(got.mean, static_cast<double>(mean), 1e-12 * std::fabs(got.mean) + 1e-12);
            EXPECT_NEAR(got.mean, asDouble(agg[0][1]), 1e-9 * std::fabs(got.mean) + 1e-9);
        }

        // Percentile positions of every ordinary-valued item against a window function.
        for (const int item : {0, 1, 3, 5, 6}) {
            const std::string n = std::to_string(item);
            const auto cumulative = sqlite.query(
                "SELECT p, SUM(c) OVER (ORDER BY p DESC), SUM(c) OVER () FROM (SELECT p" + n +
                " AS p, COUNT(*) AS c FROM t WHERE k" + n + " = 2 AND " + where + " GROUP BY p" +
                n + ") ORDER BY p DESC");
            for (int percent = 0; percent <= 100; percent += 5) {
                SCOPED_TRACE("item " + n + " at " + std::to_string(percent) + "%");
                const std::int64_t threshold = std::int64_t{percent} * 1'000'000;
                std::int32_t windowed = 2;
                long double running = 0;
                std::int32_t stepped = 2;
                bool stepFound = false;
                for (const auto& row : cumulative) {
                    const auto p = static_cast<std::int32_t>(std::get<std::int64_t>(row[0]));
                    const auto cum = std::get<std::int64_t>(row[1]);
                    const auto total = std::get<std::int64_t>(row[2]);
                    if (windowed == 2 && cum * 100'000'000 > (threshold - 1) * total) windowed = p;
                    // The long-double share, as a running percentage.
                    running = static_cast<long double>(cum) / total * 100;
                    if (!stepFound && std::ceil(running * 1'000'000) >= threshold) {
                        stepped = p;
                        stepFound = true;
                    }
                }
                EXPECT_EQ(s_.KWgetPercentPos(item, percent), windowed);
                EXPECT_EQ(s_.KWgetPercentPos(item, percent), stepped);
            }
        }
    }
}

}  // namespace
