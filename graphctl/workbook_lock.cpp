// The workbook lock and the writes under it.
#include "graphctl/workbook_lock.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/core/fd_io.h"
#include "platform/core/folders.h"
#include "platform/core/temp_file.h"

namespace zbq::grafvik {

namespace {

// How often a name that keeps turning into a link is resolved again before the write fails.
constexpr int kMaxResolves = 8;
constexpr auto kPollInterval = std::chrono::milliseconds(2);

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void closeKeepingErrno(int fd) {
    const int e = errno;
    ::close(fd);
    errno = e;
}

}  // namespace

KeptMode KeptMode::of(const struct stat& st) {
    KeptMode kept;
    kept.mode = st.st_mode & 07777;
    // Only root can give a file away; for anyone else the new file is simply theirs.
    kept.keepOwner = ::geteuid() == 0;
    kept.uid = st.st_uid;
    kept.gid = st.st_gid;
    return kept;
}

WorkbookLock::~WorkbookLock() {
    release();
}

void WorkbookLock::release() {
    if (fd_ >= 0) ::close(fd_);  // lets the lock go
    fd_ = -1;
    removed_ = false;
    if (folder_ >= 0) ::close(folder_);
    folder_ = -1;
    unplaceable_ = EBADF;
}

bool WorkbookLock::acquire(const std::string& path) {
    if (path.empty()) {
        release();  // nothing to lock, and nowhere to write: placing fails
        unplaceable_ = ENOENT;
        return true;
    }
    for (int round = 0; round < kMaxResolves; ++round) {
        release();
        std::string target;
        if (!resolveWriteTarget(path, target)) return false;
        name_ = baseName(target);
        folder_ = ::open(parentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder_ < 0 && errno == ENOENT) {
            // No folder, so no file to lock either: the write, if it comes to one, fails.
            unplaceable_ = ENOENT;
            return true;
        }
        if (folder_ < 0 || name_.empty() || name_ == "." || name_ == "..") {
            if (folder_ >= 0) errno = EINVAL;
            release();
            return false;
        }
        const Found found = lockName();
        if (found == Found::Held || found == Found::Missing) return true;
        if (found == Found::Failed) {
            const int e = errno;
            release();
            errno = e;
            return false;
        }
        // A link has come to stand at the name since it was resolved: judged afresh.
    }
    release();
    errno = ELOOP;
    return false;
}

bool WorkbookLock::relock() {
    if (folder_ < 0) {
        errno = unplaceable_;
        return false;
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    removed_ = false;
    const Found found = lockName();
    if (found == Found::Link) errno = ELOOP;
    return found == Found::Held || found == Found::Missing;
}

WorkbookLock::Found WorkbookLock::lockName() {
    for (;;) {
        const int fd = ::openat(folder_, name_.c_str(),
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT) return Found::Missing;
            return errno == ELOOP ? Found::Link : Found::Failed;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            closeKeepingErrno(fd);
            return Found::Failed;
        }
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            errno = EINVAL;
            return Found::Failed;
        }
        // The file is kept open while its lock is waited for, so that the wait is for this file.
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // A file system without locks: no other writer of ours can be shut out there.
            if (errno == ENOLCK || errno == EOPNOTSUPP) break;
            if (errno != EWOULDBLOCK && errno != EINTR) {
                closeKeepingErrno(fd);
                return Found::Failed;
            }
            if (Clock::now() >= deadline_) {
                ::close(fd);
                errno = EWOULDBLOCK;
                return Found::Failed;
            }
            std::this_thread::sleep_for(kPollInterval);
        }
        fd_ = fd;
        st_ = st;
        removed_ = false;
        // The writer before us replaced the file while we waited: the lock is on a file no
        // longer at the name, and what stands there now is what is to be locked.
        if (stillNamed()) return Found::Held;
        ::close(fd_);
        fd_ = -1;
    }
}

bool WorkbookLock::stillNamed() const {
    struct stat now {};
    return fd_ >= 0 && !removed_ &&
           ::fstatat(folder_, name_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(now, st_);
}

bool WorkbookLock::writable() const {
    if (fd_ < 0 || removed_)
        return true;  // a new file: the folder's permission is checked by the write
    if ((st_.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    // By the ids the write itself would be checked with, were it written in place.
    return ::faccessat(folder_, name_.c_str(), W_OK, AT_EACCESS) == 0;
}

bool WorkbookLock::removeFile() {
    if (!stillNamed()) {
        errno = ESTALE;
        return false;
    }
    if (::unlinkat(folder_, name_.c_str(), 0) != 0) return false;
    removed_ = true;
    return true;
}

bool WorkbookLock::place(std::string_view bytes, const KeptMode& mode) {
    if (folder_ < 0) {
        errno = unplaceable_;
        return false;
    }
    // What killed writers left here goes first; then the new file, whole, under a temporary name.
    removeStaleTempFilesAt(folder_);
    std::string temp;
    const int fd = createTempFileAt(folder_, name_, temp);
    if (fd < 0) return false;
    const auto discard = [&] {
        const int e = errno;
        ::unlinkat(folder_, temp.c_str(), 0);
        errno = e;
        return false;
    };
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    if (ok && mode.keepOwner) {
        // Before the mode: a change of owner clears the set-id bits. A file system that keeps one
        // owner for all its files refuses (EPERM, EINVAL): the file then stays root's.
        ok = ::fchown(fd, mode.uid, mode.gid) == 0 || errno == EPERM || errno == EINVAL;
    }
    ok = ok && setMode(fd, mode.mode) && ::fsync(fd) == 0;
    if (!ok) {
        closeKeepingErrno(fd);
        return discard();
    }
    if (::close(fd) != 0) return discard();

    if (fd_ >= 0 && !removed_) {
        // Under the lock no writer of ours replaces the file; another program may have.
        if (!stillNamed()) {
            errno = ESTALE;
            return discard();
        }
        if (::renameat(folder_, temp.c_str(), folder_, name_.c_str()) != 0) return discard();
    } else if (::renameat2(folder_, temp.c_str(), folder_, name_.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) return discard();
        // A file system without a rename that keeps a taken name: a link never replaces one.
        if (::linkat(folder_, temp.c_str(), folder_, name_.c_str(), 0) != 0) return discard();
        ::unlinkat(folder_, temp.c_str(), 0);
    }
    ::fsync(folder_);
    return true;
}

}  // namespace zbq::grafvik
