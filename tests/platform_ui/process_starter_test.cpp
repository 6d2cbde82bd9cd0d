// Starting a program detached: every argument arrives whole (blanks, quotes, an empty one), a
// program that is not there fails, and the scripted starter stands in while installed.
#include "platform/ui/process_starter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/temp_dir.h"

using namespace zbq::ui;

TEST(ProcessStarter, ArgumentsReachTheProgramWholeWithNoShellBetween) {
    zbq::test::TempDir dir;
    const std::string out = dir.file("args.txt");
    const std::string done = dir.file("done");
    // The program writes each argument it got on a line of its own, then marks that it is done.
    // Shell syntax in an argument does nothing harmful should a shell ever read it by mistake.
    const QString script =
        QString::fromStdString("printf '[%s]\\n' \"$@\" > '" + out + "'; touch '" + done + "'");
    ASSERT_TRUE(processStarter().startDetached(
        "/bin/sh", {"-c", script, "sh", "C:/画像/a b.jpg", "", "x \"y\"; z | w $(v)", "7"}));
    // A detached program reports nothing back: wait for its mark, giving up after a while.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (zbq::test::entriesIn(dir.path()) < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(zbq::test::entriesIn(dir.path()), 2u);
    EXPECT_EQ(zbq::test::readFile(out), "[C:/画像/a b.jpg]\n[]\n[x \"y\"; z | w $(v)]\n[7]\n");
}

TEST(ProcessStarter, AProgramThatIsNotThereFails) {
    EXPECT_FALSE(processStarter().startDetached("/nonexistent/zbq/viewer", {"1"}));
    EXPECT_FALSE(processStarter().startDetached("", {}));
}

TEST(ProcessStarter, ScriptedStarterRecordsAndAnswersWhileInstalled) {
    ProcessStarter* before = &processStarter();
    {
        ScriptedStarter scripted(false);
        EXPECT_EQ(&processStarter(), &scripted);
        EXPECT_FALSE(processStarter().startDetached("/opt/viewer", {"/img/a.tif", "", "12"}));
        ASSERT_EQ(scripted.started().size(), 1u);
        EXPECT_EQ(scripted.started()[0].program, QString("/opt/viewer"));
        EXPECT_EQ(scripted.started()[0].arguments, (QStringList{"/img/a.tif", "", "12"}));
    }
    EXPECT_EQ(&processStarter(), before);
}
