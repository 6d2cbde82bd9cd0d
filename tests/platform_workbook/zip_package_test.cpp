// Packages in memory: parts survive a round trip, damaged and oversized archives are refused
// whole.
#include "platform/workbook/zip_package.h"

#include <gtest/gtest.h>

#include "platform/workbook/package_xml.h"
#include "tests/platform_workbook/workbook_test_support.h"

namespace {

using zbq::workbook::resolveTarget;
using zbq::workbook::ZipPackage;

ZipPackage samplePackage() {
    ZipPackage pkg;
    pkg.put("[Content_Types].xml", "<Types/>");
    pkg.put("xl/workbook.xml", std::string(100000, 'x'));  // compresses well
    pkg.put("xl/empty.bin", "");
    pkg.put("xl/binary.bin", std::string("\0\x01\xff\r\n", 5));
    return pkg;
}

TEST(ZipPackage, RoundTripKeepsPartsAndOrder) {
    std::string error;
    auto bytes = samplePackage().toBytes(&error);
    ASSERT_TRUE(bytes) << error;
    auto back = ZipPackage::fromBytes(*bytes, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->names(), samplePackage().names());
    for (const std::string& name : samplePackage().names())
        EXPECT_EQ(*back->find(name), *samplePackage().find(name)) << name;
}

TEST(ZipPackage, PartNamesFallBackToCaseInsensitiveMatch) {
    ZipPackage pkg = samplePackage();
    ASSERT_NE(pkg.find("XL/Workbook.XML"), nullptr);
    pkg.put("XL/WORKBOOK.xml", "new");  // replaces, never adds a twin
    EXPECT_EQ(pkg.names().size(), 4u);
    EXPECT_EQ(*pkg.find("xl/workbook.xml"), "new");
    EXPECT_TRUE(pkg.remove("xl/EMPTY.bin"));
    EXPECT_FALSE(pkg.contains("xl/empty.bin"));
}

TEST(ZipPackage, DamagedArchivesAreRefused) {
    std::string error;
    auto good = samplePackage().toBytes(&error);
    ASSERT_TRUE(good);
    std::string truncated = good->substr(0, good->size() / 2);
    std::string corrupted = *good;
    // A few bytes into the deflated data of the large part (after its local header's name).
    std::size_t data = corrupted.find("xl/workbook.xml") + 15;
    ASSERT_LT(data + 8, corrupted.size());
    corrupted[data + 6] ^= 0x55;
    // One part under two names that differ only in case.
    std::string twice = zbq::test::rawZip({{.name = "xl/a.xml"}, {.name = "XL/A.xml"}});
    for (const std::string& damaged :
         {std::string(), std::string("not a zip at all"), truncated, corrupted, twice}) {
        error.clear();
        EXPECT_FALSE(ZipPackage::fromBytes(damaged, &error))
            << damaged.size() << " of " << good->size();
        EXPECT_FALSE(error.empty());
    }
}

// Packages built to exhaust memory: each is refused with a message before anything is
// inflated, or (the part that lies small) as soon as the part runs past its claim.
TEST(ZipPackage, PackagesBeyondTheLimitsAreRefused) {
    using zbq::test::zerosEntry;
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    // The fixtures themselves are sound archives: within the limits they read.
    std::string error;
    auto small = ZipPackage::fromBytes(zbq::test::inflatingZip(2 * kMiB), &error);
    ASSERT_TRUE(small) << error;
    ASSERT_EQ(small->names().size(), 2u);
    EXPECT_EQ(*small->find("zeros/1"), std::string(kMiB, '\0'));
    auto few = ZipPackage::fromBytes(zbq::test::manyPartsZip(3), &error);
    ASSERT_TRUE(few) << error;
    EXPECT_EQ(few->names().size(), 3u);

    struct Case {
        const char* damage;
        std::string bytes;
    } cases[] = {
        {"PartsInflateBeyondTheLimit",
         zbq::test::inflatingZip(ZipPackage::kMaxUnpackedSize + kMiB)},
        {"TooManyEntries", zbq::test::manyPartsZip(ZipPackage::kMaxEntries + 1)},
        {"OnePartClaimsFourGiB", zbq::test::rawZip({zerosEntry("big", 0xFFFFFFF0u)})},
        {"OnePartClaimsLessThanItInflatesTo", zbq::test::rawZip({zerosEntry("small", 1024)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage);
        error.clear();
        EXPECT_FALSE(ZipPackage::fromBytes(c.bytes, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(PackageXml, RelationshipTargetsResolveAgainstTheSourceFolder) {
    struct Case {
        const char* source;
        const char* target;
        const char* part;
    } cases[] = {
        {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/worksheets/sheet1.xml", "../drawings/drawing1.xml", "xl/drawings/drawing1.xml"},
        {"xl/workbook.xml", "/xl/styles.xml", "xl/styles.xml"},
        {"xl/workbook.xml", "./theme/../styles.xml", "xl/styles.xml"},
        {"[Content_Types].xml", "xl/workbook.xml", "xl/workbook.xml"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolveTarget(c.source, c.target), c.part) << c.target;
    EXPECT_EQ(zbq::workbook::relsPartOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
}

}  // namespace
