#include "app/temp_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "platform/core/fd_io.h"

namespace zbq::app {

namespace {

constexpr int kMaxSuffix = 1000;
constexpr const char* kEndings[] = {"_t.zbq", "_a.zbq", "_m.zbq", "_g.xlsx", "_e.xlsx"};
// Written by the run's imports and additions under its base (excel_read_output.h), never
// claimed ahead: a dead run's are removed with the others.
constexpr const char* kImportEndings[] = {"_t.def", "_t.dat"};
constexpr std::string_view kLockEnding = ".lock";
// A lock file notes a handful of names; anything longer is not ours to trust.
constexpr std::size_t kMaxLockText = 1 << 16;

TempNames namesFor(const std::string& folder, const std::string& base) {
    const std::string stem = folder + "/" + base;
    return {stem + kEndings[0], stem + kEndings[1], stem + kEndings[2], stem + kEndings[3],
            stem + kEndings[4]};
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// 0 created; else the errno of the refusal.
int createExclusive(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

enum class LockResult { Held, Busy, Unsupported };

LockResult lockWhole(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return LockResult::Held;
    return errno == EAGAIN || errno == EACCES ? LockResult::Busy : LockResult::Unsupported;
}

// The open file is still the one the path names (nobody removed or replaced it meanwhile).
bool stillAt(int fd, const std::string& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// "MMDDYYhhmmss", or that with "-<n>": a base of a run's names.
bool isRunBase(std::string_view base) {
    const auto digits = [](std::string_view text) {
        return !text.empty() &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (base.size() < 12 || !digits(base.substr(0, 12))) return false;
    if (base.size() == 12) return true;
    return base[12] == '-' && digits(base.substr(13));
}

std::vector<std::string> namesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

// The names a lock file notes, one a line.
std::vector<std::string> notedNames(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > kMaxLockText) break;
    }
    std::vector<std::string> names;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        if (end > begin) names.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return names;
}

}  // namespace

// --- TempLock ---

TempLock::~TempLock() {
    close();
}

TempLock::TempLock(TempLock&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

TempLock& TempLock::operator=(TempLock&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

void TempLock::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool TempLock::keep(const std::string& path) {
    if (fd_ < 0) return false;
    const std::string line = fileNameOf(path) + "\n";
    return ::lseek(fd_, 0, SEEK_END) >= 0 && zbq::writeAll(fd_, line.data(), line.size()) &&
           ::fsync(fd_) == 0;
}

void TempLock::release() {
    if (fd_ < 0) return;
    // Removed while still held, so that no start ever finds it unheld and takes it for a dead run.
    ::unlink(path_.c_str());
    close();
}

// --- Names ---

std::string startupStamp(std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    ::localtime_r(&t, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d", local.tm_mon + 1, local.tm_mday,
                  local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

TempClaim claimTempNames(const std::string& folder, const std::string& stamp) {
    TempClaim claim;
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string base = n == 1 ? stamp : stamp + "-" + std::to_string(n);
        const std::string lockPath = folder + "/" + base + std::string(kLockEnding);
        const int fd =
            ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            claim.failedPath = lockPath;
            return claim;
        }
        // Busy, or no longer at its path: a start cleaning up took the new file for a dead run's
        // and removes it. Where the file system has no such locks, no start can take it either.
        const LockResult locked = lockWhole(fd);
        if (locked == LockResult::Busy || (locked == LockResult::Held && !stillAt(fd, lockPath))) {
            ::close(fd);
            continue;
        }
        TempLock lock(fd, lockPath);

        const TempNames names = namesFor(folder, base);
        const std::string* all[] = {&names.data, &names.add, &names.merge, &names.graph,
                                    &names.exports};
        int created = 0;
        int refusal = 0;
        for (const std::string* path : all) {
            refusal = createExclusive(*path);
            if (refusal != 0) break;
            ++created;
        }
        if (refusal == 0) {
            claim.names = names;
            claim.lock = std::move(lock);
            return claim;
        }
        // Give back what this attempt claimed; only a name already taken is worth another try.
        for (int i = 0; i < created; ++i)
            ::unlink(all[i]->c_str());
        lock.release();
        if (refusal != EEXIST) {
            claim.failedPath = *all[created];
            return claim;
        }
    }
    claim.failedPath = folder + "/" + stamp + std::string(kLockEnding);
    return claim;
}

std::vector<std::string> removeAbandonedTemps(const std::string& folder) {
    std::vector<std::string> removed;
    for (const std::string& name : namesInFolder(folder)) {
        if (name.size() <= kLockEnding.size() || !name.ends_with(kLockEnding)) continue;
        const std::string base = name.substr(0, name.size() - kLockEnding.size());
        if (!isRunBase(base)) continue;
        const std::string lockPath = folder + "/" + name;
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        // Held: its run is alive. Unsupported: nobody can tell, so it is left alone.
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || lockWhole(fd) != LockResult::Held ||
            !stillAt(fd, lockPath)) {
            ::close(fd);
            continue;
        }
        const std::vector<std::string> kept = notedNames(fd);
        for (const char* ending : kEndings) {
            const std::string file = base + ending;
            if (std::find(kept.begin(), kept.end(), file) != kept.end()) continue;
            if (::unlink((folder + "/" + file).c_str()) == 0) removed.push_back(file);
        }
        for (const char* ending : kImportEndings) {
            const std::string file = base + ending;
            if (::unlink((folder + "/" + file).c_str()) == 0) removed.push_back(file);
        }
        // Last, and still held: a start that claims this base again must find the others gone.
        if (::unlink(lockPath.c_str()) == 0) removed.push_back(name);
        ::close(fd);
    }
    return removed;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace zbq::app
