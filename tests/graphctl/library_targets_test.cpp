// What the library does to the file it writes, as a host sees it through the C interface: a
// workbook the user may not write is kept, a link stays a link, two writers of one workbook
// both get their summary, and what no workbook can hold is refused before any work.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <thread>

#include "graphctl/graph_client.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::grafvik::GraphControlClient;
using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

std::unique_ptr<GraphControlClient> openControl() {
    std::string why;
    auto ctl = GraphControlClient::openLibrary(GRAFVIK_LIBRARY, nullptr, &why);
    EXPECT_TRUE(ctl) << why;
    return ctl;
}

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::size_t sheetCount(const std::string& path) {
    return zbq::test::sheetsOf(zbq::test::readPackage(path)).size();
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Refused for an ordinary user, and for root too: a workbook with no write bit at all is one
// nobody is to write, although root would pass any permission check.
TEST(GrafvikTarget, ReadOnlyWorkbookIsRefusedAndKeptByEveryDrawingMethod) {
    struct Case {
        const char* method;
        const char* data;
    } cases[] = {
        {"ExNormal", "a\t1\tb\t2"}, {"ExUp", "a\t1\tb\t2"}, {"ExDown", "a\t1\tb\t2"},
        {"ExNormal", "a\tx"},       {"ExDown", ""},         {"ShowGraph", "a\t1\tb\t2"},
        {"ShowGraph", "a\tx"},
    };
    for (bool ordinary : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.method) + " on \"" + c.data + "\"" +
                         (ordinary ? " as an ordinary user" : " as this user"));
            TempDir dir;
            const std::string book = dir.file("g.xls");
            writeFile(book, "the user's old workbook");
            ASSERT_EQ(::chmod(book.c_str(), 0444), 0);
            auto ctl = openControl();
            ASSERT_TRUE(ctl);
            // The folder is the user's, so only the file's own mode stands in the way.
            std::optional<zbq::test::AsOrdinaryUser> user;
            if (ordinary) user.emplace(std::initializer_list<std::string>{dir.path(), book});
            ASSERT_TRUE(!user || user->ok());
            ASSERT_EQ(ctl->setFilePath(book), GRAFVIK_OK);
            ASSERT_EQ(ctl->invoke("SetData", {c.data}), GRAFVIK_OK);
            EXPECT_EQ(ctl->invoke(c.method, {}), GRAFVIK_E_WRITE);
            EXPECT_EQ(readFile(book), "the user's old workbook");
            EXPECT_EQ(modeOf(book), 0444u);
            EXPECT_EQ(zbq::test::entriesIn(dir.path()), 1u);
        }
    }
}

// The new chart workbook takes the old one's permission bits, read before the old one goes, as
// the workbook a summary is added to keeps its own; root keeps the owner and group as well.
TEST(GrafvikTarget, EveryMethodKeepsTheWorkbooksModeAndRootItsOwner) {
    const bool root = ::geteuid() == 0;
    for (bool ordinary : {false, true}) {
        for (const char* method : {"ExNormal", "ExUp", "ShowGraph"}) {
            for (mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0604}}) {
                SCOPED_TRACE(std::string(method) + " on mode " + std::to_string(mode) +
                             (ordinary ? " as an ordinary user" : " as this user"));
                TempDir dir;
                const std::string book = dir.file("g.xlsx");
                auto ctl = openControl();
                ASSERT_TRUE(ctl);
                ASSERT_EQ(ctl->setFilePath(book), GRAFVIK_OK);
                ASSERT_EQ(ctl->setData("a\t1\tb\t2"), GRAFVIK_OK);
                ASSERT_EQ(ctl->exNormal(), GRAFVIK_OK);
                ASSERT_EQ(::chmod(book.c_str(), mode), 0);
                // Owned by someone else than root, who alone could give it to them.
                if (root && !ordinary) {
                    ASSERT_EQ(::chown(book.c_str(), 65533, 65532), 0);
                }
                std::optional<zbq::test::AsOrdinaryUser> user;
                if (ordinary) user.emplace(std::initializer_list<std::string>{dir.path(), book});
                ASSERT_TRUE(!user || user->ok());
                ASSERT_EQ(ctl->invoke(method, {}), GRAFVIK_OK);
                user.reset();
                struct stat st {};
                ASSERT_EQ(::stat(book.c_str(), &st), 0);
                EXPECT_EQ(st.st_mode & 07777, mode);
                EXPECT_EQ(sheetCount(book), std::string_view(method) == "ShowGraph" ? 9u : 8u);
                if (root && !ordinary) {
                    EXPECT_EQ(st.st_uid, 65533u);
                    EXPECT_EQ(st.st_gid, 65532u);
                }
                EXPECT_EQ(zbq::test::entriesIn(dir.path()), 1u);
            }
        }
    }
}

TEST(GrafvikTarget, WritableWorkbookIsStillDeletedBeforeBadDataIsSeen) {
    TempDir dir;
    const std::string book = dir.file("g.xls");
    writeFile(book, "old graph");
    auto ctl = openControl();
    ASSERT_TRUE(ctl);
    ASSERT_EQ(ctl->setFilePath(book), GRAFVIK_OK);
    ASSERT_EQ(ctl->setData("a\tx"), GRAFVIK_OK);
    EXPECT_EQ(ctl->exNormal(), GRAFVIK_E_NO_DATA);
    EXPECT_FALSE(std::filesystem::exists(book));
}

TEST(GrafvikTarget, WorkbookBehindALinkIsWrittenAndTheLinkKept) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("elsewhere").c_str(), 0755), 0);
    const std::string real = dir.file("elsewhere/real.xls");
    const std::string link = dir.file("link.xls");
    ASSERT_EQ(::symlink("elsewhere/real.xls", link.c_str()), 0);
    auto ctl = openControl();
    ASSERT_TRUE(ctl);
    ASSERT_EQ(ctl->setFilePath(link), GRAFVIK_OK);
    ASSERT_EQ(ctl->setData("a\t1\tb\t2"), GRAFVIK_OK);
    // A link to no file yet: nothing to follow it to, so nothing is written through it.
    EXPECT_EQ(ctl->invoke("ExNormal", {}), GRAFVIK_E_WRITE);
    EXPECT_EQ(ctl->invoke("ShowGraph", {}), GRAFVIK_E_WRITE);
    EXPECT_TRUE(isLink(link));
    EXPECT_FALSE(std::filesystem::exists(real));

    writeFile(real, "old graph");
    for (const char* method : {"ExNormal", "ExUp", "ExDown"}) {
        SCOPED_TRACE(method);
        ASSERT_EQ(ctl->invoke(method, {}), GRAFVIK_OK);
        EXPECT_TRUE(isLink(link));
        EXPECT_EQ(sheetCount(real), 8u);
    }
    ASSERT_EQ(ctl->invoke("ShowGraph", {}), GRAFVIK_OK);
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(sheetCount(real), 9u);
    EXPECT_EQ(zbq::test::entriesIn(dir.file("elsewhere")), 1u);
    EXPECT_EQ(zbq::test::entriesIn(dir.path()), 2u);
}

std::string itemsText(int count) {
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 4);
    for (int i = 0; i < count; ++i)
        text += i ? "\ta\t1" : "a\t1";
    return text;
}

// A million items make a chart workbook larger than any reader takes in, more items than a
// sheet has rows fit no summary either, and a name over 32,767 characters fits no cell: all
// refused as bad data before any workbook is built. The old chart is gone as for any bad data;
// the workbook ShowGraph would add to is left as it was.
TEST(GrafvikTarget, WhatNoWorkbookHoldsIsRefusedAsBadData) {
    struct Case {
        const char* what;
        std::string text;
        bool summaryToo;
    } cases[] = {
        {"a million items", itemsText(1'000'000), false},
        {"more items than rows", itemsText(1'048'572), true},
        {"a name longer than a cell", std::string(32768, 'x') + "\t1", true},
    };
    TempDir dir;
    const std::string chart = dir.file("g.xls"), summary = dir.file("sum.xlsx");
    auto ctl = openControl();
    ASSERT_TRUE(ctl);
    ASSERT_EQ(ctl->setFilePath(summary), GRAFVIK_OK);
    ASSERT_EQ(ctl->setData("a\t1"), GRAFVIK_OK);
    ASSERT_EQ(ctl->invoke("ShowGraph", {}), GRAFVIK_OK);
    const std::string before = readFile(summary);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(chart, "old graph");
        ASSERT_EQ(ctl->setFilePath(chart), GRAFVIK_OK);
        ASSERT_EQ(ctl->setData(c.text), GRAFVIK_OK);
        EXPECT_EQ(ctl->invoke("ExNormal", {}), GRAFVIK_E_NO_DATA);
        EXPECT_FALSE(std::filesystem::exists(chart));
        if (!c.summaryToo) continue;
        ASSERT_EQ(ctl->setFilePath(summary), GRAFVIK_OK);
        EXPECT_EQ(ctl->invoke("ShowGraph", {}), GRAFVIK_E_NO_DATA);
        EXPECT_EQ(readFile(summary), before);
    }
    EXPECT_EQ(zbq::test::entriesIn(dir.path()), 1u);
}

// Two hosts add summaries to one workbook at once; each call's summary must be there in the end.
// Started from no file as well, where both may find the workbook missing.
TEST(GrafvikTarget, TwoWritersOfOneWorkbookLoseNoSummary) {
    constexpr int kCallsEach = 6;
    for (bool existing : {true, false}) {
        SCOPED_TRACE(existing ? "existing workbook" : "new workbook");
        TempDir dir;
        const std::string book = dir.file("sum.xlsx");
        std::size_t expected = 2 * kCallsEach;
        if (existing) {
            auto ctl = openControl();
            ASSERT_TRUE(ctl);
            ASSERT_EQ(ctl->setFilePath(book), GRAFVIK_OK);
            ASSERT_EQ(ctl->setData("a\t1\tb\t2"), GRAFVIK_OK);
            ASSERT_EQ(ctl->invoke("ShowGraph", {}), GRAFVIK_OK);
            ++expected;
        }
        std::atomic<int> ready{0};
        std::atomic<int> failures{0};
        auto writer = [&](const char* data) {
            // The control's state is per thread: each writer is a host of its own.
            auto ctl = openControl();
            const bool set =
                ctl && ctl->setFilePath(book) == GRAFVIK_OK && ctl->setData(data) == GRAFVIK_OK;
            ++ready;
            if (!set) {
                ++failures;
                return;
            }
            while (ready.load() < 2)
                std::this_thread::yield();
            for (int i = 0; i < kCallsEach; ++i)
                if (ctl->invoke("ShowGraph", {}) != GRAFVIK_OK) ++failures;
        };
        std::thread first(writer, "x\t1\ty\t2");
        std::thread second(writer, "p\t3\tq\t4");
        first.join();
        second.join();
        EXPECT_EQ(failures.load(), 0);
        EXPECT_EQ(sheetCount(book), expected);
        EXPECT_EQ(zbq::test::entriesIn(dir.path()), 1u);
    }
}

}  // namespace
