#include "print_section.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <unordered_set>

namespace zbq {

namespace {

constexpr bool isCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::string printKey(int position) {
    std::string key = "prt";
    if (position >= 0 && position < 10) key += '0';
    key += std::to_string(position);
    return key;
}

int printEntryNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturated either way
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool splitPrintEntry(std::string_view value, std::string& number, std::string& menuName,
                     std::string& file) {
    // A comma (0x2C) is never the trail byte of a two-byte CP932 character.
    const std::size_t first = value.find(',');
    if (first == std::string_view::npos) return false;
    const std::size_t second = value.find(',', first + 1);
    if (second == std::string_view::npos) return false;
    number = value.substr(0, first);
    menuName = value.substr(first + 1, second - first - 1);
    file = value.substr(second + 1);
    return true;
}

PrintSection readPrintSection(const ProfileFile& profile) {
    using Reason = RefusedPrintEntry::Reason;
    PrintSection section;
    const std::vector<ProfileFile::Entry> lines = profile.entries(kPrintSection);
    std::unordered_map<std::string, std::size_t> byKey;  // folded key -> index in `lines`
    for (std::size_t i = 0; i < lines.size(); ++i)
        byKey.emplace(profileFoldedName(lines[i].key), i);

    std::unordered_set<std::size_t> read;
    std::unordered_set<int> numbers;
    for (int position = 1; position <= kPrintKeyCount; ++position) {
        const auto found = byKey.find(printKey(position));
        if (found == byKey.end()) continue;
        read.insert(found->second);
        const ProfileFile::Entry& line = lines[found->second];
        if (line.value.empty()) continue;
        PrintEntry entry;
        entry.key = line.key;
        const bool wellFormed =
            line.value.find_first_of(std::string_view("\r\0", 2)) == std::string::npos &&
            splitPrintEntry(line.value, entry.number, entry.menuName, entry.file) &&
            !entry.menuName.empty() && !entry.file.empty();
        if (!wellFormed)
            section.refused.push_back({Reason::Malformed, line.key, line.value});
        else if (!numbers.insert(entry.value()).second)
            section.refused.push_back({Reason::DuplicateNumber, line.key, line.value});
        else
            section.entries.push_back(std::move(entry));
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!read.contains(i) && !lines[i].value.empty())
            section.refused.push_back({Reason::KeyNotRead, lines[i].key, lines[i].value});
    return section;
}

}  // namespace zbq
