#include "temp_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "fd_io.h"
#include "folders.h"

namespace zbq {

namespace {

constexpr std::string_view kMarker = ".zbq-tmp.";
// The target's name is cut so that the temporary's name stays well inside NAME_MAX (255).
constexpr std::size_t kMaxStemBytes = 160;

std::string decimal(long long value) {
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, end);
}

// Digits only, nothing else; false for an empty text or one out of range.
bool parseDecimal(std::string_view text, long long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// The target's file name, cut on a UTF-8 character boundary.
std::string stemOf(const std::string& target) {
    const auto slash = target.rfind('/');
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.size() > kMaxStemBytes) {
        std::size_t cut = kMaxStemBytes;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
            --cut;
        base.resize(cut);
    }
    return base;
}

long long ownStart() {
    static const long long start = processStartTicks(::getpid());
    return start;
}

// Whether the process that made a temporary has ended.
bool ownerIsGone(const TempFileOwner& owner) {
    if (::kill(owner.pid, 0) != 0 && errno == ESRCH) return true;
    // Alive (or not ours to signal): gone all the same when the pid now names another process.
    // A start time we cannot read proves nothing, and the file stays.
    const long long start = processStartTicks(owner.pid);
    return start >= 0 && start != owner.start;
}

}  // namespace

long long processStartTicks(pid_t pid) {
    const std::string path = "/proc/" + decimal(pid) + "/stat";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    char buf[1024];
    ssize_t n;
    do {
        n = ::read(fd, buf, sizeof buf);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0) return -1;
    const std::string_view stat(buf, static_cast<std::size_t>(n));
    // The command name in parentheses may hold blanks and parentheses: fields count from the
    // last ')'. The start time is field 22, the 20th behind it.
    auto at = stat.rfind(')');
    if (at == std::string_view::npos) return -1;
    ++at;
    for (int field = 0; field < 19; ++field) {
        at = stat.find(' ', at + 1);
        if (at == std::string_view::npos) return -1;
    }
    const auto end = stat.find(' ', at + 1);
    if (end == std::string_view::npos) return -1;
    long long start = 0;
    return parseDecimal(stat.substr(at + 1, end - at - 1), start) ? start : -1;
}

std::optional<TempFileOwner> parseTempFileName(std::string_view name) {
    if (name.empty() || name.front() != '.') return std::nullopt;
    const auto marker = name.rfind(kMarker);
    if (marker == std::string_view::npos || marker == 0) return std::nullopt;
    std::string_view rest = name.substr(marker + kMarker.size());
    long long parts[3];
    for (int i = 0; i < 3; ++i) {
        const auto dot = i < 2 ? rest.find('.') : rest.size();
        if (dot == std::string_view::npos || !parseDecimal(rest.substr(0, dot), parts[i]))
            return std::nullopt;
        rest.remove_prefix(i < 2 ? dot + 1 : dot);
    }
    if (parts[0] <= 0 || parts[0] > 0x7fffffff) return std::nullopt;  // never kill(0) or (-1)
    return TempFileOwner{static_cast<pid_t>(parts[0]), parts[1]};
}

bool resolveWriteTarget(const std::string& target, std::string& resolved) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        // A new file, or one whose folder cannot be searched: the write itself reports that.
        resolved = target;
        return true;
    }
    char* real = ::realpath(target.c_str(), nullptr);
    if (real == nullptr) {
        resolved.clear();
        return false;
    }
    resolved = real;
    ::free(real);
    return true;
}

int createTempFile(const std::string& target, std::string& path) {
    static std::atomic<unsigned long long> serial{0};
    const std::string stem = parentFolder(target) + "/." + stemOf(target) + std::string(kMarker) +
                             decimal(::getpid()) + "." + decimal(ownStart() < 0 ? 0 : ownStart()) +
                             ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = stem + decimal(static_cast<long long>(serial.fetch_add(1) & 0x7fffffffffffULL));
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              kTempFileMode);
        if (fd >= 0) {
            // The umask may have narrowed the mode (0400 would keep us from reopening the file).
            if (setMode(fd, kTempFileMode)) return fd;
            const int e = errno;
            ::close(fd);
            ::unlink(path.c_str());
            path.clear();
            errno = e;
            return -1;
        }
        if (errno != EEXIST) break;  // a name taken (by a planted file too): try the next one
    }
    path.clear();
    return -1;
}

int removeStaleTempFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    const int dfd = ::dirfd(dir);
    const uid_t me = ::geteuid();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<TempFileOwner> owner = parseTempFileName(entry->d_name);
        if (!owner) continue;
        struct stat st {};
        if (::fstatat(dfd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != me) continue;
        if (!ownerIsGone(*owner)) continue;
        if (::unlinkat(dfd, entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace zbq
