// Temporary-file-and-rename replacement of a file.
#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "fd_io.h"

namespace zbq {

namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void syncFolder(const std::string& folder) {
    int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;  // the rename has happened; a folder we cannot open we cannot sync
    ::fsync(dfd);
    ::close(dfd);
}

}  // namespace

AtomicFile::AtomicFile(std::string targetPath) : target_(std::move(targetPath)) {}

AtomicFile::~AtomicFile() {
    if (!committed_) discard();
}

bool AtomicFile::fail() {
    if (error_ == 0) error_ = errno ? errno : EIO;
    discard();
    return false;
}

bool AtomicFile::open() {
    if (fd_ >= 0) return true;
    mode_t mode = 0666;
    struct stat st;
    bool keepMode = ::stat(target_.c_str(), &st) == 0;
    if (keepMode) mode = st.st_mode & 07777;

    static std::atomic<unsigned> serial{0};
    const std::string stem = folderOf(target_) + "/." + baseOf(target_) + ".tmp";
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, "%ld.%u", static_cast<long>(::getpid()),
                      serial.fetch_add(1) ^ static_cast<unsigned>(std::time(nullptr)));
        temp_ = stem + suffix;
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ >= 0) break;
        if (errno != EEXIST) {
            temp_.clear();
            return fail();
        }
    }
    if (fd_ < 0) {
        temp_.clear();
        return fail();
    }
    // The umask must not narrow the permissions of a file that already existed.
    if (keepMode && ::fchmod(fd_, mode) != 0) return fail();
    return true;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (fd_ < 0) {
        if (error_ == 0) error_ = EBADF;
        return false;
    }
    return writeAll(fd_, data, size) || fail();
}

bool AtomicFile::commit() {
    if (fd_ < 0) {
        if (error_ == 0) error_ = EBADF;
        return false;
    }
    if (::fsync(fd_) != 0) return fail();
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail();
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return fail();
    committed_ = true;
    temp_.clear();
    syncFolder(folderOf(target_));
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, int* err) {
    AtomicFile file(path);
    bool ok = file.open() && file.write(bytes) && file.commit();
    if (err) *err = ok ? 0 : file.error();
    return ok;
}

}  // namespace zbq
