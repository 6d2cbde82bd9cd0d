// Replacing a file through a temporary: success replaces, any failure leaves the old bytes.
#include "platform/core/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace {

using zbq::test::entriesIn;
using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

TEST(AtomicFile, ReplacesTheOldFileAndKeepsItsMode) {
    TempDir dir;
    const std::string path = dir.file("ZBQ.ini");
    writeFile(path, "old");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(zbq::writeFileAtomically(path, "new contents"));
    EXPECT_EQ(readFile(path), "new contents");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "a temporary was left behind";
}

TEST(AtomicFile, WriteFailurePartWayLeavesOldFileByteForByte) {
    TempDir dir;
    const std::string path = dir.file("data.zbq");
    const std::string old(1000, 'o');
    writeFile(path, old);

    // A file-size limit makes write() fail with EFBIG after 4 KiB: a real failure in mid-file.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    int err = 0;
    bool ok = zbq::writeFileAtomically(path, std::string(100000, 'n'), &err);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(err, EFBIG);
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "the temporary was not removed";
}

TEST(AtomicFile, MissingFolderFailsAndCreatesNothing) {
    TempDir dir;
    int err = 0;
    EXPECT_FALSE(zbq::writeFileAtomically(dir.file("no/such/file"), "x", &err));
    EXPECT_EQ(err, ENOENT);
}

TEST(AtomicFile, DiscardedWriteLeavesTargetUntouched) {
    TempDir dir;
    const std::string path = dir.file("macro.mcr");
    writeFile(path, "keep");
    {
        zbq::AtomicFile file(path);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("half"));
    }  // destroyed without commit
    EXPECT_EQ(readFile(path), "keep");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

}  // namespace
