// Packages in memory: parts survive a round trip, damaged archives are refused whole.
#include "platform/workbook/zip_package.h"

#include <gtest/gtest.h>

#include "platform/workbook/package_xml.h"

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
    for (const std::string& damaged :
         {std::string(), std::string("not a zip at all"), truncated, corrupted}) {
        error.clear();
        EXPECT_FALSE(ZipPackage::fromBytes(damaged, &error))
            << damaged.size() << " of " << good->size();
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
