// Arrays on mappings of their own keep their elements across the size from which they are
// mapped, start on a 2 MiB boundary there, and give their memory back whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "engine/kw_memory.h"

namespace {

TEST(LargeArray, MappedArraysKeepTheirElementsAcrossEveryGrowth) {
    const std::size_t mapped = kw::kLargeArrayBytes / sizeof(std::uint32_t);
    kw::LargeVector<std::uint32_t> v;
    for (std::uint32_t i = 0; i < 3 * mapped + 17; ++i) {
        v.push_back(i * 2654435761u);
        if (v.size() == mapped + 1) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(v.data()) % (std::uintptr_t{2} << 20), 0u);
        }
    }
    for (std::uint32_t i = 0; i < v.size(); ++i)
        ASSERT_EQ(v[i], i * 2654435761u) << i;
    v.assign(5 * mapped, 7);  // a larger mapping, every element written
    EXPECT_EQ(std::count(v.begin(), v.end(), 7u), static_cast<std::ptrdiff_t>(5 * mapped));
    v.resize(10);
    v.shrink_to_fit();  // back on the heap
    EXPECT_EQ(v, kw::LargeVector<std::uint32_t>(10, 7));
}

}  // namespace
