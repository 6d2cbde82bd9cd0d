// The program's start-up and shutdown, through the real CKWApp::InitInstance and ExitInstance
// on the harness's program directory: the choice of the input with every refusal, the memory
// check, passwords, hostile data files, ZBQ.ini, the temporary names, "auto_open", and what
// shutdown leaves behind.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/program_run.h"
#include "app/temp_names.h"
#include "engine/kw_create_merge.h"
#include "engine/kw_file.h"
#include "platform/core/cp932.h"
#include "platform/core/memory_status.h"
#include "tests/app/start_fixture.h"
#include "tests/platform_core/profile_fifo.h"
#include "tests/support/ordinary_user.h"

namespace zbq::test {
namespace {

constexpr const char* kNoSpreadsheet =
    "エクセルがインストールされていないため、エクセルへの出力はできません";
constexpr const char* kOpenFailure = "ZBQファイルのオープンに失敗しました。";
constexpr const char* kBlobFailure = "内部データの取得に失敗しました";

// --- The choice of the input ---

struct Expected {
    std::vector<std::string> arguments;
    std::vector<std::string> messages;
};

struct InputCase {
    const char* name;
    std::function<Expected(AppHarness&)> arrange;  // files, prompts, settings
    int loadMode;                                  // 0: refused
};

TEST(StartUp, InputChoiceTable) {
    const InputCase cases[] = {
        {"data file named in capitals",
         [](AppHarness& h) {
             const std::string path = makeDataFile(h, "SURVEY.ZBQ");
             return Expected{{path}, {}};
         },
         2},
        {"definition file",
         [](AppHarness& h) {
             return Expected{{h.writeFixture()}, {}};
         },
         1},
        {"csv on the command line",
         [](AppHarness& h) {
             writeFile(h.file("table.csv"), "a,b\n");
             return Expected{{h.file("table.csv")},
                             {"ファイル形式が違います。[" + h.file("table.csv") +
                              "]\n起動時に指定できるのは、ZBQファイル(.zbq)と定義ファイル(.def)"
                              "です。Excelファイルとテキストファイルは、ファイルを指定せずに起動"
                              "して、ファイルを開くダイアログで選んでください。"}};
         },
         0},
        {"graph control missing: told, and the start goes on",
         [](AppHarness& h) {
             h.setGraphControlInstalled(false);
             return Expected{
                 {h.writeFixture()},
                 {"Grafvik.ocx が存在しません", "Grafvik.ocx がレジストリに登録されていません"}};
         },
         1},
        {"open dialog cancelled",
         [](AppHarness&) {
             return Expected{{}, {}};
         },
         0},
        {"open dialog: a file that is not there",
         [](AppHarness& h) {
             h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("gone.zbq"))});
             return Expected{{}, {"ファイルが見つかりません。"}};
         },
         0},
        {"open dialog: a definition file",
         [](AppHarness& h) {
             h.prompts().chooseFiles(QStringList{QString::fromStdString(h.writeFixture())});
             return Expected{{}, {"ファイル形式が違います。"}};
         },
         0},
        {"open dialog without a spreadsheet program: a text file goes to its import",
         [](AppHarness& h) {
             h.setSpreadsheet("");
             writeFile(h.file("data.txt"), "x\n");
             h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("data.txt"))});
             return Expected{{}, {kNoSpreadsheet}};  // the import dialog cancelled
         },
         0},
        {"open dialog: workbooks and a data file",
         [](AppHarness& h) {
             for (const char* f : {"a.xls", "b.xlsx", "c.zbq"})
                 writeFile(h.file(f), "");
             h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("a.xls")),
                                                 QString::fromStdString(h.file("b.xlsx")),
                                                 QString::fromStdString(h.file("c.zbq"))});
             return Expected{{}, {"ファイルを複数指定出来るのは、Excelファイルのみです。"}};
         },
         0},
        {"open dialog: two workbooks and a text file",
         [](AppHarness& h) {
             for (const char* f : {"a.xls", "b.XLS", "c.txt"})
                 writeFile(h.file(f), "");
             h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("a.xls")),
                                                 QString::fromStdString(h.file("b.XLS")),
                                                 QString::fromStdString(h.file("c.txt"))});
             return Expected{{}, {"ファイルを複数指定出来るのは、同一形式のファイルのみです。"}};
         },
         0},
        {"open dialog: a workbook that is none, its import dialog cancelled",
         [](AppHarness& h) {
             writeFile(h.file("a.xlsx"), "");
             h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("a.xlsx"))});
             return Expected{{}, {"Excelのシート名の取得に失敗しました。処理を中止します。"}};
         },
         0},
        {"open dialog: a data file",
         [](AppHarness& h) {
             const std::string path = makeDataFile(h, "survey.zbq");
             h.prompts().chooseFiles(QStringList{QString::fromStdString(path)});
             return Expected{{}, {}};
         },
         2},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        RecordingWindows windows;
        h.usePorts(nullptr, &windows, nullptr);
        const Expected expected = c.arrange(h);
        windows.calls.clear();

        EXPECT_EQ(h.restart(expected.arguments), c.loadMode != 0);
        EXPECT_EQ(shown(h.prompts()), expected.messages);
        EXPECT_EQ(h.prompts().pending(), 0u);
        if (c.loadMode == 0) {
            EXPECT_EQ(h.app().IsDataLoaded(), 0);
            EXPECT_EQ(windows.count("ShowConsole"), 0);
            // Every refusal but the command line's closes the frame without the exit question.
            const bool commandLine = !expected.arguments.empty();
            EXPECT_EQ(windows.count("CloseWithoutAsking"), commandLine ? 0 : 1);
        } else {
            EXPECT_EQ(h.app().GetLoadMode(), c.loadMode);
            EXPECT_EQ(h.app().IsDataLoaded(), 1);
            EXPECT_EQ(h.app().Search().KWgetRecordCount(), AppHarness::kFixtureRecords);
            EXPECT_EQ(windows.count("ShowMainWindowMaximized"), 1);
        }
        h.exit();
        EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
    }
}

TEST(StartUp, DefinitionDerivesItsTextDataAndMacroFile) {
    AppHarness h;
    FakeMacro macro;
    h.usePorts(nullptr, nullptr, &macro);
    ASSERT_TRUE(h.start({h.writeFixture()}));
    EXPECT_EQ(h.app().GetDefinitionPath(), h.file("fixture.def"));
    EXPECT_EQ(h.app().GetTextDataPath(), h.file("fixture.dat"));
    EXPECT_EQ(h.app().GetMacroFilePath(), h.file("fixture.mcr"));
    EXPECT_EQ(macro.read, std::vector<std::string>{h.file("fixture.mcr")});
    // The user's own definition stays.
    EXPECT_TRUE(std::filesystem::exists(h.file("fixture.def")));
}

// A workbook chosen in the open dialog goes to the import dialog, whose definition and text data
// are loaded and then deleted, whichever way the start-up ends.
TEST(StartUp, ImportedDefinitionIsLoadedAndDeleted) {
    for (const bool buildFails : {false, true}) {
        SCOPED_TRACE(buildFails ? "build fails" : "build succeeds");
        AppHarness h;
        writeFile(h.file("book.xlsx"), "");
        h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("book.xlsx"))});
        std::vector<std::string> given;
        h.app().SetImportDialog(
            [&](CKWApp::ImportKind kind, const std::vector<std::string>& files) {
                EXPECT_EQ(kind, CKWApp::ImportKind::Excel);
                given = files;
                const std::string def = h.file("temp/import.def");
                writeFile(def, AppHarness::fixtureDefinition());
                if (!buildFails) writeFile(h.file("temp/import.dat"), AppHarness::fixtureData());
                return std::optional<std::string>(def);
            });
        EXPECT_EQ(h.start(), !buildFails);
        EXPECT_EQ(given, std::vector<std::string>{h.file("book.xlsx")});
        EXPECT_FALSE(std::filesystem::exists(h.file("temp/import.def")));
        EXPECT_FALSE(std::filesystem::exists(h.file("temp/import.dat")));
        if (buildFails) {
            EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{"読み込みに失敗しました"});
        }
        h.exit();
        EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
    }
}

TEST(StartUp, FailingBuildTellsAndEnds) {
    AppHarness h;
    const std::string def = h.writeFixture();
    std::filesystem::remove(h.file("fixture.dat"));
    EXPECT_FALSE(h.start({def}));
    EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{"読み込みに失敗しました"});
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
}

// An item of no definition type never reaches the builder.
TEST(StartUp, BuildRefusesAnItemOfNoDefinitionType) {
    AppHarness h;
    CKWApp& app = h.app();
    writeFile(h.file("rows.dat"), "1\n2\n");
    app.SetLoadMode(1);
    app.SetTextDataPath(h.file("rows.dat"));
    app.SetTempDataFile(h.file("built.zbq"));
    CStructDef& def = app.StructDef();
    def.header = 0;
    def.itemCount = 1;
    CItemDef item;
    item.name = "No";
    item.type = 6;  // "RecNo" names a caption, not a type
    def.items = {item};
    EXPECT_EQ(app.BuildDataFile(), 0);
    EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{"読み込みに失敗しました"});
    EXPECT_FALSE(std::filesystem::exists(h.file("built.zbq")));
}

// --- Opening a data file: memory and passwords ---

std::string memoryMessage(std::int64_t physical, std::int64_t virtualMb, std::int64_t needed,
                          const char* ending) {
    return "使用可能な物理メモリ：" + std::to_string(physical) + "MB\r\n使用可能な仮想メモリ：" +
           std::to_string(virtualMb) + "MB\r\n必要なメモリ：" + std::to_string(needed) + "MB\r\n" +
           ending;
}

class MemoryFigures {
public:
    MemoryFigures(std::int64_t physicalMb, std::int64_t virtualMb) {
        MemoryStatus s;
        // Just below the next whole MB, so that only the whole MB counts.
        s.availablePhysical = static_cast<std::uint64_t>(physicalMb) * 1000000 + 999999;
        s.availableVirtual = static_cast<std::uint64_t>(virtualMb) * 1000000 + 999999;
        setMemoryStatusForTest(s);
    }
    ~MemoryFigures() { setMemoryStatusForTest(std::nullopt); }
};

// A data file big enough to need a few MB: the fixture's records many times over.
std::string makeLargeDataFile(AppHarness& h) {
    const std::string data = AppHarness::fixtureData();
    const std::size_t firstLine = data.find('\n') + 1;
    std::string large = data.substr(0, firstLine);
    for (int i = 0; i < 8000; ++i)
        large += data.substr(firstLine);
    h.writeFixture();
    writeFile(h.file("fixture.dat"), large);
    EXPECT_TRUE(h.start({h.file("fixture.def")}));
    h.app().SetSaveMode(1);
    h.app().SetSavePath(h.file("large.zbq"));
    EXPECT_EQ(h.app().SaveDataAndMacro("", 0), 1);
    h.exit();
    h.prompts().clear();
    return h.file("large.zbq");
}

TEST(StartUp, MemoryCheck) {
    AppHarness h;
    const std::string path = makeLargeDataFile(h);
    const std::int64_t needed = KWgetFileMemory(path) / 1000;
    ASSERT_GE(needed, 2);

    struct Case {
        const char* name;
        std::int64_t physical, virtualMb;
        std::optional<ui::Answer> answer;
        bool opens;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"equal to what is available", needed, needed, std::nullopt, true, {}},
        {"above the virtual memory",
         needed + 5,
         needed - 1,
         std::nullopt,
         false,
         {memoryMessage(needed + 5, needed - 1, needed,
                        "ファイルを読み込むためのメモリが足りません")}},
        {"above the physical memory, No",
         needed - 1,
         needed,
         ui::Answer::No,
         false,
         {memoryMessage(
             needed - 1, needed, needed,
             "利用可能なメモリが足りないため、読み込みに時間がかかります\r\nよろしいですか？")}},
        {"above the physical memory, Yes",
         needed - 1,
         needed,
         ui::Answer::Yes,
         true,
         {memoryMessage(
             needed - 1, needed, needed,
             "利用可能なメモリが足りないため、読み込みに時間がかかります\r\nよろしいですか？")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFigures figures(c.physical, c.virtualMb);
        if (c.answer) h.prompts().answer(*c.answer);
        EXPECT_EQ(h.restart({path}), c.opens);
        EXPECT_EQ(shown(h.prompts()), c.messages);
        h.exit();
        EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
        h.prompts().clear();
    }
}

TEST(StartUp, PasswordAttempts) {
    struct Case {
        const char* name;
        std::vector<std::optional<std::string>> answers;
        bool opens;
        std::vector<std::string> messages;
        int logins;
    };
    const Case cases[] = {
        {"two wrong, then right", {"nein", "falsch", "秘密7"}, true, {}, 3},
        {"three wrong", {"a", "b", "c"}, false, {"パスワードが一致しません"}, 3},
        {"cancelled", {std::nullopt}, false, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        RecordingWindows windows;
        h.usePorts(nullptr, &windows, nullptr);
        const std::string path = makeDataFile(h, "locked.zbq", cp932::literal("秘密7"));
        h.answerDialogs(c.answers);
        windows.calls.clear();
        EXPECT_EQ(h.restart({path}), c.opens);
        EXPECT_EQ(shown(h.prompts()), c.messages);
        EXPECT_EQ(h.dialogsShown(), std::vector<std::string>(c.logins, "login locked.zbq"));
        // A cancelled log-in ends the program without the exit question.
        EXPECT_EQ(windows.count("CloseWithoutAsking"), c.answers.back() ? 0 : 1);
        h.exit();
        EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
    }
}

TEST(StartUp, UnreadableDataFileTellsWhyThenFailsToOpen) {
    AppHarness h;
    std::filesystem::create_directory(h.file("folder.zbq"));
    const std::int32_t code = ::KWpwdchk(h.file("folder.zbq"));
    ASSERT_LT(code, 0);
    EXPECT_FALSE(h.start({h.file("folder.zbq")}));
    EXPECT_EQ(shown(h.prompts()),
              (std::vector<std::string>{
                  "KWpwdchk()がエラー終了しました [errorNo:" + std::to_string(code) + "]",
                  kOpenFailure}));
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
}

// --- Hostile data files: refused with their message, the file untouched, temp/ empty ---

void putInt32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

std::uint32_t getInt32(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    return value;
}

TEST(StartUp, HostileDataFilesAreRefused) {
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
        const char* message;
    };
    constexpr std::size_t kBlobOffsetField = 92;
    const Case cases[] = {
        {"TruncatedFile", [](std::string& b) { b.resize(getInt32(b, kBlobOffsetField) / 2); },
         kOpenFailure},
        {"DamagedBlob",
         [](std::string& b) {
             const std::size_t blob = getInt32(b, kBlobOffsetField);
             for (std::size_t i = blob + 4; i < b.size(); i += 7)
                 b[i] = static_cast<char>(~b[i]);
         },
         kBlobFailure},
        {"BlobCountOfTwoToThe31MinusOne",
         [](std::string& b) {
             // The display list's count, behind the definition part.
             const std::size_t blob = getInt32(b, kBlobOffsetField);
             putInt32(b, blob + 4 + getInt32(b, blob), 0x7FFFFFFF);
         },
         kBlobFailure},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        const std::string path = makeDataFile(h, "hostile.zbq");
        std::string bytes = readFile(path);
        c.damage(bytes);
        writeFile(path, bytes);
        EXPECT_FALSE(h.restart({path}));
        EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{c.message});
        EXPECT_EQ(readFile(path), bytes);
        EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
    }
}

// --- ZBQ.ini ---

TEST(StartUp, ProfileTable) {
    struct Case {
        const char* name;
        const char* ini;
        std::vector<PrintMenuEntry> entries;  // format files relative to the program directory
    };
    const Case cases[] = {
        {"a gap is skipped",
         "[print]\r\nPRT01=40000,集計表,a.xlsx\r\nPRT03=40002,三番,c.xlsx\r\n",
         {{40000, "集計表", "a.xlsx"}, {40002, "三番", "c.xlsx"}}},
        {"a malformed entry is skipped",
         "[print]\r\nPRT01=40000,one,a.xlsx\r\nPRT02=40001,two\r\nPRT03=40002,,c.xlsx\r\n"
         "PRT04=40003,four,\r\nPRT05=x,five,e.xlsx\r\nPRT06=\r\nPRT07=7,seven,g.xlsx\r\n",
         {{40000, "one", "a.xlsx"}, {0, "five", "e.xlsx"}, {7, "seven", "g.xlsx"}}},
        {"keys in lower case, an absolute file",
         "[Print]\r\nprt01=12 ,sub/one,fmt/a.xlsx\r\nPrt02=13,two,/abs/b.xlsx\r\n",
         {{12, "sub/one", "fmt/a.xlsx"}, {13, "two", "/abs/b.xlsx"}}},
        // The number is the menu's command id: a second entry with one already taken could never
        // be chosen. A vertical tab or form feed before the number is white space, as to atoi.
        {"a taken number is left out, control white space before a number",
         "[print]\r\nPRT01=7,seven,a.xlsx\r\nPRT02=\v7,again,b.xlsx\r\nPRT03=\f8,eight,c.xlsx\r\n",
         {{7, "seven", "a.xlsx"}, {8, "eight", "c.xlsx"}}},
        {"no print section", "[image]\r\nPath=/srv/images\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        writeFile(h.file("ZBQ.ini"), cp932::literal(c.ini));
        h.app().ReadProfile();
        std::vector<PrintMenuEntry> expected;
        for (PrintMenuEntry e : c.entries) {
            e.menuName = cp932::literal(e.menuName);
            if (e.formatFile.front() != '/') e.formatFile = h.file(e.formatFile);
            expected.push_back(e);
        }
        EXPECT_EQ(h.app().GetPrintMenu(), expected);
    }
    AppHarness h;
    writeFile(h.file("ZBQ.ini"), "[image]\r\nPath=/srv/images\r\n");
    ASSERT_TRUE(h.start({h.writeFixture()}));
    EXPECT_EQ(h.app().GetImageDir(), "/srv/images");
}

// A FIFO in the place of ZBQ.ini would hold the start for good: it is refused at once with a
// message, and the run goes on without the settings.
TEST(StartUp, ProfileThatIsNoFileIsRefusedWithAMessage) {
    AppHarness h;
    FifoWatchdog watchdog(h.file("ZBQ.ini"));
    ASSERT_TRUE(watchdog.made());
    h.app().ReadProfile();
    EXPECT_FALSE(watchdog.unblocked()) << "the start waited on the FIFO";
    EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{"設定ファイル[" + h.file("ZBQ.ini") +
                                                           "]を読み込めません。"});
    EXPECT_TRUE(h.app().GetPrintMenu().empty());
    EXPECT_EQ(h.app().GetImageDir(), "");
}

// --- Temporary names and shutdown ---

TEST(StartUp, SameSecondStartsGetTheirOwnTemporaries) {
    const auto when = std::chrono::system_clock::from_time_t(1700000000);
    const std::string stamp = app::startupStamp(when);
    ASSERT_EQ(stamp.size(), 12u);

    AppHarness h;
    h.app().SetClock([&] { return when; });
    // Another run of the same second holds one of the names.
    std::filesystem::create_directory(h.file("temp"));
    writeFile(h.file("temp/" + stamp + "_e.xlsx"), "theirs");
    ASSERT_TRUE(h.start({h.writeFixture()}));
    EXPECT_EQ(h.app().GetTempDataFile(), h.file("temp/" + stamp + "-2_t.zbq"));
    EXPECT_EQ(h.app().GetExportTempPath(), h.file("temp/" + stamp + "-2_e.xlsx"));
    h.exit();
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{stamp + "_e.xlsx"});
    EXPECT_EQ(readFile(h.file("temp/" + stamp + "_e.xlsx")), "theirs");
}

TEST(StartUp, ShutdownSparesWhatWasSavedToAndDeletesTheWorkbooks) {
    AppHarness h;
    ASSERT_TRUE(h.start({h.writeFixture()}));
    CKWApp& app = h.app();
    const std::string working = app.GetTempDataFile();
    writeFile(app.GetGraphTempPath(), "graph");
    writeFile(app.GetExportTempPath(), "export");
    // Saved to under another spelling of its name.
    const std::string name = std::filesystem::path(working).filename();
    app.SetSaveMode(1);
    app.SetSavePath(h.file("temp/./" + name));
    ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
    h.exit();
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{name});
}

// What temp/ may hold besides the runs' files: never touched by the clean-up.
void writeStrangers(AppHarness& h) {
    writeFile(h.file("temp/notes.txt"), "mine");
    writeFile(h.file("temp/121212121212.lock.bak"), "");
    writeFile(h.file("temp/report.lock"), "");
    // A run that ended cleanly and spared what it had saved to: no lock file.
    writeFile(h.file("temp/010101010101_t.zbq"), "saved");
}

TEST(StartUp, TheNextStartRemovesWhatAKilledRunLeftButWhatItSavedTo) {
    for (const bool saved : {false, true}) {
        SCOPED_TRACE(saved ? "saved to its working file" : "nothing saved");
        AppHarness h;
        const std::string survey = makeDataFile(h, "survey.zbq");
        writeStrangers(h);
        ASSERT_TRUE(h.start({h.file("fixture.def")}));
        const std::vector<std::string> killed = runTemporaries(h.app().GetTempDataFile());
        const std::string working = h.app().GetTempDataFile();
        if (saved) {
            h.app().SetSaveMode(1);
            h.app().SetSavePath(working);
            ASSERT_EQ(h.app().SaveDataAndMacro("", 0), 1);
        }
        const std::string savedBytes = readFile(working);
        h.abandon();

        // A scratch file of a build the killed run had under way.
        writeFile(h.file("temp/.column.zbq-tmp.999999999.1.1"), "scratch");
        const std::vector<std::string> before = h.tempFiles();
        for (const std::string& name : killed)
            EXPECT_NE(std::find(before.begin(), before.end(), name), before.end()) << name;
        // A data file: this start writes nothing in temp/ that could tidy it by the way.
        ASSERT_TRUE(h.start({survey}));
        std::vector<std::string> expected = runTemporaries(h.app().GetTempDataFile());
        for (const char* stranger :
             {"010101010101_t.zbq", "121212121212.lock.bak", "notes.txt", "report.lock"})
            expected.push_back(stranger);
        if (saved) expected.push_back(std::filesystem::path(working).filename());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(h.tempFiles(), expected);
        if (saved) {
            EXPECT_EQ(readFile(working), savedBytes);
        }
    }
}

// A folder the run cannot create its names in would leave it writing into names it never
// claimed, which another run may hold: the start is refused before anything is loaded.
TEST(StartUp, TemporariesThatCannotBeClaimedRefuseTheStart) {
    struct Case {
        const char* name;
        std::function<void(AppHarness&)> arrange;
        bool ordinaryUser;
    };
    const Case cases[] = {
        {"temp is a file",
         [](AppHarness& h) {
             std::filesystem::remove(h.file("temp"));
             writeFile(h.file("temp"), "not a folder");
         },
         false},
        {"temp may not be written",
         [](AppHarness& h) {
             std::filesystem::permissions(h.file("temp"), std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_exec);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        RecordingWindows windows;
        h.usePorts(nullptr, &windows, nullptr);
        const std::string def = h.writeFixture();
        c.arrange(h);
        std::optional<AsOrdinaryUser> user;
        if (c.ordinaryUser) user.emplace(std::initializer_list<std::string>{h.programDir()});
        const bool started = h.start({def});
        user.reset();
        EXPECT_FALSE(started);
        const std::vector<std::string> messages = shown(h.prompts());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind("ファイルの書出しに失敗しました。\n" + h.file("temp/"), 0), 0u)
            << messages[0];
        EXPECT_EQ(windows.count("ShowConsole"), 0);
        EXPECT_EQ(windows.count("CloseWithoutAsking"), 1);
        EXPECT_EQ(h.app().IsDataLoaded(), 0);
        EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
        std::error_code ec;
        std::filesystem::permissions(h.file("temp"), std::filesystem::perms::owner_all, ec);
    }
}

// The exit status of a run: 1 when start-up ended it, the event loop's when it ran.
TEST(StartUp, ARefusedStartExitsWithOneAndARunWithTheLoopsStatus) {
    AppHarness h;
    writeFile(h.file("table.csv"), "a,b\n");
    bool looped = false;
    const auto loop = [&] {
        looped = true;
        return 7;
    };
    EXPECT_EQ(app::runProgram(h.app(), {h.file("table.csv")}, loop), 1);
    EXPECT_FALSE(looped);

    h.abandon();
    int over = 0;
    EXPECT_EQ(app::runProgram(h.app(), {h.writeFixture()}, loop, [&] { ++over; }), 7);
    EXPECT_TRUE(looped);
    EXPECT_EQ(over, 1);
    EXPECT_EQ(h.tempFiles(), std::vector<std::string>{}) << "shut down after the loop";
}

// A running aggregation is cancelled and has ended before the engine closes.
TEST(StartUp, ShutdownWaitsForARunningAggregation) {
    AppHarness h;
    ASSERT_TRUE(h.start({h.writeFixture()}));
    kw::MolapCancel& cancel = h.app().Search().MolapCancelFlag();
    std::atomic<bool> started{false}, ended{false};
    std::thread worker([&] {
        kw::MolapCancel::Running running(cancel);
        started = true;
        while (!cancel.poll())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // Winding down still reads the tables.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_TRUE(h.app().Search().IsLoaded());
        ended = true;
    });
    while (!started)
        std::this_thread::yield();
    h.exit();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(h.app().Search().IsLoaded());
    worker.join();
}

// --- auto_open ---

TEST(StartUp, OnlyAutoOpenSpelledSoIsOffered) {
    struct Case {
        std::vector<std::string> names;
        std::optional<ui::Answer> answer;
        int runs;
    };
    const std::string question =
        "マクロ「auto_open」を実行します。\nマクロを実行すると、画面を一度初期化します。\n"
        "実行してよろしいですか？";
    const Case cases[] = {
        {{"first", "auto_open"}, ui::Answer::Yes, 1},
        {{"auto_open"}, ui::Answer::No, 0},
        {{"Auto_Open", "auto_open "}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        AppHarness h;
        FakeMacro macro;
        macro.names = c.names;
        h.usePorts(nullptr, nullptr, &macro);
        if (c.answer) h.prompts().answer(*c.answer);
        EXPECT_TRUE(h.start({h.writeFixture()}));
        EXPECT_EQ(shown(h.prompts()),
                  c.answer ? std::vector<std::string>{question} : std::vector<std::string>{});
        EXPECT_EQ(macro.autoOpenRuns, c.runs);
    }
}

// The road's other refusals: the console that cannot be made and the macro file.
TEST(StartUp, ConsoleOrMacroFileRefusalEndsWithoutAMessage) {
    for (const bool console : {false, true}) {
        AppHarness h;
        RecordingWindows windows;
        FakeMacro macro;
        windows.consoleShows = console;
        macro.readResult = 0;
        h.usePorts(nullptr, &windows, &macro);
        EXPECT_FALSE(h.start({h.writeFixture()}));
        EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{});
        EXPECT_EQ(macro.read.size(), console ? 1u : 0u);
        EXPECT_EQ(h.tempFiles(), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace zbq::test
