// Dictionary building of Integer, Date, Time and Float items.
//
// While an item has few distinct values (up to kHashedValues, a table that stays in cache) each
// value is hashed and only the distinct values are sorted. When more turn up, the item changes
// method: every value record is radix-sorted by its value's key, a few sequential passes over
// the records where a large hash table would miss the cache on nearly every record. Both give
// the same dictionary: ascending values, each with its count, the first value met standing for
// values that compare equal.
#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>

#include "engine/kw_create_dict.h"
#include "engine/kw_create_hash.h"
#include "engine/kw_create_values.h"

namespace kw {

namespace {

constexpr std::size_t kHashedValues = 4096;

// Keys whose unsigned order is the values' order.
struct IntegerValues {
    using Value = std::int32_t;
    static std::uint64_t key(Value v) { return static_cast<std::uint32_t>(v) ^ 0x80000000u; }
    static Value value(std::uint64_t k) {
        return static_cast<Value>(static_cast<std::uint32_t>(k) ^ 0x80000000u);
    }
    static void store(KW_dict& e, Value v) { e.high = v; }
};

struct FloatValues {
    using Value = double;
    // Values are finite; -0 and 0 compare equal and share the key of 0.
    static std::uint64_t key(Value v) {
        const auto b = std::bit_cast<std::uint64_t>(v == 0.0 ? 0.0 : v);
        return (b >> 63) != 0 ? ~b : b | (1ULL << 63);
    }
    static Value value(std::uint64_t k) {
        return std::bit_cast<double>((k >> 63) != 0 ? k & ~(1ULL << 63) : ~k);
    }
    static void store(KW_dict& e, Value v) { e.setDouble(v); }
};

// Stable LSD radix sort by key, a byte a pass; a pass whose byte is the same in every key is
// skipped (the high bytes of small integers, the exponent of similar doubles).
void radixSort(std::vector<KeyedRecord>& a, std::vector<KeyedRecord>& spare) {
    if (a.size() < 2) return;
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (const KeyedRecord& x : a) {
        for (int d = 0; d < 8; ++d)
            ++counts[static_cast<std::size_t>(d)][(x.key >> (8 * d)) & 0xff];
    }
    spare.resize(a.size());
    for (int d = 0; d < 8; ++d) {
        auto& c = counts[static_cast<std::size_t>(d)];
        if (c[(a[0].key >> (8 * d)) & 0xff] == a.size()) continue;
        std::uint32_t offset = 0;
        for (std::uint32_t& bucket : c) {
            const std::uint32_t n = bucket;
            bucket = offset;
            offset += n;
        }
        for (const KeyedRecord& x : a)
            spare[c[(x.key >> (8 * d)) & 0xff]++] = x;
        a.swap(spare);
    }
}

KW_dict marker(std::int32_t low) {
    KW_dict e{};
    e.low = low;
    return e;
}

void layOutStarts(ItemBlock& out) {
    std::int32_t start = 0;
    for (KW_dict& e : out.dict) {
        e.start = start;
        start += e.count;
    }
}

template <class V, class Read>
int buildNumbers(std::int32_t type, Read&& read, CsvLineReader& texts, std::int32_t records,
                 BuildContext& context, ItemBlock& out) {
    using Value = typename V::Value;
    out.strings.clear();
    out.names.clear();
    out.starts.clear();
    out.values.resize(static_cast<std::size_t>(records));
    std::int32_t errors = 0, blanks = 0;

    // While hashing: the distinct values as first met and their counts.
    std::vector<Value> distinct;
    std::vector<std::int32_t> counts;
    SmallNumberIndex index(kHashedValues);
    bool sorting = false;
    // While sorting: (key, record) of every value record, in record order.
    std::vector<KeyedRecord>& sorted = context.sorted;
    sorted.clear();
    // The first zero met stands for both zeros (a -0 met first stays -0).
    Value zero{};
    bool zeroMet = false;

    std::string_view text;
    for (std::int32_t r = 0; r < records; ++r) {
        context.pump.tick();
        const int got = texts.next(text);
        if (got < 0) return texts.error() != 0 ? texts.error() : EIO;
        if (got == 0) return EIO;  // a column shorter than the record count
        std::int32_t& position = out.values[static_cast<std::size_t>(r)];
        Value v{};
        if (text.empty()) {
            ++blanks;
            position = KW_POS_BLANK;
            continue;
        }
        if (!read(text, v)) {
            ++errors;
            position = KW_POS_ERROR;
            continue;
        }
        if (!zeroMet && v == Value{}) {
            zeroMet = true;
            zero = v;
        }
        if (!sorting) {
            const auto fresh = static_cast<std::int32_t>(distinct.size());
            const std::int32_t n = index.findOrAdd(V::key(v), fresh);
            if (n >= 0) {
                if (n == fresh) {
                    distinct.push_back(v);
                    counts.push_back(0);
                }
                ++counts[static_cast<std::size_t>(n)];
                position = KW_POS_FIRST_VALUE + n;
                continue;
            }
            // Too many distinct values to hash: sort the records instead, those seen so far too.
            sorting = true;
            sorted.reserve(static_cast<std::size_t>(records));
            for (std::int32_t q = 0; q < r; ++q) {
                const std::int32_t p = out.values[static_cast<std::size_t>(q)];
                if (p < KW_POS_FIRST_VALUE) continue;
                sorted.push_back(
                    {V::key(distinct[static_cast<std::size_t>(p - KW_POS_FIRST_VALUE)]), q});
            }
        }
        sorted.push_back({V::key(v), r});
    }

    out.dict.clear();
    out.dict.push_back(marker(-2));
    out.dict.push_back(marker(-1));
    out.dict[KW_POS_ERROR].count = errors;
    out.dict[KW_POS_BLANK].count = blanks;
    if (!sorting) {
        std::vector<std::pair<std::uint64_t, std::int32_t>> order(distinct.size());
        for (std::size_t n = 0; n < distinct.size(); ++n) {
            order[n] = {V::key(distinct[n]), static_cast<std::int32_t>(n)};
        }
        std::sort(order.begin(), order.end());
        std::vector<std::int32_t> positionOf(distinct.size());
        for (const auto& [key, n] : order) {
            positionOf[static_cast<std::size_t>(n)] = static_cast<std::int32_t>(out.dict.size());
            KW_dict e{};
            V::store(e, distinct[static_cast<std::size_t>(n)]);
            e.count = counts[static_cast<std::size_t>(n)];
            out.dict.push_back(e);
        }
        for (std::int32_t& p : out.values) {
            if (p >= KW_POS_FIRST_VALUE)
                p = positionOf[static_cast<std::size_t>(p - KW_POS_FIRST_VALUE)];
        }
    } else {
        radixSort(sorted, context.spare);
        const std::uint64_t zeroKey = V::key(Value{});
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            const KeyedRecord& x = sorted[i];
            if (i == 0 || x.key != sorted[i - 1].key) {
                KW_dict e{};
                V::store(e, x.key == zeroKey ? zero : V::value(x.key));
                out.dict.push_back(e);
            }
            ++out.dict.back().count;
            out.values[static_cast<std::size_t>(x.record)] =
                static_cast<std::int32_t>(out.dict.size()) - 1;
        }
    }
    layOutStarts(out);
    out.def.type = type;
    out.def.codeCount = 0;
    out.def.listLength = records;
    return 0;
}

}  // namespace

int buildIntegerItem(std::int32_t type, CsvLineReader& texts, std::int32_t records,
                     BuildContext& context, ItemBlock& out) {
    auto read = [type](std::string_view t, std::int32_t& v) {
        if (type == KW_TYPE_DATE) return (v = ParseDate(t)) >= 0;
        if (type == KW_TYPE_TIME) return (v = ParseTime(t)) >= 0;
        return ReadIntText(t, v);
    };
    return buildNumbers<IntegerValues>(type, read, texts, records, context, out);
}

int buildFloatItem(CsvLineReader& texts, std::int32_t records, BuildContext& context,
                   ItemBlock& out) {
    return buildNumbers<FloatValues>(
        KW_TYPE_FLOAT, [](std::string_view t, double& v) { return ReadDoubleText(t, v); }, texts,
        records, context, out);
}

}  // namespace kw
