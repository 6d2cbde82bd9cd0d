// Sizing large arrays for huge pages behaves exactly as a resize: elements kept, new ones zero,
// on either side of the size from which the storage is reserved and advised.
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>

#include "engine/kw_memory.h"

namespace {

TEST(LargeArray, GrowingKeepsTheElementsAndZeroesTheRest) {
    const std::size_t large = kw::kLargeArrayBytes / sizeof(std::int32_t) * 3;
    for (const std::size_t from : {std::size_t{0}, std::size_t{1000}, large / 2}) {
        for (const std::size_t to : {from + 10, large, large + 12345}) {
            std::vector<std::int32_t> v(from);
            std::iota(v.begin(), v.end(), 1);
            kw::sizeLarge(v, to);
            ASSERT_EQ(v.size(), to);
            for (std::size_t i = 0; i < to; ++i)
                ASSERT_EQ(v[i], i < from ? static_cast<std::int32_t>(i + 1) : 0) << i;
        }
    }
}

TEST(LargeArray, ShrinkingIsAResize) {
    std::vector<std::int32_t> v(kw::kLargeArrayBytes);
    std::iota(v.begin(), v.end(), 0);
    kw::sizeLarge(v, 7);
    EXPECT_EQ(v, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6}));
}

}  // namespace
