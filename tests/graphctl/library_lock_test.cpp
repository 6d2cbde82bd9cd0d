// The library among other writers, as a host sees it through the C interface: a workbook whose
// lock another process holds is waited for a short while and then kept, a workbook replaced while
// the library waited for it is the one written, and a link another user planted in a shared
// folder is never written through, whether it was there first or swapped in during the wait.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "graphctl/graph_client.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using zbq::grafvik::GraphControlClient;
using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;
using Clock = std::chrono::steady_clock;

constexpr uid_t kRoot = 0;
constexpr uid_t kNobody = 65534;
constexpr uid_t kOther = 65533;  // another user, who plants links

std::unique_ptr<GraphControlClient> openControl() {
    std::string why;
    auto ctl = GraphControlClient::openLibrary(GRAFVIK_LIBRARY, nullptr, &why);
    EXPECT_TRUE(ctl) << why;
    return ctl;
}

// Sets the path and the data and calls the method, all on the calling thread, whose state the
// control keeps.
int draw(GraphControlClient& ctl, const std::string& path, const char* method,
         const char* data = "a\t1\tb\t2") {
    if (ctl.setFilePath(path) != GRAFVIK_OK || ctl.setData(data) != GRAFVIK_OK) return 1;
    return ctl.invoke(method, {});
}

std::size_t sheetCount(const std::string& path) {
    return zbq::test::sheetsOf(zbq::test::readPackage(path)).size();
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool readByte(int fd, std::chrono::milliseconds within) {
    pollfd p{fd, POLLIN, 0};
    char c = 0;
    return ::poll(&p, 1, static_cast<int>(within.count())) == 1 && ::read(fd, &c, 1) == 1;
}

// The exit status of a child, waited for until the deadline and killed past it; -1 if killed.
int reap(pid_t pid, std::chrono::seconds within) {
    const auto deadline = Clock::now() + within;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0) return -1;
        if (Clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(1ms);
    }
}

// Whether process `pid` holds the file `st` open on one descriptor for 50 ms on end: waiting
// for its lock, not looking at it in passing.
bool holdsOpen(pid_t pid, const struct stat& st, std::chrono::seconds within) {
    const auto deadline = Clock::now() + within;
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd/";
    int seenFd = -1;
    Clock::time_point seenSince;
    while (Clock::now() < deadline) {
        int found = -1;
        for (int fd = 0; fd < 256 && found < 0; ++fd) {
            struct stat now {};
            if (::stat((fds + std::to_string(fd)).c_str(), &now) == 0 && now.st_dev == st.st_dev &&
                now.st_ino == st.st_ino)
                found = fd;
        }
        if (found < 0 || found != seenFd) {
            seenFd = found;
            seenSince = Clock::now();
        } else if (Clock::now() - seenSince >= 50ms) {
            return true;
        }
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

// Another writer of the workbook, in a process of its own. It takes the workbook's lock and
// holds it until finish(); given a replacement, it renames that over the workbook instead, as
// soon as this process is seen waiting for the lock (as a writer saving does, or someone swapping
// a link in), and lets the lock go.
class OtherWriter {
public:
    explicit OtherWriter(const std::string& book, const std::string& replacement = {}) {
        if (::pipe(ready_) != 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, go_) != 0) return;
        struct stat st {};
        ::stat(book.c_str(), &st);
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready_[0]);
            ::close(go_[1]);
            const int fd = ::open(book.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0) ::_exit(1);
            if (::write(ready_[1], "L", 1) != 1) ::_exit(1);
            if (replacement.empty()) {
                readByte(go_[0], 30s);
                ::_exit(0);
            }
            const bool seenWaiting = holdsOpen(parent, st, 10s);
            const bool renamed = ::rename(replacement.c_str(), book.c_str()) == 0;
            ::_exit(!renamed ? 1 : seenWaiting ? 0 : 2);  // exiting lets the lock go
        }
        ::close(ready_[1]);
        ::close(go_[0]);
    }
    ~OtherWriter() {
        if (pid_ > 0) finish();
        for (int fd : {ready_[0], go_[1]})
            if (fd >= 0) ::close(fd);
    }

    // Whether it holds the lock now.
    bool holding() { return pid_ > 0 && readByte(ready_[0], 10s); }

    // Lets it go. 0 when all went as planned; 2 when this process was never seen waiting.
    int finish() {
        if (pid_ <= 0) return -1;
        // A child that has gone already is told nothing, and no SIGPIPE comes of it.
        ::send(go_[1], "G", 1, MSG_NOSIGNAL);
        const int status = reap(pid_, 20s);
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    int ready_[2] = {-1, -1};
    int go_[2] = {-1, -1};
};

// While another writer holds the workbook, a drawing method waits a bounded while, then fails
// as a write failure and leaves the workbook as the other writer has it. Once it lets go, the
// same call succeeds.
TEST(GrafvikLock, AWorkbookAnotherWriterHoldsIsWaitedForAndThenKept) {
    TempDir dir;
    const std::string book = dir.file("g.xlsx");
    auto ctl = openControl();
    ASSERT_TRUE(ctl);
    ASSERT_EQ(draw(*ctl, book, "ShowGraph"), GRAFVIK_OK);
    const std::string before = readFile(book);
    OtherWriter other(book);
    ASSERT_TRUE(other.holding());
    for (const char* method : {"ExNormal", "ShowGraph"}) {
        SCOPED_TRACE(method);
        auto call = std::async(std::launch::async, [&] { return draw(*ctl, book, method); });
        // The host's thread waits with the call: far less than this.
        ASSERT_EQ(call.wait_for(20s), std::future_status::ready);
        EXPECT_EQ(call.get(), GRAFVIK_E_WRITE);
        EXPECT_TRUE(readFile(book) == before);
        EXPECT_EQ(zbq::test::entriesIn(dir.path()), 1u);
    }
    EXPECT_EQ(other.finish(), 0);
    EXPECT_EQ(draw(*ctl, book, "ShowGraph"), GRAFVIK_OK);
    EXPECT_EQ(sheetCount(book), 2u);
}

// The writer before this one replaces the workbook while this one waits for the file it found:
// the lock it then gets is on a file no longer at the name, and the write goes to the workbook
// that stands there now: a summary is added to it, a chart workbook replaces it; none writes
// over it what it read before. A link another user swaps in is refused, and what it names kept.
TEST(GrafvikLock, AWorkbookReplacedDuringTheWaitIsTheOneWritten) {
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* method;
        bool plantedLink;
        int result;
        std::size_t sheets;  // of the workbook at the name afterwards
    } cases[] = {
        {"ShowGraph", false, GRAFVIK_OK, 3},  // the replacement's two sheets, and the new one
        {"ExNormal", false, GRAFVIK_OK, 8},
        {"ShowGraph", true, GRAFVIK_E_WRITE, 0},
        {"ExNormal", true, GRAFVIK_E_WRITE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + (c.plantedLink ? " with a planted link" : ""));
        if (c.plantedLink && !root) {
            RecordProperty("skipped", "a planted link: making another user's link takes root");
            continue;
        }
        TempDir dir;
        ASSERT_EQ(::chmod(dir.path().c_str(), 01777), 0);  // a shared folder
        const std::string book = dir.file("g.xlsx"), next = dir.file("next.xlsx");
        const std::string secret = dir.file("own/secret.txt");
        ASSERT_EQ(::mkdir(dir.file("own").c_str(), 0700), 0);
        writeFile(secret, "secret");
        auto ctl = openControl();
        ASSERT_TRUE(ctl);
        ASSERT_EQ(draw(*ctl, book, "ShowGraph"), GRAFVIK_OK);
        if (c.plantedLink) {
            ASSERT_EQ(::symlink(secret.c_str(), next.c_str()), 0);
            ASSERT_EQ(::lchown(next.c_str(), kOther, kOther), 0);
        } else {
            ASSERT_EQ(draw(*ctl, next, "ShowGraph"), GRAFVIK_OK);
            ASSERT_EQ(draw(*ctl, next, "ShowGraph"), GRAFVIK_OK);
        }
        OtherWriter other(book, next);
        ASSERT_TRUE(other.holding());
        EXPECT_EQ(draw(*ctl, book, c.method), c.result);
        EXPECT_EQ(other.finish(), 0) << "the call never waited for the lock";
        if (c.plantedLink) {
            EXPECT_TRUE(isLink(book));
            EXPECT_EQ(readFile(secret), "secret");
        } else {
            EXPECT_EQ(sheetCount(book), c.sheets);
        }
        EXPECT_EQ(zbq::test::entriesIn(dir.path()), 2u);  // the workbook and own/
    }
}

// Runs the method in a child process as `caller`: its result, or 1 when it could not be run.
int drawAs(GraphControlClient& ctl, uid_t caller, const std::string& path, const char* method) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (caller != kRoot &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(caller, caller, caller) != 0 ||
             ::setresuid(caller, caller, caller) != 0))
            ::_exit(255);
        ::_exit(draw(ctl, path, method) + 100);
    }
    const int status = reap(child, 60s);
    return status < 0 || status == 255 ? 1 : status - 100;
}

// In a sticky folder anyone may write, a link another user left there at the workbook's name is
// not followed by any drawing method, for root as for the user the linked file belongs to; the
// user's own link there is written through.
TEST(GrafvikLock, ALinkPlantedInASharedFolderIsNeverWrittenThrough) {
    if (::geteuid() != 0) GTEST_SKIP() << "making another user's link takes root";
    struct Case {
        uid_t caller;
        uid_t linkOwner;
        int result;
    } cases[] = {
        {kRoot, kOther, GRAFVIK_E_WRITE},
        {kNobody, kOther, GRAFVIK_E_WRITE},
        {kRoot, kRoot, GRAFVIK_OK},
        {kNobody, kNobody, GRAFVIK_OK},
    };
    auto ctl = openControl();
    ASSERT_TRUE(ctl);
    for (const Case& c : cases) {
        for (const char* method : {"ExNormal", "ShowGraph"}) {
            SCOPED_TRACE(std::string(method) + " by uid " + std::to_string(c.caller) +
                         " through a link of uid " + std::to_string(c.linkOwner));
            TempDir dir;
            ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
            const std::string shared = dir.file("shared"), own = dir.file("own");
            ASSERT_EQ(::mkdir(shared.c_str(), 01777), 0);
            ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
            ASSERT_EQ(::mkdir(own.c_str(), 0700), 0);
            // The user's private workbook, which a summary could be added to.
            const std::string secret = own + "/secret.xlsx", link = shared + "/graph.xls";
            ASSERT_EQ(draw(*ctl, secret, "ExNormal"), GRAFVIK_OK);
            ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
            const std::string before = readFile(secret);
            for (const std::string& path : {own, secret})
                ASSERT_EQ(::chown(path.c_str(), c.caller, c.caller), 0);
            ASSERT_EQ(::symlink(secret.c_str(), link.c_str()), 0);
            ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);

            EXPECT_EQ(drawAs(*ctl, c.caller, link, method), c.result);
            EXPECT_TRUE(isLink(link));
            if (c.result == GRAFVIK_OK) {
                EXPECT_EQ(sheetCount(secret), std::string_view(method) == "ShowGraph" ? 9u : 8u);
            } else {
                EXPECT_TRUE(readFile(secret) == before);
            }
            EXPECT_EQ(zbq::test::entriesIn(shared), 1u);
            EXPECT_EQ(zbq::test::entriesIn(own), 1u);
        }
    }
}

}  // namespace
