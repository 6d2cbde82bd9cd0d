// The working data file held open (held_data_file.h).
#include "app/held_data_file.h"

#include <unistd.h>

#include <limits>
#include <utility>

#include "platform/core/regular_file.h"

namespace zbq::app {

namespace {

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

FileStamp FileStamp::of(const struct stat& st) {
    return FileStamp{static_cast<std::int64_t>(st.st_size),
                     st.st_mtim,
                     st.st_ctim,
                     st.st_mode,
                     st.st_uid,
                     st.st_gid,
                     st.st_nlink};
}

bool FileStamp::same(const FileStamp& other) const {
    if (size != other.size || !sameTime(modified, other.modified)) return false;
    const bool metadataMoved =
        mode != other.mode || owner != other.owner || group != other.group || links != other.links;
    return metadataMoved || sameTime(changed, other.changed);
}

HeldDataFile::~HeldDataFile() {
    release();
}

HeldDataFile::HeldDataFile(HeldDataFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), stamp_(other.stamp_) {}

HeldDataFile& HeldDataFile::operator=(HeldDataFile&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        stamp_ = other.stamp_;
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

bool HeldDataFile::renamedTo(const std::string& path) {
    if (fd_ < 0) return false;
    path_ = path;
    if (record()) return true;
    release();
    return false;
}

void HeldDataFile::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    path_.clear();
    stamp_ = {};
}

bool HeldDataFile::record() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp_ = FileStamp::of(st);
    return true;
}

std::string HeldDataFile::readPath() const {
    if (fd_ < 0) return {};
    const std::string own = descriptorPath(fd_);
    return ::access(own.c_str(), R_OK) == 0 ? own : path_;
}

bool HeldDataFile::unchanged() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 && FileStamp::of(st).same(stamp_);
}

}  // namespace zbq::app
