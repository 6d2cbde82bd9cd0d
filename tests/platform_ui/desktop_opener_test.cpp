// The desktop opener: the replaceable service, the desktop's own refusing a missing file without
// starting anything, and an opener program watched from the event loop: one that gives up at
// once is told later, one that runs on or ends past the watch is a start.
#include "platform/ui/desktop_opener.h"

#include <gtest/gtest.h>

#include <QTest>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"

using namespace zbq::ui;

TEST(DesktopOpener, ScriptedOpenerRecordsAndAnswersWhileInstalled) {
    DesktopOpener* before = &opener();
    {
        ScriptedOpener scripted(false);
        EXPECT_EQ(&opener(), &scripted);
        EXPECT_FALSE(opener().open("/opt/zbq/ZBQIniViewer.chm"));
        scripted.setResult(true);
        EXPECT_TRUE(opener().open("/opt/zbq/a b.pdf"));
        EXPECT_EQ(scripted.opened(),
                  (std::vector<QString>{"/opt/zbq/ZBQIniViewer.chm", "/opt/zbq/a b.pdf"}));
    }
    EXPECT_EQ(&opener(), before);
}

TEST(DesktopOpener, DesktopOpenerRefusesAMissingFile) {
    EXPECT_FALSE(opener().open("/nonexistent/zbq/help.chm"));
}

class WatchedOpener : public ::testing::Test {
protected:
    // A stand-in for the desktop's opener: a shell script of `body`, which gets the file as $1.
    QString standIn(const std::string& name, const std::string& body) {
        const std::string path = dir.file(name);
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return QString::fromStdString(path);
    }
    // Opens the file with `opener` and waits for the mark its script leaves as it ends.
    bool openAndWait(DesktopOpener& opener, const std::string& mark, int& failures) {
        if (!opener.open(file, [&failures] { ++failures; })) return false;
        return QTest::qWaitFor([&] { return std::filesystem::exists(dir.file(mark)); }, 20000);
    }

    zbq::test::TempDir dir;
    const QString file = QString::fromStdString(dir.file("集計 1.xlsx"));
    const std::chrono::milliseconds watch{300};

    void SetUp() override { std::ofstream(file.toStdString()) << "x"; }
};

TEST_F(WatchedOpener, AnOpenerThatGivesUpAtOnceIsToldOnceAndOneThatEndsWellIsNot) {
    const struct {
        const char* name;
        const char* body;
        int failures;
    } cases[] = {
        {"fails", "touch \"$(dirname \"$1\")/fails.end\"; exit 4", 1},
        {"killed", "touch \"$(dirname \"$1\")/killed.end\"; kill -9 $$", 1},
        {"opens", "touch \"$(dirname \"$1\")/opens.end\"; exit 0", 0},
    };
    for (const auto& c : cases) {
        ProcessOpener opener(standIn(c.name, c.body), watch);
        int failures = 0;
        ASSERT_TRUE(openAndWait(opener, std::string(c.name) + ".end", failures)) << c.name;
        // The end is seen at the watch's next look; an opener that ended well is given as long
        // to be (wrongly) told.
        const int wait = c.failures ? 20000 : 3 * static_cast<int>(watch.count());
        static_cast<void>(QTest::qWaitFor([&] { return failures > 0; }, wait));
        EXPECT_EQ(failures, c.failures) << c.name;
    }
}

TEST_F(WatchedOpener, AnOpenerThatRunsPastTheWatchIsAStartHoweverItEnds) {
    // It runs on past the watch (as one waiting for the spreadsheet program to close), then
    // ends with a failure of that program's own.
    ProcessOpener opener(standIn("runs-on", "sleep 1; touch \"$1.end\"; exit 3"), watch);
    int failures = 0;
    ASSERT_TRUE(opener.open(file, [&failures] { ++failures; }));
    const std::string end = file.toStdString() + ".end";
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(end); }, 20000));
    QTest::qWait(3 * static_cast<int>(watch.count()));
    EXPECT_EQ(failures, 0);
}

TEST_F(WatchedOpener, NoOpenerProgramOrNoFileIsRefusedAtOnce) {
    int failures = 0;
    ProcessOpener missing(QString::fromStdString(dir.file("no-such-opener")), watch);
    EXPECT_FALSE(missing.open(file, [&failures] { ++failures; }));
    ProcessOpener opener(standIn("opens", "exit 0"), watch);
    EXPECT_FALSE(opener.open(QString::fromStdString(dir.file("gone.xlsx"))));
    EXPECT_EQ(failures, 0);
}
