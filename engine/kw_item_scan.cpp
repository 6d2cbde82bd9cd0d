// Making the compact forms of an item's value list (kw_item_scan.h).
#include "engine/kw_item_scan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/kw_map.h"

namespace kw {
namespace {

// Values in use up to which planes pay: a single-valued item reads (values - 1) bits per
// record instead of one or four bytes; a MultiAns item reads one bit per value instead of four
// bytes per answer and its answer offsets.
constexpr std::size_t kSinglePlanes = 16;
constexpr std::size_t kMultiPlanes = 16;  // a record's planes fit a 16-bit mask

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

// Planes of the given positions into out (planes * words words): plane k's word for 32
// records has bit 31 - j set when record base + j holds positions[k]. With
// SSE2 four records are compared at once, their order reversed first so that the mask's
// highest bit is the first record, as in a map.
void fillPlanes(const std::int32_t* v, std::int32_t records, const std::int32_t* positions,
                std::size_t planes, std::int32_t words, LargeVector<std::uint32_t>& out) {
    const std::size_t stride = at(words);
    out.resize(planes * stride);  // every word is written below
    if (planes == 0) return;
    const std::int32_t full = records / 32;
#if defined(__SSE2__)
    for (std::int32_t w = 0; w < full; ++w) {
        const std::int32_t* block = v + at(w) * 32;
        __m128i quad[8];
        for (int g = 0; g < 8; ++g)
            quad[g] =
                _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 4 * g)),
                                  _MM_SHUFFLE(0, 1, 2, 3));
        for (std::size_t k = 0; k < planes; ++k) {
            const __m128i p = _mm_set1_epi32(positions[k]);
            std::uint32_t bits = 0;
            for (int g = 0; g < 8; ++g)
                bits = bits << 4 | static_cast<std::uint32_t>(_mm_movemask_ps(
                                       _mm_castsi128_ps(_mm_cmpeq_epi32(quad[g], p))));
            out[k * stride + at(w)] = bits;
        }
    }
    const std::int32_t from = full;
#else
    const std::int32_t from = 0;
#endif
    for (std::int32_t w = from; w < words; ++w) {
        const std::int32_t base = w * 32;
        const std::int32_t n = std::min(32, records - base);
        for (std::size_t k = 0; k < planes; ++k) {
            std::uint32_t bits = 0;
            for (std::int32_t j = 0; j < n; ++j)
                bits |= std::uint32_t{v[base + j] == positions[k]} << (31 - j);
            out[k * stride + at(w)] = bits;
        }
    }
}

// Each record's answers become a mask of its planes, kept in a register; an answer whose bit
// is set already names a value twice. The first four answers are taken
// without a branch (an answer past the record's own adds nothing), since most records hold a
// few and the loop exit of a varying count would be mispredicted at nearly every record.
// Then the masks of 32 records are turned into one word per plane.
void fillMultiPlanes(const ItemBlock& b, std::int32_t records, ItemScan& s) {
    const std::size_t planes = s.planePositions.size();
    const std::size_t stride = at(s.words);
    std::vector<std::uint8_t> slot(b.dict.size(), 0);
    for (std::size_t k = 0; k < planes; ++k)
        slot[at(s.planePositions[k])] = static_cast<std::uint8_t>(k);
    s.planes.assign(planes * stride, 0u);
    if (b.values.empty()) return;
    const std::int32_t* v = b.values.data();
    const std::int32_t* starts = b.starts.data();
    const std::int32_t last = static_cast<std::int32_t>(b.values.size()) - 1;
    // masks[31 - j] is record j's: lane i then stands for the bit i of the plane's word.
    alignas(16) std::array<std::uint16_t, 32> masks;
    bool twice = false;
    for (std::int32_t w = 0; w < s.words; ++w) {
        const std::int32_t base = w * 32;
        const std::int32_t n = std::min(32, records - base);
        masks.fill(0);
        for (std::int32_t j = 0; j < n; ++j) {
            const std::int32_t r = base + j, a = starts[r], count = starts[r + 1] - a;
            std::uint32_t mask = 0, again = 0;
            for (std::int32_t t = 0; t < 4; ++t) {
                const std::uint32_t one = std::uint32_t{t < count}
                                          << slot[at(v[std::min(a + t, last)])];
                again |= mask & one;
                mask |= one;
            }
            for (std::int32_t t = 4; t < count; ++t) {
                const std::uint32_t one = 1u << slot[at(v[a + t])];
                again |= mask & one;
                mask |= one;
            }
            twice |= again != 0;
            masks[at(31 - j)] = static_cast<std::uint16_t>(mask);
        }
#if defined(__SSE2__)
        const auto* lanes = reinterpret_cast<const __m128i*>(masks.data());
        const __m128i m0 = _mm_load_si128(lanes), m1 = _mm_load_si128(lanes + 1),
                      m2 = _mm_load_si128(lanes + 2), m3 = _mm_load_si128(lanes + 3);
        for (std::size_t k = 0; k < planes; ++k) {
            // Bit k to the sign of each 16-bit lane; packing keeps the signs.
            const __m128i shift = _mm_cvtsi32_si128(static_cast<int>(15 - k));
            const auto low = static_cast<std::uint32_t>(_mm_movemask_epi8(
                _mm_packs_epi16(_mm_sll_epi16(m0, shift), _mm_sll_epi16(m1, shift))));
            const auto high = static_cast<std::uint32_t>(_mm_movemask_epi8(
                _mm_packs_epi16(_mm_sll_epi16(m2, shift), _mm_sll_epi16(m3, shift))));
            s.planes[k * stride + at(w)] = low | high << 16;
        }
#else
        for (std::size_t k = 0; k < planes; ++k) {
            std::uint32_t bits = 0;
            for (int i = 0; i < 32; ++i)
                bits |= ((masks[at(i)] >> k) & 1u) << i;
            s.planes[k * stride + at(w)] = bits;
        }
#endif
    }
    s.planesCount = !twice;
}

// Positions that rise from record to record: each entry belongs to one record at most. An ID
// item is so; the test stops at the first record that breaks it.
bool rising(const ItemBlock& b) {
    const std::int32_t* v = b.values.data();
    const std::size_t n = b.values.size();
    std::int32_t stopped = 0;
    for (std::size_t i = 1; i < n; i += 64) {
        // Whole stretches at a time, so that the common case has no early exit per record.
        const std::size_t end = std::min(n, i + 64);
        for (std::size_t r = i; r < end; ++r)
            stopped |= v[r] <= v[r - 1];
        if (stopped) return false;
    }
    return true;
}

}  // namespace

ItemScan makeItemScan(const ItemBlock& b, std::int32_t records) {
    ItemScan s;
    s.words = MapByteLength(records) / 4;
    const bool multi = isMultiType(b.def.type);
    const std::size_t most = multi ? kMultiPlanes : kSinglePlanes;
    std::vector<std::int32_t> live;
    for (std::size_t p = 0; p < b.dict.size() && live.size() <= most; ++p)
        if (b.dict[p].count > 0) live.push_back(static_cast<std::int32_t>(p));
    if (live.size() <= most) {
        s.usePlanes = true;
        if (multi) {
            s.planePositions = std::move(live);
            fillMultiPlanes(b, records, s);
        } else {
            s.planesCount = true;
            if (!live.empty()) {
                s.lastLive = live.back();
                live.pop_back();
            }
            s.planePositions = std::move(live);
            fillPlanes(b.values.data(), records, s.planePositions.data(), s.planePositions.size(),
                       s.words, s.planes);
        }
        return s;
    }
    if (multi) return s;
    // Rising positions first: an ID's dictionary is as long as the item, too long to search
    // for a dominant value that it cannot have.
    const bool unique = rising(b);
    if (!unique && b.dict.size() > 256 && records > 0) {
        // A value held by half the records or more (a mostly blank text): its plane, and the
        // positions of the other records only.
        std::int32_t dominant = 0;
        for (std::size_t p = 1; p < b.dict.size(); ++p)
            if (b.dict[p].count > b.dict[at(dominant)].count)
                dominant = static_cast<std::int32_t>(p);
        const std::int32_t held = b.dict[at(dominant)].count;
        if (held >= records - held) {
            s.dominant = dominant;
            fillPlanes(b.values.data(), records, &s.dominant, 1, s.words, s.dominantPlane);
            // Each position is written and kept only when it is not the dominant one; the
            // spare last element takes the final write.
            s.others.resize(at(records - held) + 1);
            std::int32_t* out = s.others.data();
            for (const std::int32_t p : b.values) {
                *out = p;
                out += p != dominant;
            }
            s.others.pop_back();
            return s;
        }
    }
    if (b.dict.size() <= 256) {
        s.narrow8.assign(b.values.begin(), b.values.end());
    } else if (b.dict.size() <= 65536) {
        s.narrow16.assign(b.values.begin(), b.values.end());
    }
    if (unique) {
        // The entries no record holds: those before the first record's, after the last's,
        // and between two records' that are not adjacent.
        s.unique = true;
        const std::int32_t* v = b.values.data();
        const auto size = static_cast<std::int32_t>(b.dict.size());
        std::int32_t next = 0;
        const std::size_t n = b.values.size();
        if (n > 0 && static_cast<std::size_t>(v[n - 1] - v[0]) == n - 1) {
            // No gaps: only the ends.
            s.firstPosition = v[0];
            for (; next < v[0]; ++next)
                s.emptyPositions.push_back(next);
            for (std::int32_t p = v[n - 1] + 1; p < size; ++p)
                s.emptyPositions.push_back(p);
            return s;
        }
        for (std::size_t r = 0; r <= n; ++r) {
            const std::int32_t upTo = r < b.values.size() ? v[r] : size;
            for (; next < upTo; ++next)
                s.emptyPositions.push_back(next);
            next = upTo + 1;
        }
    }
    return s;
}

KW_POPCOUNT_CLONES
std::int32_t countBoth(const std::uint32_t* a, const std::uint32_t* b, std::int32_t words) {
    std::int64_t count = 0;
    std::int32_t i = 0;
    for (; i + 2 <= words; i += 2) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        count += std::popcount(x & y);
    }
    if (i < words) count += std::popcount(a[i] & b[i]);
    return static_cast<std::int32_t>(count);
}

}  // namespace kw
