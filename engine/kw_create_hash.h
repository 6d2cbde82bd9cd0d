// Hash tables of the dictionary builders (kw_create_dict.cpp, kw_create_numbers.cpp): value ->
// number of the distinct value, by open addressing with linear probing. Internal to the
// builder; not thread-safe.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kw {

// A 64-bit finaliser: every input bit reaches every output bit, so masked low bits index well.
inline std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

// For keys that live with the caller (texts): a slot holds a 32-bit hash tag and the number,
// and the caller compares keys only when the tags agree.
class FlatIndex {
public:
    FlatIndex() : slots_(64), mask_(63) {}

    // The number of the value hashed to `hash` for which equal(number) holds, or -1.
    template <class Equal>
    std::int32_t find(std::uint64_t hash, Equal&& equal) const {
        const auto tag = tagOf(hash);
        for (std::size_t i = tag & mask_; slots_[i].number >= 0; i = (i + 1) & mask_) {
            if (slots_[i].tag == tag && equal(slots_[i].number)) return slots_[i].number;
        }
        return -1;
    }

    // The number of the value hashed to `hash` for which equal(number) holds; when there is
    // none, `fresh` is entered and returned.
    template <class Equal>
    std::int32_t findOrAdd(std::uint64_t hash, Equal&& equal, std::int32_t fresh) {
        const auto tag = tagOf(hash);
        std::size_t i = tag & mask_;
        while (slots_[i].number >= 0) {
            if (slots_[i].tag == tag && equal(slots_[i].number)) return slots_[i].number;
            i = (i + 1) & mask_;
        }
        slots_[i] = {tag, fresh};
        // A large table grows fourfold: fewer rehashes of entries that miss the cache.
        if (++used_ * 2 > slots_.size()) grow(slots_.size() >= (1u << 16) ? 4 : 2);
        return fresh;
    }

private:
    struct Slot {
        std::uint32_t tag = 0;
        std::int32_t number = -1;
    };

    static std::uint32_t tagOf(std::uint64_t hash) {
        return static_cast<std::uint32_t>(hash ^ (hash >> 32));
    }

    void grow(std::size_t factor) {
        std::vector<Slot> old(slots_.size() * factor);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.number < 0) continue;
            std::size_t i = s.tag & mask_;
            while (slots_[i].number >= 0)
                i = (i + 1) & mask_;
            slots_[i] = s;
        }
    }

    std::vector<Slot> slots_;
    std::size_t mask_;
    std::size_t used_ = 0;
};

// For 64-bit keys (integers, double bits) of a small, fixed number of distinct values: the key
// lives in its slot, so a probe touches one cache line. findOrAdd refuses (-1) once `limit`
// values are in, and the caller changes method.
class SmallNumberIndex {
public:
    explicit SmallNumberIndex(std::size_t limit) : slots_(std::bit_ceil(limit * 2)), limit_(limit) {
        mask_ = slots_.size() - 1;
    }

    // The number of `key`, or -1.
    std::int32_t find(std::uint64_t key) const {
        for (std::size_t i = mix(key) & mask_; slots_[i].number >= 0; i = (i + 1) & mask_) {
            if (slots_[i].key == key) return slots_[i].number;
        }
        return -1;
    }

    std::int32_t findOrAdd(std::uint64_t key, std::int32_t fresh) {
        std::size_t i = mix(key) & mask_;
        while (slots_[i].number >= 0) {
            if (slots_[i].key == key) return slots_[i].number;
            i = (i + 1) & mask_;
        }
        if (used_ == limit_) return -1;
        ++used_;
        slots_[i] = {key, fresh};
        return fresh;
    }

private:
    struct Slot {
        std::uint64_t key = 0;
        std::int32_t number = -1;
    };

    std::vector<Slot> slots_;
    std::size_t mask_;
    std::size_t limit_;
    std::size_t used_ = 0;
};

// A text of up to seven bytes as one 64-bit key: its bytes, and its length in the top byte, so
// that two texts have one key exactly when they are equal.
inline constexpr std::size_t kShortTextBytes = 7;
inline std::uint64_t shortTextKey(std::string_view t) {
    std::uint64_t key = std::uint64_t{t.size()} << 56;
    for (std::size_t i = 0; i < t.size(); ++i)
        key |= std::uint64_t{static_cast<unsigned char>(t[i])} << (8 * i);
    return key;
}

// Texts of one to seven bytes (code texts, mostly) -> number, without hashing or comparing
// texts: those of one or two bytes index a table directly, longer ones are one 64-bit key of
// a small hash table. Of two equal texts added the first keeps its number.
class ShortTextIndex {
public:
    explicit ShortTextIndex(std::size_t limit) : keyed_(limit) {}

    void add(std::string_view t, std::int32_t number) {
        if (t.empty() || t.size() > 2) {
            keyed_.findOrAdd(shortTextKey(t), number);
            return;
        }
        if (direct_.empty()) direct_.assign(kDirectSlots, -1);
        std::int32_t& slot = direct_[directSlot(t)];
        if (slot < 0) slot = number;
    }

    // The number of t (at most kShortTextBytes long), or -1.
    std::int32_t find(std::string_view t) const {
        if (t.empty() || t.size() > 2) return keyed_.find(shortTextKey(t));
        return direct_.empty() ? -1 : direct_[directSlot(t)];
    }

private:
    static constexpr std::size_t kDirectSlots = 256 + 65536;
    static std::size_t directSlot(std::string_view t) {
        const auto b0 = static_cast<unsigned char>(t[0]);
        return t.size() == 1 ? b0 : 256 + (b0 | std::size_t{static_cast<unsigned char>(t[1])} << 8);
    }

    std::vector<std::int32_t> direct_;
    SmallNumberIndex keyed_;
};

}  // namespace kw
