// A session on the OLAP page's category frame recorded through its real widgets and replayed in
// a fresh program: a category file imported from the list's menu, shown by a double click,
// renamed in the name field, given another value type, registered, the reset and clear
// buttons, an export and a delete from the menu, and an import through the editor's button.
// The replay ends on the same screen and writes the same category file.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <functional>

#include "app/main_frame.h"
#include "console/category_file.h"
#include "console/category_form_view.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"
#include "tests/console/category_fixture.h"
#include "tests/support/real_input.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

using cp932::literal;

using Program = CategoryProgram;

TEST(CategoryReplay, ASessionOnTheCategoryFrameReplaysToTheSameScreenAndFile) {
    TempDir out;
    const std::string imported = out.file("age.ctg"), second = out.file("code.ctg");
    const std::string exported = out.file("export.ctg");
    writeBytes(imported, CategoryFile::WriteCategory(categoryOf(
                             literal("年齢"), 1,
                             {{"y", 6, "15", "29"}, {"m", 6, "30", "59"}, {"o", 0, "Others", ""}},
                             {{"W", "y"}, {"W", "m"}, {"R", "Others"}})));
    writeBytes(second, CategoryFile::WriteCategory(categoryOf("K", 6, {{"k", 0, "1", ""}})));
    std::string recordedScreen, exportedBytes;
    {
        Program session;
        ASSERT_TRUE(session.h.start({session.h.writeFixture()}));
        COlapFrm& frame = session.categories();
        COlapListView& list = *frame.list();
        COlapFormView& editor = *frame.editor();
        list.resize(400, 200);
        std::vector<std::int32_t> menuPicks = {COlapListView::kImport, COlapListView::kExport,
                                               COlapListView::kDelete};
        list.SetMenuChooser([&](const QPoint&) {
            const std::int32_t pick = menuPicks.front();
            menuPicks.erase(menuPicks.begin());
            return pick;
        });
        auto rightClick = [&](int row) {
            list.OnRightButtonDown(list.visualItemRect(list.topLevelItem(row)).center());
        };
        session.h.prompts().choose(QString::fromStdString(imported));
        session.h.prompts().choose(QString::fromStdString(exported));
        session.h.prompts().choose(QString::fromStdString(second));

        ASSERT_EQ(session.macro.StartRecording(), 1);
        const std::function<void()> actions[] = {
            [&] { rightClick(0); },  // selects the built-in row
            [&] { rightClick(0); },  // the menu: import
            [&] {
                QTreeWidgetItem* row = list.topLevelItem(1);
                list.itemDoubleClicked(row, 0);
            },
            [&] {
                typeAndLeave(editor.nameEdit(), QStringLiteral("Age"));
            },
            [&] { editor.typeList()->activated(3); },  // Float: the values still pass
            [&] { editor.button(COlapFormView::kRegister)->click(); },
            [&] { editor.button(COlapFormView::kReset)->click(); },
            [&] { rightClick(2); },  // the refill lost the selection: this selects
            [&] { rightClick(2); },  // the menu: export "Age"
            [&] { rightClick(0); },  // the menu: delete the built-in category
            [&] { editor.button(COlapFormView::kClear)->click(); },
            [&] { editor.button(COlapFormView::kImport)->click(); },
        };
        for (const auto& action : actions) {
            action();
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(session.macro.RecordedSteps(),
                  (std::vector<std::string>{
                      "ImportCategory,\"" + imported + "\"", "DispCategory,1",
                      "InputCategoryName,\"Age\"", "SelectCategoryType,3", "EntryCategory",
                      "ResetCategory", "ExportCategory,2,\"" + exported + "\"", "DeleteCategory,0",
                      "ClearCategory", "ImportCategory,\"" + second + "\""}));
        ASSERT_EQ(session.macro.StopRecording("session"), 1);
        EXPECT_EQ(session.h.prompts().unanswered(), 0);
        EXPECT_EQ(session.h.prompts().messages().size(), 0u);
        recordedScreen = session.h.snapshot();
        exportedBytes = fileBytes(exported);
        ASSERT_EQ(session.macro.WriteMacroFile(out.file("recorded.mcr")), 1);
    }
    ASSERT_FALSE(exportedBytes.empty());
    std::filesystem::remove(exported);

    Program replay;
    ASSERT_TRUE(replay.h.start({replay.h.writeFixture()}));
    ASSERT_EQ(replay.macro.ReadMacroFile(out.file("recorded.mcr")), 1);
    const int index = replay.macro.FindMacro("session");
    ASSERT_GE(index, 0);
    ASSERT_EQ(replay.macro.RunMacro(index), 1);
    EXPECT_EQ(replay.h.snapshot(), recordedScreen);
    EXPECT_EQ(fileBytes(exported), exportedBytes);
}

}  // namespace
}  // namespace zbq::test
