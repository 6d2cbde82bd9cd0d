// Every aggregate kind over every Z type, on value axes and condition axes (MultiAns ones
// included), within a map and without, equals what SQLite computes from the same table: the
// categories as CASE expressions, the cells as GROUP BY, the percentile through a window.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <utility>

#include "tests/engine/cross_fixture.h"
#include "tests/engine/random_table.h"
#include "tests/support/sqlite_reference.h"

namespace {

using namespace zbq::test;

// The items of randomTable, in its order.
enum Item { kInt, kFloat, kText, kCode, kMulti, kDate, kTime };
constexpr Item kZItems[] = {kInt, kFloat, kText, kCode, kDate, kTime};

struct Axis {
    Item item;
    std::int32_t nameMode = 0;
    std::vector<Cond> conds = {};  // empty: the item's values
};

std::vector<Cond> conditionsOf(Item item) {
    switch (item) {
        case kInt:
            return {ic("a", KW_COND_LT, -5),      ic("b", KW_COND_RANGE_LOW, -5, 5),
                    ic("a", KW_COND_EQ, 7),       ic("c", KW_COND_RANGE_OPEN, 5, 15),
                    ic("e", KW_COND_ERROR),       ic("o", KW_COND_OTHERS),
                    ic("never", KW_COND_GE, 1000)};
        case kFloat:
            return {dc("x", KW_COND_LE, 10.25), dc("y", KW_COND_RANGE_HIGH, 10.25, 20.25),
                    dc("z", KW_COND_NE, 25.25)};
        case kText:
            return {tc("p", KW_COND_GE, "m"), tc("q", KW_COND_EQ, KW_CAPTIONS + 4),
                    tc("r", KW_COND_RANGE, "b", "ff"), tc("n", KW_COND_NORMAL)};
        case kCode:
            return {tc("A", KW_COND_EQ, "Ay"), tc("B", KW_COND_NE, "Sea"), tc("C", KW_COND_BLANK)};
        case kMulti:
            return {tc("xy", KW_COND_EQ, "x"), tc("xy", KW_COND_EQ, "y"), tc("b", KW_COND_BLANK),
                    tc("zz", KW_COND_GT, "y")};
        case kDate:
            return {ic("h1", KW_COND_LT, 20240701), ic("h2", KW_COND_GE, 20240701)};
        case kTime:
            return {ic("am", KW_COND_LT, 120000), ic("pm", KW_COND_GE, 120000),
                    ic("bl", KW_COND_BLANK)};
    }
    return {};
}

Axis byConditions(Item item, std::int32_t nameMode = 0) {
    return {item, nameMode, conditionsOf(item)};
}

std::string blob(std::string_view bytes) {
    std::string out = "X'";
    for (unsigned char c : bytes) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", c);
        out += hex;
    }
    return out + "'";
}

bool isText(Item item) {
    return item == kText || item == kCode || item == kMulti;
}

// The condition as SQL over the columns of one value: v, k (kind) and n (display name).
std::string sqlCondition(const Cond& c, Item item, bool names, const std::string& v,
                         const std::string& k, const std::string& n) {
    switch (c.op) {
        case KW_COND_NORMAL:
            return k + " = 2";
        case KW_COND_ERROR:
            return k + " = 0";
        case KW_COND_BLANK:
            return k + " = 1";
        case KW_COND_OTHERS:
            return "1";
        default:
            break;
    }
    std::string value = v, a, b;
    if (isText(item)) {
        if (names && item != kText) value = n;
        a = blob(c.textFrom);
        b = blob(c.textTo);
    } else if (item == kFloat) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", c.doubleFrom);
        a = text;
        std::snprintf(text, sizeof text, "%.17g", c.doubleTo);
        b = text;
    } else {
        a = std::to_string(c.intFrom);
        b = std::to_string(c.intTo);
    }
    // "=" sees the captions of error and blank on text items; nothing else ever sees them.
    const std::string equal = isText(item) ? "(CASE " + k + " WHEN 0 THEN " + blob(KW_CAPTIONS) +
                                                 " WHEN 1 THEN " + blob(KW_CAPTIONS + 4) +
                                                 " ELSE " + value + " END = " + a + ")"
                                           : "(" + k + " = 2 AND " + value + " = " + a + ")";
    const std::string ordinary = "(" + k + " = 2 AND ";
    switch (c.op) {
        case KW_COND_GT:
            return ordinary + value + " > " + a + ")";
        case KW_COND_GE:
            return ordinary + value + " >= " + a + ")";
        case KW_COND_LT:
            return ordinary + value + " < " + a + ")";
        case KW_COND_LE:
            return ordinary + value + " <= " + a + ")";
        case KW_COND_EQ:
            return equal;
        case KW_COND_NE:
            return "NOT " + equal;
        case KW_COND_RANGE:
            return ordinary + value + " >= " + a + " AND " + value + " <= " + b + ")";
        case KW_COND_RANGE_LOW:
            return ordinary + value + " >= " + a + " AND " + value + " < " + b + ")";
        case KW_COND_RANGE_HIGH:
            return ordinary + value + " > " + a + " AND " + value + " <= " + b + ")";
        case KW_COND_RANGE_OPEN:
            return ordinary + value + " > " + a + " AND " + value + " < " + b + ")";
        default:
            return "0";
    }
}

// (rec, cat) of every record and category it falls in.
std::string axisRelation(const Axis& axis) {
    const std::string i = std::to_string(axis.item);
    const bool multi = axis.item == kMulti;
    const std::string v = multi ? "v" : "v" + i, k = multi ? "k" : "k" + i,
                      n = multi ? "n" : "n" + i, p = multi ? "p" : "p" + i;
    std::string category = p;
    if (!axis.conds.empty()) {
        std::vector<std::string> labels, whens;
        for (const Cond& c : axis.conds) {
            std::size_t at = 0;
            while (at < labels.size() && labels[at] != c.label)
                ++at;
            if (at == labels.size()) {
                labels.push_back(c.label);
                whens.emplace_back();
            }
            whens[at] += (whens[at].empty() ? "" : " OR ") +
                         sqlCondition(c, axis.item, axis.nameMode == 1, v, k, n);
        }
        category = "CASE";
        for (std::size_t at = 0; at < whens.size(); ++at)
            category += " WHEN " + whens[at] + " THEN " + std::to_string(at);
        category += " END";
    }
    return "SELECT * FROM (SELECT DISTINCT rec, " + category + " AS cat FROM " +
           (multi ? "a" + i : "t") + ") WHERE cat IS NOT NULL";
}

// The value each kind sums: Date as the seconds of its civil day, Time as seconds.
std::string sqlSummand(Item z) {
    const std::string v = "v" + std::to_string(z);
    if (z == kDate)
        return "(CAST(julianday(printf('%04d-%02d-%02d', " + v + " / 10000, " + v +
               " / 100 % 100, " + v + " % 100)) - 2440587.5 AS INTEGER) * 86400)";
    if (z == kTime)
        return "(" + v + " / 10000 * 3600 + " + v + " / 100 % 100 * 60 + " + v + " % 100)";
    return isText(z) ? "0" : v;
}

// What a cell must hold: the int cell and, where the kind reads one, a value or a text.
struct Expected {
    std::int64_t count = 0;
    SqlValue value;
};

class CrossAgainstSqlite : public ::testing::Test {
protected:
    static constexpr int kRecords = 1500;

    void SetUp() override {
        for (int r = 0; r < kRecords; ++r)
            if (inMap(r)) map_->set(r);
    }

    static bool inMap(std::int64_t r) { return r * 7919 % 10 < 6; }

    std::map<std::pair<std::int64_t, std::int64_t>, Expected> reference(const Axis& x,
                                                                        const Axis& y, Item z,
                                                                        int kind, int p,
                                                                        bool withMap) {
        const std::string zs = std::to_string(z), v = "v" + zs, k = "k" + zs;
        std::string base = "WITH X AS (" + axisRelation(x) + "), Y AS (" + axisRelation(y) +
                           "), B AS (SELECT X.cat AS xc, Y.cat AS yc, t.* FROM t JOIN X ON "
                           "X.rec = t.rec JOIN Y ON Y.rec = t.rec" +
                           (withMap ? " WHERE (t.rec * 7919) % 10 < 6" : "") + ") ";
        const std::string ordinary = " FROM B WHERE " + k + " = 2 GROUP BY xc, yc";
        std::string sql;
        switch (kind) {
            case KW_CROSS_RECORDS:
                sql = "SELECT xc, yc, COUNT(*) FROM B GROUP BY xc, yc";
                break;
            case KW_CROSS_COUNT:
                sql = "SELECT xc, yc, COUNT(*)" + ordinary;
                break;
            case KW_CROSS_UNIQUE:
                sql = "SELECT xc, yc, COUNT(DISTINCT " + v + ")" + ordinary;
                break;
            case KW_CROSS_SUM:
                sql = "SELECT xc, yc, COUNT(*), SUM(" + sqlSummand(z) + ")" + ordinary;
                break;
            case KW_CROSS_AVERAGE:
                if (z == kDate)
                    sql = "SELECT xc, yc, COUNT(*), CAST(strftime('%Y%m%d', CAST(AVG(" +
                          sqlSummand(z) + ") / 86400 AS INTEGER) * 86400, 'unixepoch') AS REAL)";
                else if (z == kTime)
                    sql =
                        "SELECT xc, yc, c, (s / 3600 * 10000 + s / 60 % 60 * 100 + s % 60) * 1.0 "
                        "FROM (SELECT xc, yc, COUNT(*) AS c, CAST(AVG(" +
                        sqlSummand(z) + ") AS INTEGER) AS s";
                else
                    sql = "SELECT xc, yc, COUNT(*), AVG(" + sqlSummand(z) + ")";
                sql += ordinary + (z == kTime ? ")" : "");
                break;
            case KW_CROSS_MAXIMUM:
                sql = "SELECT xc, yc, 0, MAX(" + v + ")" + ordinary;
                break;
            case KW_CROSS_MINIMUM:
                sql = "SELECT xc, yc, 0, MIN(" + v + ")" + ordinary;
                break;
            default:
                // From the top: the largest value whose running count reaches p % of the cell.
                sql = "SELECT xc, yc, 0, MAX(z) FROM (SELECT xc, yc, " + v +
                      " AS z, COUNT(*) OVER (PARTITION BY xc, yc ORDER BY " + v +
                      " DESC RANGE BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) AS cum, "
                      "COUNT(*) OVER (PARTITION BY xc, yc) AS n FROM B WHERE " +
                      k + " = 2) WHERE cum * 100 >= " + std::to_string(p) + " * n GROUP BY xc, yc";
        }
        std::map<std::pair<std::int64_t, std::int64_t>, Expected> cells;
        for (const SqlRow& row : sql_.query(base + sql)) {
            Expected& e = cells[{std::get<std::int64_t>(row[0]), std::get<std::int64_t>(row[1])}];
            e.count = std::get<std::int64_t>(row[2]);
            if (row.size() > 3) e.value = row[3];
        }
        return cells;
    }

    // The Code display name of a code text, for texts that name the value.
    std::string codeName(const std::string& code) const {
        for (const FixtureCode& c : table_.items[kCode].codes)
            if (c.code == code) return c.name;
        return "?";
    }

    void setAxes(const Axis& x, const Axis& y) {
        for (int a = 0; a < 2; ++a) {
            const Axis& axis = a == 0 ? x : y;
            if (axis.conds.empty()) {
                a == 0 ? s_.ResetCrossX() : s_.ResetCrossY();
            } else {
                setAxis(s_, a, axis.item, axis.nameMode, axis.conds);
            }
        }
    }

    void check(const Axis& x, const Axis& y, bool withMap) {
        ASSERT_EQ(withMap ? s_.KWmapSet(map_) : s_.KWmapClear(), withMap ? count() : kRecords);
        setAxes(x, y);
        // The percentile twice: at 50 the running count often meets p exactly.
        const std::pair<int, int> runs[] = {{0, 0}, {1, 0}, {2, 0},  {3, 0}, {4, 0},
                                            {5, 0}, {6, 0}, {7, 37}, {7, 50}};
        for (const auto& [kind, p] : runs) {
            for (Item z : kZItems) {
                if (kind == KW_CROSS_RECORDS && z != kInt) continue;
                SCOPED_TRACE("kind " + std::to_string(kind) + " p " + std::to_string(p) + " z " +
                             std::to_string(z));
                ASSERT_EQ(s_.ExecuteCross(x.item, y.item, z, kind, p), 0);
                compare(x, kind, z, reference(x, y, z, kind, p, withMap));
            }
        }
    }

    void compare(const Axis& x, int kind, Item z,
                 const std::map<std::pair<std::int64_t, std::int64_t>, Expected>& cells) {
        std::size_t seen = 0;
        for (std::int32_t cy = 0; cy < s_.GetCrossYCount(); ++cy) {
            for (std::int32_t cx = 0; cx < s_.GetCrossXCount(); ++cx) {
                const auto it = cells.find({cx, cy});
                const std::string where = "cell " + std::to_string(cx) + "," + std::to_string(cy);
                if (it == cells.end()) {
                    ASSERT_EQ(s_.GetCrossCellFlag(cx, cy), -1) << where;
                    continue;
                }
                ++seen;
                ASSERT_EQ(s_.GetCrossCellFlag(cx, cy), 0) << where;
                const Expected& e = it->second;
                if (kind <= KW_CROSS_AVERAGE) {
                    ASSERT_EQ(s_.GetCrossCount(cx, cy), e.count) << where;
                }
                if (kind == KW_CROSS_SUM || kind == KW_CROSS_AVERAGE) {
                    // SUM of integers comes as an integer, every other result as a real.
                    const double expected =
                        std::holds_alternative<std::int64_t>(e.value)
                            ? static_cast<double>(std::get<std::int64_t>(e.value))
                            : std::get<double>(e.value);
                    ASSERT_DOUBLE_EQ(s_.GetCrossValue(cx, cy), expected) << where;
                } else if (kind >= KW_CROSS_MAXIMUM) {
                    if (z == kFloat) {
                        ASSERT_EQ(s_.GetCrossValue(cx, cy), std::get<double>(e.value)) << where;
                    } else if (isText(z)) {
                        std::string text = std::get<std::string>(e.value);
                        if (z == kCode && x.conds.empty()) text = codeName(text);
                        ASSERT_EQ(s_.GetCrossText(cx, cy), text) << where;
                    } else {
                        ASSERT_EQ(s_.GetCrossCount(cx, cy), std::get<std::int64_t>(e.value))
                            << where;
                        ASSERT_EQ(s_.GetCrossValue(cx, cy), s_.GetCrossCount(cx, cy)) << where;
                    }
                }
            }
        }
        ASSERT_EQ(seen, cells.size()) << "cells outside the axes";
    }

    std::int32_t count() const {
        std::int32_t n = 0;
        for (int r = 0; r < kRecords; ++r)
            n += inMap(r);
        return n;
    }

    FixtureTable table_ = randomTable(kRecords, 20240611);
    LoadedTable loaded_{table_};
    KW_search& s_ = loaded_.s;
    SqliteReference sql_{table_};
    std::shared_ptr<KW_map> map_ = std::make_shared<KW_map>(kRecords);
};

TEST_F(CrossAgainstSqlite, ValueAxesOverAllRecords) {
    check({kInt}, {kCode}, false);
}

TEST_F(CrossAgainstSqlite, ConditionAndValueAxesWithinAMap) {
    check(byConditions(kInt), {kDate}, true);
    check({kFloat}, byConditions(kTime), true);
    check({kText}, byConditions(kDate), true);
}

TEST_F(CrossAgainstSqlite, DisplayNameConditions) {
    check(byConditions(kCode, 1), {kTime}, true);
    check(byConditions(kText), byConditions(kCode, 0), true);
}

TEST_F(CrossAgainstSqlite, MultiAnsAxes) {
    check({kMulti}, byConditions(kText), true);
    check(byConditions(kMulti), byConditions(kFloat), true);
    check({kCode}, {kMulti}, false);
}

}  // namespace
