// ZBQ_Error.log: one line per failed engine operation, appended under a file lock so that
// threads of one process and other processes sharing the program directory never interleave.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>
#include <mutex>

#include "engine/kw_error.h"
#include "platform/core/cp932.h"
#include "platform/core/fd_io.h"
#include "platform/core/program_paths.h"

namespace {

// The message field of a line holds at most this many bytes (the record's former buffer size
// less its terminator).
constexpr std::size_t kMaxMessageBytes = 65535;
// The lock byte lies beyond any real content, so a reader of the log is never blocked by it.
constexpr off_t kLockOffset = off_t{1} << 32;

std::mutex g_dirMutex;
std::string g_logDir;

std::string logPath() {
    std::string dir;
    {
        std::lock_guard lock(g_dirMutex);
        dir = g_logDir;
    }
    if (dir.empty()) dir = zbq::programDir();  // never the root folder of an unset directory
    return dir + "/ZBQ_Error.log";
}

void appendNumber(std::string& out, long value, int width) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    for (int n = static_cast<int>(end - buf); n < width; ++n)
        out += '0';
    out.append(buf, end);
}

// "yyyy/mm/dd hh:mm:ss\t<code>\t<message>\r\n" in local time.
std::string formatLine(std::int32_t code, std::string_view message) {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    std::string line;
    line.reserve(40 + message.size());
    appendNumber(line, t.tm_year + 1900L, 1);
    line += '/';
    appendNumber(line, t.tm_mon + 1, 2);
    line += '/';
    appendNumber(line, t.tm_mday, 2);
    line += ' ';
    appendNumber(line, t.tm_hour, 2);
    line += ':';
    appendNumber(line, t.tm_min, 2);
    line += ':';
    appendNumber(line, t.tm_sec, 2);
    line += '\t';
    appendNumber(line, code, 1);
    line += '\t';
    line += zbq::cp932::cut(message, kMaxMessageBytes);
    line += "\r\n";
    return line;
}

bool lockByte(int fd, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockOffset;
    fl.l_len = 1;
    while (::fcntl(fd, type == F_UNLCK ? F_OFD_SETLK : F_OFD_SETLKW, &fl) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

}  // namespace

void KWsetLogDir(const std::string& dir) {
    std::lock_guard lock(g_dirMutex);
    g_logDir = dir;
    while (g_logDir.size() > 1 && g_logDir.back() == '/')
        g_logDir.pop_back();
}

void WriteErrorLog(std::int32_t code, std::string_view message) {
    const int savedErrno = errno;  // callers may still want the errno of their own failure
    try {
        const std::string line = formatLine(code, message);
        const std::string path = logPath();
        // O_APPEND as well as the lock: a writer that ignores the lock still cannot overwrite.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            if (lockByte(fd, F_WRLCK)) {
                if (::lseek(fd, 0, SEEK_END) >= 0) zbq::writeAll(fd, line.data(), line.size());
                lockByte(fd, F_UNLCK);
            }
            ::close(fd);
        }
    } catch (...) {
        // Logging never turns a reported failure into a different one.
    }
    errno = savedErrno;
}
