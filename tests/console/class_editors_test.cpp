// The class-list editors headless: the small-class editor's field rules, checks, overwrite by
// name, ordering and the working copy that Cancel drops; the middle and large editor's member
// list, marks, overwrite of the selected row and level-named steps; the recording of typed
// fields on focus-out and before OK.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/class_list_editor.h"
#include "console/class_small_editor.h"
#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/recording_macro.h"

namespace {

using Field = SmallClassEditor::Field;

struct Fixture {
    Fixture() {
        app.InitCategories(0);
        app.SetMacroPort(&macro);
    }
    ~Fixture() { app.SetMacroPort(nullptr); }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const zbq::ui::Message& m : prompts.messages()) {
            EXPECT_EQ(m.icon, zbq::ui::Icon::Information);
            EXPECT_EQ(m.caption.toStdString(), "ZEBRINE");
            texts.push_back(m.text.toStdString());
        }
        return texts;
    }
    void add(SmallClassEditor& e, const char* name, int op, const char* n1, const char* n2 = "") {
        e.setName(name);
        e.selectOperator(op);
        e.setTerm1(n1);
        e.setTerm2(n2);
        e.OnAdd();
    }

    zbq::ui::ScriptedPrompts prompts;
    zbq::test::RecordingMacro macro;
    CKWApp app;
};

TEST(SmallClassEditor, RowTextsFollowTheOperator) {
    const std::vector<SmallClassDefinition> rows = {
        {"A", 6, "1", "9"}, {"B", 2, "5", ""},     {"C", 9, "0", "1"}, {"D", 7, "a", "b"},
        {"E", 8, "x", "y"}, {"F", 1, "Brank", ""}, {"G", 12, "v", ""}};
    const std::vector<std::string> texts = {"\"A\"  [1,9]", "\"B\"  >=  5", "\"C\"  (0,1)",
                                            "\"D\"  (a,b]", "\"E\"  [x,y)", "\"F\"  !  Brank",
                                            "\"G\"  "};
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(SmallClassText(rows[i]), texts[i]);
}

TEST(SmallClassEditor, ChecksRefuseInOrderAndAddNothing) {
    Fixture f;
    SmallClassEditor e(f.app, {});
    e.OnAdd();
    e.setName("A");
    e.OnAdd();
    EXPECT_EQ(e.focusRequest(), Field::Operator);
    e.selectOperator(6);
    e.OnAdd();
    EXPECT_EQ(e.focusRequest(), Field::Term1);
    e.setTerm1("1");
    e.OnOverwrite();
    EXPECT_EQ(e.focusRequest(), Field::Term2);
    EXPECT_EQ(f.messages(),
              (std::vector<std::string>{"名称を入力して下さい", "条件を入力して下さい",
                                        "Ｘの値を入力して下さい", "Ｙの値を入力して下さい"}));
    EXPECT_TRUE(e.working().empty());
    e.setTerm2("9");
    e.OnAdd();
    EXPECT_EQ(e.working(), (std::vector<SmallClassDefinition>{{"A", 6, "1", "9"}}));
    EXPECT_TRUE(e.name().empty() && e.term1().empty() && e.op() == -1);
    EXPECT_EQ(e.focusRequest(), Field::Name);
}

TEST(SmallClassEditor, ATypedExistingNameOverwritesThatRowWhateverIsSelected) {
    Fixture f;
    SmallClassEditor e(f.app, {{"A", 0, "1", ""}, {"B", 0, "2", ""}, {"C", 0, "3", ""}});
    e.setName("B");
    EXPECT_TRUE(e.overwriteEnabled());
    EXPECT_FALSE(e.addEnabled());
    e.setName("Z");
    EXPECT_TRUE(e.addEnabled());
    e.selectRow(0);
    e.setName("C");
    e.selectOperator(3);
    e.setTerm1("7");
    e.OnOverwrite();
    EXPECT_EQ(e.working()[0], (SmallClassDefinition{"A", 0, "1", ""}));
    EXPECT_EQ(e.working()[2], (SmallClassDefinition{"C", 3, "7", ""}));
    EXPECT_TRUE(e.addEnabled()) << "the fields were cleared";

    // A name no row has replaces nothing, yet the step is the user's.
    f.add(e, "Q", 0, "1");
    e.setName("none");
    e.selectOperator(0);
    e.setTerm1("x");
    e.OnOverwrite();
    EXPECT_EQ(e.working().size(), 4u);
    EXPECT_EQ(f.macro.steps.back(), "EditSmallClass");
}

TEST(SmallClassEditor, OperatorAndReservedWordsShapeTheOtherFields) {
    Fixture f;
    SmallClassEditor e(f.app, {});
    e.selectOperator(6);
    EXPECT_TRUE(e.term2Enabled());
    e.setTerm2("9");
    e.selectOperator(0);
    EXPECT_FALSE(e.term2Enabled());
    EXPECT_EQ(e.term2(), "") << "=n1 empties n2";

    e.selectOperator(3);
    e.setTerm1("Normal");
    EXPECT_EQ(e.op(), -1) << "a reserved word drops >n1";
    e.selectOperator(0);
    e.setTerm1("Others");
    EXPECT_EQ(e.op(), 0) << "\"=\" stays";
    e.selectOperator(3);
    EXPECT_EQ(e.term1(), "") << ">n1 empties a reserved n1";
    e.setTerm1("5");
    e.selectOperator(2);
    EXPECT_EQ(e.term1(), "5");
}

TEST(SmallClassEditor, UpDownDeleteActOnTheSelectionAndRecordOnlyWhenTheyActed) {
    Fixture f;
    SmallClassEditor e(f.app, {{"A", 0, "1", ""}, {"B", 0, "2", ""}, {"C", 0, "3", ""}});
    f.macro.steps.clear();
    auto names = [&] {
        std::string s;
        for (const SmallClassDefinition& d : e.working())
            s += d.name;
        return s;
    };
    e.OnUp();
    e.selectRow(0);
    e.OnUp();
    e.selectRow(2);
    e.OnDown();
    EXPECT_EQ(names(), "ABC");
    EXPECT_TRUE(f.macro.steps.empty());
    e.OnUp();
    EXPECT_EQ(names(), "ACB");
    EXPECT_EQ(e.selectedRow(), 1);
    e.OnDown();
    EXPECT_EQ(names(), "ABC");
    EXPECT_EQ(e.selectedRow(), 2);
    e.OnDelete();
    EXPECT_EQ(names(), "AB");
    EXPECT_FALSE(e.rowActionsEnabled());
    e.OnDelete();
    EXPECT_EQ(f.macro.steps, (std::vector<std::string>{"UpSmallClass,2", "DownSmallClass,1",
                                                       "DeleteSmallClass,2"}));
}

TEST(SmallClassEditor, ShowEntryFillsTheFieldsAndOnlyOKHandsTheCopyOver) {
    Fixture f;
    const std::vector<SmallClassDefinition> target = {{"A", 6, "1", "9"}, {"B", 0, "Others", ""}};
    SmallClassEditor e(f.app, target);
    e.selectRow(0);
    e.OnDblclkList();
    EXPECT_EQ(e.name(), "A");
    EXPECT_EQ(e.op(), 6);
    EXPECT_EQ(e.term1(), "1");
    EXPECT_EQ(e.term2(), "9");
    EXPECT_TRUE(e.overwriteEnabled());
    for (const char* name : {"X", "Y", "Z"})
        f.add(e, name, 0, "1");
    e.OnCancel();
    EXPECT_EQ(target.size(), 2u) << "the target is the caller's, untouched";
    SmallClassEditor again(f.app, target);
    f.add(again, "X", 0, "1");
    EXPECT_EQ(again.OnOK().size(), 3u);
}

TEST(SmallClassEditor, TypedFieldsRecordOnFocusOutAndBeforeOK) {
    Fixture f;
    f.macro.steps.clear();
    {
        SmallClassEditor e(f.app, {});
        e.focusIn(Field::Name);
        e.focusOut(Field::Name);
        e.focusIn(Field::Name);
        e.setName("A");
        e.focusOut(Field::Name);
        e.focusIn(Field::Term1);
        e.setTerm1("1");
        e.focusOut(Field::Term1);
        e.focusIn(Field::Term2);
        e.setTerm2("x");
        e.OnOK();
    }
    EXPECT_EQ(f.macro.steps,
              (std::vector<std::string>{"DispEditSmallClassDialog", "InputSmallClassName,\"A\"",
                                        "InputSmallClassTerm1,\"1\"", "InputSmallClassTerm2,\"x\"",
                                        "OKSmallClassDialog"}));
}

// Names stop where the settings blob's field does, values where the dialog's does, never inside
// a character; a text no line of a category file can hold is not taken.
TEST(SmallClassEditor, HeldTextsStopAtTheirLimitOnACharacterBoundary) {
    Fixture f;
    SmallClassEditor e(f.app, {});
    const std::string wide = zbq::cp932::literal("あ");
    std::string name = "x";
    for (int i = 0; i < 150; ++i)
        name += wide;
    e.setName(name);
    EXPECT_EQ(e.name().size(), 127u);
    e.setTerm1(name);
    EXPECT_EQ(e.term1().size(), 255u);
    e.setTerm2(std::string(300, '1'));
    EXPECT_EQ(e.term2().size(), 255u);
    e.setName("x" + name);
    EXPECT_EQ(e.name().size(), 126u) << "never half a character";

    for (const std::string& broken :
         {std::string("a\r"), std::string("\r"), std::string("a\nb"), std::string("\0", 1)}) {
        e.setName("kept");
        e.setTerm1("1");
        e.setName(broken);
        e.setTerm1(broken);
        EXPECT_EQ(e.name(), "kept");
        EXPECT_EQ(e.term1(), "1");
    }
}

TEST(ClassListEditor, MembersAreTheChoicesThenUndefined) {
    Fixture f;
    ClassListEditor middle(f.app, ClassListEditor::Level::Middle, {}, {"A", "B", "Others"});
    EXPECT_EQ(
        middle.members(),
        (std::vector<std::string>{"A", "B", "Others", zbq::cp932::literal("未定義のデータです")}));
    EXPECT_EQ(std::string(middle.title()), "中分類編集");
    EXPECT_EQ(f.macro.steps, std::vector<std::string>{"DispEditMiddleClassDialog"});
}

TEST(ClassListEditor, UnknownMembersAreMarkedAndShowAsUndefined) {
    Fixture f;
    ClassListEditor e(f.app, ClassListEditor::Level::Middle, {{"M", "A"}, {"N", "gone"}},
                      {"A", "AB", "Others"});
    const std::vector<ClassListEditor::Row> rows = e.rows();
    EXPECT_EQ(rows[0].text, "\"M\"  =  \"A\"");
    EXPECT_TRUE(rows[0].known);
    EXPECT_FALSE(rows[1].known);
    e.selectRow(1);
    e.OnDblclkList();
    EXPECT_EQ(e.name(), "N");
    EXPECT_EQ(e.memberIndex(), 3);
    e.selectRow(0);
    e.ShowEntry(0);
    EXPECT_EQ(e.memberText(), "A") << "its own entry, not the first that begins with it";

    // Adding the undefined entry stores its text as the member.
    e.setName("U");
    e.selectMember(3);
    e.OnAdd();
    EXPECT_EQ(e.working().back().member, zbq::cp932::literal("未定義のデータです"));
    EXPECT_FALSE(e.rows().back().known);
}

TEST(ClassListEditor, ChecksOverwriteAndLevelNamedSteps) {
    Fixture f;
    ClassListEditor e(f.app, ClassListEditor::Level::Large, {{"L", "M"}, {"K", "N"}},
                      {"M", "N", "Others"});
    e.OnAdd();
    e.setName("X");
    e.OnAdd();
    EXPECT_EQ(f.messages(),
              (std::vector<std::string>{"名称を入力して下さい", "定義を入力して下さい"}));
    EXPECT_EQ(e.focusRequest(), ClassListEditor::Field::Member);
    e.selectMember(2);
    e.OnOverwrite();
    EXPECT_EQ(e.working().size(), 2u) << "no row selected: nothing overwritten";
    e.selectRow(1);
    e.OnOverwrite();
    EXPECT_EQ(e.working()[1], (ClassGrouping{"X", "Others"}));
    e.OnDown();  // the last row: written, nothing moves
    EXPECT_EQ(e.working()[1], (ClassGrouping{"X", "Others"}));
    e.OnUp();
    e.OnClear();
    e.focusIn(ClassListEditor::Field::Name);
    e.setName("Z");
    e.OnCancel();
    EXPECT_EQ(f.macro.steps,
              (std::vector<std::string>{"DispEditLargeClassDialog", "SelectLargeClassOperator,2",
                                        "EditLargeClass", "DownLargeClass,1", "UpLargeClass,1",
                                        "ClearLargeClass", "InputLargeClassName,\"Z\"",
                                        "CancelLargeClassDialog"}));
}

}  // namespace
