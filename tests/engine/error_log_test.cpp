// ZBQ_Error.log: the line format, appending without truncation, the file mode, the message cut,
// escaped control bytes, silence on failure, and whole lines under concurrent appends from
// threads and processes and on a full disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "engine/kw_error.h"
#include "tests/support/full_disk.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

std::string localStamp() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &t);
    return buf;
}

// Lines of a log, each without its "\r\n"; fails the test on text after the last line.
std::vector<std::string> splitLines(const std::string& log) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(log.substr(start, end - start));
    EXPECT_EQ(start, log.size()) << "the log ends in the middle of a line";
    return lines;
}

// Splits "yyyy/mm/dd hh:mm:ss\t<code>\t<message>"; false when the prefix is malformed.
bool parseLine(const std::string& line, std::string* stamp, std::string* code, std::string* msg) {
    static const std::regex prefix(R"(^(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2})\t(-?\d+)\t)");
    std::smatch m;
    const std::string head = line.substr(0, 40);
    if (!std::regex_search(head, m, prefix)) return false;
    *stamp = m[1];
    *code = m[2];
    *msg = line.substr(static_cast<std::size_t>(m.length(0)));
    return true;
}

class ErrorLog : public ::testing::Test {
protected:
    void SetUp() override { KWsetLogDir(dir.path()); }
    std::string logPath() const { return dir.file("ZBQ_Error.log"); }
    TempDir dir;
};

TEST_F(ErrorLog, AppendsOneStampedLinePerCallToAnExistingFile) {
    writeFile(logPath(), "earlier line\r\n");
    const std::string before = localStamp();
    WriteErrorLog(-5, "illegal csv file.|KW_create::KWcreate()");
    WriteErrorLog(-1011, "");
    const std::string after = localStamp();

    const std::vector<std::string> lines = splitLines(readFile(logPath()));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "earlier line");
    const struct {
        std::string code, message;
    } expected[] = {{"-5", "illegal csv file.|KW_create::KWcreate()"}, {"-1011", ""}};
    for (int i = 0; i < 2; ++i) {
        std::string stamp, code, msg;
        ASSERT_TRUE(parseLine(lines[i + 1], &stamp, &code, &msg)) << lines[i + 1];
        // The fixed-width stamp orders as text, so this checks the local time field by field.
        EXPECT_LE(before, stamp);
        EXPECT_LE(stamp, after);
        EXPECT_EQ(code, expected[i].code);
        EXPECT_EQ(msg, expected[i].message);
    }
}

TEST_F(ErrorLog, NewFileIsReadableByOthersButWritableOnlyByItsOwnerWhateverTheUmask) {
    for (mode_t mask : {mode_t{022}, mode_t{0}, mode_t{077}}) {
        ::unlink(logPath().c_str());
        const mode_t old = ::umask(mask);
        WriteErrorLog(-2, "unknown error.");
        ::umask(old);
        struct stat st {};
        ASSERT_EQ(::stat(logPath().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0644u) << "umask " << mask;
    }
}

// A file name is part of many messages, and a file name may hold any byte but '/' and NUL.
TEST_F(ErrorLog, ControlBytesInAMessageCannotForgeALine) {
    const std::string table = "\x95\x5C";  // a CP932 character whose second byte is '\\'
    WriteErrorLog(-1, "CreateFile(/d/a" + table +
                          ".csv\r\n2001/01/01 00:00:00\t0\tforged\x01\x1F\x7F) error = 2.");
    const std::vector<std::string> lines = splitLines(readFile(logPath()));
    ASSERT_EQ(lines.size(), 1u);
    std::string stamp, code, msg;
    ASSERT_TRUE(parseLine(lines[0], &stamp, &code, &msg));
    EXPECT_EQ(code, "-1");
    EXPECT_EQ(msg, "CreateFile(/d/a" + table +
                       ".csv\\r\\n2001/01/01 00:00:00\\x090\\x09forged\\x01\\x1F\\x7F) error = 2.");
}

TEST_F(ErrorLog, FullDiskWritesTheLineWholeOrNotAtAll) {
    writeFile(logPath(), "earlier line\r\n");
    for (std::size_t room : {std::size_t{0}, std::size_t{1}, std::size_t{30}}) {
        zbq::test::FullDisk disk(room);
        WriteErrorLog(-4, "column file write error. erro=28 col=0");
        EXPECT_EQ(readFile(logPath()), "earlier line\r\n") << "room for " << room << " bytes";
    }
    WriteErrorLog(-4, "the disk has room again");
    const std::vector<std::string> lines = splitLines(readFile(logPath()));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1].ends_with("\t-4\tthe disk has room again"));
}

TEST_F(ErrorLog, LongMessageIsCutOnACharacterBoundary) {
    const std::string kana = "\x83\x41";  // one two-byte character
    const struct {
        std::string message;
        std::size_t logged;
    } cases[] = {
        {std::string(65535, 'a'), 65535},
        {std::string(65535, 'a') + "b", 65535},
        {std::string(65534, 'a') + kana, 65534},  // the character would straddle the limit
        {std::string(65533, 'a') + kana, 65535},
    };
    for (const auto& c : cases) {
        ::unlink(logPath().c_str());
        WriteErrorLog(-5, c.message);
        const std::vector<std::string> lines = splitLines(readFile(logPath()));
        ASSERT_EQ(lines.size(), 1u);
        std::string stamp, code, msg;
        ASSERT_TRUE(parseLine(lines[0], &stamp, &code, &msg));
        EXPECT_EQ(msg, c.message.substr(0, c.logged));
    }
}

TEST_F(ErrorLog, FailureToOpenIsSilentAndKeepsErrno) {
    KWsetLogDir(dir.file("missing/folder"));
    errno = ENOSPC;
    WriteErrorLog(-4, "disk full");
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_NE(::access(dir.file("missing").c_str(), F_OK), 0);
}

TEST_F(ErrorLog, UnsetDirectoryMeansTheProgramDirectory) {
    ::setenv("ZBQ_PROGRAM_DIR", dir.path().c_str(), 1);
    KWsetLogDir("");
    WriteErrorLog(-2, "unknown error.");
    ::unsetenv("ZBQ_PROGRAM_DIR");
    EXPECT_EQ(splitLines(readFile(logPath())).size(), 1u);
}

// Another process holding the lock byte keeps an append waiting until it lets go.
TEST_F(ErrorLog, AppendWaitsForTheLockByte) {
    const int fd = ::open(logPath().c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = off_t{1} << 32;
    fl.l_len = 1;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &fl), 0);

    std::thread writer([] { WriteErrorLog(-5, "waited"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(readFile(logPath()), "") << "appended while another holder had the lock";

    fl.l_type = F_UNLCK;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &fl), 0);
    writer.join();
    ::close(fd);
    EXPECT_EQ(splitLines(readFile(logPath())).size(), 1u);
}

// Processes x threads appending at once; messages long enough that an unlocked writer would be
// cut by another. Every line must be whole, each exactly once.
TEST_F(ErrorLog, ConcurrentAppendsFromProcessesAndThreadsLeaveWholeLines) {
    constexpr int kProcesses = 4, kThreads = 4, kLines = 60;
    auto message = [](int p, int t, int n) {
        const char fill = static_cast<char>('A' + (p * kThreads + t) % 26);
        return std::to_string(p) + "/" + std::to_string(t) + "/" + std::to_string(n) + ":" +
               std::string(static_cast<std::size_t>(1 + (n * 997) % 20000), fill);
    };

    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::vector<std::thread> threads;
            for (int t = 0; t < kThreads; ++t)
                threads.emplace_back([&, t] {
                    for (int n = 0; n < kLines; ++n)
                        WriteErrorLog(-(n + 1), message(p, t, n));
                });
            for (auto& th : threads)
                th.join();
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    std::map<std::string, std::string> expected;  // message -> code, removed once seen
    for (int p = 0; p < kProcesses; ++p)
        for (int t = 0; t < kThreads; ++t)
            for (int n = 0; n < kLines; ++n)
                expected[message(p, t, n)] = std::to_string(-(n + 1));

    const std::vector<std::string> lines = splitLines(readFile(logPath()));
    EXPECT_EQ(lines.size(), expected.size());
    for (const std::string& line : lines) {
        std::string stamp, code, msg;
        ASSERT_TRUE(parseLine(line, &stamp, &code, &msg)) << line.substr(0, 60);
        auto it = expected.find(msg);
        ASSERT_NE(it, expected.end()) << "torn or repeated line: " << msg.substr(0, 60);
        EXPECT_EQ(code, it->second);
        expected.erase(it);
    }
    EXPECT_TRUE(expected.empty());
}

}  // namespace
