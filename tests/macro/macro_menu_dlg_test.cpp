// The macro menu's widget over its model: the buttons it enables, the list it shows, and the
// explanation edit, which keeps only what the macro file can hold and writes back however the
// menu closes.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "macro/macro_menu_dlg.h"
#include "tests/macro/macro_fixture.h"

namespace zbq::test {
namespace {

class MacroMenuWidget : public MacroTest {
protected:
    MacroMenuWidget() {
        for (const char* name : {"A", "B", "C"})
            macro.AddMacro(cp932::literal(name), "", {"DispConsole"});
    }

    // Execute, Step through, Rename, Delete, Import, Up, Down.
    static std::vector<bool> enabled(const CMacroMenuDlg& d) {
        return {d.executeButton()->isEnabled(), d.stepButton()->isEnabled(),
                d.renameButton()->isEnabled(),  d.deleteButton()->isEnabled(),
                d.importButton()->isEnabled(),  d.upButton()->isEnabled(),
                d.downButton()->isEnabled()};
    }
};

TEST_F(MacroMenuWidget, ButtonsFollowTheSelectionAndRecording) {
    CMacroMenuDlg none(macro, -1);
    EXPECT_EQ(none.list()->topLevelItemCount(), 3);
    EXPECT_EQ(none.list()->headerItem()->text(0).toStdString(), "ﾏｸﾛ名");
    EXPECT_EQ(enabled(none), (std::vector<bool>{false, false, false, false, true, false, false}));
    none.list()->setCurrentItem(none.list()->topLevelItem(2));
    EXPECT_EQ(enabled(none), (std::vector<bool>{true, true, true, true, true, true, false}));

    macro.StartRecording();
    CMacroMenuDlg recording(macro, 1);
    EXPECT_EQ(enabled(recording),
              (std::vector<bool>{true, false, false, false, false, false, false}));
    EXPECT_TRUE(recording.closeButton()->isEnabled());
}

TEST_F(MacroMenuWidget, TheExplanationKeepsCp932AndGoesBackWhenTheMenuCloses) {
    CMacroMenuDlg menu(macro, 1);
    QPlainTextEdit* edit = menu.explanationEdit();
    QTest::keyClicks(edit, "ok");
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString::fromUtf8("한"),
                        Qt::NoModifier);
    EXPECT_EQ(edit->toPlainText().toStdString(), "ok");
    EXPECT_EQ(prompts.beeps(), 1);
    QTest::keyClick(&menu, Qt::Key_Escape);
    EXPECT_EQ(menu.result(), QDialog::Rejected);
    EXPECT_EQ(macro.Macros()[1].explanation, "ok");
    EXPECT_EQ(macro.Macros()[0].explanation, "");
}

}  // namespace
}  // namespace zbq::test
