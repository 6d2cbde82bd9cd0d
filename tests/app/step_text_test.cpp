// Splitting step texts and the TAB lists inside their fields.
#include "app/step_text.h"

#include <gtest/gtest.h>

#include "app/macro_port.h"

namespace {

using Fields = std::vector<std::string>;

Fields split(std::string_view text, char separator = ',') {
    Fields fields;
    SplitStepText(text, separator, fields);
    return fields;
}

TEST(SplitStepText, TableOfStepForms) {
    struct Case {
        std::string text;
        Fields fields;
    } cases[] = {
        {"Cmd,a,b,", {"Cmd", "a", "b"}},
        {"Cmd,,b", {"Cmd", "", "b"}},
        {"Cmd,\"x,y\",z", {"Cmd", "x,y", "z"}},
        {"Cmd,\"a\"\"b\",c", {"Cmd", "a\"b", "c"}},
        {"Cmd,\"abc", {"Cmd", "ab"}},
        {"", {}},
        {"DispConsole", {"DispConsole"}},
        {"Cmd,\"\",b", {"Cmd", "", "b"}},
        {"Cmd,\"last\"", {"Cmd", "last"}},
        // Old files: quotes inside a quoted field were not doubled.
        {"Cmd,\"a\"b\",c", {"Cmd", "a\"b", "c"}},
        {"ExeMacro,\"say \"hi\"\"", {"ExeMacro", "say \"hi\""}},
        {"Cmd,\"a\"\",next", {"Cmd", "a\"", "next"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(split(c.text), c.fields) << c.text;
}

TEST(SplitStepText, TabSeparatesTheFieldsOfAFilterCondition) {
    EXPECT_EQ(split("6\t1,5\t\"9\"\t2", '\t'), (Fields{"6", "1,5", "9", "2"}));
    EXPECT_EQ(split("-1\t\t\t0\t", '\t'), (Fields{"-1", "", "", "0"}));
}

TEST(SplitStepText, WhatTheBuilderWritesComesBackWhole) {
    // "表" is 0x95 0x5C: its trail byte is a backslash.
    const std::string hyou = "\x95\x5C";
    const Fields values = {"a\"b", "x,y", "tab\there", hyou + "\\" + hyou, "\"", "a\",b",
                           "\"\"", "",    "end\""};
    StepBuilder step("Cmd");
    for (const std::string& v : values)
        step.text(v);
    step.number(-12);
    Fields expected = {"Cmd"};
    expected.insert(expected.end(), values.begin(), values.end());
    expected.push_back("-12");
    EXPECT_EQ(split(step.str()), expected);
}

TEST(ParseColumnPairs, TableOfPairLists) {
    struct Case {
        std::string text;
        std::vector<std::int32_t> firsts, seconds;
    } cases[] = {
        {"3:0\t5:4", {3, 5}, {0, 4}},
        {"3:0\t5:4\t", {3, 5}, {0, 4}},
        {"3\t5:1", {5}, {1}},
        {"7:2:9", {7}, {2}},
        {"x:y", {0}, {0}},
        {"\t\t1:2", {1}, {2}},
        {" 12x:-3", {12}, {-3}},
        {"", {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::int32_t> firsts = {99}, seconds = {99};
        ParseColumnPairs(c.text, '\t', firsts, seconds);
        EXPECT_EQ(firsts, c.firsts) << c.text;
        EXPECT_EQ(seconds, c.seconds) << c.text;
    }
}

TEST(ParseNumberList, TableOfNumberLists) {
    struct Case {
        std::string text;
        std::vector<std::int32_t> numbers;
    } cases[] = {
        {"1\t2", {1, 2}}, {"1\t2\t", {1, 2}}, {"1\t\t3", {1, 0, 3}},
        {" 12x", {12}},   {"\t", {0}},        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::int32_t> numbers = {99};
        ParseNumberList(c.text, '\t', numbers);
        EXPECT_EQ(numbers, c.numbers) << c.text;
    }
}

TEST(ReadStepNumbers, ReadLikeTheCLibraryWithoutItsOverflow) {
    EXPECT_EQ(ReadStepInt("  -42abc"), -42);
    EXPECT_EQ(ReadStepInt("+7"), 7);
    EXPECT_EQ(ReadStepInt("abc"), 0);
    EXPECT_EQ(ReadStepInt("99999999999"), 2147483647);
    EXPECT_EQ(ReadStepInt("-99999999999"), -2147483647 - 1);
    EXPECT_DOUBLE_EQ(ReadStepDouble(" 12.5%"), 12.5);
    EXPECT_DOUBLE_EQ(ReadStepDouble("+1e2"), 100.0);
    EXPECT_DOUBLE_EQ(ReadStepDouble("x"), 0.0);
    EXPECT_GT(ReadStepDouble("1e999"), 100.0);
    EXPECT_DOUBLE_EQ(ReadStepDouble("1e-999"), 0.0);
}

}  // namespace
