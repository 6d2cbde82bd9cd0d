// The cancel handshake between the aggregation window and the build on its worker: a request
// stops a running build, which takes the request back; a request made before the window's
// worker has entered the build still stops it; the window's reset before a build clears it.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "engine/kw_search.h"
#include "tests/support/temp_dir.h"

namespace {

// Two Integer items of `values` values each over `records` records, written straight through
// the format writer (a large table in a moment).
void writeLargeTable(const std::string& path, std::int32_t records, std::int32_t values) {
    kw::DataFileContents c;
    c.recordCount = records;
    std::mt19937 rng(3);
    for (const char* name : {"a", "b"}) {
        kw::ItemBlock b;
        kw::setTextField(b.def.name, name);
        b.def.type = KW_TYPE_INTEGER;
        b.def.listLength = records;
        b.dict.resize(static_cast<std::size_t>(values) + 2, KW_dict{});
        b.dict[0].low = -2;
        b.dict[1].low = -1;
        for (std::int32_t v = 0; v < values; ++v)
            b.dict[static_cast<std::size_t>(v) + 2].high = v;
        b.values.resize(static_cast<std::size_t>(records));
        for (std::int32_t& p : b.values)
            p = 2 + static_cast<std::int32_t>(rng() % static_cast<unsigned>(values));
        kw::fillCounts(b);
        c.items.push_back(std::move(b));
    }
    ASSERT_EQ(kw::writeDataFile(path, c), 0);
}

class MolapCancelling : public ::testing::Test {
protected:
    void load(std::int32_t records) {
        writeLargeTable(dir_.file("big.zbq"), records, 1000);
        ASSERT_EQ(s_.KWopen(dir_.file("big.zbq"), ""), 0);
        ASSERT_EQ(s_.SetMolapX({0}, {0}), 0);
        ASSERT_EQ(s_.SetMolapY({1}, {0}), 0);
    }
    std::int32_t build() { return s_.KWexecuteMolap({0}, {1}, {}, {}, 2, 2); }

    zbq::test::TempDir dir_;
    KW_search s_;
    kw::MolapCancel& flag_ = s_.MolapCancelFlag();
};

TEST_F(MolapCancelling, FromAnotherThreadWhileTheBuildRuns) {
    // Long enough that the request arrives while the records are walked.
    load(1'000'000);
    flag_.reset();
    std::atomic<std::int32_t> result{-100};
    std::thread worker([&] { result = build(); });
    while (!flag_.running() && result == -100)
        std::this_thread::yield();
    flag_.cancel();  // waits until the build has taken the request
    worker.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(flag_.value(), 0);
    EXPECT_EQ(s_.GetMolapXCount(), 0);  // nothing of a cancelled build is kept
}

TEST_F(MolapCancelling, ARequestPendingAtTheStartStopsBeforeAnyRecord) {
    load(10'000);
    std::thread window;
    {
        // The window's worker is on its way into the build when the window closes.
        const kw::MolapCancel::Running starting(flag_);
        window = std::thread([&] { flag_.cancel(); });
        while (flag_.value() != 1)
            std::this_thread::yield();
        EXPECT_EQ(build(), 1);
    }
    window.join();
    EXPECT_EQ(flag_.value(), 0);
}

TEST_F(MolapCancelling, WithNoBuildRunningReturnsAtOnceAndANewBuildAfterAResetRuns) {
    load(10'000);
    int idles = 0;
    flag_.cancel([&] { ++idles; });
    EXPECT_EQ(idles, 0);
    flag_.reset();  // the window starts every build this way
    EXPECT_EQ(build(), 0);
    EXPECT_EQ(s_.GetMolapXCount(), 1001);
}

// The window's own order: reset, start the worker, and close before the worker has entered the
// build. The request must still stop that build.
TEST_F(MolapCancelling, ACancelBeforeTheWorkerEntersStillStopsItsBuild) {
    load(10'000);
    flag_.reset();
    std::atomic<bool> go{false};
    std::atomic<std::int32_t> result{-100};
    std::thread worker([&] {
        while (!go)
            std::this_thread::yield();
        result = build();
    });
    flag_.cancel();  // nobody inside yet: returns at once
    go = true;
    worker.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(flag_.value(), 0);
    EXPECT_EQ(s_.GetMolapXCount(), 0);
}

}  // namespace
