// The entry dialog offscreen: the free-number choice, the comma-refusing menu name (typed and
// pasted), browsing for the macro file and the checks of OK.
#include "settingstool/no_comma_edit.h"
#include "settingstool/print_format_dlg.h"
#include "settingstool/string_ids.h"
#include "settingstool/tool_strings.h"
#include "tests/settingstool/settings_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zbq::settings {
namespace {

using test::sjis;
using ui::Answer;
using ui::Icon;

class EntryDialog : public ::testing::Test {
protected:
    test::ToolFolder folder{test::iniBytes({"[image]", "path=/a"})};

    static QComboBox* number(QDialog& d) { return d.findChild<QComboBox*>("number"); }
    static CNoCommaEdit* menuName(QDialog& d) { return d.findChild<CNoCommaEdit*>("menuName"); }
    static QLineEdit* macroFile(QDialog& d) { return d.findChild<QLineEdit*>("macroFile"); }
    static void click(QDialog& d, const char* button) {
        d.findChild<QPushButton*>(button)->click();
    }
    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& m : folder.prompts.messages())
            texts << m.text;
        return texts;
    }
};

TEST_F(EntryDialog, AddModeOffersFreeNumbersWithTheSmallestChosen) {
    CPrintFormatDlg dialog({1, 2, 4});
    EXPECT_FALSE(dialog.isEditMode());
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("定型印刷 － 追加画面"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("ok")->text(), QString::fromUtf8("追加"));
    ASSERT_EQ(number(dialog)->count(), 96);
    EXPECT_EQ(number(dialog)->itemText(0), "3");
    EXPECT_EQ(number(dialog)->itemText(1), "5");
    EXPECT_EQ(number(dialog)->itemText(95), "99");
    EXPECT_EQ(number(dialog)->currentText(), "3");
}

TEST_F(EntryDialog, EditModeOffersItsOwnNumberAmongTheFreeOnes) {
    CPrintFormatDlg dialog({1, 5, 7}, 5, sjis("売上"), "uriage.xlsx");
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("定型印刷 － 編集画面"));
    EXPECT_EQ(number(dialog)->currentText(), "5");
    EXPECT_EQ(number(dialog)->findText("1"), -1);
    EXPECT_EQ(number(dialog)->findText("7"), -1);
    EXPECT_EQ(number(dialog)->count(), 97);
    EXPECT_EQ(menuName(dialog)->text(), QString::fromUtf8("売上"));
    EXPECT_EQ(macroFile(dialog)->text(), "uriage.xlsx");
}

TEST_F(EntryDialog, TypedCommaBeepsAndChangesNothing) {
    CPrintFormatDlg dialog({});
    QTest::keyClicks(menuName(dialog), "ab,c");
    EXPECT_EQ(menuName(dialog)->text(), "abc");
    EXPECT_EQ(folder.prompts.beeps(), 1);
    EXPECT_TRUE(folder.prompts.messages().empty());
}

TEST_F(EntryDialog, PastedCommaIsRefusedAndTheOldTextComesBackSelected) {
    CPrintFormatDlg dialog({});
    CNoCommaEdit* edit = menuName(dialog);
    test::typeText(edit, QString::fromUtf8("売上"));
    QApplication::clipboard()->setText("x,y");
    edit->paste();
    EXPECT_EQ(edit->text(), QString::fromUtf8("売上"));
    EXPECT_EQ(edit->selectedText(), QString::fromUtf8("売上"));
    ASSERT_EQ(folder.prompts.messages().size(), 1u);
    const auto& message = folder.prompts.messages()[0];
    EXPECT_EQ(message.text, QString::fromUtf8("ﾒﾆｭｰ名に「 , 」を含むことはできません。"));
    EXPECT_EQ(message.caption, QString::fromUtf8("環境設定ツール"));
    EXPECT_EQ(message.icon, Icon::Information);

    QApplication::clipboard()->setText("ok");
    edit->paste();
    EXPECT_EQ(edit->text(), "ok");  // the paste replaced the selection
}

// A file chosen outside the program folder is kept with its whole path, so ZBQ finds it.
TEST_F(EntryDialog, BrowseKeepsAFileOutsideTheProgramFolderWhole) {
    CPrintFormatDlg dialog({});
    folder.prompts.choose(QString::fromUtf8("/home/u/帳票/月次,集計.xlsx"));
    folder.prompts.choose(std::nullopt);
    click(dialog, "browse");
    EXPECT_EQ(macroFile(dialog)->text(), QString::fromUtf8("/home/u/帳票/月次,集計.xlsx"));
    click(dialog, "browse");  // cancelled: unchanged
    EXPECT_EQ(macroFile(dialog)->text(), QString::fromUtf8("/home/u/帳票/月次,集計.xlsx"));

    ASSERT_EQ(folder.prompts.choosers().size(), 2u);
    const ui::Chooser& chooser = folder.prompts.choosers()[0];
    EXPECT_EQ(chooser.kind, ui::ChooserKind::OpenFile);
    EXPECT_EQ(chooser.caption, QString::fromUtf8("環境設定ツール"));
    EXPECT_EQ(chooser.title, QString::fromUtf8("ﾏｸﾛﾌｧｲﾙを選択してください。"));
    EXPECT_EQ(chooser.start, QString::fromStdString(folder.dir.path() + "/temp"));
}

TEST_F(EntryDialog, OkChecksNameFileAndStorabilityThenAsks) {
    CPrintFormatDlg dialog({1, 2, 4});
    dialog.show();
    click(dialog, "ok");
    menuName(dialog)->setText(QString::fromUtf8("売上 😀"));
    click(dialog, "ok");
    folder.prompts.choose(QString("/x/uriage.xlsx"));
    click(dialog, "browse");
    click(dialog, "ok");
    menuName(dialog)->setText(QString::fromUtf8("売上明細"));
    folder.prompts.answer(Answer::No);
    click(dialog, "ok");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    number(dialog)->setCurrentIndex(number(dialog)->findText("12"));
    folder.prompts.answer(Answer::Yes);
    click(dialog, "ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.entry(), (PrintFormatRow{"12", sjis("売上明細"), "/x/uriage.xlsx"}));

    EXPECT_EQ(
        messageTexts(),
        (QStringList{QString::fromUtf8("ﾒﾆｭｰ名が未記入です"),
                     QString::fromUtf8("ﾏｸﾛﾌｧｲﾙ名が未記入です"),
                     QString::fromUtf8("ZBQ.ini に保存できない文字が含まれています。\n\n売上 😀"),
                     QString::fromUtf8("この定型印刷を追加しますか？"),
                     QString::fromUtf8("この定型印刷を追加しますか？")}));
    EXPECT_EQ(folder.prompts.messages()[3].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(folder.prompts.messages()[3].icon, Icon::Question);
}

TEST_F(EntryDialog, EditAsksToUpdateAndWritesTheNumberPlain) {
    CPrintFormatDlg dialog({5}, 5, sjis("売上"), "u.xlsx");
    folder.prompts.answer(Answer::Yes);
    click(dialog, "ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.entry(), (PrintFormatRow{"5", sjis("売上"), "u.xlsx"}));
    EXPECT_EQ(folder.prompts.messages().back().text,
              QString::fromUtf8("この定型印刷を更新しますか？"));
}

TEST_F(EntryDialog, EntryNumberedOutsideTheListKeepsItsNumberWhenNoneIsChosen) {
    CPrintFormatDlg dialog({150}, 150, "a", "a.xls");
    EXPECT_EQ(number(dialog)->currentIndex(), -1);
    folder.prompts.answer(Answer::Yes);
    click(dialog, "ok");
    EXPECT_EQ(dialog.entry().number, "150");
}

}  // namespace
}  // namespace zbq::settings
