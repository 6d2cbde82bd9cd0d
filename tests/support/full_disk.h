// A disk that fills up, for tests of the paths that must survive it: while a FullDisk lives, the
// writes of the program's own files (platform/core/fd_io.h) may put `room` more bytes on disk;
// a write that needs more puts what still fits and reports that short count, and every write
// after it fails with ENOSPC, as a real full disk does. With `onlyPathsContaining`, files whose
// path does not hold that text are written normally (the log of a failed build, for instance).
// One FullDisk at a time. Header-only.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>

#include "platform/core/fd_io.h"

namespace zbq::test {

class FullDisk {
public:
    explicit FullDisk(std::size_t room, std::string onlyPathsContaining = {}) {
        state().room = room;
        state().filter = std::move(onlyPathsContaining);
        state().refused = 0;
        previous_ = setWriteFunctionForTesting(&write);
    }
    ~FullDisk() { setWriteFunctionForTesting(previous_); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // How many writes found the disk full.
    static int refused() { return state().refused; }

private:
    struct State {
        std::size_t room = 0;
        std::string filter;
        int refused = 0;
    };
    static State& state() {
        static State s;
        return s;
    }

    static std::string pathOf(int fd) {
        char buf[4096];
        const std::string link = "/proc/self/fd/" + std::to_string(fd);
        const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
    }

    static ssize_t write(int fd, const void* data, std::size_t size) {
        State& s = state();
        if (!s.filter.empty() && pathOf(fd).find(s.filter) == std::string::npos)
            return ::write(fd, data, size);
        if (s.room == 0 && size > 0) {
            ++s.refused;
            errno = ENOSPC;
            return -1;
        }
        const ssize_t n = ::write(fd, data, std::min(size, s.room));
        if (n > 0) s.room -= static_cast<std::size_t>(n);
        return n;
    }

    WriteFunction previous_ = nullptr;
};

}  // namespace zbq::test
