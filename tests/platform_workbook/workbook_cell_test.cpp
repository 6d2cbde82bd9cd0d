// ReadCell texts, date serials, format codes and the item type proposed from a sample cell.
#include "platform/workbook/workbook_cell.h"

#include <gtest/gtest.h>

#include "platform/core/cp932.h"

namespace {

using namespace zbq::workbook;
using zbq::cp932::literal;

ReadCell number(double v, std::string_view formatUtf8) {
    ReadCell c;
    c.kind = CellKind::Number;
    c.number = v;
    c.formatCode = literal(formatUtf8);
    return c;
}

TEST(WorkbookCell, ProposesTheTypeFromTheSampleCellAndItsFormat) {
    enum { Int, Float, Date, Time, Str };
    struct Case {
        const char* what;
        ReadCell sample;
        int expected;
    };
    ReadCell text;
    text.kind = CellKind::Text;
    text.formatCode = literal("G/標準");
    ReadCell boolean;
    boolean.kind = CellKind::Boolean;
    boolean.number = 1;
    ReadCell error;
    error.kind = CellKind::Error;
    const Case cases[] = {
        {"general whole", number(3, "G/標準"), Int},
        {"general decimal", number(1.5, "G/標準"), Float},
        {"general past 32 bits", number(4294967296.0, "G/標準"), Float},
        {"general at the 32-bit edge", number(-2147483648.0, "G/標準"), Int},
        {"the date format", number(45000, "yyyy/m/d"), Date},
        {"the time format", number(0.5, "h:mm:ss"), Time},
        {"a point in the format", number(2, "0.0"), Float},
        {"a date format not exactly the one", number(45000, "yyyy/mm/dd"), Str},
        {"date and time", number(45000.5, "yyyy/m/d h:mm"), Str},
        {"month only", number(3, "m\"月\""), Str},
        {"integer format, whole", number(7, "0"), Int},
        {"integer format, decimal", number(7.25, "0"), Float},
        {"percent, decimal", number(0.25, "0%"), Float},
        {"text", text, Str},
        {"empty", ReadCell{}, Str},
        {"boolean", boolean, Str},
        {"error", error, Str},
    };
    for (const Case& c : cases)
        EXPECT_EQ(proposeTypeChoice(c.sample), c.expected) << c.what;
    // The trail bytes of ノ, ペ and ヅ in CP932 are 'm', 'y' and 'd': no date tokens.
    EXPECT_EQ(proposeTypeChoice(number(5, "0\"ノペヅ\"")), Int);
}

TEST(WorkbookCell, TellsDatesAndTimesFromFormatCodes) {
    struct Case {
        const char* code;
        Temporal expected;
    };
    const Case cases[] = {
        {"G/標準", Temporal::None},     {"General", Temporal::None},
        {"0.00E+00", Temporal::None},   {"#,##0.00", Temporal::None},
        {"yyyy/m/d", Temporal::Date},   {"[$-411]ggge\"年\"m\"月\"d\"日\"", Temporal::Date},
        {"mmm-yy", Temporal::Date},     {"h:mm:ss", Temporal::Time},
        {"mm:ss", Temporal::Time},      {"[h]:mm", Temporal::Time},
        {"h:mm AM/PM", Temporal::Time}, {"yyyy/m/d h:mm", Temporal::DateTime},
        {"\"yyyy\"0", Temporal::None},  {"0\\d", Temporal::None},
        {"[Red]0.0", Temporal::None},   {"0_m", Temporal::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(temporalOf(c.code), c.expected) << c.code;
}

TEST(WorkbookCell, WritesSerialsAsDatesAndTimes) {
    struct Case {
        double serial;
        Temporal temporal;
        bool date1904;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {1, Temporal::Date, false, "1900/1/1"},
        {59, Temporal::Date, false, "1900/2/28"},
        {60, Temporal::Date, false, "1900/2/29"},
        {61, Temporal::Date, false, "1900/3/1"},
        {0, Temporal::Date, false, "1900/1/0"},
        {45000, Temporal::Date, false, "2023/3/15"},
        {45000.75, Temporal::Date, false, "2023/3/15"},
        {2958465, Temporal::Date, false, "9999/12/31"},
        {2958466, Temporal::Date, false, std::nullopt},
        {2958465.999999999, Temporal::DateTime, false, std::nullopt},
        {9223372036854775808.0, Temporal::Date, false, std::nullopt},
        {1e300, Temporal::DateTime, false, std::nullopt},
        {1.8e19, Temporal::Time, true, std::nullopt},
        {-1, Temporal::Date, false, std::nullopt},
        {0, Temporal::Date, true, "1904/1/1"},
        {43538, Temporal::Date, true, "2023/3/15"},
        {0.2952430555555556, Temporal::Time, false, "7:05:09"},
        {1.5, Temporal::Time, false, "12:00:00"},
        {0.99999999, Temporal::Time, false, "0:00:00"},
        {45000.5, Temporal::DateTime, false, "2023/3/15 12:00:00"},
        {45000.999999999, Temporal::DateTime, false, "2023/3/16 0:00:00"},
        {45000, Temporal::None, false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(serialText(c.serial, c.temporal, c.date1904), c.expected) << c.serial;
}

TEST(WorkbookCell, WritesNumbersInFifteenDigitsWithoutLocale) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {3, "3"},
        {-2.5, "-2.5"},
        {0.1 + 0.2, "0.3"},
        {1234567.891, "1234567.891"},
        {1e14, "100000000000000"},
        {123456789012345678.0, "1.23456789012346e+17"},
        {1.0 / 3, "0.333333333333333"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(numberText(value), text) << value;
}

TEST(WorkbookCell, RewritesIsoDatesAndNamesCells) {
    EXPECT_EQ(isoToCellText("2024-03-05"), "2024/3/5");
    EXPECT_EQ(isoToCellText("07:05:09"), "7:05:09");
    EXPECT_EQ(isoToCellText("2024-03-05 17:05:09"), "2024/3/5 17:05:09");
    EXPECT_EQ(isoToCellText("2024-3-5"), "2024-3-5");
    EXPECT_EQ(cellName(3, 12), "C12");
    EXPECT_EQ(columnLetters(26), "Z");
    EXPECT_EQ(columnLetters(27), "AA");
    EXPECT_EQ(columnLetters(16384), "XFD");
    EXPECT_EQ(builtinFormatCode(0), "G/標準");
    EXPECT_EQ(builtinFormatCode(14), "yyyy/m/d");
    EXPECT_EQ(builtinFormatCode(21), "h:mm:ss");
    EXPECT_EQ(builtinFormatCode(22), "yyyy/m/d h:mm");
    EXPECT_EQ(builtinFormatCode(164), std::nullopt);
}

}  // namespace
