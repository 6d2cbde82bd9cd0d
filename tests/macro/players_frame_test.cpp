// The main frame's commands played: DispConsole shows the console (a console that cannot be made
// ends the run without a message), MinAll minimises it; played steps record nothing.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QWidget>

#include "app/main_frame.h"
#include "macro/cmacro.h"
#include "platform/ui/scripted_prompts.h"

namespace {

class FramePlayers : public ::testing::Test {
protected:
    FramePlayers() : frame(app, factories()), macro(app) {}

    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame&) {
            return makeConsole ? ConsoleHandle{new QWidget, nullptr, nullptr} : ConsoleHandle{};
        };
        return f;
    }

    zbq::ui::ScriptedPrompts prompts;
    CKWApp app;
    bool makeConsole = true;
    CMainFrame frame;
    CMacro macro;
};

TEST_F(FramePlayers, DispConsoleShowsTheConsoleAndMinAllMinimisesIt) {
    frame.show();
    ASSERT_EQ(macro.AddMacro("m", "", {"DispConsole", "MinAll"}), 1);
    macro.StartRecording();
    EXPECT_EQ(macro.RunMacro(0), 1);
    ASSERT_NE(frame.console(), nullptr);
    EXPECT_TRUE(frame.console()->isMinimized());
    // The run is recorded as one step; the actions it played recorded nothing of their own.
    EXPECT_EQ(macro.RecordedSteps(), std::vector<std::string>{"ExeMacro,\"m\""});
}

TEST_F(FramePlayers, AConsoleThatCannotBeMadeEndsTheRunSilently) {
    makeConsole = false;
    EXPECT_EQ(macro.ExecuteCommand({"DispConsole"}), 0);
    EXPECT_TRUE(prompts.messages().empty());
}

}  // namespace
