// Locating the program directory.
#include "program_paths.h"

#include <unistd.h>

#include <cstdlib>

namespace zbq {

std::string executablePath() {
    std::string buf(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buf.size()) return {};
    buf.resize(static_cast<std::size_t>(n));
    return buf;
}

std::string programDir() {
    if (const char* dir = std::getenv("ZBQ_PROGRAM_DIR"); dir && *dir) {
        std::string d = dir;
        while (d.size() > 1 && d.back() == '/') d.pop_back();
        return d;
    }
    std::string exe = executablePath();
    auto slash = exe.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : exe.substr(0, slash);
}

}  // namespace zbq
