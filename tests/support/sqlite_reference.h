// The independent reference for the engine's queries: a fixture table copied into an in-memory
// SQLite database, value for value, from the fixture's own image of the data file (not from the
// engine's loader), so a search, a cross tabulation or an aggregation can be checked against
// the SQL that means the same.
//
// Table t: rowid = record number; for every single-valued item i (from 0) three columns:
//   v<i>  the ordinary value: INTEGER (Integer, Date yyyymmdd, Time hhmmss), REAL (Float) or
//         BLOB (CP932 bytes: the text of a String item, the code text of a Code item); NULL for
//         error and blank;
//   k<i>  the kind: 0 error, 1 blank, 2 ordinary;
//   p<i>  the dictionary position (0 error, 1 blank, 2.. ordinary in ascending order).
// Code items also have n<i>, the display name (BLOB; NULL for error and blank).
// Table a<i> for every MultiAns item i: (rec, v, k, p, n), one row per answer.
// Texts are BLOBs because LIKE folds ASCII case and steps by UTF-8 characters; the function
// cp932_contains(text, pattern) matches at CP932 character starts only, like the engine.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "tests/support/data_file_fixture.h"

struct sqlite3;

namespace zbq::test {

// One result cell: NULL, integer, real or text/blob bytes.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;
using SqlRow = std::vector<SqlValue>;

class SqliteReference {
public:
    explicit SqliteReference(const FixtureTable& table);
    ~SqliteReference();
    SqliteReference(const SqliteReference&) = delete;
    SqliteReference& operator=(const SqliteReference&) = delete;

    sqlite3* db() const { return db_; }
    // Every row of a query; a failing statement fails the current test and gives no rows.
    std::vector<SqlRow> query(const std::string& sql) const;
    // The records (rowids of t, ascending) for which the condition holds.
    std::vector<std::int32_t> records(const std::string& where) const;

private:
    sqlite3* db_ = nullptr;
};

}  // namespace zbq::test
