// Macros recorded through the real menu, indicator and dialogs, kept in the macro file a save
// writes, and played in a fresh program from its macro menu: the same names, order and
// explanations, the same screen, the same data file (but for the password's random filler) and
// the same macro file byte for byte. And "auto_open", named in the menu, offered at the next start.
#include "tests/macro/macro_program.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

#include "macro/macro_menu_dlg.h"
#include "macro/macro_name_dlg.h"
#include "tests/support/saved_bytes.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

// Answers the name dialog with `name`.
void nameIt(MacroProgram& p, const char* name) {
    p.then<CMacroNameDlg>([name](CMacroNameDlg& d) {
        d.nameEdit()->setText(QString::fromUtf8(name));
        d.okButton()->click();
        return d.result();
    });
}

// Answers the macro menu: selects `row` and presses Execute (the question is answered Yes).
void executeRow(MacroProgram& p, int row) {
    p.then<CMacroMenuDlg>([&p, row](CMacroMenuDlg& d) {
        d.list()->setCurrentItem(d.list()->topLevelItem(row));
        p.h.prompts().answer(ui::Answer::Yes);
        d.executeButton()->click();
        return d.result();
    });
}

void startRecording(MacroProgram& p) {
    p.h.prompts().answer(ui::Answer::Yes);
    p.pick(CMainFrame::kRecordStart);
    ASSERT_TRUE(p.macro.isRecording());
}

TEST(MacroSession, RecordedMacrosReplayAcrossARestart) {
    TempDir out;
    const std::string target = out.file("session.zbq");
    std::string s1, recordedData, firstMacroFile;
    {
        MacroProgram p;
        ASSERT_TRUE(p.start());
        CKWApp& app = p.h.app();

        startRecording(p);
        p.openTab(ConsolePage::Log);
        p.openTab(ConsolePage::System);
        nameIt(p, "inner");
        p.then<CMacroMenuDlg>([](CMacroMenuDlg& d) {
            d.closeButton()->click();
            return d.result();
        });
        p.pick(CMainFrame::kRecordStop);
        ASSERT_EQ(p.macro.macroNames(), std::vector<std::string>{"inner"});

        startRecording(p);
        p.console()->OnSysCommand(ConsoleSysCommand::Maximize);
        p.console()->OnSysCommand(ConsoleSysCommand::Restore);
        executeRow(p, 0);
        p.pick(CMainFrame::kMacroMenu);
        p.screen.indicator()->variableButton()->click();
        app.SetSaveMode(1);
        app.SetSavePath(target);
        p.h.answerDialogs({"pw"});
        ASSERT_EQ(app.SaveDataAndMacro("", 1), 1);  // as "ZBQに書出し" calls it
        recordedData = readFile(target);
        nameIt(p, "outer");
        p.then<CMacroMenuDlg>([](CMacroMenuDlg& d) {
            EXPECT_EQ(d.model().selected(), 1);
            d.explanationEdit()->setPlainText(QString::fromUtf8("外側の\n二行目"));
            d.upButton()->click();
            d.closeButton()->click();
            return d.result();
        });
        p.pick(CMainFrame::kRecordStop);
        EXPECT_TRUE(p.steps.empty());
        EXPECT_EQ(p.macro.macroNames(), (std::vector<std::string>{"outer", "inner"}));
        EXPECT_EQ(p.macro.Macros()[0].steps,
                  (std::vector<std::string>{"Cons_Max", "Cons_Restore", "ExeMacro,\"inner\"",
                                            "SaveZbw,\"???\",\"???\",0"}));
        EXPECT_EQ(p.macro.Macros()[0].explanation, cp932::literal("外側の\r\n二行目"));
        s1 = p.h.snapshot();

        app.SetSavePath(out.file("first.zbq"));
        ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
        firstMacroFile = readFile(out.file("first.mcr"));
    }
    std::filesystem::remove(target);
    std::filesystem::remove(out.file("session.mcr"));

    MacroProgram p;
    writeFile(p.h.file("fixture.mcr"), firstMacroFile);
    ASSERT_TRUE(p.start());
    EXPECT_EQ(p.macro.macroNames(), (std::vector<std::string>{"outer", "inner"}));
    EXPECT_EQ(p.macro.Macros()[0].explanation, cp932::literal("外側の\r\n二行目"));

    // The file in the variable-value question through its browse button, the password in the
    // password dialog.
    int asked = 0;
    executeRow(p, 0);
    p.then<CVarCondDlg>([&](CVarCondDlg& d) {
        ++asked;
        p.h.prompts().choose(QString::fromStdString(target));
        d.browseButton()->click();
        d.okButton()->click();
        return d.QDialog::result();
    });
    p.h.answerDialogs({"pw"});
    p.pick(CMainFrame::kMacroMenu);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(p.h.dialogsShown(), std::vector<std::string>{"password"});
    EXPECT_EQ(p.h.prompts().messages().back().text.toStdString(), "マクロの実行が完了しました。");

    EXPECT_EQ(p.h.snapshot(), s1);
    EXPECT_TRUE(withoutPasswordField(readFile(target)) == withoutPasswordField(recordedData))
        << "the replayed data file differs";
    EXPECT_TRUE(readFile(out.file("session.mcr")) == firstMacroFile)
        << "the replayed save wrote another macro file";
}

TEST(MacroSession, AMacroRenamedAutoOpenRunsAtTheNextStartWhenTheUserSaysYes) {
    TempDir out;
    std::string macroFile;
    {
        MacroProgram p;
        ASSERT_TRUE(p.start());
        startRecording(p);
        p.openTab(ConsolePage::Log);
        nameIt(p, "logs");
        p.then<CMacroMenuDlg>([&p](CMacroMenuDlg& d) {
            nameIt(p, "auto_open");
            d.renameButton()->click();
            d.closeButton()->click();
            return d.result();
        });
        p.pick(CMainFrame::kRecordStop);
        ASSERT_EQ(p.macro.macroNames(), std::vector<std::string>{"auto_open"});
        p.h.app().SetSaveMode(1);
        p.h.app().SetSavePath(out.file("saved.zbq"));
        ASSERT_EQ(p.h.app().SaveDataAndMacro("", 0), 1);
        macroFile = readFile(out.file("saved.mcr"));
    }
    const std::string question =
        "マクロ「auto_open」を実行します。\nマクロを実行すると、画面を一度初期化します。\n"
        "実行してよろしいですか？";
    for (const bool yes : {true, false}) {
        MacroProgram p;
        writeFile(p.h.file("fixture.mcr"), macroFile);
        if (yes) p.h.prompts().answer(ui::Answer::Yes);
        ASSERT_TRUE(p.start());
        std::vector<std::string> texts;
        for (const ui::Message& m : p.h.prompts().messages())
            texts.push_back(m.text.toStdString());
        if (yes) {
            EXPECT_EQ(texts, (std::vector<std::string>{
                                 question, "マクロ「auto_open」の実行が完了しました。"}));
            EXPECT_EQ(p.tab(), ConsolePage::Log);
        } else {
            EXPECT_EQ(texts, std::vector<std::string>{question});
            EXPECT_NE(p.tab(), ConsolePage::Log);
        }
    }
}

}  // namespace
}  // namespace zbq::test
