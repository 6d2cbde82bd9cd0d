// The macro file's profile view and key table, built in one pass.
#include "macro/macro_file_index.h"

#include <algorithm>

#include "platform/core/cp932.h"
#include "platform/core/profile.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

using zbq::profileTrim;

// ASCII letters folded to lower case at character starts; two-byte characters kept whole, as
// names compare in profile files.
std::string folded(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (zbq::cp932::isLeadByte(c) && i + 1 < name.size()) {
            out += name[i];
            out += name[++i];
        } else {
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
    }
    return out;
}

std::string keyOf(std::uint32_t section, std::string_view name) {
    std::string key(reinterpret_cast<const char*>(&section), sizeof section);
    key += folded(name);
    return key;
}

// Keys compare byte for byte in the key table, so a line can only ever be found there when its
// key starts the way every structure key starts; the macro keys stay out of it.
bool mayBeStructureKey(std::string_view key) {
    return key.substr(0, 4) == "Item" || key.substr(0, 4) == "Code";
}

}  // namespace

MacroFileIndex::MacroFileIndex(std::string bytes) : bytes_(std::move(bytes)) {
    const auto lines = static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), '\n'));
    keys_.reserve(lines);
    std::string_view rest = bytes_;
    // Keys before the first section belong to none, and so do those of a later block of a
    // section already seen: only the first block counts.
    std::optional<std::uint32_t> section;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == npos ? rest.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const std::size_t equals = line.find('=');  // '=' is never a trail byte
        if (equals != npos && mayBeStructureKey(line))
            table_.emplace(line.substr(0, equals), line.substr(equals + 1));

        const std::string_view text = profileTrim(line);
        if (text.empty() || text.front() == ';') continue;
        if (text.front() == '[') {
            // ']' can be a trail byte: it closes the name only at a character start.
            std::size_t close = zbq::cp932::find(text, "]", 1);
            if (close == npos) close = text.size();
            // Only the first block of a section counts; a later one of the same name is ignored.
            const auto number = static_cast<std::uint32_t>(sections_.size());
            const bool fresh =
                sections_.try_emplace(folded(profileTrim(text.substr(1, close - 1))), number)
                    .second;
            section = fresh ? std::optional(number) : std::nullopt;
        } else if (section && equals != npos) {
            keys_.try_emplace(keyOf(*section, profileTrim(line.substr(0, equals))),
                              zbq::profileValue(line.substr(equals + 1)));
        }
    }
}

std::optional<std::string_view> MacroFileIndex::profile(std::string_view section,
                                                        std::string_view key) const {
    const auto s = sections_.find(folded(section));
    if (s == sections_.end()) return std::nullopt;
    const auto k = keys_.find(keyOf(s->second, key));
    if (k == keys_.end()) return std::nullopt;
    return k->second;
}

std::optional<std::string_view> MacroFileIndex::key(std::string_view key) const {
    const auto it = table_.find(key);
    if (it == table_.end()) return std::nullopt;
    return it->second;
}
