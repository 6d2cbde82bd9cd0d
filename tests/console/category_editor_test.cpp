// The category editor and list: the node texts and marks, the type change, clear, reset,
// register, import and export through the frame, the list's menu, and their steps.
#include "tests/console/category_fixture.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

#include "console/category_class_dialogs.h"
#include "console/category_editor.h"
#include "console/category_file.h"
#include "console/category_form_view.h"
#include "console/category_list_model.h"
#include "tests/support/ordinary_user.h"

namespace zbq::test {
namespace {

using cp932::literal;

const std::vector<std::string> kReserved = {"Brank", "Error", "Normal", "Others"};

std::vector<std::string> texts(const std::vector<CategoryNode>& nodes) {
    std::vector<std::string> out;
    for (const CategoryNode& n : nodes)
        out.push_back(n.text + (n.marked ? " *" : ""));
    return out;
}

TEST(CategoryEditorModel, NodeTextsForEveryOperator) {
    const std::pair<SmallClassDefinition, const char*> cases[] = {
        {{"A", 6, "1", "9"}, "\"A\"  [1,9]"}, {{"A", 7, "1", "9"}, "\"A\"  (1,9]"},
        {{"A", 8, "1", "9"}, "\"A\"  [1,9)"}, {{"A", 9, "1", "9"}, "\"A\"  (1,9)"},
        {{"B", 2, "5", ""}, "\"B\"  >=  5"},  {{"B", 0, "Normal", ""}, "\"B\"  =  Normal"},
        {{"B", 1, "x", ""}, "\"B\"  !  x"},   {{"B", 5, "3", ""}, "\"B\"  <  3"},
        {{"B", 12, "3", ""}, "\"B\"  "},
    };
    for (const auto& [small, text] : cases)
        EXPECT_EQ(smallClassText(small), text);
    EXPECT_EQ(groupingText({"M", "x"}, true), literal("\"M\"  =  \"x＜未定義です＞\""));
}

TEST(CategoryEditorModel, TypeChangeMarksTheFirstFaultOfTheFirstFailingLevel) {
    CategoryEditor editor(kReserved);
    const CategoryDefinition d = categoryOf("c", 1, {{"a", 2, "5", ""}, {"b", 0, "x", ""}},
                                            {{"M", "a"}, {"N", "zz"}}, {{"L", "M"}});
    std::optional<CategoryCheckFailure> f = editor.Load(d, 2);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->message, "VAL1の値がINT値として適当ではありません");
    EXPECT_EQ(texts(editor.nodes(ClassLevel::Small)),
              (std::vector<std::string>{"\"a\"  >=  5", "\"b\"  =  x *"}));
    // The middle level is not checked: it keeps the rebuild's mark of the undefined member.
    EXPECT_EQ(
        texts(editor.nodes(ClassLevel::Middle)),
        (std::vector<std::string>{"\"M\"  =  \"a\"", literal("\"N\"  =  \"zz＜未定義です＞\" *")}));

    f = editor.ApplyType(5);  // String: ">=" is refused on row 0
    ASSERT_TRUE(f);
    EXPECT_EQ(f->message, "String定義で使用出来る演算子は\"=\"または\"!\"のみです");
    EXPECT_EQ(texts(editor.nodes(ClassLevel::Small)),
              (std::vector<std::string>{"\"a\"  >=  5 *", "\"b\"  =  x"}));

    f = editor.ApplyType(-1);  // the blank entry: no value tests, the middle check runs
    ASSERT_TRUE(f);
    EXPECT_EQ(f->message, "指定された値は小分類名に存在しません");
    EXPECT_EQ(f->row, 1);
    EXPECT_EQ(texts(editor.nodes(ClassLevel::Small)),
              (std::vector<std::string>{"\"a\"  >=  5", "\"b\"  =  x"}));
    EXPECT_EQ(editor.index(), 2);
    EXPECT_EQ(editor.memberChoices(ClassLevel::Middle),
              (std::vector<std::string>{"a", "b", "Others"}));
}

TEST(CategoryEditorModel, MemberChoicesAreDistinctInFirstOrder) {
    CategoryEditor editor(kReserved);
    editor.Load(categoryOf("c", 0,
                           {{"A", 0, "Normal", ""},
                            {"B", 0, "Error", ""},
                            {"A", 0, "Brank", ""},
                            {"C", 0, "Others", ""}},
                           {{"M", "A"}, {"N", "B"}, {"M", "C"}}),
                0);
    EXPECT_EQ(editor.memberChoices(ClassLevel::Middle),
              (std::vector<std::string>{"A", "B", "C", "Others"}));
    EXPECT_EQ(editor.memberChoices(ClassLevel::Large),
              (std::vector<std::string>{"M", "N", "Others"}));
}

// --- The frame with its list and editor ---

TEST_F(CategoryFrameTest, ImportingTheSecondNameReplacesItInPlaceAndShowsTheLast) {
    const std::string path = h.file("b.ctg");
    writeBytes(path, CategoryFile::WriteCategory(
                         categoryOf("B", 1, {{"b", 2, "5", ""}, {"c", 0, "7", ""}}, {{"M", "x"}})));
    frame->list()->OnImport();  // cancelled: nothing
    h.prompts().choose(QString::fromStdString(path));
    frame->list()->OnImport();
    EXPECT_EQ(listNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(frame->list()->topLevelItem(1)->text(2).toStdString(), "2");
    EXPECT_EQ(appNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(h.app().GetCategoryList()[1].smallClasses.size(), 2u);
    EXPECT_EQ(frame->editor()->model().index(), 2);
    EXPECT_EQ(frame->editor()->NameText(), "C");
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"ImportCategory,\"" + path + "\""}));

    frame->editor()->LoadCategory(1);
    EXPECT_EQ(texts(frame->editor()->model().nodes(ClassLevel::Middle)),
              (std::vector<std::string>{literal("\"M\"  =  \"x＜未定義です＞\" *")}));
    EXPECT_EQ(shownMessages().back(), "指定された値は小分類名に存在しません");
}

TEST_F(CategoryFrameTest, ADamagedImportChangesNothingAndSaysWhichLine) {
    const std::string path = h.file("bad.ctg");
    writeBytes(path, "Z\n1\n2\n0\n0\nz\n1\n\n0\n");
    frame->editor()->LoadCategory(0);
    const std::string before = h.snapshot();
    EXPECT_FALSE(frame->ImportCategory(path, false));
    EXPECT_EQ(shownMessages().back(), "カテゴリファイル[" + path + "]の3行目が不正です。");
    EXPECT_EQ(h.snapshot(), before);
    EXPECT_EQ(listNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(frame->editor()->NameText(), "A");
}

TEST_F(CategoryFrameTest, ExportWritesTheRowAndKeepsAReadOnlyFile) {
    const std::string path = h.file("out.ctg");
    frame->list()->SelectRow(1);
    h.prompts().choose(QString::fromStdString(h.file("out")));  // the extension is added
    frame->list()->RunCommand(COlapListView::kExport);
    EXPECT_EQ(fileBytes(path), CategoryFile::WriteCategory(h.app().GetCategoryList()[1]));
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"ExportCategory,1,\"" + path + "\""}));

    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    {
        AsOrdinaryUser user({path, h.programDir()});
        ASSERT_TRUE(user.ok());
        EXPECT_FALSE(frame->ExportCategory(0, path));
    }
    EXPECT_EQ(shownMessages().back(), "ファイルの書出しに失敗しました。");
    EXPECT_EQ(fileBytes(path), CategoryFile::WriteCategory(h.app().GetCategoryList()[1]));
    EXPECT_FALSE(frame->ExportCategory(7, h.file("none.ctg")));
    EXPECT_FALSE(std::filesystem::exists(h.file("none.ctg")));
    EXPECT_EQ(macro.steps.size(), 1u);
}

TEST_F(CategoryFrameTest, RegisterReplacesByNameOrAppendsAndChecksFirst) {
    COlapFormView& editor = *frame->editor();
    editor.LoadCategory(0);
    editor.SetNameText("B");
    editor.OnRegister();
    EXPECT_EQ(appNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(h.app().GetCategoryList()[1].smallClasses[0].name, "a");
    EXPECT_EQ(editor.model().index(), 0) << "register keeps the index";

    editor.SetNameText("");
    editor.OnRegister();  // no name: nothing, silently
    editor.model().definition().smallClasses.push_back({"a", 0, "1", ""});
    editor.SetNameText("D");
    editor.OnRegister();  // a repeated class name
    EXPECT_EQ(shownMessages().back(), "同一の定義名が存在します");
    editor.model().definition().smallClasses.pop_back();
    editor.OnRegister();
    EXPECT_EQ(appNames(), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"EntryCategory", "EntryCategory"}));

    h.app().SetDataLoaded(0);
    editor.SetNameText("E");
    editor.OnRegister();
    editor.OnClear();
    EXPECT_EQ(appNames().size(), 4u);
    EXPECT_EQ(editor.NameText(), "E");
}

TEST_F(CategoryFrameTest, DeleteFollowsTheCrossSettingsByName) {
    CrossSettings settings;
    settings.xCategory = 2;  // C
    settings.yCategory = 1;  // B
    h.app().SetCrossSettings(settings);
    frame->editor()->LoadCategory(1);
    frame->list()->SelectRow(1);
    frame->list()->RunCommand(COlapListView::kDelete);
    EXPECT_EQ(appNames(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(h.app().GetCrossSettings().xCategory, 1);
    EXPECT_EQ(h.app().GetCrossSettings().yCategory, -1);
    EXPECT_EQ(frame->editor()->NameText(), "B") << "the editor keeps what it shows";
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"DeleteCategory,1"}));

    // Reset with an index past the set's end reloads nothing and is still recorded.
    frame->editor()->SetNameText("typed");
    frame->list()->OnDelete(1);
    frame->editor()->OnReset();
    EXPECT_EQ(frame->editor()->NameText(), "typed");
    frame->list()->OnDelete(-1);
    EXPECT_EQ(macro.steps,
              (std::vector<std::string>{"DeleteCategory,1", "DeleteCategory,1", "ResetCategory"}));
}

TEST_F(CategoryFrameTest, ClearResetAndTypeChangeRecordTheirSteps) {
    COlapFormView& editor = *frame->editor();
    editor.LoadCategory(1);
    EXPECT_EQ(editor.TypeEntry(), 2);
    EXPECT_TRUE(macro.steps.empty()) << "loading records nothing";
    editor.OnSelchangeType(6);  // String: ">=" on the only row
    EXPECT_EQ(shownMessages().back(), "String定義で使用出来る演算子は\"=\"または\"!\"のみです");
    EXPECT_TRUE(editor.tree()->topLevelItem(0)->child(0)->data(0, Qt::UserRole).toBool());
    editor.OnSelchangeType(8);  // not an entry
    editor.OnReset();
    EXPECT_EQ(editor.TypeEntry(), 2);
    editor.OnClear();
    EXPECT_EQ(editor.tree()->topLevelItemCount(), 0);
    EXPECT_EQ(editor.model().index(), -1);
    editor.OnReset();
    EXPECT_EQ(editor.NameText(), "");
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"SelectCategoryType,6", "ResetCategory",
                                                     "ClearCategory", "ResetCategory"}));
    // A new set clears the form without a step.
    editor.LoadCategory(0);
    frame->ResetCategorySet();
    EXPECT_EQ(editor.NameText(), "");
    EXPECT_EQ(macro.steps.size(), 4u);
}

TEST_F(CategoryFrameTest, NameFieldRecordsAChangedTextOnLeaving) {
    COlapFormView& editor = *frame->editor();
    editor.OnNameFocusIn();
    editor.OnNameFocusOut();
    editor.OnNameFocusIn();
    editor.SetNameText(literal("年齢") + std::string(70, 'x'));
    EXPECT_EQ(editor.model().definition().name.size(), kCategoryNameTyped);
    editor.OnNameFocusOut();
    ASSERT_EQ(macro.steps.size(), 1u);
    EXPECT_EQ(macro.steps[0], "InputCategoryName,\"" + editor.model().definition().name + "\"");
}

TEST_F(CategoryFrameTest, TypingPastTheLimitOrOutsideCp932IsRefused) {
    COlapFormView& editor = *frame->editor();
    QLineEdit& field = *editor.nameEdit();
    const auto type = [&](const QString& text) {
        field.setText(text);
        field.textEdited(text);
    };
    type(QString::fromUtf8("年齢"));
    EXPECT_EQ(editor.model().definition().name, literal("年齢"));
    type(QString(65, QChar('x')));
    type(QString::fromUtf8("年齢\u00e9"));  // é: CP932 has no such character
    EXPECT_EQ(h.prompts().beeps(), 2);
    EXPECT_EQ(field.text(), QString::fromUtf8("年齢"));
    EXPECT_EQ(editor.model().definition().name, literal("年齢"));

    // A definition read from a file may have a longer name: it is shown and kept whole.
    frame->set()->Put(categoryOf(std::string(127, 'n'), 1, {{"a", 0, "1", ""}}));
    editor.LoadCategory(3);
    EXPECT_EQ(editor.NameText(), std::string(127, 'n'));
    editor.OnRegister();
    EXPECT_EQ(appNames().size(), 4u);
}

// The recording indicator's "可変": typed names and chosen paths are recorded as "???".
class VariableMacro : public RecordingMacro {
public:
    bool isVariable() const override { return true; }
};

TEST_F(CategoryFrameTest, VariableRecordingAsksForNamesAndPathsAtReplay) {
    VariableMacro variable;
    h.app().SetMacroPort(&variable);
    const std::string path = h.file("v.ctg");
    ASSERT_TRUE(frame->ExportCategory(0, path));
    ASSERT_TRUE(frame->ImportCategory(path, true));
    frame->editor()->OnNameFocusIn();
    frame->editor()->SetNameText("new");
    frame->editor()->OnNameFocusOut();
    EXPECT_EQ(variable.steps,
              (std::vector<std::string>{"ExportCategory,0,\"???\"", "ImportCategory,\"???\"",
                                        "InputCategoryName,\"???\""}));
    h.app().SetMacroPort(&macro);
}

TEST_F(CategoryFrameTest, ListRowsShowTypeAndCounts) {
    CategoryDefinition none = categoryOf("N", -1, {{"n", 0, "x", ""}}, {{"M", "n"}, {"M", "z"}});
    frame->set()->Put(none);
    frame->list()->FillList();
    const std::vector<CategoryListRow> rows = categoryListRows(*frame->set());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (CategoryListRow{1, {"A", "Integer", "1", "0", "0"}}));
    EXPECT_EQ(rows[3], (CategoryListRow{-1, {"N", "", "1", "2", "0"}}));
    EXPECT_EQ(frame->list()->topLevelItem(3)->text(3).toStdString(), "2");
    EXPECT_EQ(appNames().back(), "N");
}

class FakeClassDialogs : public CategoryClassDialogs {
public:
    void EditSmallClasses(QWidget*, std::vector<SmallClassDefinition>& classes,
                          const std::vector<std::string>& reserved) override {
        reservedSeen = reserved;
        classes.push_back({"new", 0, "Others", ""});
    }
    void EditClassRows(QWidget*, std::vector<ClassGrouping>& rows,
                       const std::vector<std::string>& choices, std::int32_t level) override {
        choicesSeen = choices;
        levelSeen = level;
        rows.push_back({"G", choices.front()});
    }
    std::vector<std::string> reservedSeen, choicesSeen;
    std::int32_t levelSeen = -1;
};

TEST_F(CategoryFrameTest, ClassButtonsEditTheCopyThroughTheDialogHook) {
    FakeClassDialogs dialogs;
    CategoryClassDialogs* previous = setCategoryClassDialogs(&dialogs);
    COlapFormView& editor = *frame->editor();
    editor.LoadCategory(0);
    editor.button(COlapFormView::kSmall)->click();
    EXPECT_EQ(dialogs.reservedSeen, kReserved);
    editor.button(COlapFormView::kMiddle)->click();
    EXPECT_EQ(dialogs.choicesSeen, (std::vector<std::string>{"a", "new", "Others"}));
    EXPECT_EQ(dialogs.levelSeen, 1);
    editor.button(COlapFormView::kLarge)->click();
    EXPECT_EQ(dialogs.choicesSeen, (std::vector<std::string>{"G", "Others"}));
    EXPECT_EQ(dialogs.levelSeen, 0);
    EXPECT_EQ(editor.tree()->topLevelItem(2)->child(0)->text(0).toStdString(), "\"G\"  =  \"G\"");
    EXPECT_EQ(h.app().GetCategoryList()[0].smallClasses.size(), 1u) << "the set is untouched";
    setCategoryClassDialogs(previous);
}

TEST_F(CategoryFrameTest, FirstRightClickSelectsTheMenuComesFromTheSecond) {
    COlapListView& list = *frame->list();
    std::vector<QPoint> menus;
    list.SetMenuChooser([&](const QPoint& at) {
        menus.push_back(at);
        return std::int32_t{COlapListView::kShowDefinition};
    });
    list.resize(400, 200);
    const QPoint onRow2 = list.visualItemRect(list.topLevelItem(2)).center();
    const QPoint onRow0 = list.visualItemRect(list.topLevelItem(0)).center();
    list.OnRightButtonDown(onRow2);
    EXPECT_EQ(list.SelectedRow(), 2);
    EXPECT_TRUE(menus.empty());
    list.OnRightButtonDown(onRow0);
    EXPECT_EQ(menus.size(), 1u);
    EXPECT_EQ(list.SelectedRow(), 0);
    EXPECT_EQ(frame->editor()->NameText(), "A");
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"DispCategory,0"}));
    list.OnRightButtonDown(QPoint(5, 190));  // below the rows
    EXPECT_EQ(menus.size(), 1u);
}

}  // namespace
}  // namespace zbq::test
