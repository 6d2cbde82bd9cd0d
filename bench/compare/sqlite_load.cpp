// The SQLite side's loader: the questionnaire's text parsed by the engine's rules for each type
// and inserted through prepared statements in one transaction, then indexed.
#include <sqlite3.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "bench/compare/sqlite_columns.h"
#include "bench/compare/sqlite_side.h"

namespace zbq::bench {
namespace {

using sqlcol::isMulti;
using sqlcol::k;
using sqlcol::v;

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

}  // namespace

bool SqliteSide::load() {
    close();
    // Built beside the old database and renamed over it, so a failed build leaves the last one.
    const std::string building = dbPath_ + ".tmp";
    ::unlink(building.c_str());
    if (sqlite3_open(building.c_str(), &db_) != SQLITE_OK) {
        error_ = "cannot create " + building;
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
    if (sqlite3_prepare_v2(db_, (insert + ")").c_str(), -1, row.out(), nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, "INSERT INTO a12 VALUES(?, ?, ?)", -1, answer[0].out(), nullptr) !=
            SQLITE_OK ||
        sqlite3_prepare_v2(db_, "INSERT INTO a13 VALUES(?, ?, ?)", -1, answer[1].out(), nullptr) !=
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
                sqlite3_stmt* a = answer[i == kHobbies ? 0 : 1].get();
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
                sqlite3_bind_null(row.get(), param);
            } else if (item.type == KW_TYPE_FLOAT) {
                sqlite3_bind_double(row.get(), param, p.d);
            } else if (item.type == KW_TYPE_STRING && item.codes.empty()) {
                sqlite3_bind_blob(row.get(), param, f.data(), static_cast<int>(f.size()),
                                  SQLITE_STATIC);
            } else if (item.type == KW_TYPE_STRING) {
                sqlite3_bind_text(row.get(), param, f.data(), static_cast<int>(f.size()),
                                  SQLITE_STATIC);
            } else {
                sqlite3_bind_int64(row.get(), param, p.i);
            }
            sqlite3_bind_int(row.get(), param + 1, p.kind);
            param += 2;
        }
        ok = ok && sqlite3_step(row.get()) == SQLITE_DONE;
        sqlite3_reset(row.get());
    }
    std::free(line);
    std::fclose(in);
    if (!ok) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    // The indexes a user makes for these questions, having read the plans: the answers of a
    // record; the keys of the 2 + 2 aggregation, for its cells and the drill into one of them;
    // the groupings of the cross tabulations. All covering, so they are walked in order. Not the
    // search filters: they select about half the records, which a scan does faster than any index
    // (the searches' counts say NOT INDEXED). No ANALYZE either: with its statistics the planner
    // skip-scans these indexes, three times slower than the scan.
    if (!exec("COMMIT") ||
        !exec("CREATE INDEX a12_rec ON a12(rec); CREATE INDEX a13_rec ON a13(rec);"
              "CREATE INDEX t_cell ON t(k11, v11, k1, v1, k10, v10, k9, v9, v14, v15);"
              "CREATE INDEX t_prefecture_age ON t(k11, v11, k14, v14, v15);"
              "CREATE INDEX t_job_prefecture_age ON t(k10, v10, k11, v11, k14, v14);")) {
        return false;
    }
    close();
    if (::rename(building.c_str(), dbPath_.c_str()) != 0) {
        error_ = "cannot rename " + building + " to " + dbPath_;
        return false;
    }
    return true;
}

}  // namespace zbq::bench
