// Writing one table into a workbook row by row, for exports too large to describe in memory
// first: libxlsxwriter in its constant-memory mode, so only the row being written is held.
//
// Rows come in order, cells left to right within a row; a cell is text (UTF-8), a number with
// the form it is shown in, or left empty. The workbook is written to a temporary file beside the
// target and renamed over it at commit(); anything short of a commit (a failure, the object
// going away) leaves whatever was at the target as it was. A shape the sheet cannot hold (more
// than kMaxRows rows or kMaxColumns columns) is refused by open() before any file is made.
// The library's own scratch files go to the target's folder and vanish in every case.
//
// One writer writes one file; not shared between threads. Failures are values: every call
// returns false from the first failure on, and error() says what it was.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zbq::workbook {

// How a number cell is shown: its decimal places and whether thousands are grouped with ",".
struct NumberForm {
    std::int32_t decimals = 0;
    bool grouped = false;
};

class XlsxRowWriter {
public:
    static constexpr std::uint64_t kMaxRows = 1048576;
    static constexpr std::uint64_t kMaxColumns = 16384;
    static bool fits(std::uint64_t rows, std::uint64_t columns) {
        return rows <= kMaxRows && columns <= kMaxColumns;
    }

    explicit XlsxRowWriter(std::string targetPath);
    ~XlsxRowWriter();
    XlsxRowWriter(const XlsxRowWriter&) = delete;
    XlsxRowWriter& operator=(const XlsxRowWriter&) = delete;

    // Checks the shape and that the target may be written, and starts the workbook in a
    // temporary beside it. `rows` and `columns` bound what may be added.
    bool open(std::uint64_t rows, std::uint64_t columns);
    // The next cell of the current row.
    bool addText(std::string_view utf8);
    bool addNumber(double value, NumberForm form);
    bool addEmpty();
    // Ends the current row; the next cell starts the following one.
    bool endRow();
    // Finishes the workbook and renames it over the target.
    bool commit();

    const std::string& error() const { return error_; }

private:
    struct State;
    bool fail(std::string message);
    bool nextCell();

    std::string target_;
    std::unique_ptr<State> state_;
    std::string error_;
};

// True when a spreadsheet program has the file open: the lock file ".~lock.<name>#" that such
// programs leave beside a file they edit is there.
bool heldBySpreadsheet(const std::string& path);

}  // namespace zbq::workbook
