// The command table and the dispatcher: every name and caption as the system spells them, exact
// matching, and the common shape of every step (count, window, "???") over all 248 rows.
#include <fstream>
#include <set>
#include <sstream>

#include "macro/command_table.h"
#include "tests/macro/macro_fixture.h"

namespace zbq::test {
namespace {

struct Transcribed {
    std::string name, caption, rule;
};

// The names, captions and field rules as the system's own tables give them.
std::vector<Transcribed> transcribed() {
    std::ifstream in(ZBQ_MACRO_DATA_DIR "/commands.tsv");
    std::vector<Transcribed> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string no;
        Transcribed row;
        std::getline(fields, no, '\t');
        std::getline(fields, row.name, '\t');
        std::getline(fields, row.caption, '\t');
        std::getline(fields, row.rule, '\t');
        EXPECT_EQ(no, std::to_string(rows.size()));
        rows.push_back(row);
    }
    return rows;
}

std::string ruleText(const CommandRow& row) {
    switch (row.rule) {
        case FieldRule::Exact:
            return std::to_string(row.count);
        case FieldRule::AtLeast:
            return ">=" + std::to_string(row.count);
        case FieldRule::Padded:
            break;
    }
    return "pad" + std::to_string(row.count);
}

std::vector<std::string> step(const CommandRow& row, int parameters, const std::string& value) {
    std::vector<std::string> fields = {row.name};
    for (int i = 0; i < parameters; ++i)
        fields.push_back(value);
    return fields;
}

std::vector<std::vector<std::string>> played;

std::int32_t recordingPlayer(CMacro&, StepFields& fields) {
    played.push_back(fields);
    return 1;
}

TEST(CommandTable, NamesCaptionsAndRulesAreTheSystemsInDispatchOrder) {
    const std::vector<Transcribed> expected = transcribed();
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kCommandCount));
    std::set<std::string> names;
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandRow& row = kCommandTable[static_cast<std::size_t>(i)];
        EXPECT_EQ(row.name, expected[i].name) << i;
        EXPECT_EQ(row.caption, expected[i].caption) << row.name;
        EXPECT_EQ(ruleText(row), expected[i].rule) << row.name;
        EXPECT_EQ(FindCommand(row.name), i);
        names.insert(row.name);
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kCommandCount));
    EXPECT_EQ(GetCommandCaption("SaveZbw"), "ＺＢに書出し");
    EXPECT_EQ(GetCommandCaption("BackListItem"), GetCommandCaption("FromListItem"));
    EXPECT_EQ(GetCommandCaption("dispconsole"), "");
}

TEST(CommandTable, OnlyTheHandWrittenCommandsAreRecordedByNoAction) {
    std::vector<std::string> unrecorded;
    for (const CommandRow& row : kCommandTable)
        if (!row.recorded) unrecorded.push_back(row.name);
    EXPECT_EQ(unrecorded, (std::vector<std::string>{"AddData", "ExcelReadExecute"}));
}

using Dispatch = MacroTest;

TEST_F(Dispatch, NamesMatchExactlyAndAnEmptyStepStopsSilently) {
    for (const std::vector<std::string>& fields : {std::vector<std::string>{"dispconsole"},
                                                   {"DispConsole "},
                                                   {" DispConsole"},
                                                   {"Disp"},
                                                   {},
                                                   {""}})
        EXPECT_EQ(macro.ExecuteCommand(fields), 0);
    EXPECT_TRUE(prompts.messages().empty());
}

// With nothing open every row stops with the count message, or after a right count with the
// window message, before any "???" is asked; targetless rows give their own result.
TEST_F(Dispatch, EveryRowChecksItsCountThenItsWindowWithNothingOpen) {
    for (const CommandRow& row : kCommandTable) {
        const int n = row.count;
        std::vector<std::pair<int, bool>> cases;  // parameters, count message expected
        switch (row.rule) {
            case FieldRule::Exact:
                if (n == 0) {
                    cases = {{0, false}, {1, false}};  // an extra field plays as bare
                } else {
                    cases = {{n - 1, true}, {n, false}, {n + 1, true}};
                }
                break;
            case FieldRule::Padded:
                cases = {{n - 1, false}, {n, false}, {n + 1, true}};
                if (n >= 2) cases.push_back({n - 2, true});
                break;
            case FieldRule::AtLeast:
                cases = {{n, false}, {n + 3, false}};
                if (n > 0) cases.push_back({n - 1, true});
                break;
        }
        for (const auto& [parameters, countFails] : cases) {
            prompts.clear();
            const std::string context =
                std::string(row.name) + " with " + std::to_string(parameters) + " parameters";
            EXPECT_EQ(macro.ExecuteCommand(step(row, parameters, "???")), 0) << context;
            ASSERT_EQ(prompts.messages().size(), 1u) << context;
            if (countFails) {
                EXPECT_EQ(lastMessage(), countMessage(row.name, n)) << context;
            } else if (row.target != Target::None || !row.player) {
                EXPECT_EQ(lastMessage(), kNoWindow) << context;
            } else if (std::string_view(row.name) == "SaveZbw") {
                // Needing no window, it asks for its path; the cancelled answer stops it.
                EXPECT_NE(lastMessage().find("ファイル名が指定されていません"), std::string::npos)
                    << context;
            } else {
                EXPECT_NE(lastMessage().find("マクロ[???]は登録されていません"), std::string::npos)
                    << context;
            }
        }
    }
    // Only SaveZbw, which needs no window, gets as far as a question.
    ASSERT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].first, "[ＺＢＱに書出し]: ZBQファイル名を入力して下さい。");
}

// With every window open a right count reaches the player, after each "???" field was asked
// for with the row's prompt and browse mode; an empty answer stops the rows that need a value.
TEST_F(Dispatch, EveryRowAsksItsQuestionsOnceItsWindowIsThere) {
    windows.open = true;
    for (const CommandRow& row : kCommandTable)
        macro.RegisterPlayer(row.name, recordingPlayer);
    for (const CommandRow& row : kCommandTable) {
        // A list gets one entry; a bare command one field it ignores.
        const int parameters = row.count == 0 ? 1 : row.count;
        for (const bool answered : {true, false}) {
            played.clear();
            prompts.clear();
            asker.asked.clear();
            asker.answers.clear();
            const bool bare = row.rule == FieldRule::Exact && row.count == 0;
            std::vector<std::string> expected = step(row, bare ? 0 : parameters, "7");
            std::vector<std::string> fields = step(row, parameters, "7");
            bool stops = false;
            std::string missing;
            std::vector<std::pair<std::string, std::int32_t>> questions;
            for (const ParameterAsk& ask : row.asks) {
                if (ask.field == 0) continue;
                fields[static_cast<std::size_t>(ask.field)] = "???";
                std::string prompt = ask.prompt;
                if (prompt.find("%d") != std::string::npos)
                    prompt.replace(prompt.find("%d"), 2, "7");
                questions.emplace_back(prompt, ask.browseMode);
                if (answered) {
                    asker.answers.push_back("answer");
                    expected[static_cast<std::size_t>(ask.field)] = "answer";
                } else {
                    expected[static_cast<std::size_t>(ask.field)] = "";
                    if (ask.missing && !stops) {
                        stops = true;
                        missing = ask.missing;
                    }
                }
            }
            if (stops) questions.resize(1);  // the first refused answer ends the step
            const std::string context =
                std::string(row.name) + (answered ? " answered" : " cancelled");
            EXPECT_EQ(macro.ExecuteCommand(fields), stops ? 0 : 1) << context;
            EXPECT_EQ(asker.asked, questions) << context;
            if (stops) {
                EXPECT_TRUE(played.empty()) << context;
                EXPECT_EQ(lastMessage(), "コマンド[" + std::string(row.name) + "]のパラメータに" +
                                             missing +
                                             "が指定されていません。\nマクロの実行を中止します。")
                    << context;
            } else {
                ASSERT_EQ(played.size(), 1u) << context;
                EXPECT_EQ(played[0], expected) << context;
                EXPECT_TRUE(prompts.messages().empty()) << context;
            }
        }
    }
}

TEST_F(Dispatch, ARowWithoutItsPlayerStopsWithTheWindowMessageEvenWhenItsWindowIsOpen) {
    windows.open = true;
    EXPECT_EQ(macro.ExecuteCommand({"Olap_CopyAll"}), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{kNoWindow});
    // Nor is anything asked for it.
    EXPECT_EQ(macro.ExecuteCommand({"Data_OutToCsv", "???"}), 0);
    EXPECT_TRUE(asker.asked.empty());
}

TEST_F(Dispatch, TheItemWindowIsTheOneFieldOneNames) {
    struct OneItemWindow : SwitchedWindows {
        QWidget* itemWindow(std::int32_t item) const override {
            return item == 4 ? mainWindow() : nullptr;
        }
    } items;
    items.open = true;
    app.SetWindowPort(&items);
    macro.RegisterPlayer("Item_Copy", recordingPlayer);
    played.clear();
    EXPECT_EQ(macro.ExecuteCommand({"Item_Copy", "3"}), 0);
    EXPECT_EQ(macro.ExecuteCommand({"Item_Copy", " 4x"}), 1);
    EXPECT_EQ(played.size(), 1u);
    EXPECT_EQ(messages(), std::vector<std::string>{kNoWindow});
}

}  // namespace
}  // namespace zbq::test
