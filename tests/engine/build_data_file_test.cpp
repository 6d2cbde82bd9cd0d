// Building a data file from a text table: what the file holds, the in-memory and column-file
// modes, the line rules of the source, progress, failures and the item description.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <charconv>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/kw_create.h"
#include "platform/core/cp932.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/recording_engine_host.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::string_view_literals;
using zbq::cp932::literal;
using zbq::test::FixtureTable;
using zbq::test::readFile;
using zbq::test::RecordingEngineHost;
using zbq::test::TempDir;
using zbq::test::writeFile;

const std::string kError = "<error>";

// A table, what each cell must read back as, and the items to describe it with.
struct Table {
    FixtureTable fixture;
    std::vector<std::vector<std::string>> expected;  // rows[record][item]; kError for errors
};

// Sets up the builder for the fixture's items, item i on source column i.
void describe(KW_create& create, const FixtureTable& t) {
    ASSERT_EQ(create.SetItemCount(static_cast<std::int32_t>(t.items.size())), 0);
    for (std::size_t i = 0; i < t.items.size(); ++i) {
        const auto& item = t.items[i];
        const auto n = static_cast<std::int32_t>(i);
        ASSERT_EQ(create.SetItem(n, item.name, item.type, n), 0);
        if (item.codes.empty()) continue;
        ASSERT_EQ(create.SetCodeCount(n, static_cast<std::int32_t>(item.codes.size())), 0);
        for (std::size_t j = 0; j < item.codes.size(); ++j) {
            ASSERT_EQ(create.SetCode(n, static_cast<std::int32_t>(j), item.codes[j].code,
                                     item.codes[j].name),
                      0);
        }
    }
    create.SetTitle(t.title);
}

// The table as delimited text; fields after the first that hold the separator are quoted.
std::string csvOf(const FixtureTable& t, char sep, const std::string& lineEnd = "\n",
                  const std::string& header = "") {
    std::string text = header;
    for (const auto& row : t.rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) text += sep;
            const bool quote = i > 0 && row[i].find(sep) != std::string::npos;
            text += quote ? "\"" + row[i] + "\"" : row[i];
        }
        text += lineEnd;
    }
    return text;
}

std::string shortest(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

// Items of every type with values, blanks, errors, CP932 text and separators inside fields.
Table mixedTable(int records, unsigned seed) {
    Table t;
    auto& f = t.fixture;
    f.title = literal("アンケート集計");
    f.items = {
        {literal("番号"), KW_TYPE_INTEGER},
        {literal("得点"), KW_TYPE_FLOAT},
        {literal("氏名"), KW_TYPE_STRING},
        {literal("性別"),
         KW_TYPE_STRING,
         {{"1", literal("男性")}, {"2", literal("女性")}, {"9", literal("不明")}}},
        {literal("趣味"), KW_TYPE_MULTI, {{"c", "C"}, {"a", "A"}, {"b", "B"}}},
        {literal("日付"), KW_TYPE_DATE},
        {literal("時刻"), KW_TYPE_TIME},
    };
    const std::string names[] = {literal("山田"), literal("佐藤"), literal("ｱｲｳ"), "Smith",
                                 "smith",         literal("表示"), "a,b",          "x"};
    std::mt19937 rng(seed);
    for (int r = 0; r < records; ++r) {
        std::vector<std::string> row, expected;
        auto cell = [&](std::string text, std::string value) {
            row.push_back(std::move(text));
            expected.push_back(std::move(value));
        };
        auto blankOr = [&](unsigned odds) { return rng() % odds == 0; };
        // Integer
        if (blankOr(15))
            cell("", "");
        else if (blankOr(15))
            cell("x", kError);
        else {
            const std::string v = std::to_string(static_cast<int>(rng() % 2001) - 1000);
            cell(v, v);
        }
        // Float
        if (blankOr(15))
            cell("", "");
        else if (blankOr(15))
            cell("abc", kError);
        else {
            const std::string v =
                shortest(static_cast<double>(static_cast<int>(rng() % 801) - 400) / 8);
            cell(v, v);
        }
        // String
        if (blankOr(10))
            cell("", "");
        else {
            std::string v = names[rng() % std::size(names)];
            if (rng() % 3 == 0) v += names[rng() % std::size(names)];
            cell(v, v);
        }
        // Code
        const char* codes[] = {"1", "2", "9"};
        if (blankOr(10))
            cell("", "");
        else if (blankOr(10))
            cell("3", kError);
        else {
            const std::string v = codes[rng() % 3];
            cell(v, v);
        }
        // MultiAns: every answer read back, errors as "zz"
        if (blankOr(10))
            cell("", "");
        else {
            std::string v;
            for (unsigned k = 0, parts = 1 + rng() % 3; k < parts; ++k) {
                v += k > 0 ? "," : "";
                v += rng() % 8 == 0 ? "zz" : std::string(1, static_cast<char>('a' + rng() % 3));
            }
            cell(v, v);
        }
        // Date
        if (blankOr(12))
            cell("", "");
        else if (blankOr(12))
            cell("2023/2/29", kError);
        else {
            const std::string v = std::to_string(1990 + rng() % 40) + "/" +
                                  std::to_string(1 + rng() % 12) + "/" +
                                  std::to_string(1 + rng() % 28);
            cell(v, v);
        }
        // Time
        if (blankOr(12))
            cell("", "");
        else if (blankOr(12))
            cell("25:00:00", kError);
        else {
            const std::string v = std::to_string(rng() % 24) + ":" + std::to_string(rng() % 60) +
                                  ":" + std::to_string(rng() % 60);
            cell(v, v);
        }
        f.rows.push_back(row);
        t.expected.push_back(expected);
    }
    return t;
}

// What cell (record r, item i) of a read-back file says, in the terms of Table::expected.
std::string readBack(const kw::DataFileContents& c, std::size_t i, std::size_t r) {
    const kw::ItemBlock& b = c.items[i];
    auto text = [&](std::int32_t p) -> std::string {
        if (p == KW_POS_BLANK) return "";
        const KW_dict& e = b.dict[static_cast<std::size_t>(p)];
        switch (b.def.type) {
            case KW_TYPE_INTEGER:
                return p == KW_POS_ERROR ? kError : std::to_string(e.high);
            case KW_TYPE_FLOAT:
                return p == KW_POS_ERROR ? kError : shortest(e.asDouble());
            case KW_TYPE_DATE:
                return p == KW_POS_ERROR ? kError
                                         : std::to_string(e.high / 10000) + "/" +
                                               std::to_string(e.high / 100 % 100) + "/" +
                                               std::to_string(e.high % 100);
            case KW_TYPE_TIME:
                return p == KW_POS_ERROR ? kError
                                         : std::to_string(e.high / 10000) + ":" +
                                               std::to_string(e.high / 100 % 100) + ":" +
                                               std::to_string(e.high % 100);
            case KW_TYPE_MULTI:
                return p == KW_POS_ERROR ? "zz" : std::string(b.strings.data() + e.high);
            default:
                return p == KW_POS_ERROR ? kError : std::string(b.strings.data() + e.high);
        }
    };
    if (b.def.type != KW_TYPE_MULTI) return text(b.values[r]);
    std::string joined;
    for (std::int32_t k = b.starts[r]; k < b.starts[r + 1]; ++k) {
        joined += (k > b.starts[r] ? "," : "") + text(b.values[static_cast<std::size_t>(k)]);
    }
    return joined;
}

std::size_t entriesIn(const std::string& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

std::vector<std::string> logLines(const TempDir& dir) {
    std::vector<std::string> lines;
    if (!std::filesystem::exists(dir.file("ZBQ_Error.log"))) return lines;
    const std::string log = readFile(dir.file("ZBQ_Error.log"));
    for (std::size_t from = 0, end; (end = log.find("\r\n", from)) != std::string::npos;
         from = end + 2) {
        lines.push_back(log.substr(from, end - from));
    }
    return lines;
}

TEST(BuildDataFile, EveryCellReadsBackAndTheBytesEqualTheFixtureWriters) {
    TempDir dir;
    KWsetLogDir(dir.path());
    const Table t = mixedTable(3000, 11);
    writeFile(dir.file("src.csv"), csvOf(t.fixture, ',', "\r\n"));
    KW_create create;
    describe(create, t.fixture);
    ASSERT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), 0);

    kw::DataFileContents c;
    ASSERT_EQ(kw::readDataFile(dir.file("out.zbq"), "", c), 0);
    ASSERT_EQ(c.recordCount, 3000);
    EXPECT_EQ(c.head.title, t.fixture.title);
    EXPECT_EQ(c.head.version, KW_FORMAT_VERSION);
    for (std::size_t r = 0; r < t.expected.size(); ++r) {
        for (std::size_t i = 0; i < t.fixture.items.size(); ++i) {
            ASSERT_EQ(readBack(c, i, r), t.expected[r][i]) << "record " << r << " item " << i;
        }
    }
    zbq::test::writeFixture(dir.file("fixture.zbq"), t.fixture);
    EXPECT_EQ(readFile(dir.file("out.zbq")), readFile(dir.file("fixture.zbq")));
    EXPECT_TRUE(logLines(dir).empty());
}

// Watches the column file of source column 0 while the engine works.
struct ColumnFileProbe {
    std::string path;
    bool seen = false;
    mode_t mode = 0;
    void look() {
        struct stat st;
        if (::stat(path.c_str(), &st) == 0) {
            seen = true;
            mode = st.st_mode & 0777;
        }
    }
};

TEST(BuildDataFile, ModesGiveIdenticalFilesAndSwitchExactlyAtTheLimit) {
    TempDir dir;
    KWsetLogDir(dir.path());
    const Table t = mixedTable(30000, 12);
    std::string csv = csvOf(t.fixture, '\t');
    ASSERT_GT(csv.size(), 1048576u);
    // Exactly 1 MiB: cut at a line end and fill the rest with whole lines of one field.
    csv.resize(csv.rfind('\n', 1048576 - 1) + 1);
    while (csv.size() < 1048576) {
        const std::size_t room = 1048576 - csv.size();
        csv += std::string(std::min<std::size_t>(room, 10) - 1, '7') + "\n";
    }
    ASSERT_EQ(csv.size(), 1048576u);

    struct Case {
        std::string source;
        int memoryMb;
        bool columnFiles;
    };
    const Case cases[] = {
        {csv, 1, false},           // as large as the limit: in memory
        {csv + "7\n", 1, true},    // one line more: column files
        {csv, 0, true},            // no limit at all
        {csv + "7\n", 50, false},  // the default
    };
    std::string memoryFile, columnFile;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.source.size()) + " bytes, limit " +
                     std::to_string(c.memoryMb));
        writeFile(dir.file("src.txt"), c.source);
        RecordingEngineHost host;
        host.memoryMb = c.memoryMb;
        ColumnFileProbe probe{dir.file("out.zbq.001")};
        host.onPump = [&] { probe.look(); };
        KW_create create;
        create.SetOwner(&host);
        describe(create, t.fixture);
        ASSERT_EQ(create.KWcreate(dir.file("src.txt"), dir.file("out.zbq"), '\t', 0), 0);
        EXPECT_GT(host.pumps, 0);
        EXPECT_EQ(probe.seen, c.columnFiles);
        if (c.columnFiles) {
            EXPECT_EQ(probe.mode, 0600u);
        }
        EXPECT_EQ(entriesIn(dir.path()), 2u) << "a column file was left behind";
        std::string& same = c.source.size() == csv.size() ? memoryFile : columnFile;
        if (same.empty()) {
            same = readFile(dir.file("out.zbq"));
        } else {
            EXPECT_EQ(readFile(dir.file("out.zbq")), same) << "the two modes differ";
        }
    }
}

TEST(BuildDataFile, ProgressTextsInCp932) {
    TempDir dir;
    writeFile(dir.file("src.csv"), "1,a\n2,b\n");
    RecordingEngineHost host;
    KW_create create;
    create.SetOwner(&host);
    ASSERT_EQ(create.SetItemCount(2), 0);
    ASSERT_EQ(create.SetItem(0, "n", KW_TYPE_INTEGER, 0), 0);
    ASSERT_EQ(create.SetItem(1, "s", KW_TYPE_STRING, 1), 0);
    ASSERT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), 0);
    EXPECT_EQ(host.statuses,
              (std::vector<std::string>{literal("データ解析中"), literal("項目1処理中"),
                                        literal("項目2処理中")}));
}

// Builds `source` with one Integer item per column (`columns` of them); the file's record
// count, or the build's negative code.
std::int32_t recordsOf(const std::string& source, int columns, int memoryMb = 50,
                       std::int32_t header = 0) {
    TempDir dir;
    KWsetLogDir(dir.path());
    writeFile(dir.file("src.csv"), source);
    RecordingEngineHost host;
    host.memoryMb = memoryMb;
    KW_create create;
    create.SetOwner(&host);
    EXPECT_EQ(create.SetItemCount(columns), 0);
    for (int i = 0; i < columns; ++i)
        EXPECT_EQ(create.SetItem(i, "n", KW_TYPE_INTEGER, i), 0);
    const std::int32_t rc = create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', header);
    // The source and the file, or the source and the log: no column file, no temporary.
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    if (rc != 0) return rc;
    kw::DataFileContents c;
    EXPECT_EQ(kw::readDataFile(dir.file("out.zbq"), "", c), 0);
    return c.recordCount;
}

TEST(BuildDataFile, LinesAndRecords) {
    struct Case {
        std::string_view source;
        int columns;
        std::int32_t header;
        std::int32_t result;  // records, or the failure code
    };
    const Case cases[] = {
        {"1,2\n3,4\n", 2, 0, 2},
        {"1,2\n3,4", 2, 0, 2},  // a last line without its end
        {"1,2\r\n3,4\r\n", 2, 0, 2},
        {"1,2\r3,4\r", 2, 0, 2},              // lone CRs end lines too
        {"1,2\n3,4\n\n\n", 2, 0, 2},          // trailing empty lines are no records
        {"1,2\n\n3,4\n", 2, 0, KW_ERR_STEP},  // an empty line between records is not
        {"1,2\n\"\"\n", 2, 0, KW_ERR_STEP},   // nor is a line without a field
        {"1\n\n3\n\n", 1, 0, 4},              // one column: an empty line is a blank record
        {"\n", 1, 0, 1},
        {"", 2, 0, 0},
        {"h\n1,2\n", 2, 1, 1},  // a header with fewer fields is skipped unread
        {"h\n", 2, 1, 0},
        {"1\n2,3,4\n", 2, 0, 2},               // short lines are padded, long ones cut
        {"1,2\n3,\0\n"sv, 2, 0, KW_ERR_STEP},  // a NUL: no text table
    };
    for (const Case& c : cases) {
        const std::string source(c.source);
        EXPECT_EQ(recordsOf(source, c.columns, 50, c.header), c.result) << source;
        EXPECT_EQ(recordsOf(source, c.columns, 0, c.header), c.result)
            << "column files: " << source;
    }
}

TEST(BuildDataFile, HeaderOnlySourceGivesEmptyItemsAndAnEmptyBlob) {
    TempDir dir;
    writeFile(dir.file("src.csv"), "a,b\n");
    KW_create create;
    ASSERT_EQ(create.SetItemCount(2), 0);
    ASSERT_EQ(create.SetItem(0, "n", KW_TYPE_INTEGER, 0), 0);
    ASSERT_EQ(create.SetItem(1, "s", KW_TYPE_STRING, 1), 0);
    ASSERT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 1), 0);
    kw::DataFileContents c;
    ASSERT_EQ(kw::readDataFile(dir.file("out.zbq"), "", c), 0);
    EXPECT_EQ(c.recordCount, 0);
    for (const auto& item : c.items) {
        ASSERT_EQ(item.dict.size(), 2u);
        EXPECT_EQ(item.dict[0].count + item.dict[1].count, 0);
        EXPECT_TRUE(item.values.empty());
    }
    EXPECT_EQ(c.blobOffset, static_cast<std::int32_t>(readFile(dir.file("out.zbq")).size()));
}

TEST(BuildDataFile, LineLongerThanAChunkIsOneValue) {
    TempDir dir;
    const std::string longText(200000, 'q');
    writeFile(dir.file("src.csv"), "1," + longText + "\n2,x\n");
    KW_create create;
    ASSERT_EQ(create.SetItemCount(2), 0);
    ASSERT_EQ(create.SetItem(0, "n", KW_TYPE_INTEGER, 0), 0);
    ASSERT_EQ(create.SetItem(1, "s", KW_TYPE_STRING, 1), 0);
    ASSERT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), 0);
    kw::DataFileContents c;
    ASSERT_EQ(kw::readDataFile(dir.file("out.zbq"), "", c), 0);
    EXPECT_EQ(readBack(c, 1, 0), longText);
    EXPECT_EQ(readBack(c, 1, 1), "x");
}

TEST(BuildDataFile, FailureLogsOneLineLeavesNoColumnFileAndKeepsTheOldFile) {
    TempDir dir;
    KWsetLogDir(dir.path());
    writeFile(dir.file("out.zbq"), "the old file");
    // The empty line comes late, when the column files exist (the probe sees them).
    std::string source;
    for (int r = 0; r < 10000; ++r)
        source += std::to_string(r) + ",some text to fill\n";
    source += "\n1,2\n";
    writeFile(dir.file("src.csv"), source);
    RecordingEngineHost host;
    host.memoryMb = 0;
    ColumnFileProbe probe{dir.file("out.zbq.002")};
    host.onPump = [&] { probe.look(); };
    KW_create create;
    create.SetOwner(&host);
    ASSERT_EQ(create.SetItemCount(2), 0);
    ASSERT_EQ(create.SetItem(0, "n", KW_TYPE_INTEGER, 0), 0);
    ASSERT_EQ(create.SetItem(1, "s", KW_TYPE_STRING, 1), 0);

    EXPECT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), KW_ERR_STEP);
    EXPECT_TRUE(probe.seen);
    EXPECT_EQ(readFile(dir.file("out.zbq")), "the old file");
    EXPECT_EQ(entriesIn(dir.path()), 3u) << "source, old file and log only";
    const auto lines = logLines(dir);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(
        lines[0].ends_with("\t-5\tillegal csv file.|KW_create::DataSeparate|KW_create::KWcreate()"))
        << lines[0];

    // The object is clean again: the next build succeeds and logs nothing more.
    writeFile(dir.file("src.csv"), "1,a\n");
    EXPECT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), 0);
    EXPECT_EQ(logLines(dir).size(), 1u);
}

TEST(BuildDataFile, MissingSourceIsLoggedWithTheReadersPath) {
    TempDir dir;
    KWsetLogDir(dir.path());
    KW_create create;
    ASSERT_EQ(create.SetItemCount(1), 0);
    ASSERT_EQ(create.SetItem(0, "n", KW_TYPE_INTEGER, 0), 0);
    EXPECT_EQ(create.KWcreate(dir.file("none.csv"), dir.file("out.zbq"), ',', 0), KW_ERR_ARGUMENT);
    const auto lines = logLines(dir);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].ends_with("\t-1\tCreateFile(" + dir.file("none.csv") +
                                   ") error = 2.|KW_create::CsvOpen|KW_create::DataSeparate|"
                                   "KW_create::KWcreate()"))
        << lines[0];
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.zbq")));
}

TEST(BuildDataFile, NoItemsWritesNothingAndSucceeds) {
    TempDir dir;
    writeFile(dir.file("src.csv"), "1\n");
    KW_create create;
    EXPECT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.zbq")));
}

TEST(BuildDataFile, DescriptionStaysReadableAndBuildsTheSameFileAgain) {
    TempDir dir;
    const Table t = mixedTable(50, 13);
    writeFile(dir.file("src.csv"), csvOf(t.fixture, ','));
    KW_create create;
    describe(create, t.fixture);
    ASSERT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("one.zbq"), ',', 0), 0);
    ASSERT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("two.zbq"), ',', 0), 0);
    EXPECT_EQ(readFile(dir.file("one.zbq")), readFile(dir.file("two.zbq")));
}

TEST(BuildDataFile, SettersRefuseWhatTheFileCannotHold) {
    KW_create create;
    EXPECT_EQ(create.SetItemCount(-1), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetItemCount(1025), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetItemCount(1024), 0);
    ASSERT_EQ(create.SetItemCount(3), 0);
    EXPECT_EQ(create.SetItem(3, "x", KW_TYPE_INTEGER, 0), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetItem(-1, "x", KW_TYPE_INTEGER, 0), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetItem(0, "x", 0, 0), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetItem(0, "x", 7, 0), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetItem(0, "x", KW_TYPE_INTEGER, -1), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetItem(0, std::string("x\0y", 3), KW_TYPE_INTEGER, 0), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetItem(0, "x", KW_TYPE_INTEGER, 4), 0);
    EXPECT_EQ(create.SetItem(0, "x", KW_TYPE_FLOAT, 4), 0) << "an item may set itself again";
    EXPECT_EQ(create.SetItem(1, "y", KW_TYPE_INTEGER, 4), KW_ERR_ARGUMENT) << "column taken";
    EXPECT_EQ(create.SetCodeCount(3, 1), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetCodeCount(1, -1), KW_ERR_ARGUMENT);
    ASSERT_EQ(create.SetCodeCount(1, 2), 0);
    EXPECT_EQ(create.SetCode(1, 2, "a", "A"), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetCode(1, -1, "a", "A"), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.SetCode(0, 0, "a", "A"), KW_ERR_ARGUMENT) << "item 0 has no code table";
    EXPECT_EQ(create.SetCode(1, 1, "a", "A"), 0);

    // An item left undescribed or a quote as separator fails the build, which says so.
    TempDir dir;
    KWsetLogDir(dir.path());
    writeFile(dir.file("src.csv"), "1,2,3\n");
    EXPECT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), KW_ERR_ARGUMENT);
    ASSERT_EQ(create.SetItem(1, "y", KW_TYPE_MULTI, 1), 0);
    ASSERT_EQ(create.SetItem(2, "z", KW_TYPE_STRING, 2), 0);
    EXPECT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), '"', 0), KW_ERR_ARGUMENT);
    EXPECT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), 0);
    EXPECT_EQ(logLines(dir).size(), 2u);
}

TEST(BuildDataFile, ThousandAndTwentyFourItemsInColumnFilesUnderALowOpenFileLimit) {
    TempDir dir;
    KWsetLogDir(dir.path());
    constexpr int kItems = 1024;
    std::string source;
    for (int r = 0; r < 20; ++r) {
        for (int i = 0; i < kItems; ++i)
            source += (i ? "," : "") + std::to_string(r * i % 7);
        source += "\n";
    }
    writeFile(dir.file("src.csv"), source);
    RecordingEngineHost host;
    host.memoryMb = 0;
    KW_create create;
    create.SetOwner(&host);
    ASSERT_EQ(create.SetItemCount(kItems), 0);
    for (int i = 0; i < kItems; ++i)
        ASSERT_EQ(create.SetItem(i, "n", KW_TYPE_INTEGER, i), 0);

    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const std::int32_t rc = create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_EQ(rc, 0);

    kw::DataFileContents c;
    ASSERT_EQ(kw::readDataFile(dir.file("out.zbq"), "", c), 0);
    ASSERT_EQ(c.items.size(), static_cast<std::size_t>(kItems));
    EXPECT_EQ(readBack(c, 1023, 19), std::to_string(19 * 1023 % 7));
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

}  // namespace
