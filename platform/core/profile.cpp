// Profile files: parsing lines once, reading and writing keys, and loading and saving.
#include "profile.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <unordered_map>
#include <unordered_set>

#include "atomic_file.h"
#include "cp932.h"
#include "regular_file.h"

namespace zbq {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
constexpr bool isQuote(char c) {
    return c == '"' || c == '\'';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != npos;
}

bool endsInLoneLeadByte(std::string_view s) {
    return !s.empty() && cp932::isLeadByte(static_cast<unsigned char>(s.back())) &&
           cp932::isCharStart(s, s.size() - 1);
}

bool isStorableName(std::string_view name) {
    return !name.empty() && trim(name).size() == name.size() && !hasLineBreakOrNul(name);
}

bool isStorableSection(std::string_view section) {
    // A lone lead byte at the end would swallow the closing ']' on reading.
    return isStorableName(section) && cp932::find(section, "]") == npos &&
           !endsInLoneLeadByte(section);
}

bool isStorableKey(std::string_view key) {
    return isStorableName(key) && key.find('=') == npos && key.front() != ';' && key.front() != '[';
}

// The file text of a value such that reading it (trim, then unquote) gives the value back.
std::string fileTextOf(std::string_view value) {
    const bool guard = !value.empty() && (isBlank(value.front()) || isBlank(value.back()) ||
                                          unquote(value).size() != value.size());
    std::string text;
    if (guard) text += '"';
    text += value;
    if (guard) text += '"';
    return text;
}

}  // namespace

std::string profileFoldedName(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (cp932::isLeadByte(c) && i + 1 < folded.size())
            ++i;  // a trail byte is never a letter of its own
        else if (c >= 'A' && c <= 'Z')
            folded[i] = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::string_view profileTrim(std::string_view text) {
    return trim(text);
}
std::string_view profileValue(std::string_view raw) {
    return unquote(trim(raw));
}

std::string_view ProfileFile::Line::value() const {
    return unquote(trim(std::string_view(text).substr(valueBegin)));
}

ProfileFile::Line ProfileFile::parse(std::string text) {
    Line line{std::move(text)};
    const std::string_view t = line.text;
    std::size_t start = 0;
    while (start < t.size() && isBlank(t[start]))
        ++start;
    if (start == t.size() || t[start] == ';') return line;

    std::size_t nameEnd;
    if (t[start] == '[') {
        // ']' (0x5D) can be a trail byte, so it closes the name only at a character start. A
        // header without ']' still names a section, as far as the line goes.
        nameEnd = cp932::find(t, "]", start + 1);
        if (nameEnd == npos) nameEnd = t.size();
        ++start;
        line.kind = Kind::Section;
    } else {
        // '=' (0x3D) is never a trail byte.
        nameEnd = t.find('=', start);
        if (nameEnd == npos) return line;
        line.kind = Kind::Key;
        line.valueBegin = nameEnd + 1;
    }
    const std::string_view name = trim(t.substr(start, nameEnd - start));
    line.nameBegin = name.empty() ? start : static_cast<std::size_t>(name.data() - t.data());
    line.nameSize = name.size();
    return line;
}

ProfileFile::ProfileFile(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) {
        byteOrderMark_ = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.push_back(parse(std::string(line)));
        if (lf == npos) break;
        bytes.remove_prefix(lf + 1);
    }
}

std::size_t ProfileFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && cp932::equalsNoCase(lines_[i].name(), section))
            return i;
    return npos;
}

std::size_t ProfileFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

std::size_t ProfileFile::findKey(std::string_view section, std::string_view key) const {
    const std::size_t header = findSection(section);
    if (header == npos) return npos;
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
        if (lines_[i].kind == Kind::Key && cp932::equalsNoCase(lines_[i].name(), key)) return i;
    return npos;
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    const std::size_t i = findKey(section, key);
    return std::string(i == npos ? defaultValue : lines_[i].value());
}

int ProfileFile::getInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::size_t i = findKey(section, key);
    if (i == npos) return defaultValue;
    std::string_view v = lines_[i].value();
    bool negative = false;
    if (!v.empty() && (v.front() == '+' || v.front() == '-')) {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    unsigned long long magnitude = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), magnitude);
    if (ec == std::errc::invalid_argument) return 0;
    // Clamp the magnitude before the sign is applied, so that no step can overflow.
    const unsigned long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    if (ec == std::errc::result_out_of_range || magnitude > limit)
        return negative ? INT_MIN : INT_MAX;
    const auto n = static_cast<long long>(magnitude);
    return static_cast<int>(negative ? -n : n);
}

bool ProfileFile::hasSection(std::string_view section) const {
    return findSection(section) != npos;
}

bool ProfileFile::hasKey(std::string_view section, std::string_view key) const {
    return findKey(section, key) != npos;
}

std::vector<std::string> ProfileFile::sectionNames() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && findSection(lines_[i].name()) == i)
            names.emplace_back(lines_[i].name());
    return names;
}

std::vector<std::string> ProfileFile::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    for (Entry& entry : entries(section))
        names.push_back(std::move(entry.key));
    return names;
}

std::vector<ProfileFile::Entry> ProfileFile::entries(std::string_view section) const {
    std::vector<Entry> found;
    const std::size_t header = findSection(section);
    if (header == npos) return found;
    const std::size_t end = sectionEnd(header);
    std::unordered_set<std::string> seen;
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Kind::Key && seen.insert(profileFoldedName(lines_[i].name())).second)
            found.push_back({std::string(lines_[i].name()), std::string(lines_[i].value())});
    return found;
}

bool ProfileFile::setString(std::string_view section, std::string_view key,
                            std::string_view value) {
    if (!isStorableSection(section) || !isStorableKey(key) || hasLineBreakOrNul(value))
        return false;
    const std::string text = fileTextOf(value);
    const std::size_t header = findSection(section);
    if (header == npos) {
        lines_.push_back(parse("[" + std::string(section) + "]"));
        lines_.push_back(parse(std::string(key) + "=" + text));
        return true;
    }
    const std::size_t end = sectionEnd(header);
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind != Kind::Key) continue;
        if (cp932::equalsNoCase(line.name(), key)) {
            // The key keeps its spelling and spacing in the file; only the value changes.
            line.text.resize(line.valueBegin);
            line.text += text;
            return true;
        }
        insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  parse(std::string(key) + "=" + text));
    return true;
}

void ProfileFile::deleteKey(std::string_view section, std::string_view key) {
    const std::size_t header = findSection(section);
    if (header == npos) return;
    // Erasing every match keeps a shadowed duplicate from surfacing after the delete.
    for (std::size_t i = sectionEnd(header); i-- > header + 1;)
        if (lines_[i].kind == Kind::Key && cp932::equalsNoCase(lines_[i].name(), key))
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
}

bool ProfileFile::setSectionKeys(std::string_view section, const std::vector<Entry>& keys) {
    if (!isStorableSection(section)) return false;
    std::unordered_map<std::string, std::size_t> wanted;  // folded key -> position in `keys`
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (!isStorableKey(keys[k].key) || hasLineBreakOrNul(keys[k].value)) return false;
        wanted.emplace(profileFoldedName(keys[k].key), k);
    }
    std::size_t header = findSection(section);
    if (header == npos) {
        if (keys.empty()) return true;
        lines_.push_back(parse("[" + std::string(section) + "]"));
        header = lines_.size() - 1;
    }
    // One walk over the section: a wanted key keeps its first line (its spelling and spacing)
    // with the new value, every other key line goes, the new keys follow the last key kept.
    const std::size_t end = sectionEnd(header);
    std::vector<bool> placed(keys.size(), false);
    std::vector<Line> kept;
    kept.reserve(end - header - 1 + keys.size());
    std::size_t afterLastKey = 0;
    for (std::size_t i = header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind == Kind::Key) {
            const auto it = wanted.find(profileFoldedName(line.name()));
            if (it == wanted.end()) continue;
            if (placed[it->second]) continue;  // a shadowed duplicate of a written key
            placed[it->second] = true;
            line.text.resize(line.valueBegin);
            line.text += fileTextOf(keys[it->second].value);
            kept.push_back(std::move(line));
            afterLastKey = kept.size();
            continue;
        }
        kept.push_back(std::move(line));
    }
    std::vector<Line> added;
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (!placed[k] && wanted.at(profileFoldedName(keys[k].key)) == k)
            added.push_back(parse(keys[k].key + "=" + fileTextOf(keys[k].value)));
    kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(afterLastKey),
                std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header + 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(header + 1),
                  std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()));
    return true;
}

void ProfileFile::deleteSection(std::string_view section) {
    for (std::size_t header; (header = findSection(section)) != npos;)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(header)));
}

std::string ProfileFile::bytes() const {
    std::size_t size = 0;
    for (const auto& line : lines_)
        size += line.text.size() + 2;
    std::string out;
    out.reserve(size + kByteOrderMark.size());
    if (byteOrderMark_) out += kByteOrderMark;
    for (const auto& line : lines_) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

bool ProfileFile::load(const std::string& path, ProfileFile& out, int* err, struct stat* statOut) {
    const auto fail = [err](int error) {
        if (err) *err = error;
        return false;
    };
    std::string bytes;
    struct stat st {};
    const RegularFileError read = readRegularFile(path, kMaxBytes, bytes, &st);
    if (statOut && read != RegularFileError::CannotOpen) *statOut = st;
    switch (read) {
        case RegularFileError::None:
            out = ProfileFile(bytes);
            return true;
        case RegularFileError::CannotOpen:
            if (errno != ENOENT) return fail(errno);
            out = ProfileFile();
            return true;
        case RegularFileError::NotRegular:
            return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        case RegularFileError::TooLarge:
            return fail(EFBIG);
        case RegularFileError::ReadFailed:
            break;
    }
    return fail(errno);
}

bool ProfileFile::save(const std::string& path, int* err) const {
    const std::string text = bytes();
    if (text.size() > kMaxBytes) {
        if (err) *err = EFBIG;
        return false;
    }
    return writeFileAtomically(path, text, err);
}

}  // namespace zbq
