// Temporaries: fresh private files under one recognisable name, and the sweep that removes those
// a killed writer left behind without ever touching a live writer's or anyone else's.
#include "platform/core/temp_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/folders.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

std::string decimal(long long n) {
    return std::to_string(n);
}

// The pid of a process that has ended.
pid_t goneProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

std::string tempName(const std::string& stem, long long pid, long long start, int serial = 0) {
    return "." + stem + ".zbq-tmp." + decimal(pid) + "." + decimal(start) + "." + decimal(serial);
}

TEST(TempFile, FreshPrivateFileBesideTheTargetNamedForItsOwner) {
    TempDir dir;
    const long long myStart = zbq::processStartTicks(::getpid());
    ASSERT_GT(myStart, 0);
    for (mode_t mask : {mode_t{0}, mode_t{022}, mode_t{0277}}) {
        SCOPED_TRACE(mask);
        std::string first, second;
        const mode_t old = ::umask(mask);
        const int a = zbq::createTempFile(dir.file("data.zbq"), first);
        const int b = zbq::createTempFile(dir.file("data.zbq"), second);
        ::umask(old);
        ASSERT_GE(a, 0);
        ASSERT_GE(b, 0);
        EXPECT_NE(first, second);
        EXPECT_EQ(zbq::parentFolder(first), dir.path());
        const std::string name = first.substr(dir.path().size() + 1);
        EXPECT_TRUE(name.starts_with(".data.zbq.zbq-tmp.")) << name;
        const auto owner = zbq::parseTempFileName(name);
        ASSERT_TRUE(owner);
        EXPECT_EQ(owner->pid, ::getpid());
        EXPECT_EQ(owner->start, myStart);
        struct stat st {};
        ASSERT_EQ(::fstat(a, &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        ::close(a);
        ::close(b);
        ::unlink(first.c_str());
        ::unlink(second.c_str());
    }
}

TEST(TempFile, LongTargetNameStillGivesAUsableName) {
    TempDir dir;
    std::string name(240, 'x');
    name += "\xE3\x81\x82.zbq";  // a UTF-8 character near the cut
    std::string path;
    const int fd = zbq::createTempFile(dir.file(name), path);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    ::close(fd);
    EXPECT_TRUE(zbq::parseTempFileName(path.substr(dir.path().size() + 1)));
}

TEST(TempFile, OnlyTheOnePatternIsATemporaryName) {
    const struct {
        const char* name;
        bool temporary;
    } cases[] = {
        {".data.zbq.zbq-tmp.123.456.7", true},
        {".a.b.zbq-tmp.zbq-tmp.1.2.3", true},   // the last marker counts
        {"data.zbq.zbq-tmp.123.456.7", false},  // not hidden
        {".zbq-tmp.123.456.7", false},          // no target
        {".data.zbq.zbq-tmp.123.456", false},
        {".data.zbq.zbq-tmp.123.456.7.8", false},
        {".data.zbq.zbq-tmp.0.456.7", false},  // pid 0 would mean our process group
        {".data.zbq.zbq-tmp.-1.456.7", false},
        {".data.zbq.zbq-tmp.+1.456.7", false},
        {".data.zbq.zbq-tmp.99999999999.1.1", false},
        {".data.zbq.tmp123.4", false},  // another program's, or an older pattern
        {"data.zbq.001", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zbq::parseTempFileName(c.name).has_value(), c.temporary) << c.name;
}

TEST(StaleTempFiles, OnlyThoseWhoseOwnerIsGoneAreRemoved) {
    TempDir dir;
    const pid_t me = ::getpid();
    const long long myStart = zbq::processStartTicks(me);
    const long long initStart = zbq::processStartTicks(1);
    ASSERT_GT(myStart, 0);
    const pid_t gone = goneProcess();

    struct Case {
        std::string name;
        bool removed;
    };
    std::vector<Case> cases = {
        {tempName("a.zbq", gone, 5), true},            // the owner has ended
        {tempName("a.zbq.001", gone, myStart), true},  // a column file of a killed build
        {tempName("b.zbq", me, myStart), false},       // ours, in use
        {tempName("c.zbq", me, myStart - 1), true},    // older than the program now running
        {".a.zbq.tmp" + decimal(gone) + ".1", false},  // not our pattern
        {"a.zbq.001", false},
    };
    if (initStart >= 0) {
        cases.push_back({tempName("d.zbq", 1, initStart), false});  // alive, not ours to signal
        cases.push_back({tempName("e.zbq", 1, initStart + 1), true});
    }
    for (const Case& c : cases)
        writeFile(dir.file(c.name), "x");
    // Not regular files of ours: a folder and a link under the pattern, left alone.
    const std::string folder = tempName("f.zbq", gone, 1);
    ASSERT_EQ(::mkdir(dir.file(folder).c_str(), 0755), 0);
    writeFile(dir.file("target"), "keep");
    const std::string link = tempName("g.zbq", gone, 1);
    ASSERT_EQ(::symlink(dir.file("target").c_str(), dir.file(link).c_str()), 0);
    std::string foreign;
    if (::geteuid() == 0) {
        foreign = tempName("h.zbq", gone, 1);
        writeFile(dir.file(foreign), "x");
        ASSERT_EQ(::chown(dir.file(foreign).c_str(), 65534, 65534), 0);
    }

    int expected = 0;
    for (const Case& c : cases)
        expected += c.removed;
    EXPECT_EQ(zbq::removeStaleTempFiles(dir.path()), expected);
    for (const Case& c : cases)
        EXPECT_EQ(std::filesystem::exists(dir.file(c.name)), !c.removed) << c.name;
    EXPECT_TRUE(std::filesystem::is_directory(dir.file(folder)));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file(link)));
    EXPECT_EQ(readFile(dir.file("target")), "keep");
    if (!foreign.empty()) {
        EXPECT_TRUE(std::filesystem::exists(dir.file(foreign))) << "another user's file";
    }
    EXPECT_EQ(zbq::removeStaleTempFiles(dir.file("no such folder")), 0);
}

}  // namespace
