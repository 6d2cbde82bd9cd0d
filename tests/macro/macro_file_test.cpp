// The macro file: written byte for byte in its layout, read back, read at start-up with each of
// its questions, read in the old writer's layout, imported, and never lost when writing fails.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "app/step_text.h"
#include "tests/macro/macro_fixture.h"
#include "tests/support/recording_console.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

std::string cp(const std::string& utf8) {
    return cp932::literal(utf8);
}

// UTF-8 lines with "\n" as the file holds them: CP932 and CR LF.
std::string fileBytes(const std::string& utf8) {
    std::string out;
    for (char c : cp(utf8)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const std::string kStructure =
    "[ファイル]\nVersion=2.0\n[構造定義]\nItemCnt=7\n"
    "ItemType1=String\nItemType2=Code\nItemType3=Integer\nItemType4=MultiAns\n"
    "ItemType5=Float\nItemType6=Date\nItemType7=Time\n"
    "ItemCsvNo1=1\nItemCsvNo2=2\nItemCsvNo3=3\nItemCsvNo4=5\nItemCsvNo5=4\nItemCsvNo6=6\n"
    "ItemCsvNo7=7\nItemGroup1=\nItemGroup2=属性\nItemGroup3=属性/基本\nItemGroup4=\n"
    "ItemGroup5=\nItemGroup6=\nItemGroup7=\nCodeCnt2=2\nCode2_1=1\nCode2_2=2\n"
    "CodeCnt4=3\nCode4_1=1\nCode4_2=2\nCode4_3=3\n";

std::string macroKeys(int n, const std::string& name, std::vector<std::string> steps,
                      const std::string& count = "") {
    const std::string i = std::to_string(n);
    std::string text = "Name" + i + "=" + name + "\nExp" + i + "=\nStepCnt" + i + "=" +
                       (count.empty() ? std::to_string(steps.size()) : count) + "\n";
    for (std::size_t k = 0; k < steps.size(); ++k)
        text += "Step" + i + "_" + std::to_string(k + 1) + "=" + steps[k] + "\n";
    return text;
}

std::string threeMacros() {
    return kStructure + "[マクロ]\n" + macroKeys(1, "one", {"DispConsole"}) +
           macroKeys(2, "two", {"SelectSet,1", "SelectSet,2"}) +
           macroKeys(3, "three", {"OpenLogTab"});
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class MacroFile : public MacroTest {
protected:
    MacroFile() {
        app.StructDef() = everyItemType();
        app.SetLoadMode(2);
        app.SetConsolePort(&console);
    }
    ~MacroFile() override { app.SetConsolePort(nullptr); }

    void twoMacros() {
        ASSERT_EQ(macro.LoadStructureDefinition(), 1);
        macro.AddMacro(cp("集計表示"), cp("一行目\r\n二行目"),
                       {StepBuilder("ToListItem").text(cp("年齢")).str(),
                        StepBuilder("InputSearchTerm").number(3).text("a,b").str(),
                        StepBuilder("SelectSet").number(0).str()});
        macro.AddMacro("macro2", "",
                       {"DispConsole", StepBuilder("ExeMacro").text(cp("集計表示")).str()});
    }
    std::string golden() const { return readFile(ZBQ_MACRO_DATA_DIR "/two_macros.mcr"); }

    RecordingConsole console;
    TempDir dir;
    const std::string path = dir.file("data.mcr");
};

TEST_F(MacroFile, WritesItsLayoutByteForByteAndReadsBackTheSame) {
    twoMacros();
    writeFile(path, "old bytes");
    ASSERT_EQ(macro.WriteMacroFile(path), 1);
    EXPECT_EQ(readFile(path), golden());
    EXPECT_EQ(readFile(path + ".bak"), "old bytes");
    EXPECT_EQ(entriesIn(dir.path()), 2u) << "a temporary was left behind";

    CMacro again(app);
    ASSERT_EQ(again.ReadMacroFile(path), 1);
    EXPECT_EQ(again.Macros(), macro.Macros());
    EXPECT_EQ(again.StructureBlock(), macro.StructureBlock());
    EXPECT_EQ(again.Version(), "2.0");
    const std::string copy = dir.file("copy.mcr");
    ASSERT_EQ(again.WriteMacroFile(copy), 1);
    EXPECT_EQ(readFile(copy), golden());
    EXPECT_TRUE(messages().empty());
}

TEST_F(MacroFile, ValuesThatReadingWouldAlterAreGuardedAndABreakNeverReachesTheFile) {
    ASSERT_EQ(macro.LoadStructureDefinition(), 1);
    macro.AddMacro(" spaced ", "a\nb\rc", {"SelectSet,1 ", "'quoted'"});
    ASSERT_EQ(macro.WriteMacroFile(path), 1);
    CMacro again(app);
    ASSERT_EQ(again.ReadMacroFile(path), 1);
    ASSERT_EQ(again.Macros().size(), 1u);
    EXPECT_EQ(again.Macros()[0],
              (MacroRecord{" spaced ", "a\r\nb\r\nc", {"SelectSet,1 ", "'quoted'"}}));
}

TEST_F(MacroFile, AFailedWriteLeavesTheOldFileAndNamesWhereItFailed) {
    twoMacros();
    const std::string failed = "MCRファイルの書出しに失敗しました。\n書出し失敗箇所：";
    const std::string old = golden().substr(0, 200);

    // A value that would break the file.
    writeFile(path, old);
    macro.AddMacro("broken", "", {"SelectSet,1", "InputSearchTerm,1,\"a\nb\""});
    EXPECT_EQ(macro.WriteMacroFile(path), 0);
    EXPECT_EQ(lastMessage(), failed + "[マクロ]Step3_2");
    EXPECT_EQ(readFile(path), old);
    macro.DeleteMacro(2);

    // A real failure in mid-file: a file-size limit below the new file's size.
    prompts.clear();
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 400;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::int32_t written = macro.WriteMacroFile(path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(lastMessage(), "ファイルの書出しに失敗しました。\n[" + path + "]");
    EXPECT_EQ(readFile(path), old);

    // A folder that cannot be written.
    prompts.clear();
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    const bool privileged = ::access(dir.path().c_str(), W_OK) == 0;
    const std::int32_t intoReadOnly = macro.WriteMacroFile(path);
    ::chmod(dir.path().c_str(), 0755);
    // A privileged run writes whatever the folder's mode says.
    if (!privileged) {
        EXPECT_EQ(intoReadOnly, 0);
        EXPECT_EQ(lastMessage(), "ファイルの書出しに失敗しました。\n[" + path + "]");
        EXPECT_EQ(readFile(path), old);
    }
}

// Start-up reading: each question with its Yes and its No.
TEST_F(MacroFile, StartUpReadsWhatItCanAndAsksAboutTheRest) {
    const std::string version =
        "MCRファイルのバージョンが[2.0]でないためMCRファイルを読込めません。\n続けますか？";
    const std::string readFailure =
        "MCRファイルの読込みに失敗しました。ファイルの内容が不正な可能性があります。\n読込み失敗箇"
        "所：";
    const std::string duplicate =
        "MCRファイルに同名のマクロが存在します。同名のマクロは読込めません。\n続けますか？";
    const std::string longName =
        "MCRファイルのマクロ名で64バイトを超えているものがあります。このマクロは読込めません。\n続"
        "けますか？";
    const std::string noSteps =
        "MCRファイルにステップが１つもないマクロがあります。このマクロは読込めません。\n続けますか"
        "？";
    const std::string differs =
        "ファイルの構造定義情報が異なるため、MCRファイルを読込めません。\n"
        "異なる箇所：1番目の項目のCSVファイル項目順\n続けますか？";
    const std::string longStep = "InputSearchTerm,1,\"" + std::string(5000, 'x') + "\"";
    const std::vector<std::string> all = {"one", "two", "three"};
    const std::vector<std::string> structureOnly = {};  // refused: no macros, the structure taken
    struct Case {
        std::string name;
        std::string text;  // "": no file
        ui::Answer answer;
        std::int32_t result;
        std::string question;  // "": none asked
        std::vector<std::string> names;
        std::int32_t loadMode = 2;
    } cases[] = {
        {"no file", "", ui::Answer::Yes, 1, "", structureOnly},
        {"as written", threeMacros(), ui::Answer::Yes, 1, "", all},
        {"version 1.0", replaced(threeMacros(), "Version=2.0", "Version=1.0"), ui::Answer::Yes, 1,
         "", all},
        {"version 3.0 Yes", replaced(threeMacros(), "Version=2.0", "Version=3.0"), ui::Answer::Yes,
         1, version, structureOnly},
        {"version 3.0 No",
         replaced(threeMacros(), "Version=2.0", "Version=3.0"),
         ui::Answer::No,
         0,
         version,
         {}},
        {"gap after Name3", threeMacros() + macroKeys(5, "five", {"OpenLogTab"}), ui::Answer::Yes,
         1, "", all},
        {"duplicate Yes",
         replaced(threeMacros(), "Name2=two", "Name2=one"),
         ui::Answer::Yes,
         1,
         duplicate,
         {"one", "three"}},
        {"duplicate No",
         replaced(threeMacros(), "Name2=two", "Name2=one"),
         ui::Answer::No,
         0,
         duplicate,
         {}},
        {"65-byte name Yes",
         replaced(threeMacros(), "Name2=two", "Name2=" + std::string(65, 'n')),
         ui::Answer::Yes,
         1,
         longName,
         {"one", "three"}},
        {"64-byte name",
         replaced(threeMacros(), "Name2=two", "Name2=" + std::string(64, 'n')),
         ui::Answer::No,
         1,
         "",
         {"one", std::string(64, 'n'), "three"}},
        {"65-byte name No",
         replaced(threeMacros(), "Name2=two", "Name2=" + std::string(65, 'n')),
         ui::Answer::No,
         0,
         longName,
         {}},
        {"StepCnt 0 Yes",
         replaced(threeMacros(), "StepCnt2=2", "StepCnt2=0"),
         ui::Answer::Yes,
         1,
         noSteps,
         {"one", "three"}},
        {"StepCnt 0 No",
         replaced(threeMacros(), "StepCnt2=2", "StepCnt2=0"),
         ui::Answer::No,
         0,
         noSteps,
         {}},
        {"empty ItemType2 Yes", replaced(threeMacros(), "ItemType2=Code", "ItemType2="),
         ui::Answer::Yes, 1, readFailure + "[構造定義]ItemType2\n続けますか？", structureOnly},
        {"empty ItemType2 No",
         replaced(threeMacros(), "ItemType2=Code", "ItemType2="),
         ui::Answer::No,
         0,
         readFailure + "[構造定義]ItemType2\n続けますか？",
         {}},
        {"a step missing", replaced(threeMacros(), "StepCnt2=2", "StepCnt2=3"), ui::Answer::Yes, 1,
         readFailure + "[マクロ]Step2_3\n続けますか？", structureOnly},
        {"DEF differs",
         replaced(threeMacros(), "ItemCsvNo1=1", "ItemCsvNo1=9"),
         ui::Answer::No,
         0,
         "MCRファイルとDEF" + differs,
         {},
         1},
        {"ZBQ differs", replaced(threeMacros(), "ItemCsvNo1=1", "ItemCsvNo1=9"), ui::Answer::Yes, 1,
         "MCRファイルとZBQ" + differs, structureOnly},
        {"a 5,000-byte step", replaced(threeMacros(), "Step3_1=OpenLogTab", "Step3_1=" + longStep),
         ui::Answer::Yes, 1, "", all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        console.calls.clear();
        app.SetLoadMode(c.loadMode);
        ::unlink(path.c_str());
        if (!c.text.empty()) writeFile(path, fileBytes(c.text));
        CMacro reader(app);
        prompts.answer(c.answer);
        EXPECT_EQ(reader.ReadMacroFile(path), c.result);
        if (c.question.empty()) {
            EXPECT_TRUE(messages().empty());
        } else {
            EXPECT_EQ(messages(), std::vector<std::string>{c.question});
            const bool yes = c.answer == ui::Answer::Yes;
            EXPECT_EQ(console.callsStartingWith("StopProgress").size(), 1u);
            EXPECT_EQ(console.callsStartingWith("StartProgress").size(), yes ? 1u : 0u);
        }
        std::vector<std::string> names = reader.macroNames();
        EXPECT_EQ(names, c.names);
        if (c.result == 0) {
            EXPECT_EQ(reader.Version(), "");
            EXPECT_EQ(reader.StructureBlock(), MacroStructureBlock());
        } else {
            EXPECT_EQ(reader.StructureBlock(), BlockFromStructDef(app.GetStructDef()));
        }
        if (c.name == "version 1.0") {
            EXPECT_EQ(reader.Version(), "1.0");
        } else if (c.name == "a 5,000-byte step") {
            EXPECT_EQ(reader.Macros()[2].steps[0], longStep);
        } else if (c.result == 1) {
            EXPECT_EQ(reader.Version(), "2.0");
        }
    }
}

// A damaged file whose values hold a CR or NUL: reading refuses it at that key, at start-up and
// on import, instead of loading what no later save could write.
TEST_F(MacroFile, AValueTheWriterCouldNotHoldIsRefusedWhereItIsRead) {
    const std::string failure =
        "MCRファイルの読込みに失敗しました。ファイルの内容が不正な可能性があります。\n"
        "読込み失敗箇所：";
    const struct {
        const char* file;
        const char* key;
    } cases[] = {
        {"cr_in_quoted_value.mcr", "[マクロ]Step1_2"},
        {"cr_before_line_end.mcr", "[マクロ]Step2_1"},
        {"cr_in_name.mcr", "[マクロ]Name2"},
        {"nul_in_step.mcr", "[マクロ]Step1_3"},
        {"nul_in_explanation.mcr", "[マクロ]Exp2"},
        {"cr_in_structure_group.mcr", "[構造定義]ItemGroup2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string damaged = ZBQ_MACRO_DATA_DIR "/round_trip/" + std::string(c.file);
        prompts.clear();
        CMacro reader(app);
        prompts.answer(ui::Answer::Yes);
        EXPECT_EQ(reader.ReadMacroFile(damaged), 1);
        EXPECT_EQ(messages(), std::vector<std::string>{failure + c.key + "\n続けますか？"});
        EXPECT_TRUE(reader.Macros().empty());
        // The save that follows is not blocked by what was read.
        EXPECT_EQ(reader.WriteMacroFile(path), 1) << lastMessage();

        prompts.clear();
        CMacro importer(app);
        ASSERT_EQ(importer.LoadStructureDefinition(), 1);
        EXPECT_EQ(importer.ImportMacroFile(damaged), 0);
        EXPECT_EQ(messages(), std::vector<std::string>{failure + c.key});
        EXPECT_TRUE(importer.Macros().empty());
    }
}

// The writer puts every line break of an explanation, a lone CR too, as "<改行>"; reading takes a
// lone CR as the line break it stands for, also after a lone lead byte.
TEST_F(MacroFile, ALoneCrInAnExplanationReadsAsALineBreak) {
    const struct {
        const char* file;
        std::string explanation;
    } cases[] = {
        {"lone_cr_in_explanation.mcr", cp("一行目\r\n二行目\r\n三行目")},
        {"lone_lead_byte_before_line_break.mcr", "\x88\r\n" + cp("行\r\n") + "\x88\r\nx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CMacro reader(app);
        ASSERT_EQ(reader.ReadMacroFile(ZBQ_MACRO_DATA_DIR "/round_trip/" + std::string(c.file)), 1);
        ASSERT_EQ(reader.Macros().size(), 2u);
        EXPECT_EQ(reader.Macros()[0].explanation, c.explanation);
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(MacroFile, TheOldWritersLayoutReadsAndSplitsAsBefore) {
    // Hand-made: blank lines between sections, LF and CR LF ends, fields left bare and quotes
    // inside quoted fields not doubled.
    const std::string bytes =
        fileBytes(kStructure) + cp("\r\n[マクロ]\r\nName1=旧マクロ\r\nExp1=\r\nStepCnt1=4\n") +
        "Step1_1=DispExcelDialog,/data/a.xlsx,/data/b.xlsx\r\n"
        "Step1_2=InputFilterTerm1,\"say \"hi\"\"\r\n" +
        cp("Step1_3=ColumnInfoUpdate,2,名前,Code\r\n") + "Step1_4=MolapOutToCSV,/tmp/out.csv\r\n";
    writeFile(path, bytes);
    ASSERT_EQ(macro.ReadMacroFile(path), 1);
    ASSERT_EQ(macro.macroNames(), std::vector<std::string>{cp("旧マクロ")});
    const std::vector<std::vector<std::string>> expected = {
        {"DispExcelDialog", "/data/a.xlsx", "/data/b.xlsx"},
        {"InputFilterTerm1", "say \"hi\""},
        {"ColumnInfoUpdate", "2", cp("名前"), "Code"},
        {"MolapOutToCSV", "/tmp/out.csv"},
    };
    std::vector<std::vector<std::string>> split;
    for (const std::string& s : macro.Macros()[0].steps) {
        split.emplace_back();
        SplitStepText(s, ',', split.back());
    }
    EXPECT_EQ(split, expected);
}

TEST_F(MacroFile, ImportAddsTheNewMacrosOfTheSameStructureOnly) {
    const std::string registered = "同名のマクロが既に存在します。同名のマクロは追加されません。\n";
    ASSERT_EQ(macro.LoadStructureDefinition(), 1);
    macro.AddMacro("two", "", {"OpenLogTab"});
    writeFile(path, fileBytes(threeMacros()));

    prompts.answer(ui::Answer::No);
    EXPECT_EQ(macro.ImportMacroFile(path), 0);
    EXPECT_EQ(lastMessage().rfind(registered, 0), 0u);
    EXPECT_EQ(macro.macroNames(), std::vector<std::string>{"two"});

    prompts.answer(ui::Answer::Yes);
    EXPECT_EQ(macro.ImportMacroFile(path), 1);
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"two", "one", "three"}));
    EXPECT_EQ(macro.Macros()[0].steps, std::vector<std::string>{"OpenLogTab"});
    EXPECT_EQ(prompts.unanswered(), 0);
}

// Each pass asks once, at its first case; No to any adds nothing.
TEST_F(MacroFile, ImportAsksEachQuestionOnceInItsOrder) {
    const std::string longName =
        "MCRファイルのマクロ名で64バイトを超えているものがあります。このマクロは読込めません。\n続"
        "けますか？";
    const std::string noSteps =
        "MCRファイルにステップが１つもないマクロがあります。このマクロは読込めません。\n続けますか"
        "？";
    const std::string text =
        replaced(replaced(threeMacros(), "Name1=one", "Name1=" + std::string(65, 'n')),
                 "StepCnt2=2", "StepCnt2=0") +
        macroKeys(4, "mine", {"OpenLogTab"}) + macroKeys(5, "long", {"OpenLogTab"});
    writeFile(path, fileBytes(text));
    struct Case {
        std::vector<ui::Answer> answers;
        std::int32_t result;
        std::size_t questions;
        std::vector<std::string> names;
    } cases[] = {
        {{ui::Answer::Yes, ui::Answer::Yes, ui::Answer::Yes}, 1, 3, {"mine", "three", "long"}},
        {{ui::Answer::No}, 0, 1, {"mine"}},
        {{ui::Answer::Yes, ui::Answer::No}, 0, 2, {"mine"}},
        {{ui::Answer::Yes, ui::Answer::Yes, ui::Answer::No}, 0, 3, {"mine"}},
    };
    for (const Case& c : cases) {
        CMacro importer(app);
        ASSERT_EQ(importer.LoadStructureDefinition(), 1);
        importer.AddMacro("mine", "", {"DispConsole"});
        prompts.clear();
        for (ui::Answer a : c.answers)
            prompts.answer(a);
        EXPECT_EQ(importer.ImportMacroFile(path), c.result);
        ASSERT_EQ(messages().size(), c.questions);
        EXPECT_EQ(messages()[0], longName);
        if (c.questions > 1) {
            EXPECT_EQ(messages()[1], noSteps);
        }
        EXPECT_EQ(importer.macroNames(), c.names);
    }
}

TEST_F(MacroFile, ImportStopsAtTheLimitOfMacros) {
    ASSERT_EQ(macro.LoadStructureDefinition(), 1);
    for (int i = 0; i < 998; ++i)
        macro.AddMacro("m" + std::to_string(i), "", {"DispConsole"});
    writeFile(path, fileBytes(threeMacros()));
    prompts.answer(ui::Answer::No);
    EXPECT_EQ(macro.ImportMacroFile(path), 0);
    EXPECT_EQ(macro.Macros().size(), 998u);
    prompts.answer(ui::Answer::Yes);
    EXPECT_EQ(macro.ImportMacroFile(path), 1);
    EXPECT_EQ(macro.Macros().size(), 999u);
    EXPECT_EQ(macro.Macros().back().name, "one");
    EXPECT_EQ(lastMessage(),
              "MCRファイルのマクロが999件を超えてます。1000件以上は読込めません。\nインポートを実行"
              "しますか？");
}

// Three macros fit beside 996 without a question; beside 997 the last would be the 1000th.
TEST_F(MacroFile, ImportAsksOnlyWhenTheFileGoesPastTheLimit) {
    writeFile(path, fileBytes(threeMacros()));
    for (const int existing : {996, 997}) {
        SCOPED_TRACE(existing);
        CMacro importer(app);
        ASSERT_EQ(importer.LoadStructureDefinition(), 1);
        for (int i = 0; i < existing; ++i)
            importer.AddMacro("m" + std::to_string(i), "", {"DispConsole"});
        prompts.clear();
        prompts.answer(ui::Answer::No);
        const bool fits = existing == 996;
        EXPECT_EQ(importer.ImportMacroFile(path), fits ? 1 : 0);
        EXPECT_EQ(importer.Macros().size(), fits ? 999u : 997u);
        EXPECT_EQ(messages().size(), fits ? 0u : 1u);
    }
}

TEST_F(MacroFile, ARefusedImportAddsNothing) {
    ASSERT_EQ(macro.LoadStructureDefinition(), 1);
    const std::string failure =
        "MCRファイルの読込みに失敗しました。ファイルの内容が不正な可能性があります。\n"
        "読込み失敗箇所：[マクロ]Step3_2";
    struct Case {
        std::string text;  // "": no file
        std::string message;
    } cases[] = {
        {"", "MCRファイルが存在しません。"},
        {replaced(replaced(threeMacros(), "ItemCnt=7", "ItemCnt=8"), "Code4_3=3\n",
                  "Code4_3=3\nItemType8=Date\nItemCsvNo8=8\nItemGroup8=\n"),
         "MCRファイルの構造定義情報が異なるため、MCRファイルを読込めません。\n異なる箇所：項目数"},
        {replaced(threeMacros(), "StepCnt3=1", "StepCnt3=2"), failure},
    };
    for (const Case& c : cases) {
        prompts.clear();
        ::unlink(path.c_str());
        if (!c.text.empty()) writeFile(path, fileBytes(c.text));
        EXPECT_EQ(macro.ImportMacroFile(path), 0) << c.message;
        EXPECT_EQ(messages(), std::vector<std::string>{c.message});
        EXPECT_TRUE(macro.Macros().empty()) << c.message;
    }
}

}  // namespace
}  // namespace zbq::test
