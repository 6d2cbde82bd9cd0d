// Items for the benchmarks that need shapes of their own (exact category counts): an item of
// `distinct` values drawn uniformly, made straight as a loaded block for the format writer.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "engine/kw_format.h"

namespace bench {

// Integer values 0 .. distinct - 1, or for a Float item the same in hundredths.
inline kw::ItemBlock uniformItem(const std::string& name, std::int32_t type, std::int32_t distinct,
                                 std::int32_t records, std::mt19937& rng) {
    kw::ItemBlock b;
    kw::setTextField(b.def.name, name);
    b.def.type = type;
    b.def.listLength = records;
    b.dict.resize(static_cast<std::size_t>(distinct) + 2);
    b.dict[0].low = -2;
    b.dict[1].low = -1;
    for (std::int32_t v = 0; v < distinct; ++v) {
        KW_dict& d = b.dict[static_cast<std::size_t>(v) + 2];
        if (type == KW_TYPE_FLOAT)
            d.setDouble(v / 100.0);
        else
            d.high = v;
    }
    b.values.resize(static_cast<std::size_t>(records));
    std::uniform_int_distribution<std::int32_t> pick(0, distinct - 1);
    for (std::int32_t& p : b.values)
        p = pick(rng) + KW_POS_FIRST_VALUE;
    kw::fillCounts(b);
    return b;
}

}  // namespace bench
