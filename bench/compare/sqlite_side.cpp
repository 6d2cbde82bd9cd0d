// The SQLite side: loading the questionnaire text into a table and the SQL of every operation.
#include "bench/compare/sqlite_side.h"

#include <sqlite3.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <variant>

#include "bench/gen/questionnaire.h"
#include "engine/kw_format.h"

namespace zbq::bench {

struct SqliteSide::Value {
    std::variant<std::monostate, std::int64_t, double, std::string> v;
    bool null() const { return std::holds_alternative<std::monostate>(v); }
    std::int64_t integer() const {
        if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
        if (auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
        return 0;
    }
    std::string text() const {
        if (auto* i = std::get_if<std::int64_t>(&v)) return fmt(*i);
        if (auto* d = std::get_if<double>(&v)) return fmt(*d);
        if (auto* s = std::get_if<std::string>(&v)) return *s;
        return "-";
    }
};

namespace {

std::string num(int i) {
    return std::to_string(i);
}
std::string v(int i) {
    return "v" + num(i);
}
std::string k(int i) {
    return "k" + num(i);
}
bool isMulti(int i) {
    return questionnaireItems()[static_cast<std::size_t>(i)].type == KW_TYPE_MULTI;
}

// A key component from its kind and value columns: "(total)" for the NULL of a total line.
std::string key(const SqliteSide::Value& kind, const SqliteSide::Value& value) {
    if (kind.null()) return std::string(kTotal);
    switch (kind.integer()) {
        case 0:
            return std::string(kError);
        case 1:
            return std::string(kBlank);
        default:
            return value.text();
    }
}

// The kinds of a field by the item's type, with their rules: 0 error, 1 blank, 2 value.
struct Parsed {
    int kind = 1;
    std::int64_t i = 0;
    double d = 0;
};

bool digits(std::string_view t, std::int64_t& out) {
    if (t.empty() || t.size() > 9) return false;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), out);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && t[0] != '-' && t[0] != '+';
}

bool threeParts(std::string_view t, char sep, std::int64_t (&p)[3]) {
    const std::size_t a = t.find(sep), b = a == std::string_view::npos ? a : t.find(sep, a + 1);
    if (b == std::string_view::npos || t.find(sep, b + 1) != std::string_view::npos) return false;
    return digits(t.substr(0, a), p[0]) && digits(t.substr(a + 1, b - a - 1), p[1]) &&
           digits(t.substr(b + 1), p[2]);
}

Parsed parse(int type, std::string_view t) {
    Parsed p;
    if (t.empty()) return p;
    p.kind = 0;
    switch (type) {
        case KW_TYPE_INTEGER: {
            const auto r = std::from_chars(t.data(), t.data() + t.size(), p.i);
            if (r.ec == std::errc() && r.ptr == t.data() + t.size() && t[0] != '+' &&
                p.i >= -2147483647 && p.i <= 2147483647) {
                p.kind = 2;
            }
            break;
        }
        case KW_TYPE_FLOAT: {
            const auto r = std::from_chars(t.data(), t.data() + t.size(), p.d);
            if (r.ec == std::errc() && r.ptr == t.data() + t.size()) p.kind = 2;
            break;
        }
        case KW_TYPE_DATE: {
            std::int64_t y[3];
            static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            if (threeParts(t, '/', y) && y[0] >= 1000 && y[0] <= 9999 && y[1] >= 1 && y[1] <= 12) {
                const bool leap = y[0] % 4 == 0 && (y[0] % 100 != 0 || y[0] % 400 == 0);
                const int last = days[y[1] - 1] + (y[1] == 2 && leap ? 1 : 0);
                if (y[2] >= 1 && y[2] <= last) {
                    p.kind = 2;
                    p.i = y[0] * 10000 + y[1] * 100 + y[2];
                }
            }
            break;
        }
        case KW_TYPE_TIME: {
            std::int64_t h[3];
            if (threeParts(t, ':', h) && h[0] <= 23 && h[1] <= 59 && h[2] <= 59) {
                p.kind = 2;
                p.i = h[0] * 10000 + h[1] * 100 + h[2];
            }
            break;
        }
        default:
            p.kind = 2;  // texts and codes: checked by the caller
            break;
    }
    return p;
}

struct Statement {
    sqlite3_stmt* s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
};

// Molap axis levels: an item and, for a grouped date, the expression of its group key.
struct Level {
    int item;
    std::string value;  // SQL expression of the key value
};

}  // namespace

SqliteSide::SqliteSide(std::string source, std::string workDir)
    : source_(std::move(source)), dbPath_(std::move(workDir) + "/bench.sqlite") {}

SqliteSide::~SqliteSide() {
    sqlite3_close(db_);
}

bool SqliteSide::has(std::string_view) const {
    return true;
}

bool SqliteSide::exec(const std::string& sql) {
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) == SQLITE_OK) return true;
    error_ = (msg != nullptr ? msg : "?") + std::string(" in: ") + sql.substr(0, 200);
    sqlite3_free(msg);
    return false;
}

bool SqliteSide::query(const std::string& sql, std::vector<Row>& rows) {
    rows.clear();
    Statement st;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.s, nullptr) != SQLITE_OK) {
        error_ = sqlite3_errmsg(db_) + std::string(" in: ") + sql.substr(0, 200);
        return false;
    }
    const int n = sqlite3_column_count(st.s);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        Row& row = rows.emplace_back(static_cast<std::size_t>(n));
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st.s, c)) {
                case SQLITE_INTEGER:
                    row[static_cast<std::size_t>(c)].v = sqlite3_column_int64(st.s, c);
                    break;
                case SQLITE_FLOAT:
                    row[static_cast<std::size_t>(c)].v = sqlite3_column_double(st.s, c);
                    break;
                case SQLITE_NULL:
                    break;
                default: {
                    const auto* p = static_cast<const char*>(sqlite3_column_blob(st.s, c));
                    row[static_cast<std::size_t>(c)].v =
                        std::string(p != nullptr ? p : "",
                                    static_cast<std::size_t>(sqlite3_column_bytes(st.s, c)));
                }
            }
        }
    }
    if (rc != SQLITE_DONE) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

bool SqliteSide::load() {
    sqlite3_close(db_);
    db_ = nullptr;
    ::unlink(dbPath_.c_str());
    if (sqlite3_open(dbPath_.c_str(), &db_) != SQLITE_OK) {
        error_ = "cannot create " + dbPath_;
        return false;
    }
    const auto& items = questionnaireItems();
    std::string create = "CREATE TABLE t(";
    std::string insert = "INSERT INTO t VALUES(";
    bool first = true;
    for (int i = 0; i < kItemCount; ++i) {
        if (isMulti(i)) continue;
        create += (first ? "" : ", ") + v(i) + ", " + k(i);
        insert += first ? "?, ?" : ", ?, ?";
        first = false;
    }
    if (!exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-262144;") ||
        !exec(create + ")") || !exec("CREATE TABLE a12(rec, v, k); CREATE TABLE a13(rec, v, k)") ||
        !exec("BEGIN")) {
        return false;
    }
    Statement row, answer[2];
    if (sqlite3_prepare_v2(db_, (insert + ")").c_str(), -1, &row.s, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, "INSERT INTO a12 VALUES(?, ?, ?)", -1, &answer[0].s, nullptr) !=
            SQLITE_OK ||
        sqlite3_prepare_v2(db_, "INSERT INTO a13 VALUES(?, ?, ?)", -1, &answer[1].s, nullptr) !=
            SQLITE_OK) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    std::vector<std::unordered_set<std::string>> codes(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        for (const CodeDef& c : items[i].codes)
            codes[i].insert(c.code);

    std::FILE* in = std::fopen(source_.c_str(), "rb");
    if (in == nullptr) {
        error_ = "cannot read " + source_;
        return false;
    }
    char* line = nullptr;
    std::size_t capacity = 0;
    ssize_t got;
    std::int64_t record = 0;
    std::vector<std::string_view> fields;
    bool header = true, ok = true;
    while (ok && (got = ::getline(&line, &capacity, in)) > 0) {
        if (header) {
            header = false;
            continue;
        }
        std::string_view text(line, static_cast<std::size_t>(got));
        if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
        fields.clear();
        for (std::size_t start = 0;;) {
            const std::size_t tab = text.find('\t', start);
            fields.push_back(text.substr(start, tab - start));
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
        fields.resize(kItemCount);
        ++record;
        int param = 1;
        for (int i = 0; i < kItemCount; ++i) {
            const std::string_view f = fields[static_cast<std::size_t>(i)];
            const ItemDef& item = items[static_cast<std::size_t>(i)];
            if (isMulti(i)) {
                sqlite3_stmt* a = answer[i == kHobbies ? 0 : 1].s;
                auto add = [&](std::string_view part, int kind) {
                    sqlite3_bind_int64(a, 1, record);
                    if (kind == 2) {
                        sqlite3_bind_text(a, 2, part.data(), static_cast<int>(part.size()),
                                          SQLITE_STATIC);
                    } else {
                        sqlite3_bind_null(a, 2);
                    }
                    sqlite3_bind_int(a, 3, kind);
                    ok = ok && sqlite3_step(a) == SQLITE_DONE;
                    sqlite3_reset(a);
                };
                if (f.empty()) {
                    add({}, 1);
                    continue;
                }
                for (std::size_t start = 0;;) {
                    const std::size_t comma = f.find(',', start);
                    const std::string_view part = f.substr(start, comma - start);
                    add(part, codes[static_cast<std::size_t>(i)].count(std::string(part)) ? 2 : 0);
                    if (comma == std::string_view::npos) break;
                    start = comma + 1;
                }
                continue;
            }
            Parsed p = parse(item.type, f);
            if (p.kind == 2 && !item.codes.empty() &&
                !codes[static_cast<std::size_t>(i)].count(std::string(f))) {
                p.kind = 0;
            }
            if (p.kind != 2) {
                sqlite3_bind_null(row.s, param);
            } else if (item.type == KW_TYPE_FLOAT) {
                sqlite3_bind_double(row.s, param, p.d);
            } else if (item.type == KW_TYPE_STRING && item.codes.empty()) {
                sqlite3_bind_blob(row.s, param, f.data(), static_cast<int>(f.size()),
                                  SQLITE_STATIC);
            } else if (item.type == KW_TYPE_STRING) {
                sqlite3_bind_text(row.s, param, f.data(), static_cast<int>(f.size()),
                                  SQLITE_STATIC);
            } else {
                sqlite3_bind_int64(row.s, param, p.i);
            }
            sqlite3_bind_int(row.s, param + 1, p.kind);
            param += 2;
        }
        ok = ok && sqlite3_step(row.s) == SQLITE_DONE;
        sqlite3_reset(row.s);
    }
    std::free(line);
    std::fclose(in);
    if (!ok) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return exec("COMMIT") &&
           exec("CREATE INDEX a12_rec ON a12(rec); CREATE INDEX a13_rec ON a13(rec)");
}

bool SqliteSide::open() {
    sqlite3_close(db_);
    db_ = nullptr;
    sqlite3* file = nullptr;
    if (sqlite3_open_v2(dbPath_.c_str(), &file, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_open(":memory:", &db_) != SQLITE_OK) {
        sqlite3_close(file);
        error_ = "cannot open " + dbPath_;
        return false;
    }
    sqlite3_backup* copy = sqlite3_backup_init(db_, "main", file, "main");
    const bool ok = copy != nullptr && sqlite3_backup_step(copy, -1) == SQLITE_DONE;
    sqlite3_backup_finish(copy);
    sqlite3_close(file);
    if (!ok) error_ = "cannot copy " + dbPath_ + " into memory";
    return ok;
}

namespace {

const std::string kSearch1 = "k1 = 2 AND v1 = '1'";
const std::string kSearch3 =
    "(k14 = 2 AND v14 >= 40 AND k15 = 2 AND v15 < 60.5) OR rowid IN "
    "(SELECT rec FROM a12 WHERE k = 2 AND v = '3')";
const std::string kInA = "rowid IN (SELECT r FROM sa)";

}  // namespace

bool SqliteSide::valueCounts(const std::string& where, std::vector<std::vector<Row>>& perItem) {
    perItem.assign(kItemCount + 1, {});
    if (!query("SELECT count(*) FROM t WHERE " + where, perItem[kItemCount])) return false;
    for (int i = 0; i < kItemCount; ++i) {
        const std::string sql =
            isMulti(i) ? "SELECT k, v, count(*) FROM a" + num(i) +
                             " WHERE rec IN (SELECT rowid FROM t WHERE " + where + ") GROUP BY 1, 2"
                       : "SELECT " + k(i) + ", " + v(i) + ", count(*) FROM t WHERE " + where +
                             " GROUP BY 1, 2";
        if (!query(sql, perItem[static_cast<std::size_t>(i)])) return false;
    }
    return true;
}

bool SqliteSide::molap(const std::vector<int>& xItems, const std::vector<int>& yItems,
                       std::vector<Row>& rows) {
    auto levels = [](const std::vector<int>& items) {
        std::vector<Level> out;
        for (int i : items) {
            // The answer date by half year: January to June 1, July to December 2.
            out.push_back({i, i == kAnswerDate ? "((v18 / 100) % 100 - 1) / 6 + 1" : v(i)});
        }
        return out;
    };
    const auto x = levels(xItems), y = levels(yItems);
    std::string valid;
    for (const auto* axis : {&x, &y})
        for (const Level& l : *axis)
            valid += (valid.empty() ? "" : " AND ") + k(l.item) + " <> 0";
    std::string sql;
    for (int xp = static_cast<int>(x.size()); xp >= 0; --xp) {
        for (int yp = static_cast<int>(y.size()); yp >= 0; --yp) {
            std::string select, group;
            auto add = [&](const std::vector<Level>& axis, int prefix) {
                for (int l = 0; l < static_cast<int>(axis.size()); ++l) {
                    const Level& level = axis[static_cast<std::size_t>(l)];
                    if (l < prefix) {
                        select += k(level.item) + ", " + level.value + ", ";
                        group += (group.empty() ? "" : ", ") + k(level.item) + ", " + level.value;
                    } else {
                        select += "NULL, NULL, ";
                    }
                }
            };
            add(x, xp);
            add(y, yp);
            if (!sql.empty()) sql += " UNION ALL ";
            sql += "SELECT " + select + "count(*), total(v15), min(v14), max(v14) FROM t WHERE " +
                   valid + (group.empty() ? "" : " GROUP BY " + group);
        }
    }
    return query(sql, rows);
}

bool SqliteSide::setup(std::string_view op) {
    if (op == "build") {
        sqlite3_close(db_);
        db_ = nullptr;
        return true;
    }
    if (op == "open") return true;
    if (db_ == nullptr && !open()) return false;
    if (op.starts_with("set_") || op == "recount" || op == "stats") {
        // The stored sets: A = men, B = aged 40 or more.
        return exec(
            "DROP TABLE IF EXISTS sa; DROP TABLE IF EXISTS sb;"
            "CREATE TEMP TABLE sa(r INTEGER PRIMARY KEY);"
            "CREATE TEMP TABLE sb(r INTEGER PRIMARY KEY);"
            "INSERT INTO sa SELECT rowid FROM t WHERE k1 = 2 AND v1 = '1';"
            "INSERT INTO sb SELECT rowid FROM t WHERE k14 = 2 AND v14 >= 40;");
    }
    return true;
}

bool SqliteSide::run(std::string_view op) {
    if (op == "build") return load();
    if (op == "open") return open();
    if (op == "search1") return valueCounts(kSearch1, perItem_);
    if (op == "search3") return valueCounts(kSearch3, perItem_);
    if (op == "set_product")
        return query("SELECT count(*) FROM (SELECT r FROM sa INTERSECT SELECT r FROM sb)", rows_);
    if (op == "set_union")
        return query("SELECT count(*) FROM (SELECT r FROM sa UNION SELECT r FROM sb)", rows_);
    if (op == "set_difference")
        return query("SELECT count(*) FROM (SELECT r FROM sa EXCEPT SELECT r FROM sb)", rows_);
    if (op == "set_complement")
        return query("SELECT count(*) FROM t WHERE rowid NOT IN (SELECT r FROM sa)", rows_);
    if (op == "recount") return valueCounts(kInA, perItem_);
    if (op == "stats") {
        // Population deviation in two passes, as numerically careful SQL does it.
        return query(
            "WITH a AS (SELECT count(v14) n, total(v14) s, avg(v14) m FROM t WHERE k14 = 2 AND " +
                kInA +
                "), b AS (SELECT count(v15) n, total(v15) s, avg(v15) m FROM t WHERE k15 "
                "= 2 AND " +
                kInA +
                ") SELECT 14, a.n, a.s, a.m, (SELECT total((v14 - a.m) * (v14 - a.m)) FROM t "
                "WHERE k14 = 2 AND " +
                kInA +
                ") FROM a UNION ALL SELECT 15, b.n, b.s, b.m, (SELECT total((v15 - b.m) * (v15 - "
                "b.m)) FROM t WHERE k15 = 2 AND " +
                kInA + ") FROM b",
            rows_);
    }
    if (op == "cross_count")
        return query("SELECT k14, v14, k11, v11, count(*) FROM t GROUP BY 1, 2, 3, 4", rows_);
    if (op == "cross_sum") {
        return query(
            "SELECT k14, v14, k11, v11, count(v15), total(v15) FROM t GROUP BY 1, 2, 3, 4 "
            "HAVING count(v15) > 0",
            rows_);
    }
    if (op == "cross_pct") {
        return query(
            "WITH c AS (SELECT k10 kx, v10 x, k11 ky, v11 y, v14 z, count(*) n FROM t WHERE k14 "
            "= 2 GROUP BY 1, 2, 3, 4, 5), w AS (SELECT kx, x, ky, y, z, sum(n) OVER (PARTITION "
            "BY kx, x, ky, y ORDER BY z DESC ROWS UNBOUNDED PRECEDING) cum, sum(n) OVER "
            "(PARTITION BY kx, x, ky, y) tot FROM c) SELECT kx, x, ky, y, max(z) FROM w WHERE "
            "cum * 100 >= 50 * tot GROUP BY 1, 2, 3, 4",
            rows_);
    }
    if (op == "cross_cond") {
        std::string age = "CASE WHEN k14 = 2 AND v14 < 20 THEN 'age<20'";
        for (int a = 20; a < 100; a += 10) {
            age += " WHEN k14 = 2 AND v14 BETWEEN " + num(a) + " AND " + num(a + 9) + " THEN 'age" +
                   num(a) + "'";
        }
        age += " WHEN k14 = 2 AND v14 >= 100 THEN 'age100+' ELSE 'other' END";
        const std::string region =
            "CASE WHEN k11 = 1 THEN 'blank' WHEN k11 = 0 THEN 'error' WHEN v11 = '01' THEN "
            "'hokkaido' WHEN v11 BETWEEN '02' AND '07' THEN 'tohoku' WHEN v11 BETWEEN '08' AND "
            "'14' THEN 'kanto' WHEN v11 BETWEEN '15' AND '23' THEN 'chubu' WHEN v11 BETWEEN '24' "
            "AND '30' THEN 'kinki' WHEN v11 BETWEEN '31' AND '35' THEN 'chugoku' WHEN v11 "
            "BETWEEN '36' AND '39' THEN 'shikoku' WHEN v11 BETWEEN '40' AND '47' THEN 'kyushu' "
            "WHEN v11 = '99' THEN 'abroad' END";
        return query("SELECT " + age + ", " + region + ", count(*) FROM t GROUP BY 1, 2", rows_);
    }
    if (op == "molap_2x2")
        return molap({kPrefecture, kGender}, {kOccupation, kSatisfaction}, rows_);
    if (op == "molap_5x5") {
        return molap({kGender, kMarried, kChildren, kHousing, kCar},
                     {kSmoking, kDrinking, kExercise, kSatisfaction, kAnswerDate}, rows_);
    }
    if (op == "drill") {
        return query(
            "SELECT count(*) FROM t WHERE k11 = 2 AND v11 = '13' AND k1 = 2 AND v1 = '1' AND "
            "k10 = 2 AND v10 = '1' AND k9 = 2 AND v9 = '1'",
            rows_);
    }
    error_ = "unknown operation";
    return false;
}

bool SqliteSide::answer(std::string_view op, Answer& out) {
    out.clear();
    if (op == "build") {
        if (db_ == nullptr && sqlite3_open(dbPath_.c_str(), &db_) != SQLITE_OK) return false;
        std::vector<Row> rows;
        if (!query("SELECT count(*) FROM t", rows)) return false;
        out.row() << "records" << rows[0][0].text();
        for (int i = 0; i < kItemCount; ++i) {
            const std::string from = isMulti(i) ? "a" + num(i) : "t";
            const std::string kk = isMulti(i) ? "k" : k(i), vv = isMulti(i) ? "v" : v(i);
            if (!query("SELECT count(*), total(" + kk + " = 0), total(" + kk +
                           " = 1), count(DISTINCT " + vv + ") FROM " + from,
                       rows)) {
                return false;
            }
            out.row() << i << "values" << rows[0][0].text();
            out.row() << i << "errors" << rows[0][1].integer();
            out.row() << i << "blanks" << rows[0][2].integer();
            out.row() << i << "distinct" << rows[0][3].text();
        }
        return true;
    }
    if (op == "open") {
        std::vector<Row> rows;
        if (!query("SELECT count(*) FROM t", rows)) return false;
        out.row() << "records" << rows[0][0].text();
        return true;
    }
    if (op == "search1" || op == "search3" || op == "recount") {
        out.row() << "records" << perItem_[kItemCount][0][0].text();
        for (int i = 0; i < kItemCount; ++i)
            for (const Row& r : perItem_[static_cast<std::size_t>(i)])
                out.row() << i << key(r[0], r[1]) << r[2].text();
        return true;
    }
    if (op.starts_with("set_") || op == "drill") {
        out.row() << "records" << rows_[0][0].text();
        return true;
    }
    if (op == "stats") {
        for (const Row& r : rows_) {
            const double n = static_cast<double>(r[1].integer());
            const double sum = std::get<double>(r[2].v);
            out.row() << r[0].text() << "sum" << sum;
            out.row() << r[0].text() << "mean" << sum / n;
            out.row() << r[0].text() << "sd" << std::sqrt(std::get<double>(r[4].v) / n);
        }
        return true;
    }
    if (op == "cross_count" || op == "cross_sum" || op == "cross_pct") {
        for (const Row& r : rows_) {
            out.row() << key(r[0], r[1]) << key(r[2], r[3]);
            for (std::size_t c = 4; c < r.size(); ++c)
                out << r[c].text();
        }
        return true;
    }
    if (op == "cross_cond") {
        for (const Row& r : rows_)
            out.row() << r[0].text() << r[1].text() << r[2].text();
        return true;
    }
    if (op == "molap_2x2" || op == "molap_5x5") {
        for (const Row& r : rows_) {
            const std::size_t keys = r.size() - 4;
            if (r[keys].integer() == 0) continue;
            out.row();
            for (std::size_t c = 0; c < keys; c += 2)
                out << key(r[c], r[c + 1]);
            out << r[keys].text() << r[keys + 1].text() << r[keys + 2].text() << r[keys + 3].text();
        }
        return true;
    }
    return false;
}

}  // namespace zbq::bench
