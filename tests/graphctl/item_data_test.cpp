// Parsing the name/value text and ordering the items: a table of texts with what they give,
// bad data included, and orderings that hold at the ends of the 32-bit range.
#include "graphctl/item_data.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using zbq::grafvik::Item;
using zbq::grafvik::parseItemData;
using zbq::grafvik::parseValue;
using Items = std::vector<Item>;

TEST(ParseItemData, TextsAndWhatTheyGive) {
    struct Case {
        std::string text;
        std::optional<Items> items;  // nullopt: bad data
        int32_t total;
    } cases[] = {
        {"A\t10\tB\t20", Items{{"A", 10}, {"B", 20}}, 30},
        {"一つ\t1", Items{{"一つ", 1}}, 1},
        {"\t5\t\t6", Items{{"", 5}, {"", 6}}, 11},  // empty names are names
        {"line\r\nbreak\t 7 ", Items{{"line\r\nbreak", 7}}, 7},
        {"A\t10\r\n", Items{{"A", 10}}, 10},  // a trailing line end around a value is blank
        {"A\t-2147483648\tB\t2147483647", Items{{"A", INT32_MIN}, {"B", INT32_MAX}}, -1},
        {"A\t2.5\tB\t3.5", Items{{"A", 2}, {"B", 4}}, 6},
        // Bad data.
        {"", std::nullopt, 0},
        {"A", std::nullopt, 0},
        {"A\tx", std::nullopt, 0},
        {"A\t10\tB", std::nullopt, 0},        // odd number of fields
        {"A\t10\tB\t20\t", std::nullopt, 0},  // a trailing TAB makes an odd field
        {"A\t", std::nullopt, 0},             // an empty value
        {"A\t2147483648", std::nullopt, 0},
        {"A\t2147483647\tB\t1", std::nullopt, 0},    // the sum overflows
        {"A\t-2147483648\tB\t-1", std::nullopt, 0},  // and underflows
        {"\xff\t1", std::nullopt, 0},                // not UTF-8
        {"\xc0\xaf\t1", std::nullopt, 0},            // an overlong form
        {"\xed\xa0\x80\t1", std::nullopt, 0},        // a surrogate
        {"\xef\xbf\xbe\t1", std::nullopt, 0},        // U+FFFE
    };
    for (const Case& c : cases) {
        auto got = parseItemData(c.text);
        ASSERT_EQ(got.has_value(), c.items.has_value()) << "text: " << c.text;
        if (!got) continue;
        EXPECT_EQ(got->items, *c.items) << c.text;
        EXPECT_EQ(got->total, c.total) << c.text;
    }
}

// Text that no workbook can hold is bad data from the start: one item more than a sheet has rows
// for, a name longer than a cell (counted as the workbook counts: a character beyond U+FFFF is
// two), while the largest that fit still parse.
TEST(ParseItemData, WhatNoWorkbookHoldsIsRefused) {
    using zbq::grafvik::kMaxItems;
    using zbq::grafvik::kMaxNameUnits;
    auto items = [](std::size_t count) {
        std::string text;
        text.reserve(count * 4);
        for (std::size_t i = 0; i < count; ++i)
            text += i ? "\ta\t1" : "a\t1";
        return text;
    };
    const auto most = parseItemData(items(kMaxItems));
    ASSERT_TRUE(most);
    EXPECT_EQ(most->items.size(), kMaxItems);
    EXPECT_FALSE(parseItemData(items(kMaxItems + 1)));

    const std::string longest(kMaxNameUnits, 'x');
    EXPECT_TRUE(parseItemData(longest + "\t1"));
    EXPECT_FALSE(parseItemData(longest + "y\t1"));
    // 3-byte characters are one unit each, 4-byte ones two.
    std::string kana;
    for (std::size_t i = 0; i < kMaxNameUnits; ++i)
        kana += "あ";
    EXPECT_TRUE(parseItemData("a\t1\t" + kana + "\t2"));
    std::string astral;
    for (std::size_t i = 0; i < kMaxNameUnits / 2; ++i)
        astral += "\U0001F600";
    EXPECT_TRUE(parseItemData(astral + "\t1"));
    EXPECT_FALSE(parseItemData(astral + "\U0001F600\t1"));
}

TEST(ParseValue, NumbersRoundHalvesToEven) {
    struct Case {
        const char* field;
        std::optional<int32_t> value;
    } cases[] = {
        {"0", 0},
        {"007", 7},
        {"+12", 12},
        {"-12", -12},
        {"  42  ", 42},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"2.50001", 3},
        {"2.4999", 2},
        {"0.5", 0},
        {".5", 0},
        {"1.", 1},
        {"9.9", 10},
        {"-0.4", 0},
        {"2147483647", INT32_MAX},
        {"2147483647.4", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483648.5", INT32_MIN},
        {"99999999999999999999999999", std::nullopt},
        {"2147483647.5", std::nullopt},
        {"-2147483648.6", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"1e3", std::nullopt},
        {"1,000", std::nullopt},
        {"12a", std::nullopt},
        {"1 2", std::nullopt},
        {"--1", std::nullopt},
        {"１２", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseValue(c.field), c.value) << c.field;
}

std::string names(const Items& items) {
    std::string out;
    for (const Item& i : items)
        out += i.name;
    return out;
}

TEST(ItemOrder, StableInBothDirectionsAtTheEndsOfTheRange) {
    Items items{{"A", 5}, {"B", 5}, {"C", 7}};
    zbq::grafvik::sortDescending(items);
    EXPECT_EQ(names(items), "CAB");
    zbq::grafvik::sortAscending(items);
    EXPECT_EQ(names(items), "ABC");

    // The extremes of the 32-bit range sort like any other value, in either direction.
    const Items extremes{
        {"a", 0}, {"max", INT32_MAX}, {"min", INT32_MIN}, {"max2", INT32_MAX}, {"min2", INT32_MIN}};
    Items up = extremes, down = extremes;
    zbq::grafvik::sortAscending(up);
    zbq::grafvik::sortDescending(down);
    EXPECT_EQ(names(up), "minmin2amaxmax2");
    EXPECT_EQ(names(down), "maxmax2aminmin2");
}

}  // namespace
