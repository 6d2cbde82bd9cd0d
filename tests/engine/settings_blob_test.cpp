// The settings blob behind a data file's blocks: read, replaced by a longer or shorter one, and
// refused on files that are not data files, which stay untouched.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/kw_file.h"
#include "engine/kw_format.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::TempDir;

class SettingsBlob : public ::testing::Test {
protected:
    void SetUp() override {
        zbq::test::writeFixture(path(), {"blob",
                                         {{"n", KW_TYPE_INTEGER}, {"s", KW_TYPE_STRING}},
                                         {{"1", "a"}, {"2", "b"}, {"", ""}}});
        dataSize_ = std::filesystem::file_size(path());
    }
    std::string path() const { return dir_.file("b.zbq"); }

    TempDir dir_;
    std::uintmax_t dataSize_ = 0;
};

TEST_F(SettingsBlob, FreshFileHasAnEmptyBlob) {
    std::string blob = "stale";
    EXPECT_EQ(KWreadBlob(path(), blob), 0);
    EXPECT_TRUE(blob.empty());
}

TEST_F(SettingsBlob, RewrittenLongerThenShorterReadsBackExactly) {
    std::string big(5000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    ASSERT_EQ(KWwriteBlob(path(), big), 0);
    std::string blob;
    EXPECT_EQ(KWreadBlob(path(), blob), 5000);
    EXPECT_EQ(blob, big);

    ASSERT_EQ(KWwriteBlob(path(), "short"), 0);
    EXPECT_EQ(std::filesystem::file_size(path()), dataSize_ + 5);
    EXPECT_EQ(KWreadBlob(path(), blob), 5);
    EXPECT_EQ(blob, "short");

    ASSERT_EQ(KWwriteBlob(path(), ""), 0);
    EXPECT_EQ(std::filesystem::file_size(path()), dataSize_);

    // The data in front of the blob is untouched by all of it.
    kw::DataFileContents c;
    ASSERT_EQ(kw::readDataFile(path(), "", c), 0);
    EXPECT_EQ(c.items[1].values.size(), 3u);
}

TEST_F(SettingsBlob, RewriteKeepsThePermissions) {
    ASSERT_EQ(::chmod(path().c_str(), 0640), 0);
    ASSERT_EQ(KWwriteBlob(path(), "x"), 0);
    struct stat st {};
    ASSERT_EQ(::stat(path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(SettingsBlob, OtherFilesAreRefusedAndLeftAlone) {
    const std::string text = dir_.file("notes.txt");
    zbq::test::writeFile(text, std::string(300, 'n'));
    std::string blob;
    EXPECT_EQ(KWwriteBlob(text, "x"), KW_ERR_NOT_DATA_FILE);
    EXPECT_EQ(KWreadBlob(text, blob), KW_ERR_NOT_DATA_FILE);
    EXPECT_EQ(zbq::test::readFile(text), std::string(300, 'n'));

    EXPECT_EQ(KWreadBlob(dir_.file("missing.zbq"), blob), -2);
    EXPECT_EQ(KWwriteBlob(dir_.file("missing.zbq"), "x"), -2);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing.zbq")));
}

TEST_F(SettingsBlob, BlobOffsetOutsideTheFileIsDamage) {
    std::string bytes = zbq::test::readFile(path());
    for (const std::int32_t offset : {0, static_cast<std::int32_t>(bytes.size() + 1)}) {
        std::memcpy(bytes.data() + 92, &offset, 4);
        zbq::test::writeFile(path(), bytes);
        std::string blob;
        EXPECT_EQ(KWreadBlob(path(), blob), KW_ERR_DAMAGED);
        EXPECT_EQ(KWwriteBlob(path(), "x"), KW_ERR_DAMAGED);
        EXPECT_EQ(zbq::test::readFile(path()), bytes);
    }
}

}  // namespace
