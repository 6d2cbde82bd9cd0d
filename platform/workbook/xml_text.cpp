// Cleaning text for workbook XML.
#include "xml_text.h"

#include <cstddef>

namespace zbq::workbook {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct Char {
    std::size_t length;  // bytes taken: a whole character, or one byte that begins none
    bool allowed;
};

// The character at the start of `s` (not empty).
Char nextChar(std::string_view s) {
    auto b = static_cast<unsigned char>(s[0]);
    if (b < 0x80) return {1, b >= 0x20 || b == '\t' || b == '\n' || b == '\r'};
    std::size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    if (len == 0 || b > 0xF4 || len > s.size()) return {1, false};
    char32_t cp = b & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k) {
        auto c = static_cast<unsigned char>(s[k]);
        if ((c & 0xC0) != 0x80) return {1, false};
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[len] || cp > 0x10FFFF) return {1, false};  // overlong or beyond Unicode
    if (cp >= 0xD800 && cp <= 0xDFFF) return {1, false};          // a surrogate is no character
    return {len, cp != 0xFFFE && cp != 0xFFFF};
}

}  // namespace

std::string xmlSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        Char c = nextChar(text);
        if (c.allowed)
            out.append(text.substr(0, c.length));
        else
            out += kReplacement;
        text.remove_prefix(c.length);
    }
    return out;
}

bool isXmlSafeText(std::string_view text) {
    while (!text.empty()) {
        Char c = nextChar(text);
        if (!c.allowed) return false;
        text.remove_prefix(c.length);
    }
    return true;
}

}  // namespace zbq::workbook
