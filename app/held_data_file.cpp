// The working data file held open (held_data_file.h).
#include "app/held_data_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <utility>

#include "platform/core/regular_file.h"

namespace zbq::app {

HeldDataFile::~HeldDataFile() {
    release();
}

HeldDataFile::HeldDataFile(HeldDataFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      size_(other.size_),
      mtime_(other.mtime_) {}

HeldDataFile& HeldDataFile::operator=(HeldDataFile&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        size_ = other.size_;
        mtime_ = other.mtime_;
    }
    return *this;
}

bool HeldDataFile::hold(const std::string& path) {
    RegularFileError error;
    const int fd = openRegularFile(path, std::numeric_limits<std::uint64_t>::max(), error);
    if (fd < 0) {
        release();
        return false;
    }
    return adopt(fd, path);
}

bool HeldDataFile::adopt(int fd, const std::string& path) {
    release();
    fd_ = fd;
    path_ = path;
    if (record()) return true;
    release();
    return false;
}

void HeldDataFile::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    path_.clear();
    size_ = 0;
    mtime_ = {};
}

bool HeldDataFile::record() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size_ = static_cast<std::int64_t>(st.st_size);
    mtime_ = st.st_mtim;
    return true;
}

std::string HeldDataFile::readPath() const {
    if (fd_ < 0) return {};
    const std::string own = descriptorPath(fd_);
    return ::access(own.c_str(), R_OK) == 0 ? own : path_;
}

bool HeldDataFile::unchanged() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 && static_cast<std::int64_t>(st.st_size) == size_ &&
           st.st_mtim.tv_sec == mtime_.tv_sec && st.st_mtim.tv_nsec == mtime_.tv_nsec;
}

}  // namespace zbq::app
