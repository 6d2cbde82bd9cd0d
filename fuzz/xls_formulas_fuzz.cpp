// A .xls file from the fuzzer: its Workbook stream taken out by libgsf and walked for formula
// results, and the bytes themselves walked as a Workbook stream. Both run in the .xls reader's
// child process; here in-process, so that the sanitizers see them.
#include <string>
#include <string_view>

#include "platform/workbook/workbook_reader_xls_formulas.h"

// libgsf leaks a directory entry (under 200 bytes) on some damaged compound files, inside
// gsf_infile_msole_new. The reader's child opens one file and exits, so it costs nothing there;
// here it would end every run. The fast unwinder stops at glib's allocator, which nothing but
// libgsf calls in this target.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libgsf-1.so\nleak:libglib-2.0.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zbq::workbook::detail::formulaResults(bytes);
    std::string stream;
    if (zbq::workbook::detail::readWorkbookStreamFromMemory(bytes, stream))
        zbq::workbook::detail::formulaResults(stream);
    return 0;
}
