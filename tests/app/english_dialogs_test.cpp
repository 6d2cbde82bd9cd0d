// The import, item and password dialogs in the language in force: their captions in English and
// unchanged in Japanese, the item list's type in each, and a dialog answered in English through
// its own modal loop. What the dialogs hand back is the same in both languages.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/excel_read_dlg.h"
#include "app/item_edit_dlg.h"
#include "app/login_dlg.h"
#include "app/password_dlg.h"
#include "app/text_read_dlg.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/in_language.h"
#include "tests/support/real_input.h"

namespace zbq::test {
namespace {

TEST(EnglishDialogs, EachDialogShowsItsEnglishAndItsJapaneseUnchanged) {
    AppHarness h;
    std::ofstream(h.file("a.txt"), std::ios::binary) << "name\tscore\n1\t2\n";
    using Case = ShownCaptions;
    const Case cases[] = {
        {"text import",
         [&] {
             auto dialog = std::make_unique<CTextReadDlg>(h.app(), std::vector{h.file("a.txt")});
             dialog->fileList()->topLevelItem(0)->setSelected(true);
             dialog->button(1074)->click();
             return dialog;
         },
         {"Text file read", "Text file", "Delete", "Up", "Down", "Read", "ZEBRINE Title",
          "ZEBRINE Column definition", "Update", "OK", "Cancel", "Item name", "Item type",
          "String"},
         {"テキストファイル読込", "テキストファイル", "削除", "上に移動", "下に移動", "項目設定",
          "ZEBRINE タイトル", "ZEBRINE 項目定義", "編集", "ｷｬﾝｾﾙ", "項目名", "項目タイプ",
          "文字列"}},
        {"Excel import",
         [&] {
             return std::make_unique<CExcelReadDlg>(h.app(), std::vector<std::string>{}, false);
         },
         {"Excel file read", "Excel file", "Sheet name", "Delete", "Up", "Down", "Read", "Next row",
          "Update", "ZEBRINE Title", "ZEBRINE Column definition", "Cancel"},
         {"Excelファイル読込", "Excelファイル", "シート名", "削除", "上に移動", "下に移動",
          "項目設定", "次行", "編集", "ZEBRINE タイトル", "ZEBRINE 項目定義", "ｷｬﾝｾﾙ"}},
        {"item edit",
         [] { return std::make_unique<CItemEditDlg>("x", 0); },
         {"Colomn infomation", "Name :", "Type :", "OK", "Cancel"},
         {"項目編集", "名前　：", "型　：", "OK", "ｷｬﾝｾﾙ"}},
        {"log-in",
         [] { return std::make_unique<CLoginDlg>(); },
         {"Log in", "File name : ", "Password:", "OK", "Cancel"},
         {"ログイン", "ファイル名 : ", "パスワード(&P):", "OK(&O)", "ｷｬﾝｾﾙ"}},
        {"password",
         [] { return std::make_unique<CPasswordDlg>(); },
         {"Enter password", "Enter up to 15 characters", "OK", "Cancel"},
         {"パスワード入力", "入力は半角英数１５文字以内で", "OK", "ｷｬﾝｾﾙ"}},
    };
    expectShownInBothLanguages(cases);
}

// The small dialogs' titles ("Colomn infomation", "Enter password") are shown whole beside the
// window manager's boxes.
TEST(EnglishDialogs, TheSmallDialogsTitlesFitTheirWindows) {
    for (const char* locale : {"en_US", "ja_JP"}) {
        const InLanguage language(locale);
        CItemEditDlg item("x", 0);
        CPasswordDlg password;
        CLoginDlg login;
        for (const QDialog* dialog :
             std::initializer_list<const QDialog*>{&item, &password, &login})
            EXPECT_GE(roomBesideTitle(*dialog), 100)
                << locale << ": " << dialog->windowTitle().toStdString();
    }
}

// The item dialog run through its own modal loop in English: the type chosen by its English
// name is the same choice, and the import keeps the Japanese caption it writes and records.
TEST(EnglishDialogs, AnItemEditedInEnglishKeepsTheChoiceItsCaptionStands) {
    AppHarness h;
    std::ofstream(h.file("a.txt"), std::ios::binary) << "name\tscore\n1\t2\n";
    const InLanguage english("en_US");
    CTextReadDlg dialog(h.app(), {h.file("a.txt")});
    dialog.fileList()->topLevelItem(0)->setSelected(true);
    dialog.button(1074)->click();
    dialog.itemList()->topLevelItem(1)->setSelected(true);
    answerModal<CItemEditDlg>([](CItemEditDlg& edit) {
        typeInto(edit.nameEdit(), QStringLiteral("points"));
        pickFromList(edit.typeCombo(), edit.typeCombo()->findText(QStringLiteral("Date")));
        press(buttonOf(edit, QStringLiteral("OK")));
    });
    press(dialog.button(1105));
    ASSERT_EQ(dialog.model().items().size(), 2u);
    EXPECT_EQ(dialog.model().items()[1].name, "points");
    EXPECT_EQ(dialog.model().items()[1].typeChoice, 2);
    EXPECT_EQ(dialog.itemList()->topLevelItem(1)->text(2), QStringLiteral("Date"));
}

}  // namespace
}  // namespace zbq::test
