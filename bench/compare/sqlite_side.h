// The SQLite side of the comparison: the questionnaire loaded from its text into a table
// through the C library, in-process, and every operation as the SQL a user would write.
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

#include <memory>
#include <string>
#include <vector>

#include "bench/compare/side.h"

struct sqlite3;

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

private:
    bool exec(const std::string& sql);
    bool query(const std::string& sql, std::vector<Row>& rows);
    bool load();
    bool open();
    bool valueCounts(const std::string& where, std::vector<std::vector<Row>>& perItem);
    bool molap(const std::vector<int>& xItems, const std::vector<int>& yItems,
               std::vector<Row>& rows);

    std::string source_;
    std::string dbPath_;
    sqlite3* db_ = nullptr;  // the in-memory copy after open; the file while building
    std::string error_;

    // Raw results of the last run, formatted by answer().
    std::vector<Row> rows_;
    std::vector<std::vector<Row>> perItem_;
};

}  // namespace zbq::bench
