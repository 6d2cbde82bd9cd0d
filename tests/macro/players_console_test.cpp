// The console's commands played on the real console: the window-list commands on their row
// (refused outside the list or on a row without a window; the all-window commands skip such a
// row), the tab steps, and the console's own maximise, minimise and restore.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QTabWidget>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"
#include "platform/ui/scripted_prompts.h"

namespace {

const std::string kNoWindow =
    "画面が表示されていないため、マクロを実行できません。\nマクロの実行を中止します。";

std::string rangeMessage(const std::string& command) {
    return "コマンド[" + command +
           "]のパラメータが範囲を超えています。\nマクロの実行を中止します。";
}

// A frame with its real console; the window list holds `rows` rows: a window, a row without
// one, a second window.
struct Screen {
    explicit Screen(bool listRows = true) : frame(app, factories()), macro(app) {
        frame.ShowConsole();
        console = qobject_cast<CConsSheet*>(frame.console());
        if (!listRows) return;
        for (auto* w : {&first, &second}) {
            *w = std::make_unique<QWidget>();
            (*w)->show();
        }
        app.AddWindowRow("first", "", 10, first.get());
        app.AddWindowRow("gone", "", 10, nullptr);
        app.AddWindowRow("second", "", 12, second.get());
    }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& frame) { return CConsSheet::MakeHandle(app, &frame); };
        return f;
    }
    std::int32_t play(const std::string& step) { return macro.ExecuteStep(step); }
    std::vector<std::string> messages() const { return prompts.messageTexts(); }

    zbq::ui::ScriptedPrompts prompts;
    CKWApp app;
    std::unique_ptr<QWidget> first, second;
    CMainFrame frame;
    CMacro macro;
    CConsSheet* console = nullptr;
};

TEST(ConsolePlayers, RowCommandsActOnTheirRowOrStopTheRun) {
    enum Effect { None, Closed, Minimized, Maximized, Restored };
    struct Case {
        const char* step;
        std::int32_t result;
        std::string message;
        Effect onFirst;
    };
    const Case cases[] = {
        {"CloseWindow,0", 1, "", Closed},
        {"MinimizedWindow,0", 1, "", Minimized},
        {"MaximizedWindow,0", 1, "", Maximized},
        {"NomalWindow,0", 1, "", Restored},
        // Row 1 holds no window; row 3 is past the last row; "x" reads as row 0.
        {"CloseWindow,1", 0, kNoWindow, None},
        {"MaximizedWindow,1", 0, kNoWindow, None},
        {"CloseWindow,3", 0, rangeMessage("CloseWindow"), None},
        {"MinimizedWindow,-1", 0, rangeMessage("MinimizedWindow"), None},
        {"NomalWindow,x", 1, "", Restored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        Screen s;
        ASSERT_NE(s.console, nullptr);
        s.first->showMaximized();  // so that a restore shows
        EXPECT_EQ(s.play(c.step), c.result);
        EXPECT_EQ(s.messages(),
                  c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
        QWidget& w = *s.first;
        switch (c.onFirst) {
            case None:
                EXPECT_TRUE(w.isVisible() && w.isMaximized());
                break;
            case Closed:
                EXPECT_FALSE(w.isVisible());
                break;
            case Minimized:
                EXPECT_TRUE(w.isMinimized());
                break;
            case Maximized:
                EXPECT_TRUE(w.isMaximized());
                break;
            case Restored:
                EXPECT_TRUE(w.isVisible() && !w.isMaximized() && !w.isMinimized());
                break;
        }
        // The second window is never the one a refused or row-0 step touches.
        EXPECT_TRUE(s.second->isVisible() && !s.second->isMinimized());
    }
}

TEST(ConsolePlayers, AnEmptyListRefusesEveryRow) {
    Screen s(false);
    EXPECT_EQ(s.play("CloseWindow,0"), 0);
    EXPECT_EQ(s.messages(), std::vector{rangeMessage("CloseWindow")});
}

TEST(ConsolePlayers, AllWindowCommandsSkipRowsWithoutAWindow) {
    {
        Screen s;
        EXPECT_EQ(s.play("MinimizedAllWindow"), 1);
        EXPECT_TRUE(s.first->isMinimized() && s.second->isMinimized());
        EXPECT_TRUE(s.messages().empty());
    }
    {
        Screen s;
        EXPECT_EQ(s.play("CloseAllWindow"), 1);
        EXPECT_FALSE(s.first->isVisible() || s.second->isVisible());
        EXPECT_TRUE(s.messages().empty());
    }
    for (const char* step : {"MinimizedAllWindow", "CloseAllWindow"}) {
        Screen s(false);
        EXPECT_EQ(s.play(step), 1) << step;
    }
}

TEST(ConsolePlayers, TabStepsBringUpTheirTab) {
    struct Case {
        const char* step;
        ConsolePage shown;
    };
    // The OLAP page has no tab: its step shows the tab at its position, the multi-dimensional.
    const Case cases[] = {
        {"OpenSystemTab", ConsolePage::System},
        {"OpenItemSelTab", ConsolePage::ItemSelection},
        {"OpenDataSelTab", ConsolePage::DataSelection},
        {"OpenOlapTab", ConsolePage::Molap},
        {"OpenLogTab", ConsolePage::Log},
        {"OpenMolapTab", ConsolePage::Molap},
    };
    Screen s(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        s.console->ActivatePage(c.shown == ConsolePage::Log ? ConsolePage::System
                                                            : ConsolePage::Log);
        EXPECT_EQ(s.play(c.step), 1);
        EXPECT_EQ(s.console->CurrentPage(), c.shown);
    }
    s.frame.DestroyConsole();
    EXPECT_EQ(s.play("OpenLogTab"), 0);
    EXPECT_EQ(s.messages(), std::vector{kNoWindow});
}

TEST(ConsolePlayers, WindowStateStepsMoveTheConsoleAndRecordNothingOfTheirOwn) {
    Screen s(false);
    CConsSheet& console = *s.console;
    ASSERT_EQ(s.play("Cons_Max"), 1);
    EXPECT_TRUE(console.isMaximized());
    ASSERT_EQ(s.play("Cons_Min"), 1);
    EXPECT_TRUE(console.isMinimized());
    ASSERT_EQ(s.play("Cons_Restore"), 1);
    EXPECT_FALSE(console.isMinimized());

    // Played inside a recorded run, the steps add only the run itself.
    ASSERT_EQ(s.macro.AddMacro("m", "", {"OpenSystemTab", "Cons_Max", "Cons_Restore"}), 1);
    s.macro.StartRecording();
    EXPECT_EQ(s.macro.RunMacro(0), 1);
    EXPECT_EQ(console.CurrentPage(), ConsolePage::System);
    EXPECT_FALSE(console.isMaximized() || console.isMinimized());
    EXPECT_EQ(s.macro.RecordedSteps(), std::vector<std::string>{"ExeMacro,\"m\""});
}

}  // namespace
