// The SQLite side: the connection, the SQL of every operation, and its answers.
#include "bench/compare/sqlite_side.h"

#include <sqlite3.h>

#include <cmath>
#include <variant>

#include "bench/compare/sqlite_columns.h"

namespace zbq::bench {

struct SqliteSide::Value {
    std::variant<std::monostate, std::int64_t, double, std::string> v;
    bool null() const { return std::holds_alternative<std::monostate>(v); }
    std::int64_t integer() const {
        if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
        if (auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
        return 0;
    }
    double real() const {
        if (auto* d = std::get_if<double>(&v)) return *d;
        return static_cast<double>(integer());
    }
    std::string text() const {
        if (auto* i = std::get_if<std::int64_t>(&v)) return fmt(*i);
        if (auto* d = std::get_if<double>(&v)) return fmt(*d);
        if (auto* s = std::get_if<std::string>(&v)) return *s;
        return "-";
    }
};

SqliteSide::Statement::~Statement() {
    sqlite3_finalize(s_);
}

namespace {

using sqlcol::isMulti;
using sqlcol::k;
using sqlcol::num;
using sqlcol::v;

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

const std::string kSearch1 = "k1 = 2 AND v1 = '1'";
const std::string kSearch3 =
    "(k14 = 2 AND v14 >= 40 AND k15 = 2 AND v15 < 60.5) OR rowid IN "
    "(SELECT rec FROM a12 WHERE k = 2 AND v = '3')";
const std::string kInA = "rowid IN (SELECT r FROM sa)";

// Every item's value counts of the records `where` selects, then their number. Each is a scan
// of half the table or more: left to itself the planner walks a cross tabulation's index to
// have the groups in order and looks every record up from there, four times slower.
std::vector<std::string> valueCounts(const std::string& where) {
    const std::string t = "t NOT INDEXED";
    std::vector<std::string> sql;
    for (int i = 0; i < kItemCount; ++i) {
        sql.push_back(isMulti(i) ? "SELECT k, v, count(*) FROM a" + num(i) +
                                       " WHERE rec IN (SELECT rowid FROM " + t + " WHERE " + where +
                                       ") GROUP BY 1, 2"
                                 : "SELECT " + k(i) + ", " + v(i) + ", count(*) FROM " + t +
                                       " WHERE " + where + " GROUP BY 1, 2");
    }
    sql.push_back("SELECT count(*) FROM " + t + " WHERE " + where);
    return sql;
}

// The aggregation with subtotals over every pair of key prefixes: one grouping at the finest
// level (materialized once; q<l> and x<l> are level l's kind and value), every coarser line
// grouped from its far fewer rows. Columns: kind
// and value of each X level, then of each Y level (NULL, NULL for a total level), then count,
// sum of scores, youngest and oldest age.
std::string molap(const std::vector<int>& xItems, const std::vector<int>& yItems) {
    std::vector<int> levels = xItems;
    levels.insert(levels.end(), yItems.begin(), yItems.end());
    std::string finest, group, valid;
    for (std::size_t l = 0; l < levels.size(); ++l) {
        const int i = levels[l];
        // The answer date by half year: January to June 1, July to December 2.
        const std::string value = i == kAnswerDate ? "((v18 / 100) % 100 - 1) / 6 + 1" : v(i);
        finest += k(i) + " AS q" + num(static_cast<int>(l)) + ", " + value + " AS x" +
                  num(static_cast<int>(l)) + ", ";
        group += (group.empty() ? "" : ", ") + num(static_cast<int>(2 * l + 1)) + ", " +
                 num(static_cast<int>(2 * l + 2));
        valid += (valid.empty() ? "" : " AND ") + k(i) + " <> 0";
    }
    std::string sql = "WITH f AS MATERIALIZED (SELECT " + finest +
                      "count(*) AS n, total(v15) AS s, min(v14) AS lo, max(v14) AS hi FROM t "
                      "WHERE " +
                      valid + " GROUP BY " + group + ") ";
    const int nx = static_cast<int>(xItems.size()), ny = static_cast<int>(yItems.size());
    bool first = true;
    for (int xp = nx; xp >= 0; --xp) {
        for (int yp = ny; yp >= 0; --yp) {
            std::string select, by;
            for (int l = 0; l < nx + ny; ++l) {
                if (l < xp || (l >= nx && l - nx < yp)) {
                    const std::string pair = "q" + num(l) + ", x" + num(l);
                    select += pair + ", ";
                    by += (by.empty() ? "" : ", ") + pair;
                } else {
                    select += "NULL, NULL, ";
                }
            }
            sql += first ? "" : " UNION ALL ";
            first = false;
            if (xp == nx && yp == ny) {
                sql += "SELECT " + select + "n, s, lo, hi FROM f";
            } else {
                sql += "SELECT " + select + "sum(n), sum(s), min(lo), max(hi) FROM f" +
                       (by.empty() ? "" : " GROUP BY " + by);
            }
        }
    }
    return sql;
}

std::string crossCondition() {
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
    return "SELECT " + age + ", " + region + ", count(*) FROM t GROUP BY 1, 2";
}

// The statements of a query operation; empty for build, open and an unknown id.
std::vector<std::string> statementsOf(std::string_view op) {
    if (op == "search1") return valueCounts(kSearch1);
    if (op == "search3") return valueCounts(kSearch3);
    if (op == "recount") return valueCounts(kInA);
    if (op == "set_product")
        return {"SELECT count(*) FROM (SELECT r FROM sa INTERSECT SELECT r FROM sb)"};
    if (op == "set_union")
        return {"SELECT count(*) FROM (SELECT r FROM sa UNION SELECT r FROM sb)"};
    if (op == "set_difference")
        return {"SELECT count(*) FROM (SELECT r FROM sa EXCEPT SELECT r FROM sb)"};
    if (op == "set_complement") {
        // In rowid order, as the table lies; walking an index instead meets the rowids out of
        // order and searches the set ten times as slowly.
        return {"SELECT count(*) FROM t NOT INDEXED WHERE rowid NOT IN (SELECT r FROM sa)"};
    }
    if (op == "stats") {
        // Population deviation in two passes, as numerically careful SQL does it.
        std::string sql;
        for (const int i : {kAge, kScore}) {
            const std::string in = " FROM t WHERE " + k(i) + " = 2 AND " + kInA;
            sql += (sql.empty() ? "" : " UNION ALL ") + std::string("SELECT ") + num(i) +
                   ", a.n, a.s, (SELECT total((" + v(i) + " - a.m) * (" + v(i) + " - a.m))" + in +
                   ") FROM (SELECT count(" + v(i) + ") n, total(" + v(i) + ") s, avg(" + v(i) +
                   ") m" + in + ") a";
        }
        return {sql};
    }
    if (op == "cross_count")
        return {"SELECT k14, v14, k11, v11, count(*) FROM t GROUP BY 1, 2, 3, 4"};
    if (op == "cross_sum") {
        return {
            "SELECT k14, v14, k11, v11, count(v15), total(v15) FROM t GROUP BY 1, 2, 3, 4 "
            "HAVING count(v15) > 0"};
    }
    if (op == "cross_pct") {
        return {
            "WITH c AS (SELECT k10 kx, v10 x, k11 ky, v11 y, v14 z, count(*) n FROM t WHERE k14 "
            "= 2 GROUP BY 1, 2, 3, 4, 5), w AS (SELECT kx, x, ky, y, z, sum(n) OVER (PARTITION "
            "BY kx, x, ky, y ORDER BY z DESC ROWS UNBOUNDED PRECEDING) cum, sum(n) OVER "
            "(PARTITION BY kx, x, ky, y) tot FROM c) SELECT kx, x, ky, y, max(z) FROM w WHERE "
            "cum * 100 >= 50 * tot GROUP BY 1, 2, 3, 4"};
    }
    if (op == "cross_cond") return {crossCondition()};
    if (op == "molap_2x2") return {molap({kPrefecture, kGender}, {kOccupation, kSatisfaction})};
    if (op == "molap_5x5") {
        return {molap({kGender, kMarried, kChildren, kHousing, kCar},
                      {kSmoking, kDrinking, kExercise, kSatisfaction, kAnswerDate})};
    }
    if (op == "drill") {
        return {
            "SELECT count(*) FROM t WHERE k11 = 2 AND v11 = '13' AND k1 = 2 AND v1 = '1' AND "
            "k10 = 2 AND v10 = '1' AND k9 = 2 AND v9 = '1'"};
    }
    return {};
}

}  // namespace

SqliteSide::SqliteSide(std::string source, std::string workDir)
    : source_(std::move(source)), dbPath_(std::move(workDir) + "/bench.sqlite") {}

SqliteSide::~SqliteSide() {
    close();
}

bool SqliteSide::has(std::string_view) const {
    return true;
}

void SqliteSide::close() {
    prepared_.clear();  // statements are finalized before their connection closes
    setsMade_ = false;
    sqlite3_close(db_);
    db_ = nullptr;
}

bool SqliteSide::exec(const std::string& sql) {
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) == SQLITE_OK) return true;
    error_ = (msg != nullptr ? msg : "?") + std::string(" in: ") + sql.substr(0, 200);
    sqlite3_free(msg);
    return false;
}

bool SqliteSide::prepare(const std::string& sql, Statement& st) {
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, st.out(), nullptr) == SQLITE_OK) return true;
    error_ = sqlite3_errmsg(db_) + std::string(" in: ") + sql.substr(0, 200);
    return false;
}

bool SqliteSide::step(Statement& st, std::vector<Row>& rows) {
    rows.clear();
    sqlite3_stmt* s = st.get();
    const int n = sqlite3_column_count(s);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        Row& row = rows.emplace_back(static_cast<std::size_t>(n));
        for (int c = 0; c < n; ++c) {
            Value& cell = row[static_cast<std::size_t>(c)];
            switch (sqlite3_column_type(s, c)) {
                case SQLITE_INTEGER:
                    cell.v = sqlite3_column_int64(s, c);
                    break;
                case SQLITE_FLOAT:
                    cell.v = sqlite3_column_double(s, c);
                    break;
                case SQLITE_NULL:
                    break;
                default: {
                    const auto* p = static_cast<const char*>(sqlite3_column_blob(s, c));
                    cell.v = std::string(p != nullptr ? p : "",
                                         static_cast<std::size_t>(sqlite3_column_bytes(s, c)));
                }
            }
        }
    }
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

bool SqliteSide::query(const std::string& sql, std::vector<Row>& rows) {
    Statement st;
    return prepare(sql, st) && step(st, rows);
}

bool SqliteSide::open() {
    close();
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
    if (!ok) {
        error_ = "cannot copy " + dbPath_ + " into memory";
        return false;
    }
    // The settings measured best for these queries on the in-memory copy: temporary sort trees
    // in files (which the system keeps in memory anyway) with the default page cache. Trees in
    // memory (temp_store = MEMORY) made the groupings twice as slow, a 1 GB cache a little
    // slower. One thread, as every side runs.
    return exec("PRAGMA temp_store = FILE; PRAGMA threads = 0;");
}

bool SqliteSide::prepareFor(std::string_view op) {
    if (prepared_.find(op) != prepared_.end()) return true;
    const std::vector<std::string> sql = statementsOf(op);
    if (sql.empty()) {
        error_ = "unknown operation";
        return false;
    }
    std::vector<Statement> statements(sql.size());
    for (std::size_t i = 0; i < sql.size(); ++i)
        if (!prepare(sql[i], statements[i])) return false;
    prepared_.emplace(std::string(op), std::move(statements));
    return true;
}

bool SqliteSide::setup(std::string_view op) {
    if (op == "build") {
        close();
        return true;
    }
    if (op == "open") return true;
    if (db_ == nullptr && !open()) return false;
    if ((op.starts_with("set_") || op == "recount" || op == "stats") && !setsMade_) {
        // The stored sets: A = men, B = aged 40 or more. Made once: remaking them would make
        // SQLite prepare every statement that reads them again.
        if (!exec("CREATE TEMP TABLE sa(r INTEGER PRIMARY KEY);"
                  "CREATE TEMP TABLE sb(r INTEGER PRIMARY KEY);"
                  "INSERT INTO sa SELECT rowid FROM t WHERE k1 = 2 AND v1 = '1';"
                  "INSERT INTO sb SELECT rowid FROM t WHERE k14 = 2 AND v14 >= 40;")) {
            return false;
        }
        setsMade_ = true;
    }
    return prepareFor(op);
}

bool SqliteSide::run(std::string_view op) {
    if (op == "build") return load();
    if (op == "open") return open();
    const auto it = prepared_.find(op);
    if (it == prepared_.end()) {
        error_ = "not prepared";
        return false;
    }
    results_.resize(it->second.size());
    for (std::size_t i = 0; i < it->second.size(); ++i)
        if (!step(it->second[i], results_[i])) return false;
    return true;
}

bool SqliteSide::answer(std::string_view op, Answer& out) {
    out.clear();
    if (op == "build") {
        if (db_ == nullptr &&
            sqlite3_open_v2(dbPath_.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            error_ = "cannot open " + dbPath_;
            return false;
        }
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
    if (results_.empty() || results_[0].empty()) {
        error_ = "no result";
        return false;
    }
    if (op == "search1" || op == "search3" || op == "recount") {
        out.row() << "records" << results_[kItemCount][0][0].text();
        for (int i = 0; i < kItemCount; ++i)
            for (const Row& r : results_[static_cast<std::size_t>(i)])
                out.row() << i << key(r[0], r[1]) << r[2].text();
        return true;
    }
    const std::vector<Row>& rows = results_[0];
    if (op.starts_with("set_") || op == "drill") {
        out.row() << "records" << rows[0][0].text();
        return true;
    }
    if (op == "stats") {
        for (const Row& r : rows) {
            const double n = r[1].real(), sum = r[2].real();
            out.row() << r[0].text() << "sum" << sum;
            out.row() << r[0].text() << "mean" << sum / n;
            out.row() << r[0].text() << "sd" << std::sqrt(r[3].real() / n);
        }
        return true;
    }
    if (op == "cross_count" || op == "cross_sum" || op == "cross_pct") {
        for (const Row& r : rows) {
            out.row() << key(r[0], r[1]) << key(r[2], r[3]);
            for (std::size_t c = 4; c < r.size(); ++c)
                out << r[c].text();
        }
        return true;
    }
    if (op == "cross_cond") {
        for (const Row& r : rows)
            out.row() << r[0].text() << r[1].text() << r[2].text();
        return true;
    }
    if (op == "molap_2x2" || op == "molap_5x5") {
        for (const Row& r : rows) {
            const std::size_t keys = r.size() - 4;
            if (r[keys].integer() == 0) continue;
            out.row();
            for (std::size_t c = 0; c < keys; c += 2)
                out << key(r[c], r[c + 1]);
            out << r[keys].text() << r[keys + 1].real() << r[keys + 2].text() << r[keys + 3].text();
        }
        return true;
    }
    return false;
}

}  // namespace zbq::bench
