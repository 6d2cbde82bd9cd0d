#include "app/print_entries.h"

#include <cstdio>
#include <limits>

#include "platform/core/cp932.h"

namespace zbq::app {

namespace {

constexpr int kLastEntry = 99;

// The leading decimal integer, as the C library's conversion reads it: blanks, a sign, digits;
// saturated to int32 rather than wrapped.
std::int32_t leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            value = std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
            break;
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::vector<PrintMenuEntry> readPrintEntries(const ProfileFile& ini,
                                             const std::string& programDir) {
    std::vector<PrintMenuEntry> entries;
    for (int n = 1; n <= kLastEntry; ++n) {
        char key[8];
        std::snprintf(key, sizeof key, "PRT%02d", n);
        const std::string value = ini.getString("print", key);
        if (value.empty()) continue;

        const std::size_t first = value.find(',');
        const std::size_t second =
            first == std::string::npos ? std::string::npos : value.find(',', first + 1);
        if (second == std::string::npos) continue;
        const std::string name = value.substr(first + 1, second - first - 1);
        const std::string file = value.substr(second + 1);
        if (name.empty() || file.empty()) continue;

        PrintMenuEntry entry;
        entry.number = leadingInteger(std::string_view(value).substr(0, first));
        entry.menuName = name;
        entry.formatFile = cp932::pathFromStored(file);
        if (entry.formatFile.front() != '/') entry.formatFile = programDir + "/" + entry.formatFile;
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace zbq::app
