// Files completed in a temporary and placed later.
#include "staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fd_io.h"
#include "temp_file.h"

namespace zbq {

namespace {

// The highest ".N" tried before giving up: a folder holding that many kept copies has a
// problem no further name solves.
constexpr int kMaxSeries = 999;

}  // namespace

StagedFile::StagedFile(std::string target) : target_(std::move(target)) {}

StagedFile::~StagedFile() {
    discard();
}

void StagedFile::discard() {
    if (temp_.empty()) return;
    const int e = errno;
    ::unlink(temp_.c_str());
    temp_.clear();
    errno = e;
}

bool StagedFile::write(std::string_view bytes, mode_t mode) {
    discard();
    if (!resolveWriteTarget(target_, dest_)) return false;
    const int fd = createTempFile(dest_, temp_);
    if (fd < 0) return false;
    const bool written =
        writeAll(fd, bytes.data(), bytes.size()) && setMode(fd, mode) && ::fsync(fd) == 0;
    const int e = errno;
    const bool closed = ::close(fd) == 0;
    if (written && closed) return true;
    if (!written) errno = e;
    discard();
    return false;
}

bool StagedFile::replaceTarget() {
    if (temp_.empty()) {
        errno = EBADF;
        return false;
    }
    if (::rename(temp_.c_str(), dest_.c_str()) != 0) return false;
    temp_.clear();
    return true;
}

int StagedFile::placeAt(const std::string& name) {
    // A link never replaces a name that is taken, even by a file made a moment ago.
    if (::link(temp_.c_str(), name.c_str()) == 0) {
        discard();
        return 1;
    }
    if (errno == EEXIST) return 0;
    // A file system without hard links: a rename, once the name is seen to be free.
    struct stat st {};
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) return -1;
    if (::lstat(name.c_str(), &st) == 0) {
        errno = EEXIST;
        return 0;
    }
    if (::rename(temp_.c_str(), name.c_str()) != 0) return -1;
    temp_.clear();
    return 1;
}

bool StagedFile::placeIfFree() {
    if (temp_.empty()) {
        errno = EBADF;
        return false;
    }
    const int placed = placeAt(dest_);
    if (placed == 0) errno = EEXIST;
    return placed == 1;
}

std::string StagedFile::placeUnderFreeName() {
    if (temp_.empty()) {
        errno = EBADF;
        return {};
    }
    for (int n = 0; n <= kMaxSeries; ++n) {
        const std::string name = n == 0 ? dest_ : dest_ + "." + std::to_string(n);
        const int placed = placeAt(name);
        if (placed == 1) return name;
        if (placed < 0) return {};
    }
    errno = EEXIST;
    return {};
}

}  // namespace zbq
