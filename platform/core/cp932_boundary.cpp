// Character-boundary helpers on CP932 bytes (no conversion involved).
#include "cp932.h"

namespace zbq::cp932 {

bool isCharStart(std::string_view text, std::size_t pos) {
    std::size_t i = 0;
    while (i < pos && i < text.size())
        i += (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    return i == pos;
}

std::size_t cutLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t i = 0;
    for (;;) {
        std::size_t step = isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > maxBytes) return i;
        i += step;
    }
}

std::size_t find(std::string_view text, std::string_view pattern, std::size_t from) {
    std::size_t i = 0;
    // Walk character by character so that a match can only begin where a character begins.
    while (i < from && i < text.size())
        i += (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    if (i > text.size()) return std::string_view::npos;
    for (; i + pattern.size() <= text.size();
         i += isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
        if (text.compare(i, pattern.size(), pattern) == 0) return i;
    }
    return std::string_view::npos;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    if (suffix.size() > text.size()) return false;
    std::size_t start = text.size() - suffix.size();
    return text.substr(start) == suffix && isCharStart(text, start);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (isLeadByte(x) && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (lower(x) != lower(y)) {
            return false;
        }
    }
    return true;
}

}  // namespace zbq::cp932
