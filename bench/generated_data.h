// Data for the benchmarks that need shapes of their own (exact category counts): items of
// `distinct` values drawn uniformly, made straight as loaded blocks, written to a data file in a
// temporary folder and opened, with a map of about half the records beside it.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/kw_format.h"
#include "engine/kw_search.h"

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

// The items written to a data file of their own and opened; the folder goes with the object.
// Any failure aborts: a benchmark without its data has nothing to measure.
struct OpenedData {
    std::string dir;
    KW_search s;
    KW_mapPtr half;

    OpenedData(const std::vector<kw::ItemBlock>& items, std::int32_t records, std::mt19937& rng) {
        char pattern[] = "/tmp/zbq-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) std::abort();
        dir = pattern;
        kw::DataFileContents contents;
        contents.recordCount = records;
        contents.items = items;
        const std::string path = dir + "/bench.zbq";
        if (kw::writeDataFile(path, contents) != 0 || s.KWopen(path, "") != 0) std::abort();
        auto map = std::make_shared<KW_map>(records);
        for (std::int32_t r = 0; r < records; ++r)
            if (rng() & 1) map->set(r);
        half = std::move(map);
    }
    ~OpenedData() { std::filesystem::remove_all(dir); }
    OpenedData(const OpenedData&) = delete;
    OpenedData& operator=(const OpenedData&) = delete;
};

}  // namespace bench
