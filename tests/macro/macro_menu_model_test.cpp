// The macro menu without its widgets: which buttons a selection enables, where a typed
// explanation goes, and what delete, rename, up, down, execute, step through and import do to the
// macro list and the selection.
#include <QDir>

#include <optional>

#include "macro/macro_menu_model.h"
#include "tests/macro/macro_fixture.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

// Answers the name questions from a queue (none left: cancelled) and keeps what was asked.
class ScriptedScreen : public MacroScreen {
public:
    std::deque<std::optional<std::string>> names;
    std::vector<std::pair<std::string, int>> asked;

    std::optional<std::string> askMacroName(const std::string& proposed, int excluded) override {
        asked.emplace_back(proposed, excluded);
        if (names.empty()) return std::nullopt;
        std::optional<std::string> name = std::move(names.front());
        names.pop_front();
        return name;
    }
};

// Notes whether the playing flag stood while a message box was open, then lets the scripted
// prompts answer it.
class PlayingWhenAsked : public ui::Prompts {
public:
    explicit PlayingWhenAsked(const CMacro& macro) : macro_(macro), next_(ui::setPrompts(this)) {}
    ~PlayingWhenAsked() override { ui::setPrompts(next_); }
    using Prompts::message;
    ui::Answer message(QWidget* parent, const ui::Message& m) override {
        playing.push_back(macro_.isPlaying());
        return next_->message(parent, m);
    }
    std::optional<QString> choose(QWidget* parent, const ui::Chooser& c) override {
        return next_->choose(parent, c);
    }
    std::optional<QStringList> chooseFiles(QWidget* parent, const ui::Chooser& c) override {
        return next_->chooseFiles(parent, c);
    }
    void beep() override { next_->beep(); }

    std::vector<bool> playing;

private:
    const CMacro& macro_;
    Prompts* next_;
};

class MacroMenu : public MacroTest {
protected:
    MacroMenu() {
        macro.SetScreen(&screen);
        for (const char* name : {"A", "B", "C"})
            macro.AddMacro(name, std::string("about ") + name, {"DispConsole"});
    }
    ~MacroMenu() override { macro.SetScreen(nullptr); }

    ScriptedScreen screen;
};

TEST(MacroMenuControls, FollowTheSelectedRowTheRowCountAndRecording) {
    struct Case {
        const char* what;
        int selected, rows;
        bool recording;
        MacroMenuControls expected;  // execute, step, rename, remove, import, up, down
    };
    const Case cases[] = {
        {"no row", -1, 3, false, {false, false, false, false, true, false, false}},
        {"first", 0, 3, false, {true, true, true, true, true, false, true}},
        {"middle", 1, 3, false, {true, true, true, true, true, true, true}},
        {"last", 2, 3, false, {true, true, true, true, true, true, false}},
        {"one row", 0, 1, false, {true, true, true, true, true, false, false}},
        {"empty list", -1, 0, false, {false, false, false, false, true, false, false}},
        {"no row, recording", -1, 3, true, {false, false, false, false, false, false, false}},
        {"first, recording", 0, 3, true, {true, false, false, false, false, false, false}},
        {"middle, recording", 1, 3, true, {true, false, false, false, false, false, false}},
        {"last, recording", 2, 3, true, {true, false, false, false, false, false, false}},
        {"one row, recording", 0, 1, true, {true, false, false, false, false, false, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(macroMenuControls(c.selected, c.rows, c.recording), c.expected) << c.what;
}

TEST_F(MacroMenu, OpensOnItsInitialRowOrOnNone) {
    EXPECT_EQ(MacroMenuModel(macro, 2).selected(), 2);
    EXPECT_EQ(MacroMenuModel(macro, 2).editText(), "about C");
    for (int row : {-1, 3}) {
        MacroMenuModel menu(macro, row);
        EXPECT_EQ(menu.selected(), -1);
        EXPECT_EQ(menu.editText(), "");
        EXPECT_EQ(menu.controls(), macroMenuControls(-1, 3, false));
    }
}

TEST_F(MacroMenu, AnExplanationGoesBackToTheMacroItWasTypedFor) {
    MacroMenuModel menu(macro, 0);
    menu.explanationFocusIn();
    menu.setEditText("first line\r\nsecond line");
    menu.select(1);  // the list takes the selection while the edit still has the focus
    EXPECT_EQ(macro.Macros()[0].explanation, "first line\r\nsecond line");
    EXPECT_EQ(macro.Macros()[1].explanation, "about B");
    EXPECT_EQ(menu.editText(), "about B");
    EXPECT_EQ(menu.editedRow(), -1);

    // Typed while no row is selected: kept nowhere.
    menu.select(-1);
    menu.explanationFocusIn();
    menu.setEditText("lost");
    menu.explanationFocusOut();
    for (const MacroRecord& m : macro.Macros())
        EXPECT_NE(m.explanation, "lost");
}

TEST_F(MacroMenu, DeleteAsksThenSelectsTheMacroThatMovedUp) {
    MacroMenuModel menu(macro, 1);
    menu.removeSelected();  // no answer queued: No
    EXPECT_EQ(lastMessage(), "マクロ「B」を削除します。\n削除してよろしいですか？");
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"A", "B", "C"}));

    prompts.answer(ui::Answer::Yes);
    menu.removeSelected();
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(menu.selected(), 1);
    EXPECT_EQ(menu.editText(), "about C");

    prompts.answer(ui::Answer::Yes);
    menu.removeSelected();  // the last row: nothing is selected after it
    EXPECT_EQ(macro.macroNames(), std::vector<std::string>{"A"});
    EXPECT_EQ(menu.selected(), -1);
    EXPECT_EQ(menu.editText(), "");
}

TEST_F(MacroMenu, UpAndDownMoveTheMacroAndKeepItSelected) {
    MacroMenuModel menu(macro, 0);
    menu.moveUp();  // disabled on the first row
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"A", "B", "C"}));
    menu.moveDown();
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(menu.selected(), 1);
    menu.moveDown();
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(menu.selected(), 2);
    EXPECT_EQ(menu.editText(), "about A");
    menu.moveDown();  // disabled on the last row
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"B", "C", "A"}));
    menu.moveUp();
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(menu.selected(), 1);
}

TEST_F(MacroMenu, RenameAsksWithTheRowExcludedAndKeepsTheRow) {
    MacroMenuModel menu(macro, 1);
    screen.names = {std::nullopt, "B2"};
    menu.renameSelected();
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"A", "B", "C"}));
    menu.renameSelected();
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"A", "B2", "C"}));
    EXPECT_EQ(screen.asked, (std::vector<std::pair<std::string, int>>{{"B", 1}, {"B", 1}}));
    EXPECT_EQ(menu.selected(), 1);
    EXPECT_EQ(menu.editText(), "about B");
}

TEST_F(MacroMenu, WhileRecordingOnlyExecuteActs) {
    macro.StartRecording();
    MacroMenuModel menu(macro, 1);
    prompts.answer(ui::Answer::Yes);
    menu.removeSelected();
    menu.moveUp();
    menu.renameSelected();
    menu.import();
    EXPECT_FALSE(menu.stepThrough());
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(prompts.choosers().empty());
    EXPECT_TRUE(screen.asked.empty());
    EXPECT_TRUE(menu.execute());
    EXPECT_EQ(menu.choice().run, MacroMenuChoice::Run::Execute);
}

TEST_F(MacroMenu, ExecuteAsksWithThePlayingFlagSetAndChoosesOnlyOnYes) {
    const std::string question =
        "マクロ「C」を実行します。\nマクロを実行すると、画面を一度初期化します。\n"
        "実行してよろしいですか？";
    MacroMenuModel none(macro, -1);
    EXPECT_FALSE(none.execute());
    EXPECT_TRUE(prompts.messages().empty());

    MacroMenuModel menu(macro, 2);
    {
        PlayingWhenAsked probe(macro);
        EXPECT_FALSE(menu.execute());
        EXPECT_EQ(probe.playing, std::vector<bool>{true});
    }
    EXPECT_EQ(lastMessage(), question);
    EXPECT_FALSE(macro.isPlaying());
    EXPECT_EQ(menu.choice().run, MacroMenuChoice::Run::None);

    prompts.answer(ui::Answer::Yes);
    EXPECT_TRUE(menu.execute());
    EXPECT_EQ(menu.choice().run, MacroMenuChoice::Run::Execute);
    EXPECT_EQ(menu.choice().index, 2);
    EXPECT_EQ(windows.resets, 0) << "nothing is reset or run before the menu has closed";

    MacroMenuModel step(macro, 0);
    prompts.answer(ui::Answer::Yes);
    EXPECT_TRUE(step.stepThrough());
    EXPECT_EQ(step.choice().run, MacroMenuChoice::Run::StepThrough);
    EXPECT_EQ(step.choice().index, 0);
}

TEST_F(MacroMenu, ImportAddsTheFilesMacrosOfTheSameStructureOnly) {
    TempDir dir;
    app.StructDef() = everyItemType();
    ASSERT_EQ(macro.LoadStructureDefinition(), 1);
    macro.AddMacro("D", "", {"OpenLogTab"});
    const std::string path = dir.file("other.mcr");
    ASSERT_EQ(macro.WriteMacroFile(path), 1);
    ASSERT_EQ(macro.DeleteMacro(3), 1);

    MacroMenuModel menu(macro, 0);
    prompts.choose(std::nullopt);
    menu.import();
    EXPECT_EQ(macro.Macros().size(), 3u);
    ASSERT_EQ(prompts.choosers().size(), 1u);
    EXPECT_EQ(prompts.choosers()[0].kind, ui::ChooserKind::OpenFile);
    EXPECT_EQ(prompts.choosers()[0].filter.toStdString(), "ﾏｸﾛﾌｧｲﾙ (*.mcr)");

    // The same names are asked about once; Yes adds the new one. A name typed without its
    // extension names a macro file.
    prompts.choose(QString::fromStdString(dir.file("other")));
    prompts.answer(ui::Answer::Yes);
    menu.import();
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(menu.selected(), -1);

    // Another structure: its difference, and nothing added.
    ASSERT_EQ(macro.DeleteMacro(3), 1);
    app.StructDef().items.pop_back();
    app.StructDef().itemCount -= 1;
    ASSERT_EQ(macro.LoadStructureDefinition(), 1);
    prompts.choose(QString::fromStdString(path));
    menu.import();
    EXPECT_NE(lastMessage().find("項目数"), std::string::npos) << lastMessage();
    EXPECT_EQ(macro.macroNames(), (std::vector<std::string>{"A", "B", "C"}));
}

}  // namespace
}  // namespace zbq::test
