// The main dialog offscreen with the scripted Prompts and the modal runner: start-up messages,
// enabling, the commands and their questions, saving and its failures.
#include "platform/ui/desktop_opener.h"
#include "platform/ui/modal_runner.h"
#include "settingstool/about_dlg.h"
#include "settingstool/in_place_text_edit.h"
#include "settingstool/no_comma_edit.h"
#include "settingstool/print_format_dlg.h"
#include "settingstool/print_format_list.h"
#include "settingstool/settings_dlg.h"
#include "tests/settingstool/settings_fixture.h"
#include "tests/support/ordinary_user.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace zbq::settings {
namespace {

using test::iniBytes;
using test::sjis;
using ui::Answer;
using ui::Icon;

const std::string kIni = iniBytes({
    "[image]",
    "path=/srv/画像",
    "[print]",
    "prt01=3,売上,uriage.xlsx",
    "prt02=1,顧客,kokyaku.xlsx",
    "[OLAP]",
    "NODATA=-",
});

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.start(folder.iniPath())); }

    QPushButton* button(const char* name) { return dialog.findChild<QPushButton*>(name); }
    QAction* menuItem(const QString& text) {
        for (QAction* action : dialog.findChildren<QAction*>())
            if (action->text() == text) return action;
        return nullptr;
    }
    const ui::Message& lastMessage() { return folder.prompts.messages().back(); }

    test::ToolFolder folder{kIni};
    CSettingsDlg dialog;
};

TEST_F(SettingsDialog, ShowsTheLinkFolderAndTheEntries) {
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("環境設定ツール"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("linkFolder")->text(), QString::fromUtf8("/srv/画像"));
    ASSERT_EQ(dialog.list()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.list()->topLevelItem(0)->text(1), QString::fromUtf8("売上"));
    EXPECT_EQ(dialog.list()->headerItem()->text(2), QString::fromUtf8("ﾏｸﾛﾌｧｲﾙ名"));
    EXPECT_TRUE(folder.prompts.messages().empty());
}

TEST_F(SettingsDialog, SaveNeedsAFolderEditAndDeleteNeedASelection) {
    EXPECT_TRUE(button("save")->isEnabled());
    EXPECT_FALSE(button("edit")->isEnabled());
    EXPECT_FALSE(button("delete")->isEnabled());
    EXPECT_FALSE(menuItem(QString::fromUtf8("編集(&E)"))->isEnabled());
    dialog.list()->selectRow(1);
    EXPECT_TRUE(button("edit")->isEnabled());
    EXPECT_TRUE(button("delete")->isEnabled());
    EXPECT_TRUE(menuItem(QString::fromUtf8("削除(&D)"))->isEnabled());

    dialog.model().setLinkFolder("");
    dialog.updateControls();
    EXPECT_FALSE(button("save")->isEnabled());
    EXPECT_FALSE(menuItem(QString::fromUtf8("保存(&S)\tCtrl+S"))->isEnabled());
}

TEST(SettingsDialogStart, MissingFileIsReportedWithItsPath) {
    test::ToolFolder folder{""};
    const std::string missing = folder.dir.file("none/ZBQ.ini");
    CSettingsDlg dialog;
    EXPECT_FALSE(dialog.start(missing));
    ASSERT_EQ(folder.prompts.messages().size(), 1u);
    EXPECT_EQ(folder.prompts.messages()[0].text,
              QString::fromUtf8("ﾌｧｲﾙ \"%1\" は存在しません。\nｱﾌﾟﾘｹｰｼｮﾝを終了します。")
                  .arg(QString::fromStdString(missing)));
    EXPECT_EQ(folder.prompts.messages()[0].icon, Icon::Error);
}

TEST(SettingsDialogStart, RefusedEntriesAreReportedOneByOneWithKeyAndValue) {
    test::ToolFolder folder{iniBytes({"[image]", "path=/a", "[print]", "prt01=1,a,a.xls",
                                      "prt02=1,b,b.xls", "prt03=ｶﾝﾏなし"}),
                            QLocale(QLocale::English)};
    CSettingsDlg dialog;
    ASSERT_TRUE(dialog.start(folder.iniPath()));
    EXPECT_EQ(dialog.list()->topLevelItemCount(), 1);
    ASSERT_EQ(folder.prompts.messages().size(), 2u);
    EXPECT_EQ(folder.prompts.messages()[0].text,
              "Keys with duplicate numbers exist in print format section.\nDeleting from "
              "displayed items.\n\nprt02 : 1,b,b.xls");
    EXPECT_EQ(folder.prompts.messages()[1].text,
              QString::fromUtf8("Invalid key exists in print format section.\nDeleting from "
                                "displayed items.\n\nprt03 : ｶﾝﾏなし"));
    EXPECT_EQ(folder.prompts.messages()[1].caption, "Environment Setting Tool");
    EXPECT_EQ(folder.prompts.messages()[1].icon, Icon::Information);
}

TEST_F(SettingsDialog, AddAppendsTheEntryAndSelectsIt) {
    ui::ScopedModalHook hook([&](QDialog& d) {
        auto& entry = dynamic_cast<CPrintFormatDlg&>(d);
        EXPECT_EQ(entry.findChild<QComboBox*>("number")->currentText(), "2");
        entry.findChild<CNoCommaEdit*>("menuName")->setText(QString::fromUtf8("在庫"));
        folder.prompts.choose(QString("/t/zaiko.xlsx"));
        entry.browse();
        folder.prompts.answer(Answer::Yes);
        entry.accept();
        return entry.result();
    });
    button("add")->click();
    EXPECT_EQ(hook.calls(), 1);
    ASSERT_EQ(dialog.model().table().size(), 3);
    EXPECT_EQ(dialog.model().table().row(2), (PrintFormatRow{"2", sjis("在庫"), "/t/zaiko.xlsx"}));
    EXPECT_EQ(dialog.list()->selectedRow(), 2);
}

TEST_F(SettingsDialog, AddIsRefusedAtNinetyNineRows) {
    for (int n = 4; dialog.model().table().size() < 99; ++n)
        dialog.model().table().append({decimalText(n), "m", "m.xls"});
    ui::ScopedModalHook hook([](QDialog&) { return int(QDialog::Rejected); });
    dialog.add();
    EXPECT_EQ(hook.calls(), 0);
    EXPECT_EQ(lastMessage().text,
              QString::fromUtf8("定型印刷項目を99項目以上作成することはできません。"));
    EXPECT_EQ(lastMessage().icon, Icon::Information);
}

TEST_F(SettingsDialog, EditReplacesTheSelectedRow) {
    dialog.edit();
    EXPECT_EQ(lastMessage().text, QString::fromUtf8("編集する項目を選択してください。"));

    dialog.list()->selectRow(0);
    ui::ScopedModalHook hook([&](QDialog& d) {
        auto& entry = dynamic_cast<CPrintFormatDlg&>(d);
        EXPECT_TRUE(entry.isEditMode());
        auto* number = entry.findChild<QComboBox*>("number");
        EXPECT_EQ(number->currentText(), "3");
        EXPECT_EQ(number->findText("1"), -1);
        number->setCurrentIndex(number->findText("4"));
        folder.prompts.answer(Answer::Yes);
        entry.accept();
        return entry.result();
    });
    dialog.edit();
    EXPECT_EQ(dialog.model().table().row(0), (PrintFormatRow{"4", sjis("売上"), "uriage.xlsx"}));
    EXPECT_EQ(dialog.list()->topLevelItem(0)->text(0), "4");
}

TEST_F(SettingsDialog, DeleteAsksAndSelectsTheRowBefore) {
    dialog.remove();
    EXPECT_EQ(lastMessage().text, QString::fromUtf8("削除する項目を選択してください。"));

    dialog.list()->selectRow(1);
    folder.prompts.answer(Answer::No);
    button("delete")->click();
    EXPECT_EQ(dialog.model().table().size(), 2);
    EXPECT_EQ(lastMessage().text, QString::fromUtf8("この項目を削除してもよろしいですか？"));
    EXPECT_EQ(lastMessage().buttons, ui::Buttons::YesNo);

    folder.prompts.answer(Answer::Yes);
    button("delete")->click();
    ASSERT_EQ(dialog.model().table().size(), 1);
    EXPECT_EQ(dialog.list()->selectedRow(), 0);
    folder.prompts.answer(Answer::Yes);
    dialog.remove();  // the first row: nothing left to select
    EXPECT_EQ(dialog.model().table().size(), 0);
    EXPECT_EQ(dialog.list()->selectedRow(), -1);
    EXPECT_FALSE(button("delete")->isEnabled());
    EXPECT_EQ(folder.prompts.unanswered(), 0);
}

TEST_F(SettingsDialog, SaveWritesThenAsksWhetherToExit) {
    dialog.show();
    dialog.model().table().remove(1);
    folder.prompts.answer(Answer::No);
    button("save")->click();
    EXPECT_EQ(folder.ini(), iniBytes({"[image]", "path=/srv/画像", "[print]",
                                      "prt01=3,売上,uriage.xlsx", "[OLAP]", "NODATA=-"}));
    EXPECT_EQ(
        lastMessage().text,
        QString::fromUtf8("ZEBRINE 環境設定の設定が完了しました。\n\nｱﾌﾟﾘｹｰｼｮﾝを終了しますか？"));
    EXPECT_TRUE(dialog.isVisible());

    folder.prompts.answer(Answer::Yes);
    QTest::keyClick(&dialog, Qt::Key_Return);  // Enter is Save
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SettingsDialog, EnterInTheListEditorCommitsWithoutSaving) {
    dialog.show();
    const std::string before = folder.ini();
    dialog.list()->editCell(0, kMenuNameColumn);
    auto* edit = qobject_cast<CInPlaceTextEdit*>(dialog.list()->editor());
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "x");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.model().table().row(0).menuName, "x");
    EXPECT_EQ(folder.ini(), before);
    EXPECT_TRUE(folder.prompts.messages().empty());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SettingsDialog, SaveWithoutFolderWritesNothing) {
    dialog.model().setLinkFolder("");
    dialog.save();
    EXPECT_EQ(folder.ini(), kIni);
    EXPECT_EQ(lastMessage().text,
              QString::fromUtf8("連携ﾌｫﾙﾀﾞが選択されていません。\n\n"
                                "画面右上の参照ﾎﾞﾀﾝを押し、ﾌｫﾙﾀﾞを選択してください。"));
}

TEST_F(SettingsDialog, FailedSaveShowsTheErrorAndKeepsTheOldFile) {
    dialog.show();
    dialog.model().table().remove(0);
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = old;
    tiny.rlim_cur = 8;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    dialog.save();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(folder.ini(), kIni);
    ASSERT_EQ(folder.prompts.messages().size(), 1u);
    EXPECT_TRUE(lastMessage().text.startsWith(
        QString::fromUtf8("初期化ﾌｧｲﾙの編集中にｴﾗｰが発生しました。\n\n")));
    EXPECT_GT(lastMessage().text.size(), 25);  // the system's text follows
    EXPECT_EQ(lastMessage().icon, Icon::Error);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SettingsDialog, ReadOnlyFileShowsTheErrorAndIsKept) {
    dialog.show();
    dialog.model().table().remove(0);
    ASSERT_EQ(::chmod(folder.iniPath().c_str(), 0444), 0);
    {
        zbq::test::AsOrdinaryUser user{folder.dir.path(), folder.iniPath()};
        ASSERT_TRUE(user.ok());
        dialog.save();
    }
    EXPECT_EQ(folder.ini(), kIni);
    ASSERT_EQ(folder.prompts.messages().size(), 1u);
    EXPECT_EQ(lastMessage().text, QString::fromUtf8("初期化ﾌｧｲﾙの編集中にｴﾗｰが発生しました。\n\n") +
                                      QString::fromLocal8Bit(std::strerror(EACCES)));
    EXPECT_EQ(lastMessage().icon, Icon::Error);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SettingsDialog, BrowseSetsTheFolderCancelKeepsIt) {
    folder.prompts.choose(std::nullopt);
    button("browse")->click();
    EXPECT_EQ(dialog.model().linkFolder(), sjis("/srv/画像"));
    const ui::Chooser& chooser = folder.prompts.choosers()[0];
    EXPECT_EQ(chooser.kind, ui::ChooserKind::Folder);
    EXPECT_EQ(chooser.title, QString::fromUtf8("連携ﾌｧｲﾙの存在するﾌｫﾙﾀﾞを選択してください。"));
    EXPECT_EQ(chooser.start, QString::fromUtf8("/srv/画像"));

    folder.prompts.choose(QString::fromUtf8("/data/添付"));
    menuItem(QString::fromUtf8("連携ﾌｫﾙﾀﾞ参照(&R)"))->trigger();
    EXPECT_EQ(dialog.model().linkFolder(), sjis("/data/添付"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("linkFolder")->text(), QString::fromUtf8("/data/添付"));

    folder.prompts.choose(QString::fromUtf8("/data/😀"));  // CP932 cannot store it
    dialog.browse();
    EXPECT_EQ(dialog.model().linkFolder(), sjis("/data/添付"));
    EXPECT_EQ(lastMessage().icon, Icon::Information);
}

TEST_F(SettingsDialog, HelpOpensTheFileNamedAfterTheProgram) {
    ui::ScriptedOpener opener(true);
    menuItem(QString::fromUtf8("ﾍﾙﾌﾟ(&H)\tCtrl+H"))->trigger();
    ASSERT_EQ(opener.opened().size(), 1u);
    const QString expected = QString::fromStdString(folder.dir.path()) + "/" +
                             QCoreApplication::applicationName() + ".chm";
    EXPECT_EQ(opener.opened()[0], expected);
    EXPECT_TRUE(folder.prompts.messages().empty());

    opener.setResult(false);
    dialog.help();
    EXPECT_EQ(lastMessage().text, QString::fromUtf8("ﾍﾙﾌﾟﾌｧｲﾙの表示に失敗しました。"));
    EXPECT_EQ(lastMessage().icon, Icon::Error);
}

TEST_F(SettingsDialog, CloseLeavesWithoutSavingOrAsking) {
    dialog.show();
    dialog.model().table().remove(0);
    button("close")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(folder.ini(), kIni);
    EXPECT_TRUE(folder.prompts.messages().empty());
}

TEST_F(SettingsDialog, AboutRunsThroughTheModalRunner) {
    QString shown;
    ui::ScopedModalHook hook([&](QDialog& d) {
        EXPECT_NE(dynamic_cast<CAboutDlg*>(&d), nullptr);
        for (QLabel* label : d.findChildren<QLabel*>())
            shown += label->text();
        return int(QDialog::Accepted);
    });
    menuItem(QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報(&A)"))->trigger();
    EXPECT_EQ(hook.calls(), 1);
    EXPECT_TRUE(shown.contains(QString::fromUtf8("環境設定ツール   Version 1.0")));
}

}  // namespace
}  // namespace zbq::settings
