// A session recorded through the data-selection tab's real widgets (two conditions typed in the
// filter dialog, OR, "ﾌｨﾙﾀ実行", a double click on a set, a condition deleted, a set dropped on
// another and 積集合 chosen, a caption renamed in place, a set deleted from its menu) replays in
// a fresh screen into the same snapshot.
#include "tests/console/data_sel_fixture.h"

#include <QApplication>

#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <sstream>

#include "console/filter_cond_dlg.h"
#include "console/set_tree_view.h"
#include "platform/ui/modal_runner.h"
#include "tests/support/session_gestures.h"

namespace zbq::test {
namespace {

// The data file the screen saves, with the sets in its settings.
std::string savedFile(DataSelScreen& s) {
    s.macro->StopRecording("");
    s.app().SetSavePath(s.harness.file("saved.zbq"));
    EXPECT_EQ(s.app().SaveDataAndMacro("", 0), 1);
    std::ifstream in(s.harness.file("saved.zbq"), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_FALSE(bytes.str().empty());
    return bytes.str();
}

TEST(DataSelReplay, ARecordedSessionReplaysIntoTheSameScreen) {
    std::vector<std::string> recorded;
    std::string expected, expectedFile;
    {
        DataSelScreen s;
        s.console->show();
        s.macro->StartRecording();
        CDataSelPage& page = *s.page;
        std::int32_t menuChoice = 0;
        page.setMenuChooser([&](QMenu&, std::int32_t) { return menuChoice; });

        {
            ui::ScopedModalHook hook([](QDialog& d) { return typeCondition(d, 1, 0, "1"); });
            QTest::mouseClick(page.button(1015), Qt::LeftButton);  // 追加: 性別 = 1
        }
        {
            ui::ScopedModalHook hook([](QDialog& d) { return typeCondition(d, 2, 3, "30"); });
            QTest::mouseClick(page.button(1015), Qt::LeftButton);  // 追加: 年齢 >= 30
        }
        QTest::mouseClick(page.orButton(), Qt::LeftButton);
        QTest::mouseClick(page.button(1014), Qt::LeftButton);  // set 1
        ASSERT_EQ(page.CurrentSetNo(), 1);

        QTest::mouseDClick(page.setTree()->viewport(), Qt::LeftButton, {}, centreOf(page, 0));
        ASSERT_EQ(page.CurrentSetNo(), 0);
        page.SelectRow(0);
        s.harness.prompts().answer(ui::Answer::Yes);
        QTest::mouseClick(page.button(1016), Qt::LeftButton);  // 削除 the first condition
        QTest::mouseClick(page.button(1014), Qt::LeftButton);  // set 2
        ASSERT_EQ(page.CurrentSetNo(), 2);

        menuChoice = CDataSelPage::kMenuProduct;
        dropSet(page, 2, 1);  // set 3 = No.1 * No.2
        ASSERT_EQ(s.app().GetSetRecord(3).text1, "No.1 * No.2");

        CDataSelTreeView* tree = page.setTree();
        tree->editItem(page.FindSetItem(3));
        auto* editor = tree->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(QString::fromUtf8("男性か30歳以上で30歳以上"));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        ASSERT_EQ(s.app().GetSetRecord(3).text2, cp932::literal("男性か30歳以上で30歳以上"));

        menuChoice = CDataSelPage::kMenuDelete;
        page.OnContextMenu(2);
        ASSERT_FALSE(page.HasSetItem(2));

        recorded = s.steps();
        s.macro->StopRecording("");  // the replay is compared with the screen, not the recorder
        expected = s.harness.snapshot();
        expectedFile = savedFile(s);
    }
    const std::vector<std::string> steps = {
        "DispAddFilterDialog",
        "InputFilterItem,1",
        "SelectFilterOperater1,0",
        "InputFilterTerm1,\"1\"",
        "OKFilterDialog",
        "DispAddFilterDialog",
        "InputFilterItem,2",
        "SelectFilterOperater1,3",
        "InputFilterTerm1,\"30\"",
        "OKFilterDialog",
        "SelectFilterAndOr,1",
        "ExecuteFilter",
        "SelectSet,0",
        "DeleteFilter,0",
        "ExecuteFilter",
        "DifferenceSet,1,2",
        "InputSetName,3,\"" + cp932::literal("男性か30歳以上で30歳以上") + "\"",
        "DeleteSet,2"};
    EXPECT_EQ(recorded, steps);

    DataSelScreen replay;
    replay.console->show();
    for (const std::string& step : recorded)
        EXPECT_EQ(replay.play(step), 1) << step;
    EXPECT_EQ(replay.harness.snapshot(), expected);
    EXPECT_EQ(savedFile(replay), expectedFile);
}

}  // namespace
}  // namespace zbq::test
