// A session recorded through the real frame and console, replayed in a fresh program: the user
// opens the system tab and the log tab, maximises and restores the console, and saves all
// records with a password to a new file. The macro the session recorded, stored in the macro
// file the next start-up reads, plays in a fresh program to the same screen and the same data
// file, byte for byte but for the password field's random filler; its password, never stored,
// is asked in the password dialog.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTabWidget>

#include <chrono>
#include <filesystem>
#include <functional>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "engine/kw_search.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/saved_bytes.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

// One start-up stamp for both programs, so their temporary names agree.
std::chrono::system_clock::time_point fixedTime() {
    using namespace std::chrono;
    return sys_days{year{2024} / 5 / 6} + hours{12} + minutes{34} + seconds{56};
}

// A program as scripts/run makes it: application, macro object, main frame and console.
struct Program {
    Program() : frame(h.app(), factories()) { h.app().SetClock(fixedTime); }
    ~Program() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        return f;
    }
    CConsSheet* console() const { return qobject_cast<CConsSheet*>(frame.console()); }

    AppHarness h;
    CMacro macro{h.app()};
    CMainFrame frame;
};

std::int32_t recordsIn(const std::string& path, const std::string& password) {
    KW_search s;
    return s.KWopen(path, password) < 0 ? -1 : s.KWgetRecordCount();
}

TEST(RecordReplay, ASessionReplaysToTheSameScreenAndDataFile) {
    TempDir out;
    const std::string target = out.file("session.zbq");
    std::string recordedScreen, savedBytes;
    {
        Program session;
        ASSERT_TRUE(session.h.start({session.h.writeFixture()}));
        CConsSheet* console = session.console();
        ASSERT_NE(console, nullptr);

        ASSERT_EQ(session.macro.StartRecording(), 1);
        // The user's actions, with the event loop turning between them as it does between clicks.
        const std::function<void()> actions[] = {
            [&] { console->tabs()->setCurrentIndex(0); },
            [&] { console->tabs()->setCurrentIndex(4); },
            [&] { console->OnSysCommand(ConsoleSysCommand::Maximize); },
            [&] { console->OnSysCommand(ConsoleSysCommand::Restore); },
        };
        for (const auto& action : actions) {
            action();
            QCoreApplication::processEvents();
        }
        CKWApp& app = session.h.app();
        app.SetSaveMode(1);
        app.SetSavePath(target);
        session.h.answerDialogs({"pw"});
        ASSERT_EQ(app.SaveDataAndMacro("", 1), 1);
        EXPECT_EQ(
            session.macro.RecordedSteps(),
            (std::vector<std::string>{"OpenSystemTab", "OpenLogTab", "Cons_Max", "Cons_Restore",
                                      "SaveZbw,\"" + target + "\",\"???\",0"}));
        ASSERT_EQ(session.macro.StopRecording("session"), 1);

        recordedScreen = session.h.snapshot();
        savedBytes = readFile(target);
        EXPECT_EQ(recordsIn(target, "pw"), AppHarness::kFixtureRecords);
        ASSERT_EQ(session.macro.WriteMacroFile(out.file("recorded.mcr")), 1);
    }
    std::filesystem::remove(target);
    std::filesystem::remove(out.file("session.mcr"));

    // One application object at a time: the replay's program starts once the session's ended.
    Program replay;
    std::filesystem::copy_file(out.file("recorded.mcr"), replay.h.file("fixture.mcr"));
    ASSERT_TRUE(replay.h.start({replay.h.writeFixture()}));
    const int index = replay.macro.FindMacro("session");
    ASSERT_GE(index, 0) << "the start-up did not read the recorded macro";
    replay.h.answerDialogs({"pw"});
    ASSERT_EQ(replay.macro.RunMacro(index), 1);
    EXPECT_EQ(replay.h.dialogsShown(), std::vector<std::string>{"password"});

    EXPECT_EQ(replay.h.snapshot(), recordedScreen);
    EXPECT_EQ(recordsIn(target, "pw"), AppHarness::kFixtureRecords);
    EXPECT_TRUE(withoutPasswordField(readFile(target)) == withoutPasswordField(savedBytes))
        << "the replayed data file differs";
}

// The screen lines compare two programs: the timings and the program's folder are masked, and
// nothing else is.
TEST(RecordReplay, SnapshotMasksTimingsAndTheProgramFolderOnly) {
    const auto screenAfter = [](double ms, std::int32_t records) {
        Program program;
        EXPECT_TRUE(program.h.start({program.h.writeFixture()}));
        program.h.app().console().LogOperation(MixedText().word(cp932::literal("集計")), records,
                                               ms);
        std::string snapshot = program.h.snapshot();
        EXPECT_EQ(snapshot.find(program.h.programDir()), std::string::npos);
        return snapshot;
    };
    const std::string slow = screenAfter(4567.8, 12);
    EXPECT_NE(slow.find("  集計 12 Rec # ﾐﾘ秒\n"), std::string::npos) << slow;
    EXPECT_EQ(screenAfter(3, 12), slow);
    EXPECT_NE(screenAfter(3, 11), slow);
}

}  // namespace
}  // namespace zbq::test
