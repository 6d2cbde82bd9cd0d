// A .xls file from the fuzzer: its Workbook stream taken out by libgsf and walked for formula
// results, and the bytes themselves walked as a Workbook stream. Both run in the .xls reader's
// child process; here in-process, so that the sanitizers see them.
#include <string>
#include <string_view>

#include "platform/workbook/workbook_reader_xls_formulas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zbq::workbook::detail::formulaResults(bytes);
    std::string stream;
    if (zbq::workbook::detail::readWorkbookStreamFromMemory(bytes, stream))
        zbq::workbook::detail::formulaResults(stream);
    return 0;
}
