// The one lock every write of a workbook takes, and the writes made under it.
//
// Writers of one workbook (threads or processes, ExNormal's replacement as ShowGraph's addition)
// take turns: each holds an exclusive advisory lock (flock) on the workbook file while it reads,
// removes or replaces it, so that no writer saves over what another saved meanwhile. The lock is
// on the file that stands at the name; a writer replaces the file by a rename, so a lock taken on
// the file it replaced is stale, and the lock is only held once the locked file is still the one
// at the name. A name that turns out to be a symbolic link is resolved again, each link judged
// (temp_file.h: resolveWriteTarget), so that a workbook swapped for a planted link is refused.
//
// Everything after the path is resolved goes through the one open folder: the name is checked
// with fstatat, the temporary made there and renamed over the name, so that a kill tears nothing
// and no write lands anywhere but at the name. A writer waits for its turn until its deadline
// and then fails. One object per write, on one thread; failures are values (errno).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <string_view>

#include "platform/core/atomic_file.h"

namespace zbq::grafvik {

// How long a writer waits for another to finish with the same workbook: a host's thread waits
// with it, so not long.
inline constexpr std::chrono::milliseconds kWorkbookLockWait{3000};

// The permission bits (and, for root, the owner and group) a replacement takes over.
struct KeptMode {
    mode_t mode = kNewFileMode;
    bool keepOwner = false;
    uid_t uid = 0;
    gid_t gid = 0;
    static KeptMode of(const struct stat& st);
};

class WorkbookLock {
public:
    using Clock = std::chrono::steady_clock;

    explicit WorkbookLock(Clock::time_point deadline) : deadline_(deadline) {}
    ~WorkbookLock();
    WorkbookLock(const WorkbookLock&) = delete;
    WorkbookLock& operator=(const WorkbookLock&) = delete;

    // Resolves `path` to the workbook it names, opens its folder and locks the file standing at
    // the name, waiting for other writers until the deadline (EWOULDBLOCK then). True with
    // held() false when no file stands there, nor a folder to hold it (placing then fails). A
    // name that is no regular file fails (EINVAL).
    bool acquire(const std::string& path);
    // Locks again whatever now stands at the same name of the same folder.
    bool relock();

    // A file was locked at the name (and has not been removed from it).
    bool held() const { return fd_ >= 0 && !removed_; }
    // The locked file, open for reading, and its status at the lock.
    int fd() const { return fd_; }
    const struct stat& file() const { return st_; }

    // Whether this user may replace the locked file: one without any write bit is kept from
    // root as well, who would pass any permission check.
    bool writable() const;
    // Whether the name still names the locked file.
    bool stillNamed() const;

    // Removes the locked file from its name, keeping its lock until the new file is placed or
    // the object goes, so that the writers waiting for it wait for the new file. Fails (ESTALE)
    // when the name no longer names it: another program's file stands there now, and is kept.
    bool removeFile();

    // Puts `bytes` at the name through a temporary in the folder with `mode`. With a file held,
    // it is replaced, unless the name no longer names it (ESTALE, nothing written); with none
    // (or the held one removed), the name is taken only while it is free (EEXIST, nothing
    // written): a file another writer put there meanwhile is to be locked (relock) first.
    bool place(std::string_view bytes, const KeptMode& mode);

    void release();

private:
    enum class Found { Held, Missing, Link, Failed };
    Found lockName();

    Clock::time_point deadline_;
    int folder_ = -1;
    std::string name_;
    int fd_ = -1;
    bool removed_ = false;     // the locked file is no longer at the name: we removed it
    int unplaceable_ = EBADF;  // why nothing can be placed while no folder is open
    struct stat st_ {};
};

}  // namespace zbq::grafvik
