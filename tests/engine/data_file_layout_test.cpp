// The data file's byte layout: a file assembled by hand from the layout tables equals what the
// writer produces, every item type reads back value for value, and the writer refuses what the
// reader would refuse without touching an existing file.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/kw_format.h"
#include "engine/kw_text.h"
#include "platform/core/cp932.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::cp932::literal;
using zbq::test::FixtureTable;
using zbq::test::TempDir;

// Little-endian bytes appended in file order.
struct Bytes {
    std::string s;

    Bytes& le32(std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            s.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes& raw(std::string_view bytes) {
        s += bytes;
        return *this;
    }
    Bytes& zeros(std::size_t n) {
        s.append(n, '\0');
        return *this;
    }
    // A 64-byte text field: the text scrambled, then NUL padding.
    Bytes& scrambledField(std::string text) {
        ScrambleText(text.data());
        text.resize(64, '\0');
        return raw(text);
    }
    Bytes& dict(std::int32_t start, std::int32_t count, std::int32_t low, std::int32_t high) {
        return le32(start).le32(count).le32(0).le32(0).le32(low).le32(high);
    }
};

TEST(DataFileLayout, HandAssembledTwoItemFileEqualsTheWritersBytes) {
    const std::string title = literal("調査票");
    const std::string number = literal("番号");
    FixtureTable table{title,
                       {{number, KW_TYPE_INTEGER}, {"name", KW_TYPE_STRING}},
                       {{"5", "b"}, {"", "a"}, {"x", ""}, {"5", "b"}, {"-3", "ab"}}};

    Bytes body;
    body.le32(2).le32(5);
    body.scrambledField(number).le32(1).le32(0).le32(0).le32(5);
    body.scrambledField("name").le32(3).le32(0).le32(0).le32(5);
    // Integer item: error, blank, -3, 5 (twice).
    body.le32(4).dict(0, 1, -2, 0).dict(1, 1, -1, 0).dict(2, 1, 0, -3).dict(3, 2, 0, 5);
    body.le32(3).le32(1).le32(0).le32(3).le32(2);
    // String item: no error, one blank, a, ab, b (twice); the pool is scrambled whole.
    std::string pool =
        literal("ｴﾗｰ") + '\0' + literal("ﾌﾞﾗﾝｸ") + '\0' + "a" + '\0' + "ab" + '\0' + "b" + '\0';
    ASSERT_EQ(pool.size(), 17u);
    const std::string plainPool = pool;
    ScrambleBytes(pool.data(), pool.size());
    body.le32(5)
        .dict(0, 0, 0, 0)
        .dict(0, 1, 0, 4)
        .dict(1, 1, 0, 10)
        .dict(2, 1, 0, 12)
        .dict(3, 2, 0, 15);
    body.le32(17).raw(pool);
    body.le32(4).le32(2).le32(1).le32(4).le32(3);

    Bytes head;
    head.raw("QRN ZBQ ").le32(100).zeros(16).scrambledField(title);
    head.le32(static_cast<std::int32_t>(256 + body.s.size())).le32(0).zeros(156);
    ASSERT_EQ(head.s.size(), 256u);

    TempDir dir;
    zbq::test::writeFixture(dir.file("two.zbq"), table);
    const std::string written = zbq::test::readFile(dir.file("two.zbq"));
    EXPECT_EQ(written, head.s + body.s);
    EXPECT_EQ(written.substr(0, 8), "QRN ZBQ ");

    // The captions open the pool: "ｴﾗｰ" at 0 and "ﾌﾞﾗﾝｸ" at 4.
    EXPECT_EQ(plainPool.substr(0, 4), literal("ｴﾗｰ") + '\0');
    EXPECT_EQ(plainPool.substr(4, 6), literal("ﾌﾞﾗﾝｸ") + '\0');
    EXPECT_EQ(std::string(KW_CAPTIONS, KW_CAPTIONS_SIZE), plainPool.substr(0, 10));
}

FixtureTable everyType() {
    std::string japanese;
    for (int i = 0; i < 40; ++i)
        japanese += literal("あ");  // 80 bytes
    return {japanese,
            {{japanese, KW_TYPE_INTEGER},
             {"float", KW_TYPE_FLOAT},
             {"text", KW_TYPE_STRING},
             {"code", KW_TYPE_STRING, {{"2", literal("女性")}, {"1", literal("男性")}}},
             {"multi", KW_TYPE_MULTI, {{"a", "apple"}, {"b", "banana"}, {"c", "cherry"}}},
             {"date", KW_TYPE_DATE},
             {"time", KW_TYPE_TIME}},
            {{"2147483647", "0", literal("東京"), "1", "a,b,zz", "2024/2/29", "23:59:59"},
             {"", "-0", "", "", "", "", ""},
             {"-2147483647", "1.5", "Tokyo", "2", "c", "2023/2/29", "24:00:00"},
             {"x", "-2.25e10", "tokyo", "9", "b", "2000/2/29", "0:0:0"},
             {"7", "y", literal("東京"), "1", "a,a", "1999/12/31", "12:30:00"}}};
}

TEST(DataFileLayout, EveryItemTypeReadsBackValueForValue) {
    TempDir dir;
    const FixtureTable table = everyType();
    const kw::DataFileContents expected = zbq::test::buildContents(table);
    ASSERT_EQ(kw::writeDataFile(dir.file("all.zbq"), expected), 0);

    kw::DataFileContents read;
    ASSERT_EQ(kw::readDataFile(dir.file("all.zbq"), "", read), 0);
    // The title and the long item name are cut to 62 bytes: 63 would split a character.
    EXPECT_EQ(read.head.title, table.title.substr(0, 62));
    EXPECT_EQ(read.items[0].name(), table.title.substr(0, 62));
    kw::DataFileContents cut = expected;
    cut.head.title = table.title.substr(0, 62);
    zbq::test::expectSameContents(read, cut);
    EXPECT_EQ(read.blobOffset,
              static_cast<std::int32_t>(std::filesystem::file_size(dir.file("all.zbq"))));

    // Spot checks against the table itself, independent of the fixture's dictionaries.
    const kw::ItemBlock& multi = read.items[4];
    EXPECT_EQ(multi.starts, (kw::LargeVector<std::int32_t>{0, 3, 4, 5, 6, 8}));
    EXPECT_EQ(multi.values[2], KW_POS_ERROR);  // zz names no code
    EXPECT_EQ(multi.values[3], KW_POS_BLANK);
    const kw::ItemBlock& number = read.items[1];
    EXPECT_EQ(number.dict.size(), 5u);  // 0 and -0 share one entry
    EXPECT_EQ(read.items[5].values, (kw::LargeVector<std::int32_t>{4, 1, 0, 3, 2}));
}

TEST(DataFileLayout, FileWithoutRecordsHoldsOnlyErrorAndBlankEntries) {
    TempDir dir;
    FixtureTable table = everyType();
    table.rows.clear();
    zbq::test::writeFixture(dir.file("empty.zbq"), table);
    kw::DataFileContents read;
    ASSERT_EQ(kw::readDataFile(dir.file("empty.zbq"), "", read), 0);
    EXPECT_EQ(read.recordCount, 0);
    for (const kw::ItemBlock& item : read.items) {
        EXPECT_EQ(item.dict.size(), item.hasCodes() ? 2u + item.def.codeCount : 2u);
        EXPECT_TRUE(item.values.empty());
    }
    EXPECT_EQ(read.items[4].starts, kw::LargeVector<std::int32_t>{0});
}

// Each row breaks one rule of a block; the writer must refuse it like the reader would.
struct BadBlock {
    const char* what;
    void (*damage)(kw::ItemBlock&);
};

const BadBlock kBadBlocks[] = {
    {"position beyond the dictionary", [](kw::ItemBlock& b) { b.values[0] = 99; }},
    {"negative position", [](kw::ItemBlock& b) { b.values[0] = -1; }},
    {"count not matching the values", [](kw::ItemBlock& b) { ++b.dict[2].count; }},
    {"start not the sum of earlier counts", [](kw::ItemBlock& b) { ++b.dict[3].start; }},
    {"list length differing from the records", [](kw::ItemBlock& b) { b.values.pop_back(); }},
    {"unterminated string pool", [](kw::ItemBlock& b) { b.strings.back() = 'x'; }},
    {"string offset outside the pool", [](kw::ItemBlock& b) { b.dict[2].high = 1000; }},
    {"only one dictionary entry", [](kw::ItemBlock& b) { b.dict.resize(1); }},
    {"unknown type", [](kw::ItemBlock& b) { b.def.type = 7; }},
};

TEST(DataFileLayout, WriterRefusesInconsistentBlocksAndKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("keep.zbq");
    zbq::test::writeFile(path, "old contents");
    const FixtureTable table{"t", {{"s", KW_TYPE_STRING}}, {{"a"}, {"b"}, {"b"}}};
    for (const BadBlock& bad : kBadBlocks) {
        SCOPED_TRACE(bad.what);
        kw::DataFileContents c = zbq::test::buildContents(table);
        bad.damage(c.items[0]);
        EXPECT_EQ(kw::writeDataFile(path, c), KW_ERR_ARGUMENT);
        EXPECT_EQ(zbq::test::readFile(path), "old contents");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(DataFileLayout, WriterRefusesCallsOutOfOrder) {
    TempDir dir;
    const kw::DataFileContents c =
        zbq::test::buildContents({"t", {{"a", KW_TYPE_INTEGER}, {"b", KW_TYPE_INTEGER}}, {}});
    kw::DataFileWriter early(dir.file("a.zbq"));
    ASSERT_EQ(early.begin(2, 0), 0);
    ASSERT_EQ(early.append(c.items[0]), 0);
    EXPECT_EQ(early.finish(c.head), KW_ERR_ARGUMENT);  // one item missing

    kw::DataFileWriter extra(dir.file("b.zbq"));
    ASSERT_EQ(extra.begin(1, 0), 0);
    ASSERT_EQ(extra.append(c.items[0]), 0);
    EXPECT_EQ(extra.append(c.items[1]), KW_ERR_ARGUMENT);

    kw::DataFileWriter none(dir.file("c.zbq"));
    EXPECT_EQ(none.begin(0, 0), KW_ERR_ARGUMENT);
    EXPECT_EQ(none.begin(KW_MAX_ITEMS + 1, 0), KW_ERR_ARGUMENT);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(DataFileLayout, FileBeyondTheBlobOffsetsReachIsRefusedNotWrapped) {
    TempDir dir;
    const std::string path = dir.file("big.zbq");
    zbq::test::writeFile(path, "old contents");
    std::vector<std::vector<std::string>> rows(100, {"1"});
    const kw::DataFileContents c = zbq::test::buildContents({"t", {{"n", KW_TYPE_INTEGER}}, rows});
    // The limit stands in for 2 GiB: the blocks need 264 + 80 + 4 + 3 * 24 + 400 bytes.
    kw::DataFileWriter writer(path, 800);
    ASSERT_EQ(writer.begin(1, 100), 0);
    EXPECT_EQ(writer.append(c.items[0]), KW_ERR_FILE_TOO_LARGE);
    EXPECT_EQ(writer.finish(c.head), KW_ERR_ARGUMENT);
    EXPECT_EQ(zbq::test::readFile(path), "old contents");

    kw::DataFileWriter roomy(path, 820);
    ASSERT_EQ(roomy.begin(1, 100), 0);
    ASSERT_EQ(roomy.append(c.items[0]), 0);
    EXPECT_EQ(roomy.finish(c.head), 0);
}

}  // namespace
