// 500 random search expressions over a generated table of every item type must select the same
// records in the engine, in a naive evaluator that reads the table's cell texts record by
// record, and in SQLite's WHERE over the same table.
#include <gtest/gtest.h>

#include <charconv>
#include <functional>
#include <memory>
#include <random>

#include "engine/kw_search.h"
#include "platform/core/cp932.h"
#include "tests/engine/random_table.h"
#include "tests/support/sqlite_reference.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;

const std::string kError = zbq::cp932::literal("ｴﾗｰ");
const std::string kBlank = zbq::cp932::literal("ﾌﾞﾗﾝｸ");

// One value of the table as the naive evaluator reads it from a cell text.
struct Cell {
    int kind = 1;  // 0 error, 1 blank, 2 ordinary
    std::int64_t integer = 0;
    double real = 0;
    std::string text, name;  // code or text, display name
};

template <typename T>
bool parseWhole(std::string_view s, T& out) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

Cell readCell(const zbq::test::FixtureItem& item, const std::string& text) {
    Cell c;
    if (text.empty()) return c;
    c.kind = 2;
    int a = 0, b = 0, d = 0;
    switch (item.type) {
        case KW_TYPE_INTEGER:
            if (!parseWhole(text, a)) c.kind = 0;
            c.integer = a;
            break;
        case KW_TYPE_FLOAT:
            if (!parseWhole(text, c.real)) c.kind = 0;
            break;
        case KW_TYPE_DATE:  // the random table writes y/m/1, or the impossible 2023/2/30
            if (std::sscanf(text.c_str(), "%d/%d/%d", &a, &b, &d) != 3 || (b == 2 && d > 28))
                c.kind = 0;
            c.integer = a * 10000 + b * 100 + d;
            break;
        case KW_TYPE_TIME:
            if (std::sscanf(text.c_str(), "%d:%d:%d", &a, &b, &d) != 3 || a > 23) c.kind = 0;
            c.integer = a * 10000 + b * 100 + d;
            break;
        default:
            c.text = c.name = text;
            if (!item.codes.empty()) {
                c.kind = 0;
                for (const auto& code : item.codes)
                    if (code.code == text) c = {2, 0, 0, code.code, code.name};
            }
    }
    return c;
}

// The values of a record: one, or a MultiAns record's answers.
std::vector<Cell> readValues(const zbq::test::FixtureItem& item, const std::string& text) {
    if (item.type != KW_TYPE_MULTI) return {readCell(item, text)};
    std::vector<Cell> answers;
    for (std::size_t from = 0;;) {
        const auto comma = text.find(',', from);
        answers.push_back(readCell(item, text.substr(from, comma - from)));
        if (comma == std::string::npos) return answers;
        from = comma + 1;
    }
}

enum Form { kEqual, kRange, kBegins, kContains, kEnds, kGreater, kGreaterEqual, kLess, kLessEqual };

struct Term {
    int item = 0;
    Form form = kEqual;
    bool negated = false;
    bool byName = false;  // "NAME:" on a Code or MultiAns item
    std::string a, b;     // the bounds as numbers or texts (range: in the order written)
};

bool isText(std::int32_t type) {
    return type == KW_TYPE_STRING || type == KW_TYPE_MULTI;
}

std::string hexBlob(const std::string& s) {
    static const char* kDigits = "0123456789ABCDEF";
    std::string out = "X'";
    for (const unsigned char c : s) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out + "'";
}

// Builds random expressions with their naive and SQL meanings side by side.
class Generator {
public:
    Generator(const FixtureTable& table, unsigned seed) : table_(table), rng_(seed) {
        for (std::size_t i = 0; i < table.items.size(); ++i) {
            values_.emplace_back();
            for (const auto& row : table.rows)
                values_.back().push_back(readValues(table.items[i], row[i]));
        }
    }

    struct Expression {
        std::string text, sql;
        std::function<bool(int record)> holds;
    };

    Expression expression(int depth = 0) {
        if (depth >= 3 || pick(3) == 0) return term();
        const bool isAnd = pick(2) == 0;
        const int operands = 2 + pick(3);
        Expression e = operand(depth, isAnd);
        for (int i = 1; i < operands; ++i) {
            Expression next = operand(depth, isAnd);
            e.text += (isAnd ? "*" : "+") + next.text;
            e.sql = "(" + e.sql + (isAnd ? " AND " : " OR ") + next.sql + ")";
            e.holds = [isAnd, l = e.holds, r = next.holds](int rec) {
                return isAnd ? l(rec) && r(rec) : l(rec) || r(rec);
            };
        }
        return e;
    }

private:
    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    // A sub-expression inside an AND or OR: an OR inside an AND needs parentheses, an AND
    // inside an OR only sometimes gets them (to exercise precedence), a term may get them.
    Expression operand(int depth, bool parentIsAnd) {
        Expression e = expression(depth + 1);
        const bool isGroup = e.text.find_first_of("*+") != std::string::npos;
        if ((isGroup && parentIsAnd) || pick(4) == 0) e.text = "(" + e.text + ")";
        return e;
    }

    std::string number(int item) {
        switch (table_.items[static_cast<std::size_t>(item)].type) {
            case KW_TYPE_INTEGER:
                return std::to_string(pick(46) - 23);
            case KW_TYPE_FLOAT:
                return std::to_string(pick(34) - 2) + (pick(2) ? ".25" : "");
            case KW_TYPE_DATE:
                return std::to_string(20240000 + 100 * pick(14) + pick(3));
            default:
                return std::to_string(10000 * pick(26));
        }
    }

    std::string text(int item, bool byName) {
        if (pick(12) == 0) return pick(2) ? kBlank : kError;
        const auto& codes = table_.items[static_cast<std::size_t>(item)].codes;
        if (!codes.empty()) {
            const auto& code =
                codes[static_cast<std::size_t>(pick(static_cast<int>(codes.size())))];
            return byName ? code.name : code.code;
        }
        return std::string(static_cast<std::size_t>(1 + pick(2)),
                           static_cast<char>('a' + pick(21)));
    }

    Expression term() {
        Term t;
        t.item = pick(static_cast<int>(table_.items.size()));
        const auto& item = table_.items[static_cast<std::size_t>(t.item)];
        const bool textual = isText(item.type);
        t.form = static_cast<Form>(pick(textual ? 9 : 6));
        if (!textual && t.form >= kBegins) t.form = static_cast<Form>(t.form + 3);
        t.negated = t.form <= kEnds && pick(3) == 0;
        t.byName = !item.codes.empty() && pick(2) == 0;
        if (textual) {
            t.a = text(t.item, t.byName);
            t.b = text(t.item, t.byName);
            if (t.form >= kBegins && t.form <= kEnds) t.a = t.a.substr(0, 1 + pick(2));
        } else {
            t.a = number(t.item);
            t.b = number(t.item);
        }
        return {render(t), sql(t), [this, t](int rec) { return naive(t, rec); }};
    }

    std::string render(const Term& t) {
        static const char* kOps[] = {"=", "=", "=", "=", "=", ">", ">=", "<", "<="};
        std::string s = "#" + std::to_string(t.item) + (t.negated ? "!=" : kOps[t.form]);
        const bool textual = isText(table_.items[static_cast<std::size_t>(t.item)].type);
        const std::string name = t.byName ? "NAME:" : "";
        auto quoted = [&](const std::string& v, bool must) {
            return must || pick(4) == 0 ? "\"" + v + "\"" : v;
        };
        switch (t.form) {
            case kRange:
                return s + name + quoted(t.a, t.a[0] == '-') + "-" + quoted(t.b, false);
            case kBegins:
                return s + name + quoted(t.a, false) + "%";
            case kEnds:
                return s + "%" + name + quoted(t.a, false);
            case kContains:
                // The filter tab's form: the display-name prefix inside the quotes.
                if (pick(2)) return s + "%\"" + name + t.a + "\"%";
                return s + name + "%" + t.a + "%";
            default:
                // A negative number stands alone; texts may carry blanks that must vanish.
                if (textual && pick(4) == 0) return s + " " + name + t.a + " ";
                return s + name + quoted(t.a, false);
        }
    }

    // The naive meaning: error and blank never pass an ordering or a range; on text items the
    // other forms compare their captions; "!=" is the negation at the record.
    bool naive(const Term& t, int rec) {
        const auto& item = table_.items[static_cast<std::size_t>(t.item)];
        bool any = false;
        for (const Cell& c :
             values_[static_cast<std::size_t>(t.item)][static_cast<std::size_t>(rec)])
            any = any || valueHolds(t, item.type, c);
        return any != t.negated;
    }

    static bool valueHolds(const Term& t, std::int32_t type, const Cell& c) {
        const bool ordering = t.form == kRange || t.form >= kGreater;
        if (c.kind != 2 && (ordering || !isText(type))) return false;
        if (isText(type)) {
            const std::string v = c.kind == 0   ? kError
                                  : c.kind == 1 ? kBlank
                                  : t.byName    ? c.name
                                                : c.text;
            const std::string lo = std::min(t.a, t.b), hi = std::max(t.a, t.b);
            switch (t.form) {
                case kEqual:
                    return v == t.a;
                case kRange:
                    return lo <= v && v <= hi;
                case kBegins:
                    return v.starts_with(t.a);
                case kContains:
                    return v.find(t.a) != std::string::npos;
                case kEnds:
                    return v.ends_with(t.a);
                case kGreater:
                    return v > t.a;
                case kGreaterEqual:
                    return v >= t.a;
                case kLess:
                    return v < t.a;
                case kLessEqual:
                    return v <= t.a;
            }
        }
        auto compare = [&](auto v, auto a, auto b) {
            const auto lo = std::min(a, b), hi = std::max(a, b);
            switch (t.form) {
                case kEqual:
                    return v == a;
                case kRange:
                    return lo <= v && v <= hi;
                case kGreater:
                    return v > a;
                case kGreaterEqual:
                    return v >= a;
                case kLess:
                    return v < a;
                case kLessEqual:
                    return v <= a;
                default:
                    return false;
            }
        };
        if (type == KW_TYPE_FLOAT) {
            double a = 0, b = 0;
            parseWhole(t.a, a);
            parseWhole(t.b, b);
            return compare(c.real, a, b);
        }
        std::int64_t a = 0, b = 0;
        parseWhole(t.a, a);
        parseWhole(t.b, b);
        return compare(c.integer, a, b);
    }

    std::string sql(const Term& t) {
        const auto& item = table_.items[static_cast<std::size_t>(t.item)];
        const std::string n = std::to_string(t.item);
        const bool multi = item.type == KW_TYPE_MULTI;
        const std::string k = multi ? "a.k" : "k" + n;
        std::string value = multi ? "a.v" : "v" + n;
        std::string bound1 = t.a, bound2 = t.b;
        if (isText(item.type)) {
            if (t.byName) value = multi ? "a.n" : "n" + n;
            bound1 = hexBlob(t.a);
            bound2 = hexBlob(t.b);
            if (t.form <= kEnds && t.form != kRange) {
                // Equality and wildcards see the captions of error and blank.
                value = "(CASE " + k + " WHEN 0 THEN " + hexBlob(kError) + " WHEN 1 THEN " +
                        hexBlob(kBlank) + " ELSE " + value + " END)";
            }
        }
        const std::string len = std::to_string(t.a.size());
        std::string p;
        switch (t.form) {
            case kEqual:
                p = value + " = " + bound1;
                break;
            case kRange:
                p = value + " BETWEEN min(" + bound1 + ", " + bound2 + ") AND max(" + bound1 +
                    ", " + bound2 + ")";
                break;
            case kBegins:
                p = "substr(" + value + ", 1, " + len + ") = " + bound1;
                break;
            case kContains:
                p = "cp932_contains(" + value + ", " + bound1 + ")";
                break;
            case kEnds:
                p = "(length(" + value + ") >= " + len + " AND substr(" + value + ", -" + len +
                    ") = " + bound1 + ")";
                break;
            case kGreater:
                p = value + " > " + bound1;
                break;
            case kGreaterEqual:
                p = value + " >= " + bound1;
                break;
            case kLess:
                p = value + " < " + bound1;
                break;
            case kLessEqual:
                p = value + " <= " + bound1;
                break;
        }
        if (multi) {
            p = "EXISTS (SELECT 1 FROM a" + n + " a WHERE a.rec = t.rec AND " + p + ")";
            return t.negated ? "NOT " + p : p;
        }
        // A NULL value (error or blank) fails the test, and "!=" keeps it.
        return t.negated ? "((" + p + ") IS NOT 1)" : "((" + p + ") IS 1)";
    }

    const FixtureTable& table_;
    std::mt19937 rng_;
    std::vector<std::vector<std::vector<Cell>>> values_;  // [item][record]: the values read once
};

TEST(SearchRandom, FiveHundredExpressionsAgreeWithNaiveAndSqlite) {
    constexpr int kRecords = 1500;
    const FixtureTable table = zbq::test::randomTable(kRecords, 7);
    zbq::test::TempDir dir;
    zbq::test::writeFixture(dir.file("r.zbq"), table);
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("r.zbq"), ""), 0);
    const zbq::test::SqliteReference sqlite(table);
    sqlite.query("CREATE INDEX a4rec ON a4 (rec)");  // the MultiAns item's answers by record

    Generator generate(table, 2024);
    int nonTrivial = 0;
    for (int i = 0; i < 500; ++i) {
        const Generator::Expression e = generate.expression();
        SCOPED_TRACE(e.text);
        std::vector<std::int32_t> naive;
        for (int r = 0; r < kRecords; ++r)
            if (e.holds(r)) naive.push_back(r);
        const std::int32_t found = s.KWsrch(e.text);
        ASSERT_EQ(found, static_cast<std::int32_t>(naive.size()));
        std::vector<std::int32_t> engine;
        for (int r = 0; r < kRecords; ++r)
            if (s.KWmapGet()->test(r)) engine.push_back(r);
        ASSERT_EQ(engine, naive);
        ASSERT_EQ(sqlite.records(e.sql), naive) << e.sql;
        nonTrivial += found > 0 && found < kRecords;
    }
    // The generator must produce selective expressions, not only all or nothing.
    EXPECT_GT(nonTrivial, 250);
}

}  // namespace
