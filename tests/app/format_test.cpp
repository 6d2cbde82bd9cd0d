// The application's texts and vocabulary: grouped numbers (the same under a locale with a
// decimal comma), dates and times of every length, the checks of typed values, and the fixed
// tables of aggregates, item types, category value types and class operators.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"

namespace {

using zbq::cp932::literal;

struct DoubleCase {
    double value;
    std::int32_t decimals;
    const char* text;
};

const std::vector<DoubleCase> kDoubles = {
    {1234.5, 2, "1,234.50"},
    {1234.5, -1, "1,234.500000"},
    {-0.5, 2, "-0.50"},
    {-1234567.25, 1, "-1,234,567.2"},  // ties round to even, as printf does
    {0.125, 2, "0.12"},
    {999.5, 0, "1,000"},
    {1e20, 0, "100,000,000,000,000,000,000"},
    {123.0, 0, "123"},
    {-0.0, 1, "-0.0"},
};

void expectNumberTable() {
    const std::vector<std::pair<std::int32_t, const char*>> ints = {
        {-1234567, "-1,234,567"},
        {0, "0"},
        {123, "123"},
        {1234, "1,234"},
        {-100, "-100"},
        {100000, "100,000"},
        {std::numeric_limits<std::int32_t>::min(), "-2,147,483,648"},
        {std::numeric_limits<std::int32_t>::max(), "2,147,483,647"},
    };
    for (const auto& [value, text] : ints)
        EXPECT_EQ(CKWApp::FormatInteger(value), text) << value;
    EXPECT_EQ(CKWApp::FormatInt64(std::numeric_limits<std::int64_t>::max()),
              "9,223,372,036,854,775,807");
    EXPECT_EQ(CKWApp::FormatInt64(std::numeric_limits<std::int64_t>::min()),
              "-9,223,372,036,854,775,808");
    for (const DoubleCase& c : kDoubles)
        EXPECT_EQ(CKWApp::FormatDouble(c.value, c.decimals), c.text)
            << c.value << " with " << c.decimals;
}

TEST(NumberTexts, GroupDigitsFromTheLeftAndKeepTheSign) {
    expectNumberTable();
    // The extremes fit: every digit of the largest double, and no gigabyte of zeros.
    const std::string largest = CKWApp::FormatDouble(-std::numeric_limits<double>::max(), 0);
    EXPECT_EQ(largest.size(), 1u + 309u + 102u);
    EXPECT_EQ(largest.substr(0, 8), "-179,769");
    EXPECT_EQ(CKWApp::FormatDouble(1.0, std::numeric_limits<std::int32_t>::max()).size(),
              2u + 1074u);
}

TEST(NumberTexts, IgnoreTheLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* chosen = nullptr;
    for (const char* name : names)
        if ((chosen = std::setlocale(LC_ALL, name))) break;
    if (!chosen) GTEST_SKIP() << "no German locale installed";
    // The locale must really bite: printf now writes a decimal comma.
    char probe[8];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5");
    expectNumberTable();
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(DateAndTimeTexts, OnlyWholeValuesAreCutIntoParts) {
    const std::vector<std::pair<std::int32_t, const char*>> dates = {
        {20010203, "2001/02/03"},
        {99991231, "9999/12/31"},
        {0, "0"},
        {-20010203, "-20010203"},
        {123456789, "123456789"},
        {9300, "9300"},
        {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
    };
    for (const auto& [value, text] : dates)
        EXPECT_EQ(CKWApp::FormatDate(value), text) << value;
    const std::vector<std::pair<std::int32_t, const char*>> times = {
        {93005, "09:30:05"}, {0, "00:00:00"}, {235959, "23:59:59"},
        {5, "00:00:05"},     {-1, "-1"},      {1234567, "1234567"},
    };
    for (const auto& [value, text] : times)
        EXPECT_EQ(CKWApp::FormatTime(value), text) << value;

    EXPECT_EQ(CKWApp::DateTextToInt("2001/02/03"), 20010203);
    EXPECT_EQ(CKWApp::TimeTextToInt("09:30:05"), 93005);
    EXPECT_EQ(CKWApp::DateTextToInt(""), 0);
    EXPECT_EQ(CKWApp::DateTextToInt("9999999/99/99"), 0);  // does not fit: nothing, not garbage
}

TEST(TextChecks, AcceptWhatTheDialogsAccept) {
    struct Case {
        const char* text;
        int integer, decimal, alphanumeric;
    };
    const std::vector<Case> cases = {
        {"", 1, 1, 1},         {"-", 1, 1, 0},    {"123", 1, 1, 1}, {"-123", 1, 1, 0},
        {"1-2", 0, 0, 0},      {"--1", 0, 0, 0},  {"+1", 0, 0, 0},  {" 1", 0, 0, 0},
        {"1.2.3", 0, 0, 0},    {"-0.5", 0, 1, 0}, {".5", 0, 1, 0},  {"1e5", 0, 0, 1},
        {"abcXYZ09", 0, 0, 1}, {"ab c", 0, 0, 0}, {"a_b", 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CKWApp::IsIntegerText(c.text), c.integer) << '"' << c.text << '"';
        EXPECT_EQ(CKWApp::IsDecimalText(c.text), c.decimal) << '"' << c.text << '"';
        EXPECT_EQ(CKWApp::IsAlphanumericText(c.text), c.alphanumeric) << '"' << c.text << '"';
    }
    // A katakana byte is no ASCII letter.
    EXPECT_EQ(CKWApp::IsAlphanumericText(literal("ｱ")), 0);
}

TEST(DateChecks, SplitIntoAValidCalendarDate) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"2001/2/3", 1},  {"2001/02/03", 1}, {"2000/2/29", 1},  {"2001:2:3", 1},
        {"01/02/03", 0},  {"2001/13/01", 0}, {"2001-02-03", 0}, {"2001/2/3/4", 0},
        {"2001/2/29", 0}, {"1900/2/29", 0},  {"2001/4/31", 0},  {"2001/0/1", 0},
        {"2001/1/0", 0},  {"0999/1/1", 0},   {"2001/002/3", 0}, {"2001/2/", 0},
        {"2001//3", 0},   {"2001/2x/3", 0},  {"2001/2:3", 0},   {"", 0},
        {"-200/1/1", 0},  {"2001/+2/3", 0},
    };
    for (const auto& [text, ok] : cases)
        EXPECT_EQ(CKWApp::CheckDate(text), ok) << text;

    std::int32_t y = 7, m = 7, d = 7;
    EXPECT_EQ(CKWApp::SplitDateNumbers("2001/02/03", &y, &m, &d), 1);
    EXPECT_EQ(std::vector<std::int32_t>({y, m, d}), std::vector<std::int32_t>({2001, 2, 3}));
    EXPECT_EQ(CKWApp::SplitDateNumbers("2001/13/03", &y, &m, &d), 0);
    EXPECT_EQ(std::vector<std::int32_t>({y, m, d}), std::vector<std::int32_t>({0, 0, 0}));

    std::string ys = "x", ms = "x", ds = "x";
    EXPECT_EQ(CKWApp::SplitDateText("2001/02/3", &ys, &ms, &ds), 1);
    EXPECT_EQ(std::vector<std::string>({ys, ms, ds}),
              std::vector<std::string>({"2001", "02", "3"}));
    EXPECT_EQ(CKWApp::SplitDateText("2001/2/30", &ys, &ms, &ds), 0);
    EXPECT_EQ(ys + ms + ds, "");
}

TEST(TimeChecks, SplitIntoATimeOfDay) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"9:30:5", 1},   {"09:30:05", 1},    {"23:59:59", 1}, {"0:0:0", 1},
        {"24:00:00", 0}, {"12:60:00", 0},    {"12:00:60", 0}, {"123:0:0", 0},
        {"12:00", 0},    {"12:00:00:00", 0}, {"1a:00:00", 0}, {"12::00", 0},
    };
    for (const auto& [text, ok] : cases)
        EXPECT_EQ(CKWApp::CheckTime(text), ok) << text;

    std::int32_t h = 7, m = 7, s = 7;
    EXPECT_EQ(CKWApp::SplitTimeNumbers("9:05:30", &h, &m, &s), 1);
    EXPECT_EQ(std::vector<std::int32_t>({h, m, s}), std::vector<std::int32_t>({9, 5, 30}));
    EXPECT_EQ(CKWApp::SplitTimeNumbers("25:00:00", &h, &m, &s), 0);
    EXPECT_EQ(std::vector<std::int32_t>({h, m, s}), std::vector<std::int32_t>({0, 0, 0}));

    std::string hs = "x", ms = "x", ss = "x";
    EXPECT_EQ(CKWApp::SplitTimeText("9:05:30", &hs, &ms, &ss), 1);
    EXPECT_EQ(std::vector<std::string>({hs, ms, ss}), std::vector<std::string>({"9", "05", "30"}));
    EXPECT_EQ(CKWApp::SplitTimeText("9:05", &hs, &ms, &ss), 0);
    EXPECT_EQ(hs + ms + ss, "");
}

TEST(Vocabulary, AggregateNames) {
    const std::vector<std::pair<std::int32_t, std::string>> cases = {
        {-2, ""},
        {-1, literal("件数(Ｚ指定不要)")},
        {0, literal("件数(Ｚ指定不要)")},
        {1, literal("件数")},
        {2, literal("ﾕﾆｰｸ件数")},
        {3, literal("合計")},
        {4, literal("平均")},
        {5, literal("最大値")},
        {6, literal("最小値")},
        {7, literal("％順位(上から)")},
        {8, ""},
    };
    for (const auto& [kind, name] : cases)
        EXPECT_EQ(CKWApp::GetAggregateName(kind), name) << kind;
}

TEST(Vocabulary, ItemTypes) {
    struct Case {
        std::int32_t type;
        std::string caption;
        const char* keyword;
        std::int32_t kwType;
    };
    const std::vector<Case> cases = {
        {-1, "", "", -1},
        {0, literal("ｺｰﾄﾞ"), "Code", KW_TYPE_STRING},
        {1, literal("ﾏﾙﾁｱﾝｻｰ"), "MultiAns", KW_TYPE_MULTI},
        {2, literal("整数"), "Integer", KW_TYPE_INTEGER},
        {3, literal("浮動小数"), "Float", KW_TYPE_FLOAT},
        {4, literal("文字列"), "String", KW_TYPE_STRING},
        {5, literal("日付"), "Date", KW_TYPE_DATE},
        {6, "RecNo", "", -1},
        {7, literal("時刻"), "Time", KW_TYPE_TIME},
        {8, "Group", "", -1},
        {9, "", "", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CKWApp::GetItemTypeCaption(c.type), c.caption) << c.type;
        EXPECT_EQ(CKWApp::GetItemTypeKeyword(c.type), c.keyword) << c.type;
        EXPECT_EQ(CKWApp::ItemTypeToKWType(c.type), c.kwType) << c.type;
    }
}

TEST(Vocabulary, CategoryValueTypesPerItemType) {
    // (item type, value type) pairs that fit; every other pair in the grid does not.
    const std::set<std::pair<int, int>> fits = {
        {0, 0}, {0, 5}, {0, 6},  // Code: Universal, String, Code
        {2, 0}, {2, 1},          // Integer
        {3, 0}, {3, 2},          // Float
        {4, 0}, {4, 5},          // String
        {5, 0}, {5, 3},          // Date
        {7, 0}, {7, 4},          // Time
    };
    for (int itemType = -1; itemType <= 9; ++itemType)
        for (int valueType = -1; valueType <= 7; ++valueType)
            EXPECT_EQ(CKWApp::IsCategoryTypeCompatible(itemType, valueType),
                      fits.count({itemType, valueType}) ? 1 : 0)
                << itemType << ", " << valueType;
}

TEST(Vocabulary, ClassOperatorsToEngineConditions) {
    const std::vector<std::pair<std::int32_t, std::int32_t>> ops = {
        {-1, -1},
        {1, KW_COND_NE},
        {2, KW_COND_GE},
        {3, KW_COND_GT},
        {4, KW_COND_LE},
        {5, KW_COND_LT},
        {6, KW_COND_RANGE},
        {7, KW_COND_RANGE_HIGH},
        {8, KW_COND_RANGE_LOW},
        {9, KW_COND_RANGE_OPEN},
        {10, -1},
    };
    for (const auto& [op, code] : ops) {
        EXPECT_EQ(CKWApp::ToEngineClassCode(op, "x"), code) << op;
        EXPECT_EQ(CKWApp::ToEngineClassCode(op, "Normal"), code) << op;  // words only for "="
    }
    const std::vector<std::pair<const char*, std::int32_t>> equals = {
        {"Normal", 10}, {"Error", 11}, {"Brank", 12}, {"Others", 13},
        {"normal", 4},  {"", 4},       {"Blank", 4},  {"Others ", 4},
    };
    for (const auto& [word, code] : equals)
        EXPECT_EQ(CKWApp::ToEngineClassCode(0, word), code) << '"' << word << '"';
}

}  // namespace
