// Temporary-file-and-rename replacement of a file.
#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fd_io.h"
#include "folders.h"
#include "temp_file.h"

namespace zbq {

namespace {

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
    if (!resolveWriteTarget(target_, dest_)) return fail();
    // The check the write itself would make were the file written in place: by the effective
    // ids, so a read-only file stays read-only. ENOENT means a new file.
    if (::faccessat(AT_FDCWD, dest_.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return fail();
    struct stat st {};
    if (::stat(dest_.c_str(), &st) == 0) {
        mode_ = st.st_mode & 07777;
        // Only root can give a file away; for anyone else the new file is simply theirs.
        keepOwner_ = ::geteuid() == 0;
        uid_ = st.st_uid;
        gid_ = st.st_gid;
    } else {
        mode_ = kNewFileMode;
        keepOwner_ = false;
    }
    removeStaleTempFiles(parentFolder(dest_));
    fd_ = createTempFile(dest_, temp_);
    if (fd_ < 0) return fail();
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
    if (keepOwner_) {
        // Before the mode: a change of owner clears the set-id bits. A file system that keeps
        // one owner for all its files (FAT) refuses with EPERM, and an owner this user namespace
        // cannot name with EINVAL: the file then stays root's, which is no reason to lose it.
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return fail();
        if ((st.st_uid != uid_ || st.st_gid != gid_) && ::fchown(fd_, uid_, gid_) != 0 &&
            errno != EPERM && errno != EINVAL)
            return fail();
    }
    if (!setMode(fd_, mode_)) return fail();
    if (::fsync(fd_) != 0) return fail();
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail();
    if (::rename(temp_.c_str(), dest_.c_str()) != 0) return fail();
    committed_ = true;
    temp_.clear();
    syncFolder(parentFolder(dest_));
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
