// The consistency rules of a data file's blocks, shared by the reader (on each part as it
// arrives) and the writer (on a whole block before it is written). Every later reader of the
// tables relies on them: a position indexes its dictionary, start + count stays inside the
// record lists, a pool offset finds a terminated string.
#include <algorithm>

#include "engine/kw_format.h"
#include "platform/core/cp932.h"

namespace kw {

void setTextField(char (&field)[KW_TEXT_FIELD], std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const std::size_t n = zbq::cp932::cutLength(text, KW_TEXT_FIELD - 1);
    std::memset(field, 0, KW_TEXT_FIELD);
    std::memcpy(field, text.data(), n);
}

void fillCounts(ItemBlock& block) {
    const auto size = block.dict.size();
    for (KW_dict& e : block.dict)
        e.count = e.mapCount = 0;
    for (const std::int32_t p : block.values)
        if (static_cast<std::uint32_t>(p) < size) ++block.dict[static_cast<std::size_t>(p)].count;
    std::int32_t start = 0;
    for (KW_dict& e : block.dict) {
        e.start = start;
        start += e.count;
    }
}

bool checkDefinition(const KW_item& def, std::int32_t recordCount) {
    if (recordCount < 0 || def.type < KW_TYPE_INTEGER || def.type > KW_TYPE_TIME) return false;
    if (def.codeCount < 0 || (def.codeCount > 0 && !hasStringPool(def.type))) return false;
    return isMultiType(def.type) ? def.listLength >= 0 : def.listLength == recordCount;
}

bool checkDictionary(const KW_item& def, std::span<const KW_dict> dict) {
    if (dict.size() < KW_POS_FIRST_VALUE ||
        dict.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return false;
    if (def.codeCount > 0 &&
        dict.size() != static_cast<std::size_t>(def.codeCount) + KW_POS_FIRST_VALUE)
        return false;
    std::int64_t start = 0;
    for (const KW_dict& e : dict) {
        if (e.count < 0 || e.start != start) return false;
        start += e.count;
        if (start > def.listLength) return false;
    }
    return start == def.listLength;
}

namespace {

bool poolTerminated(std::span<const char> pool) {
    return !pool.empty() && pool.back() == '\0';
}

bool insidePool(std::int32_t offset, std::span<const char> pool) {
    return offset >= 0 && static_cast<std::size_t>(offset) < pool.size();
}

}  // namespace

bool checkStringPool(std::span<const char> pool, std::span<const KW_dict> dict) {
    return poolTerminated(pool) && std::all_of(dict.begin(), dict.end(), [&](const KW_dict& e) {
               return insidePool(e.high, pool);
           });
}

bool checkCodePool(std::span<const char> pool, std::span<const KW_dict> dict) {
    // Only ordinary entries carry a display name; entries 0 and 1 are never shown by name.
    if (!poolTerminated(pool)) return false;
    for (std::size_t p = KW_POS_FIRST_VALUE; p < dict.size(); ++p)
        if (!insidePool(dict[p].low, pool)) return false;
    return true;
}

bool checkAnswerStarts(std::span<const std::int32_t> starts, std::int32_t recordCount,
                       std::int32_t listLength) {
    if (recordCount < 0 || starts.size() != static_cast<std::size_t>(recordCount) + 1 ||
        starts.front() != 0 || starts.back() != listLength)
        return false;
    return std::is_sorted(starts.begin(), starts.end());
}

// Every load passes through here, so the count is made fast: stretches of positions are
// checked for range before any is counted, and a small dictionary counts into four partial
// histograms (record k into histogram k mod 4), since consecutive records holding the same
// value would otherwise wait on one counter.
bool checkValues(std::span<const std::int32_t> values, std::span<const KW_dict> dict) {
    constexpr std::size_t kStretch = 256;
    const auto size = static_cast<std::uint32_t>(dict.size());
    const std::size_t lanes = size <= 4096 ? 4 : 1;
    std::vector<std::int32_t> seen(lanes * size, 0);
    // With one histogram the four lanes are the same one.
    const std::size_t step = lanes == 4 ? size : 0;
    std::int32_t* const s0 = seen.data();
    std::int32_t* const s1 = s0 + step;
    std::int32_t* const s2 = s0 + 2 * step;
    std::int32_t* const s3 = s0 + 3 * step;
    const std::int32_t* v = values.data();
    const std::size_t n = values.size();
    for (std::size_t i = 0; i < n; i += kStretch) {
        const std::size_t end = std::min(n, i + kStretch);
        std::uint32_t outside = 0;
        for (std::size_t r = i; r < end; ++r)
            outside |= static_cast<std::uint32_t>(v[r]) >= size;
        if (outside != 0) return false;
        std::size_t r = i;
        for (; r + 4 <= end; r += 4) {
            ++s0[v[r]];
            ++s1[v[r + 1]];
            ++s2[v[r + 2]];
            ++s3[v[r + 3]];
        }
        for (; r < end; ++r)
            ++s0[v[r]];
    }
    for (std::size_t p = 0; p < size; ++p) {
        std::int32_t total = 0;
        for (std::size_t k = 0; k < lanes; ++k)
            total += seen[k * size + p];
        if (total != dict[p].count) return false;
    }
    return true;
}

bool checkItemBlock(const ItemBlock& block, std::int32_t recordCount) {
    const KW_item& def = block.def;
    if (!checkDefinition(def, recordCount) || !checkDictionary(def, block.dict)) return false;
    if (hasStringPool(def.type) ? !checkStringPool(block.strings, block.dict)
                                : !block.strings.empty())
        return false;
    if (def.codeCount > 0 ? !checkCodePool(block.names, block.dict) : !block.names.empty())
        return false;
    if (isMultiType(def.type) ? !checkAnswerStarts(block.starts, recordCount, def.listLength)
                              : !block.starts.empty())
        return false;
    return block.values.size() == static_cast<std::size_t>(def.listLength) &&
           checkValues(block.values, block.dict);
}

}  // namespace kw
