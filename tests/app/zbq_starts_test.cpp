// The ZBQ executable as a process of its own: it starts offscreen, stays up until it is asked to
// close and closes cleanly, a signal while Qt starts included; killed, it leaves temp/ to the next
// start, which removes what it left; two runs at once never remove each other's files.
#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "graphctl/registration.h"
#include "platform/core/registry_file.h"
#include "tests/app/start_fixture.h"

namespace zbq::test {
namespace {

// How long a child run may take to start or to end: a sanitized build on a loaded machine can
// take many seconds, and a deadline only turns a hang into a failure, so it is generous; what
// the tests assert is how the run ended.
constexpr int kChildDeadlineMs = 180000;

// Some process holds the lock on this file.
bool lockHeld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// The files in temp/ of the run in this harness.
std::vector<std::string> ownFiles(AppHarness& h) {
    return runTemporaries(h.app().GetTempDataFile());
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    std::sort(a.begin(), a.end());
    return a;
}

// The files in temp/ of a run, other than those named, that holds its lock and has built its
// working file (written beside it and renamed into place, so whole once it has a size); empty
// while there is none.
std::vector<std::string> loadedRun(AppHarness& h, const std::vector<std::string>& others) {
    for (const std::string& name : h.tempFiles()) {
        if (!name.ends_with(".lock") ||
            std::find(others.begin(), others.end(), name) != others.end())
            continue;
        const std::string base = name.substr(0, name.size() - 5);
        std::error_code ec;
        const auto size = std::filesystem::file_size(h.file("temp/" + base + "_t.zbq"), ec);
        if (lockHeld(h.file("temp/" + name)) && !ec && size > 0)
            return runTemporaries(base + "_t.zbq");
    }
    return {};
}

// ZBQ started on the harness's program directory with the fixture's definition, installed as
// a user has it (the graph control registered, a spreadsheet program on the path), so that it
// loads without a question and waits in its event loop.
class ChildZbq {
public:
    explicit ChildZbq(AppHarness& h) : h_(h) {
        writeFile(h.file("Grafvik.ocx"), "");
        RegistryFile registry;
        grafvik::registerServer(registry, h.file("Grafvik.ocx"));
        EXPECT_TRUE(registry.save(h.file("registry.ini")));
        std::filesystem::create_directories(h.file("bin"));
        writeFile(h.file("bin/localc"), "#!/bin/sh\n");
        std::filesystem::permissions(h.file("bin/localc"), std::filesystem::perms::owner_all);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZBQ_PROGRAM_DIR", QString::fromStdString(h.programDir()));
        env.insert("ZBQ_REGISTRY_FILE", QString::fromStdString(h.file("registry.ini")));
        env.insert("ZBQ_SYSTEM_LIBRARY_DIR", QString::fromStdString(h.file("system-lib")));
        env.insert("PATH", QString::fromStdString(h.file("bin")) + ":" + env.value("PATH"));
        env.remove("ZBQ_NO_SPREADSHEET");
        process_.setProcessEnvironment(env);
        process_.start(ZBQ_EXECUTABLE, {QString::fromStdString(h.writeFixture())});
        EXPECT_TRUE(process_.waitForStarted(kChildDeadlineMs));
    }
    ~ChildZbq() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished(kChildDeadlineMs);
    }

    // Waits until the run holds its names and has built its working file; its files in temp/.
    std::vector<std::string> waitUntilLoaded(const std::vector<std::string>& others = {}) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kChildDeadlineMs && process_.state() == QProcess::Running) {
            if (std::vector<std::string> names = loadedRun(h_, others); !names.empty())
                return names;
            QThread::msleep(20);
        }
        ADD_FAILURE() << "ZBQ did not load: " << process_.readAllStandardError().toStdString();
        return {};
    }

    // SIGTERM, as a session ending: the run shuts down at once, asking nothing.
    void terminate() {
        process_.terminate();
        EXPECT_TRUE(process_.waitForFinished(kChildDeadlineMs)) << "it waits for an answer";
        EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process_.exitCode(), 0);
    }

    // SIGTERM while Qt is starting, before the program's own start-up: once the offscreen
    // platform plugin is mapped, the application object is being built.
    void terminateWhileQtStarts() {
        const std::string maps = "/proc/" + std::to_string(process_.processId()) + "/maps";
        QElapsedTimer waited;
        waited.start();
        const auto mapped = [&maps] {
            std::ifstream in(maps);
            std::ostringstream text;
            text << in.rdbuf();
            return text.str().find("libqoffscreen") != std::string::npos;
        };
        while (waited.elapsed() < kChildDeadlineMs && process_.state() == QProcess::Running && !mapped()) {
        }
        ASSERT_EQ(process_.state(), QProcess::Running);
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        EXPECT_TRUE(process_.waitForFinished(kChildDeadlineMs)) << "it waits for an answer";
        EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit) << "the signal killed it";
        EXPECT_EQ(process_.exitCode(), 0) << process_.readAllStandardError().toStdString();
    }

    bool running() { return !process_.waitForFinished(300); }

    void kill() {
        process_.kill();  // SIGKILL: no shutdown of its own
        EXPECT_TRUE(process_.waitForFinished(kChildDeadlineMs));
        EXPECT_EQ(process_.exitStatus(), QProcess::CrashExit);
    }

private:
    AppHarness& h_;
    QProcess process_;
};

// A run has loaded once its lock is held and its working file has a size; the lock alone, taken
// before the other names are claimed, is not the sign, nor is a working file claimed but empty.
TEST(ZbqStartup, ARunCountsAsLoadedOnceItsWorkingFileIsBuilt) {
    AppHarness h;
    std::filesystem::create_directories(h.file("temp"));
    const std::string base = "121126074523";
    const int fd =
        ::open(h.file("temp/" + base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    EXPECT_EQ(loadedRun(h, {}), std::vector<std::string>{}) << "the lock alone";
    writeFile(h.file("temp/" + base + "_t.zbq"), "");
    EXPECT_EQ(loadedRun(h, {}), std::vector<std::string>{}) << "claimed, not built";
    writeFile(h.file("temp/" + base + "_t.zbq"), "built");
    EXPECT_EQ(loadedRun(h, {}), runTemporaries(base + "_t.zbq"));
    EXPECT_EQ(loadedRun(h, {base + ".lock"}), std::vector<std::string>{}) << "another's";
    ::close(fd);
    EXPECT_EQ(loadedRun(h, {}), std::vector<std::string>{}) << "its run is gone";
}

TEST(ZbqStartup, StaysUpUntilClosedAndExitsCleanly) {
    AppHarness h;
    ChildZbq zbq(h);
    ASSERT_FALSE(zbq.waitUntilLoaded().empty());
    EXPECT_TRUE(zbq.running()) << "it ended on its own";
    zbq.terminate();
}

TEST(ZbqStartup, ASignalWhileQtStartsEndsTheRunThroughItsShutdown) {
    AppHarness h;
    ChildZbq zbq(h);
    zbq.terminateWhileQtStarts();
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
}

TEST(ZbqStartup, AStartAfterAKilledRunLeavesOnlyItsOwnTemporaries) {
    AppHarness h;
    std::vector<std::string> killed;
    {
        ChildZbq zbq(h);
        killed = zbq.waitUntilLoaded();
        ASSERT_FALSE(killed.empty());
        zbq.kill();
    }
    ASSERT_EQ(h.tempFiles(), killed) << "killed, it removed nothing itself";

    ASSERT_TRUE(h.start({h.file("fixture.def")}));
    EXPECT_EQ(h.tempFiles(), ownFiles(h));
    h.exit();
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
}

TEST(ZbqStartup, ASignalToALoadedRunEndsItWithItsTemporariesRemoved) {
    AppHarness h;
    ChildZbq zbq(h);
    ASSERT_FALSE(zbq.waitUntilLoaded().empty());
    zbq.terminate();
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
}

TEST(ZbqStartup, TwoRunsAtOnceKeepEachOthersTemporaries) {
    AppHarness h;
    ASSERT_TRUE(h.start({h.writeFixture()}));
    const std::vector<std::string> first = ownFiles(h);

    ChildZbq zbq(h);
    const std::vector<std::string> theirs = zbq.waitUntilLoaded(first);
    ASSERT_FALSE(theirs.empty());
    EXPECT_EQ(h.tempFiles(), joined(first, theirs)) << "its start left this run's files";

    h.exit();
    EXPECT_EQ(h.tempFiles(), theirs) << "this run's shutdown left the other's files";
    ASSERT_TRUE(h.restart({h.file("fixture.def")}));
    EXPECT_EQ(h.tempFiles(), joined(ownFiles(h), theirs)) << "a start beside it left them too";
    h.exit();
    EXPECT_EQ(h.tempFiles(), theirs);
}

}  // namespace
}  // namespace zbq::test
