// Reading workbooks for import: the worksheets of an .xlsx or .xls file, a sheet's used range and
// its rows one at a time as cells. No Qt.
//
// The format is told by the file's signature, never by its name: a zip package is read as
// Office Open XML (libzip + pugixml), a compound file as a BIFF workbook (our BIFF reader over
// libgsf's compound file: workbook_reader_xls.h). Opening an .xlsx reads only the workbook's own
// parts (names, order, visibility, date system); shared strings and styles are read when the
// first sheet is opened, within zip_package.h's limits; a worksheet is inflated in chunks and
// scanned as it comes, never held whole. Opening an .xls reads its workbook stream and the
// globals in it (sheets, shared strings, formats); a sheet's cells are read when it is opened.
//
// Every text handed out is CP932 (names, cell texts, format codes). Failures are values: the
// stage that failed, what went wrong and, for a text CP932 cannot hold, the sheet and cell, so
// that the import dialog shows its own message for it (readFailureMessage). A damaged or hostile
// file never reads out of bounds and never crashes; the reader changes nothing on disk.
// One owner; not shared between threads.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/workbook/workbook_cell.h"

namespace zbq::workbook {

// What the caller was doing when reading failed; each stage has its own message.
enum class ReadStage { ListSheets, ReadItems, ReadData };

enum class ReadError {
    None,
    CannotOpen,   // no such file, or not readable
    NotWorkbook,  // neither a zip package nor a compound file, or no workbook inside
    TooOld,       // a .xls workbook older than Excel 5 (BIFF2-BIFF4)
    Damaged,      // truncated, bad XML, a part missing, cells out of order or out of range
    TooLarge,     // a part held whole over zip_package.h's limits
    Encrypted,    // password-protected (a .xls: encrypted, FILEPASS)
    NotCp932,     // a name or cell text CP932 cannot hold (sheet and cell say where)
    NoSuchSheet,  // a sheet index past the list
};

struct ReadFailure {
    ReadStage stage = ReadStage::ListSheets;
    ReadError error = ReadError::None;
    std::string detail;  // for the log: what exactly was wrong (UTF-8)
    std::string sheet;   // CP932; where a text could not be held, else ""
    std::string cell;    // "C12"; where a text could not be held, else ""
};

// The system's message for a failure (CP932): the stage's own message (and for Encrypted and
// TooOld a second line that says why), or for NotCp932
// "シフトJISで表せない文字が含まれています。[file : sheet : cell]" with `fileName` as given
// (CP932).
std::string readFailureMessage(const ReadFailure& failure, const std::string& fileName);

// Called now and then while a long reading goes on (a large part inflated and scanned, the
// rows of a large .xls sheet), on the thread that reads, so that a program with windows keeps
// them alive; none (nullptr) by default. It may run a nested event loop: a caller that can be
// deleted by what that loop dispatches checks that it still exists once the reading returns.
void setReadingPump(void (*pump)());

struct SheetEntry {
    std::string name;  // CP932
    bool hidden = false;
};

// The cells that hold a value, 1-based and inclusive; empty() when the sheet holds none.
struct UsedRange {
    uint32_t firstRow = 0, lastRow = 0;
    uint32_t firstColumn = 0, lastColumn = 0;
    bool empty() const { return firstRow == 0; }
    bool operator==(const UsedRange&) const = default;
    // Widens the range to hold a valued cell; rows come in ascending order.
    void include(uint32_t column, uint32_t row) {
        if (empty()) {
            *this = UsedRange{row, row, column, column};
            return;
        }
        lastRow = row;
        firstColumn = std::min(firstColumn, column);
        lastColumn = std::max(lastColumn, column);
    }
};

// What a scan of one sheet found (its used range and merged cells) and which file, as it was
// then, it was found in. Handed back to openSheet for the same sheet it spares the scan: the
// pass that reads then learns the range again as it goes, reads to the end of the sheet, and
// fails as Damaged where the sheet no longer agrees. A file changed since is scanned afresh.
struct SheetScan;
using KnownScan = std::shared_ptr<const SheetScan>;

// One row of a range, every column present: cells[i] is column firstColumn + i.
struct RangeRow {
    uint32_t row = 0;
    std::vector<ReadCell> cells;
};

class SheetReader {
public:
    virtual ~SheetReader() = default;
    const UsedRange& usedRange() const { return range_; }
    // What this sheet's scan found, for a later openSheet of it; nullptr where the format has
    // no scan to spare.
    const KnownScan& scan() const { return scan_; }
    // Calls `sink` for every row from `firstRow` to `lastRow` within the used range (blank rows
    // included, as empty cells) over the used range's columns, in order; `sink` returns false
    // to stop early. Each call inflates the sheet again from its start and stops after
    // `lastRow`, so a sample near the top is cheap (a sheet opened with a known scan reads on to
    // its end unless `sink` stops it). False with `failure` set (at `stage`) when
    // the sheet turns out damaged on the way, or a text CP932 cannot hold is met; the rows
    // before it have been handed out.
    virtual bool readRows(uint32_t firstRow, uint32_t lastRow, ReadStage stage,
                          const std::function<bool(const RangeRow&)>& sink,
                          ReadFailure* failure) = 0;

protected:
    UsedRange range_;
    KnownScan scan_;
};

class WorkbookReader {
public:
    virtual ~WorkbookReader() = default;
    // Larger files are refused before a byte is read: no workbook an import can take comes
    // near it (a sheet holds at most 1,048,576 rows; a .xls file at most 65,536).
    static constexpr std::uint64_t kMaxFileSize = std::uint64_t{2} << 30;
    // The workbook at `path` (UTF-8), its worksheets listed; nullptr with `failure` set. Only a
    // regular file is read: anything else (a FIFO, a device, a folder) is refused unread.
    static std::unique_ptr<WorkbookReader> open(const std::string& path, ReadStage stage,
                                                ReadFailure* failure);

    // Worksheets in workbook order; chart and dialog sheets are left out, hidden ones listed.
    const std::vector<SheetEntry>& sheets() const { return sheets_; }
    bool date1904() const { return date1904_; }

    // Sheet `index` of sheets(), its used range known (a scan of the whole sheet: a recorded
    // dimension may lie), or taken from `known` where that is this sheet's of this file
    // unchanged. nullptr with `failure` set. The sheet reads through this workbook: it must not
    // outlive it.
    virtual std::unique_ptr<SheetReader> openSheet(std::size_t index, ReadStage stage,
                                                   ReadFailure* failure,
                                                   const KnownScan& known = nullptr) = 0;

protected:
    std::vector<SheetEntry> sheets_;
    bool date1904_ = false;
};

}  // namespace zbq::workbook
