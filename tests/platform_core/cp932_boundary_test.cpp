// Cuts and searches on CP932 bytes never split a two-byte character.
#include "platform/core/cp932.h"

#include <gtest/gtest.h>

namespace {

using zbq::cp932::cutLength;
using zbq::cp932::endsWith;
using zbq::cp932::find;
using zbq::cp932::isCharStart;

const std::string kA_Katakana = "\x83\x41";  // ア: its trail byte is 'A'
const std::string kSo = "\x83\x5C";          // ソ: its trail byte is '\'

TEST(Cp932Boundary, CutNeverSplitsACharacter) {
    const std::string text = "a" + kA_Katakana + "b";  // a ア b: 4 bytes
    EXPECT_EQ(cutLength(text, 0), 0u);
    EXPECT_EQ(cutLength(text, 1), 1u);
    EXPECT_EQ(cutLength(text, 2), 1u);  // would split ア
    EXPECT_EQ(cutLength(text, 3), 3u);
    EXPECT_EQ(cutLength(text, 9), 4u);
    EXPECT_EQ(cutLength("\xB1\xB2", 1), 1u);  // half-width katakana are single bytes
}

TEST(Cp932Boundary, FindMatchesOnlyAtCharacterStarts) {
    EXPECT_EQ(find(kA_Katakana, "A"), std::string::npos);
    EXPECT_EQ(find(kSo, "\\"), std::string::npos);
    EXPECT_EQ(find(kA_Katakana + "A", "A"), 2u);
    EXPECT_EQ(find("xyz" + kSo + "\\", "\\"), 5u);
    EXPECT_EQ(find("abcabc", "c", 3), 5u);
    EXPECT_EQ(find("ab", "abc"), std::string::npos);
}

TEST(Cp932Boundary, EndsWithRespectsBoundaries) {
    EXPECT_FALSE(endsWith(kSo, "\\"));
    EXPECT_TRUE(endsWith("a" + kSo, kSo));
    EXPECT_TRUE(endsWith("abc", ""));
    EXPECT_FALSE(endsWith("c", "bc"));
    EXPECT_TRUE(isCharStart(kSo, 0));
    EXPECT_FALSE(isCharStart(kSo, 1));
    EXPECT_TRUE(isCharStart(kSo, 2));
}

}  // namespace
