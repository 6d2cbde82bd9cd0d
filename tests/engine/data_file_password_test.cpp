// Data-file passwords: setting, removing and checking them on disk, and opening a protected
// file with the right and the wrong text.
#include <gtest/gtest.h>

#include "engine/kw_file.h"
#include "engine/kw_format.h"
#include "engine/kw_password.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::TempDir;

class DataFilePassword : public ::testing::Test {
protected:
    void SetUp() override {
        zbq::test::writeFixture(path(), {"pw", {{"n", KW_TYPE_INTEGER}}, {{"1"}, {"2"}}});
    }
    std::string path() const { return dir_.file("p.zbq"); }
    std::int32_t open(std::string_view password) {
        kw::DataFileContents c;
        return kw::readDataFile(path(), password, c);
    }
    std::string field() const { return zbq::test::readFile(path()).substr(12, 16); }

    TempDir dir_;
};

TEST_F(DataFilePassword, FileWithoutPasswordOpensWithAnyText) {
    EXPECT_EQ(KWpwdchk(path()), 0);
    EXPECT_EQ(open(""), 0);
    EXPECT_EQ(open("whatever"), 0);
}

TEST_F(DataFilePassword, OpensOnlyWithExactlyThePassword) {
    ASSERT_EQ(KWpwdSet(path(), "secret1234"), 0);
    EXPECT_EQ(KWpwdchk(path()), 1);
    EXPECT_EQ(open("secret1234"), 0);
    for (const char* wrong : {"", "secret123", "secret12345", "Secret1234", "secret1234 "})
        EXPECT_EQ(open(wrong), KW_ERR_PASSWORD) << wrong;
}

TEST_F(DataFilePassword, EveryLengthUpToSixteenRoundTrips) {
    const std::string all = "0123456789abcdef";
    for (std::size_t n = 1; n <= 16; ++n) {
        const std::string pw = all.substr(0, n);
        ASSERT_EQ(KWpwdSet(path(), pw), 0);
        EXPECT_EQ(open(pw), 0) << pw;
        EXPECT_EQ(open(all.substr(0, n - 1)), KW_ERR_PASSWORD) << pw;
    }
}

TEST_F(DataFilePassword, EmptyPasswordRemovesIt) {
    ASSERT_EQ(KWpwdSet(path(), "abc"), 0);
    ASSERT_EQ(KWpwdSet(path(), ""), 0);
    EXPECT_EQ(KWpwdchk(path()), 0);
    EXPECT_EQ(field(), std::string(16, '\0'));
    EXPECT_EQ(open(""), 0);
}

TEST_F(DataFilePassword, SameShortPasswordTwiceGivesDifferentFieldBytes) {
    ASSERT_EQ(KWpwdSet(path(), "pass"), 0);
    const std::string first = field();
    ASSERT_EQ(KWpwdSet(path(), "pass"), 0);
    EXPECT_NE(field(), first);
    EXPECT_EQ(open("pass"), 0);
}

TEST_F(DataFilePassword, TextThatCannotBeStoredWholeIsRefusedAndNothingWritten) {
    const std::string before = zbq::test::readFile(path());
    for (const std::string& bad :
         {std::string(17, 'x'), std::string(20, 'x'), std::string("tab\there"),
          std::string("nul\0x", 5), std::string("\x1f")}) {
        EXPECT_EQ(KWpwdSet(path(), bad), KW_ERR_ARGUMENT) << bad.size();
        EXPECT_EQ(zbq::test::readFile(path()), before);
    }
    // Sixteen bytes of CP932, double-byte characters included, are fine.
    EXPECT_EQ(KWpwdSet(path(), "\x82\xa0\x82\xa2pass\x88\x9fpassw"), 0);
    EXPECT_EQ(open("\x82\xa0\x82\xa2pass\x88\x9fpassw"), 0);
}

TEST_F(DataFilePassword, StoredLengthAboveSixteenNeedsPrefixAndLength) {
    // Older files store the whole length of a longer password but only its first 16 bytes.
    std::string bytes = zbq::test::readFile(path());
    const KW_passwordField f = ScramblePassword("abcdefghijklmnopqrst");
    std::copy(f.begin(), f.end(), bytes.begin() + 12);
    const std::int32_t twenty = 20;
    std::memcpy(bytes.data() + 96, &twenty, 4);
    zbq::test::writeFile(path(), bytes);

    EXPECT_EQ(open("abcdefghijklmnopqrst"), 0);
    EXPECT_EQ(open("abcdefghijklmnopXYZW"), 0);  // only 16 bytes were ever stored
    EXPECT_EQ(open("abcdefghijklmnop"), KW_ERR_PASSWORD);
    EXPECT_EQ(open("abcdefghijklmnopqrs"), KW_ERR_PASSWORD);
    EXPECT_EQ(open("abcdefghijklmnopqrstu"), KW_ERR_PASSWORD);
    EXPECT_EQ(open("Abcdefghijklmnopqrst"), KW_ERR_PASSWORD);
}

TEST_F(DataFilePassword, FirstFieldByteZeroMeansNoPassword) {
    std::string bytes = zbq::test::readFile(path());
    std::fill_n(bytes.begin() + 13, 15, 'z');
    const std::int32_t length = 8;
    std::memcpy(bytes.data() + 96, &length, 4);
    zbq::test::writeFile(path(), bytes);
    EXPECT_EQ(KWpwdchk(path()), 0);
    EXPECT_EQ(open("anything"), 0);
}

TEST_F(DataFilePassword, WrongPasswordIsToldBeforeTheBlocksAreRead) {
    ASSERT_EQ(KWpwdSet(path(), "key"), 0);
    const std::string bytes = zbq::test::readFile(path());
    zbq::test::writeFile(path(), bytes.substr(0, 300));  // blocks cut short
    EXPECT_EQ(open("nope"), KW_ERR_PASSWORD);
    EXPECT_EQ(open("key"), KW_ERR_DAMAGED);
}

TEST_F(DataFilePassword, OtherFilesAreRefusedAndLeftAlone) {
    const std::string text = dir_.file("notes.txt");
    zbq::test::writeFile(text, std::string(400, 'n'));
    EXPECT_EQ(KWpwdSet(text, "abc"), KW_ERR_NOT_DATA_FILE);
    EXPECT_EQ(KWpwdchk(text), KW_ERR_NOT_DATA_FILE);
    EXPECT_EQ(zbq::test::readFile(text), std::string(400, 'n'));
    EXPECT_EQ(KWpwdchk(dir_.file("missing.zbq")), -2);
}

}  // namespace
