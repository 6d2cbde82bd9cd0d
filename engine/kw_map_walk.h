// Walking the set records of a map in record order, a word at a time: each 32-bit word is
// taken apart with count-leading-zeros (record 0 is the top bit of word 0), so empty stretches
// cost one test per 32 records and each set record one step.
//
// The map must hold no bits after its last record (every map the engine hands out is so).
#pragma once

#include <bit>
#include <cstdint>

#include "engine/kw_map.h"

// Calls f(record) for every set record, ascending.
template <typename F>
void ForEachRecord(const KW_map& map, F&& f) {
    const std::uint32_t* words = map.data();
    for (std::int32_t w = 0, n = map.wordCount(); w < n; ++w) {
        std::uint32_t bits = words[w];
        const std::int32_t base = w * 32;
        while (bits != 0) {
            const int b = std::countl_zero(bits);
            f(base + b);
            bits &= ~(0x80000000u >> b);
        }
    }
}
