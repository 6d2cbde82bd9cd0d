// Damaged data files: every field of the head and of the item blocks broken in turn, and the
// file cut at every byte. Each must give a negative code and leave nothing read; run under
// AddressSanitizer, a read past a buffer or a leak fails the test program.
#include <gtest/gtest.h>

#include <map>

#include "engine/kw_format.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::TempDir;

std::int32_t le32At(const std::string& bytes, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
}

void putLe32(std::string& bytes, std::size_t offset, std::int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<std::size_t>(i)] =
            static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
}

// Where each named field of a well-formed file lies, found by walking the layout tables (not
// through the reader under test), and where each block begins.
struct Layout {
    std::map<std::string, std::size_t> at;
    std::vector<std::size_t> boundaries;
};

Layout walk(const std::string& f) {
    Layout l;
    auto field = [&](const std::string& name, std::size_t offset) { l.at[name] = offset; };
    field("blobOffset", 92);
    field("passwordLength", 96);
    field("itemCount", 256);
    field("recordCount", 260);
    l.boundaries = {0, 256, 264};
    const auto n = static_cast<std::size_t>(le32At(f, 256));
    const auto records = static_cast<std::size_t>(le32At(f, 260));
    std::size_t pos = 264;
    for (std::size_t i = 0; i < n; ++i, pos += 80) {
        const std::string p = "item" + std::to_string(i) + ".";
        field(p + "type", pos + 64);
        field(p + "codeCount", pos + 68);
        field(p + "listLength", pos + 76);
        l.boundaries.push_back(pos);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::string p = "item" + std::to_string(i) + ".";
        const std::size_t def = 264 + 80 * i;
        const std::int32_t type = le32At(f, def + 64);
        const std::int32_t codes = le32At(f, def + 68);
        const auto length = static_cast<std::size_t>(le32At(f, def + 76));
        const auto dictSize = static_cast<std::size_t>(le32At(f, pos));
        field(p + "dictSize", pos);
        l.boundaries.push_back(pos);
        pos += 4;
        l.boundaries.push_back(pos);
        for (std::size_t e = 0; e < dictSize; ++e) {
            const std::string d = p + "dict" + std::to_string(e) + ".";
            field(d + "start", pos + 24 * e);
            field(d + "count", pos + 24 * e + 4);
            field(d + "low", pos + 24 * e + 16);
            field(d + "high", pos + 24 * e + 20);
        }
        pos += 24 * dictSize;
        auto pool = [&](const std::string& name) {
            field(p + name + "Size", pos);
            field(p + name + "Last", pos + 4 + static_cast<std::size_t>(le32At(f, pos)) - 1);
            l.boundaries.push_back(pos);
            pos += 4 + static_cast<std::size_t>(le32At(f, pos));
            l.boundaries.push_back(pos);
        };
        if (type == KW_TYPE_STRING || type == KW_TYPE_MULTI) pool("strings");
        if (codes > 0) pool("names");
        if (type == KW_TYPE_MULTI) {
            field(p + "starts0", pos);
            field(p + "starts1", pos + 4);
            field(p + "startsLast", pos + 4 * records);
            pos += 4 * (records + 1);
            l.boundaries.push_back(pos);
        }
        field(p + "values0", pos);
        pos += 4 * length;
        l.boundaries.push_back(pos);
    }
    return l;
}

class DamagedDataFile : public ::testing::Test {
protected:
    void SetUp() override {
        const zbq::test::FixtureTable table{
            "damaged",
            {{"n", KW_TYPE_INTEGER},
             {"s", KW_TYPE_STRING},
             {"c", KW_TYPE_STRING, {{"1", "one"}, {"2", "two"}}},
             {"m", KW_TYPE_MULTI, {{"a", "A"}, {"b", "B"}}},
             {"f", KW_TYPE_FLOAT}},
            {{"1", "x", "1", "a,b", "0.5"}, {"2", "", "2", "", "x"}, {"", "y", "9", "b", "1"}}};
        zbq::test::writeFixture(path(), table);
        good_ = zbq::test::readFile(path());
        layout_ = walk(good_);
        ASSERT_EQ(layout_.boundaries.back(), good_.size());
    }

    std::string path() const { return dir_.file("d.zbq"); }

    std::int32_t open(const std::string& bytes) {
        zbq::test::writeFile(path(), bytes);
        kw::DataFileContents out;
        const std::int32_t rc = kw::readDataFile(path(), "", out);
        if (rc < 0) {
            EXPECT_TRUE(out.items.empty());
            EXPECT_EQ(out.recordCount, 0);
        }
        return rc;
    }

    std::size_t at(const std::string& name) const { return layout_.at.at(name); }

    TempDir dir_;
    std::string good_;
    Layout layout_;
};

TEST_F(DamagedDataFile, TheIntactFileOpens) {
    EXPECT_EQ(open(good_), 0);
}

TEST_F(DamagedDataFile, EveryByteOfTheMagicMatters) {
    for (std::size_t i = 0; i < 8; ++i) {
        std::string bad = good_;
        bad[i] = bad[i] == ' ' ? '_' : static_cast<char>(bad[i] + 1);
        EXPECT_EQ(open(bad), KW_ERR_NOT_DATA_FILE) << "byte " << i;
    }
}

struct BrokenField {
    const char* field;
    std::int32_t value;  // written over the field
};

// Each row breaks one field; the counts are R = 3, every dictionary small.
const BrokenField kBrokenFields[] = {
    {"blobOffset", 0},
    {"blobOffset", 263},
    {"blobOffset", -1},
    {"blobOffset", 0x7FFFFFFF},
    {"itemCount", 0},
    {"itemCount", -1},
    {"itemCount", 1025},
    {"itemCount", 4},
    {"itemCount", 6},
    {"recordCount", -1},
    {"recordCount", 2},
    {"recordCount", 4},
    {"item0.type", 0},
    {"item0.type", 7},
    {"item0.type", KW_TYPE_STRING},
    {"item0.codeCount", 1},
    {"item0.codeCount", -1},
    {"item1.codeCount", 2},
    {"item2.codeCount", 3},
    {"item0.listLength", 2},
    {"item0.listLength", 4},
    {"item3.listLength", 5},
    {"item3.listLength", -1},
    {"item0.dictSize", 1},
    {"item0.dictSize", -1},
    {"item0.dictSize", 0x7FFFFFFF},
    {"item0.dictSize", 6},
    {"item2.dictSize", 5},
    {"item0.dict2.count", 2},
    {"item0.dict2.count", -1},
    {"item0.dict3.start", 0},
    {"item4.dict1.start", 2},
    {"item1.stringsSize", -1},
    {"item1.stringsSize", 0},
    {"item1.stringsSize", 0x7FFFFFFF},
    {"item1.stringsSize", 15},
    {"item1.stringsLast", 0x41414141},
    {"item1.dict2.high", -1},
    {"item1.dict3.high", 1000},
    {"item2.namesSize", 0x10000000},
    {"item2.dict2.low", -5},
    {"item3.dict3.low", 100},
    {"item3.dict0.high", 200},
    {"item3.starts0", 1},
    {"item3.starts1", 4},
    {"item3.startsLast", 3},
    {"item0.values0", 5},
    {"item0.values0", -1},
    {"item3.values0", 4},
    {"item4.values0", 0},
};

TEST_F(DamagedDataFile, EachBrokenFieldIsRefused) {
    for (const BrokenField& broken : kBrokenFields) {
        SCOPED_TRACE(std::string(broken.field) + " = " + std::to_string(broken.value));
        std::string bad = good_;
        putLe32(bad, at(broken.field), broken.value);
        ASSERT_NE(bad, good_);
        EXPECT_EQ(open(bad), KW_ERR_DAMAGED);
    }
}

TEST_F(DamagedDataFile, CutAtEveryByteIsRefused) {
    for (std::size_t size = 0; size < good_.size(); ++size) {
        SCOPED_TRACE("cut at " + std::to_string(size));
        const std::string cut = good_.substr(0, size);
        EXPECT_EQ(open(cut), size < 8 ? KW_ERR_NOT_DATA_FILE : KW_ERR_DAMAGED);
    }
}

TEST_F(DamagedDataFile, CutAtEveryBlockBoundaryWithTheHeadClaimingItIsRefused) {
    // The blob offset is moved to the cut, so the reader must notice inside the blocks.
    for (const std::size_t size : layout_.boundaries) {
        if (size < 264 || size == good_.size()) continue;
        SCOPED_TRACE("cut at " + std::to_string(size));
        std::string cut = good_.substr(0, size);
        putLe32(cut, 92, static_cast<std::int32_t>(size));
        EXPECT_EQ(open(cut), KW_ERR_DAMAGED);
    }
}

TEST_F(DamagedDataFile, BlocksMustEndWhereTheBlobBegins) {
    std::string longer = good_ + "settings";
    EXPECT_EQ(open(longer), 0);  // the blob follows the blocks
    putLe32(longer, 92, static_cast<std::int32_t>(good_.size() + 1));
    EXPECT_EQ(open(longer), KW_ERR_DAMAGED);
}

TEST_F(DamagedDataFile, FieldsTheReaderKeepsAsTheyAre) {
    std::string odd = good_;
    putLe32(odd, 8, 120);                    // a later format version
    std::fill_n(odd.begin() + 28, 64, 'T');  // a title without terminator
    std::fill_n(odd.begin() + 100, 156, 'r');
    zbq::test::writeFile(path(), odd);
    kw::DataFileContents out;
    ASSERT_EQ(kw::readDataFile(path(), "", out), 0);
    EXPECT_EQ(out.head.version, 120);
    EXPECT_EQ(out.head.title.size(), 63u);
}

TEST_F(DamagedDataFile, NegativePasswordLengthIsDamage) {
    std::string bad = good_;
    bad[12] = 'p';
    putLe32(bad, at("passwordLength"), -1);
    EXPECT_EQ(open(bad), KW_ERR_DAMAGED);
}

TEST_F(DamagedDataFile, MissingFileGivesTheMappedCode) {
    kw::DataFileContents out;
    EXPECT_EQ(kw::readDataFile(dir_.file("none.zbq"), "", out), -2);
    EXPECT_LT(kw::readDataFile(dir_.path(), "", out), 0);
}

// Positions are checked in stretches and counted four records at a time: a bad position deep
// in a longer value list, wherever it falls among the four, is refused as well.
TEST(DamagedValueList, APositionAnywhereInALongListIsChecked) {
    TempDir dir;
    zbq::test::FixtureTable table{"long", {{"n", KW_TYPE_INTEGER}}, {}};
    for (int r = 0; r < 600; ++r)
        table.rows.push_back({std::to_string(r % 3)});
    const std::string path = dir.file("long.zbq");
    zbq::test::writeFixture(path, table);
    const std::string good = zbq::test::readFile(path);
    const std::size_t values = walk(good).at.at("item0.values0");
    const std::int32_t dictSize = 5;  // error, blank, 0, 1, 2
    for (const std::size_t record : {257u, 298u, 299u, 300u, 599u}) {
        for (const std::int32_t position : {dictSize, -1, std::int32_t{KW_POS_BLANK}}) {
            SCOPED_TRACE("record " + std::to_string(record) + " = " + std::to_string(position));
            std::string bad = good;
            putLe32(bad, values + 4 * record, position);
            zbq::test::writeFile(path, bad);
            kw::DataFileContents out;
            EXPECT_EQ(kw::readDataFile(path, "", out), KW_ERR_DAMAGED);
        }
    }
    zbq::test::writeFile(path, good);
    kw::DataFileContents out;
    EXPECT_EQ(kw::readDataFile(path, "", out), 0);
}

}  // namespace
