// The application's services for the windows: console forwarders with and without a console,
// the display list left alone when there is no console to read it from, the suppression guards,
// the step text of a recorder, the spreadsheet program and the graph control check at start-up.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/ckw_app.h"
#include "graphctl/registration.h"
#include "platform/core/registry_file.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/recording_console.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::RecordingConsole;
using zbq::test::TempDir;

std::vector<std::string> texts(const zbq::ui::ScriptedPrompts& prompts) {
    std::vector<std::string> out;
    for (const auto& m : prompts.messages())
        out.push_back(m.text.toStdString());
    return out;
}

// Every console forwarder once, with arguments that show their order.
void callEveryConsoleForwarder(CKWApp& app, std::vector<std::string>* results) {
    app.LogSearch("s", 10, 4, 1.0);
    app.LogSort("item", 7, 1, 2.0);
    results->push_back(app.LogCrossTab("agg", "x", "y", "z", 9, 3.0));
    results->push_back(app.LogDrillThrough("x", "y", 9, 2, 4.0));
    results->push_back(app.LogOperation(MixedText::plainText("op"), 5, 5.0));
    results->push_back(app.FormatCrossTabCaption("agg", "x", "y", "z", 9));
    app.AppendReadLog("line");
    app.FlushReadLog();
    app.EndReadLog("red");
    app.ShowItemSelControl1();
    app.ShowItemSelControl2();
    app.ActivateConsolePage(4);
    app.RebuildItemTree();
    app.AddDisplayItem(1, 3);
    app.RemoveDisplayItem("gone");
    app.UnmarkTreeItem("tree");
    app.SetStatusText("status");
    results->push_back(std::to_string(app.StartProgress()));
    app.StopProgress();
    app.AddWindowRow("win", "kind", 5, nullptr);
    app.RemoveWindowRow(nullptr);
    results->push_back(std::to_string(app.InsertSetItem(2, "set", 3, 8)));
    app.RebuildSetTree();
    app.MarkCurrentSet(6);
    results->push_back(std::to_string(app.GetCurrentSetNo()));
    app.RefreshOlapPages();
    app.ResetOlapPages();
    app.AttachCategorySet();
    app.ResetCategorySet();
    app.RestoreDisplayListToTree();
    app.PumpMessages();
}

TEST(ConsoleForwarders, WithoutAConsoleGiveNeutralResultsAndLeaveTheDisplayListAlone) {
    CKWApp app;
    app.SetDisplayItems({4, 2});
    std::vector<std::string> results;
    callEveryConsoleForwarder(app, &results);
    EXPECT_EQ(results, (std::vector<std::string>{"", "", "", "", "0", "0", "-1"}));
    // No console to read the list back from: the application's copy stays as it was.
    EXPECT_EQ(app.GetDisplayItems(), (std::vector<std::int32_t>{4, 2}));

    // And once a console came and went again.
    RecordingConsole console;
    app.SetConsolePort(&console);
    app.SetConsolePort(nullptr);
    results.clear();
    callEveryConsoleForwarder(app, &results);
    EXPECT_EQ(results, (std::vector<std::string>{"", "", "", "", "0", "0", "-1"}));
    EXPECT_TRUE(console.calls.empty());
}

TEST(ConsoleForwarders, PassTheirArgumentsInOrder) {
    CKWApp app;
    RecordingConsole console;
    console.currentSetNo = 6;
    console.displayRows = {3, 0};
    app.SetConsolePort(&console);
    std::vector<std::string> results;
    callEveryConsoleForwarder(app, &results);
    EXPECT_EQ(console.calls, (std::vector<std::string>{
                                 "LogSearch s 10 4",
                                 "LogSort item 7 1",
                                 "LogCrossTab agg x y z 9",
                                 "LogDrillThrough x y 9 2",
                                 "LogOperation op 5",
                                 "FormatCrossTabCaption agg x y z 9",
                                 "AppendReadLog line",
                                 "FlushReadLog",
                                 "EndReadLog red",
                                 "ShowItemSelControl1",
                                 "ShowItemSelControl2",
                                 "ActivateConsolePage 4",
                                 "RebuildItemTree",
                                 "AddDisplayItem 1 3",
                                 "RemoveDisplayItem gone",
                                 "UnmarkTreeItem tree",
                                 "SetStatusText status",
                                 "StartProgress",
                                 "StopProgress",
                                 "AddWindowRow win kind 5",
                                 "RemoveWindowRow",
                                 "InsertSetItem 2 set 3 8",
                                 "RebuildSetTree",
                                 "MarkCurrentSet 6",
                                 "RefreshOlapPages",
                                 "ResetOlapPages",
                                 "AttachCategorySet",
                                 "ResetCategorySet",
                                 "RestoreDisplayListToTree",
                                 "FinishItemTreeUpdate",
                             }));
    EXPECT_EQ(results,
              (std::vector<std::string>{"LogCrossTab agg x y z 9", "LogDrillThrough x y 9 2",
                                        "LogOperation op 5", "FormatCrossTabCaption agg x y z 9",
                                        "1", "1", "6"}));
    // A display-list change is read back from the console's list.
    EXPECT_EQ(app.GetDisplayItems(), (std::vector<std::int32_t>{3, 0}));
}

TEST(OpenWindows, WithoutWindowsAnswerNotOpen) {
    CKWApp app;
    app.RebuildGrid(1);
    app.RefreshItemWindows();
    app.RebuildItemWindows();
    EXPECT_EQ(app.ShowRecord(0, 0), -1);
    EXPECT_EQ(app.GetCurrentRow(), -1);
    EXPECT_EQ(app.RefreshCrossView(), 0);
    EXPECT_EQ(app.ExecuteMolap(), 0);
}

TEST(SuppressGuards, NestedGuardsRestoreWhatWasThere) {
    CKWApp app;
    {
        CKWApp::SuppressGuard outer(app, Suppress::CloseOne);
        {
            CKWApp::SuppressGuard inner(app, Suppress::CloseOne);
            CKWApp::SuppressGuard other(app, Suppress::SetTree);
            EXPECT_TRUE(app.IsSuppressed(Suppress::CloseOne));
            EXPECT_TRUE(app.IsSuppressed(Suppress::SetTree));
        }
        EXPECT_TRUE(app.IsSuppressed(Suppress::CloseOne));
        EXPECT_FALSE(app.IsSuppressed(Suppress::SetTree));
        EXPECT_FALSE(app.IsSuppressed(Suppress::CloseAll));
    }
    for (Suppress flag : {Suppress::CloseOne, Suppress::CloseAll, Suppress::ItemTree,
                          Suppress::SetTree, Suppress::Filter})
        EXPECT_FALSE(app.IsSuppressed(flag));
}

TEST(StepBuilder, QuotesEveryTextAndDoublesItsQuotes) {
    EXPECT_EQ(StepBuilder("InputSetName").number(3).text("a\"b,c").str(),
              "InputSetName,3,\"a\"\"b,c\"");
    EXPECT_EQ(StepBuilder("Open").textOrAsk("/d/x.zbq", true).number(-1).text("").str(),
              "Open,\"???\",-1,\"\"");
}

TEST(LaunchExcel, TellsWhenTheSpreadsheetProgramCannotStart) {
    CKWApp app;
    app.SetExcelPath("calc.desktop");  // start-up found a spreadsheet program
    zbq::ui::ScriptedPrompts prompts;
    const std::string path = "/tmp/集計 1.xlsx";
    {
        zbq::ui::ScriptedOpener opener(true);
        app.LaunchExcel(path);
        ASSERT_EQ(opener.opened().size(), 1u);
        EXPECT_EQ(opener.opened()[0].toStdString(), path);
        EXPECT_TRUE(prompts.messages().empty());
    }
    const auto told = [&prompts](std::size_t n) {
        ASSERT_EQ(prompts.messages().size(), n);
        EXPECT_EQ(prompts.messages()[n - 1].text.toStdString(), "エクセルの起動に失敗しました");
        EXPECT_EQ(prompts.messages()[n - 1].caption, "ZEBRINE");
        EXPECT_EQ(prompts.messages()[n - 1].icon, zbq::ui::Icon::Exclamation);
    };
    {
        zbq::ui::ScriptedOpener opener(false);
        app.LaunchExcel(path);
        told(1);
    }
    // The opener started, then gave up: told as it ends, in the same words.
    zbq::ui::ScriptedOpener opener(true);
    app.LaunchExcel(path);
    EXPECT_EQ(prompts.messages().size(), 1u);
    opener.failLater();
    told(2);
}

// Sets an environment variable for the lifetime of the object, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (previous_)
            ::setenv(name_, previous_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

TEST(GraphControlCheck, TellsEachMissingPieceAndTurnsGraphOutputOff) {
    const std::string missing = "Grafvik.ocx が存在しません";
    const std::string unregistered = "Grafvik.ocx がレジストリに登録されていません";
    enum Where { Nowhere, SystemDir, ProgramDir };
    struct Case {
        Where library;
        bool registered;
        std::vector<std::string> messages;
        std::int32_t graphOutput;
    };
    const std::vector<Case> cases = {
        {Nowhere, false, {missing, unregistered}, 0},
        {Nowhere, true, {missing}, 0},
        {ProgramDir, false, {unregistered}, 0},
        {ProgramDir, true, {}, 1},
        {SystemDir, true, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "library " << c.library << ", registered " << c.registered);
        TempDir system, program, config;
        ScopedEnv systemDir("ZBQ_SYSTEM_LIBRARY_DIR", system.path());
        ScopedEnv registryFile("ZBQ_REGISTRY_FILE", config.file("registry.ini"));
        if (c.library == SystemDir) zbq::test::writeFile(system.file("Grafvik.ocx"), "");
        if (c.library == ProgramDir) zbq::test::writeFile(program.file("Grafvik.ocx"), "");
        if (c.registered) {
            zbq::RegistryFile registry;
            zbq::grafvik::registerServer(registry, program.file("Grafvik.ocx"));
            ASSERT_TRUE(registry.save(config.file("registry.ini")));
        }

        CKWApp app;
        app.SetProgramDir(program.path());
        zbq::ui::ScriptedPrompts prompts;
        EXPECT_EQ(app.CheckGraphControl(), 1);
        EXPECT_EQ(texts(prompts), c.messages);
        EXPECT_EQ(app.GetGraphOutput(), c.graphOutput);
        for (const auto& m : prompts.messages()) {
            EXPECT_EQ(m.caption, "ZEBRINE");
            EXPECT_EQ(m.icon, zbq::ui::Icon::Exclamation);
        }
    }
}

TEST(Timer, CountsMilliseconds) {
    CKWApp app;
    app.StartTimer();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double ms = app.GetElapsedMs();
    EXPECT_GE(ms, 20.0);
    EXPECT_LT(ms, 60'000.0);  // milliseconds, not microseconds
}

}  // namespace
