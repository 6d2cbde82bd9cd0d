// Running out of memory inside a search or a value-list sort. This program replaces the global
// allocation functions, so that every allocation from the n-th on fails; for every n until the
// call succeeds, it must return -1011 and leave the current map, its counts and the value-list
// order exactly as they were.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "engine/kw_search.h"
#include "tests/engine/random_table.h"
#include "tests/support/temp_dir.h"

namespace {

long g_allowed = -1;  // allocations still allowed before all fail; -1: no limit

}  // namespace

// GCC sees free() behind an inlined operator delete and takes it for a mismatch; these
// replacements pair malloc with free throughout.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (g_allowed == 0) throw std::bad_alloc();
    if (g_allowed > 0) --g_allowed;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

#pragma GCC diagnostic pop

namespace {

template <typename Call>
std::int32_t withAllocations(long allowed, Call call) {
    g_allowed = allowed;
    const std::int32_t rc = call();
    g_allowed = -1;
    return rc;
}

class OutOfMemory : public ::testing::Test {
protected:
    void SetUp() override {
        zbq::test::writeFixture(dir_.file("m.zbq"), zbq::test::randomTable(300, 17));
        ASSERT_EQ(s_.KWopen(dir_.file("m.zbq"), ""), 0);
        auto map = std::make_shared<KW_map>(300);
        for (int r = 0; r < 300; r += 7)
            map->set(r);
        sentinel_ = map;
    }

    std::vector<std::int32_t> counts() {
        std::vector<std::int32_t> out;
        for (std::int32_t item = 0; item < s_.KWgetItemCount(); ++item)
            for (const KW_dict& e : s_.dictionary(item))
                out.push_back(e.mapCount);
        return out;
    }

    zbq::test::TempDir dir_;
    KW_search s_;
    KW_mapPtr sentinel_;
};

TEST_F(OutOfMemory, FailedSearchLeavesTheCurrentMapAndCounts) {
    const std::string expression = "(#0>0+#2=%a%)*#4!=x+#5=20240101-20240601*(#3=NAME:Bee)";
    const std::int32_t found = s_.KWsrch(expression);
    ASSERT_GT(found, 0);
    int failures = 0;
    for (long allowed = 0;; ++allowed) {
        ASSERT_LT(allowed, 10000) << "the search never succeeded";
        ASSERT_EQ(s_.KWmapSet(sentinel_), 43);
        const std::vector<std::int32_t> before = counts();
        const std::int32_t rc = withAllocations(allowed, [&] { return s_.KWsrch(expression); });
        if (rc == found) break;
        ASSERT_EQ(rc, -1011) << "after " << allowed << " allocations";
        ++failures;
        EXPECT_EQ(s_.KWmapGet(), sentinel_);
        EXPECT_EQ(s_.KWgetDataCount(), 43);
        EXPECT_EQ(counts(), before);
    }
    EXPECT_GE(failures, 5);
}

TEST_F(OutOfMemory, FailedSortKeepsTheOrder) {
    ASSERT_EQ(s_.KWsortValue(0, 1), 0);
    std::vector<std::int32_t> before;
    for (std::int32_t p = 0; p < s_.KWgetValueCount(0); ++p)
        before.push_back(s_.ValueListToDictionary(0, p));
    ASSERT_EQ(s_.KWmapSet(sentinel_), 43);
    EXPECT_EQ(withAllocations(0, [&] { return s_.KWsortValue(0, 0); }), -1011);
    std::vector<std::int32_t> after;
    for (std::int32_t p = 0; p < s_.KWgetValueCount(0); ++p)
        after.push_back(s_.ValueListToDictionary(0, p));
    EXPECT_EQ(after, before);
    EXPECT_EQ(s_.KWsortValue(0, 0), 0);
}

}  // namespace
