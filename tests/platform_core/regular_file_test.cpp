// Files from outside: only a regular file within its limit is read, and no more than the limit
// of one that grows while it is read; a FIFO, a directory or a device is refused at once, never
// waited on.
#include "platform/core/regular_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"

namespace {

using zbq::RegularFileError;
using zbq::test::TempDir;
using zbq::test::writeFile;

// Reads `path` on a thread of its own with a deadline: a read that blocks in open() fails the
// test, and the FIFO is then opened for writing so that the thread can end.
RegularFileError readWithDeadline(const std::string& path, std::uint64_t limit, std::string& out) {
    std::promise<RegularFileError> done;
    std::future<RegularFileError> result = done.get_future();
    std::thread reader([&] { done.set_value(zbq::readRegularFile(path, limit, out)); });
    if (result.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << path << ": the read waits for a writer";
        const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0) ::close(writer);
    }
    reader.join();
    return result.get();
}

TEST(RegularFile, OnlyARegularFileWithinItsLimitIsRead) {
    TempDir dir;
    writeFile(dir.file("small"), "abc\n");
    writeFile(dir.file("large"), std::string(101, 'x'));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    ::mkdir(dir.file("folder").c_str(), 0700);

    const struct {
        std::string path;
        RegularFileError expected;
        std::string bytes;
    } cases[] = {
        {dir.file("small"), RegularFileError::None, "abc\n"},
        {dir.file("large"), RegularFileError::TooLarge, ""},
        {dir.file("fifo"), RegularFileError::NotRegular, ""},
        {dir.file("folder"), RegularFileError::NotRegular, ""},
        {"/dev/zero", RegularFileError::NotRegular, ""},
        {dir.file("missing"), RegularFileError::CannotOpen, ""},
    };
    for (const auto& c : cases) {
        std::string out = "left over";
        EXPECT_EQ(readWithDeadline(c.path, 100, out), c.expected) << c.path;
        EXPECT_EQ(out, c.bytes) << c.path;
    }
}

// A file may hold more by the time it is read than its size said when it was opened: the limit
// holds for what is read, not only for the size. A file of /proc says size 0 and reads more.
TEST(RegularFile, AFileThatReadsMoreThanItsLimitIsRefusedWhateverItsSizeSaid) {
    struct stat st {};
    ASSERT_EQ(::stat("/proc/self/status", &st), 0);
    ASSERT_TRUE(S_ISREG(st.st_mode));
    ASSERT_EQ(st.st_size, 0);
    std::string out = "left over";
    EXPECT_EQ(zbq::readRegularFile("/proc/self/status", 16, out), RegularFileError::TooLarge);
    EXPECT_EQ(out, "");
    EXPECT_EQ(zbq::readRegularFile("/proc/self/status", 1 << 20, out), RegularFileError::None);
    EXPECT_GT(out.size(), 16u);
    EXPECT_TRUE(out.starts_with("Name:")) << out.substr(0, 40);
}

TEST(RegularFile, TheDescriptorIsHandedOnReadyToRead) {
    TempDir dir;
    writeFile(dir.file("f"), "12345");
    RegularFileError error;
    struct stat st {};
    const int fd = zbq::openRegularFile(dir.file("f"), 5, error, &st);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(error, RegularFileError::None);
    EXPECT_EQ(st.st_size, 5);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    char buffer[8];
    EXPECT_EQ(::read(fd, buffer, sizeof buffer), 5);
    ::close(fd);
    EXPECT_LT(zbq::openRegularFile(dir.file("f"), 4, error), 0);
    EXPECT_EQ(error, RegularFileError::TooLarge);
}

}  // namespace
