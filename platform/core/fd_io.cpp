#include "fd_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace zbq {

namespace {

std::atomic<WriteFunction> g_write{nullptr};

}  // namespace

ssize_t writeSome(int fd, const void* data, std::size_t size) {
    if (const WriteFunction f = g_write.load(std::memory_order_acquire)) return f(fd, data, size);
    return ::write(fd, data, size);
}

bool writeAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = writeSome(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            // No progress and no error: stop rather than spin; the caller sees a failure.
            errno = EIO;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool setMode(int fd, mode_t mode) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && (st.st_mode & 07777) == mode) return true;
    return ::fchmod(fd, mode) == 0 || errno == EPERM;
}

WriteFunction setWriteFunctionForTesting(WriteFunction f) {
    return g_write.exchange(f, std::memory_order_acq_rel);
}

}  // namespace zbq
