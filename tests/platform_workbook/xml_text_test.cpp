// Cleaning text for workbook XML: what XML 1.0 forbids, and what is not UTF-8, becomes U+FFFD;
// everything else is kept byte for byte.
#include "platform/workbook/xml_text.h"

#include <gtest/gtest.h>

namespace {

using zbq::workbook::isXmlSafeText;
using zbq::workbook::xmlSafeText;

TEST(XmlSafeText, ReplacesWhatXmlForbidsAndKeepsTheRest) {
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD
    struct Case {
        std::string text, clean;
    } cases[] = {
        {"plain 001", "plain 001"},
        {"日本語 ﾌﾞﾗﾝｸ ①", "日本語 ﾌﾞﾗﾝｸ ①"},
        {"tab\tlf\ncr\r", "tab\tlf\ncr\r"},  // the three controls XML allows
        {"a\x01z\x0bz\x1bz", "a" + r + "z" + r + "z" + r + "z"},
        {std::string("\0\x0c\x1f", 3), r + r + r},
        {"\x7f", "\x7f"},                          // DEL is allowed
        {"x\xEF\xBF\xBEy", "x" + r + "y"},         // U+FFFE, one character
        {"\xEF\xBF\xBF", r},                       // U+FFFF
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},  // beyond the basic plane
        {"\xffz", r + "z"},                        // not UTF-8
        {"\xe6\x97z", r + r + "z"},                // a character cut short
        {"\xed\xa0\x80", r + r + r},               // a surrogate
        {"\xc0\xaf", r + r},                       // an overlong form
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xmlSafeText(c.text), c.clean) << c.text;
        EXPECT_EQ(isXmlSafeText(c.text), c.text == c.clean) << c.text;
    }
}

}  // namespace
