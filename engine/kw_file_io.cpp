// POSIX file helpers of the data-file code.
#include "engine/kw_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/core/fd_io.h"

namespace kw {

FileDescriptor::~FileDescriptor() {
    reset();
}

void FileDescriptor::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

std::int32_t ioFailure(int savedErrno) {
    errno = savedErrno;
    const std::int32_t code = MapErrno();
    if (code < 0) return code;
    return savedErrno != 0 ? -100 - savedErrno : KW_ERR_ARGUMENT;
}

std::int32_t ioFailure() {
    return ioFailure(errno);
}

std::int32_t openForReading(const std::string& path, FileDescriptor& fd, std::int64_t& size) {
    // O_NONBLOCK: a FIFO named by mistake must not hang the program; regular files ignore it.
    fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return ioFailure();
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return ioFailure();
    if (!S_ISREG(st.st_mode)) return ioFailure(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    size = static_cast<std::int64_t>(st.st_size);
    return 0;
}

std::int32_t readExact(int fd, void* data, std::int64_t n) {
    auto* p = static_cast<char*>(data);
    while (n > 0) {
        const ssize_t got = ::read(fd, p, static_cast<std::size_t>(n));
        if (got < 0) {
            if (errno == EINTR) continue;
            return ioFailure();
        }
        if (got == 0) return KW_ERR_DAMAGED;
        p += got;
        n -= got;
    }
    return 0;
}

std::int32_t readExactAt(int fd, void* data, std::int64_t n, std::int64_t offset) {
    auto* p = static_cast<char*>(data);
    while (n > 0) {
        const ssize_t got = ::pread(fd, p, static_cast<std::size_t>(n), offset);
        if (got < 0) {
            if (errno == EINTR) continue;
            return ioFailure();
        }
        if (got == 0) return KW_ERR_DAMAGED;
        p += got;
        n -= got;
        offset += got;
    }
    return 0;
}

std::int32_t writeExactAt(int fd, const void* data, std::int64_t n, std::int64_t offset) {
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t put = ::pwrite(fd, p, static_cast<std::size_t>(n), offset);
        if (put < 0) {
            if (errno == EINTR) continue;
            return ioFailure();
        }
        p += put;
        n -= put;
        offset += put;
    }
    return 0;
}

std::int32_t readHead(int fd, std::int64_t fileSize, KW_head& head) {
    std::memset(&head, 0, sizeof head);
    if (fileSize < static_cast<std::int64_t>(sizeof KW_MAGIC)) return KW_ERR_NOT_DATA_FILE;
    const std::int64_t n = std::min<std::int64_t>(fileSize, kHeadSize);
    if (const std::int32_t rc = readExactAt(fd, &head, n, 0); rc < 0) return rc;
    if (std::memcmp(head.magic, KW_MAGIC, sizeof KW_MAGIC) != 0) return KW_ERR_NOT_DATA_FILE;
    return n == kHeadSize ? 0 : KW_ERR_DAMAGED;
}

namespace {

std::int32_t copyByReading(int src, std::int64_t offset, std::int64_t length, int dst) {
    std::vector<char> buffer(static_cast<std::size_t>(std::min<std::int64_t>(length, 1 << 20)));
    while (length > 0) {
        const auto chunk = std::min<std::int64_t>(length, static_cast<std::int64_t>(buffer.size()));
        if (const std::int32_t rc = readExactAt(src, buffer.data(), chunk, offset); rc < 0)
            return rc;
        if (!zbq::writeAll(dst, buffer.data(), static_cast<std::size_t>(chunk))) return ioFailure();
        offset += chunk;
        length -= chunk;
    }
    return 0;
}

}  // namespace

std::int32_t copyRange(int src, std::int64_t srcOffset, std::int64_t length, int dst) {
    // The kernel copies (or shares extents) without the bytes passing through us; filesystems
    // and kernels that cannot do it for this pair fall back to reading and writing.
    loff_t in = srcOffset;
    while (length > 0) {
        const ssize_t done =
            ::copy_file_range(src, &in, dst, nullptr, static_cast<std::size_t>(length), 0);
        if (done > 0) {
            length -= done;
            continue;
        }
        if (done == 0) return KW_ERR_DAMAGED;  // the source ended early
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
            errno == EBADF)
            return copyByReading(src, in, length, dst);
        return ioFailure();
    }
    return 0;
}

}  // namespace kw
