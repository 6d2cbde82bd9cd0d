// A session on the class-list dialogs and the cross-tab axis page recorded through the real
// widgets and replayed in a fresh program: in the category editor a name and a type, then
// through its buttons small classes typed, chosen, ordered and confirmed, middle and large
// classes, and the definition registered; then X, Y and Z items, categories, levels by page
// step and thumb, the X check, kind 7 with a spin step and "OLAP表示" on a stand-in cross-tab
// window. The replay ends on the same screen, with the same settings block.
//
// The steps that open the class dialogs for a macro are played by stand-ins here, which open
// the dialogs on the editor's definition as their players do.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <chrono>
#include <memory>

#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/class_dialogs.h"
#include "platform/core/cp932.h"
#include "platform/ui/modal_runner.h"
#include "tests/console/olap_fixture.h"
#include "tests/support/app_harness.h"
#include "tests/support/session_gestures.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

using Axis = OlapAxisSettings::Axis;
using Level = ClassListEditor::Level;

// One start-up stamp for both programs, so their temporary names agree.
std::chrono::system_clock::time_point fixedTime() {
    using namespace std::chrono;
    return sys_days{year{2024} / 5 / 6} + hours{12} + minutes{34} + seconds{56};
}

struct Program {
    Program() : frame(h.app(), factories()) { h.app().SetClock(fixedTime); }
    ~Program() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.crossWindow = [this](CMainFrame&) -> QWidget* {
            return new FakeCrossWindow(h.app(), blocks);
        };
        return f;
    }
    COlapPage& page() const { return *qobject_cast<CConsSheet*>(frame.console())->OlapPage(); }

    COlapFormView& editor() const {
        return *qobject_cast<CConsSheet*>(frame.console())->OlapFrame()->editor();
    }

    AppHarness h;
    CMacro macro{h.app()};
    std::vector<CrossSettings> blocks;
    CMainFrame frame;
};

// What the user does with the dialogs the stand-in editor opens.
int driveDialog(QDialog& dialog) {
    if (auto* small = dynamic_cast<CMinorCategoryDlg*>(&dialog)) {
        addSmall(*small, "B", 2, "30", "");
        addSmall(*small, "A", 6, "15", "29");
        // "Others" chosen from the n1 list while the field has the focus.
        type(small->nameEdit(), "C");
        emit small->operatorList()->activated(0);
        clickInto(small->term1Combo());
        emit small->term1Combo()->activated(3);
        leaveWithTab();
        small->button("追加")->click();
        small->list()->topLevelItem(1)->setSelected(true);
        small->button("上へ")->click();
        small->button("登録")->click();
    } else if (auto* list = dynamic_cast<CCategoryListDlg*>(&dialog)) {
        if (list->editor().level() == Level::Middle) {
            addRow(*list, "Young", 0);
            addRow(*list, "Old", 1);
            addRow(*list, "Rest", 3);
        } else {
            addRow(*list, "All", 0);
            addRow(*list, "All", 1);
        }
        list->button("登録")->click();
    }
    return dialog.result();
}

void pageSession(Program& p) {
    COlapPage& page = p.page();
    emit page.itemCombo(Axis::X)->activated(2);  // 年齢
    page.categoryCombo(Axis::X)->showPopup();
    page.categoryCombo(Axis::X)->hidePopup();
    emit page.categoryCombo(Axis::X)->activated(1);
    QSlider* x = page.levelSlider(Axis::X);
    x->triggerAction(QAbstractSlider::SliderPageStepAdd);
    x->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // moves, records nothing
    x->setSliderDown(true);
    x->setSliderPosition(3);
    x->setSliderDown(false);
    x->triggerAction(QAbstractSlider::SliderPageStepSub);
    emit page.itemCombo(Axis::Y)->activated(1);  // 性別
    page.categoryCombo(Axis::Y)->showPopup();
    page.categoryCombo(Axis::Y)->hidePopup();
    emit page.categoryCombo(Axis::Y)->activated(0);
    QSlider* y = page.levelSlider(Axis::Y);
    y->setSliderDown(true);
    y->setSliderPosition(3);
    y->setSliderDown(false);
    page.checkBox(Axis::X)->click();
    emit page.zCombo()->activated(5);  // 満足度
    emit page.kindCombo()->activated(7);
    page.spinButton(true)->click();
    page.displayButton()->click();
}

TEST(OlapReplay, ASessionOnTheDialogsAndThePageReplaysToTheSameState) {
    TempDir out;
    std::string recordedScreen;
    std::vector<CrossSettings> recordedBlocks;
    {
        Program session;
        ASSERT_TRUE(session.h.start({session.h.writeFixture()}));
        session.frame.ShowConsole();
        ASSERT_EQ(session.macro.StartRecording(), 1);
        {
            COlapFormView& editor = session.editor();
            editor.OnNameFocusIn();
            editor.SetNameText(cp932::literal("年齢区分"));
            editor.OnNameFocusOut();
            emit editor.typeList()->activated(2);  // Integer
            ui::ScopedModalHook hook(driveDialog);
            for (COlapFormView::Button button : {COlapFormView::kSmall, COlapFormView::kMiddle,
                                                 COlapFormView::kLarge, COlapFormView::kRegister})
                editor.button(button)->click();
            EXPECT_EQ(hook.calls(), 3);
        }
        pageSession(session);
        QCoreApplication::processEvents();
        EXPECT_EQ(session.macro.RecordedSteps(),
                  (std::vector<std::string>{cp932::literal("InputCategoryName,\"年齢区分\""),
                                            "SelectCategoryType,2",
                                            "DispEditSmallClassDialog",
                                            "InputSmallClassName,\"B\"",
                                            "SelectSmallClassOperater,2",
                                            "InputSmallClassTerm1,\"30\"",
                                            "AddSmallClass",
                                            "InputSmallClassName,\"A\"",
                                            "SelectSmallClassOperater,6",
                                            "InputSmallClassTerm1,\"15\"",
                                            "InputSmallClassTerm2,\"29\"",
                                            "AddSmallClass",
                                            "InputSmallClassName,\"C\"",
                                            "SelectSmallClassOperater,0",
                                            "InputSmallClassTerm1,\"Others\"",
                                            "AddSmallClass",
                                            "UpSmallClass,1",
                                            "OKSmallClassDialog",
                                            "DispEditMiddleClassDialog",
                                            "InputMiddleClassName,\"Young\"",
                                            "SelectMiddleClassOperator,0",
                                            "AddMiddleClass",
                                            "InputMiddleClassName,\"Old\"",
                                            "SelectMiddleClassOperator,1",
                                            "AddMiddleClass",
                                            "InputMiddleClassName,\"Rest\"",
                                            "SelectMiddleClassOperator,3",
                                            "AddMiddleClass",
                                            "OKMiddleClassDialog",
                                            "DispEditLargeClassDialog",
                                            "InputLargeClassName,\"All\"",
                                            "SelectLargeClassOperator,0",
                                            "AddLargeClass",
                                            "InputLargeClassName,\"All\"",
                                            "SelectLargeClassOperator,1",
                                            "AddLargeClass",
                                            "OKLargeClassDialog",
                                            "EntryCategory",
                                            "SelectItemX,2",
                                            "SelectCategX,1",
                                            "SelectCategLevelX,3,0",
                                            "SelectCategLevelX,4,3",
                                            "SelectCategLevelX,2,0",
                                            "SelectItemY,1",
                                            "SelectCategY,0",
                                            "SelectCategLevelY,4,3",
                                            "CheckX",
                                            "SelectItemZ,5",
                                            "SelectAggregateKind,7",
                                            "InputPercent,\"51\"",
                                            "DispOlap"}));
        ASSERT_EQ(session.macro.StopRecording("session"), 1);
        ASSERT_EQ(session.blocks.size(), 1u);
        CrossSettings block;
        block.xItem = 2;
        block.yItem = 1;
        block.zItem = 4;
        block.xCategory = 1;
        block.yCategory = 0;
        block.xCheck = 1;
        block.xLevel = 2;
        block.yLevel = 2;  // the built-in category has two levels
        block.kind = 7;
        block.percentage = 51.0;
        EXPECT_EQ(session.blocks[0], block);
        ASSERT_EQ(session.h.app().GetCategoryList().size(), 2u);
        EXPECT_EQ(session.h.app().GetCategoryList()[1].smallClasses,
                  (std::vector<SmallClassDefinition>{
                      {"A", 6, "15", "29"}, {"B", 2, "30", ""}, {"C", 0, "Others", ""}}));
        recordedScreen = session.h.snapshot();
        recordedBlocks = session.blocks;
        ASSERT_EQ(session.macro.WriteMacroFile(out.file("session.mcr")), 1);
    }

    Program replay;
    ASSERT_TRUE(replay.h.start({replay.h.writeFixture()}));
    replay.frame.ShowConsole();
    ASSERT_NE(replay.macro.ReadMacroFile(out.file("session.mcr")), 0);
    const int index = replay.macro.FindMacro("session");
    ASSERT_GE(index, 0);
    ASSERT_EQ(replay.macro.RunMacro(index), 1);
    std::vector<std::string> messages;
    for (const ui::Message& m : replay.h.prompts().messages())
        messages.push_back(m.text.toStdString());
    EXPECT_EQ(messages, std::vector<std::string>{"マクロの実行が完了しました。"});
    EXPECT_EQ(replay.blocks, recordedBlocks);
    EXPECT_EQ(replay.h.snapshot(), recordedScreen);
}

}  // namespace
}  // namespace zbq::test
