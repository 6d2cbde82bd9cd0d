// CP932 <-> UTF-8 follows Windows' code page 932 and the failure policy: decoding never cuts a
// text short, encoding refuses what CP932 lacks.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/core/cp932.h"

namespace {

using zbq::cp932::fromUtf8;
using zbq::cp932::pathFromStored;
using zbq::cp932::pathToStored;
using zbq::cp932::toUtf8;

const std::string kFffd = "\xEF\xBF\xBD";

struct RoundTrip {
    const char* what;
    std::string utf8;
    std::string cp932;
};

TEST(Cp932Convert, RoundTripsWindowsCharacters) {
    const RoundTrip cases[] = {
        {"ascii with backslash and tilde", "a\\b~", "a\\b~"},
        {"half-width katakana", "ｺﾝｿｰﾙ", "\xBA\xDD\xBF\xB0\xD9"},
        {"NEC row 13 circled digit", "①", "\x87\x40"},
        {"full-width tilde", "～", "\x81\x60"},
        {"kanji", "総計", "\x91\x8D\x8C\x76"},
        {"trail byte is a backslash", "ソ", "\x83\x5C"},
        {"IBM extension", "髙", "\xFB\xFC"},
        {"embedded NUL", std::string("a\0b", 3), std::string("a\0b", 3)},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fromUtf8(c.utf8), c.cp932);
        EXPECT_EQ(toUtf8(c.cp932), c.utf8);
    }
}

TEST(Cp932Convert, OneWayMappingsFromOtherInput) {
    // Text pasted from other programs uses the JIS code points; they land on the CP932 ones.
    EXPECT_EQ(fromUtf8("〜"), "\x81\x60");  // U+301C WAVE DASH
    EXPECT_EQ(fromUtf8("−"), "\x81\x7C");   // U+2212 MINUS SIGN
}

TEST(Cp932Convert, DecodingReplacesBadBytesAndKeepsTheRest) {
    const RoundTrip cases[] = {
        {"stray byte 0x80", "a\x80z", "a" + kFffd + "z"},
        {"byte 0xFF", "\xFF", kFffd},
        {"lead byte at the end", "ab\x82", "ab" + kFffd},
        {"lead byte before a line end", "\x82\r\nx", kFffd + "\r\nx"},
        {"unmapped pair is one character", "\x85\x40@", kFffd + "@"},
        {"good character after a bad one", "\xFD\x82\xA0", kFffd + "あ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(toUtf8(c.utf8), c.cp932);
    }
}

TEST(Cp932Convert, EncodingRefusesWhatCp932Lacks) {
    EXPECT_EQ(fromUtf8("ok 😀"), std::nullopt);           // emoji
    EXPECT_EQ(fromUtf8("한국어"), std::nullopt);         // hangul
    EXPECT_EQ(fromUtf8("x\xEF\xBF\xBD"), std::nullopt);  // U+FFFD from a decoding never sneaks back
    EXPECT_EQ(fromUtf8("\xC3"), std::nullopt);           // cut UTF-8
    EXPECT_EQ(fromUtf8("\xC0\xAF"), std::nullopt);       // overlong
    EXPECT_EQ(fromUtf8("\xED\xA0\x80"), std::nullopt);   // surrogate
}

TEST(Cp932Convert, LiteralGivesCp932Bytes) {
    EXPECT_EQ(zbq::cp932::literal("ﾌﾞﾗﾝｸ"), "\xCC\xDE\xD7\xDD\xB8");
    EXPECT_DEATH(zbq::cp932::literal("😀"), "not representable");
}

TEST(Cp932Convert, LongTextConvertsWhole) {
    std::string utf8;
    for (int i = 0; i < 5000; ++i)
        utf8 += "データ①～x";
    const auto cp932 = fromUtf8(utf8);
    ASSERT_TRUE(cp932);
    EXPECT_EQ(cp932->size(), 5000u * 11);
    EXPECT_EQ(toUtf8(*cp932), utf8);
}

TEST(Cp932Convert, ThreadsConvertIndependently) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 2000; ++i) {
                // A refused emoji must not leave state behind for the next call on this thread.
                if (fromUtf8("😀")) ++failures[t];
                if (fromUtf8("～") != "\x81\x60") ++failures[t];
                if (toUtf8("\x87\x40\xBA") != "①ｺ") ++failures[t];
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(Cp932Convert, StoredPathsMustComeBackUnchanged) {
    EXPECT_EQ(pathToStored("/home/利用者/データ.zbq"),
              "/home/\x97\x98\x97\x70\x8E\xD2/\x83\x66\x81\x5B\x83\x5E.zbq");
    EXPECT_EQ(pathFromStored(*pathToStored("/home/利用者/データ.zbq")), "/home/利用者/データ.zbq");
    EXPECT_EQ(pathToStored("/tmp/😀.zbq"), std::nullopt);
    // These map onto CP932 characters that decode to other code points: another file.
    EXPECT_EQ(pathToStored("/tmp/a¥b"), std::nullopt);
    EXPECT_EQ(pathToStored("/tmp/a〜b"), std::nullopt);
}

}  // namespace
