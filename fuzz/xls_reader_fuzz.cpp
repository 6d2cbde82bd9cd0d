// A .xls workbook from the fuzzer, read whole as the import reads it: a compound file through
// WorkbookReader::open, any other bytes as the workbook stream inside one, so that the record
// walk is reached without a valid compound file around it.
#include <cstring>

#include "fuzz/workbook_fuzz_support.h"
#include "platform/workbook/workbook_reader_xls.h"

// libgsf leaks a directory entry (under 200 bytes) on some damaged compound files, inside
// gsf_infile_msole_new; here it would end every run. The fast unwinder stops at glib's
// allocator, which nothing but libgsf calls in this target.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libgsf-1.so\nleak:libglib-2.0.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace zbq::workbook;
    static constexpr unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    ReadFailure failure;
    std::unique_ptr<WorkbookReader> book;
    if (size >= 8 && std::memcmp(data, kCompound, 8) == 0) {
        zbq::fuzz::MemoryFile file(data, size);
        book = WorkbookReader::open(file.path(), ReadStage::ListSheets, &failure);
    } else {
        book = detail::openXlsStream(std::string(reinterpret_cast<const char*>(data), size),
                                     "book.xls", ReadStage::ListSheets, &failure);
    }
    if (!book) return zbq::fuzz::checkRefusal(failure, ReadStage::ListSheets), 0;
    for (std::size_t s = 0; s < book->sheets().size(); ++s) {
        failure = {};
        auto sheet = book->openSheet(s, ReadStage::ReadData, &failure);
        if (!sheet) {
            zbq::fuzz::checkRefusal(failure, ReadStage::ReadData);
            continue;
        }
        // A few cells far apart make a range of millions of blank ones, all handed out: the
        // rows are read until some millions of cells have been, which every record path meets.
        const UsedRange range = sheet->usedRange();
        uint32_t expected = range.firstRow;
        const std::size_t width = range.empty() ? 0 : range.lastColumn - range.firstColumn + 1;
        std::size_t cells = 0;
        const bool read = sheet->readRows(
            1, 1048576, ReadStage::ReadData,
            [&](const RangeRow& row) {
                zbq::fuzz::check(row.row == expected++ && row.cells.size() == width);
                return (cells += width) < (std::size_t{1} << 20);
            },
            &failure);
        if (!read) zbq::fuzz::checkRefusal(failure, ReadStage::ReadData);
    }
    return 0;
}
