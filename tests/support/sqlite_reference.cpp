// Copies the fixture's image of a data file into SQLite.
#include "tests/support/sqlite_reference.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <span>

#include "platform/core/cp932.h"

namespace zbq::test {

namespace {

void exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << (message ? message : "?");
        sqlite3_free(message);
    }
}

void containsFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* t = static_cast<const char*>(sqlite3_value_blob(argv[0]));
    const std::string_view text(t ? t : "", static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
    const auto* p = static_cast<const char*>(sqlite3_value_blob(argv[1]));
    const std::string_view pattern(p ? p : "",
                                   static_cast<std::size_t>(sqlite3_value_bytes(argv[1])));
    sqlite3_result_int(ctx, !text.empty() && !pattern.empty() &&
                                cp932::find(text, pattern) != std::string_view::npos);
}

std::string poolText(std::span<const char> pool, std::int32_t offset) {
    if (offset < 0 || static_cast<std::size_t>(offset) >= pool.size()) return {};
    return std::string(pool.data() + offset, ::strnlen(pool.data() + offset, pool.size() - offset));
}

// Binds position p's value (and display name) of an item to the statement's parameters.
void bindValue(sqlite3_stmt* st, int column, const kw::ItemBlock& item, std::int32_t p) {
    const KW_dict& d = item.dict[static_cast<std::size_t>(p)];
    sqlite3_bind_int(st, column + 1, p < 2 ? p : 2);
    sqlite3_bind_int(st, column + 2, p);
    if (p < 2) {
        sqlite3_bind_null(st, column);
        if (item.hasCodes()) sqlite3_bind_null(st, column + 3);
        return;
    }
    if (kw::isIntegerType(item.def.type)) {
        sqlite3_bind_int(st, column, d.high);
    } else if (item.def.type == KW_TYPE_FLOAT) {
        sqlite3_bind_double(st, column, d.asDouble());
    } else {
        const std::string text = poolText(item.strings, d.high);
        sqlite3_bind_blob(st, column, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    if (item.hasCodes()) {
        const std::string name = poolText(item.names, d.low);
        sqlite3_bind_blob(st, column + 3, name.data(), static_cast<int>(name.size()),
                          SQLITE_TRANSIENT);
    }
}

const char* sqlType(std::int32_t type) {
    if (kw::isIntegerType(type)) return "INTEGER";
    return type == KW_TYPE_FLOAT ? "REAL" : "BLOB";
}

}  // namespace

SqliteReference::SqliteReference(const FixtureTable& table) {
    if (sqlite3_open(":memory:", &db_) != SQLITE_OK) {
        ADD_FAILURE() << "sqlite3_open failed";
        return;
    }
    sqlite3_create_function(db_, "cp932_contains", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            containsFunction, nullptr, nullptr);
    const kw::DataFileContents image = buildContents(table);

    std::string create = "CREATE TABLE t (rec INTEGER PRIMARY KEY";
    std::string insert = "INSERT INTO t VALUES (?";
    for (std::size_t i = 0; i < image.items.size(); ++i) {
        const kw::ItemBlock& item = image.items[i];
        const std::string n = std::to_string(i);
        if (kw::isMultiType(item.def.type)) {
            exec(db_,
                 "CREATE TABLE a" + n + " (rec INTEGER, v BLOB, k INTEGER, p INTEGER, n BLOB)");
            continue;
        }
        create +=
            ", v" + n + " " + sqlType(item.def.type) + ", k" + n + " INTEGER, p" + n + " INTEGER";
        insert += ", ?, ?, ?";
        if (item.hasCodes()) {
            create += ", n" + n + " BLOB";
            insert += ", ?";
        }
    }
    exec(db_, create + ")");
    exec(db_, "BEGIN");

    sqlite3_stmt* row = nullptr;
    sqlite3_prepare_v2(db_, (insert + ")").c_str(), -1, &row, nullptr);
    for (std::int32_t r = 0; r < image.recordCount; ++r) {
        sqlite3_reset(row);
        sqlite3_bind_int(row, 1, r);
        int column = 2;
        for (std::size_t i = 0; i < image.items.size(); ++i) {
            const kw::ItemBlock& item = image.items[i];
            if (kw::isMultiType(item.def.type)) {
                sqlite3_stmt* answer = nullptr;
                const std::string sql =
                    "INSERT INTO a" + std::to_string(i) + " VALUES (?, ?, ?, ?, ?)";
                sqlite3_prepare_v2(db_, sql.c_str(), -1, &answer, nullptr);
                for (std::int32_t k = item.starts[static_cast<std::size_t>(r)];
                     k < item.starts[static_cast<std::size_t>(r) + 1]; ++k) {
                    sqlite3_reset(answer);
                    sqlite3_bind_int(answer, 1, r);
                    bindValue(answer, 2, item, item.values[static_cast<std::size_t>(k)]);
                    if (sqlite3_step(answer) != SQLITE_DONE) ADD_FAILURE() << sqlite3_errmsg(db_);
                }
                sqlite3_finalize(answer);
                continue;
            }
            bindValue(row, column, item, item.values[static_cast<std::size_t>(r)]);
            column += item.hasCodes() ? 4 : 3;
        }
        if (sqlite3_step(row) != SQLITE_DONE) ADD_FAILURE() << sqlite3_errmsg(db_);
    }
    sqlite3_finalize(row);
    exec(db_, "COMMIT");
}

SqliteReference::~SqliteReference() {
    sqlite3_close(db_);
}

std::vector<SqlRow> SqliteReference::query(const std::string& sql) const {
    std::vector<SqlRow> rows;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
        return rows;
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        SqlRow out;
        for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER:
                    out.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(st, c)));
                    break;
                case SQLITE_FLOAT:
                    out.emplace_back(sqlite3_column_double(st, c));
                    break;
                case SQLITE_NULL:
                    out.emplace_back(std::monostate{});
                    break;
                default: {
                    const auto* p = static_cast<const char*>(sqlite3_column_blob(st, c));
                    out.emplace_back(std::string(
                        p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, c))));
                }
            }
        }
        rows.push_back(std::move(out));
    }
    if (rc != SQLITE_DONE) ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
    sqlite3_finalize(st);
    return rows;
}

std::vector<std::int32_t> SqliteReference::records(const std::string& where) const {
    std::vector<std::int32_t> out;
    for (const SqlRow& row : query("SELECT rec FROM t WHERE " + where + " ORDER BY rec"))
        out.push_back(static_cast<std::int32_t>(std::get<std::int64_t>(row[0])));
    return out;
}

}  // namespace zbq::test
