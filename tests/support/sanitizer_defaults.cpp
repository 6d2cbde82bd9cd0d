// Compiled into every test program: the leak checker's suppressions, so that every way of
// running a test (ctest, the binary by hand, a debugger) reports the same leaks.
//
// Only allocations that system libraries keep for the life of the process are suppressed.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libfreetype\n"
           "leak:libglib\n"
           "leak:libdbus\n";
}
