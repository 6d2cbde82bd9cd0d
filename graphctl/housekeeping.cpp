// Paths, file tests and lock files of the graph control.
#include "housekeeping.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zbq::grafvik {

std::string fileNameFromPath(std::string_view path) {
    if (path.empty()) return {};
    std::size_t slash = path.substr(0, path.size() - 1).rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string xlsTwin(std::string_view path) {
    std::string_view stem = path.size() >= 3 ? path.substr(0, path.size() - 3) : std::string_view{};
    return std::string(stem) + "xls";
}

bool fileExists(std::string_view path) {
    std::string p(path);
    if (!p.empty() && p.back() == '/') p.pop_back();
    if (p.empty()) return false;
    int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

bool openInSpreadsheet(std::string_view path) {
    std::string name = fileNameFromPath(path);
    if (name.empty() || name.back() == '/') return false;
    std::string folder(path.substr(0, path.size() - name.size()));
    struct stat st;
    for (const std::string& lock : {folder + ".~lock." + name + "#", folder + "~$" + name})
        if (::lstat(lock.c_str(), &st) == 0) return true;
    return false;
}

}  // namespace zbq::grafvik
