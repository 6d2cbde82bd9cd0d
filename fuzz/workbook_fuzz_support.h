// What the workbook targets share: the input as a file the reader can open, and the reading of
// every sheet with the invariant every reading keeps: the file is read whole, each row of the
// used range handed out once with every column, or refused with a failure that has its message.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/workbook/workbook_reader.h"

namespace zbq::fuzz {

// The bytes as an unnamed file in memory, opened by its /proc path; closed when it goes.
class MemoryFile {
public:
    MemoryFile(const uint8_t* data, std::size_t size) {
        fd_ = ::memfd_create("workbook", 0);
        if (fd_ < 0) std::abort();
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::write(fd_, data + done, size - done);
            if (n <= 0) std::abort();
            done += static_cast<std::size_t>(n);
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

inline void check(bool ok) {
    if (!ok) std::abort();
}

// A refusal names what went wrong and has the system's message.
inline void checkRefusal(const workbook::ReadFailure& failure, workbook::ReadStage stage) {
    check(failure.error != workbook::ReadError::None);
    check(failure.stage == stage);
    check(!workbook::readFailureMessage(failure, "book.xlsx").empty());
}

// Opens the workbook and reads every sheet through, as the import does.
inline void readEverySheet(const std::string& path) {
    using namespace workbook;
    ReadFailure failure;
    auto book = WorkbookReader::open(path, ReadStage::ListSheets, &failure);
    if (!book) return checkRefusal(failure, ReadStage::ListSheets);
    for (std::size_t s = 0; s < book->sheets().size(); ++s) {
        failure = {};
        auto sheet = book->openSheet(s, ReadStage::ReadData, &failure);
        if (!sheet) {
            checkRefusal(failure, ReadStage::ReadData);
            continue;
        }
        const UsedRange range = sheet->usedRange();
        uint32_t expected = range.firstRow;
        const uint32_t width = range.empty() ? 0 : range.lastColumn - range.firstColumn + 1;
        auto sink = [&](const RangeRow& row) {
            check(!range.empty() && row.row == expected && row.cells.size() == width);
            ++expected;
            return true;
        };
        if (!sheet->readRows(1, 1048576, ReadStage::ReadData, sink, &failure)) {
            checkRefusal(failure, ReadStage::ReadData);
            continue;
        }
        check(range.empty() || expected == range.lastRow + 1);
        // Read again with the scan it found: the same sheet of the same file agrees with it.
        failure = {};
        auto again = book->openSheet(s, ReadStage::ReadData, &failure, sheet->scan());
        check(again != nullptr && again->usedRange() == range);
        expected = range.firstRow;
        check(again->readRows(1, 1048576, ReadStage::ReadData, sink, &failure));
    }
}

}  // namespace zbq::fuzz
