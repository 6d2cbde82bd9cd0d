// The SQLite side of the comparison: the questionnaire loaded from its text into a table
// through the C library, in-process, and every operation as the SQL a user would write, set up
// as such a user would: the indexes these queries want, the query connection's settings chosen
// by measurement, statements prepared once before they are timed.
//
// Table t: rowid = record number + 1; for item i a value column v<i> (INTEGER for Integer, Date
// as yyyymmdd and Time as hhmmss; REAL for Float; TEXT codes; BLOB texts, CP932 bytes) that is
// NULL for blanks and errors, and a kind column k<i> (0 error, 1 blank, 2 value). A MultiAns
// item i has the table a<i>(rec, v, k), one row per answer, indexed by rec. Sets are temporary
// tables of rowids.
//
// build writes <work>/bench.sqlite (journal and sync off, as for a bulk load); open copies
// it into an in-memory database, on which every query then runs.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/compare/side.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zbq::bench {

class SqliteSide : public Side {
public:
    SqliteSide(std::string source, std::string workDir);
    ~SqliteSide() override;

    bool has(std::string_view op) const override;
    bool setup(std::string_view op) override;
    bool run(std::string_view op) override;
    bool answer(std::string_view op, Answer& out) override;

    const std::string& lastError() const { return error_; }

    struct Value;  // one result cell
    using Row = std::vector<Value>;

    // A prepared statement, finalized with its owner.
    class Statement {
    public:
        Statement() = default;
        Statement(Statement&& other) noexcept : s_(other.s_) { other.s_ = nullptr; }
        Statement& operator=(Statement&&) = delete;
        ~Statement();
        sqlite3_stmt* get() const { return s_; }
        sqlite3_stmt** out() { return &s_; }

    private:
        sqlite3_stmt* s_ = nullptr;
    };

private:
    bool exec(const std::string& sql);
    bool prepare(const std::string& sql, Statement& st);
    bool step(Statement& st, std::vector<Row>& rows);
    bool query(const std::string& sql, std::vector<Row>& rows);
    bool load();
    bool open();
    void close();
    bool prepareFor(std::string_view op);

    std::string source_;
    std::string dbPath_;
    sqlite3* db_ = nullptr;  // the in-memory copy after open; the file while building
    std::string error_;
    bool setsMade_ = false;  // the temporary tables of sets A and B exist on db_

    // The statements of each query operation, prepared on db_ before the operation is timed.
    std::map<std::string, std::vector<Statement>, std::less<>> prepared_;
    // The rows of each statement of the last run, formatted by answer().
    std::vector<std::vector<Row>> results_;
};

}  // namespace zbq::bench
