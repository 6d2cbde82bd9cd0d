// The cross-tab page's and class dialogs' commands played through the dispatcher on a main frame
// with its real console and a stand-in cross-tab window: what each step sets, the checks that
// stop a run with their exact messages, and the class dialogs a macro opens without a modal loop
// and closes with its OK or Cancel step.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTreeWidget>

#include "console/category_frame.h"
#include "console/category_list_view.h"
#include "console/class_dialogs.h"
#include "console/up_down_edit.h"
#include "macro/parameter_asker.h"
#include "tests/console/olap_fixture.h"

namespace zbq::test {
namespace {

using Axis = OlapAxisSettings::Axis;

TEST(OlapPlayers, ItemAndCategoryIndexesTakeMinusOneAndRefuseTheRest) {
    OlapScreen s;
    EXPECT_EQ(s.play("SelectItemX,2"), 1);
    EXPECT_EQ(s.play("SelectCategX,1"), 0) << "the built-in category alone fits";
    EXPECT_EQ(s.page->categoryCombo(Axis::X)->currentIndex(), -1);
    s.prompts.clear();
    EXPECT_EQ(s.play("SelectCategX,0"), 1);
    EXPECT_EQ(s.page->categoryCombo(Axis::X)->currentText().toStdString(), "単一");
    EXPECT_EQ(s.play("SelectItemX,-1"), 1);
    EXPECT_EQ(s.page->itemCombo(Axis::X)->currentIndex(), -1);
    EXPECT_EQ(s.page->settings().categories(Axis::X).selected, -1) << "the item took its category";
    EXPECT_EQ(s.play("SelectCategX,-1"), 1);
    EXPECT_EQ(s.play("SelectItemZ,7"), 1) << "選択なし and seven items";
    s.prompts.clear();
    for (const char* step : {"SelectCategX,0", "SelectItemX,7", "SelectItemY,-2", "SelectItemZ,8",
                             "SelectCategY,0", "SelectAggregateKind,8", "SelectAggregateKind,-1"})
        EXPECT_EQ(s.play(step), 0) << step;
    EXPECT_EQ(s.messages(), (std::vector<std::string>{
                                rangeMessage("SelectCategX"), rangeMessage("SelectItemX"),
                                rangeMessage("SelectItemY"), rangeMessage("SelectItemZ"),
                                rangeMessage("SelectCategY"), rangeMessage("SelectAggregateKind"),
                                rangeMessage("SelectAggregateKind")}));
}

TEST(OlapPlayers, LevelsChecksKindAndPercent) {
    OlapScreen s;
    QSlider* x = s.page->levelSlider(Axis::X);
    EXPECT_EQ(s.play("SelectCategLevelX,2,0"), 1);
    EXPECT_EQ(x->value(), 0);
    EXPECT_EQ(s.play("SelectCategLevelX,4,3"), 1);
    EXPECT_EQ(s.play("SelectCategLevelX,3,0"), 1);
    EXPECT_EQ(x->value(), 3);
    EXPECT_EQ(s.play("SelectCategLevelY,4,-7"), 1);
    EXPECT_EQ(s.page->levelSlider(Axis::Y)->value(), 0);
    EXPECT_EQ(s.play("SelectCategLevelX,2,5"), 0);
    EXPECT_EQ(s.play("SelectCategLevelX,9,0"), 0);
    EXPECT_EQ(s.messages(), std::vector<std::string>(2, rangeMessage("SelectCategLevelX")));
    EXPECT_EQ(x->value(), 3);
    // The motion codes start at 2: 0 and 1 are refused on either axis.
    EXPECT_EQ(s.play("SelectCategLevelX,0,0"), 0);
    EXPECT_EQ(s.play("SelectCategLevelY,1,0"), 0);
    EXPECT_EQ(x->value(), 3);
    EXPECT_EQ(s.messages(),
              (std::vector<std::string>{
                  rangeMessage("SelectCategLevelX"), rangeMessage("SelectCategLevelX"),
                  rangeMessage("SelectCategLevelX"), rangeMessage("SelectCategLevelY")}));

    EXPECT_EQ(s.play("CheckX"), 1);
    EXPECT_TRUE(s.page->checkBox(Axis::X)->isChecked());
    EXPECT_EQ(s.play("CheckX"), 1);
    EXPECT_FALSE(s.page->checkBox(Axis::X)->isChecked());

    EXPECT_EQ(s.play("SelectAggregateKind,7"), 1);
    EXPECT_TRUE(s.page->percentEdit()->isVisibleTo(s.page));
    EXPECT_EQ(s.play("SelectAggregateKind,3"), 1);
    EXPECT_FALSE(s.page->percentEdit()->isVisibleTo(s.page));

    for (const char* text : {"0", "00", "000", "100", "12.5"}) {
        EXPECT_EQ(s.play(std::string("InputPercent,\"") + text + "\""), 1) << text;
        EXPECT_EQ(s.page->percentEdit()->text().toStdString(), text);
    }
    s.prompts.clear();
    for (const char* text : {"0.0", "abc", "-1", "101"})
        EXPECT_EQ(s.play(std::string("InputPercent,\"") + text + "\""), 0) << text;
    EXPECT_EQ(s.messages(), std::vector<std::string>(4, invalidMessage("InputPercent")));
    EXPECT_EQ(s.page->percentEdit()->text().toStdString(), "12.5");
    s.prompts.clear();
    EXPECT_EQ(s.play("InputPercent,\"???\""), 0) << "an empty answer";
    EXPECT_EQ(s.messages(),
              std::vector<std::string>{
                  "コマンド[InputPercent]のパラメータに％値が指定されていません。" + kStop});
}

TEST(OlapPlayers, DispOlapHandsTheBlockToTheWindowAndGoesOnWhenRefused) {
    OlapScreen s;
    EXPECT_EQ(s.play("DispOlap"), 1);
    EXPECT_EQ(s.messages(), std::vector<std::string>{"Ｘ軸、Ｙ軸の指定が不正です"});
    EXPECT_TRUE(s.blocks.empty());
    for (const char* step : {"SelectItemX,2", "SelectItemY,5", "SelectCategY,0",
                             "SelectCategLevelY,4,3", "SelectItemZ,4", "SelectAggregateKind,7",
                             "InputPercent,\"12.5\"", "CheckY", "DispOlap,1"})
        ASSERT_EQ(s.play(step), 1) << step;
    ASSERT_EQ(s.blocks.size(), 1u);
    CrossSettings block;
    block.xItem = 2;
    block.yItem = 5;
    block.zItem = 3;
    block.yCategory = 0;
    block.yCheck = 1;
    block.xLevel = 0;
    block.yLevel = 2;  // the built-in category has small and middle classes
    block.kind = 7;
    block.percentage = 12.5;
    EXPECT_EQ(s.blocks[0], block);
    EXPECT_EQ(s.app.GetCrossSettings(), block);
    EXPECT_NE(s.frame.crossWindow(), nullptr);
}

TEST(OlapPlayers, WithoutACrossTabWindowTheBlockIsStillHandedOver) {
    OlapScreen none(false);
    none.play("SelectItemX,0");
    none.play("SelectItemY,0");
    EXPECT_EQ(none.play("DispOlap"), 1) << "no cross-tab window can open yet";
    EXPECT_EQ(none.app.GetCrossSettings().xItem, 0);
}

TEST(OlapPlayers, TheScreenResetGivesTheFreshPage) {
    OlapScreen s;
    for (const char* step : {"SelectItemX,2", "CheckX", "SelectCategLevelX,4,2",
                             "SelectAggregateKind,7", "InputPercent,\"9\""})
        s.play(step);
    s.app.ResetScreen();
    const OlapAxisSettings& page = s.page->settings();
    EXPECT_EQ(page.items(Axis::X).selected, -1);
    EXPECT_EQ(page.items(Axis::X).count(), 7);
    EXPECT_EQ(page.zItems().count(), 8);
    EXPECT_FALSE(page.checked(Axis::X));
    EXPECT_EQ(page.level(Axis::X), 0);
    EXPECT_EQ(page.kind(), 0);
    EXPECT_EQ(page.percent(), "50");
    EXPECT_FALSE(s.page->percentEdit()->isVisibleTo(s.page));
    ASSERT_EQ(s.app.GetCategoryList().size(), 1u);
}

// The block's categories follow their definitions by name when the category list deletes one,
// and the page's category choices are dropped.
TEST(OlapPlayers, AfterADeleteTheBlockFollowsItsCategoriesByName) {
    OlapScreen s;
    CategoryDefinition integer;
    integer.name = "I";
    integer.valueType = 1;
    integer.smallClasses = {{"s", 0, "Others", ""}};
    CategoryDefinition code = integer;
    code.name = "C";
    code.valueType = 6;
    s.app.SetCategoryList({s.app.GetCategoryList()[0], code, integer});
    s.app.ResetCategorySet();
    for (const char* step :
         {"SelectItemX,2", "SelectCategX,1", "SelectItemY,0", "SelectCategY,1", "DispOlap"})
        ASSERT_EQ(s.play(step), 1) << step;
    ASSERT_EQ(s.app.GetCrossSettings().xCategory, 2);
    ASSERT_EQ(s.app.GetCrossSettings().yCategory, 1);
    COlapListView& list = *s.console->OlapFrame()->list();
    list.OnDelete(0);  // before both
    EXPECT_EQ(s.app.GetCrossSettings().xCategory, 1);
    EXPECT_EQ(s.app.GetCrossSettings().yCategory, 0);
    EXPECT_EQ(s.page->settings().categories(Axis::X).selected, -1);
    list.OnDelete(0);  // the Y category itself
    EXPECT_EQ(s.app.GetCrossSettings().xCategory, 0);
    EXPECT_EQ(s.app.GetCrossSettings().yCategory, -1);
}

// --- Class dialogs ---

struct Dialogs : OlapScreen {
    Dialogs() {
        definition.smallClasses = {{"A", 0, "1", ""}, {"B", 0, "2", ""}, {"C", 0, "3", ""}};
        definition.middleClasses = {{"M", "A"}, {"N", "B"}};
    }
    CMinorCategoryDlg* openSmall() {
        return OpenSmallClassDialogForPlayer(app, frame, definition.smallClasses,
                                             [this] { ++refreshed; });
    }
    CCategoryListDlg* openList(ClassListEditor::Level level) {
        const bool middle = level == ClassListEditor::Level::Middle;
        return OpenClassListDialogForPlayer(
            app, frame, middle ? definition.middleClasses : definition.largeClasses,
            middle ? std::vector<std::string>{"A", "B", "C", "Others"}
                   : std::vector<std::string>{"M", "N", "Others"},
            level, [this] { ++refreshed; });
    }
    CategoryDefinition definition;
    int refreshed = 0;
};

// Answers every "???" with one text and keeps the prompts it was asked.
struct Asker : ParameterAsker {
    std::string answer;
    std::vector<std::string> prompts;
    std::string askMacroParameter(std::string_view prompt, std::int32_t) override {
        prompts.emplace_back(prompt);
        return answer;
    }
};

TEST(ClassDialogPlayers, AskedTextsTakeTheAnswer) {
    Dialogs s;
    Asker asker;
    s.macro.SetParameterAsker(&asker);
    CMinorCategoryDlg* dialog = s.openSmall();
    asker.answer = "Q";
    EXPECT_EQ(s.play("InputSmallClassName,\"???\""), 1);
    EXPECT_EQ(dialog->editor().name(), "Q");
    asker.answer = "";
    EXPECT_EQ(s.play("InputSmallClassTerm1,\"???\""), 1) << "an empty answer is the text";
    asker.answer = "42";
    EXPECT_EQ(s.play("InputPercent,\"???\""), 1);
    EXPECT_EQ(s.page->settings().percent(), "42");
    EXPECT_EQ(asker.prompts,
              (std::vector<std::string>{"[小分類名称]: 名称を入力して下さい。",
                                        "[小分類ｎ１]: 値を入力して下さい。",
                                        "[％順位]: ％値（０～１００）を入力して下さい。"}));
    s.macro.SetParameterAsker(nullptr);
}

TEST(ClassDialogPlayers, AStepOpensItsDialogCentredAcrossTheLowerHalfOfTheScreen) {
    OlapScreen s;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const std::pair<const char*, PlayerDialog> opened[] = {
        {"DispEditSmallClassDialog", PlayerDialog::SmallClass},
        {"DispEditMiddleClassDialog", PlayerDialog::MiddleClass},
        {"DispEditLargeClassDialog", PlayerDialog::LargeClass}};
    for (const auto& [step, which] : opened) {
        ASSERT_EQ(s.play(step), 1) << step;
        QWidget* dialog = s.frame.playerDialog(which);
        ASSERT_NE(dialog, nullptr) << step;
        EXPECT_TRUE(dialog->isVisible()) << step;
        EXPECT_EQ(dialog->pos(),
                  QPoint((screen.width() - dialog->width()) / 2, screen.height() / 2 + 30))
            << step;
    }
}

TEST(ClassDialogPlayers, NoDialogStopsTheRun) {
    Dialogs s;
    EXPECT_EQ(s.play("ClearSmallClass"), 0);
    EXPECT_EQ(s.play("AddMiddleClass"), 0);
    EXPECT_EQ(s.messages(), std::vector<std::string>(2, noWindowMessage()));
}

TEST(ClassDialogPlayers, SmallClassStepsDriveTheDialog) {
    Dialogs s;
    CMinorCategoryDlg* dialog = s.openSmall();
    EXPECT_EQ(s.play("SelectSmallClassOperater,10"), 0);
    EXPECT_EQ(s.messages(), std::vector<std::string>{rangeMessage("SelectSmallClassOperater")});
    EXPECT_EQ(s.play("SelectSmallClassOperater,9"), 1);
    EXPECT_TRUE(dialog->term2Edit()->isEnabled());
    s.play("InputSmallClassTerm1,\"Others\"");
    s.play("SelectSmallClassOperater,0");
    EXPECT_EQ(dialog->editor().term1(), "Others");
    s.play("SelectSmallClassOperater,2");
    EXPECT_EQ(dialog->editor().term1(), "");

    EXPECT_EQ(s.play("UpSmallClass,0"), 1);
    EXPECT_EQ(s.play("DownSmallClass,2"), 1);
    EXPECT_EQ(dialog->editor().working(), s.definition.smallClasses) << "nothing moved";
    EXPECT_EQ(s.play("DispSmallClass,2"), 1);
    EXPECT_EQ(dialog->nameEdit()->text().toStdString(), "C");
    EXPECT_TRUE(dialog->button("上書き")->isEnabled());
    ASSERT_EQ(dialog->list()->selectedItems().size(), 1);
    EXPECT_EQ(dialog->list()->indexOfTopLevelItem(dialog->list()->selectedItems()[0]), 2);
    s.prompts.clear();
    EXPECT_EQ(s.play("DispSmallClass,3"), 0);
    EXPECT_EQ(s.play("DeleteSmallClass,-1"), 0);
    EXPECT_EQ(s.messages(), (std::vector<std::string>{rangeMessage("DispSmallClass"),
                                                      rangeMessage("DeleteSmallClass")}));

    // Add acts whatever its button shows; n2 typed into the disabled field is kept.
    for (const char* step :
         {"InputSmallClassName,\"A\"", "SelectSmallClassOperater,1", "InputSmallClassTerm1,\"7\"",
          "InputSmallClassTerm2,\"x\"", "AddSmallClass", "AddSmallClass"})
        EXPECT_EQ(s.play(step), 1) << step;
    ASSERT_EQ(dialog->editor().working().size(), 4u);
    EXPECT_EQ(dialog->editor().working()[3], (SmallClassDefinition{"A", 1, "7", "x"}));
    EXPECT_EQ(s.messages().back(), "名称を入力して下さい") << "the second add found no name";

    EXPECT_EQ(s.play("CancelSmallClassDialog"), 1);
    EXPECT_EQ(s.definition.smallClasses.size(), 3u);
    EXPECT_EQ(s.refreshed, 1);
    EXPECT_EQ(s.frame.playerDialog(PlayerDialog::SmallClass), nullptr);
    EXPECT_EQ(s.play("AddSmallClass"), 0);

    s.openSmall();
    for (const char* step : {"InputSmallClassName,\"D\"", "SelectSmallClassOperater,0",
                             "InputSmallClassTerm1,\"4\"", "AddSmallClass", "OKSmallClassDialog"})
        EXPECT_EQ(s.play(step), 1) << step;
    EXPECT_EQ(s.definition.smallClasses.size(), 4u);
    EXPECT_EQ(s.refreshed, 2);
}

TEST(ClassDialogPlayers, MiddleAndLargeStepsActOnWhicheverListDialogIsOpen) {
    Dialogs s;
    CCategoryListDlg* dialog = s.openList(ClassListEditor::Level::Middle);
    s.play("InputMiddleClassName,\"Q\"");
    EXPECT_EQ(s.play("ClearLargeClass"), 1);
    EXPECT_EQ(dialog->nameEdit()->text(), QString());
    EXPECT_EQ(s.play("InputLargeClassName,\"a\",\"b\""), 0);
    EXPECT_EQ(s.messages(),
              std::vector<std::string>{
                  "コマンド[InputLargeClassName]のパラメータ数が不正です。\nこのコマンド"
                  "のパラメータ数は[1]個です。" +
                  kStop});
    s.prompts.clear();
    EXPECT_EQ(s.play("SelectLargeClassOperator,5"), 0) << "A B C Others 未定義: five entries";
    EXPECT_EQ(s.messages(), std::vector<std::string>{rangeMessage("SelectLargeClassOperator")});
    EXPECT_EQ(s.play("EditMiddleClass"), 1);
    EXPECT_EQ(dialog->editor().working(), s.definition.middleClasses) << "no row selected";
    for (const char* step : {"DispMiddleClass,1", "InputMiddleClassName,\"P\"", "EditMiddleClass",
                             "DownMiddleClass,1", "UpLargeClass,1"})
        EXPECT_EQ(s.play(step), 1) << step;
    EXPECT_EQ(dialog->editor().working(), (std::vector<ClassGrouping>{{"P", "B"}, {"M", "A"}}));
    EXPECT_EQ(s.play("DleteMiddleClass,2"), 0);
    EXPECT_EQ(s.play("OKLargeClassDialog"), 1);
    EXPECT_EQ(s.definition.middleClasses, (std::vector<ClassGrouping>{{"P", "B"}, {"M", "A"}}))
        << "a middle dialog hands over the middle rows";
    EXPECT_TRUE(s.definition.largeClasses.empty());
    EXPECT_EQ(s.refreshed, 1);
    EXPECT_EQ(s.play("OKLargeClassDialog"), 0);
}

TEST(ClassDialogPlayers, TheNewerDialogIsTheOneNamedAndAClosedOneIsNotOpen) {
    Dialogs s;
    CMinorCategoryDlg* first = s.openSmall();
    CMinorCategoryDlg* second = s.openSmall();
    EXPECT_EQ(s.frame.playerDialog(PlayerDialog::SmallClass), second);
    s.play("InputSmallClassName,\"X\"");
    EXPECT_EQ(second->editor().name(), "X");
    EXPECT_EQ(first->editor().name(), "");
    second->button("ｷｬﾝｾﾙ")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(s.frame.playerDialog(PlayerDialog::SmallClass), nullptr);
    EXPECT_EQ(s.play("AddSmallClass"), 0);
    first->close();

    s.openList(ClassListEditor::Level::Middle);
    CCategoryListDlg* large = s.openList(ClassListEditor::Level::Large);
    EXPECT_EQ(s.frame.playerDialog(PlayerDialog::MiddleClass), nullptr);
    EXPECT_EQ(s.frame.playerDialog(PlayerDialog::LargeClass), large);
}

}  // namespace
}  // namespace zbq::test
