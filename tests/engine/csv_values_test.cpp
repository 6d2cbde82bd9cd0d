// Which field texts are values of Integer, Float, Date and Time items, and which values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "engine/kw_create_values.h"

namespace {

std::optional<std::int32_t> readInt(std::string_view t) {
    std::int32_t v = 12345;
    if (!ReadIntText(t, v)) return std::nullopt;
    return v;
}

std::optional<double> readDouble(std::string_view t) {
    double v = 12345;
    if (!ReadDoubleText(t, v)) return std::nullopt;
    return v;
}

TEST(IntegerText, ValuesAndErrors) {
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0", 0},
        {"123", 123},
        {"-0", 0},
        {"-", 0},  // a lone minus is the value 0
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483647", -2147483647},
        {"-2147483648", std::nullopt},  // the one int32 the rule refuses
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"+1", std::nullopt},
        {"1-", std::nullopt},
        {"--1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1.0", std::nullopt},
        {"0x1", std::nullopt},
        {"\x82\x4f", std::nullopt},  // a full-width digit is no digit
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(readInt(text), value) << text;
        EXPECT_EQ(CheckIntText(text), value ? 0 : -1) << text;
    }
}

TEST(FloatText, SyntaxCheckAsTheRuleStates) {
    const std::pair<const char*, int> cases[] = {
        {"1.5e-3", 0}, {"-.5", 0}, {".", 0},     {"e", 0},    {"", 0},
        {"+1e+5", 0},  {"1-", -1}, {"1e5-", -1}, {"+-1", -1}, {"1..2", -1},
        {"1ee2", -1},  {"1E2", 0}, {"1,5", -1},  {" 1", -1},  {"nan", -1},
    };
    for (const auto& [text, result] : cases)
        EXPECT_EQ(CheckDoubleText(text), result) << text;
}

TEST(FloatText, ValuesAndErrors) {
    const double denormalMin = std::numeric_limits<double>::denorm_min();
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"1.5e-3", 1.5e-3},
        {"-.5", -0.5},
        {"5.", 5.0},
        {"+5", 5.0},  // from_chars alone would refuse the plus
        {"1E3", 1000.0},
        {"00001.5000", 1.5},
        {"0.1", 0.1},
        {"-", 0.0},   // a lone minus stays 0
        {"5e", 5.0},  // an exponent without digits is no exponent
        {"5e-", 5.0},
        {"1e-400", 0.0},            // below the smallest double: 0
        {"4.9e-324", denormalMin},  // the smallest double is a value
        {"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {".", std::nullopt},  // no digit: no number
        {"e", std::nullopt},
        {"e5", std::nullopt},
        {".e5", std::nullopt},
        {"-.", std::nullopt},
        {".-5", std::nullopt},    // passes the syntax check, but is no number
        {"1e999", std::nullopt},  // beyond the largest double
        {"1.8e308", std::nullopt},
        {"1e5.5", std::nullopt},  // nothing may follow the exponent
        {"1.2.3", std::nullopt},
        {"1e5e5", std::nullopt},
        {"inf", std::nullopt},
        {"1-", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(readDouble(text), value) << text;
    EXPECT_TRUE(std::signbit(*readDouble("-1e-400")));
    EXPECT_TRUE(std::signbit(*readDouble("-0")));
}

TEST(DateText, CalendarRules) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"2024/2/29", 20240229},  {"2023/2/29", -1},
        {"1900/2/29", -1},        {"2000/2/29", 20000229},
        {"999/1/1", -1},          {"1000/1/1", 10000101},
        {"9999/12/31", 99991231}, {"10000/1/1", -1},
        {"2024/02/09", 20240209}, {"2024/13/1", -1},
        {"2024/4/31", -1},        {"2024/4/30", 20240430},
        {"2024/1/0", -1},         {"2024//1", -1},
        {"2024/1/1/1", -1},       {"2024-1-1", -1},
        {"2024/1/1x", 20240101},  {"2024/1", -1},
        {"x2024/1/1", -1},        {"2024/1/99999999999", -1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseDate(text), value) << text;
    EXPECT_EQ(ParseDate("2024/1/1" + std::string(248, ' ')), 20240101);  // 256 bytes
    EXPECT_EQ(ParseDate("2024/1/1" + std::string(249, ' ')), -1);        // 257 bytes
}

TEST(TimeText, ClockRules) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"::", 0},           {"0:0:0", 0},     {"23:59:59", 235959},
        {"24:00:00", -1},    {"12:60:00", -1}, {"12:00:60", -1},
        {"1:2", -1},         {"1:2:3:4", -1},  {"12:30:15pm", 123015},
        {"07:05:09", 70509},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseTime(text), value) << text;
}

}  // namespace
