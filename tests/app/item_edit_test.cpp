// The item dialog: the name's 32-byte limit as typed, a longer name handed in, and the type
// choice as the combo's index in either language.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app/item_edit_dlg.h"
#include "platform/core/cp932.h"
#include "platform/ui/language.h"
#include "tests/support/in_language.h"

namespace {

// Types the characters one at a time, as a user (and an input method) would.
void type(CItemEditDlg& dialog, const QString& text) {
    for (const QString& ch : text.toUcs4().size() == text.size()
                                 ? text.split(QString(), Qt::SkipEmptyParts)
                                 : QStringList{text})
        dialog.nameEdit()->insert(ch);
}

TEST(ItemEditDlg, TypingStopsAtThirtyTwoBytesNeverInsideACharacter) {
    CItemEditDlg dialog(std::string(30, 'a'), 4);
    dialog.nameEdit()->end(false);
    type(dialog, QStringLiteral("表b"));  // 表 makes 32 bytes, b 33
    EXPECT_EQ(dialog.nameEdit()->text().toStdString(), std::string(30, 'a') + "表");
    dialog.accept();
    EXPECT_EQ(dialog.name(), std::string(30, 'a') + zbq::cp932::literal("表"));
    EXPECT_EQ(dialog.name().size(), 32u);

    CItemEditDlg odd(std::string(31, 'a'), 4);
    odd.nameEdit()->end(false);
    type(odd, QStringLiteral("表"));  // 33 bytes: refused whole
    EXPECT_EQ(odd.nameEdit()->text().size(), 31);
    type(odd, QStringLiteral("😀"));  // CP932 lacks it
    EXPECT_EQ(odd.nameEdit()->text().size(), 31);
}

TEST(ItemEditDlg, ALongerNameHandedInIsKeptUnlessEditedAndMayBeShortened) {
    const std::string longName(40, 'n');
    CItemEditDlg kept(longName, 1);
    EXPECT_EQ(kept.nameEdit()->text().size(), 40);
    kept.accept();
    EXPECT_EQ(kept.name(), longName);

    CItemEditDlg shortened(longName, 1);
    shortened.nameEdit()->end(false);
    QTest::keyClick(shortened.nameEdit(), Qt::Key_Backspace);
    type(shortened, QStringLiteral("xy"));  // back past 39: refused
    shortened.accept();
    EXPECT_EQ(shortened.name(), std::string(39, 'n'));
}

TEST(ItemEditDlg, TheTypeChoiceIsTheEntrysIndexInEitherLanguage) {
    for (const char* locale : {"ja_JP", "en_US"}) {
        const zbq::test::InLanguage language(locale);
        const bool english = zbq::ui::englishShown();
        CItemEditDlg dialog("x", 0);
        EXPECT_EQ(dialog.typeCombo()->count(), 5);
        EXPECT_EQ(dialog.typeCombo()->currentIndex(), 0);
        dialog.typeCombo()->setCurrentText(english ? QStringLiteral("Date")
                                                   : QStringLiteral("日付"));
        dialog.accept();
        EXPECT_EQ(dialog.typeChoice(), 2);
    }
    CItemEditDlg cancelled("x", 3);
    cancelled.typeCombo()->setCurrentIndex(0);
    cancelled.reject();
    EXPECT_EQ(cancelled.typeChoice(), 3);
    EXPECT_EQ(cancelled.name(), "x");
}

}  // namespace
