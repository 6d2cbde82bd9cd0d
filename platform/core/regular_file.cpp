// Opening and reading files from outside (regular_file.h).
#include "platform/core/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zbq {

int openRegularFile(const std::string& path, std::uint64_t limit, RegularFileError& error,
                    struct stat* st) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = RegularFileError::CannotOpen;
        return -1;
    }
    struct stat own {};
    struct stat& s = st ? *st : own;
    if (::fstat(fd, &s) != 0) {
        error = RegularFileError::CannotOpen;
    } else if (!S_ISREG(s.st_mode)) {
        error = RegularFileError::NotRegular;
    } else if (static_cast<std::uint64_t>(s.st_size) > limit) {
        error = RegularFileError::TooLarge;
    } else {
        // A regular file ignores O_NONBLOCK; cleared all the same, so that the descriptor reads
        // as any other wherever it is handed on.
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        error = RegularFileError::None;
        return fd;
    }
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

RegularFileError readRegularFile(const std::string& path, std::uint64_t limit, std::string& out,
                                 struct stat* st) {
    out.clear();
    RegularFileError error;
    struct stat own {};
    struct stat& s = st ? *st : own;
    const int fd = openRegularFile(path, limit, error, &s);
    if (fd < 0) return error;
    out.reserve(static_cast<std::size_t>(s.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = RegularFileError::ReadFailed;
            break;
        }
        if (n == 0) break;
        // It grew while it was read.
        if (out.size() + static_cast<std::size_t>(n) > limit) {
            error = RegularFileError::TooLarge;
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (error != RegularFileError::None) out.clear();
    return error;
}

std::string descriptorPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace zbq
