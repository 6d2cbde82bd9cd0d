// Building a data file from a text table: what the file holds, the in-memory and column-file
// modes, the line rules of the source, progress, failures (a full disk among them), the column
// files' safety and the item description.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/kw_create.h"
#include "platform/core/cp932.h"
#include "platform/core/temp_file.h"
#include "tests/support/csv_table_fixture.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/full_disk.h"
#include "tests/support/recording_engine_host.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::string_view_literals;
using zbq::cp932::literal;
using zbq::test::csvOf;
using zbq::test::CsvTable;
using zbq::test::describe;
using zbq::test::entriesIn;
using zbq::test::mixedTable;
using zbq::test::readBack;
using zbq::test::readFile;
using zbq::test::RecordingEngineHost;
using zbq::test::TempDir;
using zbq::test::writeFile;

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
    const CsvTable t = mixedTable(3000, 11);
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

// Watches a column file while the engine works: the temporary named after `name` (the data
// file's name and the column's three digits) in `folder`.
struct ColumnFileProbe {
    std::string folder;
    std::string name;
    bool seen = false;
    mode_t mode = 0;
    void look() {
        const std::string stem = "." + name + ".zbq-tmp.";
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (!entry.path().filename().string().starts_with(stem)) continue;
            struct stat st;
            if (::stat(entry.path().c_str(), &st) == 0) {
                seen = true;
                mode = st.st_mode & 0777;
            }
        }
    }
};

TEST(BuildDataFile, ModesGiveIdenticalFilesAndSwitchExactlyAtTheLimit) {
    TempDir dir;
    KWsetLogDir(dir.path());
    const CsvTable t = mixedTable(30000, 12);
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
        ColumnFileProbe probe{dir.path(), "out.zbq.001"};
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
    ColumnFileProbe probe{dir.path(), "out.zbq.002"};
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

// The old column file names were fixed: a link planted at one made the build overwrite
// whatever it pointed to.
TEST(BuildDataFile, LinkPlantedAtAColumnFileNameIsNeverFollowed) {
    TempDir dir;
    KWsetLogDir(dir.path());
    writeFile(dir.file("victim"), "precious");
    ASSERT_EQ(::symlink(dir.file("victim").c_str(), dir.file("out.zbq.001").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("victim").c_str(), dir.file("out.zbq.002").c_str()), 0);
    writeFile(dir.file("src.csv"), "1,a\n2,b\n");
    RecordingEngineHost host;
    host.memoryMb = 0;
    KW_create create;
    create.SetOwner(&host);
    ASSERT_EQ(create.SetItemCount(2), 0);
    ASSERT_EQ(create.SetItem(0, "n", KW_TYPE_INTEGER, 0), 0);
    ASSERT_EQ(create.SetItem(1, "s", KW_TYPE_STRING, 1), 0);
    ASSERT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), 0);
    EXPECT_EQ(readFile(dir.file("victim")), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("out.zbq.001"))) << "not ours to remove";
    kw::DataFileContents c;
    ASSERT_EQ(kw::readDataFile(dir.file("out.zbq"), "", c), 0);
    EXPECT_EQ(readBack(c, 1, 1), "b");
}

// A build killed half-way leaves its column files and its temporary (up to gigabytes after
// repeated kills); the next build in the folder removes them, and nothing of a live process.
TEST(BuildDataFile, NextBuildRemovesWhatKilledBuildsLeft) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    for (int memoryMb : {0, 50}) {
        SCOPED_TRACE(memoryMb);
        TempDir dir;
        KWsetLogDir(dir.path());
        const std::string prefix = ".zbq-tmp." + std::to_string(gone) + ".1.";
        const std::string stale[] = {".out.zbq.001" + prefix + "0", ".out.zbq" + prefix + "1",
                                     ".old.zbq.004" + prefix + "2"};
        for (const std::string& name : stale)
            writeFile(dir.file(name), std::string(100000, 'k'));
        std::string live;
        const int fd = zbq::createTempFile(dir.file("other.zbq"), live);
        ASSERT_GE(fd, 0);
        ::close(fd);
        writeFile(dir.file("src.csv"), "1\n2\n");
        RecordingEngineHost host;
        host.memoryMb = memoryMb;
        KW_create create;
        create.SetOwner(&host);
        ASSERT_EQ(create.SetItemCount(1), 0);
        ASSERT_EQ(create.SetItem(0, "n", KW_TYPE_INTEGER, 0), 0);
        ASSERT_EQ(create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0), 0);
        for (const std::string& name : stale)
            EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
        EXPECT_TRUE(std::filesystem::exists(live));
        EXPECT_EQ(entriesIn(dir.path()), 3u) << "source, file and the live temporary";
    }
}

// A full disk is -4 whichever file it hits, never -1 or -5: the user must learn that space is
// what is missing. The old file stays and no temporary is left.
TEST(BuildDataFile, FullDiskIsMinusFourAtEveryStep) {
    struct Case {
        int memoryMb;
        const char* filling;  // the files whose writes find the disk full
        std::size_t room;
        const char* message;
    };
    const Case cases[] = {
        {0, ".out.zbq.00", 0,
         "column file write error. erro=28 col=0|KW_create::DataSeparate|KW_create::KWcreate()"},
        {0, ".out.zbq.002", 1000,
         "column file write error. erro=28 col=1|KW_create::DataSeparate|KW_create::KWcreate()"},
        {50, ".out.zbq.zbq-tmp.", 0, "KWVheadWrite failed. error=-4|KW_create::KWcreate()"},
        {0, ".out.zbq.zbq-tmp.", 500, "KWVdataWrite failed. error=-4|KW_create::KWcreate()"},
    };
    std::string source;
    for (int r = 0; r < 2000; ++r)
        source += std::to_string(r) + ",text " + std::to_string(r % 17) + "\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TempDir dir;
        KWsetLogDir(dir.path());
        writeFile(dir.file("out.zbq"), "the old file");
        writeFile(dir.file("src.csv"), source);
        RecordingEngineHost host;
        host.memoryMb = c.memoryMb;
        KW_create create;
        create.SetOwner(&host);
        ASSERT_EQ(create.SetItemCount(2), 0);
        ASSERT_EQ(create.SetItem(0, "n", KW_TYPE_INTEGER, 0), 0);
        ASSERT_EQ(create.SetItem(1, "s", KW_TYPE_STRING, 1), 0);
        std::int32_t rc;
        {
            zbq::test::FullDisk disk(c.room, c.filling);
            rc = create.KWcreate(dir.file("src.csv"), dir.file("out.zbq"), ',', 0);
            EXPECT_GT(zbq::test::FullDisk::refused(), 0);
        }
        EXPECT_EQ(rc, KW_ERR_DISK_FULL);
        EXPECT_TRUE(readFile(dir.file("out.zbq")) == "the old file") << "the old file was lost";
        EXPECT_EQ(entriesIn(dir.path()), 3u) << "source, old file and log only";
        const auto lines = logLines(dir);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(lines[0].ends_with(std::string("\t-4\t") + c.message)) << lines[0];
    }
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
    const CsvTable t = mixedTable(50, 13);
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
