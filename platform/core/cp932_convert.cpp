// CP932 <-> UTF-8 through glibc's iconv "CP932", which maps as Windows' code page 932 does
// (0x8160 is U+FF5E, NEC row 13 and the IBM extensions are present). Strict "SHIFT_JIS" would
// reject characters such as ① and ～ that real files hold.
#include <errno.h>
#include <iconv.h>

#include <cstdio>
#include <cstdlib>

#include "cp932.h"

namespace zbq::cp932 {

namespace {

// iconv descriptors carry conversion state, so each thread keeps its own pair; opening one per
// call would cost more than converting a typical cell.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            // Without the CP932 module no text can be shown or stored: an installation fault.
            std::fprintf(stderr, "zbq: iconv cannot convert %s to %s\n", from, to);
            std::abort();
        }
    }
    ~Converter() { ::iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of `in` as it can into `out` (appending); returns 0 when all of `in` was
    // consumed, otherwise the errno (EILSEQ, EINVAL) with `in` advanced to the offending byte.
    int convert(std::string_view& in, std::string& out) {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        char* src = const_cast<char*>(in.data());          // iconv's signature; it does not write
        std::size_t srcLeft = in.size();
        int result = 0;
        while (srcLeft > 0) {
            const std::size_t used = out.size();
            out.resize(used + srcLeft * 3 + 16);
            char* dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            const std::size_t rc = ::iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.resize(out.size() - dstLeft);
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            result = errno;
            break;
        }
        in.remove_prefix(in.size() - srcLeft);
        return result;
    }

private:
    iconv_t cd_;
};

Converter& decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

// Branch-free so that the compiler vectorises it: most cells are plain ASCII.
bool isAscii(std::string_view text) {
    unsigned char any = 0;
    for (unsigned char c : text)
        any |= c;
    return any < 0x80;
}

constexpr bool isTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::string toUtf8(std::string_view cp932) {
    if (isAscii(cp932)) return std::string(cp932);
    std::string out;
    out.reserve(cp932.size() * 3);
    Converter& c = decoder();
    while (!cp932.empty()) {
        if (c.convert(cp932, out) == 0) break;
        // A lead byte with a proper trail byte is one (unmapped) character; anything else is a
        // single stray byte, so a line end or letter after a broken lead byte survives.
        const auto b0 = static_cast<unsigned char>(cp932[0]);
        const bool pair =
            isLeadByte(b0) && cp932.size() > 1 && isTrailByte(static_cast<unsigned char>(cp932[1]));
        out += kReplacement;
        cp932.remove_prefix(pair ? 2 : 1);
    }
    return out;
}

std::optional<std::string> fromUtf8(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    if (encoder().convert(utf8, out) != 0) return std::nullopt;
    return out;
}

std::string literal(std::string_view utf8) {
    if (auto bytes = fromUtf8(utf8)) return *std::move(bytes);
    std::fprintf(stderr, "zbq: literal not representable in CP932: %.*s\n",
                 static_cast<int>(utf8.size()), utf8.data());
    std::abort();
}

std::optional<std::string> pathToStored(std::string_view utf8Path) {
    auto stored = fromUtf8(utf8Path);
    if (!stored || toUtf8(*stored) != utf8Path) return std::nullopt;
    return stored;
}

std::string pathFromStored(std::string_view storedPath) {
    return toUtf8(storedPath);
}

}  // namespace zbq::cp932
