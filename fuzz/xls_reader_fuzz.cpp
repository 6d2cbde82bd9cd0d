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
    if (size >= 8 && std::memcmp(data, kCompound, 8) == 0) {
        zbq::fuzz::MemoryFile file(data, size);
        zbq::fuzz::readEverySheet(file.path());
        return 0;
    }
    ReadFailure failure;
    auto book = detail::openXlsStream(std::string(reinterpret_cast<const char*>(data), size),
                                      "book.xls", ReadStage::ListSheets, &failure);
    if (!book) return zbq::fuzz::checkRefusal(failure, ReadStage::ListSheets), 0;
    for (std::size_t s = 0; s < book->sheets().size(); ++s) {
        failure = {};
        auto sheet = book->openSheet(s, ReadStage::ReadData, &failure);
        if (!sheet) {
            zbq::fuzz::checkRefusal(failure, ReadStage::ReadData);
            continue;
        }
        const UsedRange range = sheet->usedRange();
        uint32_t expected = range.firstRow;
        const std::size_t width = range.empty() ? 0 : range.lastColumn - range.firstColumn + 1;
        const bool read = sheet->readRows(
            1, 1048576, ReadStage::ReadData,
            [&](const RangeRow& row) {
                zbq::fuzz::check(row.row == expected++ && row.cells.size() == width);
                return true;
            },
            &failure);
        if (!read) zbq::fuzz::checkRefusal(failure, ReadStage::ReadData);
    }
    return 0;
}
