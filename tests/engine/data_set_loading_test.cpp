// Loading a data set into KW_search: what a load fills in, passwords, and that a failed load
// leaves nothing loaded (the previous set included).
#include <gtest/gtest.h>

#include "engine/kw_file.h"
#include "engine/kw_search.h"
#include "platform/core/engine_host.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;
using zbq::test::TempDir;

const FixtureTable kSmall{
    "small", {{"n", KW_TYPE_INTEGER}, {"s", KW_TYPE_STRING}}, {{"1", "a"}, {"2", "b"}, {"", "c"}}};

struct CountingHost : zbq::EngineHost {
    int pumps = 0;
    void setStatusText(std::string_view) override {}
    void pumpMessages() override { ++pumps; }
    int memoryReadCsvSizeMb() override { return kDefaultMemoryReadCsvSizeMb; }
};

TEST(DataSetLoading, LoadFillsTheTablesAndCloseEmptiesThem) {
    TempDir dir;
    zbq::test::writeFixture(dir.file("a.zbq"), kSmall);
    KW_search s;
    CountingHost host;
    s.SetHost(&host);
    ASSERT_EQ(s.KWopen(dir.file("a.zbq"), ""), 0);
    EXPECT_GT(host.pumps, 0);
    EXPECT_TRUE(s.IsLoaded());
    EXPECT_EQ(s.KWgetVersion(), 100);
    EXPECT_EQ(s.KWgetTitle(), "small");
    EXPECT_EQ(s.KWgetPath(), dir.file("a.zbq"));
    EXPECT_EQ(s.KWgetItemCount(), 2);
    EXPECT_EQ(s.KWgetRecordCount(), 3);
    EXPECT_EQ(s.KWgetDataCount(), 3);
    EXPECT_EQ(s.KWmapGetLength(), 4);
    EXPECT_EQ(s.KWmapGet(), nullptr);
    ASSERT_NE(s.KWgetItem(1), nullptr);
    EXPECT_STREQ(s.KWgetItem(1)->name, "s");
    EXPECT_EQ(s.KWgetItem(2), nullptr);

    s.KWclose();
    EXPECT_FALSE(s.IsLoaded());
    EXPECT_EQ(s.KWgetDataCount(), 0);
    EXPECT_EQ(s.KWgetItemCount(), 0);
    std::int32_t v = 0;
    EXPECT_EQ(s.KWreadInteger(0, 0, &v), -1);
}

TEST(DataSetLoading, FailedLoadLeavesNothingLoadedNotEvenThePreviousSet) {
    TempDir dir;
    zbq::test::writeFixture(dir.file("good.zbq"), kSmall);
    std::string bytes = zbq::test::readFile(dir.file("good.zbq"));
    zbq::test::writeFile(dir.file("cut.zbq"), bytes.substr(0, bytes.size() - 3));
    zbq::test::writeFile(dir.file("text.zbq"), "not a data file at all");

    KW_search s;
    for (const char* bad : {"cut.zbq", "text.zbq", "missing.zbq"}) {
        SCOPED_TRACE(bad);
        ASSERT_EQ(s.KWopen(dir.file("good.zbq"), ""), 0);
        ASSERT_EQ(s.KWmapComplement(nullptr), 0);  // some state on the old set
        EXPECT_LT(s.KWopen(dir.file(bad), ""), 0);
        EXPECT_FALSE(s.IsLoaded());
        EXPECT_EQ(s.KWgetDataCount(), 0);
        EXPECT_EQ(s.KWmapGet(), nullptr);
        EXPECT_TRUE(s.KWgetPath().empty());
    }
}

TEST(DataSetLoading, ProtectedFileOpensOnlyWithItsPasswordAndCanBeRetried) {
    TempDir dir;
    zbq::test::writeFixture(dir.file("p.zbq"), kSmall);
    ASSERT_EQ(KWpwdSet(dir.file("p.zbq"), "tiger"), 0);
    KW_search s;
    EXPECT_EQ(s.KWopen(dir.file("p.zbq"), ""), KW_ERR_PASSWORD);
    EXPECT_EQ(s.KWopen(dir.file("p.zbq"), "tige"), KW_ERR_PASSWORD);
    EXPECT_FALSE(s.IsLoaded());
    ASSERT_EQ(s.KWopen(dir.file("p.zbq"), "tiger"), 0);
    EXPECT_EQ(s.KWgetPasswordLength(), 5);
    EXPECT_EQ(s.KWgetRecordCount(), 3);
}

TEST(DataSetLoading, ReloadStartsFromAFreshState) {
    TempDir dir;
    zbq::test::writeFixture(dir.file("a.zbq"), kSmall);
    KW_search s;
    ASSERT_EQ(s.KWopen(dir.file("a.zbq"), ""), 0);
    ASSERT_EQ(s.KWsortData(0, 1), 0);
    ASSERT_EQ(s.KWpassDataFromMap(0, 2), 0);
    ASSERT_EQ(s.KWmapComplement(nullptr), 0);
    ASSERT_EQ(s.KWopen(dir.file("a.zbq"), ""), 0);
    EXPECT_EQ(s.KWgetDataCount(), 3);
    EXPECT_EQ(s.SortItem(), -1);
    EXPECT_EQ(s.KWpassDataGet(0, 2), -1);
    EXPECT_EQ(s.RecordOfRow(0), 0);
}

}  // namespace
