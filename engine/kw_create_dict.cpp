// Dictionary building of String, Code and MultiAns items (numbers: kw_create_numbers.cpp):
// hash the values met, sort the distinct ones once, remap.
#include "engine/kw_create_dict.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>

#include "engine/kw_create_hash.h"
#include "engine/kw_create_values.h"
#include "platform/core/engine_host.h"

namespace kw {

void MessagePump::pump() {
    host_->pumpMessages();
}

namespace {

// The texts of every record, each turned into a first-seen number by `classify` (0 error,
// 1 blank, 2 + k for the k-th distinct value met).
template <class Classify>
int readNumbers(CsvLineReader& texts, std::int32_t records, MessagePump& pump,
                LargeVector<std::int32_t>& numbers, Classify&& classify) {
    numbers.resize(static_cast<std::size_t>(records));
    std::string_view text;
    for (std::int32_t r = 0; r < records; ++r) {
        pump.tick();
        const int got = texts.next(text);
        if (got < 0) return texts.error() != 0 ? texts.error() : EIO;
        if (got == 0) return EIO;  // a column shorter than the record count
        numbers[static_cast<std::size_t>(r)] = classify(text);
    }
    return 0;
}

// Lays out the dictionary of an item whose distinct values, numbered in first-seen order, sort
// as `order` (distinct numbers ascending by value): entries 0 and 1 are `error` and `blank`,
// entry 2 + i gets the value of order[i] through setValue. The first-seen numbers in `numbers`
// become dictionary positions.
template <class SetValue>
void layOut(const std::vector<std::int32_t>& order, const std::vector<std::int32_t>& counts,
            KW_dict error, KW_dict blank, SetValue&& setValue, LargeVector<std::int32_t>& numbers,
            ItemBlock& out) {
    const std::size_t distinct = order.size();
    std::vector<std::int32_t> position(distinct + 2);
    position[0] = KW_POS_ERROR;
    position[1] = KW_POS_BLANK;
    out.dict.assign(distinct + 2, KW_dict{});
    out.dict[0] = error;
    out.dict[1] = blank;
    out.dict[0].count = counts[0];
    out.dict[1].count = counts[1];
    for (std::size_t i = 0; i < distinct; ++i) {
        const std::int32_t number = order[i];
        position[static_cast<std::size_t>(number) + 2] = static_cast<std::int32_t>(i) + 2;
        KW_dict& e = out.dict[i + 2];
        e.count = counts[static_cast<std::size_t>(number) + 2];
        setValue(e, number);
    }
    std::int32_t start = 0;
    for (KW_dict& e : out.dict) {
        e.start = start;
        start += e.count;
    }
    for (std::int32_t& n : numbers)
        n = position[static_cast<std::size_t>(n)];
}

KW_dict marker(std::int32_t low, std::int32_t high) {
    KW_dict e{};
    e.low = low;
    e.high = high;
    return e;
}

void appendText(LargeVector<char>& pool, std::string_view text) {
    pool.insert(pool.end(), text.begin(), text.end());
    pool.push_back('\0');
}

// Eight bytes of a text from `from` on, big-endian, zero-padded: compares like the texts as far
// as it goes, since field texts hold no NUL.
std::uint64_t prefixKey(std::string_view t, std::size_t from) {
    unsigned char b[8] = {};
    if (from < t.size()) std::memcpy(b, t.data() + from, std::min<std::size_t>(8, t.size() - from));
    std::uint64_t k = 0;
    for (unsigned char c : b)
        k = k << 8 | c;
    return k;
}

}  // namespace

int buildStringItem(CsvLineReader& texts, std::int32_t records, BuildContext& context,
                    ItemBlock& out) {
    out.names.clear();
    out.starts.clear();
    struct Text {
        std::size_t offset;
        std::size_t size;
    };
    // The distinct texts, back to back (views would not survive a chunk). An item of unique
    // texts makes both arrays as large as its column: mappings of their own fault in 2 MiB
    // pages as they grow.
    LargeVector<char> arena;
    LargeVector<Text> distinct;
    std::vector<std::int32_t> counts(2, 0);
    FlatIndex index;
    auto textOf = [&](std::int32_t n) {
        const Text& x = distinct[static_cast<std::size_t>(n)];
        return std::string_view(arena.data() + x.offset, x.size);
    };
    auto classify = [&](std::string_view t) -> std::int32_t {
        if (t.empty()) {
            ++counts[1];
            return KW_POS_BLANK;
        }
        const auto fresh = static_cast<std::int32_t>(distinct.size());
        const std::int32_t k = index.findOrAdd(
            mix(std::hash<std::string_view>{}(t)), [&](std::int32_t n) { return textOf(n) == t; },
            fresh);
        if (k == fresh) {
            distinct.push_back({arena.size(), t.size()});
            arena.insert(arena.end(), t.begin(), t.end());
            counts.push_back(0);
        }
        ++counts[static_cast<std::size_t>(k) + 2];
        return k + 2;
    };
    if (const int rc = readNumbers(texts, records, context.pump, out.values, classify); rc != 0) {
        return rc;
    }

    // Sort on the first 16 bytes held in the keys (texts often share a long start); whole
    // texts are compared only where those tie.
    struct Key {
        std::uint64_t head;
        std::uint64_t next;
        std::int32_t number;
    };
    LargeVector<Key> keys(distinct.size());  // each one set below
    for (std::size_t n = 0; n < distinct.size(); ++n) {
        const std::string_view t = textOf(static_cast<std::int32_t>(n));
        keys[n] = {prefixKey(t, 0), prefixKey(t, 8), static_cast<std::int32_t>(n)};
    }
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.head != b.head) return a.head < b.head;
        if (a.next != b.next) return a.next < b.next;
        return textOf(a.number).substr(std::min<std::size_t>(16, textOf(a.number).size())) <
               textOf(b.number).substr(std::min<std::size_t>(16, textOf(b.number).size()));
    });
    std::vector<std::int32_t> order(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        order[i] = keys[i].number;

    out.strings.assign(KW_CAPTIONS, KW_CAPTIONS + KW_CAPTIONS_SIZE);
    out.strings.reserve(out.strings.size() + arena.size() + distinct.size());
    layOut(
        order, counts, marker(0, 0), marker(0, KW_BLANK_CAPTION_OFFSET),
        [&](KW_dict& e, std::int32_t n) {
            e.high = static_cast<std::int32_t>(out.strings.size());
            appendText(out.strings, textOf(n));
        },
        out.values, out);
    out.names.clear();
    out.def.type = KW_TYPE_STRING;
    out.def.codeCount = 0;
    out.def.listLength = records;
    return 0;
}

int buildCodeItem(std::int32_t type, const std::vector<CodeEntry>& codes, CsvLineReader& texts,
                  std::int32_t records, BuildContext& context, ItemBlock& out) {
    MessagePump& pump = context.pump;
    const auto codeCount = static_cast<std::int32_t>(codes.size());
    // Dictionary order: code-text order; of two equal code texts the first in the table ranks
    // first and is the one fields name.
    std::vector<std::int32_t> order(codes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        return codes[static_cast<std::size_t>(a)].code < codes[static_cast<std::size_t>(b)].code;
    });
    std::vector<std::int32_t> positionOf(codes.size());
    for (std::int32_t i = 0; i < codeCount; ++i)
        positionOf[order[i]] = i + KW_POS_FIRST_VALUE;

    // Code texts are mostly a few bytes: those are found by their bytes, longer ones through
    // the text index. Of two equal code texts the first in the table is entered.
    ShortTextIndex shortIndex(codes.size());
    FlatIndex index;
    for (std::int32_t j = 0; j < codeCount; ++j) {
        const std::string& code = codes[static_cast<std::size_t>(j)].code;
        if (code.size() <= kShortTextBytes) {
            shortIndex.add(code, j);
            continue;
        }
        index.findOrAdd(
            mix(std::hash<std::string_view>{}(code)),
            [&](std::int32_t n) { return codes[static_cast<std::size_t>(n)].code == code; }, j);
    }
    auto positionOfText = [&](std::string_view t) {
        const std::int32_t j =
            t.size() <= kShortTextBytes
                ? shortIndex.find(t)
                : index.find(mix(std::hash<std::string_view>{}(t)), [&](std::int32_t n) {
                      return codes[static_cast<std::size_t>(n)].code == t;
                  });
        return j < 0 ? KW_POS_ERROR : positionOf[static_cast<std::size_t>(j)];
    };

    std::vector<std::int32_t> counts(codes.size() + 2, 0);
    std::int64_t answers = 0;
    out.values.clear();
    out.starts.clear();
    if (type == KW_TYPE_MULTI) {
        out.starts.resize(static_cast<std::size_t>(records) + 1);
        out.values.reserve(static_cast<std::size_t>(records));
        std::vector<std::string_view> parts;
        std::string_view t;
        for (std::int32_t r = 0; r < records; ++r) {
            pump.tick();
            const int got = texts.next(t);
            if (got < 0) return texts.error() != 0 ? texts.error() : EIO;
            if (got == 0) return EIO;
            out.starts[static_cast<std::size_t>(r)] = static_cast<std::int32_t>(answers);
            if (!t.empty()) SplitCsvLine(t, ',', parts);
            if (t.empty() || parts.empty()) {
                // A record always holds at least one answer; a field with nothing in it is blank.
                out.values.push_back(KW_POS_BLANK);
            } else {
                for (std::string_view part : parts)
                    out.values.push_back(positionOfText(part));
            }
            answers = static_cast<std::int64_t>(out.values.size());
            if (answers > std::numeric_limits<std::int32_t>::max()) return EOVERFLOW;
        }
        out.starts[static_cast<std::size_t>(records)] = static_cast<std::int32_t>(answers);
        for (std::int32_t p : out.values)
            ++counts[static_cast<std::size_t>(p)];
    } else {
        const int rc = readNumbers(texts, records, pump, out.values, [&](std::string_view t) {
            const std::int32_t p = t.empty() ? KW_POS_BLANK : positionOfText(t);
            ++counts[static_cast<std::size_t>(p)];
            return p;
        });
        if (rc != 0) return rc;
        answers = records;
    }

    out.strings.assign(KW_CAPTIONS, KW_CAPTIONS + KW_CAPTIONS_SIZE);
    out.names.clear();
    out.dict.assign(codes.size() + 2, KW_dict{});
    out.dict[0] = marker(0, 0);
    out.dict[1] = marker(0, KW_BLANK_CAPTION_OFFSET);
    for (std::int32_t i = 0; i < codeCount; ++i) {
        const CodeEntry& c = codes[static_cast<std::size_t>(order[i])];
        KW_dict& e = out.dict[static_cast<std::size_t>(i) + 2];
        e.low = static_cast<std::int32_t>(out.names.size());
        e.high = static_cast<std::int32_t>(out.strings.size());
        appendText(out.names, c.name);
        appendText(out.strings, c.code);
    }
    std::int32_t start = 0;
    for (std::size_t p = 0; p < out.dict.size(); ++p) {
        out.dict[p].count = counts[p];
        out.dict[p].start = start;
        start += counts[p];
    }
    out.def.type = type;
    out.def.codeCount = codeCount;
    out.def.listLength = static_cast<std::int32_t>(answers);
    return 0;
}

}  // namespace kw
