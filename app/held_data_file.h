// The working data file as the session loaded it, held open from the load to the next one.
//
// Another program may rename a file of its own over the loaded path, or delete it, at any time;
// a save of all records must still write the records the session shows. The descriptor opened at
// the load keeps the loaded bytes whatever has since been renamed over the name, and readPath()
// names them for the readers that take a path. A change made in place (the same file written
// again) cannot be undone from here: unchanged() tells it by the stamp recorded at the load, and
// the save then refuses. The stamp holds the change time beside the size and modification time:
// a writer may set the modification time back, but nothing sets the change time back. The
// change time also moves when the file's mode, owner or links change (a chmod, a chown, a hard
// link, the name removed or another file renamed over it), none of which touches its bytes:
// where one of those changed too, the change time tells nothing and the size and modification
// time alone decide.
//
// Owns its descriptor; movable, not copyable. GUI thread only.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace zbq::app {

// What tells that a file's bytes changed since it was looked at: its size, its modification
// time and its change time, with what else moves the change time.
struct FileStamp {
    std::int64_t size = 0;
    timespec modified{};
    timespec changed{};
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    nlink_t links = 0;

    static FileStamp of(const struct stat& st);
    // The same size and modification time, and the same change time unless the mode, owner or
    // links changed.
    bool same(const FileStamp& other) const;
};

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
    // Holds the open descriptor `fd` (taken over) in place of what was held, stamped as it is
    // now; false, holding nothing, when it cannot be looked at.
    bool adopt(int fd, const std::string& path);
    // The program itself renamed the held file to `path`, which moved its change time: the new
    // name and the stamp as it is now are taken. False, holding nothing, when it cannot be
    // looked at.
    bool renamedTo(const std::string& path);
    void release();

    bool held() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    std::int64_t size() const { return stamp_.size; }
    // A path naming the held file itself ("/proc/self/fd/N"), or the path it was opened by when
    // the system offers no such names; empty while nothing is held.
    std::string readPath() const;
    // The held file still has the stamp it had when it was taken.
    bool unchanged() const;

private:
    bool record();

    int fd_ = -1;
    std::string path_;
    FileStamp stamp_;
};

}  // namespace zbq::app
