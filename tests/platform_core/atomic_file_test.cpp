// Replacing a file through a temporary: success replaces, any failure leaves the old bytes; a
// file the user may not write is refused; modes and owners; stale temporaries of killed writers.
#include "platform/core/atomic_file.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/core/staged_file.h"
#include "platform/core/temp_file.h"
#include "tests/support/full_disk.h"
#include "tests/support/ordinary_user.h"
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

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(AtomicFile, ReadOnlyTargetIsRefusedAndKept) {
    TempDir dir;
    const std::string path = dir.file("ZBQ.ini");
    writeFile(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    // The folder is the user's, so only the file's own mode stands in the way.
    zbq::test::AsOrdinaryUser user{dir.path(), path};
    ASSERT_TRUE(user.ok());
    int err = 0;
    EXPECT_FALSE(zbq::writeFileAtomically(path, "new", &err));
    EXPECT_EQ(err, EACCES);
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(modeOf(path), 0444u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFile, ModesDoNotDependOnTheUmask) {
    TempDir dir;
    const std::string fresh = dir.file("new.ini");
    const std::string kept = dir.file("kept.ini");
    writeFile(kept, "old");
    ASSERT_EQ(::chmod(kept.c_str(), 0664), 0);
    for (mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
        SCOPED_TRACE(mask);
        ::unlink(fresh.c_str());
        const mode_t old = ::umask(mask);
        zbq::AtomicFile file(fresh);
        const bool opened = file.open();
        const mode_t tempMode = modeOf(file.tempPath());
        const bool ok =
            opened && file.write("x") && file.commit() && zbq::writeFileAtomically(kept, "y");
        ::umask(old);
        ASSERT_TRUE(ok);
        EXPECT_EQ(tempMode, 0600u) << "the temporary is private until the commit";
        EXPECT_EQ(modeOf(fresh), 0644u);
        EXPECT_EQ(modeOf(kept), 0664u);
    }
}

TEST(AtomicFile, RootKeepsTheOwnerAndGroupOfTheFileItReplaces) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file away";
    TempDir dir;
    const std::string path = dir.file("registry.ini");
    writeFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65533), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(zbq::writeFileAtomically(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65533u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFile, FullDiskLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.file("data.zbq");
    writeFile(path, "old");
    for (std::size_t room : {std::size_t{0}, std::size_t{5000}}) {
        SCOPED_TRACE(room);
        int err = 0;
        bool ok;
        {
            zbq::test::FullDisk disk(room);
            ok = zbq::writeFileAtomically(path, std::string(10000, 'n'), &err);
        }
        EXPECT_FALSE(ok);
        EXPECT_EQ(err, ENOSPC);
        EXPECT_EQ(readFile(path), "old");
        EXPECT_EQ(entriesIn(dir.path()), 1u);
    }
}

TEST(AtomicFile, SavingRemovesTheTemporariesOfKilledWritersOnly) {
    TempDir dir;
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string stale = dir.file(".data.zbq.zbq-tmp." + std::to_string(child) + ".1.0");
    std::string live;
    const int fd = zbq::createTempFile(dir.file("other.zbq"), live);  // another save under way
    ASSERT_GE(fd, 0);
    ::close(fd);
    writeFile(stale, std::string(100000, 's'));

    ASSERT_TRUE(zbq::writeFileAtomically(dir.file("data.zbq"), "new"));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(live));
}

}  // namespace

namespace links {

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A shared file reached through a link, from a folder of its own: the save must land in the
// shared file and leave the link a link, with no temporary on either side.
TEST(AtomicFileThroughALink, WritesTheLinkedFileAndKeepsTheLink) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("shared").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.file("user").c_str(), 0755), 0);
    const std::string real = dir.file("shared/ZBQ.ini");
    writeFile(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    // A relative link of a link: both are followed.
    ASSERT_EQ(::symlink("../shared/ZBQ.ini", dir.file("user/middle.ini").c_str()), 0);
    ASSERT_EQ(::symlink("middle.ini", dir.file("user/ZBQ.ini").c_str()), 0);
    const std::string link = dir.file("user/ZBQ.ini");

    ASSERT_TRUE(zbq::writeFileAtomically(link, "new"));
    EXPECT_TRUE(isLink(link));
    EXPECT_TRUE(isLink(dir.file("user/middle.ini")));
    EXPECT_EQ(readFile(real), "new");
    EXPECT_EQ(modeOf(real), 0640u);
    EXPECT_EQ(entriesIn(dir.file("shared")), 1u);
    EXPECT_EQ(entriesIn(dir.file("user")), 2u);

    zbq::StagedFile staged(link);
    ASSERT_TRUE(staged.write("staged", 0644));
    ASSERT_TRUE(staged.replaceTarget());
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(readFile(real), "staged");
    EXPECT_EQ(entriesIn(dir.file("shared")), 1u);
}

TEST(AtomicFileThroughALink, DanglingOrUnwritableLinksAreRefusedAndKept) {
    TempDir dir;
    const std::string dangling = dir.file("dangling.ini");
    ASSERT_EQ(::symlink("gone/ZBQ.ini", dangling.c_str()), 0);
    int err = 0;
    EXPECT_FALSE(zbq::writeFileAtomically(dangling, "new", &err));
    EXPECT_EQ(err, ENOENT);
    EXPECT_TRUE(isLink(dangling));
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
    zbq::StagedFile staged(dangling);
    EXPECT_FALSE(staged.write("new", 0644));
    EXPECT_TRUE(isLink(dangling));

    // The linked file is writable, its folder is not: the temporary cannot be made beside it,
    // and the link is not replaced by a file either.
    ASSERT_EQ(::mkdir(dir.file("locked").c_str(), 0755), 0);
    const std::string real = dir.file("locked/ZBQ.ini");
    writeFile(real, "old");
    const std::string link = dir.file("ZBQ.ini");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ASSERT_EQ(::chmod(real.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.file("locked").c_str(), 0555), 0);
    {
        zbq::test::AsOrdinaryUser user{dir.path(), link};
        ASSERT_TRUE(user.ok());
        EXPECT_FALSE(zbq::writeFileAtomically(link, "new", &err));
        EXPECT_EQ(err, EACCES);
    }
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(readFile(real), "old");
    EXPECT_EQ(entriesIn(dir.file("locked")), 1u);
    ::chmod(dir.file("locked").c_str(), 0755);
}

}  // namespace links

namespace planted {

using links::isLink;

constexpr uid_t kRoot = 0;
constexpr uid_t kNobody = zbq::test::AsOrdinaryUser::kNobody;
constexpr uid_t kOther = 65533;  // another user, who plants links
constexpr uid_t kFolderOwner = 65532;

// Writes `path` in a child process running as `caller`: 0 when it was written, else the errno.
int writeAs(uid_t caller, const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (caller != kRoot &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(caller, caller, caller) != 0 ||
             ::setresuid(caller, caller, caller) != 0))
            ::_exit(255);
        int err = 0;
        ::_exit(zbq::writeFileAtomically(path, "written", &err) ? 0 : err);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Links in a shared folder are followed only as the kernel's protection of links would allow,
// whatever it is set to on this machine: a link someone else planted in a sticky folder that
// anyone may write never turns a write into one of the file it names, for root as for anyone.
TEST(AtomicFileThroughALink, ALinkPlantedInASharedFolderIsRefusedAndItsFileKept) {
    if (::geteuid() != 0) GTEST_SKIP() << "making another user's link takes root";
    struct Case {
        const char* what;
        uid_t caller;
        uid_t linkOwner;
        uid_t folderOwner;
        mode_t folderMode;
        bool followed;
    } cases[] = {
        {"another user's link, root writes", kRoot, kOther, kRoot, 01777, false},
        {"another user's link, the victim writes", kNobody, kOther, kRoot, 01777, false},
        {"the folder owner's link", kNobody, kFolderOwner, kFolderOwner, 01777, true},
        {"root's own link", kRoot, kRoot, kFolderOwner, 01777, true},
        {"the user's own link", kNobody, kNobody, kRoot, 01777, true},
        {"a folder anyone may write, not sticky", kNobody, kOther, kRoot, 0777, true},
        {"a sticky folder only its owner writes", kRoot, kOther, kRoot, 01755, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        const std::string shared = dir.file("shared"), own = dir.file("own");
        ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
        ASSERT_EQ(::mkdir(own.c_str(), 0700), 0);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, c.folderOwner), 0);
        ASSERT_EQ(::chmod(shared.c_str(), c.folderMode), 0);
        // The victim's private file, and a link to it in the shared folder.
        const std::string secret = own + "/secret.txt";
        writeFile(secret, "secret");
        ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
        ASSERT_EQ(::chown(own.c_str(), c.caller, c.caller), 0);
        ASSERT_EQ(::chown(secret.c_str(), c.caller, c.caller), 0);
        const std::string link = shared + "/graph.xls";
        ASSERT_EQ(::symlink(secret.c_str(), link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
        // The same link met second, behind one of the caller's own.
        const std::string mine = own + "/mine.xls";
        ASSERT_EQ(::symlink(link.c_str(), mine.c_str()), 0);
        ASSERT_EQ(::lchown(mine.c_str(), c.caller, c.caller), 0);

        for (const std::string& path : {link, mine}) {
            SCOPED_TRACE(path);
            writeFile(secret, "secret");
            const int result = writeAs(c.caller, path);
            ASSERT_NE(result, 255) << "cannot become uid " << c.caller;
            EXPECT_EQ(result, c.followed ? 0 : EACCES);
            EXPECT_EQ(readFile(secret), c.followed ? "written" : "secret");
            EXPECT_TRUE(isLink(link));
            EXPECT_EQ(entriesIn(shared), 1u);
            EXPECT_EQ(entriesIn(own), 2u);
        }
    }
}

// A folder on the way that is a link planted in a shared folder is judged the same way.
TEST(AtomicFileThroughALink, AFolderLinkPlantedInASharedFolderIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "making another user's link takes root";
    TempDir dir;
    const std::string shared = dir.file("shared"), victim = dir.file("victim");
    ASSERT_EQ(::mkdir(shared.c_str(), 01777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    ASSERT_EQ(::mkdir(victim.c_str(), 0700), 0);
    writeFile(victim + "/secret.txt", "secret");
    const std::string folderLink = shared + "/graphs";
    ASSERT_EQ(::symlink(victim.c_str(), folderLink.c_str()), 0);
    ASSERT_EQ(::lchown(folderLink.c_str(), kOther, kOther), 0);
    for (const char* name : {"secret.txt", "new.xls"}) {
        SCOPED_TRACE(name);
        int err = 0;
        EXPECT_FALSE(zbq::writeFileAtomically(folderLink + "/" + name, "written", &err));
        EXPECT_EQ(err, EACCES);
    }
    EXPECT_EQ(readFile(victim + "/secret.txt"), "secret");
    EXPECT_EQ(entriesIn(victim), 1u);
}

}  // namespace planted
