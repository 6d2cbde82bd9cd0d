// The working data file as the session loaded it, held open from the load to the next one.
//
// Another program may rename a file of its own over the loaded path, or delete it, at any time;
// a save of all records must still write the records the session shows. The descriptor opened at
// the load keeps the loaded bytes whatever has since been renamed over the name, and readPath()
// names them for the readers that take a path. A change made in place (the same file written
// again) cannot be undone from here: unchanged() tells it by the size and modification time
// recorded at the load, and the save then refuses.
//
// Owns its descriptor; movable, not copyable. GUI thread only.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace zbq::app {

class HeldDataFile {
public:
    HeldDataFile() = default;
    ~HeldDataFile();
    HeldDataFile(HeldDataFile&& other) noexcept;
    HeldDataFile& operator=(HeldDataFile&& other) noexcept;
    HeldDataFile(const HeldDataFile&) = delete;
    HeldDataFile& operator=(const HeldDataFile&) = delete;

    // Opens `path` (a regular file, opened without blocking) and holds it in place of what was
    // held; false, holding nothing, when it cannot be.
    bool hold(const std::string& path);
    // Holds the open descriptor `fd` (taken over) in place of what was held, its size and
    // modification time as they are now; false, holding nothing, when it cannot be looked at.
    bool adopt(int fd, const std::string& path);
    void release();

    bool held() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    std::int64_t size() const { return size_; }
    // A path naming the held file itself ("/proc/self/fd/N"), or the path it was opened by when
    // the system offers no such names; empty while nothing is held.
    std::string readPath() const;
    // The held file still has the size and modification time it had when it was taken.
    bool unchanged() const;

private:
    bool record();

    int fd_ = -1;
    std::string path_;
    std::int64_t size_ = 0;
    timespec mtime_{};
};

}  // namespace zbq::app
