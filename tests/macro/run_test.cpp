// Runs of macros: completion, stopping, nesting through ExeMacro, recording around runs, the
// macro list's operations and the messages of the parameter checks.
#include <sys/stat.h>

#include <functional>

#include "app/step_text.h"
#include "platform/core/cp932.h"
#include "tests/macro/macro_fixture.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

const std::string kDone = "マクロの実行が完了しました。";
std::vector<std::string> actions;

// Stands for a window's action: notes the step and records it as every action does.
std::int32_t acting(CMacro& macro, StepFields& fields) {
    actions.push_back(fields.size() > 1 ? fields[1] : fields[0]);
    KWApp()->Record(StepBuilder(fields[0]));
    macro.record("Data_Copy");
    return 1;
}

class Runs : public MacroTest {
protected:
    Runs() {
        actions.clear();
        windows.open = true;
        macro.RegisterPlayer("Data_SortUp", acting);
    }
    // A macro of steps; "act:x" stands for a step whose action notes x.
    void add(const std::string& name, std::vector<std::string> steps) {
        for (std::string& s : steps)
            if (s.rfind("act:", 0) == 0) s = "Data_SortUp," + s.substr(4);
        macro.AddMacro(name, "", steps);
    }
};

TEST_F(Runs, ACompleteRunActsInOrderAndSaysSo) {
    add("A", {"act:1", "act:2"});
    EXPECT_EQ(macro.RunMacro(0), 1);
    EXPECT_EQ(actions, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(messages(), std::vector<std::string>{kDone});
}

TEST_F(Runs, AFailingSecondStepEndsTheRunWithItsOwnMessageOnly) {
    add("A", {"act:1", "Prt", "act:3"});
    EXPECT_EQ(macro.RunMacro(0), 0);
    EXPECT_EQ(actions, std::vector<std::string>{"1"});
    EXPECT_EQ(messages(), std::vector<std::string>{countMessage("Prt", 1)});
}

TEST_F(Runs, AnEmptyOrUnknownStepEndsTheRunSilently) {
    add("A", {"act:1", "", "act:3"});
    add("B", {"act:1", "Nothing,1"});
    EXPECT_EQ(macro.RunMacro(0), 0);
    EXPECT_EQ(macro.RunMacro(1), 0);
    EXPECT_EQ(actions, (std::vector<std::string>{"1", "1"}));
    EXPECT_TRUE(messages().empty());
}

TEST_F(Runs, AFailingStepOfANestedMacroEndsItAndTheCallerGoesOn) {
    add("A", {"ExeMacro,\"B\"", "act:A2"});
    add("B", {"Prt", "act:B2"});
    EXPECT_EQ(macro.RunMacro(0), 1);
    EXPECT_EQ(actions, std::vector<std::string>{"A2"});
    EXPECT_EQ(messages(), (std::vector<std::string>{countMessage("Prt", 1), kDone}));
    EXPECT_EQ(windows.resets, 1) << "ExeMacro resets the screen before the nested run";
}

TEST_F(Runs, AnUnknownMacroStopsTheRun) {
    add("A", {"ExeMacro,\"x\"", "act:2"});
    EXPECT_EQ(macro.RunMacro(0), 0);
    EXPECT_TRUE(actions.empty());
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "コマンド[ExeMacro]のパラメータのマクロ[x]は登録されていません。\n"
                              "マクロの実行を中止します。"});
}

TEST_F(Runs, AMacroAlreadyRunningInTheChainIsRefused) {
    const std::string refused =
        "コマンド[ExeMacro]のパラメータが不正です。\nマクロの実行を中止します。";
    add("A", {"ExeMacro,\"B\"", "act:A2"});
    add("B", {"act:B1", "ExeMacro,\"A\"", "act:B3"});
    add("S", {"ExeMacro,\"S\"", "act:S2"});
    EXPECT_EQ(macro.RunMacro(0), 1);
    EXPECT_EQ(actions, (std::vector<std::string>{"B1", "A2"}));
    EXPECT_EQ(messages(), (std::vector<std::string>{refused, kDone}));
    prompts.clear();
    EXPECT_EQ(macro.RunMacro(2), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{refused});
}

// A runs B runs C from the menu while recording: one completion message, one step recorded, and
// none of the actions' own steps.
TEST_F(Runs, ANestedRunFromTheMenuRecordsOneStepAndSaysItIsCompleteOnce) {
    add("A", {"act:A1", "ExeMacro,\"B\"", "act:A3"});
    add("B", {"ExeMacro,\"C\"", "act:B2"});
    add("C", {"act:C1"});
    macro.StartRecording();
    macro.record("OpenLogTab");
    prompts.answer(ui::Answer::Yes);
    EXPECT_EQ(macro.RunMacroFromMenu(0), 1);
    EXPECT_EQ(actions, (std::vector<std::string>{"A1", "C1", "B2", "A3"}));
    EXPECT_EQ(macro.RecordedSteps(), (std::vector<std::string>{"OpenLogTab", "ExeMacro,\"A\""}));
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0],
              "マクロ「A」を実行します。\nマクロを実行すると、画面を一度初期化します。\n"
              "実行してよろしいですか？");
    EXPECT_EQ(messages()[1], kDone);
    EXPECT_FALSE(macro.isPlaying());
    EXPECT_EQ(windows.resets, 3);  // the menu's, then B's and C's
}

TEST_F(Runs, NoOnTheMenusQuestionRunsNothing) {
    add("A", {"act:1"});
    prompts.answer(ui::Answer::No);
    EXPECT_EQ(macro.RunMacroFromMenu(0), 0);
    EXPECT_TRUE(actions.empty());
    EXPECT_EQ(windows.resets, 0);
}

TEST_F(Runs, QuotesInANameSurviveRecordingAndPlaying) {
    add("say \"hi\", then", {"act:1"});
    add("outer", {});
    macro.StartRecording();
    prompts.answer(ui::Answer::Yes);
    ASSERT_EQ(macro.RunMacroFromMenu(0), 1);
    const std::string step = macro.RecordedSteps().back();
    EXPECT_EQ(step, "ExeMacro,\"say \"\"hi\"\", then\"");
    std::vector<std::string> fields;
    SplitStepText(step, ',', fields);
    EXPECT_EQ(macro.ExecuteCommand(fields), 1);
    EXPECT_EQ(actions, (std::vector<std::string>{"1", "1"}));
}

TEST_F(Runs, AutoOpenSaysItsOwnNameWhenComplete) {
    add("first", {"act:1"});
    add("auto_open", {"act:2"});
    EXPECT_EQ(macro.RunAutoOpenMacro(), 1);
    EXPECT_EQ(actions, std::vector<std::string>{"2"});
    EXPECT_EQ(messages(), std::vector<std::string>{"マクロ「auto_open」の実行が完了しました。"});
    macro.DeleteMacro(1);
    EXPECT_EQ(macro.RunAutoOpenMacro(), 0);
}

TEST_F(Runs, RecordingStoresTheStepsUnderTheGivenName) {
    prompts.answer(ui::Answer::Yes);
    ASSERT_EQ(macro.OnStartRecording(), 1);
    EXPECT_TRUE(macro.isRecording());
    EXPECT_EQ(windows.resets, 1);
    app.Record(StepBuilder("SelectSet").number(2));
    EXPECT_EQ(macro.DefaultMacroName(), "macro1");
    EXPECT_EQ(macro.StopRecording("mine"), 1);
    EXPECT_FALSE(macro.isRecording());
    ASSERT_EQ(macro.Macros().size(), 1u);
    EXPECT_EQ(macro.Macros()[0], (MacroRecord{"mine", "", {"SelectSet,2"}}));

    // Nothing recorded, or the name dialog cancelled: nothing stored.
    macro.StartRecording();
    EXPECT_EQ(macro.StopRecording("other"), 0);
    macro.StartRecording();
    app.Record(StepBuilder("OpenLogTab"));
    EXPECT_EQ(macro.StopRecording(""), 0);
    EXPECT_EQ(macro.Macros().size(), 1u);
}

// A name the list or the macro file could not hold is refused with its message before anything
// changes: a recording goes on with its steps kept, and a rename leaves the name as it was.
TEST_F(Runs, ANameThatCannotBeStoredIsRefusedAndLosesNothing) {
    std::string kanji33;  // 33 characters, well within the name field, but 66 bytes
    for (int i = 0; i < 33; ++i)
        kanji33 += cp932::literal("名");
    const std::string taken = "同名のマクロが既に存在します。マクロ名を変更して下さい。";
    const std::string tooLong = "マクロ名が64バイトを超えています。マクロ名を変更して下さい。";
    const std::string lineBreak = "マクロ名に改行は使用できません。マクロ名を変更して下さい。";
    const struct {
        std::string name;
        std::string message;
    } cases[] = {
        {"mine", taken},     {std::string(65, 'n'), tooLong},
        {kanji33, tooLong},  {"a\nb", lineBreak},
        {"a\rb", lineBreak}, {std::string("a\0b", 3), lineBreak},
    };
    add("mine", {"act:1"});
    add("other", {"act:1"});
    prompts.answer(ui::Answer::Yes);
    ASSERT_EQ(macro.OnStartRecording(), 1);
    app.Record(StepBuilder("SelectSet").number(2));
    app.Record(StepBuilder("OpenLogTab"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        prompts.clear();
        EXPECT_EQ(macro.StopRecording(c.name), 0);
        EXPECT_EQ(messages(), std::vector<std::string>{c.message});
        EXPECT_TRUE(macro.isRecording());
        EXPECT_EQ(macro.RecordedSteps(), (std::vector<std::string>{"SelectSet,2", "OpenLogTab"}));

        prompts.clear();
        EXPECT_EQ(macro.RenameMacro(1, c.name), 0);
        EXPECT_EQ(messages(), std::vector<std::string>{c.message});
    }
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"mine", "other"}));

    prompts.clear();
    const std::string longest = kanji33.substr(0, 64);
    EXPECT_EQ(macro.StopRecording(longest), 1);
    EXPECT_FALSE(macro.isRecording());
    EXPECT_EQ(macro.Macros().back(), (MacroRecord{longest, "", {"SelectSet,2", "OpenLogTab"}}));
    EXPECT_EQ(macro.RenameMacro(1, "other"), 1);
    EXPECT_TRUE(messages().empty());
}

// A step holding a line break could never be saved: it is refused when it is recorded, and the
// recording goes on.
TEST_F(Runs, AStepTheMacroFileCouldNotHoldIsNotRecorded) {
    macro.StartRecording();
    app.Record(StepBuilder("InputSearchTerm").number(1).text("a\nb"));
    EXPECT_EQ(messages(),
              std::vector<std::string>{"改行を含むため、この操作はマクロに記録できません。"});
    app.Record(StepBuilder("OpenLogTab"));
    EXPECT_TRUE(macro.isRecording());
    EXPECT_EQ(macro.RecordedSteps(), std::vector<std::string>{"OpenLogTab"});
}

TEST_F(Runs, RecordingIsRefusedAtTheLimitAndOnNo) {
    prompts.answer(ui::Answer::No);
    EXPECT_EQ(macro.OnStartRecording(), 0);
    for (int i = 0; i < 999; ++i)
        macro.AddMacro("m" + std::to_string(i), "", {"OpenLogTab"});
    EXPECT_EQ(macro.OnStartRecording(), 0);
    EXPECT_FALSE(macro.isRecording());
    EXPECT_EQ(lastMessage(), "マクロが999件登録されています。1000件以上は登録できません。");
    EXPECT_EQ(windows.resets, 0);
}

TEST_F(Runs, TheProposedNameIsTheFirstFreeOne) {
    add("macro1", {"act:1"});
    add("macro3", {"act:1"});
    EXPECT_EQ(macro.DefaultMacroName(), "macro2");
}

TEST_F(Runs, ListOperationsMoveDeleteAndRenameAndRefuseBadIndexes) {
    const auto names = [&] { return macro.macroNames(); };
    for (const char* name : {"A", "B", "C"})
        add(name, {"act:1"});
    EXPECT_EQ(macro.MoveMacro(0, 2), 1);
    EXPECT_EQ(names(), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(macro.MoveMacro(2, 0), 1);
    EXPECT_EQ(names(), (std::vector<std::string>{"A", "B", "C"}));
    for (auto [from, to] : {std::pair{-1, 0}, {3, 0}, {0, 3}, {0, -1}})
        EXPECT_EQ(macro.MoveMacro(from, to), 0);
    EXPECT_EQ(macro.DeleteMacro(3), 0);
    EXPECT_EQ(macro.DeleteMacro(-1), 0);
    EXPECT_EQ(macro.RenameMacro(3, "X"), 0);
    EXPECT_EQ(macro.RenameMacro(0, "B"), 0);
    EXPECT_EQ(macro.RenameMacro(0, ""), 0);
    EXPECT_EQ(macro.RenameMacro(0, std::string(65, 'n')), 0);
    EXPECT_EQ(names(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(macro.RenameMacro(0, "A"), 1);
    EXPECT_EQ(macro.RenameMacro(1, "Z"), 1);
    EXPECT_EQ(macro.DeleteMacro(0), 1);
    EXPECT_EQ(names(), (std::vector<std::string>{"Z", "C"}));
}

TEST_F(Runs, EachCheckPassesQuietlyOrStopsWithItsMessage) {
    TempDir dir;
    const std::string file = dir.file("data.csv");
    writeFile(file, "x");
    const std::string stop = "\nマクロの実行を中止します。";
    const std::string hyou = zbq::cp932::literal("表");
    struct Case {
        std::function<std::int32_t()> check;
        std::string message;  // empty: passes
    } cases[] = {
        {[&] { return macro.CheckParameterCount(2, 2, "Prt"); }, ""},
        {[&] { return macro.CheckParameterCount(3, 2, "Olap_Sort"); },
         countMessage("Olap_Sort", 2)},
        {[&] { return macro.MacroErrorNoWindow(nullptr); }, kNoWindow},
        {[&] { return macro.MacroErrorOutOfRange(0, 0, "SelectSet"); }, ""},
        {[&] { return macro.MacroErrorOutOfRange(-1, 3, "SelectSet"); },
         "コマンド[SelectSet]のパラメータが範囲を超えています。" + stop},
        {[&] { return macro.MacroErrorOutOfRange(4, 3, "SelectSet"); },
         "コマンド[SelectSet]のパラメータが範囲を超えています。" + stop},
        {[&] { return macro.MacroErrorOutOfRange(-1, 3, "SelectItemX", -1); }, ""},
        {[&] { return macro.MacroErrorMissingParameter("x", "ファイル名", "Data_OutToCsv"); }, ""},
        {[&] { return macro.MacroErrorMissingParameter("", "ファイル名", "Data_OutToCsv"); },
         "コマンド[Data_OutToCsv]のパラメータにファイル名が指定されていません。" + stop},
        {[&] { return macro.MacroErrorNoFolder(dir.file("new.csv"), "Olap_OutToCsv"); }, ""},
        {[&] { return macro.MacroErrorNoFolder(file + "/x.csv", "Olap_OutToCsv"); },
         "コマンド[Olap_OutToCsv]のパラメータのフォルダ\n[" + file + "]が存在しません。" + stop},
        {[&] { return macro.MacroErrorNoFolder("x.csv", "Olap_OutToCsv"); },
         "コマンド[Olap_OutToCsv]のパラメータのフォルダ\n[]が存在しません。" + stop},
        {[&] { return macro.MacroErrorNoFile(file); }, ""},
        {[&] { return macro.MacroErrorNoFile(dir.file(hyou + ".xls")); },
         "ファイル[" + dir.file("表.xls") + "]が存在しません。" + stop},
        {[&] { return macro.MacroErrorNoItem(hyou, "ToListItem"); },
         "コマンド[ToListItem]で指定された[表]項目は存在しません。" + stop},
        {[&] { return macro.MacroErrorNoSet(7, "SelectSet"); },
         "コマンド[SelectSet]で指定されたNo.[7]の集合は存在しません。" + stop},
        {[&] { return macro.MacroErrorInvalidParameter("Olap_VScroll"); },
         "コマンド[Olap_VScroll]のパラメータが不正です。" + stop},
    };
    for (const Case& c : cases) {
        prompts.clear();
        EXPECT_EQ(c.check(), c.message.empty() ? 1 : 0) << c.message;
        EXPECT_EQ(messages(), c.message.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{c.message});
    }
    for (const ui::Message& m : prompts.messages())
        EXPECT_EQ(m.icon, ui::Icon::Exclamation);
}

}  // namespace
}  // namespace zbq::test
