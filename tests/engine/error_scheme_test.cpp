// The error record's path through nested methods, what the outermost method logs and returns,
// and the errno mapping of failed file calls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <stdexcept>
#include <string>

#include "engine/kw_error.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::TempDir;

// A builder in miniature: an outermost method calling an inner step, both with the handlers the
// real builder uses.
struct MiniBuilder {
    KW_error err;

    void dataSeparate(const std::function<void(KW_error&)>& step) {
        try {
            step(err);
        } catch (...) {
            KWpassOn(err, "KW_create::DataSeparate");
        }
    }

    std::int32_t create(const std::function<void(KW_error&)>& step) {
        try {
            dataSeparate(step);
            return 0;
        } catch (...) {
            return KWfinish(err, "KW_create::KWcreate()");
        }
    }
};

std::string logText(const TempDir& dir) {
    std::string path = dir.file("ZBQ_Error.log");
    return ::access(path.c_str(), F_OK) == 0 ? zbq::test::readFile(path) : std::string();
}

struct FailureCase {
    const char* name;
    std::function<void(KW_error&)> step;
    std::int32_t code;
    std::string loggedTail;  // "\t<code>\t<message>\r\n"
};

TEST(ErrorScheme, OutermostMethodLogsThePathReturnsTheCodeAndCleansTheRecord) {
    const FailureCase cases[] = {
        {"step with its own message", [](KW_error& e) { KWfail(e, -5, "illegal csv file."); }, -5,
         "\t-5\tillegal csv file.|KW_create::DataSeparate|KW_create::KWcreate()\r\n"},
        {"step with an empty message", [](KW_error& e) { KWfail(e, -5, ""); }, -2,
         "\t-2\tunknown error.|KW_create::DataSeparate|KW_create::KWcreate()\r\n"},
        {"foreign exception", [](KW_error&) { throw std::runtime_error("not ours"); }, -2,
         "\t-2\tunknown error.|KW_create::DataSeparate|KW_create::KWcreate()\r\n"},
        {"allocation failure", [](KW_error&) { throw std::bad_alloc(); }, -2,
         "\t-2\tunknown error.|KW_create::DataSeparate|KW_create::KWcreate()\r\n"},
        // A failure carrying a success code must not come back as success.
        {"failure with code 0", [](KW_error& e) { KWfail(e, 0, "KWVheadWrite failed. error=0"); },
         -2,
         "\t-2\tKWVheadWrite failed. error=0|KW_create::DataSeparate|KW_create::KWcreate()\r\n"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        KWsetLogDir(dir.path());
        MiniBuilder b;

        EXPECT_EQ(b.create(c.step), c.code);

        const std::string log = logText(dir);
        ASSERT_GE(log.size(), c.loggedTail.size());
        EXPECT_EQ(log.substr(log.size() - c.loggedTail.size()), c.loggedTail);
        EXPECT_EQ(log.find("\r\n"), log.size() - 2) << "exactly one line";
        EXPECT_EQ(b.err.code, 0);
        EXPECT_TRUE(b.err.message.empty());

        // The next operation of the same object succeeds and logs nothing.
        EXPECT_EQ(b.create([](KW_error&) {}), 0);
        EXPECT_EQ(logText(dir), log);
    }
}

TEST(ErrorScheme, SuccessLogsNothing) {
    TempDir dir;
    KWsetLogDir(dir.path());
    MiniBuilder b;
    EXPECT_EQ(b.create([](KW_error&) {}), 0);
    EXPECT_EQ(logText(dir), "");
}

TEST(ErrorScheme, MapErrnoFollowsTheTable) {
    const struct {
        int err;
        std::int32_t code;
    } cases[] = {
        {0, 0},         {EPERM, -21},    {ENOENT, -2},   {EIO, -15},
        {EAGAIN, -9},   {EACCES, -22},   {ENFILE, -18},  {EMFILE, -10},
        {ENOSPC, -4},   {EBADF, -109},   {EINVAL, -122},  // a failure like any other: never read as
                                                          // success
        {EEXIST, -117}, {ENOTDIR, -120}, {EROFS, -130},
    };
    for (const auto& c : cases) {
        errno = c.err;
        EXPECT_EQ(MapErrno(), c.code) << "errno " << c.err;
    }
}

}  // namespace
