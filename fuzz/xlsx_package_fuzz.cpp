// A whole workbook package from the fuzzer: every sheet read through, or the file refused.
#include <cstring>

#include "fuzz/workbook_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Only zip packages: a compound file is read by a child process, another target's matter.
    if (size < 4 || std::memcmp(data, "PK\3\4", 4) != 0) return 0;
    zbq::fuzz::MemoryFile file(data, size);
    zbq::fuzz::readEverySheet(file.path());
    return 0;
}
