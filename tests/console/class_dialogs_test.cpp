// The class dialogs in their own modal loops, as the category editor's buttons open them,
// answered with the mouse and the keyboard: the fields typed into and left, the condition and
// member lists stepped with the arrow keys, the buttons clicked. What comes back to the editor
// and the steps the dialogs record, in order.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "console/class_dialogs.h"
#include "platform/core/cp932.h"
#include "platform/ui/qt_cp932.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/real_input.h"
#include "tests/support/recording_macro.h"

namespace zbq::test {
namespace {

struct ClassDialogs : ::testing::Test {
    ClassDialogs() {
        app.InitCategories(0);
        app.SetMacroPort(&macro);
        owner.resize(300, 200);
        owner.show();
    }
    ~ClassDialogs() override { app.SetMacroPort(nullptr); }

    std::vector<std::string> steps() const {
        std::vector<std::string> utf8;
        for (const std::string& step : macro.steps)
            utf8.push_back(cp932::toUtf8(step));
        return utf8;
    }

    // The focused combo's entry moved down `times` with the arrow key, as the user picks it.
    static void arrowDown(int times) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    }

    ui::ScriptedPrompts prompts;
    RecordingMacro macro;
    CKWApp app;
    QWidget owner;
};

TEST_F(ClassDialogs, SmallClassesTypedAndRegisteredComeBackWithTheirSteps) {
    std::vector<SmallClassDefinition> classes = {{"old", 0, "1", ""}};
    answerModal<CMinorCategoryDlg>([&](CMinorCategoryDlg& d) {
        typeInto(d.nameEdit(), QString::fromUtf8("若年"));
        leaveWithTab();  // into the condition list
        ASSERT_EQ(QApplication::focusWidget(), d.operatorList());
        arrowDown(3);             // from none through "=n1" and "!n1" to ">=n1"
        press(d.button("追加"));  // refused: no n1 value yet
        EXPECT_EQ(prompts.messageTexts().back(), "Ｘの値を入力して下さい");
        typeAndLeave(d.term1Combo(), QStringLiteral("30"));
        press(d.button("追加"));
        typeInto(d.nameEdit(), QString::fromUtf8("老年"));
        press(d.button("登録"));  // the focus still in the changed name
    });
    EXPECT_TRUE(RunSmallClassDialog(app, classes, &owner));
    EXPECT_EQ(classes, (std::vector<SmallClassDefinition>{{"old", 0, "1", ""},
                                                          {cp932::literal("若年"), 2, "30", ""}}));
    EXPECT_EQ(steps(),
              (std::vector<std::string>{"DispEditSmallClassDialog", "InputSmallClassName,\"若年\"",
                                        "SelectSmallClassOperater,0", "SelectSmallClassOperater,1",
                                        "SelectSmallClassOperater,2", "InputSmallClassTerm1,\"30\"",
                                        "AddSmallClass", "InputSmallClassName,\"老年\"",
                                        "OKSmallClassDialog"}));
}

// The n1 value picked from the list that drops down under its field: the pick and the field
// left behind record their steps like the rest, every one of them compared.
TEST_F(ClassDialogs, AnN1ValuePickedFromItsDropDownListIsRecordedAndKept) {
    std::vector<SmallClassDefinition> classes;
    std::string picked;
    answerModal<CMinorCategoryDlg>([&](CMinorCategoryDlg& d) {
        typeInto(d.nameEdit(), QString::fromUtf8("他"));
        pickFromList(d.operatorList(), 0);  // "=n1"
        pickFromList(d.term1Combo(), 3);
        picked = d.term1Combo()->itemText(3).toStdString();
        EXPECT_EQ(d.term1Combo()->currentText().toStdString(), picked);
        press(d.button("追加"));
        press(d.button("登録"));
    });
    EXPECT_TRUE(RunSmallClassDialog(app, classes, &owner));
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(classes, (std::vector<SmallClassDefinition>{
                           {cp932::literal("他"), 0, *ui::toCp932(QString::fromStdString(picked)),
                            ""}}));
    EXPECT_EQ(steps(), (std::vector<std::string>{"DispEditSmallClassDialog",
                                                 "InputSmallClassName,\"他\"",
                                                 "SelectSmallClassOperater,0",
                                                 "InputSmallClassTerm1,\"" + picked + "\"",
                                                 "AddSmallClass", "OKSmallClassDialog"}));
}

TEST_F(ClassDialogs, SmallClassCancelAndEscapeKeepTheClasses) {
    const std::vector<SmallClassDefinition> before = {{"A", 0, "1", ""}};
    for (const bool escape : {false, true}) {
        std::vector<SmallClassDefinition> classes = before;
        macro.steps.clear();
        answerModal<CMinorCategoryDlg>([&](CMinorCategoryDlg& d) {
            QTreeWidget* list = d.list();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->topLevelItem(0)).center());
            press(d.button("削除"));
            EXPECT_EQ(list->topLevelItemCount(), 0);
            if (escape)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else
                press(d.button("ｷｬﾝｾﾙ"));
        });
        EXPECT_FALSE(RunSmallClassDialog(app, classes, &owner)) << escape;
        EXPECT_EQ(classes, before) << escape;
        EXPECT_EQ(steps(),
                  (std::vector<std::string>{"DispEditSmallClassDialog", "DeleteSmallClass,0",
                                            "CancelSmallClassDialog"}))
            << escape;
    }
}

// A double click on a row shows its definition in the fields, with the focus in the name; the
// list is filled again as the first click selects the row, and the second click must still find
// the row it pressed.
TEST_F(ClassDialogs, ARowDoubleClickedShowsItsDefinition) {
    std::vector<SmallClassDefinition> classes = {{"A", 0, "1", ""}, {"B", 2, "30", ""}};
    answerModal<CMinorCategoryDlg>([&](CMinorCategoryDlg& d) {
        QTreeWidget* list = d.list();
        doubleClick(list->viewport(), list->visualItemRect(list->topLevelItem(1)).center());
        EXPECT_EQ(d.nameEdit()->text(), QStringLiteral("B"));
        EXPECT_EQ(d.term1Combo()->currentText(), QStringLiteral("30"));
        EXPECT_EQ(QApplication::focusWidget(), d.nameEdit());
        press(d.button("ｷｬﾝｾﾙ"));
    });
    EXPECT_FALSE(RunSmallClassDialog(app, classes, &owner));
    EXPECT_EQ(steps(), (std::vector<std::string>{"DispEditSmallClassDialog", "DispSmallClass,1",
                                                 "CancelSmallClassDialog"}));
}

TEST_F(ClassDialogs, MiddleAndLargeRowsAddedAndRegisteredOrCancelled) {
    const std::vector<std::string> choices = {"Young", "Old", "Others"};
    for (const auto level : {ClassListEditor::Level::Middle, ClassListEditor::Level::Large}) {
        const bool middle = level == ClassListEditor::Level::Middle;
        const std::string noun = middle ? "MiddleClass" : "LargeClass";
        for (const bool ok : {true, false}) {
            std::vector<ClassGrouping> rows;
            macro.steps.clear();
            answerModal<CCategoryListDlg>([&](CCategoryListDlg& d) {
                typeInto(d.nameEdit(), QStringLiteral("All"));
                leaveWithTab();  // into the member list
                ASSERT_EQ(QApplication::focusWidget(), d.memberList());
                arrowDown(2);  // from none through the first member to the second
                press(d.button("追加"));
                press(d.button(ok ? "登録" : "ｷｬﾝｾﾙ"));
            });
            EXPECT_EQ(RunClassListDialog(app, rows, choices, level, &owner), ok) << noun;
            EXPECT_EQ(rows.size(), ok ? 1u : 0u) << noun;
            const std::string member =
                middle ? "SelectMiddleClassOperator," : "SelectLargeClassOperator,";
            EXPECT_EQ(steps(),
                      (std::vector<std::string>{
                          "DispEdit" + noun + "Dialog", "Input" + noun + "Name,\"All\"",
                          member + "0", member + "1", (middle ? "AddMiddleClass" : "AddLargeClass"),
                          (ok ? "OK" : "Cancel") + noun + "Dialog"}))
                << noun;
        }
    }
}

// Enter registers, as 登録 does, from whatever field has the focus: the field's pending input
// is recorded before the dialog's OK step.
TEST_F(ClassDialogs, EnterRegistersInEachDialog) {
    std::vector<SmallClassDefinition> classes = {{"A", 0, "1", ""}};
    answerModal<CMinorCategoryDlg>([&](CMinorCategoryDlg& d) {
        typeInto(d.nameEdit(), QStringLiteral("B"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_TRUE(RunSmallClassDialog(app, classes, &owner));
    EXPECT_EQ(classes, (std::vector<SmallClassDefinition>{{"A", 0, "1", ""}}));
    EXPECT_EQ(steps(),
              (std::vector<std::string>{"DispEditSmallClassDialog", "InputSmallClassName,\"B\"",
                                        "OKSmallClassDialog"}));
    const std::vector<std::string> choices = {"Young", "Others"};
    for (const auto level : {ClassListEditor::Level::Middle, ClassListEditor::Level::Large}) {
        const std::string noun =
            level == ClassListEditor::Level::Middle ? "MiddleClass" : "LargeClass";
        std::vector<ClassGrouping> rows = {{"All", "Young"}};
        macro.steps.clear();
        answerModal<CCategoryListDlg>([&](CCategoryListDlg& d) {
            typeInto(d.nameEdit(), QStringLiteral("C"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        });
        EXPECT_TRUE(RunClassListDialog(app, rows, choices, level, &owner)) << noun;
        EXPECT_EQ(rows.size(), 1u) << noun;
        EXPECT_EQ(steps(),
                  (std::vector<std::string>{"DispEdit" + noun + "Dialog",
                                            "Input" + noun + "Name,\"C\"", "OK" + noun + "Dialog"}))
            << noun;
    }
}

}  // namespace
}  // namespace zbq::test
