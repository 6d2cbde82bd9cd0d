// The rows of the format-printing list: number texts, offered numbers, sorting and the rule that
// no two rows share a number.
#include "settingstool/print_format_table.h"
#include "tests/settingstool/settings_fixture.h"

#include <gtest/gtest.h>

#include <climits>

namespace zbq::settings {
namespace {

using test::sjis;

PrintFormatTable tableOf(std::initializer_list<PrintFormatRow> rows) {
    PrintFormatTable table;
    for (const PrintFormatRow& row : rows)
        EXPECT_TRUE(table.append(row));
    return table;
}

std::vector<std::string> column(const PrintFormatTable& table, Column c) {
    std::vector<std::string> texts;
    for (const PrintFormatRow& row : table.rows())
        texts.push_back(c == kNumberColumn     ? row.number
                        : c == kMenuNameColumn ? row.menuName
                                               : row.macroFile);
    return texts;
}

std::vector<int> range(int first, int last) {
    std::vector<int> numbers;
    for (int n = first; n <= last; ++n)
        numbers.push_back(n);
    return numbers;
}

TEST(PrintFormatTable, DecimalValueReadsAsZbqDoes) {
    const std::pair<const char*, int> cases[] = {
        {"5", 5},
        {"05", 5},
        {" \t7x", 7},
        {"-3", -3},
        {"+4", 4},
        {"", 0},
        {"abc", 0},
        {"- 3", 0},
        {"12 3", 12},
        {"2147483647", INT_MAX},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"-2147483648", INT_MIN},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(decimalValue(text), value) << text;
}

TEST(PrintFormatTable, OfferedNumbers) {
    // Add mode with 1, 2 and 4 in use.
    NumberChoice add = offerNumbers({1, 2, 4}, std::nullopt);
    std::vector<int> expected = range(5, 99);
    expected.insert(expected.begin(), 3);
    EXPECT_EQ(add.offered, expected);
    EXPECT_EQ(add.selected, -1);

    // A row numbered 5 with 1 to 4 used offers its own number first, preselected.
    PrintFormatTable table = tableOf(
        {{"1", "a", "a"}, {"2", "b", "b"}, {"3", "c", "c"}, {"4", "d", "d"}, {"5", "e", "e"}});
    NumberChoice own = table.numberChoiceFor(4);
    EXPECT_EQ(own.offered, range(5, 99));
    EXPECT_EQ(own.selected, 0);

    // Rows numbered 0 and 150 are offered only the free numbers and get no preselection.
    PrintFormatTable outside = tableOf({{"0", "a", "a"}, {"150", "b", "b"}, {"1", "c", "c"}});
    for (int row : {0, 1}) {
        NumberChoice choice = outside.numberChoiceFor(row);
        EXPECT_EQ(choice.offered, range(2, 99)) << row;
        EXPECT_EQ(choice.selected, -1) << row;
    }
}

TEST(PrintFormatTable, NoTwoRowsShareANumber) {
    PrintFormatTable table = tableOf({{"1", "a", "a"}, {"05", "b", "b"}});
    EXPECT_FALSE(table.append({"5", "c", "c"}));
    EXPECT_FALSE(table.replace(0, {"5", "c", "c"}));
    EXPECT_FALSE(table.setNumber(0, 5));
    EXPECT_TRUE(table.replace(1, {"5", "c", "c"}));  // its own number is free to it
    EXPECT_TRUE(table.setNumber(0, 7));
    EXPECT_EQ(column(table, kNumberColumn), (std::vector<std::string>{"7", "5"}));
    EXPECT_EQ(table.usedNumbers(), (std::set<int>{5, 7}));
    table.remove(0);
    EXPECT_EQ(table.usedNumbers(), (std::set<int>{5}));
}

TEST(PrintFormatTable, NumbersSortByValueEachColumnWithItsOwnDirection) {
    PrintFormatTable table = tableOf({{"10", "b", "z"}, {"9", "c", "y"}, {"100", "a", "x"}});
    PrintFormatTable::SortResult first = table.sortBy(kNumberColumn);
    EXPECT_TRUE(first.ascending);
    EXPECT_EQ(column(table, kNumberColumn), (std::vector<std::string>{"9", "10", "100"}));
    EXPECT_EQ(first.newIndex, (std::vector<int>{1, 0, 2}));  // "10" went to row 1

    EXPECT_FALSE(table.sortBy(kNumberColumn).ascending);
    EXPECT_EQ(column(table, kNumberColumn), (std::vector<std::string>{"100", "10", "9"}));

    EXPECT_TRUE(table.sortBy(kMenuNameColumn).ascending);
    EXPECT_EQ(column(table, kMenuNameColumn), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(table.sortBy(kMacroFileColumn).ascending);
    EXPECT_EQ(column(table, kMacroFileColumn), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_TRUE(table.sortBy(kNumberColumn).ascending);  // the third click on numbers
}

TEST(PrintFormatTable, NamesSortByUnsignedCp932Bytes) {
    // ア is 83 41, ｱ is B1, 亜 is 88 9F, "Z" 5A and "a" 61: byte order, not reading order.
    PrintFormatTable table = tableOf({{"1", sjis("ｱ"), "f"},
                                      {"2", sjis("亜"), "f"},
                                      {"3", sjis("ア"), "f"},
                                      {"4", "a", "f"},
                                      {"5", "Z", "f"},
                                      {"6", sjis("アイ"), "f"}});
    table.sortBy(kMenuNameColumn);
    EXPECT_EQ(
        column(table, kMenuNameColumn),
        (std::vector<std::string>{"Z", "a", sjis("ア"), sjis("アイ"), sjis("亜"), sjis("ｱ")}));
}

TEST(PrintFormatTable, EqualKeysKeepTheirOrderEitherWay) {
    PrintFormatTable table = tableOf({{"1", "same", "f1"}, {"2", "same", "f2"}, {"3", "a", "f3"}});
    table.sortBy(kMenuNameColumn);
    EXPECT_EQ(column(table, kMacroFileColumn), (std::vector<std::string>{"f3", "f1", "f2"}));
    table.sortBy(kMenuNameColumn);
    EXPECT_EQ(column(table, kMacroFileColumn), (std::vector<std::string>{"f1", "f2", "f3"}));
}

TEST(PrintFormatTable, EmptyListIgnoresTheClick) {
    PrintFormatTable table;
    table.sortBy(kNumberColumn);
    ASSERT_TRUE(table.append({"2", "b", "b"}));
    ASSERT_TRUE(table.append({"1", "a", "a"}));
    EXPECT_TRUE(table.sortBy(kNumberColumn).ascending);
}

}  // namespace
}  // namespace zbq::settings
