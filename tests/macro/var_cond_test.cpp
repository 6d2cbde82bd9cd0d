// The variable-value question: its layout with and without a browse button, each browse mode's
// chooser, the stored form of the chosen path, and what OK, Escape and the edit refuse.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "macro/var_cond_dlg.h"
#include "platform/ui/modal_runner.h"
#include "tests/macro/macro_fixture.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

class VarCond : public MacroTest {};

TEST_F(VarCond, APlainValueHasNoBrowseButtonAndAWiderEdit) {
    CVarCondDlg plain(app, QStringLiteral("[x]: value"), -1);
    CVarCondDlg file(app, QStringLiteral("[x]: file"), 1);
    EXPECT_EQ(plain.promptLabel()->text().toStdString(), "[x]: value");
    EXPECT_TRUE(plain.browseButton()->isHidden());
    EXPECT_FALSE(file.browseButton()->isHidden());
    EXPECT_EQ(plain.valueEdit()->width(), file.valueEdit()->width() + 40);
    EXPECT_EQ(plain.valueEdit()->geometry().topLeft(), file.valueEdit()->geometry().topLeft());
    EXPECT_TRUE(plain.valueEdit()->isEnabled());
    EXPECT_FALSE(file.valueEdit()->isEnabled()) << "a file comes from the chooser alone";
    EXPECT_EQ(plain.windowTitle().toStdString(), "可変条件の入力");
}

TEST_F(VarCond, EachBrowseModeOpensItsChooserAndAddsItsExtension) {
    TempDir dir;
    struct Case {
        int mode;
        ui::ChooserKind kind;
        const char* filter;
        const char* start;
        const char* chosen;
        const char* stored;
    };
    const Case cases[] = {
        {1, ui::ChooserKind::SaveFile, "CSVファイル(*.csv);;TEXTファイル(*.txt)", "", "out",
         "out.csv"},
        {1, ui::ChooserKind::SaveFile, "CSVファイル(*.csv);;TEXTファイル(*.txt)", "", "out.txt",
         "out.txt"},
        {2, ui::ChooserKind::SaveFile, "ZBQﾌｧｲﾙ (*.zbq)", "*.zbq", "データ", "データ.zbq"},
        {3, ui::ChooserKind::OpenFile, "Excelファイル (*.xls *.xlsx)", "", "book.xlsx",
         "book.xlsx"},
        {4, ui::ChooserKind::OpenFile, "ｶﾃｺﾞﾘﾌｧｲﾙ (*.ctg)", "*.ctg", "in", "in.ctg"},
        {5, ui::ChooserKind::SaveFile, "ｶﾃｺﾞﾘﾌｧｲﾙ (*.ctg)", "*.ctg", "out.ctg", "out.ctg"},
    };
    for (const Case& c : cases) {
        prompts.clear();
        CVarCondDlg dialog(app, QStringLiteral("p"), c.mode);
        const std::string chosen = dir.file(c.chosen);
        prompts.choose(QString::fromStdString(chosen));
        dialog.browseButton()->click();
        ASSERT_EQ(prompts.choosers().size(), 1u) << c.mode;
        EXPECT_EQ(prompts.choosers()[0].kind, c.kind) << c.mode;
        EXPECT_EQ(prompts.choosers()[0].filter.toStdString(), c.filter) << c.mode;
        EXPECT_EQ(prompts.choosers()[0].start.toStdString(), c.start) << c.mode;
        const std::string expected = dir.file(c.stored);
        EXPECT_EQ(dialog.valueEdit()->text().toStdString(), expected) << c.mode;
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), *cp932::pathToStored(expected)) << c.mode;
        EXPECT_EQ(dialog.QDialog::result(), QDialog::Accepted);
    }
}

TEST_F(VarCond, ACancelledChooserOrAPathCp932LacksLeavesTheEdit) {
    CVarCondDlg dialog(app, QStringLiteral("p"), 2);
    prompts.choose(QStringLiteral("/tmp/first.zbq"));
    dialog.browseButton()->click();
    prompts.choose(std::nullopt);
    dialog.browseButton()->click();
    EXPECT_EQ(dialog.valueEdit()->text().toStdString(), "/tmp/first.zbq");
    prompts.choose(QString::fromUtf8("/tmp/한.zbq"));
    dialog.browseButton()->click();
    EXPECT_EQ(lastMessage(), "ファイル名に使用できない文字が含まれています。");
    EXPECT_EQ(dialog.valueEdit()->text().toStdString(), "/tmp/first.zbq");
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), "/tmp/first.zbq");

    // A long path is taken whole: cut, it would name another file.
    CVarCondDlg longPath(app, QStringLiteral("p"), 2);
    const std::string path = "/tmp/" + std::string(300, 'a') + ".zbq";
    prompts.choose(QString::fromStdString(path));
    longPath.browseButton()->click();
    longPath.okButton()->click();
    EXPECT_EQ(longPath.result(), path);
}

TEST_F(VarCond, OkRefusesAnEmptyValueAndEscapeAnswersEmpty) {
    CVarCondDlg dialog(app, QStringLiteral("p"), -1);
    dialog.okButton()->click();
    EXPECT_EQ(lastMessage(), "入力して下さい｡");
    EXPECT_EQ(dialog.QDialog::result(), QDialog::Rejected);
    EXPECT_EQ(dialog.result(), "");

    CVarCondDlg file(app, QStringLiteral("p"), 3);
    file.okButton()->click();
    EXPECT_EQ(prompts.messages().size(), 2u) << "a file not chosen is empty too";

    // The asker on the main window: Escape gives "", OK the typed value in CP932.
    ui::ScopedModalHook hook([](QDialog& d) {
        auto& question = dynamic_cast<CVarCondDlg&>(d);
        if (question.promptLabel()->text() == QStringLiteral("escape")) {
            QTest::keyClick(&question, Qt::Key_Escape);
            return question.QDialog::result();
        }
        question.valueEdit()->setText(QString::fromUtf8("東京"));
        question.okButton()->click();
        return question.QDialog::result();
    });
    VarCondAsker asker(app);
    EXPECT_EQ(asker.askMacroParameter("escape", -1), "");
    EXPECT_EQ(asker.askMacroParameter("value", -1), cp932::literal("東京"));
}

TEST_F(VarCond, TheEditTakes256CharactersCp932Holds) {
    CVarCondDlg dialog(app, QStringLiteral("p"), -1);
    QLineEdit* edit = dialog.valueEdit();
    QTest::keyClicks(edit, QString(256, QLatin1Char('x')));
    QTest::keyClicks(edit, "y");
    EXPECT_EQ(edit->text().size(), 256);
    edit->clear();
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString::fromUtf8("한"),
                        Qt::NoModifier);
    QTest::keyClicks(edit, "ok");
    EXPECT_EQ(edit->text().toStdString(), "ok");
}

}  // namespace
}  // namespace zbq::test
