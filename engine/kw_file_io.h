// Small POSIX file helpers of the data-file code: an owned descriptor, exact reads that call a
// short file damaged, the head read with its magic check, and a range copy into a temporary
// file. Every failure is a negative engine result code, never 0.
#pragma once

#include <cstdint>
#include <string>

#include "engine/kw_format.h"

namespace kw {

// Closes the descriptor it holds.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes what it held and takes fd.
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// The result code of the call that just failed: MapErrno, except that an errno MapErrno reads
// as success (EINVAL) still gives a negative code.
std::int32_t ioFailure();
// The same for an errno kept by someone else (AtomicFile::error()).
std::int32_t ioFailure(int savedErrno);

// Opens an existing regular file read-only and gives its size.
std::int32_t openForReading(const std::string& path, FileDescriptor& fd, std::int64_t& size);

// Exactly n bytes from the current position; a file that ends first is KW_ERR_DAMAGED.
std::int32_t readExact(int fd, void* data, std::int64_t n);
// Exactly n bytes at offset.
std::int32_t readExactAt(int fd, void* data, std::int64_t n, std::int64_t offset);

// Exactly n bytes at offset, not moving the file position.
std::int32_t writeExactAt(int fd, const void* data, std::int64_t n, std::int64_t offset);

// Reads the 256-byte head from offset 0: -1001 when the file does not begin with the magic
// (a file shorter than the magic included), KW_ERR_DAMAGED when it ends inside the head.
std::int32_t readHead(int fd, std::int64_t fileSize, KW_head& head);

// Appends `length` bytes of src, from srcOffset, to dst at dst's current position.
std::int32_t copyRange(int src, std::int64_t srcOffset, std::int64_t length, int dst);

}  // namespace kw
