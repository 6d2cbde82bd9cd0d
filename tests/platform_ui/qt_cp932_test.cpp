// The converters between widgets and CP932 bytes: exact round trips, nothing dropped silently.
#include "platform/ui/qt_cp932.h"

#include <gtest/gtest.h>

using zbq::ui::fromCp932;
using zbq::ui::toCp932;

TEST(QtCp932, RoundTripsJapaneseTextByteForByte) {
    // Kanji with the trail byte 0x5C (表 ソ), half-width katakana, NEC specials (①), the full-width
    // tilde, and ASCII.
    const std::string bytes = "\x95\x5C\x83\x5C\xB1\xB2\x87\x40\x81\x60 ZBQ,1";
    const QString text = fromCp932(bytes);
    EXPECT_EQ(text, QString::fromUtf8("表ソｱｲ①～ ZBQ,1"));
    EXPECT_EQ(toCp932(text), bytes);
}

TEST(QtCp932, CharacterCp932LacksIsRefused) {
    EXPECT_EQ(toCp932(QString::fromUtf8("menu😀")), std::nullopt);
    EXPECT_EQ(toCp932(QString::fromUtf8("한")), std::nullopt);
    EXPECT_EQ(toCp932(QString(QChar(0xD800))), std::nullopt);  // a lone surrogate
    EXPECT_EQ(toCp932(QString()), std::string());
}

TEST(QtCp932, InvalidBytesBecomeReplacementCharactersNotCuts) {
    EXPECT_EQ(fromCp932("a\xFF"
                        "b\x81"),
              QString::fromUtf8("a\uFFFDb\uFFFD"));
}
