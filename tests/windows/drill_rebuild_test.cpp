// The windows' rebuild after a drill-through (and after a new set from a value list) runs the
// aggregation window's build in a nested loop. Whatever the user does to the windows in that
// loop, at each stage of the build and while its progress timer ticks: closing the aggregation
// window by its close box or by the frame, opening another aggregation, pressing the console's
// "実行", closing or replacing the cross window, closing the item window. The drill ends without
// touching a destroyed window (the debug build's AddressSanitizer watches), its set stays made,
// and its step comes before the step of a close made meanwhile.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "console/molap_page.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_macro.h"
#include "tests/windows/console_screen.h"
#include "tests/windows/molap_fixture.h"
#include "windows/cross_frame.h"
#include "windows/item_sheet.h"
#include "windows/molap_frame.h"
#include "windows/value_list_page.h"

namespace zbq::windows {
namespace {

using namespace std::chrono_literals;

// Items of the fixture: 0 ID String, 1 性別 Code, 2 年齢 Integer, 3 趣味 MultiAns, 4 満足度 Float,
// 5 回答日 Date, 6 回答時刻 Time; twelve records.
constexpr std::int32_t kAge = 2;

struct Screen : ConsoleScreen {
    Screen() { h.app().SetMacroPort(&macro); }
    ~Screen() {
        CMOLAPFrm::setWorkerHookForTest({});
        h.app().SetMacroPort(nullptr);
        frame.CloseMolapWindow();
        frame.CloseCrossWindow();
        frame.CloseAllItemSheets();
        settle();
    }
    static MolapParams params() { return molapTestParams(); }
    CMOLAPFrm* molap() const { return qobject_cast<CMOLAPFrm*>(frame.molapWindow()); }
    CCrossFrm* cross() const { return qobject_cast<CCrossFrm*>(frame.crossWindow()); }
    bool showCross() {
        CrossSettings s;
        s.xItem = 1;
        s.yItem = 2;
        h.app().SetCrossSettings(s);
        return frame.ShowCrossWindow() == 1;
    }
    // The cross window's whole table selected.
    CrossTabModel& selectWholeCross() {
        CrossTabModel& model = cross()->model();
        model.SetSelStart(0, 0);
        model.SetSelEnd(model.GetColumnCount() - 1, model.GetRowCount() - 1);
        return model;
    }
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The next build's worker of that stage holds until `act` has run on the user-interface
    // thread (or a close has asked the build to stop), then lets the progress timer tick.
    void actDuringStage(std::int32_t stage, std::function<void()> act) {
        acted = false;
        auto fired = std::make_shared<std::atomic<bool>>(false);
        CMOLAPFrm::setWorkerHookForTest([this, stage, act, fired](std::int32_t running) {
            if (running != stage || fired->exchange(true)) return;
            QMetaObject::invokeMethod(
                &frame,
                [this, act] {
                    act();
                    acted = true;
                },
                Qt::QueuedConnection);
            kw::MolapCancel& cancel = h.app().Search().MolapCancelFlag();
            const auto until = std::chrono::steady_clock::now() + 10s;
            while (!acted && cancel.value() != 1 && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(1ms);
            if (cancel.value() != 1) std::this_thread::sleep_for(250ms);
        });
    }
    std::size_t stepIndex(const std::string& prefix) const {
        const auto it = std::find_if(macro.steps.begin(), macro.steps.end(),
                                     [&](const std::string& s) { return s.starts_with(prefix); });
        return static_cast<std::size_t>(it - macro.steps.begin());
    }

    test::RecordingMacro macro;
    std::atomic<bool> acted{false};
};

// What the user does in the loop, and what the screen shows after it.
struct Act {
    const char* name;
    std::function<void(Screen&)> run;
    const char* closeStep;  // the step the act records, if any
    bool molapStays, crossStays;
};

const Act kActs[] = {
    {"the aggregation window's close box", [](Screen& s) { s.molap()->close(); }, "MolapClose",
     false, true},
    {"the frame closes the aggregation window", [](Screen& s) { s.frame.CloseMolapWindow(); },
     nullptr, false, true},
    {"another aggregation", [](Screen& s) { s.frame.ShowMolapWindow(Screen::params()); }, nullptr,
     false, true},
    {"the console's 実行",
     [](Screen& s) {
         COlap2Page* page = qobject_cast<CConsSheet*>(s.frame.console())->MolapPage();
         page->settings().SetXItems({1}, {0});
         page->OnExecute();
     },
     nullptr, true, true},
    {"the cross window's close box", [](Screen& s) { s.cross()->close(); }, "Olap_Close", true,
     false},
    {"the cross window replaced",
     [](Screen& s) {
         s.frame.CloseCrossWindow();
         s.showCross();
     },
     nullptr, true, true},
};

void expectScreenAfter(Screen& s, const Act& act, QWidget* molapBefore, const char* drillStep) {
    Screen::settle();
    if (act.molapStays) {
        EXPECT_EQ(s.frame.molapWindow(), molapBefore);
        ASSERT_TRUE(s.molap());
        EXPECT_TRUE(s.molap()->view().installed());
    } else {
        EXPECT_EQ(s.frame.molapWindow(), nullptr);
    }
    EXPECT_EQ(s.frame.crossWindow() != nullptr, act.crossStays);
    EXPECT_FALSE(s.h.app().IsAddingData());
    ASSERT_LT(s.stepIndex(drillStep), s.macro.steps.size());
    if (act.closeStep) {
        EXPECT_LT(s.stepIndex(drillStep), s.stepIndex(act.closeStep));
    }
}

TEST(DrillRebuild, TheAggregationDrillOutlivesWhatTheUserDoesMeanwhile) {
    for (const Act& act : kActs) {
        for (const std::int32_t stage : {1, 2}) {
            SCOPED_TRACE(std::string(act.name) + ", stage " + std::to_string(stage));
            Screen s;
            ASSERT_TRUE(s.showCross());
            ASSERT_EQ(s.frame.ShowMolapWindow(Screen::params()), 1);
            QWidget* before = s.frame.molapWindow();
            ASSERT_TRUE(s.molap()->view().SelectCell(4, 3));  // 2024, 男性, 年齢[合計]
            s.macro.steps.clear();
            s.actDuringStage(stage, [&s, &act] { act.run(s); });
            EXPECT_EQ(s.molap()->DrillThrough(), 1);
            EXPECT_TRUE(s.acted);
            EXPECT_EQ(s.h.app().KWgetDataCount(), 5);
            EXPECT_EQ(s.macro.steps.front(), "MolapDrillThrough,4,3");
            expectScreenAfter(s, act, before, "MolapDrillThrough");
        }
    }
}

// The cross window's drill chosen from its own menu: the window that goes in the loop takes the
// open menu with it.
TEST(DrillRebuild, TheCrossDrillOutlivesWhatTheUserDoesMeanwhile) {
    std::int32_t drilled = 0;
    {
        Screen s;
        ASSERT_TRUE(s.showCross());
        s.selectWholeCross().DrillThrough();
        drilled = s.h.app().KWgetDataCount();
        ASSERT_GT(drilled, 0);
        ASSERT_LT(drilled, test::AppHarness::kFixtureRecords);
    }
    for (const Act& act : kActs) {
        for (const std::int32_t stage : {1, 2}) {
            SCOPED_TRACE(std::string(act.name) + ", stage " + std::to_string(stage));
            Screen s;
            ASSERT_TRUE(s.showCross());
            ASSERT_EQ(s.frame.ShowMolapWindow(Screen::params()), 1);
            QWidget* before = s.frame.molapWindow();
            s.selectWholeCross();
            s.macro.steps.clear();
            s.actDuringStage(stage, [&s, &act] { act.run(s); });
            bool chosen = false;
            QTimer::singleShot(0, [&chosen] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!menu) return;
                for (QAction* action : menu->actions())
                    if (action->data().toInt() == CCrossListView::kDrill) {
                        chosen = true;
                        menu->hide();
                        action->trigger();
                        return;
                    }
            });
            // The right click on the list, as the window system hands it over.
            QWidget* list = s.cross()->view().grid().list()->viewport();
            QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                                    list->mapToGlobal(QPoint(10, 10)));
            QCoreApplication::sendEvent(list, &click);
            ASSERT_TRUE(chosen);
            EXPECT_TRUE(s.acted);
            EXPECT_EQ(s.h.app().KWgetDataCount(), drilled);
            EXPECT_EQ(s.macro.steps.front(), "DorileDrillThrough");
            expectScreenAfter(s, act, before, "DorileDrillThrough");
        }
    }
}

// A new set from an item window's value list, the item window closed during the rebuild.
TEST(DrillRebuild, ANewSetOutlivesItsItemWindowClosedMeanwhile) {
    for (const std::int32_t stage : {1, 2}) {
        SCOPED_TRACE(stage);
        Screen s;
        ASSERT_EQ(s.frame.ShowMolapWindow(Screen::params()), 1);
        ASSERT_EQ(s.frame.ShowItemSheet(kAge), 1);
        auto* sheet = dynamic_cast<CItemSheet*>(s.frame.FindItemSheet(kAge));
        ASSERT_TRUE(sheet);
        sheet->model().setSelection({0, 2}, {0, 2});
        sheet->page().Mark(MarkCommand::RemoveSelection);
        const std::int32_t before = s.h.app().KWgetDataCount();
        s.macro.steps.clear();
        const QPointer<CItemSheet> guard(sheet);
        s.actDuringStage(stage, [&s] { s.frame.FindItemSheet(kAge)->close(); });
        EXPECT_EQ(sheet->page().CreateSet(), 1);
        EXPECT_TRUE(s.acted);
        Screen::settle();
        EXPECT_TRUE(guard.isNull());
        EXPECT_LT(s.h.app().KWgetDataCount(), before);
        EXPECT_EQ(s.macro.steps.front(), "CreateSet," + std::to_string(kAge));
        EXPECT_LT(s.stepIndex("Item_Close," + std::to_string(kAge)), s.macro.steps.size());
        ASSERT_TRUE(s.molap());
        EXPECT_TRUE(s.molap()->view().installed());
    }
}

}  // namespace
}  // namespace zbq::windows
