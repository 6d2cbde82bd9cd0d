// The engine's text helpers: searches that respect CP932 characters, three-way comparisons,
// the frozen scramble tables, and the 64-bit file size.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/kw_text.h"
#include "tests/support/temp_dir.h"

namespace {

// Two-byte CP932 characters whose second byte is an ASCII letter or the backslash.
const std::string kA = "\x83\x41";   // ア: its trail byte is "A"
const std::string kSo = "\x83\x5C";  // ソ: its trail byte is "\"
const std::string kHalfA = "\xB1";   // ｱ: one byte, not a lead byte

TEST(TextHelpers, ContainsMatchesOnlyAtCharacterStarts) {
    const struct {
        std::string text, pattern;
        int result;
    } cases[] = {
        {"abc", "", -1},         {"", "", -1},
        {"", "a", -1},           {"abc", "bc", 0},
        {"abc", "abcd", -1},     {"aab", "ab", 0},
        {"abc", "c", 0},         {kA, "A", -1},
        {kSo, "\\", -1},         {kSo + "\\", "\\", 0},
        {kA + "A", "A", 0},      {kHalfA + "A", "A", 0},
        {"x" + kA + "y", kA, 0}, {kA + kA, "A" + kA, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextContains(c.text.c_str(), c.pattern.c_str()), c.result)
            << "'" << c.text << "' contains '" << c.pattern << "'";
    EXPECT_EQ(TextContains(nullptr, "a"), -1);
    EXPECT_EQ(TextContains("a", nullptr), -1);
}

TEST(TextHelpers, EndsWithMatchesOnlyAtACharacterStart) {
    const struct {
        std::string text, suffix;
        int result;
    } cases[] = {
        {"abc", "", 0},        {"", "", 0},        {"c", "bc", -1},   {"abc", "bc", 0},
        {"abc", "abc", 0},     {"abc", "b", -1},   {kSo, "\\", -1},   {kA, "A", -1},
        {kSo + "\\", "\\", 0}, {kA + "A", "A", 0}, {"x" + kA, kA, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextEndsWith(c.text.c_str(), c.suffix.c_str()), c.result)
            << "'" << c.text << "' ends with '" << c.suffix << "'";
}

TEST(TextHelpers, ThreeWayComparisons) {
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(CompareInt(hi, lo), 1);  // a subtraction would overflow here
    EXPECT_EQ(CompareInt(lo, hi), -1);
    EXPECT_EQ(CompareInt(-7, -7), 0);

    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    const struct {
        double a, b;
        int result;
    } cases[] = {{nan, 1.0, 0}, {1.0, nan, 0},  {nan, nan, 0},   {-0.0, 0.0, 0},
                 {2.5, 2.0, 1}, {2.0, 2.5, -1}, {inf, 1e308, 1}, {-inf, -1e308, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(CompareDouble(c.a, c.b), c.result) << c.a << " vs " << c.b;
}

// Data files carry scrambled texts: these images must never change.
TEST(Scramble, TablesAreFrozen) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    ScrambleText(all.data());

    std::uint64_t digest = 0xcbf29ce484222325u;  // FNV-1a over the images of 0x01-0xFF
    for (unsigned char c : all)
        digest = (digest ^ c) * 0x100000001b3u;
    EXPECT_EQ(digest, 0xb1141b608a6eb78fu);

    std::string known = "ZBQ " + kA + "\xFF";
    ScrambleText(known.data());
    EXPECT_EQ(known, "\x8F\x4E\x25\x64\x33\x58\x9C");
}

TEST(Scramble, ControlBytesStayAndEveryTextComesBack) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    std::string s = all;
    ScrambleText(s.data());
    EXPECT_EQ(s.substr(0, 0x1F), all.substr(0, 0x1F));
    std::vector<bool> hit(256);
    for (unsigned char c : s.substr(0x1F)) {
        EXPECT_GE(c, 0x20);
        EXPECT_FALSE(hit[c]) << "two bytes scramble to " << int(c);
        hit[c] = true;
    }
    UnscrambleText(s.data());
    EXPECT_EQ(s, all);
}

TEST(Scramble, TextStopsAtTheTerminatorBytesKeepNuls) {
    char text[] = "ab\0cd";
    ScrambleText(text);
    EXPECT_EQ(std::string(text + 3, 2), "cd");
    EXPECT_NE(std::string(text, 2), "ab");

    std::string bytes("a\0b\0", 4), original = bytes;
    ScrambleBytes(bytes.data(), bytes.size());
    EXPECT_EQ(bytes[1], '\0');
    EXPECT_EQ(bytes[3], '\0');
    UnscrambleBytes(bytes.data(), bytes.size());
    EXPECT_EQ(bytes, original);
}

TEST(FileSize, SizesFilesAndRefusesWhatIsNotOne) {
    zbq::test::TempDir dir;
    zbq::test::writeFile(dir.file("five"), "12345");
    zbq::test::writeFile(dir.file("empty"), "");
    EXPECT_EQ(FileSize64(dir.file("five")), 5);
    EXPECT_EQ(FileSize64(dir.file("empty")), 0);
    EXPECT_EQ(FileSize64(dir.file("missing")), -1);
    EXPECT_EQ(FileSize64(dir.path()), -1);

    // Beyond 4 GiB, where a 32-bit size would wrap (sparse: no disk space used).
    const std::string big = dir.file("big");
    const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const off_t size = (off_t{5} << 30) + 7;
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    EXPECT_EQ(FileSize64(big), std::int64_t{size});
}

}  // namespace
