// Files that come from outside (a definition, a text file, a workbook, a settings file), opened
// the one safe way: without blocking, so that a FIFO or a device named by mistake never stops
// the program in open(), and looked at before a byte is read: only a regular file within the
// size its kind can reach is read at all.
//
// Thread-safe (no state of its own). Failures are values; errno is left as the failing call set
// it.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace zbq {

enum class RegularFileError {
    None,
    CannotOpen,  // missing, not permitted, or the open itself failed
    NotRegular,  // a directory, FIFO, device or socket
    TooLarge,    // beyond the limit given (also when it grew beyond it while being read)
    ReadFailed,
};

// Opens `path` for reading when it is a regular file of at most `limit` bytes: the descriptor
// (close-on-exec, blocking again, the caller closes it), or -1 with `error` set. `st`, when
// given, receives the file's fstat.
int openRegularFile(const std::string& path, std::uint64_t limit, RegularFileError& error,
                    struct stat* st = nullptr);

// The whole of such a file in `out` (replaced); None or why not. `st`, when given, receives the
// file's fstat once it could be opened.
RegularFileError readRegularFile(const std::string& path, std::uint64_t limit, std::string& out,
                                 struct stat* st = nullptr);

// A name that opens the file behind the open descriptor `fd`, whatever has since been renamed
// over or removed from the name it was opened by, for as long as `fd` stays open: for readers
// that take a path.
std::string descriptorPath(int fd);

}  // namespace zbq
