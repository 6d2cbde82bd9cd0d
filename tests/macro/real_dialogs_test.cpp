// The macro dialogs in their own modal loops on the real frame, answered as a user answers them:
// the mouse on their buttons and rows, keys in their fields. The recording indicator, the name
// dialog of Stop Recording with a refused and an accepted name, the macro menu on the new macro,
// its rename, execute and step through, the work list's 中止, and the variable-value question.
#include "tests/macro/macro_program.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "macro/macro_menu_dlg.h"
#include "macro/macro_name_dlg.h"
#include "macro/work_list_dlg.h"
#include "tests/support/real_input.h"

namespace zbq::test {
namespace {

const std::string kComplete = "マクロの実行が完了しました。";

class RealDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(p.start());
        p.frame.show();
        ASSERT_TRUE(activate(&p.frame));
    }

    // The next dialog, a T, runs its own modal loop, inside which `answer` acts on it.
    template <typename T>
    void inItsLoop(std::function<void(T&)> answer) {
        p.then<T>(zbq::test::inItsLoop<T>(std::move(answer)));
    }

    std::vector<std::string> messages() { return p.h.prompts().messageTexts(); }

    // A row of the macro menu's list clicked.
    static void clickRow(CMacroMenuDlg& d, int row) {
        QTreeWidget* list = d.list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(row)).center());
    }

    MacroProgram p;
};

TEST_F(RealDialogs, ARecordingGoesThroughTheIndicatorTheNameDialogAndTheMenu) {
    p.macro.AddMacro("taken", "", {"DispConsole"});
    p.h.prompts().answer(ui::Answer::Yes);
    p.pick(CMainFrame::kRecordStart);
    CRecordCondDlg* indicator = p.screen.indicator();
    ASSERT_NE(indicator, nullptr);
    press(indicator->variableButton());
    EXPECT_TRUE(p.macro.isVariable());
    press(indicator->fixedButton());
    EXPECT_FALSE(p.macro.isVariable());
    press(indicator->variableButton());
    QTest::keyClick(indicator, Qt::Key_Escape);
    EXPECT_TRUE(indicator->isVisible()) << "Escape ended the indicator";
    EXPECT_TRUE(p.macro.isVariable());
    p.openTab(ConsolePage::System);
    ASSERT_EQ(p.macro.RecordedSteps(), std::vector<std::string>{"OpenSystemTab"});

    inItsLoop<CMacroNameDlg>([&](CMacroNameDlg& d) {
        EXPECT_EQ(d.nameEdit()->text().toStdString(), "macro1");
        typeInto(d.nameEdit(), QStringLiteral("taken"));
        press(d.okButton());
        EXPECT_TRUE(d.isVisible())
            << "a name another macro has closed the dialog: " << d.nameEdit()->text().toStdString();
        EXPECT_EQ(messages().back(), "同名のマクロが既に存在します。マクロ名を変更して下さい。");
        typeInto(d.nameEdit(), QString::fromUtf8("新しい"));
        press(d.okButton());
    });
    inItsLoop<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
        EXPECT_EQ(d.model().selected(), 1) << "the new macro is chosen";
        press(d.closeButton());
    });
    p.pick(CMainFrame::kRecordStop);
    EXPECT_TRUE(p.steps.empty());
    EXPECT_EQ(p.screen.indicator(), nullptr);
    EXPECT_EQ(p.macro.macroNames(), (std::vector<std::string>{"taken", cp932::literal("新しい")}));
    EXPECT_EQ(p.macro.Macros()[1].steps, std::vector<std::string>{"OpenSystemTab"});
}

TEST_F(RealDialogs, TheMenuRenamesThenExecutesWithItsQuestion) {
    p.macro.AddMacro("tabs", "", {"OpenLogTab", "OpenSystemTab", "OpenLogTab"});
    inItsLoop<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
        clickRow(d, 0);
        ASSERT_TRUE(d.renameButton()->isEnabled());
        inItsLoop<CMacroNameDlg>([](CMacroNameDlg& name) {
            typeInto(name.nameEdit(), QStringLiteral("logs"));
            press(name.okButton());
        });
        press(d.renameButton());
        EXPECT_EQ(d.list()->topLevelItem(0)->text(0).toStdString(), "logs");
        p.h.prompts().answer(ui::Answer::Yes);
        press(d.executeButton());
    });
    p.pick(CMainFrame::kMacroMenu);
    EXPECT_TRUE(p.steps.empty());
    EXPECT_EQ(p.macro.macroNames(), std::vector<std::string>{"logs"});
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0],
              "マクロ「logs」を実行します。\nマクロを実行すると、画面を一度初期化します。\n"
              "実行してよろしいですか？");
    EXPECT_EQ(messages()[1], kComplete);
    EXPECT_EQ(p.tab(), ConsolePage::Log) << "the last step did not play";
}

TEST_F(RealDialogs, StepThroughOpensTheWorkListWhoseAbortPlaysNothing) {
    p.macro.AddMacro("tabs", "", {"OpenLogTab", "OpenSystemTab"});
    p.openTab(ConsolePage::System);
    inItsLoop<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
        clickRow(d, 0);
        p.h.prompts().answer(ui::Answer::Yes);
        press(d.stepButton());
    });
    inItsLoop<CWorkListDlg>([&](CWorkListDlg& d) {
        EXPECT_EQ(p.screen.openDialog(), "work list: step 0");
        press(d.abortButton());
    });
    p.pick(CMainFrame::kMacroMenu);
    EXPECT_TRUE(p.steps.empty());
    EXPECT_EQ(p.tab(), ConsolePage::ItemSelection) << "a step played, or the screen was not reset";
    EXPECT_EQ(messages().size(), 1u) << "only the question";
    EXPECT_EQ(p.screen.openDialog(), "");
}

TEST_F(RealDialogs, TheVariableValueQuestionRefusesAnEmptyValueAndEscapeAnswersNothing) {
    inItsLoop<CVarCondDlg>([&](CVarCondDlg& d) {
        EXPECT_EQ(d.promptLabel()->text().toStdString(), "[検索条件]: 検索条件を入力して下さい。");
        press(d.okButton());
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(messages().back(), "入力して下さい｡");
        typeInto(d.valueEdit(), QString::fromUtf8("男性"));
        press(d.okButton());
    });
    EXPECT_EQ(p.asker.askMacroParameter("[検索条件]: 検索条件を入力して下さい。", -1),
              cp932::literal("男性"));
    inItsLoop<CVarCondDlg>([&](CVarCondDlg& d) {
        typeInto(d.valueEdit(), QStringLiteral("x"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(p.asker.askMacroParameter("[x]", -1), "");
    EXPECT_TRUE(p.steps.empty());
}

}  // namespace
}  // namespace zbq::test
