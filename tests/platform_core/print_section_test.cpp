// The one reader of [print] that ZBQ's menu and the settings tool's list share.
#include "platform/core/print_section.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace zbq {
namespace {

// The C library's own conversion is the reference, saturated to int as the reader saturates.
int referenceNumber(const std::string& text) {
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

TEST(PrintSection, NumberReadsAsTheCLibrary) {
    const char* fixed[] = {"5",
                           "05",
                           " \t7x",
                           "\v7",
                           "\f7",
                           "\r\n 8",
                           "-3",
                           "+4",
                           "",
                           "abc",
                           "- 3",
                           "12 3",
                           "2147483647",
                           "99999999999",
                           "-99999999999",
                           "-2147483648",
                           "\x85"
                           "1"};
    for (const char* text : fixed)
        EXPECT_EQ(printEntryNumber(text), referenceNumber(text)) << text;
    // Short texts of the characters that matter: white space, signs, digits and others.
    const std::string alphabet = " \t\v\f\r+-0123456789x,\xA0";
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text(random() % 8, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        ASSERT_EQ(printEntryNumber(text), referenceNumber(text)) << '"' << text << '"';
    }
}

TEST(PrintSection, EntriesAsTheMenuShowsThem) {
    using Reason = RefusedPrintEntry::Reason;
    const ProfileFile file(
        "[print]\r\n"
        "PRT02=2,b,b.xls\r\n"
        "prt02=9,shadowed,z.xls\r\n"  // the first line of a key is the key
        "prt01=1,a,a.xls\r\n"         // key order, not file order
        "prt03=\r\n"                  // passed over
        "Prt04=2,again,c.xls\r\n"     // a taken number
        "prt05=5,e\r\n"               // one comma
        "prt06=6,,f.xls\r\n"          // no menu name
        "prt07=7,g,\r\n"              // no file
        "prt08=8,h,x,y.xls\r\n"       // the file keeps its comma
        "prt100=100,late,l.xls\r\n"
        "other=o\r\n"
        "[print2]\r\nprt09=9,i,i.xls\r\n");
    const PrintSection section = readPrintSection(file);
    EXPECT_EQ(section.entries, (std::vector<PrintEntry>{{"prt01", "1", "a", "a.xls"},
                                                        {"PRT02", "2", "b", "b.xls"},
                                                        {"prt08", "8", "h", "x,y.xls"}}));
    EXPECT_EQ(section.refused,
              (std::vector<RefusedPrintEntry>{{Reason::DuplicateNumber, "Prt04", "2,again,c.xls"},
                                              {Reason::Malformed, "prt05", "5,e"},
                                              {Reason::Malformed, "prt06", "6,,f.xls"},
                                              {Reason::Malformed, "prt07", "7,g,"},
                                              {Reason::KeyNotRead, "prt100", "100,late,l.xls"},
                                              {Reason::KeyNotRead, "other", "o"}}));
}

}  // namespace
}  // namespace zbq
