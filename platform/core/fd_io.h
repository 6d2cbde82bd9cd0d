// Writing through a POSIX file descriptor without losing bytes to short writes or signals, and
// giving a file the program made its mode.
//
// Every write of the program's own files goes through writeSome, so that a test can stand a
// failing disk in for the real one (setWriteFunctionForTesting): a full disk is a path every
// writer must survive, and no test may depend on the machine's disk really filling up.
// Thread-safe; the test seam is process-wide.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace zbq {

// One write(2) through the seam: the count written, or -1 with errno set.
ssize_t writeSome(int fd, const void* data, std::size_t size);

// Writes every byte, retrying short writes and EINTR. False with errno set on failure.
bool writeAll(int fd, const void* data, std::size_t size);

// Gives the open file exactly `mode`, whatever the umask made of it. A file system without Unix
// permissions (FAT) refuses with EPERM and keeps modes of its own; that is no failure. False
// with errno set otherwise.
bool setMode(int fd, mode_t mode);

// The function writeSome calls instead of write(2); nullptr restores write(2). Returns the one it
// replaces (nullptr for write(2)). For tests only.
using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);
WriteFunction setWriteFunctionForTesting(WriteFunction f);

}  // namespace zbq
