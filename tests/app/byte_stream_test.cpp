// The byte stream and the structure image: the bytes equal the layout, every damaged image is
// refused before anything is allocated for it, and a stream that cannot grow fails its Save.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <limits>
#include <thread>

#include "app/message_pump.h"
#include "app/struct_def.h"
#include "platform/core/cp932.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));
#endif

namespace {

using zbq::cp932::literal;

// An image assembled from the layout table, independently of the records' own code.
class Image {
public:
    Image& i32(std::int32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes_.push_back(static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * k)));
        return *this;
    }
    Image& byte(char c) {
        bytes_.push_back(c);
        return *this;
    }
    Image& str(const std::string& s) {
        i32(static_cast<std::int32_t>(s.size()));
        bytes_ += s;
        return *this;
    }
    Image& nested(const Image& inner) {
        i32(static_cast<std::int32_t>(inner.bytes_.size()));
        bytes_ += inner.bytes_;
        return *this;
    }
    std::size_t size() const { return bytes_.size(); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Offsets of the length and count fields of the sample image, to damage them one by one.
struct LengthFields {
    std::size_t title, allocCount, items, firstItem, groups, codeLists, firstCodeList, codes,
        codeName;
};

// Three items: two in a group (one a Code item with its code list), one outside; CP932 names;
// an Alloc list; an empty code name.
CStructDef sampleStructure() {
    CStructDef def;
    def.title = literal("顧客調査");
    def.header = 1;
    def.separator = ',';
    def.allocText = "1,2,3";
    def.alloc = {0, 1, 2};
    def.itemCount = 3;
    def.items.resize(3);
    def.items[0].itemNo = 0;
    def.items[0].name = literal("年齢");
    def.items[0].type = 2;
    def.items[0].groups = {literal("属性")};
    def.items[0].csvColumn = 0;
    def.items[1].itemNo = 1;
    def.items[1].name = literal("性別");
    def.items[1].type = 0;
    def.items[1].groups = {literal("属性")};
    def.items[1].csvColumn = 1;
    def.items[2].itemNo = 2;
    def.items[2].name = "memo";
    def.items[2].type = 4;
    def.items[2].csvColumn = 2;
    def.codeLists.resize(1);
    def.codeLists[0].itemNo = 1;
    def.codeLists[0].codes.resize(2);
    def.codeLists[0].codes[0].code = "1";
    def.codeLists[0].codes[0].name = literal("男性");
    def.codeLists[0].codes[1].code = "9";
    def.codeLists[0].codes[1].name = "";
    return def;
}

std::string sampleImage(LengthFields* at = nullptr) {
    LengthFields f{};
    Image item0, item1, item2;
    item0.i32(0).str(literal("年齢")).i32(2).i32(1).str(literal("属性")).i32(0);
    item1.i32(1).str(literal("性別")).i32(0).i32(1).str(literal("属性")).i32(1);
    item2.i32(2).str("memo").i32(4).i32(0).i32(2);
    Image code0, code1, list;
    code0.str("1").str(literal("男性"));
    code1.str("9").str("");
    list.i32(1);
    const std::size_t codesInList = list.size();
    list.i32(2).nested(code0);
    const std::size_t codeNameInList = list.size() + 4 + 4 + 1;  // length, code "9"
    list.nested(code1);

    Image def;
    f.title = def.size();
    def.str(literal("顧客調査")).i32(1).byte(',').str("1,2,3");
    f.allocCount = def.size();
    def.i32(3).i32(0).i32(1).i32(2).i32(3);
    f.items = def.size();
    def.i32(3);
    f.firstItem = def.size();
    f.groups = f.firstItem + 4 + 4 + 4 + 4 + 4;  // length; itemNo; name "年齢"; type
    def.nested(item0).nested(item1).nested(item2);
    f.codeLists = def.size();
    def.i32(1);
    f.firstCodeList = def.size();
    f.codes = f.firstCodeList + 4 + codesInList;
    f.codeName = f.firstCodeList + 4 + codeNameInList;
    def.nested(list);
    if (at) *at = f;
    return def.bytes();
}

void patch(std::string& bytes, std::size_t at, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int k = 0; k < 4; ++k)
        bytes[at + k] = static_cast<char>(u >> (8 * k));
}

// The largest single allocation while it is watched (AddressSanitizer builds only).
std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

bool watchAllocations() {
#if defined(__SANITIZE_ADDRESS__)
    static const bool installed =
        __sanitizer_install_malloc_and_free_hooks(
            [](const volatile void*, std::size_t size) {
                if (!watching) return;
                std::size_t seen = largest;
                while (size > seen && !largest.compare_exchange_weak(seen, size)) {
                }
            },
            [](const volatile void*) {}) != 0;
    return installed;
#else
    return false;
#endif
}

class GrowthLimit {
public:
    explicit GrowthLimit(std::int32_t bytes) { CByteStream::setGrowthLimit(bytes); }
    ~GrowthLimit() { CByteStream::setGrowthLimit(0); }
};

// A stream with no record of its own, to watch the buffer.
class RawStream : public CByteStream {
public:
    std::int32_t Save(std::string_view* out) override {
        *out = image();
        return length();
    }
    std::int32_t Load(const char*, std::int32_t) override { return -1; }
};

TEST(StructureImage, EqualsTheLayoutAndLoadsBack) {
    CStructDef def = sampleStructure();
    std::string_view image;
    const std::int32_t n = def.Save(&image);
    const std::string expected = sampleImage();
    ASSERT_EQ(n, static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(std::string(image), expected);

    CStructDef loaded;
    loaded.title = "stale";
    loaded.items.resize(5);
    ASSERT_EQ(loaded.Load(expected.data(), n), 0);
    EXPECT_EQ(loaded, sampleStructure());
    EXPECT_EQ(loaded.length(), 0) << "a loaded record keeps no buffer";
}

TEST(StructureImage, EveryPrefixIsRefused) {
    const std::string image = sampleImage();
    for (std::size_t n = 0; n < image.size(); ++n) {
        CStructDef def;
        EXPECT_EQ(def.Load(image.data(), static_cast<std::int32_t>(n)), -1) << "prefix " << n;
    }
}

TEST(StructureImage, ImpossibleLengthsAreRefusedBeforeAllocating) {
    LengthFields f;
    const std::string image = sampleImage(&f);
    const struct {
        const char* field;
        std::size_t at;
    } fields[] = {{"title", f.title},
                  {"alloc count", f.allocCount},
                  {"item count", f.items},
                  {"item image", f.firstItem},
                  {"group count", f.groups},
                  {"code list count", f.codeLists},
                  {"code list image", f.firstCodeList},
                  {"code count", f.codes},
                  {"code name", f.codeName}};
    const bool watched = watchAllocations();
    for (const auto& field : fields) {
        for (const std::int32_t value : {-1, std::numeric_limits<std::int32_t>::max()}) {
            std::string damaged = image;
            patch(damaged, field.at, value);
            CStructDef def;
            largest = 0;
            watching = true;
            const std::int32_t rc =
                def.Load(damaged.data(), static_cast<std::int32_t>(damaged.size()));
            watching = false;
            EXPECT_EQ(rc, -1) << field.field << " = " << value;
            if (watched) {
                EXPECT_LT(largest.load(), 64u * 1024) << field.field << " = " << value;
            }
        }
    }
}

TEST(StructureImage, ItemCountDifferingFromTheItemsIsRefused) {
    LengthFields f;
    std::string image = sampleImage(&f);
    patch(image, f.items - 4, 2);  // the item count field, just before the number of items
    CStructDef def;
    EXPECT_EQ(def.Load(image.data(), static_cast<std::int32_t>(image.size())), -1);
}

TEST(ByteStream, GrowsInWholeBlocks) {
    RawStream s;
    const std::string block(1024, 'x');
    ASSERT_EQ(s.Append(block.data(), 1024), 0);
    EXPECT_EQ(s.capacityBlocks(), 1);
    ASSERT_EQ(s.Append("y", 1), 0);
    EXPECT_EQ(s.capacityBlocks(), 2);
    EXPECT_EQ(s.length(), 1025);
    s.Clear();
    EXPECT_EQ(s.capacityBlocks(), 0);
    EXPECT_EQ(s.length(), 0);
}

TEST(ByteStream, FailedGrowthFailsTheWholeSave) {
    GrowthLimit limit(2048);
    RawStream raw;
    const std::string bytes(1500, 'x');
    ASSERT_EQ(raw.Append(bytes.data(), 1500), 0);
    EXPECT_EQ(raw.Append(bytes.data(), 1000), -1);
    EXPECT_EQ(raw.length(), 0) << "a stream that could not grow holds nothing";

    // The failure may come in the middle of the record or inside a nested one; either way no
    // shortened image is handed out.
    CStructDef longTitle = sampleStructure();
    longTitle.title.assign(3000, 'T');
    CStructDef longCode = sampleStructure();
    longCode.codeLists[0].codes[0].name.assign(2500, 'N');
    for (CStructDef* def : {&longTitle, &longCode}) {
        std::string_view image = "stale";
        EXPECT_EQ(def->Save(&image), -1);
        EXPECT_TRUE(image.empty());
        EXPECT_EQ(def->length(), 0);
    }
}

TEST(ByteStream, CopyStartsWithoutTheBuffer) {
    CStructDef def = sampleStructure();
    std::string_view image;
    ASSERT_GT(def.Save(&image), 0);
    const CStructDef copy = def;
    EXPECT_EQ(copy.length(), 0);
    EXPECT_EQ(copy, def);
    CStructDef assigned;
    ASSERT_GT(assigned.Save(&image), 0);
    assigned = def;
    EXPECT_EQ(assigned.length(), 0);
}

TEST(ByteStream, AppendAndReadLetMessagesThrough) {
    // The pump is throttled: after a pause the next append or read pumps once.
    CStructDef def = sampleStructure();
    std::string_view view;
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    int before = zbq::app::pumpCount();
    ASSERT_GT(def.Save(&view), 0);
    EXPECT_GT(zbq::app::pumpCount(), before);

    const std::string image(view);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    before = zbq::app::pumpCount();
    CStructDef loaded;
    ASSERT_EQ(loaded.Load(image.data(), static_cast<std::int32_t>(image.size())), 0);
    EXPECT_GT(zbq::app::pumpCount(), before);
}

}  // namespace
