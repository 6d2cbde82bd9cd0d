// The class dialogs as the category editor's buttons open them, modally through the modal
// runner: what they offer and what OK and Cancel leave in the editor's definition; and the
// typing limits of the dialogs' name field and the cross-tab page's percentage.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/class_dialogs.h"
#include "console/up_down_edit.h"
#include "platform/core/cp932.h"
#include "platform/ui/modal_runner.h"
#include "tests/console/olap_fixture.h"

namespace zbq::test {
namespace {

struct Editor : OlapScreen {
    Editor() {
        CategoryDefinition d;
        d.name = "D";
        d.valueType = 1;
        d.smallClasses = {
            {"A", 0, "1", ""}, {"B", 0, "2", ""}, {"A", 0, "3", ""}, {"C", 0, "4", ""}};
        s_list = {app.GetCategoryList()[0], d};
        app.SetCategoryList(s_list);
        app.ResetCategorySet();
        editor = console->OlapFrame()->editor();
        editor->LoadCategory(1);
        prompts.clear();  // the load's check of the repeated name
    }
    const CategoryDefinition& edited() const { return editor->model().definition(); }
    std::vector<CategoryDefinition> s_list;
    COlapFormView* editor = nullptr;
};

std::vector<std::string> entries(const QComboBox& combo) {
    std::vector<std::string> texts;
    for (int i = 0; i < combo.count(); ++i)
        texts.push_back(combo.itemText(i).toStdString());
    return texts;
}

TEST(ClassDialogWidgets, TheMiddleButtonOffersTheDistinctSmallNamesThenOthersAndUndefined) {
    Editor e;
    std::vector<std::string> offered;
    {
        ui::ScopedModalHook hook([&](QDialog& dialog) {
            auto& list = dynamic_cast<CCategoryListDlg&>(dialog);
            offered = entries(*list.memberList());
            EXPECT_EQ(list.windowTitle().toStdString(), "中分類編集");
            list.nameEdit()->setText("M");
            emit list.nameEdit()->textEdited("M");
            emit list.memberList()->activated(0);
            list.button("追加")->click();
            list.button("ｷｬﾝｾﾙ")->click();
            return dialog.result();
        });
        e.editor->button(COlapFormView::kMiddle)->click();
        EXPECT_EQ(hook.calls(), 1);
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"A", "B", "C", "Others", "未定義のデータです"}));
    EXPECT_TRUE(e.edited().middleClasses.empty()) << "Cancel drops the added row";
}

TEST(ClassDialogWidgets, CancelAfterThreeAddsKeepsTheClassesAndOKHandsThemOver) {
    Editor e;
    auto addThree = [](CMinorCategoryDlg& small) {
        for (const char* name : {"X", "Y", "Z"}) {
            QTest::keyClicks(small.nameEdit(), QString::fromLatin1(name));
            emit small.operatorList()->activated(0);
            QTest::keyClicks(small.term1Combo()->lineEdit(), QStringLiteral("9"));
            small.button("追加")->click();
        }
        EXPECT_EQ(small.list()->topLevelItemCount(), 7);
    };
    {
        ui::ScopedModalHook hook([&](QDialog& dialog) {
            auto& small = dynamic_cast<CMinorCategoryDlg&>(dialog);
            addThree(small);
            small.button("ｷｬﾝｾﾙ")->click();
            return dialog.result();
        });
        e.editor->button(COlapFormView::kSmall)->click();
    }
    EXPECT_EQ(e.edited().smallClasses.size(), 4u);
    {
        ui::ScopedModalHook hook([&](QDialog& dialog) {
            auto& small = dynamic_cast<CMinorCategoryDlg&>(dialog);
            addThree(small);
            small.button("登録")->click();
            return dialog.result();
        });
        e.editor->button(COlapFormView::kSmall)->click();
    }
    ASSERT_EQ(e.edited().smallClasses.size(), 7u);
    EXPECT_EQ(e.edited().smallClasses[6], (SmallClassDefinition{"Z", 0, "9", ""}));
    EXPECT_EQ(e.editor->tree()->topLevelItem(0)->childCount(), 7) << "the tree shows them";
}

// `user` works in the dialog that the next modal loop shows, once it is up and active, from
// inside that loop; a dialog the user left open is cancelled so that the loop ends.
void whenModalShows(std::function<void(QDialog&)> user) {
    QTimer::singleShot(0, [user] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        user(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

// Clicks, keys and the focus as a user moves it: each typed field records as it is left, the
// n1 combo box included, and before the button that was clicked; played back, the steps give the
// same small classes.
TEST(ClassDialogWidgets, TypedFieldsAreRecordedAsTheUserLeavesThemAndReplayAlike) {
    Editor e;
    ASSERT_EQ(e.macro.StartRecording(), 1);
    whenModalShows([](QDialog& d) {
        auto& small = dynamic_cast<CMinorCategoryDlg&>(d);
        QTest::mouseClick(small.nameEdit(), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("N"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);   // to the conditions
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // "=n1"
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);   // to n1
        EXPECT_EQ(QApplication::focusWidget(), small.term1Combo());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        QTest::mouseClick(small.button("追加"), Qt::LeftButton);
        QTest::mouseClick(small.term1Combo()->lineEdit(), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("8"));
        QTest::mouseClick(small.button("登録"), Qt::LeftButton);
    });
    e.editor->button(COlapFormView::kSmall)->click();
    const std::vector<std::string> steps = e.macro.RecordedSteps();
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "DispEditSmallClassDialog", "InputSmallClassName,\"N\"",
                         "SelectSmallClassOperater,0", "InputSmallClassTerm1,\"5\"",
                         "AddSmallClass", "InputSmallClassTerm1,\"8\"", "OKSmallClassDialog"}));
    const std::vector<SmallClassDefinition> recorded = e.edited().smallClasses;
    ASSERT_EQ(recorded.size(), 5u);
    EXPECT_EQ(recorded[4], (SmallClassDefinition{"N", 0, "5", ""}));

    ASSERT_EQ(e.macro.StopRecording("typed"), 1);
    e.editor->LoadCategory(1);
    e.prompts.clear();
    ASSERT_EQ(e.edited().smallClasses.size(), 4u);
    EXPECT_EQ(e.macro.RunMacro(0), 1);
    EXPECT_EQ(e.messages().back(), "マクロの実行が完了しました。");
    EXPECT_EQ(e.edited().smallClasses, recorded);
}

TEST(ClassDialogWidgets, TypingStopsAtTheFieldLimits) {
    Editor e;
    CMinorCategoryDlg dialog(e.app, {}, nullptr);
    QTest::keyClicks(dialog.nameEdit(), QString(70, QLatin1Char('x')));
    EXPECT_EQ(dialog.editor().name(), std::string(64, 'x'));
    EXPECT_EQ(dialog.nameEdit()->text().size(), 64);
    dialog.nameEdit()->clear();
    emit dialog.nameEdit()->textEdited(QString());
    for (int i = 0; i < 33; ++i) {  // あ, two bytes each, typed one by one
        dialog.nameEdit()->insert(QString(QChar(0x3042)));
        emit dialog.nameEdit()->textEdited(dialog.nameEdit()->text());
    }
    EXPECT_EQ(dialog.editor().name().size(), 64u);
    EXPECT_EQ(dialog.nameEdit()->text().size(), 32) << "the 33rd character was refused";

    COlapPage& page = *e.page;
    page.percentEdit()->clear();
    QTest::keyClicks(page.percentEdit(), QStringLiteral("12a34"));
    EXPECT_EQ(page.settings().percent(), "123");
    EXPECT_EQ(e.play("InputPercent,\"12.5\""), 1) << "a step is not typing";
    EXPECT_EQ(page.percentEdit()->text().toStdString(), "12.5");
}

}  // namespace
}  // namespace zbq::test
