#include "folders.h"

#include <sys/stat.h>

#include <cerrno>

namespace zbq {

std::string parentFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// One level; the parent exists.
int createOne(const std::string& path) {
    if (::mkdir(path.c_str(), kFolderMode) == 0) {
        // mkdir applies the umask; the mode must not depend on it.
        // A file system without Unix permissions (FAT) refuses with EPERM: no failure.
        return ::chmod(path.c_str(), kFolderMode) == 0 || errno == EPERM ? 0 : errno;
    }
    const int e = errno;
    // Made meanwhile by someone else, or it was there: either is fine when it is a folder.
    if (e == EEXIST) return isFolder(path) ? 0 : ENOTDIR;
    return e;
}

}  // namespace

bool createFolders(const std::string& path, int* err) {
    int e = 0;
    if (path.empty()) {
        e = ENOENT;
    } else if (!isFolder(path)) {
        // Each level in turn from the top, so that every folder we make gets its mode.
        for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
            const std::string part = path.substr(0, at);
            const bool last = at == std::string::npos;
            if (!part.empty() && part.back() != '/' && !isFolder(part)) e = createOne(part);
            if (e != 0 || last) break;
        }
    }
    if (err) *err = e;
    return e == 0;
}

}  // namespace zbq
