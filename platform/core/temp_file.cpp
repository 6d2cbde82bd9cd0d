#include "temp_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <vector>

#include "fd_io.h"
#include "folders.h"

namespace zbq {

namespace {

constexpr std::string_view kMarker = ".zbq-tmp.";
// The target's name is cut so that the temporary's name stays well inside NAME_MAX (255).
constexpr std::size_t kMaxStemBytes = 160;
// As many links as the kernel follows in one path before it gives up.
constexpr int kMaxLinks = 40;

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

// Whether a link may be followed, by the rule the kernel applies to links in shared folders: it
// is the caller's, or its folder is not both sticky and writable by anyone, or the folder's
// owner owns the link too.
bool linkMayBeFollowed(const struct stat& link, const struct stat& folder) {
    constexpr mode_t kShared = S_ISVTX | S_IWOTH;
    return link.st_uid == ::geteuid() || (folder.st_mode & kShared) != kShared ||
           folder.st_uid == link.st_uid;
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
    resolved.clear();
    if (target.empty()) {
        resolved = target;
        return true;
    }
    // Walked by hand, one name at a time, the way the kernel walks a path, so that every link on
    // the way is judged in the folder that holds it. `done` is the real folder reached so far
    // (no links in it), `left` the names still to walk, the next one last.
    std::string done;
    if (target.front() != '/') {
        char* cwd = ::getcwd(nullptr, 0);
        if (cwd == nullptr) {
            resolved = target;  // the write itself reports what is wrong
            return true;
        }
        done = cwd;
        ::free(cwd);
        if (done == "/") done.clear();
    }
    std::vector<std::string> left;
    const auto pushNames = [&left](std::string_view path) {
        std::vector<std::string> names;
        std::size_t at = 0;
        while (at <= path.size()) {
            const auto slash = std::min(path.find('/', at), path.size());
            if (slash > at) names.emplace_back(path.substr(at, slash - at));
            at = slash + 1;
        }
        left.insert(left.end(), names.rbegin(), names.rend());
    };
    pushNames(target);

    int links = 0;
    // Whether the name that ends the walk came out of a link: a link to no file is refused,
    // since a write through it would put a file where the link is.
    bool lastFromLink = false;
    while (!left.empty()) {
        const std::string name = std::move(left.back());
        left.pop_back();
        if (name == ".") continue;
        if (name == "..") {
            done.resize(done.empty() ? 0 : done.rfind('/'));
            continue;
        }
        const std::string here = done + "/" + name;
        struct stat st {};
        if (::lstat(here.c_str(), &st) != 0) {
            const int e = errno;
            if (links == 0) {
                resolved = target;  // no link on the way: the write itself reports this
                return true;
            }
            if (e == ENOENT && left.empty() && !lastFromLink) {
                resolved = here;  // a new file, in a folder reached through a link
                return true;
            }
            errno = e;
            return false;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (!left.empty() && !S_ISDIR(st.st_mode)) {
                errno = ENOTDIR;
                return false;
            }
            done = here;
            continue;
        }
        // The kernel's rule for links in shared folders, applied whatever it is set to: a link
        // that someone else left in a sticky folder anyone may write is refused, even to root.
        struct stat folder {};
        if (::stat(done.empty() ? "/" : done.c_str(), &folder) != 0) return false;
        if (!linkMayBeFollowed(st, folder)) {
            errno = EACCES;
            return false;
        }
        if (++links > kMaxLinks) {
            errno = ELOOP;
            return false;
        }
        std::string text(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(here.c_str(), text.data(), text.size());
        if (n < 0) return false;
        if (n == 0 || static_cast<std::size_t>(n) >= text.size()) {
            errno = n == 0 ? ENOENT : ENAMETOOLONG;
            return false;
        }
        text.resize(static_cast<std::size_t>(n));
        if (left.empty()) lastFromLink = true;
        if (text.front() == '/') done.clear();
        pushNames(text);
    }
    if (links == 0) {
        resolved = target;
        return true;
    }
    resolved = done.empty() ? "/" : done;
    return true;
}

namespace {

// Creates the temporary `name` (without folder) in the folder `dfd`, or beside it with
// AT_FDCWD; `path` is the name it was opened by.
int openTempFile(int dfd, const std::string& stem, const std::string& folder, std::string& name) {
    static std::atomic<unsigned long long> serial{0};
    const std::string prefix = "." + stem + std::string(kMarker) + decimal(::getpid()) + "." +
                               decimal(ownStart() < 0 ? 0 : ownStart()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + prefix +
               decimal(static_cast<long long>(serial.fetch_add(1) & 0x7fffffffffffULL));
        const int fd = ::openat(
            dfd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kTempFileMode);
        if (fd >= 0) {
            // The umask may have narrowed the mode (0400 would keep us from reopening the file).
            if (setMode(fd, kTempFileMode)) return fd;
            const int e = errno;
            ::close(fd);
            ::unlinkat(dfd, name.c_str(), 0);
            name.clear();
            errno = e;
            return -1;
        }
        if (errno != EEXIST) break;  // a name taken (by a planted file too): try the next one
    }
    name.clear();
    return -1;
}

}  // namespace

int createTempFile(const std::string& target, std::string& path) {
    return openTempFile(AT_FDCWD, stemOf(target), parentFolder(target) + "/", path);
}

int createTempFileAt(int folder, const std::string& targetName, std::string& name) {
    return openTempFile(folder, stemOf(targetName), std::string(), name);
}

int removeStaleTempFiles(const std::string& folder) {
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return 0;
    const int removed = removeStaleTempFilesAt(dfd);
    ::close(dfd);
    return removed;
}

int removeStaleTempFilesAt(int folder) {
    // A descriptor of its own to read with: closedir closes it, and the caller keeps `folder`.
    const int own = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0) return 0;
    DIR* dir = ::fdopendir(own);
    if (dir == nullptr) {
        ::close(own);
        return 0;
    }
    const uid_t me = ::geteuid();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<TempFileOwner> owner = parseTempFileName(entry->d_name);
        if (!owner) continue;
        struct stat st {};
        if (::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != me) continue;
        if (!ownerIsGone(*owner)) continue;
        if (::unlinkat(folder, entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace zbq
