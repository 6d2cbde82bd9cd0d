// Parsing the name/value text and ordering the items.
#include "item_data.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zbq::grafvik {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Well-formed UTF-8 whose characters a workbook can hold (no surrogates, no U+FFFE/U+FFFF).
bool isStorableUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (len == 0 || b > 0xF4 || i + len > s.size()) return false;
        char32_t cp = b & (0x7F >> len);
        for (std::size_t k = 1; k < len; ++k) {
            auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kSmallest[len] || cp > 0x10FFFF) return false;  // overlong or beyond Unicode
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) return false;
        i += len;
    }
    return true;
}

// The length of well-formed UTF-8 in UTF-16 units: one a character, two beyond U+FFFF.
std::size_t utf16Units(std::string_view s) {
    std::size_t units = 0;
    for (char c : s) {
        auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

}  // namespace

std::optional<int32_t> parseValue(std::string_view f) {
    while (!f.empty() && isBlank(f.front()))
        f.remove_prefix(1);
    while (!f.empty() && isBlank(f.back()))
        f.remove_suffix(1);
    bool negative = false;
    if (!f.empty() && (f.front() == '+' || f.front() == '-')) {
        negative = f.front() == '-';
        f.remove_prefix(1);
    }
    // Magnitudes beyond this cannot come back into range, so accumulation stops growing there.
    constexpr uint64_t kCap = uint64_t{1} << 32;
    uint64_t magnitude = 0;
    std::size_t i = 0, digits = 0;
    for (; i < f.size() && isDigit(f[i]); ++i, ++digits)
        magnitude = std::min(kCap, magnitude * 10 + static_cast<uint64_t>(f[i] - '0'));
    bool roundUp = false;
    if (i < f.size() && f[i] == '.') {
        std::size_t first = ++i;
        for (; i < f.size() && isDigit(f[i]); ++i, ++digits) {
        }
        std::string_view fraction = f.substr(first, i - first);
        if (!fraction.empty()) {
            char lead = fraction.front();
            bool beyondHalf = fraction.find_first_not_of('0', 1) != std::string_view::npos;
            // Exactly one half goes to the even neighbour.
            roundUp = lead > '5' || (lead == '5' && (beyondHalf || magnitude % 2 == 1));
        }
    }
    if (digits == 0 || i != f.size()) return std::nullopt;
    if (roundUp) magnitude = std::min(kCap, magnitude + 1);
    int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<ItemData> parseItemData(std::string_view text) {
    if (text.empty() || !isStorableUtf8(text)) return std::nullopt;
    ItemData data;
    int64_t total = 0;
    for (std::size_t pos = 0;;) {
        std::size_t tab = text.find('\t', pos);
        if (tab == std::string_view::npos) return std::nullopt;  // a name without its value
        std::string_view name = text.substr(pos, tab - pos);
        if (data.items.size() == kMaxItems) return std::nullopt;
        if (name.size() > kMaxNameUnits && utf16Units(name) > kMaxNameUnits) return std::nullopt;
        pos = tab + 1;
        tab = text.find('\t', pos);
        auto value = parseValue(text.substr(pos, tab == std::string_view::npos ? tab : tab - pos));
        if (!value) return std::nullopt;
        total += *value;
        data.items.push_back(Item{std::string(name), *value});
        if (tab == std::string_view::npos) break;
        pos = tab + 1;
    }
    if (total < std::numeric_limits<int32_t>::min() || total > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    data.total = static_cast<int32_t>(total);
    return data;
}

void sortAscending(std::vector<Item>& items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.value < b.value; });
}

void sortDescending(std::vector<Item>& items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.value > b.value; });
}

}  // namespace zbq::grafvik
