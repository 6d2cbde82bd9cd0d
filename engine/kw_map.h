// Record maps: the selection of records as a bitmap, one bit per record.
//
// Bit order is part of the data file and of the settings blob, byte for byte: record r is bit
// (31 - r % 32) of 32-bit word r / 32, so record 0 is the most significant bit of word 0. A map
// of R records has ceil(R / 32) words; its byte length is 4 times that.
//
// The primitives below work on whole words and never mask the tail bits beyond the last record
// (MapNot sets them). Every operation that hands a map to a caller clears them again
// (MapClearTail), so a map that leaves the engine holds no bits after its last record.
//
// Ownership: a KW_map owns its words. Maps travel as KW_mapPtr (shared, immutable once handed
// out), so a set freed by the application can never leave the engine with a dangling current
// map. A null KW_mapPtr means "all records" wherever a caller accepts one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Loops that count bits come compiled twice, for processors with a popcount instruction and
// for the baseline x86-64 target, whose bit-twiddling stand-in is a library call per word;
// the one to use is chosen when the program loads.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KW_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define KW_POPCOUNT_CLONES
#endif

class KW_map {
public:
    KW_map() = default;
    // All bits clear. Throws std::bad_alloc.
    explicit KW_map(std::int32_t records);

    std::uint32_t* data() { return words_.data(); }
    const std::uint32_t* data() const { return words_.data(); }
    std::int32_t wordCount() const { return static_cast<std::int32_t>(words_.size()); }
    std::int32_t byteLength() const { return 4 * wordCount(); }

    bool test(std::int32_t record) const {
        return (words_[static_cast<std::size_t>(record) >> 5] >> (31 - (record & 31))) & 1u;
    }
    void set(std::int32_t record) {
        words_[static_cast<std::size_t>(record) >> 5] |= 0x80000000u >> (record & 31);
    }
    void reset(std::int32_t record) {
        words_[static_cast<std::size_t>(record) >> 5] &= ~(0x80000000u >> (record & 31));
    }

    bool operator==(const KW_map&) const = default;

private:
    std::vector<std::uint32_t> words_;
};

using KW_mapPtr = std::shared_ptr<const KW_map>;

// Byte length of a map of `records` records: 4 * ceil(records / 32).
constexpr std::int32_t MapByteLength(std::int32_t records) {
    return static_cast<std::int32_t>(4 * ((static_cast<std::int64_t>(records) + 31) / 32));
}

// A zeroed map for `records` records; its byte length is stored through byteLength also when
// the allocation fails, in which case the result is null.
std::shared_ptr<KW_map> MapAlloc(std::int32_t records, std::int32_t* byteLength);

// 1 when record r's bit is set, else 0.
int MapTestBit(const std::uint32_t* map, std::int32_t r);
// Sets the bit when on is exactly 1, clears it for every other value. Returns 0.
int MapSetBit(std::uint32_t* map, std::int32_t r, std::int32_t on);
// Word-wise dst &= src, dst |= src, map = ~map over byteLength / 4 words (nothing below 4).
int MapAnd(std::uint32_t* dst, const std::uint32_t* src, std::int32_t byteLength);
int MapOr(std::uint32_t* dst, const std::uint32_t* src, std::int32_t byteLength);
int MapNot(std::uint32_t* map, std::int32_t byteLength);
// Set bits of byteLength / 4 whole words, tail bits included.
std::int32_t MapCount(const std::uint32_t* map, std::int32_t byteLength);
// Clears the bits after record records - 1 in the last word.
void MapClearTail(std::uint32_t* map, std::int32_t records);
