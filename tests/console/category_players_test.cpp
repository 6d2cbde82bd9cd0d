// The category commands played through the dispatcher on a started program with its frame and
// console: what each step does to the set, the list and the editor, the checks that stop a run,
// and the screen reset's fresh category page.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QComboBox>

#include <filesystem>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/category_file.h"
#include "console/category_form_view.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"
#include "tests/console/category_fixture.h"

namespace zbq::test {
namespace {

const std::string kStop = "\nマクロの実行を中止します。";

std::string rangeMessage(const std::string& command) {
    return "コマンド[" + command + "]のパラメータが範囲を超えています。" + kStop;
}

// The program with three definitions A, B, C in the set, as the list's import leaves them.
struct Program : CategoryProgram {
    void threeDefinitions() {
        h.app().SetCategoryList({categoryOf("A", 1, {{"a", 6, "1", "9"}}),
                                 categoryOf("B", 1, {{"b", 2, "5", ""}}),
                                 categoryOf("C", 6, {{"c", 0, "x", ""}})});
        categories().ResetCategorySet();
    }
};

TEST(CategoryPlayers, ShowAndDeleteTakeARowOfTheList) {
    Program p;
    ASSERT_TRUE(p.h.start({p.h.writeFixture()}));
    p.threeDefinitions();
    EXPECT_EQ(p.play("DispCategory,1"), 1);
    EXPECT_EQ(p.categories().editor()->NameText(), "B");
    EXPECT_EQ(p.play("DispCategory,2"), 1);
    EXPECT_EQ(p.play("DeleteCategory,1"), 1);
    EXPECT_EQ(p.names(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(p.categories().editor()->NameText(), "C") << "the editor keeps what it shows";
    p.play("InputCategoryName,\"typed\"");
    EXPECT_EQ(p.play("ResetCategory"), 1) << "its index is past the end now: nothing reloads";
    EXPECT_EQ(p.categories().editor()->NameText(), "typed");
    EXPECT_EQ(p.play("DeleteCategory,1"), 1);
    for (const char* step : {"DispCategory,1", "DeleteCategory,-1", "ExportCategory,1,\"/tmp/x\""})
        EXPECT_EQ(p.play(step), 0) << step;
    EXPECT_EQ(p.play("DeleteCategory,0"), 1);
    EXPECT_EQ(p.play("DispCategory,0"), 0) << "an empty list: the bound is -1";
    EXPECT_EQ(p.messages(), (std::vector<std::string>{
                                rangeMessage("DispCategory"), rangeMessage("DeleteCategory"),
                                rangeMessage("ExportCategory"), rangeMessage("DispCategory")}));
}

TEST(CategoryPlayers, ImportReplacesByNameAndRefusesWhatItCannotRead) {
    Program p;
    ASSERT_TRUE(p.h.start({p.h.writeFixture()}));
    p.threeDefinitions();
    const std::string path = p.h.file("b.ctg");
    writeBytes(path, CategoryFile::WriteCategory(categoryOf("B", 0, {{"n", 0, "Normal", ""}})));
    EXPECT_EQ(p.play("ImportCategory,\"" + path + "\""), 1);
    EXPECT_EQ(p.names(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(p.h.app().GetCategoryList()[1].valueType, 0);
    EXPECT_EQ(p.categories().editor()->NameText(), "C");
    EXPECT_EQ(p.categories().editor()->model().index(), 2);

    const std::string before = p.h.snapshot();
    writeBytes(p.h.file("bad.ctg"), "D\n1\n1\n0\n0\nd\n1\n\n10\n");
    const std::string missing = p.h.file("none.ctg");
    EXPECT_EQ(p.play("ImportCategory,\"" + missing + "\""), 0);
    EXPECT_EQ(p.play("ImportCategory,\"\""), 0);
    EXPECT_EQ(p.play("ImportCategory,\"" + p.h.file("bad.ctg") + "\""), 0);
    EXPECT_EQ(p.messages(),
              (std::vector<std::string>{
                  "ファイル[" + missing + "]が存在しません。" + kStop,
                  "コマンド[ImportCategory]のパラメータにファイル名が指定されていません。" + kStop,
                  "カテゴリファイル[" + p.h.file("bad.ctg") + "]の9行目が不正です。"}));
    EXPECT_EQ(p.h.snapshot(), before);
}

TEST(CategoryPlayers, ExportWritesWithoutChangingTheScreen) {
    Program p;
    ASSERT_TRUE(p.h.start({p.h.writeFixture()}));
    p.threeDefinitions();
    p.play("DispCategory,0");
    const std::string path = p.h.file("out.ctg");
    writeBytes(path, "old\n");
    const std::string before = p.h.snapshot();
    EXPECT_EQ(p.play("ExportCategory,2,\"" + path + "\""), 1);
    EXPECT_EQ(fileBytes(path), CategoryFile::WriteCategory(p.h.app().GetCategoryList()[2]));
    EXPECT_EQ(p.h.snapshot(), before);

    const std::string nowhere = p.h.file("no/such/folder/out.ctg");
    EXPECT_EQ(p.play("ExportCategory,0,\"" + nowhere + "\""), 0);
    EXPECT_FALSE(std::filesystem::exists(p.h.file("no")));
    EXPECT_EQ(p.messages(),
              (std::vector<std::string>{"コマンド[ExportCategory]のパラメータのフォルダ\n[" +
                                        p.h.file("no/such/folder") + "]が存在しません。" + kStop}));
}

TEST(CategoryPlayers, NameTypeAndRegisterGoOnWhateverTheEditorSaid) {
    Program p;
    ASSERT_TRUE(p.h.start({p.h.writeFixture()}));
    p.threeDefinitions();
    COlapFormView& editor = *p.categories().editor();
    p.play("DispCategory,0");
    EXPECT_EQ(p.play("InputCategoryName,\"\""), 1);
    EXPECT_EQ(editor.NameText(), "");
    EXPECT_EQ(p.play("EntryCategory"), 1) << "no name: nothing registered, the macro goes on";
    EXPECT_EQ(p.names().size(), 3u);
    EXPECT_EQ(p.play("InputCategoryName,\"D\""), 1);
    EXPECT_EQ(p.play("SelectCategoryType,0"), 1);
    EXPECT_EQ(editor.typeList()->currentIndex(), 0);
    EXPECT_EQ(editor.model().definition().valueType, -1);
    EXPECT_EQ(p.play("SelectCategoryType,8"), 0);
    EXPECT_EQ(p.play("SelectCategoryType,7"), 1);  // Code: "1" passes
    EXPECT_EQ(p.play("EntryCategory"), 1);
    EXPECT_EQ(p.names(), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(p.h.app().GetCategoryList()[3].valueType, 6);
    EXPECT_EQ(p.play("ClearCategory"), 1);
    EXPECT_EQ(editor.model().index(), -1);
    EXPECT_EQ(p.messages(), std::vector<std::string>{rangeMessage("SelectCategoryType")});
}

TEST(CategoryPlayers, WithoutAConsoleEveryStepStops) {
    Program p;
    ASSERT_TRUE(p.h.start({p.h.writeFixture()}));
    p.frame.DestroyConsole();
    for (const char* step :
         {"DispCategory,0", "ImportCategory,\"/tmp\"", "EntryCategory", "SelectCategoryType,1"})
        EXPECT_EQ(p.play(step), 0) << step;
    EXPECT_EQ(p.messages(), std::vector<std::string>(
                                4, "画面が表示されていないため、マクロを実行できません。" + kStop));
}

TEST(CategoryPlayers, TheScreenResetGivesTheFreshPageAndTheBuiltInCategoryAlone) {
    Program p;
    ASSERT_TRUE(p.h.start({p.h.writeFixture()}));
    const std::string fresh = p.h.snapshot();
    p.threeDefinitions();
    p.play("DispCategory,1");
    p.play("InputCategoryName,\"x\"");
    ASSERT_NE(p.h.snapshot(), fresh);
    p.h.app().ResetScreen();
    EXPECT_EQ(p.h.snapshot(), fresh);
    EXPECT_EQ(p.names(), std::vector<std::string>{cp932::literal("単一")});
}

}  // namespace
}  // namespace zbq::test
