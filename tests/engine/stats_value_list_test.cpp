// The value list of an item: its four orders with error and blank pinned in front, the reads by
// value-list position, item and answer counts, and the save slot of one order.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "engine/kw_search.h"
#include "platform/core/cp932.h"
#include "tests/engine/random_table.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;
using zbq::test::TempDir;

class ValueList : public ::testing::Test {
protected:
    void open(const FixtureTable& table) {
        zbq::test::writeFixture(dir_.file("v.zbq"), table);
        ASSERT_EQ(s_.KWopen(dir_.file("v.zbq"), ""), 0);
    }

    // Dictionary positions in value-list order, read back through the texts and counts.
    std::vector<std::int32_t> listed(std::int32_t item) {
        std::vector<std::int32_t> out;
        for (std::int32_t p = 0; p < s_.KWgetValueCount(item); ++p)
            out.push_back(s_.ValueListToDictionary(item, p));
        return out;
    }

    // The reference order: ordinary positions by count, ties in dictionary order; mode 1 is
    // its reverse; 0 and 1 always in front.
    std::vector<std::int32_t> byCount(std::int32_t item, bool reversed) {
        const auto dict = s_.dictionary(item);
        std::vector<std::int32_t> ordinary(dict.size() - 2);
        std::iota(ordinary.begin(), ordinary.end(), 2);
        std::stable_sort(ordinary.begin(), ordinary.end(),
                         [&](int a, int b) { return dict[a].mapCount < dict[b].mapCount; });
        if (reversed) std::reverse(ordinary.begin(), ordinary.end());
        ordinary.insert(ordinary.begin(), {0, 1});
        return ordinary;
    }

    TempDir dir_;
    KW_search s_;
};

TEST_F(ValueList, FourOrdersKeepErrorAndBlankInFront) {
    const FixtureTable table = zbq::test::randomTable(800, 5);
    open(table);
    // A map of every third record, so that in-map counts differ from the totals.
    auto map = std::make_shared<KW_map>(800);
    for (int r = 0; r < 800; r += 3)
        map->set(r);
    for (const bool withMap : {false, true}) {
        s_.KWmapSet(withMap ? KW_mapPtr(map) : nullptr);
        for (std::int32_t item = 0; item < s_.KWgetItemCount(); ++item) {
            SCOPED_TRACE("item " + std::to_string(item) + (withMap ? " with a map" : ""));
            const auto size = static_cast<std::int32_t>(s_.dictionary(item).size());
            std::vector<std::int32_t> natural(static_cast<std::size_t>(size));
            std::iota(natural.begin(), natural.end(), 0);
            std::vector<std::int32_t> reversed = {0, 1};
            for (std::int32_t p = size - 1; p >= 2; --p)
                reversed.push_back(p);

            ASSERT_EQ(s_.KWsortValue(item, -2), 0);
            EXPECT_EQ(listed(item), reversed);
            ASSERT_EQ(s_.KWsortValue(item, 0), 0);
            EXPECT_EQ(listed(item), byCount(item, false));
            ASSERT_EQ(s_.KWsortValue(item, 1), 0);
            EXPECT_EQ(listed(item), byCount(item, true));
            // Counts read by list position are those of the listed values.
            for (std::int32_t p = 0; p < size; ++p)
                EXPECT_EQ(s_.KWgetValueDataCount(item, p),
                          s_.dictionary(item)[listed(item)[p]].mapCount);
            ASSERT_EQ(s_.KWsortValue(item, -1), 0);
            EXPECT_EQ(listed(item), natural);
        }
    }
}

TEST_F(ValueList, CountOrderStaysAsSortedWhileItsCountsFollowTheMap) {
    FixtureTable t;
    t.items = {{"n", KW_TYPE_INTEGER}};
    t.rows = {{"7"}, {"7"}, {"7"}, {"8"}, {"9"}, {"9"}, {""}, {"x"}};
    open(t);  // positions: 2 = 7 (3 records), 3 = 8 (1), 4 = 9 (2)
    ASSERT_EQ(s_.KWsortValue(0, 1), 0);
    EXPECT_EQ(listed(0), (std::vector<std::int32_t>{0, 1, 2, 4, 3}));
    EXPECT_EQ(s_.KWgetValueInt(0, 2), 7);
    EXPECT_EQ(s_.KWgetValueDouble(0, 3), 9.0);
    EXPECT_EQ(s_.KWgetValueDataCount(0, 2), 3);

    auto map = std::make_shared<KW_map>(8);
    map->set(3);  // only the 8
    ASSERT_EQ(s_.KWmapSet(map), 1);
    EXPECT_EQ(listed(0), (std::vector<std::int32_t>{0, 1, 2, 4, 3}));
    EXPECT_EQ(s_.KWgetValueDataCount(0, 2), 0);
    EXPECT_EQ(s_.KWgetValueDataCount(0, 4), 1);
    // Sorting again counts within the map; equal counts reversed in mode 1.
    ASSERT_EQ(s_.KWsortValue(0, 1), 0);
    EXPECT_EQ(listed(0), (std::vector<std::int32_t>{0, 1, 3, 4, 2}));
}

TEST_F(ValueList, ReadsByPosition) {
    FixtureTable t;
    t.items = {{"code", KW_TYPE_STRING, {{"b", "Bee"}, {"a", "Ay"}}},
               {"real", KW_TYPE_FLOAT},
               {"int", KW_TYPE_INTEGER}};
    t.rows = {{"a", "1.5", "4"}, {"b", "", "x"}, {"", "-2.25", "9"}};
    open(t);
    const std::string blank = zbq::cp932::literal("ﾌﾞﾗﾝｸ");
    EXPECT_EQ(s_.KWgetValueCount(0), 4);
    EXPECT_EQ(s_.KWgetValueCount(3), -1);
    EXPECT_STREQ(s_.KWgetValueText(0, 2), "a");
    ASSERT_EQ(s_.KWdispName(0), 0);
    EXPECT_STREQ(s_.KWgetValueText(0, 2), "Ay");
    EXPECT_EQ(s_.KWgetValueText(0, 1), blank);  // captions stay by name
    EXPECT_EQ(s_.KWgetValueText(1, 2), nullptr);
    ASSERT_EQ(s_.KWsortValue(1, -2), 0);
    EXPECT_EQ(s_.KWgetValueDouble(1, 2), 1.5);
    EXPECT_EQ(s_.KWgetValueDouble(1, 3), -2.25);
    EXPECT_EQ(s_.KWgetValueDouble(1, 1), 0.0);  // the blank entry holds a marker, no number
    EXPECT_EQ(s_.KWgetValueInt(1, 2), 0);
    EXPECT_EQ(s_.KWgetValueInt(2, 0), 0);
    EXPECT_EQ(s_.KWgetValueInt(2, 3), 9);
    EXPECT_EQ(s_.KWgetValueDataCount(2, 0), 1);
    EXPECT_EQ(s_.KWgetValueDataCount(2, 4), -1);
    EXPECT_EQ(s_.KWsortValue(2, 2), -1);
    EXPECT_EQ(s_.KWsortValue(3, 0), -1);
}

TEST_F(ValueList, ItemDataCountAndAnswerRange) {
    FixtureTable t;
    t.items = {{"multi", KW_TYPE_MULTI, {{"x", "Ex"}, {"y", "Why"}, {"z", "Zed"}}},
               {"int", KW_TYPE_INTEGER}};
    t.rows = {{"x,y,z", "1"}, {"", "2"}, {"y", ""}, {"x,z", "x"}};
    open(t);
    EXPECT_EQ(s_.KWgetItemDataCount(0), 7);
    EXPECT_EQ(s_.KWgetItemDataCount(1), 4);
    EXPECT_EQ(s_.KWgetItemDataCount(2), -1);
    std::int32_t largest = -9, smallest = -9;
    ASSERT_EQ(s_.KWgetAnswerRange(0, &largest, &smallest), 0);
    EXPECT_EQ(largest, 3);
    EXPECT_EQ(smallest, 1);
    EXPECT_EQ(s_.KWgetAnswerRange(1, &largest, &smallest), -1);

    auto map = std::make_shared<KW_map>(4);
    map->set(2);
    map->set(3);
    ASSERT_EQ(s_.KWmapSet(map), 2);
    EXPECT_EQ(s_.KWgetItemDataCount(0), 3);  // the answers of records 2 and 3
    EXPECT_EQ(s_.KWgetItemDataCount(1), 2);
    // The answer range ignores the map.
    ASSERT_EQ(s_.KWgetAnswerRange(0, &largest, &smallest), 0);
    EXPECT_EQ(largest, 3);

    FixtureTable empty;
    empty.items = {{"multi", KW_TYPE_MULTI, {{"x", "Ex"}}}};
    open(empty);
    largest = smallest = -9;
    ASSERT_EQ(s_.KWgetAnswerRange(0, &largest, &smallest), 0);
    EXPECT_EQ(largest, 0);
    EXPECT_EQ(smallest, 0);
}

TEST_F(ValueList, SaveSlotHoldsOneItemsOrder) {
    FixtureTable t;
    t.items = {{"a", KW_TYPE_INTEGER}, {"b", KW_TYPE_INTEGER}};
    t.rows = {{"1", "1"}, {"1", "1"}, {"2", "2"}, {"2", "2"}, {"2", "2"}, {"3", "3"}};
    open(t);  // counts by position: 2, 3, 1
    ASSERT_EQ(s_.KWsortValue(0, 1), 0);
    const std::vector<std::int32_t> byCountReversed = {0, 1, 3, 2, 4};
    ASSERT_EQ(listed(0), byCountReversed);
    ASSERT_EQ(s_.KWsaveSort(0), 0);
    // The item keeps mode 1 without its sorted order: it reads as natural order reversed.
    EXPECT_EQ(listed(0), (std::vector<std::int32_t>{0, 1, 4, 3, 2}));
    ASSERT_EQ(s_.KWsortValue(0, 0), 0);
    EXPECT_EQ(s_.KWrestoreSort(1), -1);  // saved from another item
    ASSERT_EQ(s_.KWrestoreSort(0), 0);
    EXPECT_EQ(listed(0), byCountReversed);
    EXPECT_EQ(s_.KWrestoreSort(0), -1);  // nothing left in the slot
    EXPECT_EQ(s_.KWsaveSort(2), -1);
}

}  // namespace
