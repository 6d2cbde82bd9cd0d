// The class dialogs as the category editor's buttons open them, modally through the modal
// runner: what they offer and what OK and Cancel leave in the editor's definition; and the
// typing limits of the dialogs' name field and the cross-tab page's percentage.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

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
