// Replacing a file without ever losing the old one: write a temporary file in the same folder,
// flush it, rename it over the target and sync the folder. A failure at any step removes only the
// temporary and leaves the target exactly as it was.
//
// One AtomicFile writes one target; it is not shared between threads. Failures are values:
// every call returns false and error() holds the errno of the first failure.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zbq {

class AtomicFile {
public:
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();  // discards the temporary unless commit() succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary beside the target: mode 0666 under the umask for a new file, the old
    // file's permission bits when the target exists.
    bool open();
    // Appends bytes; short writes and EINTR are retried.
    bool write(const void* data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Flushes, closes, renames over the target and syncs the folder.
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
    std::string temp_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
};

// The whole file at once. On failure returns false and, when err is given, the errno.
bool writeFileAtomically(const std::string& path, std::string_view bytes, int* err = nullptr);

}  // namespace zbq
