// The macro name dialog: what its edit lets be typed (64 CP932 bytes, CP932's characters only)
// and what OK accepts (not another macro's name; its own; nothing for an empty name).
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "macro/macro_name_dlg.h"
#include "tests/macro/macro_fixture.h"

namespace zbq::test {
namespace {

// Types each character of `text` as a key press carrying it (a surrogate pair as one).
void type(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
        i += n - 1;
    }
}

class NameDialog : public MacroTest {
protected:
    NameDialog() {
        macro.AddMacro("first", "", {"DispConsole"});
        macro.AddMacro("second", "", {"DispConsole"});
    }
};

TEST_F(NameDialog, TheEditTakes64Cp932BytesOfCharactersCp932Holds) {
    CMacroNameDlg dialog(macro, "", -1);
    QLineEdit* edit = dialog.nameEdit();
    const QString two = QString::fromUtf8("名");
    for (int i = 0; i < 32; ++i)
        type(edit, two);
    EXPECT_EQ(edit->text(), two.repeated(32));
    type(edit, two);
    type(edit, QStringLiteral("a"));
    EXPECT_EQ(edit->text(), two.repeated(32)) << "a 33rd character passed 64 bytes";

    edit->clear();
    type(edit, QString::fromUtf8("a😀b한c"));
    EXPECT_EQ(edit->text().toStdString(), "abc");
}

TEST_F(NameDialog, OkRefusesAnotherMacrosNameAndTakesItsOwn) {
    struct Case {
        const char* typed;
        int excluded;
        bool accepted;
        std::vector<std::string> messages;
    };
    const std::string taken = "同名のマクロが既に存在します。マクロ名を変更して下さい。";
    const Case cases[] = {
        {"second", 1, true, {}},        // its own name
        {"second", 0, false, {taken}},  // another's
        {"Second", 0, true, {}},        // case counts
        {"", 0, false, {}},             // silently kept open
        {"名前", -1, true, {}},
    };
    for (const Case& c : cases) {
        prompts.clear();
        CMacroNameDlg dialog(macro, "first", c.excluded);
        EXPECT_EQ(dialog.nameEdit()->text().toStdString(), "first");
        dialog.nameEdit()->setText(QString::fromUtf8(c.typed));
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(messages(), c.messages) << c.typed;
        if (c.accepted) {
            EXPECT_EQ(dialog.name(), cp932::literal(c.typed));
        }
    }
}

}  // namespace
}  // namespace zbq::test
