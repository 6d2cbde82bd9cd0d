// The structure block: taken from a structure definition, and the first difference between two.
#include "macro/structure_block.h"

#include <functional>

#include "tests/macro/macro_fixture.h"

namespace zbq::test {
namespace {

MacroStructureBlock expectedBlock() {
    MacroStructureBlock b;
    b.itemCount = 7;
    b.itemTypes = {"String", "Code", "Integer", "MultiAns", "Float", "Date", "Time"};
    b.csvColumns = {1, 2, 3, 5, 4, 6, 7};
    b.groups = {"", cp932::literal("属性"), cp932::literal("属性/基本"), "", "", "", ""};
    b.codeLists = {{2, {"1", "2"}}, {4, {"1", "2", "3"}}};
    return b;
}

TEST(StructureBlock, IsTakenFromTheDefinitionAsTheFileStoresIt) {
    EXPECT_EQ(BlockFromStructDef(everyItemType()), expectedBlock());
}

TEST(StructureBlock, EachDifferenceHasItsText) {
    struct Case {
        std::function<void(MacroStructureBlock&)> change;
        std::string text;
    } cases[] = {
        {[](auto&) {}, ""},
        {[](auto& b) { b.itemCount = 8; }, "項目数"},
        {[](auto& b) { b.itemTypes[1] = "String"; }, "2番目の項目の項目タイプ"},
        {[](auto& b) { std::swap(b.itemTypes[2], b.itemTypes[4]); }, "3番目の項目の項目タイプ"},
        {[](auto& b) { b.csvColumns[4] = 5; }, "5番目の項目のCSVファイル項目順"},
        {[](auto& b) { b.groups[2] = cp932::literal("基本/属性"); }, "3番目の項目のグループ"},
        {[](auto& b) { b.codeLists.pop_back(); }, "CodeとMultiAns項目の数"},
        {[](auto& b) { b.codeLists[1].itemPosition = 5; },
         "4番目の項目に相当するコード情報がありません"},
        {[](auto& b) { b.codeLists[0].codes.push_back("3"); }, "2番目の項目のコード数"},
        {[](auto& b) { b.codeLists[1].codes[1] = "9"; }, "4番目の項目の2番目のコード"},
        // The type comes before the column, the column before the groups.
        {[](auto& b) {
             b.csvColumns[0] = 9;
             b.groups[0] = "x";
             b.itemTypes[1] = "Date";
         },
         "1番目の項目のCSVファイル項目順"},
    };
    for (const Case& c : cases) {
        MacroStructureBlock block = expectedBlock();
        c.change(block);
        EXPECT_EQ(CompareStructureBlock(block, expectedBlock()), c.text) << c.text;
    }
}

TEST(StructureBlock, TheDefinitionSideComparesCodesNotTheirNames) {
    CStructDef def = everyItemType();
    def.codeLists[0].codes[1].name = cp932::literal("その他");
    def.items[1].name = "renamed";
    EXPECT_EQ(CompareStructureBlock(expectedBlock(), def), "");

    // A Code item without a code list has an empty one.
    def.codeLists.erase(def.codeLists.begin());
    EXPECT_EQ(CompareStructureBlock(expectedBlock(), def), "2番目の項目のコード数");
    MacroStructureBlock withoutCodes = expectedBlock();
    withoutCodes.codeLists[0].codes.clear();
    EXPECT_EQ(CompareStructureBlock(withoutCodes, def), "");
}

TEST(StructureBlock, ASetWithoutCodeItemsHasNoCodeLists) {
    CStructDef def = everyItemType();
    for (CItemDef& item : def.items)
        if (item.type <= 1) item.type = 4;
    def.codeLists.clear();
    const MacroStructureBlock block = BlockFromStructDef(def);
    EXPECT_TRUE(block.codeLists.empty());
    EXPECT_EQ(CompareStructureBlock(block, def), "");
}

}  // namespace
}  // namespace zbq::test
