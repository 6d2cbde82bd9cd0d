// The command table and the dispatcher against the system's own table of commands: every name,
// caption, field rule, window and "???" question as the system has them, exact matching, and the
// common shape of every step (count, then its own window, then its questions) over all 248 rows.
#include <fstream>
#include <set>
#include <sstream>

#include "macro/command_table.h"
#include "tests/macro/macro_fixture.h"

namespace zbq::test {
namespace {

// A field that "???" asks for: the field, the prompt, the browse mode and what an empty answer
// lacks (empty: an empty answer is taken).
struct Question {
    int field = 0;
    std::string prompt;
    int browseMode = -1;
    std::string missing;
    bool operator==(const Question&) const = default;
};

struct Transcribed {
    std::string name, caption, rule, target;
    bool recorded = true;
    std::string whyNot;  // for a command no gesture records
    std::vector<Question> questions;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

// The system's table: number, name, caption, field rule, the window the step needs, whether a
// gesture records it ("yes", "yes (English layout)" or "no: why"), then each "???" field as
// field|prompt|browse mode|missing word. Lines that start with '#' are notes.
std::vector<Transcribed> transcribed() {
    std::ifstream in(ZBQ_MACRO_DATA_DIR "/commands.tsv");
    std::vector<Transcribed> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> cells = split(line, '\t');
        EXPECT_GE(cells.size(), 6u) << line;
        if (cells.size() < 6) continue;
        EXPECT_EQ(cells[0], std::to_string(rows.size()));
        const bool englishLayout = cells[5] == "yes (English layout)";
        Transcribed row{cells[1], cells[2], cells[3], cells[4], cells[5] == "yes" || englishLayout,
                        {},       {}};
        if (!row.recorded) {
            EXPECT_TRUE(cells[5].starts_with("no: ") && cells[5].size() > 4) << line;
            row.whyNot = cells[5].substr(std::min<std::size_t>(4, cells[5].size()));
        }
        for (std::size_t i = 6; i < cells.size(); ++i) {
            const std::vector<std::string> parts = split(cells[i], '|');
            EXPECT_EQ(parts.size(), 4u) << line;
            if (parts.size() != 4) continue;
            row.questions.push_back({std::stoi(parts[0]), parts[1], std::stoi(parts[2]), parts[3]});
        }
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

std::string dialogName(PlayerDialog dialog) {
    switch (dialog) {
        case PlayerDialog::Filter:
            return "Filter";
        case PlayerDialog::SmallClass:
            return "SmallClass";
        case PlayerDialog::MiddleClass:
            return "MiddleClass";
        case PlayerDialog::LargeClass:
            return "LargeClass";
        case PlayerDialog::ExcelRead:
            break;
    }
    return "ExcelRead";
}

std::string pageName(ConsolePage page) {
    switch (page) {
        case ConsolePage::System:
            return "System";
        case ConsolePage::ItemSelection:
            return "ItemSelection";
        case ConsolePage::DataSelection:
            return "DataSelection";
        case ConsolePage::Olap:
            return "Olap";
        case ConsolePage::Molap:
            return "Molap";
        case ConsolePage::Log:
            break;
    }
    return "Log";
}

// The window a row needs, in the golden table's words.
std::string targetText(const CommandRow& row) {
    switch (row.target) {
        case Target::None:
            return "None";
        case Target::MainFrame:
            return "MainFrame";
        case Target::Console:
            return "Console";
        case Target::ConsolePage:
            return "Page:" + pageName(row.page);
        case Target::DataView:
            return "DataView";
        case Target::CrossWindow:
            return "CrossWindow";
        case Target::MolapWindow:
            return "MolapWindow";
        case Target::ItemWindow:
            return "ItemWindow";
        case Target::Dialog:
            return "Dialog:" + dialogName(row.dialog);
        case Target::ClassDialog:
            break;
    }
    return "ClassDialog";
}

std::vector<Question> questionsOf(const CommandRow& row) {
    std::vector<Question> questions;
    for (const ParameterAsk& ask : row.asks)
        if (ask.field != 0)
            questions.push_back({ask.field, ask.prompt ? ask.prompt : "", ask.browseMode,
                                 ask.missing ? ask.missing : ""});
    return questions;
}

// Steps name the item window of this item.
constexpr std::int32_t kItem = 7;

// Whether a step whose golden window is `target` may play while `open` is the only window.
bool playsWith(const std::string& target, const OneWindow& open) {
    const auto startsWith = [&](const char* prefix) { return target.rfind(prefix, 0) == 0; };
    switch (open.kind) {
        case WindowKind::None:
            break;
        case WindowKind::MainFrame:
            if (target == "MainFrame") return true;
            break;
        case WindowKind::Dialog:
            if (target == "Dialog:" + dialogName(open.dialog)) return true;
            if (target == "ClassDialog" && (open.dialog == PlayerDialog::MiddleClass ||
                                            open.dialog == PlayerDialog::LargeClass))
                return true;
            [[fallthrough]];  // the dialog's console is open as well
        case WindowKind::Console:
            if (target == "Console" || startsWith("Page:")) return true;
            break;
        case WindowKind::DataView:
            if (target == "DataView") return true;
            break;
        case WindowKind::CrossWindow:
            if (target == "CrossWindow") return true;
            break;
        case WindowKind::MolapWindow:
            if (target == "MolapWindow") return true;
            break;
        case WindowKind::ItemWindow:
            if (target == "ItemWindow" && open.item == kItem) return true;
            break;
    }
    return target == "None";
}

// The one window that a step whose golden window is `target` needs.
OneWindow windowFor(const std::string& target) {
    const auto dialog = [](PlayerDialog d) { return OneWindow{WindowKind::Dialog, d, 0}; };
    if (target == "MainFrame") return {WindowKind::MainFrame};
    if (target == "Console" || target.rfind("Page:", 0) == 0) return {WindowKind::Console};
    if (target == "DataView") return {WindowKind::DataView};
    if (target == "CrossWindow") return {WindowKind::CrossWindow};
    if (target == "MolapWindow") return {WindowKind::MolapWindow};
    if (target == "ItemWindow") return {WindowKind::ItemWindow, PlayerDialog::Filter, kItem};
    if (target == "ClassDialog") return dialog(PlayerDialog::LargeClass);
    for (const PlayerDialog d :
         {PlayerDialog::Filter, PlayerDialog::SmallClass, PlayerDialog::MiddleClass,
          PlayerDialog::LargeClass, PlayerDialog::ExcelRead})
        if (target == "Dialog:" + dialogName(d)) return dialog(d);
    return {};
}

std::string describe(const OneWindow& open) {
    switch (open.kind) {
        case WindowKind::None:
            return "nothing";
        case WindowKind::MainFrame:
            return "the main frame";
        case WindowKind::Console:
            return "the console";
        case WindowKind::DataView:
            return "the original-data window";
        case WindowKind::CrossWindow:
            return "the cross-tab window";
        case WindowKind::MolapWindow:
            return "the aggregation window";
        case WindowKind::ItemWindow:
            return "the item window of " + std::to_string(open.item);
        case WindowKind::Dialog:
            break;
    }
    return "the " + dialogName(open.dialog) + " dialog";
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

TEST(CommandTable, EveryRowNeedsTheSystemsWindowAndAsksTheSystemsQuestions) {
    const std::vector<Transcribed> expected = transcribed();
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kCommandCount));
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandRow& row = kCommandTable[static_cast<std::size_t>(i)];
        EXPECT_EQ(targetText(row), expected[i].target) << row.name;
        EXPECT_EQ(questionsOf(row), expected[i].questions) << row.name;
    }
}

// Whether some gesture records the step, row for row, and every row has its player.
TEST(CommandTable, EveryRowIsRecordedAsTheSystemSaysAndHasItsPlayer) {
    const std::vector<Transcribed> expected = transcribed();
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kCommandCount));
    std::vector<std::string> unrecorded;
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandRow& row = kCommandTable[static_cast<std::size_t>(i)];
        EXPECT_EQ(row.recorded, expected[i].recorded) << row.name << ": " << expected[i].whyNot;
        EXPECT_NE(row.player, nullptr) << row.name;
        if (!row.recorded) unrecorded.push_back(row.name);
        // A control only one language shows is still a control: the other layout records it.
        EXPECT_EQ(expected[i].whyNot.find("English"), std::string::npos) << row.name;
        EXPECT_EQ(expected[i].whyNot.find("Japanese"), std::string::npos) << row.name;
    }
    EXPECT_EQ(unrecorded, (std::vector<std::string>{"AddData", "OpenOlapTab", "ExcelReadExecute"}));
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
    const std::vector<Transcribed> golden = transcribed();
    ASSERT_EQ(golden.size(), static_cast<std::size_t>(kCommandCount));
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandRow& row = kCommandTable[static_cast<std::size_t>(i)];
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
            } else if (golden[i].target != "None" || !row.player) {
                EXPECT_EQ(lastMessage(), kNoWindow) << context;
            } else if (std::string_view(row.name) == "SaveZbw" ||
                       std::string_view(row.name) == "AddData") {
                // Needing no window, it asks for its path; the cancelled answer stops it.
                EXPECT_NE(lastMessage().find("ファイル名が指定されていません"), std::string::npos)
                    << context;
            } else {
                EXPECT_NE(lastMessage().find("マクロ[???]は登録されていません"), std::string::npos)
                    << context;
            }
        }
    }
    // Only SaveZbw and AddData, which need no window, get as far as a question.
    ASSERT_EQ(asker.asked.size(), 2u);
    EXPECT_EQ(asker.asked[0].first, "[ＺＢＱに書出し]: ZBQファイル名を入力して下さい。");
    EXPECT_EQ(asker.asked[1].first, "[データ追加]: Excelファイル名を入力して下さい。");
}

// One window at a time, each kind in turn: a step with the right count plays when its own window
// is open (a dialog's console counts as open, and a row needing no window plays with any) and
// stops with the window message, playing nothing, when any other window is.
TEST_F(Dispatch, EveryRowStopsWithTheWindowMessageUnlessItsOwnWindowIsOpen) {
    const std::vector<Transcribed> golden = transcribed();
    ASSERT_EQ(golden.size(), static_cast<std::size_t>(kCommandCount));
    for (const CommandRow& row : kCommandTable)
        macro.RegisterPlayer(row.name, recordingPlayer);
    const auto dialog = [](PlayerDialog d) { return OneWindow{WindowKind::Dialog, d, 0}; };
    const std::vector<OneWindow> windowsInTurn = {
        {WindowKind::None},
        {WindowKind::MainFrame},
        {WindowKind::Console},
        dialog(PlayerDialog::Filter),
        dialog(PlayerDialog::SmallClass),
        dialog(PlayerDialog::MiddleClass),
        dialog(PlayerDialog::LargeClass),
        dialog(PlayerDialog::ExcelRead),
        {WindowKind::DataView},
        {WindowKind::CrossWindow},
        {WindowKind::MolapWindow},
        {WindowKind::ItemWindow, PlayerDialog::Filter, kItem},
        {WindowKind::ItemWindow, PlayerDialog::Filter, kItem + 1},  // another item's window
    };
    for (const OneWindow& open : windowsInTurn) {
        windows.only = open;
        for (int i = 0; i < kCommandCount; ++i) {
            const CommandRow& row = kCommandTable[static_cast<std::size_t>(i)];
            const bool plays = playsWith(golden[i].target, open);
            played.clear();
            prompts.clear();
            const std::string context = std::string(row.name) + " with " + describe(open);
            EXPECT_EQ(macro.ExecuteCommand(step(row, row.count, std::to_string(kItem))),
                      plays ? 1 : 0)
                << context;
            EXPECT_EQ(played.size(), plays ? 1u : 0u) << context;
            EXPECT_EQ(messages(),
                      plays ? std::vector<std::string>{} : std::vector<std::string>{kNoWindow})
                << context;
        }
    }
    EXPECT_TRUE(asker.asked.empty());
}

// With only its own window open a right count reaches the player after each "???" field of the
// system's table was asked for with its prompt and browse mode; an empty answer stops the rows
// that need a value, and a "???" in any other field reaches the player as it stands.
TEST_F(Dispatch, EveryRowAsksTheSystemsQuestionsOnceItsWindowIsThere) {
    const std::vector<Transcribed> golden = transcribed();
    ASSERT_EQ(golden.size(), static_cast<std::size_t>(kCommandCount));
    for (const CommandRow& row : kCommandTable)
        macro.RegisterPlayer(row.name, recordingPlayer);
    const std::string item = std::to_string(kItem);
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandRow& row = kCommandTable[static_cast<std::size_t>(i)];
        const Transcribed& expectedRow = golden[i];
        windows.only = windowFor(expectedRow.target);
        // A list gets one entry; a bare command one field it ignores. Field 1 names the item
        // window, or the number a prompt shows.
        const int parameters = row.count == 0 ? 1 : row.count;
        bool numbered = expectedRow.target == "ItemWindow";
        for (const Question& q : expectedRow.questions)
            numbered = numbered || q.prompt.find("%d") != std::string::npos;
        std::vector<std::string> fields = step(row, parameters, "???");
        if (numbered) fields[1] = item;
        for (const bool answered : {true, false}) {
            played.clear();
            prompts.clear();
            asker.asked.clear();
            asker.answers.clear();
            const bool bare = row.rule == FieldRule::Exact && row.count == 0;
            std::vector<std::string> expected = bare ? step(row, 0, "") : fields;
            bool stops = false;
            std::string missing;
            std::vector<std::pair<std::string, std::int32_t>> questions;
            for (const Question& q : expectedRow.questions) {
                ASSERT_LT(static_cast<std::size_t>(q.field), fields.size()) << row.name;
                ASSERT_EQ(fields[static_cast<std::size_t>(q.field)], "???") << row.name;
                std::string prompt = q.prompt;
                if (prompt.find("%d") != std::string::npos)
                    prompt.replace(prompt.find("%d"), 2, item);
                questions.emplace_back(prompt, q.browseMode);
                if (answered) {
                    asker.answers.push_back("answer");
                    expected[static_cast<std::size_t>(q.field)] = "answer";
                } else {
                    expected[static_cast<std::size_t>(q.field)] = "";
                    if (!q.missing.empty()) {
                        stops = true;
                        missing = q.missing;
                        break;  // the first refused answer ends the step
                    }
                }
            }
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
    windows.only = {WindowKind::CrossWindow};
    // Two rows of an open window, taken without their players.
    macro.RegisterPlayer("Olap_CopyAll", nullptr);
    macro.RegisterPlayer("Olap_OutToCsv", nullptr);
    EXPECT_EQ(macro.ExecuteCommand({"Olap_CopyAll"}), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{kNoWindow});
    // Nor is anything asked for it.
    EXPECT_EQ(macro.ExecuteCommand({"Olap_OutToCsv", "???"}), 0);
    EXPECT_TRUE(asker.asked.empty());
}

TEST_F(Dispatch, TheItemWindowIsTheOneFieldOneNames) {
    windows.only = {WindowKind::ItemWindow, PlayerDialog::Filter, 4};
    macro.RegisterPlayer("Item_Copy", recordingPlayer);
    played.clear();
    EXPECT_EQ(macro.ExecuteCommand({"Item_Copy", "3"}), 0);
    EXPECT_EQ(macro.ExecuteCommand({"Item_Copy", " 4x"}), 1);
    EXPECT_EQ(played.size(), 1u);
    EXPECT_EQ(messages(), std::vector<std::string>{kNoWindow});
}

}  // namespace
}  // namespace zbq::test
