// The set and filter commands played on the real console: each does what the user's gesture
// does, and each refusal stops the run with its message.
#include "tests/console/data_sel_fixture.h"

#include <QComboBox>
#include <QCoreApplication>

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <sstream>

#include "console/filter_cond_dlg.h"
#include "macro/parameter_asker.h"

namespace zbq::test {
namespace {

const std::string kStop = "\nマクロの実行を中止します。";
const std::string kNoWindow = "画面が表示されていないため、マクロを実行できません。" + kStop;

std::string noSet(const std::string& command, int setNo) {
    return "コマンド[" + command + "]で指定されたNo.[" + std::to_string(setNo) +
           "]の集合は存在しません。" + kStop;
}
std::string outOfRange(const std::string& command) {
    return "コマンド[" + command + "]のパラメータが範囲を超えています。" + kStop;
}

struct Asker : ParameterAsker {
    std::string answer;
    std::vector<std::string> prompts;
    std::string askMacroParameter(std::string_view prompt, std::int32_t) override {
        prompts.emplace_back(prompt);
        return answer;
    }
};

class Players : public DataSelTest {
protected:
    Players() {
        macro->SetParameterAsker(&asker);
        openWindows();
    }
    // Sets 1 (men) and 2 (30 and older) at the top of set 0.
    void twoSets() {
        filter(codeIs("1"));
        page->SelectSet(0);
        filter(ageAtLeast("30"));
        refreshes.clear();
    }
    Asker asker;
};

TEST_F(Players, SetOperationsFollowTheNamesMacroFilesHold) {
    twoSets();
    const SetRecord a = app().GetSetRecord(1), b = app().GetSetRecord(2);
    EXPECT_EQ(play("DifferenceSet,1,2"), 1);
    const SetRecord product = app().GetSetRecord(3);
    EXPECT_EQ(product.text1, "No.1 * No.2");
    EXPECT_EQ(page->FindSetItem(3)->parent(), page->FindSetItem(1));
    EXPECT_EQ(refreshes, (RefreshLog{"RebuildGrid(1)", "item", "cross", "molap"}));
    EXPECT_EQ(play("ProductSet,1,2"), 1);
    const SetRecord difference = app().GetSetRecord(4);
    EXPECT_EQ(difference.text1, "No.1 - No.2");
    for (std::int32_t r = 0; r < AppHarness::kFixtureRecords; ++r) {
        EXPECT_EQ(product.map->test(r), a.map->test(r) && b.map->test(r)) << r;
        EXPECT_EQ(difference.map->test(r), a.map->test(r) && !b.map->test(r)) << r;
    }
    EXPECT_EQ(play("UnionSet,1,1"), 1);  // a set with itself
    EXPECT_EQ(app().GetSetRecord(5).recordCount, a.recordCount);
    EXPECT_EQ(play("ComplementSet,1,2"), 1);
    EXPECT_EQ(app().GetSetRecord(6).text1, "NOT No.2");
    EXPECT_EQ(app().GetSetRecord(6).level, 0);
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(steps().empty());  // players record nothing
}

TEST_F(Players, SetStepsNamingNoSetStopTheRun) {
    twoSets();
    struct Case {
        const char* step;
        std::string message;
    };
    const Case cases[] = {
        {"ComplementSet,9,2", noSet("ComplementSet", 9)},  // A is checked although unused
        {"UnionSet,1,9", noSet("UnionSet", 9)},
        {"SelectSet,7", noSet("SelectSet", 7)},
        {"DeleteSet,7", noSet("DeleteSet", 7)},
        {"InputSetName,7,\"x\"", noSet("InputSetName", 7)},
        // The whole data set, the current set and its ancestors are never deleted.
        {"DeleteSet,0", "コマンド[DeleteSet]のパラメータが不正です。" + kStop},
        {"DeleteSet,2", "コマンド[DeleteSet]のパラメータが不正です。" + kStop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        harness.prompts().clear();
        EXPECT_EQ(play(c.step), 0);
        EXPECT_EQ(messages(), std::vector<std::string>{c.message});
    }
    EXPECT_EQ(app().Sets().size(), 3u);
}

TEST_F(Players, SelectDeleteAndRenameActOnTheirSet) {
    twoSets();
    EXPECT_EQ(play("SelectSet,1"), 1);
    EXPECT_EQ(app().KWmapGet(), app().GetSetRecord(1).map);
    EXPECT_EQ(play("SelectSet,0"), 1);
    EXPECT_EQ(app().Search().KWgetDataCount(), AppHarness::kFixtureRecords);
    EXPECT_EQ(play("DeleteSet,1"), 1);
    EXPECT_EQ(play("SelectSet,1"), 0);
    EXPECT_EQ(messages().back(), noSet("SelectSet", 1));

    asker.answer = cp("高齢者");
    EXPECT_EQ(play("InputSetName,2,???"), 1);
    EXPECT_EQ(asker.prompts,
              std::vector<std::string>{"[集合名編集]: No.2 の集合名を入力して下さい。"});
    EXPECT_EQ(page->FindSetItem(2)->text(0), QString::fromUtf8("高齢者"));
    EXPECT_EQ(app().GetSetRecord(2).text2, cp("高齢者"));
    EXPECT_EQ(play("SelectSet,2"), 1);  // still found by its number

    asker.answer.clear();
    EXPECT_EQ(play("InputSetName,2,???"), 0);
    EXPECT_EQ(messages().back(),
              "コマンド[InputSetName]のパラメータに集合名が指定されていません。" + kStop);
    EXPECT_EQ(app().GetSetRecord(2).text2, cp("高齢者"));
}

TEST_F(Players, ARenamedCaptionIsExactlyTheAnswerAfterSaveAndReopen) {
    twoSets();
    asker.answer = cp("高齢者の集合");
    ASSERT_EQ(play("InputSetName,2,???"), 1);
    const std::string path = harness.file("renamed.zbq");
    app().SetSavePath(path);
    ASSERT_EQ(app().SaveDataAndMacro("", 0), 1);

    macro.reset();
    frame.reset();
    harness.usePorts(nullptr, nullptr, nullptr);
    ASSERT_TRUE(harness.restart({path}));
    EXPECT_EQ(app().GetSetRecord(2).number, 2);
    EXPECT_EQ(app().GetSetRecord(2).text2, cp("高齢者の集合"));
}

TEST_F(Players, TheTreesOpenAndCloseCommands) {
    twoSets();
    EXPECT_EQ(play("PermitSetCollapse"), 1);
    EXPECT_FALSE(page->CollapseAllowed());
    EXPECT_EQ(play("PermitSetCollapse"), 1);
    EXPECT_EQ(play("CollapseAllSet"), 1);
    EXPECT_FALSE(page->FindSetItem(0)->isExpanded());
    EXPECT_EQ(play("ExpandAllSet"), 1);
    EXPECT_TRUE(page->FindSetItem(0)->isExpanded());
}

// --- Filters ---

CFilterCondDlg* dialogOf(CKWApp& app) {
    return qobject_cast<CFilterCondDlg*>(app.windows().playerDialog(PlayerDialog::Filter));
}

TEST_F(Players, ARecordedDialogSessionStoresTheConditionAndFilters) {
    for (const char* step : {"DispAddFilterDialog", "InputFilterItem,2", "SelectFilterOperater1,3",
                             "InputFilterTerm1,\"30\"", "OKFilterDialog"})
        ASSERT_EQ(play(step), 1) << step;
    EXPECT_EQ(app().GetSearchConditions(), std::vector<SearchCondition>{ageAtLeast("30")});
    EXPECT_EQ(dialogOf(app()), nullptr);
    EXPECT_TRUE(page->button(1014)->isEnabled());
    EXPECT_EQ(play("SelectFilterAndOr,1"), 1);
    EXPECT_EQ(page->Join(), FilterJoin::Or);
    EXPECT_EQ(play("ExecuteFilter"), 1);
    EXPECT_EQ(app().GetSetRecord(1).text1, cp("年齢"));

    // Editing the row replaces its condition.
    for (const char* step :
         {"DispEditFilterDialog,0", "SelectFilterOperater1,7", "SelectFilterOperater2,0",
          "InputFilterTerm2,\"50\"", "OKFilterDialog"})
        ASSERT_EQ(play(step), 1) << step;
    EXPECT_EQ(app().GetSearchConditions(),
              (std::vector<SearchCondition>{SearchCondition{2, 7, 0, "30", "50", 2}}));
    EXPECT_TRUE(messages().empty());
}

TEST_F(Players, DialogStepsRefuseWithoutADialogOrOutOfRange) {
    app().SetSearchConditions({codeIs("1")});
    page->FillConditions();
    struct Case {
        const char* step;
        std::string message;
    };
    const Case cases[] = {
        {"InputFilterItem,0", kNoWindow},
        {"OKFilterDialog", kNoWindow},
        {"SelectFilterAndOr,2", outOfRange("SelectFilterAndOr")},
        {"SelectFilterAndOr,-1", outOfRange("SelectFilterAndOr")},
        {"DeleteFilter,1", outOfRange("DeleteFilter")},  // a row equal to the number of rows
        {"DispEditFilterDialog,-1", outOfRange("DispEditFilterDialog")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        harness.prompts().clear();
        EXPECT_EQ(play(c.step), 0);
        EXPECT_EQ(messages(), std::vector<std::string>{c.message});
    }

    ASSERT_EQ(play("DispAddFilterDialog"), 1);
    harness.prompts().clear();
    EXPECT_EQ(play("InputFilterItem,7"), 0);  // seven items: 0 to 6
    EXPECT_EQ(messages(), std::vector<std::string>{outOfRange("InputFilterItem")});
    EXPECT_EQ(play("SelectCodeStr,2"), 0);
    EXPECT_EQ(play("SelectCodeStr,1"), 1);

    // An empty value empties the box; "???" asks with the box's own prompt.
    EXPECT_EQ(play("InputFilterTerm1,\"\""), 1);
    EXPECT_EQ(dialogOf(app())->value1Edit()->text(), QString());
    asker.answer = "42";
    ASSERT_EQ(play("InputFilterItem,2"), 1);
    EXPECT_EQ(play("InputFilterTerm2,???"), 1);
    EXPECT_EQ(asker.prompts, std::vector<std::string>{"[フィルタ条件２]: 値を入力して下さい。"});
    EXPECT_EQ(dialogOf(app())->value2Edit()->text(), QString::fromUtf8("42"));

    // OK that refuses still ends the dialog, and the run goes on.
    harness.prompts().clear();
    EXPECT_EQ(play("OKFilterDialog"), 1);
    EXPECT_EQ(messages(), std::vector<std::string>{"条件を選択して下さい"});
    EXPECT_EQ(dialogOf(app()), nullptr);
    EXPECT_EQ(app().GetSearchConditions().size(), 1u);

    EXPECT_EQ(play("DeleteFilter,0"), 1);  // asks nothing
    EXPECT_TRUE(app().GetSearchConditions().empty());
    EXPECT_FALSE(page->button(1014)->isEnabled());
}

TEST_F(Players, ASecondDialogOpensBesideTheFirstAndThePageEndsBoth) {
    ASSERT_EQ(play("DispAddFilterDialog"), 1);
    QPointer<CFilterCondDlg> first = dialogOf(app());
    ASSERT_EQ(play("DispAddFilterDialog"), 1);
    QPointer<CFilterCondDlg> second = dialogOf(app());
    EXPECT_NE(first, second);
    EXPECT_EQ(play("InputFilterItem,2"), 1);
    EXPECT_EQ(second->model().itemIndex(), 2);
    EXPECT_EQ(first->model().itemIndex(), -1);
    EXPECT_EQ(play("CancelFilterDialog"), 1);
    EXPECT_TRUE(second.isNull());
    EXPECT_FALSE(first.isNull());
    app().ResetScreen();
    EXPECT_TRUE(first.isNull());
}

TEST_F(Players, ClosingAPlayersDialogTakesItAwayAndRecordsNothing) {
    ASSERT_EQ(play("DispAddFilterDialog"), 1);
    QPointer<CFilterCondDlg> dialog = dialogOf(app());
    macro->StartRecording();
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(dialogOf(app()), nullptr);
    EXPECT_TRUE(steps().empty());
    EXPECT_EQ(play("OKFilterDialog"), 0);
    EXPECT_EQ(messages().back(), kNoWindow);
}

// The operation log keeps its lines through a reset; the rest is as after loading.
std::string withoutLog(const std::string& snapshot) {
    std::string out;
    std::istringstream lines(snapshot);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("  検索[", 0) != 0) out += line + "\n";
    return out;
}

TEST_F(DataSelTest, TheScreenResetAfterABusySessionLooksFresh) {
    // A reset ends with the item-selection tab in front, as after loading.
    console->ActivatePage(ConsolePage::ItemSelection);
    const std::string fresh = harness.snapshot();
    filter(codeIs("1"));
    page->SelectSet(0);
    filter(ageAtLeast("30"));
    play("DifferenceSet,1,2");
    play("PermitSetCollapse");
    play("SelectFilterAndOr,1");
    app().SetSearchConditions({codeIs("1"), ageAtLeast("3")});
    page->FillConditions();
    page->UpdateButtons();
    play("DispEditFilterDialog,1");
    const std::string busy = harness.snapshot();
    EXPECT_NE(busy.find("filter dialog: mode 1 row 1"), std::string::npos) << busy;
    EXPECT_NE(busy.find("conditions: OR buttons 1014 on"), std::string::npos) << busy;
    app().ResetScreen();
    EXPECT_EQ(withoutLog(harness.snapshot()), fresh);
    EXPECT_EQ(filter(codeIs("2")), 1);  // numbering starts again
}

// The reset before a recording or a run closes the analysis windows before it resets the pages,
// so that none of them is recomputed on its way out, and brings the console up.
TEST_F(DataSelTest, TheScreenResetClosesTheWindowsUnrefreshedAndShowsTheConsole) {
    ASSERT_EQ(filter(codeIs("1")), 1);  // a set of its own is current: the reset changes it
    openWindows();
    console->hide();
    app().ResetScreen();
    std::string log;
    for (const std::string& line : refreshes)
        log += line + " ";
    EXPECT_TRUE(refreshes.empty()) << log;
    EXPECT_TRUE(console->isVisible());
    EXPECT_EQ(frame->dataView(), nullptr);
    EXPECT_EQ(frame->itemWindow(2), nullptr);
    EXPECT_EQ(frame->crossWindow(), nullptr);
    EXPECT_EQ(frame->molapWindow(), nullptr);
    EXPECT_EQ(page->CurrentSetNo(), 0);
}

}  // namespace
}  // namespace zbq::test
