// The definition file parser: one table of definition texts to the structure they make or the
// exact message they are refused with; then reading a file, the reading log, and the lines a
// data file carries.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <sstream>
#include <thread>

#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/in_language.h"
#include "tests/support/recording_console.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::cp932::literal;
using zbq::cp932::toUtf8;

std::vector<std::string> linesOf(const std::string& utf8) {
    std::vector<std::string> lines;
    std::istringstream in(literal(utf8));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The structure in one line: title, header, separator, Alloc; then each item as
// number:name:type:column:groups; then each code list.
std::string describe(const CStructDef& d) {
    std::ostringstream out;
    out << toUtf8(d.title) << " h" << d.header << (d.separator == ',' ? " comma" : " tab");
    for (const CItemDef& i : d.items) {
        out << " | " << i.itemNo << ":" << toUtf8(i.name) << ":" << i.type << ":" << i.csvColumn
            << ":";
        for (std::size_t g = 0; g < i.groups.size(); ++g)
            out << (g ? "/" : "") << toUtf8(i.groups[g]);
    }
    for (const CCodeDef& c : d.codeLists) {
        out << " | codes " << c.itemNo << ":";
        for (const CCodeEntry& e : c.codes)
            out << " " << toUtf8(e.code) << "=" << toUtf8(e.name);
    }
    return out.str();
}

// Refused: the log ends with the offending line in red; CodeLineRefused: the log is only flushed.
enum class Outcome { Structure, Refused, CodeLineRefused, AllocRefused };

struct Case {
    const char* name;
    const char* definition;  // UTF-8, one statement a line
    Outcome outcome;
    const char* expected;  // the structure, or the message (the Alloc ones have no first line)
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

constexpr Outcome ok = Outcome::Structure;
constexpr Outcome refused = Outcome::Refused;
constexpr Outcome codeLineRefused = Outcome::CodeLineRefused;
constexpr Outcome allocRefused = Outcome::AllocRefused;

const Case kCases[] = {
    {"items, groups and codes",
     "Title = \"調査\"\nGroup=\"外\"\n Group=\"内\"\n  item=\"性別\"\n  Code\n  Def\n   1=\"男\"\n"
     "   2=\"女\"\n  endDef\n  endItem\n endGroup\n item=\"年齢\"\n Integer\n endItem\nendGroup\n"
     "item=\"日\"\nDate\nendItem\nendTitle",
     ok, "調査 h1 tab | 0:性別:0:0:外/内 | 1:年齢:2:1:外 | 2:日:5:2: | codes 0: 1=男 2=女"},
    {"keywords in any letter case",
     "TITLE=\"t\"\nITEM=\"a\"\nmultians\nDEF\nx1=\"p\"\nENDDEF\nEndItem\nENDTITLE", ok,
     "t h1 tab | 0:a:1:0: | codes 0: x1=p"},
    {"blanks inside quotes are dropped",
     "Title=\"a b\"\nitem=\"x\ty z\"\nString\nendItem\nendTitle", ok, "ab h1 tab | 0:xyz:4:0:"},
    {"a // inside quotes is text, after them a comment",
     "Title=\"a//b\" // the title\nitem=\"c\"//x\nFloat // ok\nendItem\nendTitle", ok,
     "a//b h1 tab | 0:c:3:0:"},
    {"Title= with one quote gives an empty title", "Title=\"\nitem=\"a\"\nDate\nendItem\nendTitle",
     ok, " h1 tab | 0:a:5:0:"},
    {"options and Alloc",
     "Title=\"t\"\nNOHEADER\nNOTTAB\nAlloc=\"3,1\"\nitem=\"a\"\nTime\nendItem\n"
     "item=\"b\"\nInteger\nendItem\nendTitle",
     ok, "t h0 comma | 0:a:7:2: | 1:b:2:0:"},
    {"quotes never reach the stored codes",
     "Title=\"t\"\nitem=\"a\"\nCode\nDef\n1\"b\"=\"c\"\nendDef\nendItem\nendTitle", ok,
     "t h1 tab | 0:a:0:0: | codes 0: 1b=c"},
    {"help lines are ignored anywhere",
     "help me\nTitle=\"t\"\nhelp\nitem=\"a\"\nhelp\nString\nendItem\nendTitle", ok,
     "t h1 tab | 0:a:4:0:"},
    {"Title= without a value", "Title=\nendTitle", refused, "\"がありません。"},
    {"a second Title= inside the title", "Title=\"a\"\nTitle=\"b\"\nendTitle", refused,
     "認識子が重複しているか、又は足りません。"},
    {"endItem with more text", "Title=\"t\"\nitem=\"a\"\nInteger\nendItem x\nendTitle", refused,
     "認識できない文字列があります。"},
    {"Default= is taken as Def", "Title=\"t\"\nitem=\"a\"\nCode\nDefault=\"x\"\n", refused,
     "認識できない文字列があります。"},
    {"Def in an Integer item", "Title=\"t\"\nitem=\"a\"\nInteger\nDef\n", refused,
     "この項目にコード情報はありません。"},
    {"a Code item without codes", "Title=\"t\"\nitem=\"a\"\nCode\nDef\nendDef\nendItem\nendTitle",
     refused, "コードの情報が取得できません。"},
    {"an item without a type", "Title=\"t\"\nitem=\"a\"\nendItem\nendTitle", refused,
     "項目タイプが取得できません。"},
    {"an item without a name", "Title=\"t\"\nitem=\"\"\nString\nendItem\nendTitle", refused,
     "項目名が取得できません。"},
    {"endGroup without a group", "Title=\"t\"\nendGroup\nendTitle", refused,
     "認識子が重複しているか、又は足りません。"},
    {"a code line starting with a symbol", "Title=\"t\"\nitem=\"a\"\nCode\nDef\n*1=\"x\"\n",
     codeLineRefused, "先頭の識別子が認識できません。"},
    {"a code line without =", "Title=\"t\"\nitem=\"a\"\nCode\nDef\n1\"x\"\n", codeLineRefused,
     "\"=\"が認識できません。"},
    {"Alloc with a letter", "Title=\"t\"\nAlloc=\"1,a\"\n", refused, "数値以外の文字があります。"},
    {"the Alloc count is checked first",
     "Title=\"t\"\nAlloc=\"1,1,0\"\nitem=\"a\"\nString\nendItem\nitem=\"b\"\nString\nendItem\n"
     "endTitle",
     allocRefused, "Alloc が、項目数と一致しません"},
    {"an Alloc number twice",
     "Title=\"t\"\nAlloc=\"2,2\"\nitem=\"a\"\nString\nendItem\nitem=\"b\"\nString\nendItem\n"
     "endTitle",
     allocRefused, "Alloc で、同一番号が重複しています"},
    {"an empty Alloc piece",
     "Title=\"t\"\nAlloc=\"1,,2\"\nitem=\"a\"\nString\nendItem\nitem=\"b\"\nString\nendItem\n"
     "item=\"c\"\nString\nendItem\nendTitle",
     allocRefused, "Alloc で、不正な番号があります"},
    {"an Alloc number past any column",
     "Title=\"t\"\nAlloc=\"99999999999\"\nitem=\"a\"\nString\nendItem\nendTitle", allocRefused,
     "Alloc で、不正な番号があります"},
    {"no endTitle", "Title=\"t\"\nitem=\"a\"\nString\nendItem", refused,
     "認識子が重複しているか、又は足りません。"},
    // A data set needs an item; without one the build would fail on a file the user never named.
    {"a closed title without items", "Title=\"t\"\nendTitle", refused,
     "項目情報が取得できません。"},
    {"an empty definition", "", refused, "項目情報が取得できません。"},
    // Codes reach the item whose block holds them, or no item at all.
    {"a type word before any item", "Title=\"t\"\nCode\nDef\n1=\"x\"\nendDef\nendTitle", refused,
     "認識子が重複しているか、又は足りません。"},
    {"a type word between items",
     "Title=\"t\"\nitem=\"a\"\nInteger\nendItem\nCode\nDef\n1=\"x\"\nendDef\nitem=\"b\"\n"
     "Integer\nendItem\nendTitle",
     refused, "認識子が重複しているか、又は足りません。"},
    {"a code list after the last item",
     "Title=\"t\"\nitem=\"a\"\nInteger\nendItem\nDef\n1=\"x\"\nendDef\nendTitle", refused,
     "認識子が重複しているか、又は足りません。"},
    {"a second type word turns a Code item into a Float one",
     "Title=\"t\"\nitem=\"a\"\nCode\nDef\n1=\"x\"\nendDef\nFloat\nendItem\nendTitle", refused,
     "認識子が重複しているか、又は足りません。"},
    {"the same type word twice", "Title=\"t\"\nitem=\"a\"\nString\nString\nendItem\nendTitle",
     refused, "認識子が重複しているか、又は足りません。"},
    {"a second code list for one item",
     "Title=\"t\"\nitem=\"a\"\nCode\nDef\n1=\"x\"\nendDef\nDef\n2=\"y\"\nendDef\nendItem\n"
     "endTitle",
     refused, "認識子が重複しているか、又は足りません。"},
    {"a code line outside a code block",
     "Title=\"t\"\n9=\"x\"\nitem=\"a\"\nCode\nDef\n1=\"y\"\nendDef\nendItem\nendTitle", refused,
     "認識子が重複しているか、又は足りません。"},
    // A zero byte cuts names short (a file holds that, below); a lone CR could not be written
    // back into the macro file.
    {"a CR inside a group name",
     "Title=\"t\"\nGroup=\"a\rb\"\nitem=\"a\"\nString\nendItem\nendGroup\nendTitle", refused,
     "認識できない文字列があります。"},
    {"a CR inside a code",
     "Title=\"t\"\nitem=\"a\"\nCode\nDef\n1\r=\"x\"\nendDef\nendItem\nendTitle", refused,
     "認識できない文字列があります。"},
    {"a code line in an Integer item",
     "Title=\"t\"\nitem=\"a\"\nInteger\n1=\"x\"\nendItem\nitem=\"b\"\nCode\nDef\n2=\"y\"\n"
     "endDef\nendItem\nendTitle",
     refused, "認識子が重複しているか、又は足りません。"},
};

class DefinitionParser : public ::testing::TestWithParam<Case> {
protected:
    DefinitionParser() {
        app.SetLoadMode(1);
        app.SetConsolePort(&console);
    }
    ~DefinitionParser() override { app.SetConsolePort(nullptr); }

    zbq::ui::ScriptedPrompts prompts;
    zbq::test::RecordingConsole console;
    CKWApp app;
};

// What an earlier parse left: a refused definition must leave it whole.
CStructDef earlierStructure() {
    CStructDef def;
    def.title = "earlier";
    def.header = 0;
    def.separator = ',';
    def.allocText = "2";
    def.alloc = {1};
    def.itemCount = 1;
    def.items.resize(1);
    def.items[0].name = "kept";
    def.items[0].type = 0;
    def.items[0].csvColumn = 1;
    def.items[0].groups = {"g"};
    def.codeLists.resize(1);
    def.codeLists[0].codes.resize(1);
    def.codeLists[0].codes[0].code = "1";
    def.codeLists[0].codes[0].name = "one";
    return def;
}

TEST_P(DefinitionParser, MakesTheStructureOrTellsWhy) {
    const Case& c = GetParam();
    app.StructDef() = earlierStructure();
    app.SetDefinitionLines(linesOf(c.definition));
    const std::int32_t result = app.ParseDefinitionFile();
    const std::string expected = c.expected;
    if (c.outcome == Outcome::Structure) {
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(prompts.messages().empty());
        EXPECT_EQ(describe(app.GetStructDef()), expected);
        EXPECT_EQ(app.GetStructDef().itemCount,
                  static_cast<std::int32_t>(app.GetStructDef().items.size()));
        return;
    }
    EXPECT_EQ(result, 0);
    ASSERT_EQ(prompts.messages().size(), 1u);
    const std::string message =
        c.outcome == Outcome::AllocRefused ? expected : "エラー発生のため終了します。\n" + expected;
    EXPECT_EQ(prompts.messages()[0].text.toStdString(), message);
    EXPECT_EQ(prompts.messages()[0].icon, zbq::ui::Icon::Exclamation);
    ASSERT_GE(console.calls.size(), 3u);
    const auto tail = console.calls.end() - 3;
    EXPECT_EQ(tail[0], "StopProgress");
    EXPECT_EQ(tail[1], "SetStatusText ");
    if (c.outcome == Outcome::CodeLineRefused)
        EXPECT_EQ(tail[2], "FlushReadLog");
    else
        EXPECT_EQ(tail[2].rfind("EndReadLog ", 0), 0u) << tail[2];
    EXPECT_TRUE(console.callsStartingWith("ColourReadLogComments").empty());
    EXPECT_EQ(describe(app.GetStructDef()), describe(earlierStructure()));
    EXPECT_TRUE(app.GetStructDef() == earlierStructure());
}

// No definition text reaches these any more (endItem stores the item before the check, and a
// code block opens only inside a Code or MultiAns item), so the check is asked directly.
TEST(DefinitionChecks, AnItemCheckRefusesNoItemAndCodesOnAnItemOfAnotherType) {
    CStructDef floatWithCodes;
    floatWithCodes.items.resize(1);
    floatWithCodes.items[0].name = "a";
    floatWithCodes.items[0].type = 3;
    floatWithCodes.codeLists.resize(1);
    floatWithCodes.codeLists[0].codes.resize(1);
    const struct {
        CStructDef def;
        const char* message;
    } rows[] = {{CStructDef(), "項目情報が取得できません。"},
                {floatWithCodes, "この項目にコード情報はありません。"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        zbq::ui::ScriptedPrompts prompts;
        CKWApp app;
        app.StructDef() = row.def;
        EXPECT_EQ(app.CheckItemComplete("endItem"), 0);
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages()[0].text.toStdString(),
                  std::string("エラー発生のため終了します。\n") + row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DefinitionParser, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(DefinitionLog, EveryLineIsLoggedAndAnOpenTitleEndsInRed) {
    zbq::ui::ScriptedPrompts prompts;
    zbq::test::RecordingConsole console;
    CKWApp app;
    app.SetConsolePort(&console);
    app.SetLoadMode(1);
    const std::vector<std::string> lines =
        linesOf("Title=\"調査\"\n\n// only a comment\nitem = \"a\"\nString\nendItem");
    app.SetDefinitionLines(lines);
    EXPECT_EQ(app.ParseDefinitionFile(), 0);
    std::string logged;
    for (const std::string& line : lines)
        logged += line + "\r\n";
    EXPECT_EQ(console.readLines, logged);
    // The empty line and the comment wait for the next line that is taken.
    EXPECT_EQ(console.callsStartingWith("AppendReadLines "),
              (std::vector<std::string>{"AppendReadLines 1", "AppendReadLines 3",
                                        "AppendReadLines 1", "AppendReadLines 1"}));
    EXPECT_EQ(console.calls.back(),
              "EndReadLog " + literal("タイトル[Title-EndTitle]の対応が不完全です。"));
    app.SetConsolePort(nullptr);
}

// A definition of 100,000 lines, nearly all empty, comments or help: the reading log gets every
// byte of it in order, yet in blocks of a hundred lines or more, and messages are dispatched as
// seldom; a refused line still follows exactly the lines before it.
TEST(DefinitionLog, EmptyLinesReachTheLogInBlocks) {
    constexpr int kLines = 100000;
    const std::string items[] = {"Title=\"t\"", "item=\"a\"", "String", "endItem", "endTitle"};
    std::vector<std::string> lines(kLines);
    for (int i = 0; i < kLines; ++i)
        lines[i] = i % 7 == 1 ? "// note" : i % 11 == 2 ? "help" : "";
    for (int k = 0; k < 5; ++k)
        lines[1 + k * (kLines - 2) / 4] = items[k];
    const auto storedOf = [](const std::vector<std::string>& text, std::size_t count) {
        std::string stored;
        for (std::size_t i = 0; i < count; ++i)
            stored += text[i] + "\r\n";
        return stored;
    };

    for (const bool refusedAtTheEnd : {false, true}) {
        SCOPED_TRACE(refusedAtTheEnd);
        zbq::ui::ScriptedPrompts prompts;
        zbq::test::RecordingConsole console;
        CKWApp app;
        app.SetConsolePort(&console);
        app.SetLoadMode(1);
        std::vector<std::string> definition = lines;
        if (refusedAtTheEnd) definition[kLines - 3] = "endItem x";
        app.SetDefinitionLines(definition);
        EXPECT_EQ(app.ParseDefinitionFile(), refusedAtTheEnd ? 0 : 1);
        const auto logCalls = console.callsStartingWith("AppendReadLines ").size();
        EXPECT_LE(logCalls, kLines / 100 + 10);
        EXPECT_LE(console.callsStartingWith("FinishItemTreeUpdate").size(), logCalls);
        if (!refusedAtTheEnd) {
            EXPECT_EQ(console.readLines, storedOf(definition, kLines));
            EXPECT_EQ(console.calls.back(), "ColourReadLogComments");
        } else {
            EXPECT_EQ(console.readLines, storedOf(definition, kLines - 2));
            EXPECT_EQ(console.calls.back(), "EndReadLog endItem x");
        }
        app.SetConsolePort(nullptr);
    }
}

TEST(DefinitionLog, CodeLineFailuresFlushTheLogWithoutARedLine) {
    zbq::ui::ScriptedPrompts prompts;
    zbq::test::RecordingConsole console;
    CKWApp app;
    app.SetConsolePort(&console);
    app.SetLoadMode(1);
    app.SetDefinitionLines(linesOf("Title=\"t\"\nitem=\"a\"\nCode\nDef\n-1=\"x\""));
    EXPECT_EQ(app.ParseDefinitionFile(), 0);
    EXPECT_TRUE(console.callsStartingWith("EndReadLog").empty());
    EXPECT_EQ(console.callsStartingWith("FlushReadLog").size(), 1u);
    app.SetConsolePort(nullptr);
}

// The definition kept in one buffer: a file read as text, its lines, and the text a data file
// carries, which is each line followed by CR LF and nothing else.
TEST(DefinitionText, AFileReadAsTextKeepsEveryLineOnceAsTheDataFileCarriesIt) {
    const struct {
        std::string file;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"\n\n", {"", ""}},
        {"x\r\r\ny\r", {"x\r", "y"}},  // one CR goes with its LF, or with the file's end
        {"help\r\n\r\n// c\n", {"help", "", "// c"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        zbq::app::DefinitionText text;
        text.appendFileText(c.file);
        std::string stored;
        for (const std::string& line : c.lines)
            stored += line + "\r\n";
        EXPECT_EQ(text.lines(), c.lines);
        EXPECT_EQ(text.stored(), stored);
        for (std::size_t first = 0; first <= c.lines.size(); ++first) {
            std::string some;
            for (std::size_t i = first; i < c.lines.size(); ++i)
                some += c.lines[i] + "\r\n";
            EXPECT_EQ(text.storedLines(first, c.lines.size()), some);
        }
        // What a data file carries reads back the same lines, as does a copy made line by line.
        EXPECT_EQ(zbq::app::DefinitionText::fromStored(stored + "tail").lines(), c.lines);
        EXPECT_EQ(zbq::app::DefinitionText::fromLines(c.lines).stored(), stored);
    }
}

TEST(DefinitionFile, CrLfReadsAsItsLfCopyAndAMissingFileIsTold) {
    zbq::test::TempDir dir;
    zbq::ui::ScriptedPrompts prompts;
    const std::string lf = literal("Title=\"調査\"\nitem=\"a\"\nString\nendItem\nendTitle\n");
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    zbq::test::writeFile(dir.file("lf.def"), lf);
    zbq::test::writeFile(dir.file("crlf.def"), crlf);

    std::vector<std::string> read[2];
    std::string structure[2];
    for (int i = 0; i < 2; ++i) {
        CKWApp app;
        app.SetLoadMode(1);
        app.SetDefinitionPath(dir.file(i ? "crlf.def" : "lf.def"));
        ASSERT_EQ(app.ReadDefinitionFile(), 1);
        ASSERT_EQ(app.ParseDefinitionFile(), 1);
        read[i] = app.GetDefinitionLines();
        structure[i] = describe(app.GetStructDef());
    }
    EXPECT_EQ(read[0], read[1]);
    EXPECT_EQ(read[0].size(), 5u);
    EXPECT_EQ(structure[0], structure[1]);

    // A missing file and a directory are told with the path and leave the lines as they were.
    for (const std::string& path : {dir.file("missing.def"), dir.path()}) {
        prompts.clear();
        CKWApp app;
        app.SetLoadMode(1);
        app.SetDefinitionPath(path);
        EXPECT_EQ(app.ReadDefinitionFile(), 0);
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages()[0].text.toStdString(),
                  "定義ファイル[" + path + "]を読み込めません。");
        EXPECT_TRUE(app.GetDefinitionLines().empty());
    }
}

// What is not a definition file is refused before a byte is read: a FIFO and a device at once
// (never waited on), a file beyond 10 MiB by its size (100 MiB of empty lines once took 4 GB and
// 40 s to refuse); a file of exactly the limit is read.
TEST(DefinitionFile, AFifoADeviceAndAFileBeyondTheLimitAreRefusedBeforeReading) {
    zbq::test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo.def").c_str(), 0600), 0);
    const auto sized = [&dir](const std::string& name, off_t size) {
        const std::string path = dir.file(name);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, size), 0);  // sparse: nothing is written
        ::close(fd);
        return path;
    };
    constexpr off_t kLimit = 10485760;
    const std::string unreadable = "を読み込めません。";
    const struct {
        std::string path;
        std::int32_t result;
        std::string message;
    } cases[] = {
        {dir.file("fifo.def"), 0, "定義ファイル[" + dir.file("fifo.def") + "]" + unreadable},
        {"/dev/zero", 0, "定義ファイル[/dev/zero]" + unreadable},
        {sized("huge.def", 100 * 1024 * 1024), 0,
         "エラー発生のため終了します。\n定義ファイル[" + dir.file("huge.def") +
             "]が大きすぎます。定義ファイルは10485760バイトまでです。"},
        {sized("over.def", kLimit + 1), 0,
         "エラー発生のため終了します。\n定義ファイル[" + dir.file("over.def") +
             "]が大きすぎます。定義ファイルは10485760バイトまでです。"},
        {sized("limit.def", kLimit), 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        zbq::ui::ScriptedPrompts prompts;
        CKWApp app;
        app.SetLoadMode(1);
        app.SetDefinitionPath(c.path);
        // On a thread of its own, so that an open() that waits for a writer fails the test.
        std::future<std::int32_t> read =
            std::async(std::launch::async, [&app] { return app.ReadDefinitionFile(); });
        if (read.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the read waits for a writer";
            const int writer = ::open(c.path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0) ::close(writer);
        }
        EXPECT_EQ(read.get(), c.result);
        if (c.result == 1) {
            EXPECT_TRUE(prompts.messages().empty());
            continue;
        }
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages()[0].text.toStdString(), c.message);
        EXPECT_TRUE(app.GetDefinitionLines().empty());
    }
}

// The engine holds 1,024 items: the 1,025th item line is refused where it stands, naming the
// limit, and a definition of 1,024 items parses.
TEST(DefinitionParserLimits, MoreThan1024ItemsAreRefusedAtTheFirstItemTooMany) {
    for (const int items : {1024, 1025}) {
        SCOPED_TRACE(items);
        zbq::ui::ScriptedPrompts prompts;
        zbq::test::RecordingConsole console;
        CKWApp app;
        app.SetConsolePort(&console);
        app.SetLoadMode(1);
        std::vector<std::string> lines{"Title=\"t\""};
        for (int i = 0; i < items; ++i) {
            lines.push_back("item=\"i" + std::to_string(i) + "\"");
            lines.push_back("Integer");
            lines.push_back("endItem");
        }
        lines.push_back("endTitle");
        app.SetDefinitionLines(lines);
        if (items == 1024) {
            EXPECT_EQ(app.ParseDefinitionFile(), 1);
            EXPECT_EQ(app.GetStructDef().itemCount, 1024);
        } else {
            EXPECT_EQ(app.ParseDefinitionFile(), 0);
            ASSERT_EQ(prompts.messages().size(), 1u);
            EXPECT_EQ(prompts.messages()[0].text.toStdString(),
                      "エラー発生のため終了します。\n項目が多すぎます。項目は1024個までです。");
            EXPECT_EQ(console.calls.back(), "EndReadLog item=\"i1024\"");
            EXPECT_EQ(app.GetStructDef().itemCount, 0);
        }
        app.SetConsolePort(nullptr);
    }
}

// The block left open is named in the reading log in the language in force.
TEST(DefinitionLog, TheOpenBlockIsNamedInEnglishUnderEnglish) {
    zbq::test::InLanguage english("en_US");
    ASSERT_NE(english.translator(), nullptr);
    const struct {
        const char* definition;
        const char* logged;
    } cases[] = {
        {"Title=\"t\"\nitem=\"a\"\nString\nendItem", "Title[Title-EndTitle] is not closed."},
        {"Title=\"t\"\nGroup=\"g\"\nitem=\"a\"\nString\nendItem\nendTitle",
         "Group[Group-EndGroup] is not closed."},
        {"Title=\"t\"\nitem=\"a\"\nString\nendTitle", "Item[Item-EndItem] is not closed."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logged);
        zbq::ui::ScriptedPrompts prompts;
        zbq::test::RecordingConsole console;
        CKWApp app;
        app.SetConsolePort(&console);
        app.SetLoadMode(1);
        app.SetDefinitionLines(linesOf(c.definition));
        EXPECT_EQ(app.ParseDefinitionFile(), 0);
        EXPECT_EQ(console.calls.back(), std::string("EndReadLog ") + c.logged);
        app.SetConsolePort(nullptr);
    }
}

// Definitions found by fuzzing the parser, kept as files: each is refused at its line, and the
// structure an earlier parse left stays as it was (no reset, no half-filled items).
TEST(DefinitionFile, FuzzedReproducersAreRefusedAndChangeNothing) {
    const struct {
        const char* file;
        std::string redLine;
        const char* message;
    } rows[] = {
        {"float_item_with_codes.def", "  Float", "認識子が重複しているか、又は足りません。"},
        {"nul_in_item_name.def", std::string("item=\"na\0me\"", 12),
         "認識できない文字列があります。"},
        {"refused_after_items.def", "  Def", "この項目にコード情報はありません。"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        zbq::ui::ScriptedPrompts prompts;
        zbq::test::RecordingConsole console;
        CKWApp app;
        app.SetConsolePort(&console);
        app.SetLoadMode(1);
        app.SetDefinitionPath(std::string(ZBQ_APP_DATA_DIR) + "/" + row.file);
        app.StructDef() = earlierStructure();
        ASSERT_EQ(app.ReadDefinitionFile(), 1);
        EXPECT_EQ(app.ParseDefinitionFile(), 0);
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages()[0].text.toStdString(),
                  std::string("エラー発生のため終了します。\n") + row.message);
        EXPECT_EQ(console.calls.back(), "EndReadLog " + row.redLine);
        EXPECT_EQ(describe(app.GetStructDef()), describe(earlierStructure()));
        EXPECT_TRUE(app.GetStructDef() == earlierStructure());
        app.SetConsolePort(nullptr);
    }
}

TEST(DefinitionFile, ADataFilesTextSplitsAtCrLfAndDropsWhatFollowsTheLast) {
    zbq::test::RecordingConsole console;
    CKWApp app;
    app.SetConsolePort(&console);
    app.SetLoadMode(2);
    SettingsBlock block;
    // A lone CR belongs to its line: the saver ends lines with CR LF only.
    block.definitionText = "Title=\"t\"\r\na\rb\r\nendTitle\r\ntail";
    app.StructDef().title = "kept";
    app.SetBlock(block);
    EXPECT_EQ(app.ParseDefinitionFile(), 1);
    EXPECT_EQ(app.GetDefinitionLines(),
              (std::vector<std::string>{"Title=\"t\"", "a\rb", "endTitle"}));
    EXPECT_EQ(app.GetStructDef().title, "kept");  // the structure comes from the settings
    EXPECT_EQ(console.calls,
              (std::vector<std::string>{"AppendReadLog " + block.definitionText, "FlushReadLog"}));
    app.SetConsolePort(nullptr);
}

}  // namespace
