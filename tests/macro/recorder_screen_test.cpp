// Recording and playing from the macro menu of the real frame: Start Recording with its question,
// screen reset, status texts and indicator; Stop Recording with its name dialog and the menu on
// the new macro; 固定 and 可変; the macro menu's Execute with its question, a run recorded as one
// ExeMacro step, and Enter in and outside the explanation.
#include "tests/macro/macro_program.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "macro/macro_menu_dlg.h"
#include "macro/macro_name_dlg.h"
#include "macro/work_list_dlg.h"
#include "platform/core/cp932.h"
#include "tests/support/real_input.h"

namespace zbq::test {
namespace {

const std::string kStartQuestion =
    "マクロの記録を開始します。\n記録を開始すると画面を一度初期化します。\n"
    "開始してよろしいですか？";

std::string runQuestion(const std::string& name) {
    return "マクロ「" + name +
           "」を実行します。\nマクロを実行すると、画面を一度初期化します。\n"
           "実行してよろしいですか？";
}

class RecorderScreen : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(p.start()); }

    std::string lastMessage() {
        const auto& m = p.h.prompts().messages();
        return m.empty() ? std::string() : m.back().text.toStdString();
    }
    bool startEnabled() const { return p.frame.action(CMainFrame::kRecordStart)->isEnabled(); }
    bool stopEnabled() const { return p.frame.action(CMainFrame::kRecordStop)->isEnabled(); }
    // Starts recording by the menu with Yes.
    void startRecording() {
        p.h.prompts().answer(ui::Answer::Yes);
        p.pick(CMainFrame::kRecordStart);
        ASSERT_TRUE(p.macro.isRecording());
    }

    MacroProgram p;
};

TEST_F(RecorderScreen, StartRecordingAsksResetsTheScreenAndShowsTheIndicator) {
    EXPECT_TRUE(startEnabled());
    EXPECT_FALSE(stopEnabled());
    EXPECT_EQ(p.frame.action(CMainFrame::kRecordStart)->shortcut(), QKeySequence("Ctrl+R"));
    EXPECT_EQ(p.frame.action(CMainFrame::kRecordStop)->shortcut(), QKeySequence("Ctrl+E"));
    EXPECT_EQ(p.frame.action(CMainFrame::kMacroMenu)->shortcut(), QKeySequence("Ctrl+M"));
    p.openTab(ConsolePage::Log);
    const std::string before = p.h.snapshot();

    p.pick(CMainFrame::kRecordStart);  // No
    EXPECT_EQ(lastMessage(), kStartQuestion);
    EXPECT_EQ(p.h.snapshot(), before);
    EXPECT_EQ(p.pane(), "");
    EXPECT_EQ(p.screen.indicator(), nullptr);

    startRecording();
    EXPECT_EQ(p.tab(), ConsolePage::ItemSelection) << "the screen was not reset";
    EXPECT_EQ(p.status(), "記録中...");
    EXPECT_EQ(p.pane(), "記録");
    CRecordCondDlg* indicator = p.screen.indicator();
    ASSERT_NE(indicator, nullptr);
    EXPECT_TRUE(indicator->isVisible());
    EXPECT_TRUE(indicator->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(indicator->windowFlags() & Qt::Tool);
    EXPECT_FALSE(indicator->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(indicator->windowTitle().toStdString(), "条件の記録");
    // Its title bar, no wider than the window, holds the title in bold beside an icon and three
    // boxes of about a line and a half each.
    QFont bold = indicator->font();
    bold.setBold(true);
    EXPECT_GE(indicator->width(), QFontMetrics(bold).horizontalAdvance(indicator->windowTitle()) +
                                      6 * indicator->fontMetrics().height());
    EXPECT_TRUE(indicator->fixedButton()->isChecked());
    EXPECT_FALSE(p.macro.isVariable());
    QTest::keyClick(indicator, Qt::Key_Escape);
    EXPECT_FALSE(indicator->close());
    EXPECT_TRUE(indicator->isVisible()) << "the indicator went before recording ended";
    EXPECT_FALSE(startEnabled());
    EXPECT_TRUE(stopEnabled());
}

TEST_F(RecorderScreen, StartRecordingIsRefusedAt999Macros) {
    for (int i = 0; i < 999; ++i)
        p.macro.AddMacro("m" + std::to_string(i), "", {"DispConsole"});
    p.pick(CMainFrame::kRecordStart);
    EXPECT_EQ(lastMessage(), "マクロが999件登録されています。1000件以上は登録できません。");
    EXPECT_EQ(p.h.prompts().unanswered(), 0) << "no question after the refusal";
    EXPECT_FALSE(p.macro.isRecording());
    EXPECT_EQ(p.screen.indicator(), nullptr);
}

TEST_F(RecorderScreen, StopWithoutAStepOpensNoDialogAndClearsTheTexts) {
    startRecording();
    p.pick(CMainFrame::kRecordStop);  // any dialog would fail the test
    EXPECT_FALSE(p.macro.isRecording());
    EXPECT_EQ(p.status(), "");
    EXPECT_EQ(p.pane(), "");
    EXPECT_EQ(p.screen.indicator(), nullptr);
    EXPECT_TRUE(p.macro.Macros().empty());
    EXPECT_TRUE(startEnabled());
    EXPECT_FALSE(stopEnabled());
}

TEST_F(RecorderScreen, StopProposesTheFirstFreeNameAndOpensTheMenuOnTheNewMacro) {
    p.macro.AddMacro("macro1", "", {"DispConsole"});
    p.macro.AddMacro("macro3", "", {"DispConsole"});
    startRecording();
    p.openTab(ConsolePage::Log);
    std::string proposed;
    p.then<CMacroNameDlg>([&](CMacroNameDlg& d) {
        proposed = d.nameEdit()->text().toStdString();
        EXPECT_EQ(p.screen.indicator(), nullptr) << "the indicator closes before the name";
        EXPECT_EQ(p.pane(), "");
        return int(QDialog::Rejected);
    });
    p.pick(CMainFrame::kRecordStop);
    EXPECT_EQ(proposed, "macro2");
    EXPECT_FALSE(p.macro.isRecording());
    EXPECT_EQ(p.macro.macroNames(), (std::vector<std::string>{"macro1", "macro3"}));

    startRecording();
    p.openTab(ConsolePage::System);
    p.then<CMacroNameDlg>([](CMacroNameDlg& d) {
        d.okButton()->click();
        return d.result();
    });
    int selected = -2;
    bool inView = false;
    p.then<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
        selected = d.model().selected();
        d.show();
        QTreeWidget* list = d.list();
        const QTreeWidgetItem* current = list->currentItem();
        inView = current && list->visualItemRect(current).intersects(list->viewport()->rect());
        EXPECT_EQ(p.screen.openDialog(), "macro menu: row 2");
        d.closeButton()->click();
        return d.result();
    });
    p.pick(CMainFrame::kRecordStop);
    EXPECT_EQ(p.macro.macroNames(), (std::vector<std::string>{"macro1", "macro3", "macro2"}));
    EXPECT_EQ(p.macro.Macros()[2].steps, std::vector<std::string>{"OpenSystemTab"});
    EXPECT_EQ(selected, 2);
    EXPECT_TRUE(inView);
    EXPECT_TRUE(p.steps.empty());
}

TEST_F(RecorderScreen, VariableChosenMidRecordingRecordsTheMarkerUntilFixedAgain) {
    CKWApp& app = p.h.app();
    const std::string target = p.h.file("saved.zbq");
    startRecording();
    app.SetSaveMode(1);
    app.SetSavePath(target);
    const auto save = [&](bool variable) {
        (variable ? p.screen.indicator()->variableButton() : p.screen.indicator()->fixedButton())
            ->click();
        EXPECT_EQ(p.macro.isVariable(), variable);
        EXPECT_EQ(app.SaveDataAndMacro("", 0), 1);
    };
    save(true);
    save(false);
    EXPECT_EQ(p.macro.RecordedSteps(), (std::vector<std::string>{
                                           "SaveZbw,\"???\",\"???\",0",
                                           "SaveZbw,\"" + target + "\",\"\",0",
                                       }));
}

TEST_F(RecorderScreen, ExecuteAsksClosesTheMenuRunsAndIsRecordedAsOneStep) {
    p.macro.AddMacro("tabs", "", {"OpenLogTab", "OpenSystemTab"});
    // No: nothing runs, the playing flag is down again.
    p.then<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
        d.list()->setCurrentItem(d.list()->topLevelItem(0));
        d.executeButton()->click();
        EXPECT_EQ(lastMessage(), runQuestion("tabs"));
        EXPECT_FALSE(p.macro.isPlaying());
        EXPECT_TRUE(d.isVisible() || d.result() == 0) << "the menu stays open";
        d.closeButton()->click();
        return d.result();
    });
    p.pick(CMainFrame::kMacroMenu);
    EXPECT_EQ(p.tab(), ConsolePage::ItemSelection);

    startRecording();
    p.openTab(ConsolePage::System);
    p.macro.RegisterPlayer("OpenSystemTab", [](CMacro& m, StepFields&) -> std::int32_t {
        // The run comes after the menu's loop: nothing of it is open any more.
        EXPECT_TRUE(m.isPlaying());
        EXPECT_EQ(m.Screen().openDialog(), "");
        return 1;
    });
    p.then<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
        EXPECT_EQ(d.model().selected(), -1);
        QTreeWidgetItem* row = d.list()->topLevelItem(0);
        d.list()->setCurrentItem(row);
        emit d.list()->itemDoubleClicked(row, 0);
        return d.result();
    });
    p.h.prompts().answer(ui::Answer::Yes);
    p.pick(CMainFrame::kMacroMenu);
    EXPECT_EQ(lastMessage(), "マクロの実行が完了しました。");
    EXPECT_FALSE(p.macro.isPlaying());
    EXPECT_EQ(p.macro.RecordedSteps(),
              (std::vector<std::string>{"OpenSystemTab", "ExeMacro,\"tabs\""}));
}

TEST_F(RecorderScreen, StepThroughClosesTheMenuResetsAndOpensTheWorkList) {
    p.macro.AddMacro("tabs", "", {"OpenLogTab", "OpenSystemTab"});
    p.openTab(ConsolePage::Log);
    p.then<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
        d.list()->setCurrentItem(d.list()->topLevelItem(0));
        p.h.prompts().answer(ui::Answer::Yes);
        d.stepButton()->click();
        EXPECT_EQ(p.tab(), ConsolePage::Log) << "reset before the menu closed";
        return d.result();
    });
    p.then<CWorkListDlg>([&](CWorkListDlg& d) {
        EXPECT_EQ(p.tab(), ConsolePage::ItemSelection) << "the screen was not reset";
        EXPECT_EQ(p.screen.openDialog(), "work list: step 0");
        d.stepButton()->click();
        EXPECT_EQ(p.tab(), ConsolePage::Log);
        d.stepButton()->click();
        return d.result();
    });
    p.pick(CMainFrame::kMacroMenu);
    EXPECT_EQ(p.h.prompts().messages()[0].text.toStdString(), runQuestion("tabs"));
    EXPECT_EQ(p.h.prompts().messages().back().text.toStdString(), "マクロの実行が完了しました。");
    EXPECT_EQ(p.tab(), ConsolePage::System);
    EXPECT_TRUE(p.steps.empty());
}

TEST_F(RecorderScreen, EnterExecutesOutsideTheExplanationAndBreaksALineInIt) {
    p.macro.AddMacro("tabs", "", {"OpenLogTab"});
    p.then<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
        d.show();
        d.activateWindow();
        d.list()->setCurrentItem(d.list()->topLevelItem(0));
        QPlainTextEdit* edit = d.explanationEdit();
        clickInto(edit);
        typeKeys(QStringLiteral("ab"));
        QTest::keyClick(edit, Qt::Key_Return);
        typeKeys(QStringLiteral("cd"));
        EXPECT_EQ(edit->toPlainText().toStdString(), "ab\ncd");
        EXPECT_TRUE(p.h.prompts().messages().empty()) << "Enter in the edit ran something";
        QTreeWidget* list = d.list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(0)).center());
        QTest::keyClick(list, Qt::Key_Return);
        return d.result();
    });
    p.h.prompts().answer(ui::Answer::Yes);
    p.pick(CMainFrame::kMacroMenu);
    ASSERT_GE(p.h.prompts().messages().size(), 2u);
    EXPECT_EQ(p.h.prompts().messages()[0].text.toStdString(), runQuestion("tabs"));
    EXPECT_EQ(p.macro.Macros()[0].explanation, "ab\r\ncd");
    EXPECT_EQ(p.tab(), ConsolePage::Log);
}

}  // namespace
}  // namespace zbq::test
