// A FIFO made at test time in the place of a profile file, and a watchdog that unblocks a reader
// stuck on it: after the deadline it opens and closes the writing end, so that a reader blocked in
// open() or read() sees an empty file and returns. A reader that refuses the FIFO returns at once;
// one that does not fails its test after the deadline instead of hanging it.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace zbq::test {

class FifoWatchdog {
public:
    explicit FifoWatchdog(std::string path,
                          std::chrono::milliseconds deadline = std::chrono::milliseconds(2000))
        : path_(std::move(path)), made_(::mkfifo(path_.c_str(), 0644) == 0) {
        if (made_) thread_ = std::thread([this, deadline] { watch(deadline); });
    }
    ~FifoWatchdog() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    bool made() const { return made_; }
    // True when the watchdog had to unblock a reader.
    bool unblocked() const { return unblocked_; }

private:
    void watch(std::chrono::milliseconds deadline) {
        const auto until = std::chrono::steady_clock::now() + deadline;
        while (!done_ && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        // A writer that opens and closes again gives a reader in open() its end of file; keep at
        // it until the reader has gone (done_) and at least once.
        while (!done_) {
            const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                unblocked_ = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::string path_;
    bool made_;
    std::atomic<bool> done_{false};
    std::atomic<bool> unblocked_{false};
    std::thread thread_;
};

}  // namespace zbq::test
