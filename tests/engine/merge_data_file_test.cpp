// Merging a second data file behind the loaded set, saving the current map's records, and the
// memory estimate of a data file.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/kw_create.h"
#include "engine/kw_create_merge.h"
#include "engine/kw_file.h"
#include "engine/kw_search.h"
#include "tests/support/csv_table_fixture.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::csvOf;
using zbq::test::CsvTable;
using zbq::test::describe;
using zbq::test::entriesIn;
using zbq::test::FixtureTable;
using zbq::test::mixedTable;
using zbq::test::readBack;
using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

// Builds the table's rows [from, to) into a data file.
void buildRows(const CsvTable& t, std::size_t from, std::size_t to, const std::string& path) {
    FixtureTable part = t.fixture;
    part.rows.assign(t.fixture.rows.begin() + static_cast<std::ptrdiff_t>(from),
                     t.fixture.rows.begin() + static_cast<std::ptrdiff_t>(to));
    writeFile(path + ".csv", csvOf(part, '\t'));
    KW_create create;
    describe(create, part);
    ASSERT_EQ(create.KWcreate(path + ".csv", path, '\t', 0), 0);
    std::filesystem::remove(path + ".csv");
}

kw::DataFileContents contentsOf(const std::string& path) {
    kw::DataFileContents c;
    EXPECT_EQ(kw::readDataFile(path, "", c), 0) << path;
    return c;
}

// Everything a reader of the loaded set can see, to prove it unchanged.
std::string snapshot(const KW_search& s) {
    std::string out = s.KWgetTitle() + "|" + std::to_string(s.KWgetRecordCount());
    for (std::int32_t i = 0; i < s.KWgetItemCount(); ++i) {
        const auto dict = s.dictionary(i);
        out.append(reinterpret_cast<const char*>(dict.data()), dict.size_bytes());
        const auto values = s.values(i);
        out.append(reinterpret_cast<const char*>(values.data()), values.size_bytes());
        const auto starts = s.answerStarts(i);
        out.append(reinterpret_cast<const char*>(starts.data()), starts.size_bytes());
        for (std::int32_t p = 0; p < static_cast<std::int32_t>(dict.size()); ++p) {
            if (const char* t = s.ValueText(i, p)) out += std::string(t) + "|";
            if (const char* t = s.ValueName(i, p)) out += std::string(t) + "|";
        }
    }
    return out;
}

TEST(AppendDataFile, MergeOfTwoBuildsEqualsTheBuildOfBothSources) {
    TempDir dir;
    const CsvTable t = mixedTable(3000, 21);
    // Unequal halves: values met in one half only and in both.
    buildRows(t, 0, 1200, dir.file("a.zbq"));
    buildRows(t, 1200, 3000, dir.file("b.zbq"));
    buildRows(t, 0, 3000, dir.file("ab.zbq"));

    KW_search loaded;
    ASSERT_EQ(loaded.KWopen(dir.file("a.zbq"), ""), 0);
    const std::string before = snapshot(loaded);
    ASSERT_EQ(AppendDataFile(loaded, dir.file("b.zbq"), dir.file("m.zbq")), 0);
    EXPECT_EQ(snapshot(loaded), before);

    const auto merged = contentsOf(dir.file("m.zbq"));
    zbq::test::expectSameContents(merged, contentsOf(dir.file("ab.zbq")));
    EXPECT_EQ(readFile(dir.file("m.zbq")), readFile(dir.file("ab.zbq")));
    EXPECT_EQ(readBack(merged, 2, 1200), t.expected[1200][2]) << "record R1 is b's first";
}

TEST(AppendDataFile, FloatValuesEqualAcrossFilesShareOneEntry) {
    TempDir dir;
    FixtureTable a{"t", {{"f", KW_TYPE_FLOAT}, {"s", KW_TYPE_STRING}}, {{"1.5", "x"}, {"0", "b"}}};
    FixtureTable b = a;
    b.rows = {{"1.50", "a"}, {"-0", "x"}, {"2", "B"}};
    zbq::test::writeFixture(dir.file("a.zbq"), a);
    zbq::test::writeFixture(dir.file("b.zbq"), b);
    KW_search loaded;
    ASSERT_EQ(loaded.KWopen(dir.file("a.zbq"), ""), 0);
    ASSERT_EQ(AppendDataFile(loaded, dir.file("b.zbq"), dir.file("m.zbq")), 0);
    const auto m = contentsOf(dir.file("m.zbq"));
    ASSERT_EQ(m.recordCount, 5);
    const auto& f = m.items[0];
    ASSERT_EQ(f.dict.size(), 5u);  // error, blank, 0, 1.5, 2
    EXPECT_EQ(f.dict[2].count, 2);
    EXPECT_EQ(f.dict[3].count, 2);
    EXPECT_EQ(f.values, (kw::LargeVector<std::int32_t>{3, 2, 3, 2, 4}));
    std::vector<std::string> texts;
    for (std::size_t p = 2; p < m.items[1].dict.size(); ++p) {
        texts.emplace_back(m.items[1].strings.data() + m.items[1].dict[p].high);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"B", "a", "b", "x"}));
}

TEST(AppendDataFile, SecondFileOfAnotherStructureIsRefusedAndNothingChanges) {
    TempDir dir;
    const FixtureTable base{"t",
                            {{"n", KW_TYPE_INTEGER},
                             {"c", KW_TYPE_STRING, {{"1", "one"}, {"2", "two"}}},
                             {"m", KW_TYPE_MULTI, {{"a", "A"}, {"b", "B"}}}},
                            {{"1", "1", "a,b"}, {"2", "2", ""}}};
    zbq::test::writeFixture(dir.file("loaded.zbq"), base);

    struct Case {
        const char* what;
        std::function<void(FixtureTable&)> change;
        std::function<void(const std::string&)> damage;
    };
    const Case cases[] = {
        {"one item fewer", [](FixtureTable& t) { t.items.pop_back(); }, {}},
        {"another type", [](FixtureTable& t) { t.items[0].type = KW_TYPE_FLOAT; }, {}},
        {"a code more",
         [](FixtureTable& t) {
             t.items[1].codes.push_back({"3", "three"});
         },
         {}},
        {"another code text", [](FixtureTable& t) { t.items[2].codes[1].code = "c"; }, {}},
        {"another display name", [](FixtureTable& t) { t.items[1].codes[0].name = "uno"; }, {}},
        {"truncated",
         {},
         [](const std::string& p) {
             std::filesystem::resize_file(p, std::filesystem::file_size(p) - 3);
         }},
        {"not a data file", {}, [](const std::string& p) { writeFile(p, "QRN ZBQX and more"); }},
        {"with a password", {}, [](const std::string& p) { ASSERT_EQ(KWpwdSet(p, "secret"), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureTable second = base;
        if (c.change) c.change(second);
        zbq::test::writeFixture(dir.file("second.zbq"), second);
        if (c.damage) c.damage(dir.file("second.zbq"));
        writeFile(dir.file("out.zbq"), "the old output");

        KW_search loaded;
        ASSERT_EQ(loaded.KWopen(dir.file("loaded.zbq"), ""), 0);
        const std::string before = snapshot(loaded);
        EXPECT_LT(AppendDataFile(loaded, dir.file("second.zbq"), dir.file("out.zbq")), 0);
        EXPECT_EQ(readFile(dir.file("out.zbq")), "the old output");
        EXPECT_EQ(entriesIn(dir.path()), 3u) << "a temporary was left behind";
        EXPECT_EQ(snapshot(loaded), before);
    }
}

TEST(AppendDataFile, FailedMergeIntoTheLoadedFileLeavesItIntactAndASecondTrySucceeds) {
    TempDir dir;
    const CsvTable t = mixedTable(4000, 22);
    buildRows(t, 0, 2000, dir.file("work.zbq"));
    buildRows(t, 2000, 4000, dir.file("add.zbq"));
    const std::string original = readFile(dir.file("work.zbq"));
    KW_search loaded;
    ASSERT_EQ(loaded.KWopen(dir.file("work.zbq"), ""), 0);
    const std::string before = snapshot(loaded);

    // A file-size limit makes the write fail part-way: a real failure in mid-file.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 16384;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::int32_t rc = AppendDataFile(loaded, dir.file("add.zbq"), dir.file("work.zbq"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_LT(rc, 0);
    EXPECT_EQ(readFile(dir.file("work.zbq")), original);
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    EXPECT_EQ(snapshot(loaded), before);

    ASSERT_EQ(AppendDataFile(loaded, dir.file("add.zbq"), dir.file("work.zbq")), 0);
    const auto merged = contentsOf(dir.file("work.zbq"));
    EXPECT_EQ(merged.recordCount, 4000);
    for (std::size_t r = 0; r < 4000; r += 7) {
        for (std::size_t i = 0; i < t.fixture.items.size(); ++i) {
            ASSERT_EQ(readBack(merged, i, r), t.expected[r][i]) << "record " << r << " item " << i;
        }
    }
}

TEST(KWmapSave, KeepsTheMapsRecordsAndEveryDictionaryEntry) {
    TempDir dir;
    const CsvTable t = mixedTable(500, 23);
    buildRows(t, 0, 500, dir.file("all.zbq"));
    ASSERT_EQ(KWpwdSet(dir.file("all.zbq"), "pw"), 0);
    KW_search loaded;
    ASSERT_EQ(loaded.KWopen(dir.file("all.zbq"), "pw"), 0);

    auto map = std::make_shared<KW_map>(500);
    std::vector<std::size_t> selected;
    for (std::int32_t r = 0; r < 500; ++r) {
        if (r % 3 == 0 || r == 499) {
            map->set(r);
            selected.push_back(static_cast<std::size_t>(r));
        }
    }
    ASSERT_EQ(loaded.KWmapSet(map), static_cast<std::int32_t>(selected.size()));
    ASSERT_EQ(KWmapSave(loaded, dir.file("part.zbq")), 0);

    EXPECT_EQ(KWpwdchk(dir.file("part.zbq")), 0) << "the copy has no password";
    const auto part = contentsOf(dir.file("part.zbq"));
    ASSERT_EQ(part.recordCount, static_cast<std::int32_t>(selected.size()));
    EXPECT_EQ(part.head.version, KW_FORMAT_VERSION);
    EXPECT_EQ(part.head.title, t.fixture.title);
    for (std::size_t i = 0; i < t.fixture.items.size(); ++i) {
        EXPECT_EQ(part.items[i].dict.size(), loaded.dictionary(static_cast<std::int32_t>(i)).size())
            << "item " << i << " lost dictionary entries";
        for (std::size_t k = 0; k < selected.size(); ++k) {
            ASSERT_EQ(readBack(part, i, k), t.expected[selected[k]][i]) << "item " << i;
        }
    }
    // A value no selected record holds stays with count 0: record 1's integer is unselected.
    bool zeroSeen = false;
    for (const KW_dict& e : part.items[0].dict)
        zeroSeen |= e.count == 0;
    EXPECT_TRUE(zeroSeen);

    // Without a map every record is written.
    loaded.KWmapClear();
    ASSERT_EQ(KWmapSave(loaded, dir.file("copy.zbq")), 0);
    EXPECT_EQ(contentsOf(dir.file("copy.zbq")).recordCount, 500);
}

TEST(KWgetFileMemory, EstimateAndRefusals) {
    TempDir dir;
    FixtureTable t{"t", {{"n", KW_TYPE_INTEGER}}, {}};
    for (int r = 0; r < 1000; ++r)
        t.rows.push_back({std::to_string(r % 10)});
    zbq::test::writeFixture(dir.file("a.zbq"), t);
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(dir.file("a.zbq")));
    ASSERT_LT(size, 102400);
    // A settings blob brings the file to 102,400 bytes: (12,000 + 102,400) / 1024 = 111.
    ASSERT_EQ(KWwriteBlob(dir.file("a.zbq"), std::string(102400 - size, 'b')), 0);
    EXPECT_EQ(KWgetFileMemory(dir.file("a.zbq")), 111);

    writeFile(dir.file("text.txt"), std::string(400, 'x'));
    EXPECT_EQ(KWgetFileMemory(dir.file("text.txt")), KW_ERR_NOT_DATA_FILE);
    std::filesystem::resize_file(dir.file("a.zbq"), 300);  // ends inside the definitions
    EXPECT_EQ(KWgetFileMemory(dir.file("a.zbq")), KW_ERR_DAMAGED);
    EXPECT_LT(KWgetFileMemory(dir.file("none.zbq")), 0);
}

}  // namespace
