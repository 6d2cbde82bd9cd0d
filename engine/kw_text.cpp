// Text searches, three-way comparisons and the file size used by the search and CSV intake.
#include "engine/kw_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "platform/core/cp932.h"

namespace {

std::string_view view(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

}  // namespace

int TextContains(const char* text, const char* pattern) {
    const std::string_view t = view(text), p = view(pattern);
    if (t.empty() || p.empty()) return -1;
    // A match must begin at a character start: "A" is not inside the two bytes of "ア".
    return zbq::cp932::find(t, p) == std::string_view::npos ? -1 : 0;
}

int TextEndsWith(const char* text, const char* suffix) {
    return zbq::cp932::endsWith(view(text), view(suffix)) ? 0 : -1;
}

int CompareInt(std::int32_t a, std::int32_t b) {
    return a == b ? 0 : (a > b ? 1 : -1);
}

int CompareDouble(double a, double b) {
    if (!(a < b) && !(a > b)) return 0;
    return a >= b ? 1 : -1;
}

std::int64_t FileSize64(const std::string& path) {
    // O_NONBLOCK so that a FIFO given by mistake cannot hang the intake.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return ok ? static_cast<std::int64_t>(st.st_size) : -1;
}
