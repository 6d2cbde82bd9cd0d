// The program directory: where ZBQ.ini, ZBQ_Error.log, the help file and temp/ live. It is the
// folder of the running executable; the environment variable ZBQ_PROGRAM_DIR overrides it (tests
// point it at a folder of their own). Paths are in the operating system's encoding (UTF-8).
#pragma once

#include <string>

namespace zbq {

// Without a trailing slash. Thread-safe.
std::string programDir();

// The running executable's file path ("/proc/self/exe" resolved); empty when unknown.
std::string executablePath();

}  // namespace zbq
