// Record map primitives: whole-word operations over the map's words.
#include "engine/kw_map.h"

#include <bit>
#include <cstring>
#include <new>

KW_map::KW_map(std::int32_t records)
    : words_(static_cast<std::size_t>(MapByteLength(records < 0 ? 0 : records) / 4), 0u) {}

std::shared_ptr<KW_map> MapAlloc(std::int32_t records, std::int32_t* byteLength) {
    if (byteLength) *byteLength = MapByteLength(records < 0 ? 0 : records);
    try {
        return std::make_shared<KW_map>(records);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int MapTestBit(const std::uint32_t* map, std::int32_t r) {
    return (map[static_cast<std::uint32_t>(r) >> 5] >> (31 - (r & 31))) & 1u;
}

int MapSetBit(std::uint32_t* map, std::int32_t r, std::int32_t on) {
    const std::uint32_t bit = 0x80000000u >> (r & 31);
    std::uint32_t& word = map[static_cast<std::uint32_t>(r) >> 5];
    word = on == 1 ? (word | bit) : (word & ~bit);
    return 0;
}

int MapAnd(std::uint32_t* dst, const std::uint32_t* src, std::int32_t byteLength) {
    for (std::int32_t i = 0, n = byteLength / 4; i < n; ++i)
        dst[i] &= src[i];
    return 0;
}

int MapOr(std::uint32_t* dst, const std::uint32_t* src, std::int32_t byteLength) {
    for (std::int32_t i = 0, n = byteLength / 4; i < n; ++i)
        dst[i] |= src[i];
    return 0;
}

int MapNot(std::uint32_t* map, std::int32_t byteLength) {
    for (std::int32_t i = 0, n = byteLength / 4; i < n; ++i)
        map[i] = ~map[i];
    return 0;
}

// Counting is what every change of the current map pays. The baseline x86-64 target has no
// popcount instruction, and its bit-twiddling stand-in costs eight times as much, so the
// function also comes compiled for processors that have one, chosen when the program loads.
// Two words are counted at a time.
KW_POPCOUNT_CLONES
std::int32_t MapCount(const std::uint32_t* map, std::int32_t byteLength) {
    const std::int32_t n = byteLength / 4;
    std::int64_t count = 0;
    std::int32_t i = 0;
    for (; i + 2 <= n; i += 2) {
        std::uint64_t pair;
        std::memcpy(&pair, map + i, sizeof pair);
        count += std::popcount(pair);
    }
    if (i < n) count += std::popcount(map[i]);
    return static_cast<std::int32_t>(count);
}

void MapClearTail(std::uint32_t* map, std::int32_t records) {
    if (records <= 0 || records % 32 == 0) return;
    map[records / 32] &= ~(0xFFFFFFFFu >> (records % 32));
}
