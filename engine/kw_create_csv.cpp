// Line reading and field splitting of the builder's CSV intake.
#include "engine/kw_create_csv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <emmintrin.h>

#include <bit>
#include <cerrno>
#include <cstring>

void SplitCsvLine(std::string_view line, char sep, std::vector<std::string_view>& fields) {
    fields.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    const char* start = p;
    bool quoted = false;  // the first field never is
    while (p < end) {
        if (quoted) {
            // Only a quote directly before a separator closes the field; the scan then stands on
            // that separator and ends the field below.
            if (*p == '"' && p + 1 < end && p[1] == sep) quoted = false;
            ++p;
            continue;
        }
        if (*p != sep) {
            ++p;
            continue;
        }
        std::string_view field(start, static_cast<std::size_t>(p - start));
        if (!field.empty() && field.front() == '"' && field.back() == '"') {
            // A lone quote is both its opening and its closing one: nothing remains.
            field = field.size() >= 2 ? field.substr(1, field.size() - 2) : std::string_view();
        }
        fields.push_back(field);
        start = ++p;
        if (p < end && *p == '"') {
            quoted = true;
            ++p;
        }
    }
    std::string_view last(start, static_cast<std::size_t>(end - start));
    if (!last.empty() && last.front() == '"') last.remove_prefix(1);
    if (!last.empty() && last.back() == '"') last.remove_suffix(1);
    if (!last.empty()) fields.push_back(last);
}

namespace {

// The first CR or LF in [p, e), or e; a NUL on the way sets `nul`. Sixteen bytes at a time:
// a line of a text table holds many TABs and few other control bytes.
const char* findLineEnd(const char* p, const char* const e, bool& nul) {
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    for (; e - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int ends =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
        int nuls = _mm_movemask_epi8(_mm_cmpeq_epi8(v, zero));
        if (ends != 0) {
            const int at = std::countr_zero(static_cast<unsigned>(ends));
            nuls &= (1 << at) - 1;  // only those before the line end
            if (nuls != 0) nul = true;
            return p + at;
        }
        if (nuls != 0) nul = true;
    }
    for (; p < e; ++p) {
        if (*p == '\n' || *p == '\r') return p;
        if (*p == '\0') nul = true;
    }
    return e;
}

}  // namespace

CsvLineReader::~CsvLineReader() {
    close();
}

int CsvLineReader::open(const std::string& path) {
    close();
    // Read-only; O_NONBLOCK keeps a FIFO named by mistake from hanging the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    struct stat st {};
    int e = ::fstat(fd, &st) != 0 ? errno : 0;
    if (e == 0 && !S_ISREG(st.st_mode)) e = EINVAL;  // a directory or device is no text table
    if (e != 0) {
        ::close(fd);
        return e;
    }
    fd_ = fd;
    size_ = static_cast<std::int64_t>(st.st_size);
    buffer_.resize(kChunkSize);
    data_ = buffer_.data();
    begin_ = end_ = 0;
    eof_ = false;
    error_ = 0;
    return 0;
}

void CsvLineReader::openBytes(std::string_view bytes) {
    close();
    data_ = bytes.data();
    begin_ = 0;
    end_ = bytes.size();
    eof_ = true;
    size_ = static_cast<std::int64_t>(bytes.size());
    error_ = 0;
}

bool CsvLineReader::fill() {
    if (fd_ < 0) {
        eof_ = true;
        return true;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);  // one line fills it
    data_ = buffer_.data();
    ssize_t n;
    do {
        n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        error_ = errno;
        return false;
    }
    if (n == 0) {
        eof_ = true;
    } else {
        end_ += static_cast<std::size_t>(n);
    }
    return true;
}

int CsvLineReader::next(std::string_view& line) {
    if (data_ == nullptr) return 0;
    lineHasNul_ = false;
    std::size_t scanned = 0;  // bytes behind begin_ already known to hold no line end
    for (;;) {
        const char* const e = data_ + end_;
        const char* p = findLineEnd(data_ + begin_ + scanned, e, lineHasNul_);
        if (p < e) {
            const std::size_t at = static_cast<std::size_t>(p - data_);
            if (*p == '\r' && at + 1 == end_ && !eof_) {
                // Whether this CR starts a CR LF pair is decided by the next chunk.
                scanned = at - begin_;
                if (!fill()) return -1;
                continue;
            }
            line = std::string_view(data_ + begin_, at - begin_);
            begin_ = at + 1;
            if (*p == '\r' && begin_ < end_ && data_[begin_] == '\n') ++begin_;
            return 1;
        }
        if (eof_) {
            if (begin_ == end_) {
                line = {};
                return 0;
            }
            line = std::string_view(data_ + begin_, end_ - begin_);
            begin_ = end_;
            return 1;
        }
        scanned = end_ - begin_;
        if (!fill()) return -1;
    }
}

int CsvLineReader::close() {
    std::vector<char>().swap(buffer_);
    data_ = nullptr;
    begin_ = end_ = 0;
    eof_ = false;
    if (fd_ < 0) return 0;
    const int r = ::close(fd_);
    fd_ = -1;
    return r == 0 ? 0 : errno;
}
