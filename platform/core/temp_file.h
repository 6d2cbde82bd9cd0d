// Temporary files: a file written beside its target and renamed over it (atomic_file.h), or the
// scratch files of a build, deleted when it ends.
//
// Every temporary is created fresh (O_CREAT|O_EXCL|O_NOFOLLOW, so a name planted in advance,
// a symbolic link above all, is never opened), with mode 0600 whatever the umask, in the folder
// of its target, under a name no other writer uses:
//
//     <folder>/.<target's name>.zbq-tmp.<pid>.<start>.<serial>
//
// <pid> and <start> identify the process that owns it (<start> is its start time in clock ticks
// since boot), <serial> tells its temporaries apart. A process killed while it saves or builds
// leaves its temporaries behind; removeStaleTempFiles finds them by this one pattern and removes
// those whose owner is gone: no process with that pid, or one that started at another time than
// the owner did (the pid has been reused, so the file is older than the program now running
// under it). Temporaries of a live owner, other users' files and anything of another name stay.
// Thread-safe; failures are values (errno).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace zbq {

inline constexpr mode_t kTempFileMode = 0600;

// The file a write to `target` is to replace: `target` itself, or, when a symbolic link stands
// on its way, the real path of the file the links lead to, so that a save keeps a link and writes
// the linked file, its temporary beside that file. A target that does not exist yet is itself.
// Every link on the way is judged in the folder that holds it, whatever the kernel's own setting:
// one in a sticky folder that anyone may write is followed only when it is the caller's
// (effective uid) or the folder owner's, so that a link planted there by another user never
// turns a write into one of the file it names; root is no exception (EACCES). False with errno
// for such a link, a dangling one (ENOENT) or one that cannot be followed (ELOOP, EACCES): a
// write through it is refused, since it would replace the link by a file.
bool resolveWriteTarget(const std::string& target, std::string& resolved);

// Creates a new temporary for `target` and opens it write-only. The descriptor, with the
// temporary's path in `path`; or -1 with errno set and `path` empty.
int createTempFile(const std::string& target, std::string& path);
// The same in the open folder `folder`, for a target named `targetName` there; `name` receives
// the temporary's name in that folder.
int createTempFileAt(int folder, const std::string& targetName, std::string& name);

// Removes the stale temporaries of `folder` (above). The number removed; a folder that cannot
// be read removes nothing.
int removeStaleTempFiles(const std::string& folder);
int removeStaleTempFilesAt(int folder);

// The owner a temporary's file name (without folder) records; nullopt for any other name.
struct TempFileOwner {
    pid_t pid = 0;
    long long start = 0;
};
std::optional<TempFileOwner> parseTempFileName(std::string_view name);

// The start time of a process in clock ticks since boot; -1 when it cannot be read.
long long processStartTicks(pid_t pid);

}  // namespace zbq
