// The aggregation's result read whole from the engine and built whole from SQLite.
#include "tests/engine/molap_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "platform/core/cp932.h"

namespace zbq::test {

namespace {

bool grouped(const FixtureTable& t, int item, int code) {
    return code >= 1 && code <= 6 && t.items[static_cast<std::size_t>(item)].type == KW_TYPE_DATE;
}

bool summable(const FixtureTable& t, int item) {
    const std::int32_t type = t.items[static_cast<std::size_t>(item)].type;
    return type == KW_TYPE_INTEGER || type == KW_TYPE_FLOAT;
}

int zUnit(const MolapQuery& q, std::size_t i) {
    return i < q.zUnits.size() ? q.zUnits[i] : 0;
}

std::string caption(int level, int firstTotal) {
    if (level == 0) return cp932::literal("総計");
    return level == firstTotal ? cp932::literal("計") : std::string();
}

SqlValue labelOf(const KW_search::MolapValue& v) {
    switch (v.kind) {
        case KW_search::MolapValue::Integer:
            return std::int64_t{v.integer};
        case KW_search::MolapValue::Double:
            return v.number;
        case KW_search::MolapValue::Text:
            return std::string(v.text);
        default:
            return {};
    }
}

// --- The engine's side ---

Key engineKey(const KW_search& s, const FixtureTable& t, const std::vector<MolapLevelSpec>& levels,
              bool xAxis, int index, int zColumns) {
    Key key;
    for (std::size_t l = 0; l < levels.size(); ++l) {
        KW_search::MolapValue v;
        const int level = static_cast<int>(l);
        const std::int32_t rc = xAxis ? s.GetMolapXLabel(index * zColumns, level, v)
                                      : s.GetMolapYLabel(index, level, v);
        KeyPart part;
        if (rc < 0) ADD_FAILURE() << "label " << index << "/" << level << " refused";
        if (rc == 1) {
            part.kind = KeyPart::Total;
            part.label = std::string(v.text);
        } else if (v.position == KW_POS_BLANK) {
            part.kind = KeyPart::Blank;
        } else {
            part.order = grouped(t, levels[l].item, levels[l].grouping) ? v.integer : v.position;
            part.label = labelOf(v);
        }
        key.push_back(part);
    }
    return key;
}

// --- SQLite's side ---

std::string dateGroup(const std::string& v, int grouping) {
    const std::string month = "((" + v + " % 10000) / 100)";
    switch (grouping) {
        case 1:
            return "(" + v + " / 10000)";
        case 2:
            return month;
        case 3:
            return "(" + v + " % 100)";
        case 4:
            return "(" + v + " / 100)";
        case 5:
            return "((" + month + " - 1) / 3 + 1)";
        default:
            return "((" + month + " - 1) / 6 + 1)";
    }
}

// The order and label expressions of a level.
std::pair<std::string, std::string> levelSql(const FixtureTable& t, const MolapLevelSpec& l) {
    const std::string n = std::to_string(l.item);
    if (grouped(t, l.item, l.grouping)) {
        const std::string e = dateGroup("v" + n, l.grouping);
        return {e, e};
    }
    const bool codes = !t.items[static_cast<std::size_t>(l.item)].codes.empty();
    return {"p" + n, (codes ? "n" : "v") + n};
}

std::string zSql(const FixtureTable& t, const MolapQuery& q, std::size_t i) {
    const int item = q.z[i];
    const std::string n = std::to_string(item);
    switch (q.kinds[i]) {
        case 0:
            return "COUNT(*)";
        case 1:
            return summable(t, item) ? "TOTAL(v" + n + ")" : "NULL";
        case 2:
            return summable(t, item) ? "AVG(v" + n + ")" : "NULL";
        default: {
            const std::string f = q.kinds[i] == 3 ? "MAX" : "MIN";
            if (grouped(t, item, zUnit(q, i)))
                return f + "(" + dateGroup("v" + n, zUnit(q, i)) + ")";
            return f + "(CASE WHEN k" + n + " = 2 THEN p" + n + " END)";
        }
    }
}

std::vector<int> prefixes(std::size_t levels, int mode) {
    const int n = static_cast<int>(levels);
    std::vector<int> out = {n};
    if (n > 0 && (mode == 1 || mode == 2)) {
        if (mode == 2)
            for (int a = n - 1; a > 0; --a)
                out.push_back(a);
        out.push_back(0);
    }
    return out;
}

bool hasTotal(const Key& k) {
    return !k.empty() && k.back().kind == KeyPart::Total;
}

bool anyValue(const std::vector<SqlValue>& values) {
    for (const SqlValue& v : values)
        if (!std::holds_alternative<std::monostate>(v)) return true;
    return false;
}

std::string text(const SqlValue& v) {
    if (std::holds_alternative<std::int64_t>(v)) return std::to_string(std::get<std::int64_t>(v));
    if (std::holds_alternative<double>(v)) return std::to_string(std::get<double>(v));
    if (std::holds_alternative<std::string>(v))
        return "'" + cp932::toUtf8(std::get<std::string>(v)) + "'";
    return "NULL";
}

bool same(const SqlValue& a, const SqlValue& b) {
    if (std::holds_alternative<double>(a) && std::holds_alternative<double>(b)) {
        const double x = std::get<double>(a), y = std::get<double>(b);
        return std::fabs(x - y) <= 1e-9 * std::max(1.0, std::fabs(y));
    }
    return a == b;
}

}  // namespace

FixtureTable molapTable(int records, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    FixtureTable t;
    t.title = "molap";
    t.items.resize(kItemCount);
    t.items[kCode3] = {"code3", KW_TYPE_STRING, {{"b", "Bee"}, {"a", "Zed"}, {"c", "Ay"}}};
    t.items[kCode5] = {"code5",
                       KW_TYPE_STRING,
                       {{"1", "one"}, {"2", "two"}, {"3", "three"}, {"4", "four"}, {"5", "five"}}};
    t.items[kSmall] = {"small", KW_TYPE_INTEGER};
    t.items[kWord] = {"word", KW_TYPE_STRING};
    t.items[kDay] = {"day", KW_TYPE_DATE};
    t.items[kHalf] = {"half", KW_TYPE_FLOAT};
    t.items[kClock] = {"clock", KW_TYPE_TIME};
    t.items[kCode2] = {"code2", KW_TYPE_STRING, {{"x", "X"}, {"y", "Y"}}};
    t.items[kTiny] = {"tiny", KW_TYPE_INTEGER};
    t.items[kDay2] = {"day2", KW_TYPE_DATE};
    t.items[kAmount] = {"amount", KW_TYPE_INTEGER};
    t.items[kPrice] = {"price", KW_TYPE_FLOAT};
    t.items[kNote] = {"note", KW_TYPE_STRING};
    t.items[kMulti] = {"multi", KW_TYPE_MULTI, {{"p", "P"}, {"q", "Q"}}};
    const char* words[] = {"pear", "apple", "fig", "kiwi"};
    const char* halves[] = {"-1.5", "-0.5", "0", "0.5", "2", "3.5"};
    const char* days[] = {"1", "15", "28"};
    const char* quarters[] = {".0", ".25", ".5", ".75"};
    // One cell in ten is blank, one in twenty an error.
    auto cell = [&](auto value, const char* error) -> std::string {
        const int r = pick(20);
        if (r < 2) return "";
        if (r == 2) return error;
        return value();
    };
    auto num = [](int n) { return std::to_string(n); };
    for (int i = 0; i < records; ++i) {
        std::vector<std::string> row(kItemCount);
        row[kCode3] = cell([&] { return std::string(1, "bac"[pick(3)]); }, "zz");
        row[kCode5] = cell([&] { return num(1 + pick(5)); }, "9");
        row[kSmall] = cell([&] { return num(pick(7) - 3); }, "x");
        row[kWord] = cell([&] { return std::string(words[pick(4)]); }, "");
        row[kDay] = cell(
            [&] { return num(2022 + pick(3)) + "/" + num(1 + pick(12)) + "/" + days[pick(3)]; },
            "2023/2/30");
        row[kHalf] = cell([&] { return std::string(halves[pick(6)]); }, "e1e");
        row[kClock] = cell([&] { return num(8 + pick(4)) + ":00:00"; }, "25:00:00");
        row[kCode2] = cell([&] { return std::string(1, "xy"[pick(2)]); }, "w");
        row[kTiny] = cell([&] { return num(pick(3)); }, "t");
        row[kDay2] = cell(
            [&] { return num(2023 + pick(2)) + "/" + num(1 + pick(12)) + "/" + num(1 + pick(28)); },
            "2024/13/1");
        row[kAmount] = cell([&] { return num(pick(1001) - 500); }, "y");
        row[kPrice] = cell([&] { return num(pick(400) - 200) + quarters[pick(4)]; }, "1.2.3");
        row[kNote] =
            cell([&] { return std::string(1 + pick(2), static_cast<char>('a' + pick(12))); }, "");
        row[kMulti] = cell([&] { return std::string(pick(2) ? "p,q" : "q"); }, "r");
        t.rows.push_back(std::move(row));
    }
    return t;
}

std::int32_t runMolap(KW_search& s, const MolapQuery& q) {
    std::vector<std::int32_t> xi, xg, yi, yg, zu(q.z.size(), 0);
    for (const MolapLevelSpec& l : q.x) {
        xi.push_back(l.item);
        xg.push_back(l.grouping);
    }
    for (const MolapLevelSpec& l : q.y) {
        yi.push_back(l.item);
        yg.push_back(l.grouping);
    }
    for (std::size_t i = 0; i < q.zUnits.size() && i < zu.size(); ++i)
        zu[i] = q.zUnits[i];
    s.ResetMolapX();
    s.ResetMolapY();
    s.ResetMolapZ();
    if (s.SetMolapX(xi, xg) != 0 || s.SetMolapY(yi, yg) != 0 || s.SetMolapZ(q.z, zu) != 0)
        return -100;
    return s.KWexecuteMolap(xi, yi, q.z, q.kinds, q.xMode, q.yMode);
}

MolapImage engineImage(const KW_search& s, const FixtureTable& t, const MolapQuery& q) {
    MolapImage image;
    const int zColumns = q.z.empty() ? 1 : static_cast<int>(q.z.size());
    const int xs = q.x.empty() ? 1 : s.GetMolapXCount();
    const int ys = q.y.empty() ? 1 : s.GetMolapYCount();
    for (int x = 0; x < xs; ++x)
        image.x.push_back(engineKey(s, t, q.x, true, x, zColumns));
    for (int y = 0; y < ys; ++y)
        image.y.push_back(engineKey(s, t, q.y, false, y, zColumns));
    for (int x = 0; x < xs; ++x) {
        for (int y = 0; y < ys; ++y) {
            std::vector<SqlValue> values;
            std::int32_t flag = 0;
            for (int z = 0; z < zColumns; ++z) {
                KW_search::MolapValue v;
                flag = s.KWMolapGetData(x, y, z, v);
                if (flag < 0) ADD_FAILURE() << "cell " << x << "," << y << "," << z << " refused";
                const bool extreme = !q.z.empty() && q.kinds[static_cast<std::size_t>(z)] >= 3;
                if (extreme && v.kind != KW_search::MolapValue::None) {
                    const bool g = grouped(t, q.z[static_cast<std::size_t>(z)],
                                           zUnit(q, static_cast<std::size_t>(z)));
                    values.push_back(std::int64_t{g ? v.integer : v.position});
                } else {
                    values.push_back(labelOf(v));
                }
            }
            const auto key = std::make_pair(image.x[static_cast<std::size_t>(x)],
                                            image.y[static_cast<std::size_t>(y)]);
            image.totalFlags[key] = flag == 1;
            if (anyValue(values)) image.cells[key] = values;
        }
    }
    return image;
}

MolapImage sqlImage(const SqliteReference& db, const FixtureTable& t, const MolapQuery& q) {
    MolapImage image;
    std::string where = "(" + q.where + ")";
    for (const auto* axis : {&q.x, &q.y})
        for (const MolapLevelSpec& l : *axis)
            where += " AND k" + std::to_string(l.item) + " != 0";
    std::vector<std::string> zs;
    if (q.z.empty()) zs.push_back("COUNT(*)");
    for (std::size_t i = 0; i < q.z.size(); ++i)
        zs.push_back(zSql(t, q, i));

    std::set<Key> xKeys, yKeys;
    for (const int a : prefixes(q.x.size(), q.xMode)) {
        for (const int b : prefixes(q.y.size(), q.yMode)) {
            std::string select, group;
            auto addLevels = [&](const std::vector<MolapLevelSpec>& levels, int used) {
                for (int l = 0; l < used; ++l) {
                    const auto [order, label] = levelSql(t, levels[static_cast<std::size_t>(l)]);
                    select += order + ", " + label + ", ";
                    group += (group.empty() ? "" : ", ") + order;
                }
            };
            addLevels(q.x, a);
            addLevels(q.y, b);
            for (std::size_t i = 0; i < zs.size(); ++i)
                select += (i ? ", " : "") + zs[i];
            std::string sql = "SELECT " + select + " FROM t WHERE " + where;
            if (!group.empty()) sql += " GROUP BY " + group;
            sql += " HAVING COUNT(*) > 0";
            for (const SqlRow& row : db.query(sql)) {
                std::size_t c = 0;
                auto key = [&](const std::vector<MolapLevelSpec>& levels, int used) {
                    Key k;
                    for (int l = 0; l < static_cast<int>(levels.size()); ++l) {
                        KeyPart part;
                        if (l >= used) {
                            part.kind = KeyPart::Total;
                            part.label = caption(l, used);
                            k.push_back(part);
                            continue;
                        }
                        const SqlValue& order = row[c++];
                        const SqlValue& label = row[c++];
                        const bool g = grouped(t, levels[static_cast<std::size_t>(l)].item,
                                               levels[static_cast<std::size_t>(l)].grouping);
                        if (g ? std::holds_alternative<std::monostate>(label)
                              : std::get<std::int64_t>(order) == KW_POS_BLANK) {
                            part.kind = KeyPart::Blank;
                        } else {
                            part.order = std::get<std::int64_t>(order);
                            part.label = label;
                        }
                        k.push_back(part);
                    }
                    return k;
                };
                const Key xk = key(q.x, a);
                const Key yk = key(q.y, b);
                const std::vector<SqlValue> values(row.begin() + static_cast<std::ptrdiff_t>(c),
                                                   row.end());
                xKeys.insert(xk);
                yKeys.insert(yk);
                if (anyValue(values)) image.cells[{xk, yk}] = values;
            }
        }
    }
    if (q.x.empty()) xKeys = {Key{}};
    if (q.y.empty()) yKeys = {Key{}};
    image.x.assign(xKeys.begin(), xKeys.end());
    image.y.assign(yKeys.begin(), yKeys.end());
    // Total cells exist for every pair, empty ones with count 0.
    for (const Key& xk : image.x) {
        for (const Key& yk : image.y) {
            if (!hasTotal(xk) && !hasTotal(yk)) continue;
            std::vector<SqlValue> values;
            for (std::size_t i = 0; i < zs.size(); ++i) {
                if (q.z.empty() || q.kinds[i] == 0)
                    values.push_back(std::int64_t{0});
                else
                    values.push_back(SqlValue{});
            }
            if (anyValue(values)) image.cells.emplace(std::make_pair(xk, yk), values);
        }
    }
    return image;
}

std::string describe(const Key& key) {
    std::string s = "(";
    for (const KeyPart& p : key) {
        if (s.size() > 1) s += " ";
        if (p.kind == KeyPart::Blank)
            s += "blank";
        else if (p.kind == KeyPart::Total)
            s += "total" + text(p.label);
        else
            s += std::to_string(p.order) + ":" + text(p.label);
    }
    return s + ")";
}

void expectSameImage(const MolapImage& actual, const MolapImage& expected) {
    auto keys = [](const std::vector<Key>& list) {
        std::string s;
        for (const Key& k : list)
            s += describe(k) + "\n";
        return s;
    };
    EXPECT_EQ(keys(actual.x), keys(expected.x)) << "X keys";
    EXPECT_EQ(keys(actual.y), keys(expected.y)) << "Y keys";
    for (const auto& [at, values] : expected.cells) {
        const auto it = actual.cells.find(at);
        if (it == actual.cells.end()) {
            ADD_FAILURE() << "missing cell " << describe(at.first) << " x " << describe(at.second);
            continue;
        }
        for (std::size_t z = 0; z < values.size(); ++z)
            EXPECT_TRUE(same(it->second[z], values[z]))
                << describe(at.first) << " x " << describe(at.second) << " z" << z << ": "
                << text(it->second[z]) << " != " << text(values[z]);
    }
    for (const auto& [at, values] : actual.cells)
        if (!expected.cells.count(at))
            ADD_FAILURE() << "extra cell " << describe(at.first) << " x " << describe(at.second);
    for (const auto& [at, total] : actual.totalFlags)
        EXPECT_EQ(total, hasTotal(at.first) || hasTotal(at.second))
            << "total flag of " << describe(at.first) << " x " << describe(at.second);
}

}  // namespace zbq::test
