// Restoring state after a load: fresh defaults for a data set built from a definition, the saved
// sets, maps, display list and categories for a data file, the current map chosen from the
// marked set, and the screen reset before a macro runs.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/app/blob_fixture.h"
#include "tests/support/recording_console.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

using cp932::literal;

const std::vector<std::string> kReserved = {"Brank", "Error", "Normal", "Others"};

CategoryDefinition builtInCategory() {
    CategoryDefinition c;
    c.name = literal("単一");
    c.valueType = 0;
    c.smallClasses = {{literal("正常値"), 0, "Normal", ""}, {literal("エラー値"), 0, "Others", ""}};
    c.middleClasses = {{literal("全部"), "Others"}};
    return c;
}

CStructDef threeItems(const std::string& title) {
    CStructDef def;
    def.title = title;
    def.itemCount = 3;
    def.items.resize(3);
    for (int i = 0; i < 3; ++i) {
        def.items[static_cast<std::size_t>(i)].itemNo = i;
        def.items[static_cast<std::size_t>(i)].name = "item" + std::to_string(i);
        def.items[static_cast<std::size_t>(i)].type = 2;
    }
    return def;
}

class Restore : public ::testing::Test {
protected:
    void open(int records) {
        app_ = std::make_unique<CKWApp>();
        app_->SetConsolePort(&console_);
        // Three items, as threeItems() describes them.
        openDataSet(*app_, dir_.file("data.zbq"), records, "blob", 3);
    }
    CKWApp& app() { return *app_; }

    // Saves the present state into a blob, forgets it, and reads the blob back in load mode 2
    // as start-up would: the display list, the sets, the condition items and the categories.
    void saveAndRestore() {
        const std::optional<std::string> blob = app().BuildSettingsBlob();
        ASSERT_TRUE(blob);
        app().SetDisplayItems({});
        app().SetSetList(1, {});
        app().SetCategoryList({});
        app().SetLoadMode(2);
        ASSERT_EQ(app().DeserializeSettingsBlob(*blob), static_cast<std::int32_t>(blob->size()));
        EXPECT_EQ(app().RestoreDisplayList(), 1);
        ASSERT_EQ(app().RestoreSets(), 1);
        app().InitConditionItems();
        app().RestoreCategories();
    }

    TempDir dir_;
    ui::ScriptedPrompts prompts_;
    RecordingConsole console_;
    std::unique_ptr<CKWApp> app_;
};

TEST_F(Restore, DefinitionLoadStartsWithTheWholeDataSet) {
    open(1234);
    const std::string title = literal("顧客調査");
    app().StructDef() = threeItems(title);
    app().SetLoadMode(1);

    EXPECT_EQ(app().RestoreDisplayList(), 1);
    ASSERT_EQ(app().RestoreSets(), 1);
    app().InitConditionItems();
    app().RestoreCategories();

    const SetRecord all{0, 0, title, "No.0 " + title + " / 1,234", "", nullptr, 0, 1234};
    EXPECT_EQ(app().Sets(), std::vector<SetRecord>{all});
    EXPECT_EQ(app().GetNextSetNo(), 1);
    EXPECT_TRUE(app().GetDisplayItems().empty());
    EXPECT_EQ(app().GetConditionItems(), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(app().GetCategoryList(), std::vector<CategoryDefinition>{builtInCategory()});
    EXPECT_EQ(app().GetReservedWords(), kReserved);
}

TEST_F(Restore, DataFileLoadBringsBackSetsMapsAndCategories) {
    open(40);
    app().StructDef() = threeItems("blob");
    // Set 5's map has bits beyond the last record: kept as stored, not counted.
    auto tail = std::make_shared<KW_map>(40);
    tail->data()[0] = 0x80000001u;
    tail->data()[1] = 0x01FFFFFFu;
    const std::vector<SetRecord> sets = {
        {0, 0, "blob", "No.0 blob / 40", "", nullptr, 0, 40},
        {1, 3, "a", "No.3 a / 3", "", mapOf(40, {0, 5, 39}), 8, 3},
        {2, 5, "b", "No.5 b / 3", "", tail, 8, 3},
    };
    app().SetSetList(6, sets);
    app().SetDisplayItems({2, 7, 0});  // 7 names no item
    app().SetCategoryList({});
    app().InitCategories(0);

    saveAndRestore();

    EXPECT_EQ(app().Sets(), sets);
    EXPECT_EQ(*app().Sets()[2].map, *tail) << "maps come back byte for byte";
    EXPECT_EQ(app().GetNextSetNo(), 6);
    EXPECT_EQ(app().GetDisplayItems(), (std::vector<std::int32_t>{2, 0}));
    EXPECT_EQ(app().GetConditionItems(), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_TRUE(app().GetCategoryList().empty()) << "no built-in category for a data file";
    EXPECT_EQ(app().GetReservedWords(), kReserved);
    EXPECT_TRUE(app().Block()->sets.empty() && app().Block()->maps.empty() &&
                app().Block()->categories.empty() && app().Block()->displayItems.empty())
        << "each step takes its part of the block over";
    EXPECT_TRUE(prompts_.messages().empty());
}

TEST_F(Restore, NextSetNumberNeverFallsToOneInUse) {
    open(40);
    app().StructDef() = threeItems("blob");
    app().SetSetList(
        2, {{0, 0, "blob", "t", "", nullptr, 0, 40}, {1, 4, "a", "t", "", mapOf(40, {1}), 8, 1}});
    saveAndRestore();
    EXPECT_EQ(app().GetNextSetNo(), 5);
}

TEST_F(Restore, MarkedSetChoosesTheCurrentMap) {
    open(40);
    app().StructDef() = threeItems("blob");
    const KW_mapPtr map3 = mapOf(40, {0, 5, 39});
    const struct {
        std::int32_t marked;
        KW_mapPtr current;  // null: all records
    } rows[] = {{-1, nullptr}, {0, nullptr}, {3, map3}, {4, nullptr}, {99, nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.marked);
        app().SetSetList(5, {{0, 0, "blob", "t", "", nullptr, 0, 40},
                             {1, 3, "a", "t", "", map3, 8, 3},
                             {0, 4, "all again", "t", "", nullptr, 0, 40}});  // a union: top level
        console_.currentSetNo = row.marked;
        saveAndRestore();
        ASSERT_EQ(app().KWmapSet(mapOf(40, {7})), 1);
        app().SelectRestoredSet();
        EXPECT_EQ(app().GetRestoredSetNo(), row.marked);
        const KW_mapPtr current = app().Search().KWmapGet();
        if (row.current)
            ASSERT_TRUE(current && *current == *row.current);
        else
            EXPECT_EQ(current, nullptr);
    }
    EXPECT_TRUE(prompts_.messages().empty());
}

TEST_F(Restore, SetsThatDoNotFitTheirMapsAreRefused) {
    open(40);
    app().StructDef() = threeItems("blob");
    const std::vector<SetRecord> saved = {{0, 0, "blob", "t", "", nullptr, 0, 40},
                                          {1, 3, "a", "t", "", mapOf(40, {1}), 8, 1}};
    const std::optional<std::string> blob = [&] {
        app().SetSetList(4, saved);
        return app().BuildSettingsBlob();
    }();
    ASSERT_TRUE(blob);

    const struct {
        const char* name;
        void (*damage)(SettingsBlock&);
    } rows[] = {
        {"a map missing", [](SettingsBlock& b) { b.maps.pop_back(); }},
        {"a map too many", [](SettingsBlock& b) { b.maps.push_back(""); }},
        {"no set at all",
         [](SettingsBlock& b) {
             b.sets.clear();
             b.maps.clear();
         }},
        {"a map shorter than its set says", [](SettingsBlock& b) { b.maps[0].resize(4); }},
        {"a map of another data set's length",
         [](SettingsBlock& b) {
             b.maps[0].resize(12);
             b.sets[1].mapLength = 12;
         }},
        // The set tree is rebuilt from the levels and new sets are numbered after the largest.
        {"a set number after which none is left",
         [](SettingsBlock& b) { b.sets[1].number = std::numeric_limits<std::int32_t>::max(); }},
        {"a negative set number", [](SettingsBlock& b) { b.sets[1].number = -2; }},
        {"a first set below the top", [](SettingsBlock& b) { b.sets[0].level = 1; }},
        {"a negative level", [](SettingsBlock& b) { b.sets[1].level = -1; }},
        {"a set two levels below its parent", [](SettingsBlock& b) { b.sets[1].level = 2; }},
        {"a level past any tree",
         [](SettingsBlock& b) { b.sets[1].level = std::numeric_limits<std::int32_t>::max(); }},
    };
    const std::vector<SetRecord> before = {{0, 0, "other", "t", "", nullptr, 0, 40}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        app().SetSetList(9, before);
        app().SetLoadMode(2);
        ASSERT_GT(app().DeserializeSettingsBlob(*blob), 0);
        row.damage(*app().Block());
        prompts_.clear();
        console_.calls.clear();

        EXPECT_EQ(app().RestoreSets(), 0);
        ASSERT_EQ(prompts_.messages().size(), 1u);
        EXPECT_EQ(prompts_.messages()[0].text.toStdString(), "内部データの取得に失敗しました");
        EXPECT_EQ(console_.calls, (std::vector<std::string>{"StopProgress", "SetStatusText "}));
        EXPECT_EQ(app().Sets(), before);
        EXPECT_EQ(app().GetNextSetNo(), 9);
    }
}

class RecordingWindows : public WindowPort {
public:
    int resets = 0;
    void ResetWindows() override { ++resets; }
};

TEST_F(Restore, ScreenResetKeepsOnlyTheWholeDataSet) {
    open(40);
    app().StructDef() = threeItems("blob");
    RecordingWindows windows;
    app().SetWindowPort(&windows);
    const SetRecord all{0, 0, "blob", "t", "", nullptr, 0, 40};
    app().SetSetList(6, {all,
                         {1, 3, "a", "t", "", mapOf(40, {1}), 8, 1},
                         {2, 5, "b", "t", "", mapOf(40, {2}), 8, 1}});
    ASSERT_EQ(app().KWmapSet(mapOf(40, {1})), 1);
    app().SetConditionItems({1});
    app().AddSearchCondition({0, 0, -1, "1", "", 2});
    CategoryDefinition own;
    own.name = "own";
    app().SetCategoryList({own});

    app().ResetScreen();

    EXPECT_EQ(app().Sets(), std::vector<SetRecord>{all});
    EXPECT_EQ(app().Search().KWmapGet(), nullptr);
    EXPECT_EQ(app().GetNextSetNo(), 1);
    EXPECT_TRUE(app().GetSearchConditions().empty());
    EXPECT_EQ(app().GetConditionItems(), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(app().GetCategoryList(), std::vector<CategoryDefinition>{builtInCategory()});
    EXPECT_EQ(app().GetReservedWords(), kReserved);
    EXPECT_EQ(console_.callsStartingWith("ResetPages").size(), 1u);
    EXPECT_EQ(windows.resets, 1);
    app().SetWindowPort(nullptr);
}

TEST_F(Restore, DisplayAndGridItemsFollowTheConsole) {
    open(40);
    app().SetDisplayItems({1});
    app().SetConsolePort(nullptr);
    EXPECT_EQ(app().UpdateDisplayItems(), 0);
    EXPECT_TRUE(app().GetDisplayItems().empty());

    app().SetConsolePort(&console_);
    console_.displayRows = {2, 0};
    EXPECT_EQ(app().UpdateDisplayItems(), 1);
    EXPECT_EQ(app().GetDisplayItems(), (std::vector<std::int32_t>{2, 0}));
    app().SetGridItems();
    app().SetDisplayItems({1});
    EXPECT_EQ(app().GetGridItems(), (std::vector<std::int32_t>{2, 0}));
}

}  // namespace
}  // namespace zbq::test
