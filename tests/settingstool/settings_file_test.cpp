// Reading and saving the tool's two sections of ZBQ.ini, through the document model (no display).
#include "app/print_entries.h"
#include "settingstool/settings_model.h"
#include "settingstool/string_ids.h"
#include "tests/settingstool/settings_fixture.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

namespace zbq::settings {
namespace {

using test::iniBytes;
using test::sjis;
using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

PrintFormatRow row(std::string_view number, std::string_view menu, std::string_view file) {
    return {sjis(number), sjis(menu), sjis(file)};
}

RefusedEntry refused(int id, std::string_view key, std::string_view value) {
    return {id, std::string(key), sjis(value)};
}

struct LoadCase {
    const char* name;
    std::vector<std::string_view> print;  // the lines after [print]
    std::vector<PrintFormatRow> rows;
    std::vector<RefusedEntry> refused;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class LoadRules : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadRules, RowsAndRefusedEntries) {
    const LoadCase& c = GetParam();
    std::string bytes = iniBytes({"[image]", "path=/srv/images", "[print]"});
    for (std::string_view line : c.print)
        bytes += sjis(line) + "\r\n";
    TempDir dir;
    writeFile(dir.file("ZBQ.ini"), bytes);

    SettingsModel model;
    const SettingsModel::LoadResult result = model.load(dir.file("ZBQ.ini"));
    ASSERT_EQ(result.status, SettingsModel::LoadStatus::Loaded);
    EXPECT_EQ(model.linkFolder(), "/srv/images");
    EXPECT_EQ(model.table().rows(), c.rows);
    EXPECT_EQ(result.refused, c.refused);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFile, LoadRules,
    ::testing::Values(
        LoadCase{"DuplicateNumberAndMissingCommaShowOneRow",
                 {"prt01=1,売上明細,uriage.xlsx", "prt02=1,顧客ｶｰﾄﾞ,kokyaku.xlsx", "prt03=ｶﾝﾏなし"},
                 {row("1", "売上明細", "uriage.xlsx")},
                 {refused(ids::DuplicateEntry, "prt02", "1,顧客ｶｰﾄﾞ,kokyaku.xlsx"),
                  refused(ids::InvalidEntry, "prt03", "ｶﾝﾏなし")}},
        LoadCase{"GapIsSkippedAsZbqSkipsIt",
                 {"prt01=1,a,a.xls", "prt03=3,c,c.xls", "prt04=4,d,d.xls", "prt98=98,x,x.xls"},
                 {row("1", "a", "a.xls"), row("3", "c", "c.xls"), row("4", "d", "d.xls"),
                  row("98", "x", "x.xls")},
                 {}},
        LoadCase{
            "EmptyValueIsSkipped", {"prt01=", "prt02=2,b,b.xls"}, {row("2", "b", "b.xls")}, {}},
        // ZBQ's menu never shows them, so neither does the list; the user is told before the
        // Save drops them.
        LoadCase{"KeysZbqNeverReadsAreRefused",
                 {"prt100=100,c,c.xls", "prt1=2,b,b.xls", "prt01=1,a,a.xls", "prt101=", "foo=x"},
                 {row("1", "a", "a.xls")},
                 {refused(ids::InvalidEntry, "prt100", "100,c,c.xls"),
                  refused(ids::InvalidEntry, "prt1", "2,b,b.xls"),
                  refused(ids::InvalidEntry, "foo", "x")}},
        // A vertical tab or form feed before the number is white space to ZBQ's conversion too.
        LoadCase{"ControlCharactersBeforeANumberAreWhiteSpace",
                 {"prt01=7,a,a.xls", "prt02=\v7,b,b.xls", "prt03=\f8,c,c.xls"},
                 {row("7", "a", "a.xls"), row("\f8", "c", "c.xls")},
                 {refused(ids::DuplicateEntry, "prt02", "\v7,b,b.xls")}},
        LoadCase{"ThirdCommaBelongsToTheMacroFile",
                 {"prt01=3,月次,getsuji,bumon,.xlsx"},
                 {row("3", "月次", "getsuji,bumon,.xlsx")},
                 {}},
        LoadCase{"WhatZbqSkipsIsRefusedAndTheWalkGoesOn",
                 {"prt01=5,name", "prt02=6,name,", "prt03=7,,c.xls", "prt04=8,h,h.xls"},
                 {row("8", "h", "h.xls")},
                 {refused(ids::InvalidEntry, "prt01", "5,name"),
                  refused(ids::InvalidEntry, "prt02", "6,name,"),
                  refused(ids::InvalidEntry, "prt03", "7,,c.xls")}},
        // A text the file cannot hold again would make every later Save fail.
        LoadCase{"NulOrLoneCrIsRefused",
                 {std::string_view("prt01=1,a\0b,a.xls", 17), "prt02=2,b\rc,b.xls",
                  "prt03=3,c,c.xls\r", "prt04=4,d,d.xls"},
                 {row("4", "d", "d.xls")},
                 {refused(ids::InvalidEntry, "prt01", std::string_view("1,a\0b,a.xls", 11)),
                  refused(ids::InvalidEntry, "prt02", "2,b\rc,b.xls"),
                  refused(ids::InvalidEntry, "prt03", "3,c,c.xls\r")}},
        LoadCase{"NumbersCompareByValueAndKeepTheirText",
                 {"prt01=05,a,a.xls", "prt02=5,b,b.xls", "prt03=abc,c,c.xls", "prt04=0,d,d.xls",
                  "prt05=-3,e,e.xls"},
                 {row("05", "a", "a.xls"), row("abc", "c", "c.xls"), row("-3", "e", "e.xls")},
                 {refused(ids::DuplicateEntry, "prt02", "5,b,b.xls"),
                  refused(ids::DuplicateEntry, "prt04", "0,d,d.xls")}},
        LoadCase{"BlanksInsideTheValueStay",
                 {"prt01 =  8, 名前 ,x.xls  "},
                 {row("8", " 名前 ", "x.xls")},
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFile, SectionAndKeyNamesIgnoreCase) {
    TempDir dir;
    writeFile(dir.file("ZBQ.ini"), iniBytes({"[IMAGE]", "Path=/a", "[Print]", "PRT01=1,a,a.xls"}));
    SettingsModel model;
    ASSERT_EQ(model.load(dir.file("ZBQ.ini")).status, SettingsModel::LoadStatus::Loaded);
    EXPECT_EQ(model.linkFolder(), "/a");
    ASSERT_EQ(model.table().size(), 1);

    model.setLinkFolder("/b");
    ASSERT_EQ(model.save().status, SettingsModel::SaveStatus::Saved);
    // Lines keep their spelling; ZBQ and the tool find PRT01 and prt01 alike.
    EXPECT_EQ(readFile(dir.file("ZBQ.ini")),
              iniBytes({"[IMAGE]", "Path=/b", "[Print]", "PRT01=1,a,a.xls"}));
}

TEST(SettingsFile, ListEndsAtPrt99AsZbqsMenuDoes) {
    std::string bytes = iniBytes({"[image]", "path=/a", "[print]"});
    for (int i = 1; i <= 101; ++i)
        bytes += printKey(i) + "=" + decimalText(i) + ",m,f.xls\r\n";
    TempDir dir;
    writeFile(dir.file("ZBQ.ini"), bytes);
    SettingsModel model;
    const SettingsModel::LoadResult loaded = model.load(dir.file("ZBQ.ini"));
    EXPECT_EQ(model.table().size(), 99);
    EXPECT_FALSE(model.canAdd());
    ASSERT_EQ(loaded.refused.size(), 2u);
    EXPECT_EQ(loaded.refused[0].key, "prt100");
    EXPECT_EQ(printKey(100), "prt100");
}

// A file with everything around the tool's two sections: comments, ZBQ's own sections and
// blank lines must come back exactly as they were.
const std::string kFullIni = iniBytes({
    "; ZEBRINE の設定",
    "[OLAP]",
    "NODATA=－",
    "",
    "[image]",
    "; 添付ファイルのフォルダ",
    "path=/srv/旧フォルダ",
    "Other=kept",
    "",
    "[print]",
    "; 定型印刷",
    "prt01=5,売上明細表,uriage.xlsx",
    "prt02=2,顧客ｶｰﾄﾞ,kokyaku.xlsx",
    "prt03=09,ソ表示,so.xlsx",
    "",
    "[MEMORY]",
    "MemoryReadCsvSize=50",
});

class SaveRules : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(path(), kFullIni);
        ASSERT_EQ(model.load(path()).status, SettingsModel::LoadStatus::Loaded);
    }
    std::string path() const { return dir.file("ZBQ.ini"); }

    TempDir dir;
    SettingsModel model;
};

TEST_F(SaveRules, UnchangedSaveGivesTheSameBytes) {
    ASSERT_EQ(model.save().status, SettingsModel::SaveStatus::Saved);
    EXPECT_EQ(readFile(path()), kFullIni);
}

TEST_F(SaveRules, OnlyTheLinkFolderAndTheEntriesChange) {
    model.setLinkFolder(sjis("/srv/新フォルダ"));
    model.table().remove(0);                              // 5 goes
    model.table().append(row("7", "ﾒﾆｭｰ表", "表.xlsx"));  // 0x5C trail bytes
    ASSERT_EQ(model.save().status, SettingsModel::SaveStatus::Saved);
    EXPECT_EQ(readFile(path()), iniBytes({
                                    "; ZEBRINE の設定",
                                    "[OLAP]",
                                    "NODATA=－",
                                    "",
                                    "[image]",
                                    "; 添付ファイルのフォルダ",
                                    "path=/srv/新フォルダ",
                                    "Other=kept",
                                    "",
                                    "[print]",
                                    "; 定型印刷",
                                    "prt01=2,顧客ｶｰﾄﾞ,kokyaku.xlsx",
                                    "prt02=09,ソ表示,so.xlsx",
                                    "prt03=7,ﾒﾆｭｰ表,表.xlsx",
                                    "",
                                    "[MEMORY]",
                                    "MemoryReadCsvSize=50",
                                }));
    SettingsModel again;
    again.load(path());
    EXPECT_EQ(again.table().rows(), model.table().rows());
}

TEST_F(SaveRules, KeysAreRenumberedNumbersKept) {
    // Display order 2, 5, 9 after a sort; the leading zero stays until the row is edited.
    model.table().sortBy(kNumberColumn);
    ASSERT_EQ(model.save().status, SettingsModel::SaveStatus::Saved);
    ProfileFile saved(readFile(path()));
    EXPECT_EQ(saved.getString("print", "prt01"), sjis("2,顧客ｶｰﾄﾞ,kokyaku.xlsx"));
    EXPECT_EQ(saved.getString("print", "prt02"), sjis("5,売上明細表,uriage.xlsx"));
    EXPECT_EQ(saved.getString("print", "prt03"), sjis("09,ソ表示,so.xlsx"));

    ASSERT_TRUE(model.table().setNumber(2, 9));
    ASSERT_EQ(model.save().status, SettingsModel::SaveStatus::Saved);
    EXPECT_EQ(ProfileFile(readFile(path())).getString("print", "prt03"), sjis("9,ソ表示,so.xlsx"));
}

TEST_F(SaveRules, RefusedEntriesAreGoneAfterTheSave) {
    writeFile(path(), iniBytes({"[image]", "path=/a", "[print]", "prt01=1,a,a.xls",
                                "prt02=1,b,b.xls", "prt03=nocomma", "prt04=4,d,d.xls"}));
    SettingsModel fresh;
    ASSERT_EQ(fresh.load(path()).refused.size(), 2u);
    ASSERT_EQ(fresh.save().status, SettingsModel::SaveStatus::Saved);
    EXPECT_EQ(readFile(path()),
              iniBytes({"[image]", "path=/a", "[print]", "prt01=1,a,a.xls", "prt02=4,d,d.xls"}));
}

TEST_F(SaveRules, KeysAreRewrittenInPlaceAndLeftoversGo) {
    writeFile(path(), iniBytes({"[image]", "path=/a", "[print]", "; head", "prt02=2,b,b.xls",
                                "memo=x", "prt01=1,a,a.xls", "; tail", "[OLAP]"}));
    SettingsModel fresh;
    fresh.load(path());
    fresh.table().remove(0);
    ASSERT_EQ(fresh.save().status, SettingsModel::SaveStatus::Saved);
    EXPECT_EQ(readFile(path()), iniBytes({"[image]", "path=/a", "[print]", "; head",
                                          "prt01=2,b,b.xls", "; tail", "[OLAP]"}));
}

TEST_F(SaveRules, EmptyLinkFolderWritesNothing) {
    model.setLinkFolder("");
    model.table().remove(0);
    EXPECT_EQ(model.save().status, SettingsModel::SaveStatus::NoLinkFolder);
    EXPECT_EQ(readFile(path()), kFullIni);
}

TEST_F(SaveRules, HandEditsToOtherSectionsSinceTheStartSurvive) {
    std::string edited = kFullIni;
    edited.replace(edited.find("50"), 2, "80");
    writeFile(path(), edited);
    ASSERT_EQ(model.save().status, SettingsModel::SaveStatus::Saved);
    EXPECT_EQ(readFile(path()), edited);
}

TEST_F(SaveRules, FileRemovedMeanwhileIsNotCreatedAgain) {
    std::filesystem::remove(path());
    const SettingsModel::SaveResult result = model.save();
    EXPECT_EQ(result.status, SettingsModel::SaveStatus::Failed);
    EXPECT_EQ(result.error, ENOENT);
    EXPECT_FALSE(std::filesystem::exists(path()));
}

TEST_F(SaveRules, FailedWriteReportsAndLeavesTheOldFile) {
    model.table().remove(0);
    // A file-size limit makes the write fail even for root; the signal it raises is ignored.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = old;
    tiny.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const SettingsModel::SaveResult result = model.save();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result.status, SettingsModel::SaveStatus::Failed);
    EXPECT_EQ(result.error, EFBIG);
    EXPECT_EQ(readFile(path()), kFullIni);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "a temporary file was left behind";
}

// A read-only ZBQ.ini is the user's decision: saving must fail (message 10020), not replace it.
TEST_F(SaveRules, ReadOnlyFileIsRefusedAndKept) {
    model.table().remove(0);
    ASSERT_EQ(::chmod(path().c_str(), 0444), 0);
    SettingsModel::SaveResult result;
    {
        zbq::test::AsOrdinaryUser user{dir.path(), path()};
        ASSERT_TRUE(user.ok());
        result = model.save();
    }
    EXPECT_EQ(result.status, SettingsModel::SaveStatus::Failed);
    EXPECT_EQ(result.error, EACCES);
    EXPECT_EQ(readFile(path()), kFullIni);
    struct stat st {};
    ASSERT_EQ(::stat(path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST_F(SaveRules, LineBreakInATextIsRefusedNotWritten) {
    model.table().setText(0, kMenuNameColumn, "a\r\nprt09=9,x,y");
    const SettingsModel::SaveResult result = model.save();
    EXPECT_EQ(result.status, SettingsModel::SaveStatus::Failed);
    EXPECT_EQ(result.error, EINVAL);
    EXPECT_EQ(readFile(path()), kFullIni);
}

TEST(SettingsFile, LfLinesAreReadCleanAndWrittenAsCrLf) {
    TempDir dir;
    writeFile(dir.file("ZBQ.ini"),
              "[image]\npath=/a\n[print]\nprt01=1,a,a.xls\n[OLAP]\nNODATA=-\n");
    SettingsModel model;
    model.load(dir.file("ZBQ.ini"));
    ASSERT_EQ(model.table().size(), 1);
    EXPECT_EQ(model.table().row(0).macroFile, "a.xls");
    ASSERT_EQ(model.save().status, SettingsModel::SaveStatus::Saved);
    EXPECT_EQ(readFile(dir.file("ZBQ.ini")),
              "[image]\r\npath=/a\r\n[print]\r\nprt01=1,a,a.xls\r\n[OLAP]\r\nNODATA=-\r\n");
}

TEST(SettingsFile, MissingOrUnreadableFileIsNotCreated) {
    TempDir dir;
    SettingsModel model;
    EXPECT_EQ(model.load(dir.file("ZBQ.ini")).status, SettingsModel::LoadStatus::Missing);
    EXPECT_FALSE(std::filesystem::exists(dir.file("ZBQ.ini")));

    std::filesystem::create_directory(dir.file("ZBQ.ini"));
    const SettingsModel::LoadResult result = model.load(dir.file("ZBQ.ini"));
    EXPECT_EQ(result.status, SettingsModel::LoadStatus::Unreadable);
    EXPECT_EQ(result.error, EISDIR);
}

// A Save killed at any moment leaves the old file or the whole new one, never a mix; the scratch
// file a killed Save leaves behind is gone once the tool starts again. The kills fall at random
// moments of the save itself: the child says when its load is done, and the parent waits a random
// part of one save's time before it kills.
TEST(SettingsFile, KilledAnywhereInASaveLeavesTheOldFileOrTheNewOne) {
    TempDir dir;
    const std::string path = dir.file("ZBQ.ini");
    std::string old = iniBytes({"[image]", "path=/srv/old", "[print]"});
    for (int i = 1; i <= 99; ++i)
        old += printKey(i) + "=" + decimalText(i) + ",menu" + decimalText(i) + ",m.xlsx\r\n";
    old += "[OLAP]\r\n";
    for (int i = 0; i < 4000; ++i)
        old += "K" + decimalText(i) + "=" + std::string(40, 'v') + "\r\n";  // a save of some length

    const auto saveAsTheToolDoes = [&path] {
        SettingsModel model;
        model.load(path);
        model.setLinkFolder("/srv/new");
        return model.save().status == SettingsModel::SaveStatus::Saved;
    };
    writeFile(path, old);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(saveAsTheToolDoes());
    const auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    const std::string saved = readFile(path);
    ASSERT_NE(saved, old);

    const auto scratch = [&dir] {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            if (entry.path().filename().string().find(".zbq-tmp.") != std::string::npos) ++count;
        return count;
    };
    std::mt19937 random(50);
    int oldKept = 0, newWhole = 0, scratchLeft = 0, scratchAfterStart = 0;
    constexpr int kKills = 30;
    for (int kill = 0; kill < kKills; ++kill) {
        writeFile(path, old);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            SettingsModel model;
            model.load(path);
            model.setLinkFolder("/srv/new");
            const char go = 1;
            if (::write(ready[1], &go, 1) != 1) ::_exit(2);
            model.save();
            ::pause();  // a save that ended waits for its kill all the same
            ::_exit(0);
        }
        ::close(ready[1]);
        char go = 0;
        ASSERT_EQ(::read(ready[0], &go, 1), 1);
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (oneSave + 1)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string after = readFile(path);
        ASSERT_TRUE(after == old || after == saved) << "torn after kill " << kill;
        (after == old ? oldKept : newWhole)++;
        scratchLeft += scratch();
        SettingsModel next;
        ASSERT_EQ(next.load(path).status, SettingsModel::LoadStatus::Loaded);
        scratchAfterStart += scratch();
        EXPECT_EQ(scratch(), 0) << "after kill " << kill;
    }
    std::printf(
        "%d kills: %d left the old file, %d the whole new one, %d scratch files left "
        "by the kills, %d after the next start\n",
        kKills, oldKept, newWhole, scratchLeft, scratchAfterStart);
}

// What the tool saves is what ZBQ's menu offers: a file under the program folder is named
// relative to it, any other by its absolute path, and ZBQ finds both; an entry of an older file
// (a bare name) still resolves against the program folder.
TEST(SharedWithZbq, EntriesTheToolSavesOpenTheFilesThatWereChosen) {
    TempDir program, elsewhere;
    writeFile(program.file("ZBQ.ini"),
              iniBytes({"[image]", "path=/srv/images", "[print]", "prt01=7,旧,old.xls"}));
    SettingsModel model;
    ASSERT_EQ(model.load(program.file("ZBQ.ini")).status, SettingsModel::LoadStatus::Loaded);
    const std::string inside = macroFileName(program.file("temp/月報.xlsx"), program.path());
    const std::string outside = macroFileName(elsewhere.file("週報.xlsm"), program.path());
    EXPECT_EQ(inside, "temp/月報.xlsx");
    EXPECT_EQ(outside, elsewhere.file("週報.xlsm"));
    ASSERT_TRUE(model.table().append(row("1", "月報", inside)));
    ASSERT_TRUE(model.table().append(row("2", "週報", outside)));
    ASSERT_EQ(model.save().status, SettingsModel::SaveStatus::Saved);

    ProfileFile ini;
    ASSERT_TRUE(ProfileFile::load(program.file("ZBQ.ini"), ini));
    const std::vector<PrintMenuEntry> entries = app::readPrintEntries(ini, program.path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].number, 7);
    EXPECT_EQ(entries[0].formatFile, program.file("old.xls"));
    EXPECT_EQ(entries[1].menuName, sjis("月報"));
    EXPECT_EQ(entries[1].formatFile, program.file("temp/月報.xlsx"));
    EXPECT_EQ(entries[2].number, 2);
    EXPECT_EQ(entries[2].formatFile, elsewhere.file("週報.xlsm"));
}

// ZBQ's own reader is the reference: what the tool lists, up to prt99, is what ZBQ's menu shows.
TEST(SharedWithZbq, ToolListsWhatZbqShows) {
    const std::vector<std::vector<std::string_view>> files = {
        {"prt01=1,a,a.xls", "prt03=3,c,c.xls", "prt04=4,d,d.xls"},
        {"PRT02=", "Prt05=5,e,e.xls", "prt06=6,,f.xls", "prt07=7,g,", "prt08=8", "prt99=9,z,z.xls"},
        {"prt01=x,名前,a,b.xls", "prt50= 12 ,空白 ,c.xls"},
    };
    for (const auto& lines : files) {
        std::string bytes = iniBytes({"[image]", "path=/a", "[print]"});
        for (std::string_view line : lines)
            bytes += sjis(line) + "\r\n";
        TempDir program;
        writeFile(program.file("ZBQ.ini"), bytes);
        SettingsModel model;
        ASSERT_EQ(model.load(program.file("ZBQ.ini")).status, SettingsModel::LoadStatus::Loaded);
        ProfileFile ini;
        ASSERT_TRUE(ProfileFile::load(program.file("ZBQ.ini"), ini));
        const std::vector<PrintMenuEntry> shown = app::readPrintEntries(ini, program.path());
        ASSERT_EQ(static_cast<std::size_t>(model.table().size()), shown.size()) << bytes;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const PrintFormatRow& listed = model.table().row(static_cast<int>(i));
            EXPECT_EQ(listed.value(), shown[i].number);
            EXPECT_EQ(listed.menuName, shown[i].menuName);
            EXPECT_EQ(program.file(listed.macroFile), shown[i].formatFile);
        }
    }
}

TEST(SharedWithZbq, ZbqSkipsAnEmptyKeyAndReadsOn) {
    TempDir program;
    writeFile(program.file("ZBQ.ini"),
              iniBytes({"[print]", "PRT01=", "PRT02=5,five,five.xls", "PRT04=6,six,six.xls"}));
    ProfileFile ini;
    ASSERT_TRUE(ProfileFile::load(program.file("ZBQ.ini"), ini));
    const std::vector<PrintMenuEntry> entries = app::readPrintEntries(ini, program.path());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].number, 5);
    EXPECT_EQ(entries[1].number, 6);
}

}  // namespace
}  // namespace zbq::settings
