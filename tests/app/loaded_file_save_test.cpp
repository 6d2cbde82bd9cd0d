// A save of all records writes the records the session loaded, never whatever lies at the
// loaded path now: another program's data set renamed over the loaded file is not written, a
// loaded file changed in place (before or while its records are copied, its modification time
// set back or not) is refused with nothing written, the settings come from the file opened, and
// after a save over its own path the session works on the new file. Two sessions as separate
// processes on one folder prove it on real files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdlib>
#include <filesystem>

#include "app/held_data_file.h"
#include "tests/app/start_fixture.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

constexpr int kOtherRecords = 5;  // the fixture's men

std::int32_t recordsIn(const std::string& path) {
    KW_search s;
    return s.KWopen(path, "") < 0 ? -1 : s.KWgetRecordCount();
}

// In `h`'s program directory: "data.zbq", the fixture's records, and "other.zbq", another data
// set (the men alone), as two users make them.
void makeDataSets(AppHarness& h) {
    ASSERT_TRUE(h.start({h.writeFixture()}));
    CKWApp& app = h.app();
    ASSERT_EQ(app.KWsrch("#1=1"), kOtherRecords);
    app.SetSaveMode(2);
    app.SetSavePath(h.file("other.zbq"));
    ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
    app.SetSaveMode(1);
    app.SetSavePath(h.file("data.zbq"));
    ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
    h.exit();
    h.prompts().clear();
    ASSERT_EQ(recordsIn(h.file("data.zbq")), AppHarness::kFixtureRecords);
    ASSERT_EQ(recordsIn(h.file("other.zbq")), kOtherRecords);
}

// Another program saves `source` over `target` as every careful writer does: beside it, then
// renamed over it.
void renameOver(const std::string& source, const std::string& target) {
    const std::string beside = target + ".new";
    std::filesystem::copy_file(source, beside, std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(std::rename(beside.c_str(), target.c_str()), 0);
}

std::int32_t saveAll(CKWApp& app, const std::string& target) {
    app.SetSaveMode(1);
    app.SetSavePath(target);
    return app.SaveDataAndMacro("", 0);
}

// One byte of `path` changed in place, its modification time then set back to what it was: what
// a careless tool or a same-size rewrite within one clock tick leaves.
void changeByteKeepingTheTime(const std::string& path) {
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    char byte = 0;
    ASSERT_EQ(::pread(fd, &byte, 1, 20), 1);
    byte = static_cast<char>(byte ^ 0x5A);
    ASSERT_EQ(::pwrite(fd, &byte, 1, 20), 1);
    const timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
    ASSERT_EQ(::futimens(fd, times), 0);
    ::close(fd);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

std::string loadedChangedMessage(const std::string& target, const std::string& loaded) {
    return "ファイルの書出しに失敗しました。\n[" + target + "]\n読込んだ後にZBQファイル[" + loaded +
           "]が変更されたため、読込んだデータを書き出せません。";
}

TEST(LoadedFileSave, AnotherDataSetRenamedOverTheLoadedFileIsNeverWritten) {
    AppHarness h;
    makeDataSets(h);
    const std::string data = h.file("data.zbq");
    ASSERT_TRUE(h.restart({data}));
    CKWApp& app = h.app();
    ASSERT_EQ(app.GetLoadMode(), 2);

    renameOver(h.file("other.zbq"), data);
    ASSERT_EQ(saveAll(app, h.file("copy.zbq")), 1);
    EXPECT_EQ(recordsIn(h.file("copy.zbq")), AppHarness::kFixtureRecords);
    ASSERT_EQ(saveAll(app, data), 1);
    EXPECT_EQ(recordsIn(data), AppHarness::kFixtureRecords);

    // Saved over its own path, the session works on the new file: the next file renamed over
    // the name is not its data either, and the new file changed in place is told.
    renameOver(h.file("other.zbq"), data);
    ASSERT_EQ(saveAll(app, h.file("later.zbq")), 1);
    EXPECT_EQ(recordsIn(h.file("later.zbq")), AppHarness::kFixtureRecords);
    ASSERT_EQ(saveAll(app, data), 1);
    h.prompts().clear();
    changeByteKeepingTheTime(data);
    EXPECT_EQ(saveAll(app, h.file("changed.zbq")), 0);
    EXPECT_EQ(shown(h.prompts()),
              std::vector<std::string>{loadedChangedMessage(h.file("changed.zbq"), data)});
    EXPECT_FALSE(std::filesystem::exists(h.file("changed.zbq")));

    // Both copies open again with the loaded records and settings.
    ASSERT_TRUE(h.restart({h.file("copy.zbq")}));
    EXPECT_EQ(h.app().Search().KWgetRecordCount(), AppHarness::kFixtureRecords);
}

TEST(LoadedFileSave, TheLoadedFileRemovedStillSavesItsRecords) {
    AppHarness h;
    makeDataSets(h);
    ASSERT_TRUE(h.restart({h.file("data.zbq")}));
    ASSERT_EQ(::unlink(h.file("data.zbq").c_str()), 0);
    ASSERT_EQ(saveAll(h.app(), h.file("data.zbq")), 1);
    EXPECT_EQ(recordsIn(h.file("data.zbq")), AppHarness::kFixtureRecords);
}

// The bytes behind the loaded file changed in place are no longer the session's records: the
// save is refused with its message and no file is written or replaced.
TEST(LoadedFileSave, ALoadedFileChangedInPlaceIsRefusedAndNothingIsWritten) {
    // Only the change time tells the last two: the size is the same and the modification time
    // is set back to what the load saw.
    const struct {
        const char* change;
        bool sameSize;
        bool timeSetBack;
    } cases[] = {{"rewritten with another data set", false, false},
                 {"one byte changed, same size", true, false},
                 {"one byte changed, its time set back", true, true},
                 {"rewritten with another data set, its time set back", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        AppHarness h;
        makeDataSets(h);
        const std::string data = h.file("data.zbq");
        ASSERT_TRUE(h.restart({data}));
        CKWApp& app = h.app();
        h.prompts().clear();

        struct stat loaded {};
        ASSERT_EQ(::stat(data.c_str(), &loaded), 0);
        const int fd = ::open(data.c_str(), O_WRONLY | O_CLOEXEC | (c.sameSize ? 0 : O_TRUNC));
        ASSERT_GE(fd, 0);
        if (c.sameSize) {
            ASSERT_EQ(::pwrite(fd, "Z", 1, 20), 1);
        } else {
            const std::string other = readFile(h.file("other.zbq"));
            ASSERT_EQ(::write(fd, other.data(), other.size()), static_cast<ssize_t>(other.size()));
        }
        // Later than any time the load can have seen, whatever the clock's granularity; or
        // back to the time it saw.
        const timespec later[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 10, 0}};
        const timespec back[2] = {{0, UTIME_OMIT}, loaded.st_mtim};
        ASSERT_EQ(::futimens(fd, c.timeSetBack ? back : later), 0);
        ::close(fd);
        const std::string changed = readFile(data);
        const std::size_t entries = entriesIn(h.programDir());

        for (const std::string& target : {h.file("copy.zbq"), data}) {
            EXPECT_EQ(saveAll(app, target), 0);
            ASSERT_EQ(shown(h.prompts()).size(), 1u);
            EXPECT_EQ(shown(h.prompts())[0], loadedChangedMessage(target, data));
            h.prompts().clear();
        }
        EXPECT_FALSE(std::filesystem::exists(h.file("copy.zbq")));
        EXPECT_FALSE(std::filesystem::exists(h.file("copy.mcr")));
        EXPECT_EQ(readFile(data), changed);
        EXPECT_EQ(entriesIn(h.programDir()), entries);

        // The displayed set is written from the engine's own records: still possible.
        app.SetSaveMode(2);
        app.SetSavePath(h.file("shown.zbq"));
        EXPECT_EQ(app.SaveDataAndMacro("", 0), 1);
        EXPECT_EQ(recordsIn(h.file("shown.zbq")), AppHarness::kFixtureRecords);
    }
}

// The loaded file changed in place while its records are copied: the copy is not the session's
// records either, so it is thrown away and the save refused, as before the copy.
TEST(LoadedFileSave, AChangeWhileTheRecordsAreCopiedIsRefusedAndNothingIsWritten) {
    AppHarness h;
    makeDataSets(h);
    const std::string data = h.file("data.zbq");
    ASSERT_TRUE(h.restart({data}));
    CKWApp& app = h.app();
    h.prompts().clear();
    const std::size_t entries = entriesIn(h.programDir());
    // The hook runs as the records are about to be copied, after the check before the copy.
    bool changed = false;
    app.SetSaveFaultHook([&](int write) {
        if (write == 0 && !changed) {
            changed = true;
            changeByteKeepingTheTime(data);
        }
    });
    EXPECT_EQ(saveAll(app, h.file("copy.zbq")), 0);
    app.SetSaveFaultHook(nullptr);
    ASSERT_TRUE(changed);
    EXPECT_EQ(shown(h.prompts()),
              std::vector<std::string>{loadedChangedMessage(h.file("copy.zbq"), data)});
    EXPECT_FALSE(std::filesystem::exists(h.file("copy.zbq")));
    EXPECT_FALSE(std::filesystem::exists(h.file("copy.mcr")));
    EXPECT_EQ(entriesIn(h.programDir()), entries);
}

// The settings are read from the file the load holds, never from whatever lies at its name by
// then: here a copy of the same records with other settings is renamed over it between the
// opening and the reading of the settings.
TEST(LoadedFileSave, TheSettingsComeFromTheFileOpenedNotFromItsName) {
    AppHarness h;
    makeDataSets(h);
    const std::string data = h.file("data.zbq");
    ASSERT_TRUE(h.restart({data}));
    const std::vector<std::int32_t> loadedItems = h.app().GetDisplayItems();
    const std::vector<std::int32_t> otherItems = {2, 0, 1};
    ASSERT_NE(loadedItems, otherItems);
    h.app().SetDisplayItems(otherItems);
    ASSERT_EQ(saveAll(h.app(), h.file("resettled.zbq")), 1);
    h.prompts().clear();

    // The load's own steps, with the other file renamed over the name between them.
    CKWApp& app = h.app();
    app.FreeSettingsBlock();
    ASSERT_EQ(app.GetLoadMode(), 2);
    ASSERT_EQ(app.GetDataFilePath(), data);
    ASSERT_EQ(app.OpenDataFile(), 1);
    renameOver(h.file("resettled.zbq"), data);
    ASSERT_EQ(app.ReadSettingsBlob(), 1);
    ASSERT_NE(app.Block(), nullptr);
    EXPECT_EQ(app.Block()->displayItems, loadedItems);
    EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{});
}

// What tells a change: the size and the modification time each alone, and the change time unless
// the mode, owner or links moved it (a chmod, a chown, a link made or removed, another file
// renamed over the name).
TEST(FileStamp, TheSizeTheModificationTimeAndTheChangeTimeEachTellAChange) {
    struct stat loaded {};
    loaded.st_size = 1000;
    loaded.st_mtim = {1700000000, 5};
    loaded.st_ctim = {1700000000, 7};
    loaded.st_mode = S_IFREG | 0644;
    loaded.st_uid = 1000;
    loaded.st_gid = 1000;
    loaded.st_nlink = 1;
    const app::FileStamp stamp = app::FileStamp::of(loaded);
    const struct {
        const char* change;
        void (*apply)(struct stat&);
        bool same;
    } cases[] = {
        {"nothing", [](struct stat&) {}, true},
        {"the size", [](struct stat& st) { st.st_size = 1001; }, false},
        {"the modification time's seconds", [](struct stat& st) { ++st.st_mtim.tv_sec; }, false},
        {"the modification time's nanoseconds", [](struct stat& st) { ++st.st_mtim.tv_nsec; },
         false},
        {"the change time's seconds", [](struct stat& st) { ++st.st_ctim.tv_sec; }, false},
        {"the change time's nanoseconds", [](struct stat& st) { ++st.st_ctim.tv_nsec; }, false},
        {"the access time",
         [](struct stat& st) {
             st.st_atim = {1, 1};
         },
         true},
        {"the change time with the links",
         [](struct stat& st) {
             ++st.st_ctim.tv_nsec;
             st.st_nlink = 0;
         },
         true},
        {"the change time with the mode",
         [](struct stat& st) {
             ++st.st_ctim.tv_nsec;
             st.st_mode = S_IFREG | 0600;
         },
         true},
        {"the change time with the owner",
         [](struct stat& st) {
             ++st.st_ctim.tv_nsec;
             st.st_uid = 0;
         },
         true},
        {"the change time with the group",
         [](struct stat& st) {
             ++st.st_ctim.tv_nsec;
             st.st_gid = 0;
         },
         true},
        {"the size with the links",
         [](struct stat& st) {
             st.st_size = 1001;
             st.st_nlink = 2;
         },
         false},
        {"the modification time with the owner",
         [](struct stat& st) {
             ++st.st_mtim.tv_sec;
             st.st_uid = 0;
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        struct stat now = loaded;
        c.apply(now);
        EXPECT_EQ(stamp.same(app::FileStamp::of(now)), c.same);
    }
}

// A data file reached through a symbolic link (a shared folder, say) stays behind its link: the
// save writes the linked file, and a link that names nothing is refused, never replaced.
TEST(LoadedFileSave, ASaveThroughALinkWritesTheLinkedFileAndKeepsTheLink) {
    AppHarness h;
    makeDataSets(h);
    const std::string shared = h.file("shared");
    std::filesystem::create_directory(shared);
    const std::string real = shared + "/real.zbq";
    std::filesystem::copy_file(h.file("other.zbq"), real);
    const std::string link = h.file("link.zbq");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(h.restart({h.file("data.zbq")}));

    ASSERT_EQ(saveAll(h.app(), link), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(recordsIn(real), AppHarness::kFixtureRecords);
    EXPECT_EQ(recordsIn(link), AppHarness::kFixtureRecords);

    // Saved again over it, the link still stands and the file it names holds the new save.
    h.app().SetSaveMode(2);
    ASSERT_EQ(h.app().KWsrch("#1=1"), kOtherRecords);
    h.app().SetSavePath(link);
    ASSERT_EQ(h.app().SaveDataAndMacro("", 0), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(recordsIn(real), kOtherRecords);

    const std::string dangling = h.file("dangling.zbq");
    ASSERT_EQ(::symlink(h.file("nowhere/none.zbq").c_str(), dangling.c_str()), 0);
    h.prompts().clear();
    EXPECT_EQ(saveAll(h.app(), dangling), 0);
    EXPECT_EQ(shown(h.prompts()).size(), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
}

// --- Two sessions, two processes ---

// Waits until `path` exists, at most a minute.
bool appears(const std::string& path, QProcess& alive) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000) {
        if (std::filesystem::exists(path)) return true;
        if (alive.state() == QProcess::NotRunning) return false;
        QThread::msleep(10);
    }
    return false;
}

// One session of its own process, on the shared folder ZBQ_TWO_SESSIONS_DIR: "a" loads data.zbq,
// says so in a.loaded, waits for b.saved and saves all records to a-copy.zbq and over
// data.zbq; "b" loads other.zbq and saves all of it over data.zbq, then writes b.saved.
TEST(TwoSessions, Child) {
    const char* role = std::getenv("ZBQ_TWO_SESSIONS");
    const char* dir = std::getenv("ZBQ_TWO_SESSIONS_DIR");
    if (!role || !dir) GTEST_SKIP() << "run by TwoSessions.NoSaveOfOneHoldsTheOthersRecords";
    const std::string folder = dir;
    AppHarness h;
    if (std::string(role) == "a") {
        ASSERT_TRUE(h.start({folder + "/data.zbq"}));
        writeFile(folder + "/a.loaded", "");
        QElapsedTimer waited;
        waited.start();
        while (!std::filesystem::exists(folder + "/b.saved") && waited.elapsed() < 60000)
            QThread::msleep(10);
        ASSERT_TRUE(std::filesystem::exists(folder + "/b.saved"));
        EXPECT_EQ(saveAll(h.app(), folder + "/a-copy.zbq"), 1);
        EXPECT_EQ(saveAll(h.app(), folder + "/data.zbq"), 1);
    } else {
        ASSERT_TRUE(h.start({folder + "/other.zbq"}));
        EXPECT_EQ(saveAll(h.app(), folder + "/data.zbq"), 1);
        writeFile(folder + "/b.saved", "");
    }
    h.exit();
}

TEST(TwoSessions, NoSaveOfOneHoldsTheOthersRecords) {
    AppHarness h;
    makeDataSets(h);
    const auto startSession = [&h](QProcess& child, const char* role) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZBQ_TWO_SESSIONS", role);
        env.insert("ZBQ_TWO_SESSIONS_DIR", QString::fromStdString(h.programDir()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe")),
                    {"--gtest_filter=TwoSessions.Child"});
        return child.waitForStarted(10000);
    };
    const auto output = [](QProcess& child) {
        return child.readAllStandardOutput().toStdString() +
               child.readAllStandardError().toStdString();
    };
    QProcess a, b;
    ASSERT_TRUE(startSession(a, "a"));
    ASSERT_TRUE(appears(h.file("a.loaded"), a)) << output(a);
    ASSERT_TRUE(startSession(b, "b"));
    ASSERT_TRUE(b.waitForFinished(60000));
    EXPECT_EQ(b.exitCode(), 0) << output(b);
    ASSERT_TRUE(a.waitForFinished(60000));
    EXPECT_EQ(a.exitCode(), 0) << output(a);

    EXPECT_EQ(recordsIn(h.file("a-copy.zbq")), AppHarness::kFixtureRecords);
    EXPECT_EQ(recordsIn(h.file("data.zbq")), AppHarness::kFixtureRecords);
}

}  // namespace
}  // namespace zbq::test
