// Writing through a POSIX file descriptor without losing bytes to short writes or signals.
#pragma once

#include <cstddef>

namespace zbq {

// Writes every byte, retrying short writes and EINTR. False with errno set on failure.
bool writeAll(int fd, const void* data, std::size_t size);

}  // namespace zbq
