// Replacing a file without ever losing the old one: write a temporary file in the same folder,
// flush it, rename it over the target and sync the folder. A failure at any step removes only the
// temporary and leaves the target exactly as it was.
//
// A target the caller may not write (a read-only ZBQ.ini) is refused with EACCES before anything
// is written: replacing it would overrule the permission the user set. The new file takes the
// old one's permission bits, and when the caller is root its owner and group too; a new file gets
// 0644 whatever the umask. Until the commit the temporary is the caller's alone (0600, a fresh
// name: temp_file.h); opening also removes stale temporaries that killed writers left there.
//
// A target that is a symbolic link stays one: the file it names is replaced, through a temporary
// beside that file; a dangling link is refused (ENOENT).
//
// One AtomicFile writes one target; it is not shared between threads. Failures are values:
// every call returns false and error() holds the errno of the first failure.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace zbq {

inline constexpr mode_t kNewFileMode = 0644;

class AtomicFile {
public:
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();  // discards the temporary unless commit() succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Checks that the target may be written and creates the temporary beside it.
    bool open();
    // Appends bytes; short writes and EINTR are retried.
    bool write(const void* data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Gives the temporary the target's mode (and owner), flushes, closes, renames it over the
    // target and syncs the folder.
    bool commit();
    // Closes and removes the temporary; the target is untouched.
    void discard();

    int fd() const { return fd_; }
    int error() const { return error_; }
    const std::string& targetPath() const { return target_; }
    const std::string& tempPath() const { return temp_; }

private:
    bool fail();  // records errno once and discards

    std::string target_;
    std::string dest_;  // the target, or the file it links to
    std::string temp_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
    // What the file is to be given at the commit.
    mode_t mode_ = kNewFileMode;
    bool keepOwner_ = false;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

// The whole file at once. On failure returns false and, when err is given, the errno.
bool writeFileAtomically(const std::string& path, std::string_view bytes, int* err = nullptr);

}  // namespace zbq
