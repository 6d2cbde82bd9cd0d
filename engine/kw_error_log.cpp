// ZBQ_Error.log: one line per failed engine operation, appended under a file lock so that
// threads of one process and other processes sharing the program directory never interleave.
// A line is whole or absent: it is built first and written by one write, and a write the disk
// cut short is taken back. The log is read line by line, so a message can never end a line:
// its control bytes are written escaped.
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
constexpr mode_t kLogMode = 0644;

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

// A message (a file name above all) holding CR or LF would end the line and forge the next one:
// CR, LF and every other control byte are written as \r, \n and \xNN. CP932 never uses a byte
// below 0x20, nor 0x7F, inside a character, so no character is split by it.
void appendEscaped(std::string& out, std::string_view message) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : message) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += ch;
        }
    }
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
    appendEscaped(line, zbq::cp932::cut(message, kMaxMessageBytes));
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

// O_APPEND as well as the lock: a writer that ignores the lock still cannot overwrite. A log we
// create is 0644 whatever the umask.
int openLog(const std::string& path) {
    constexpr int kFlags = O_RDWR | O_APPEND | O_CLOEXEC;
    const int fd = ::open(path.c_str(), kFlags);
    if (fd >= 0 || errno != ENOENT) return fd;
    const int created = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, kLogMode);
    if (created >= 0) {
        zbq::setMode(created, kLogMode);
        return created;
    }
    return errno == EEXIST ? ::open(path.c_str(), kFlags) : -1;  // made meanwhile by another
}

// Under the lock. One write, so the line is never split around another writer's; a short one (a
// full disk) is cut off again, so the next reader finds no torn line.
void appendWhole(int fd, const std::string& line) {
    const off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0) return;
    ssize_t n;
    do {
        n = zbq::writeSome(fd, line.data(), line.size());
    } while (n < 0 && errno == EINTR);
    if (n > 0 && static_cast<std::size_t>(n) != line.size()) {
        if (::ftruncate(fd, end) != 0) {
            // Nothing more we can do; the failure stays silent like every other here.
        }
    }
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
        const int fd = openLog(path);
        if (fd >= 0) {
            if (lockByte(fd, F_WRLCK)) {
                appendWhole(fd, line);
                lockByte(fd, F_UNLCK);
            }
            ::close(fd);
        }
    } catch (...) {
        // Logging never turns a reported failure into a different one.
    }
    errno = savedErrno;
}
