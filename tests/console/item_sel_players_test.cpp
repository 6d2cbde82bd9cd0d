// The item-selection commands played through the dispatcher on a main frame with its real
// console: what each step does to the tree and the display list, and the checks that stop a run
// (no console, a name no node or row has, a row or position outside the list, an empty name).
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/item_sel_page.h"
#include "macro/cmacro.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/console/item_sel_fixture.h"

namespace {

const std::string kStop = "\nマクロの実行を中止します。";

std::string rangeMessage(const std::string& command) {
    return "コマンド[" + command + "]のパラメータが範囲を超えています。" + kStop;
}
std::string noItemMessage(const std::string& command, const std::string& name) {
    return "コマンド[" + command + "]で指定された[" + name + "]項目は存在しません。" + kStop;
}

// root G{a b} c H{a} d, item numbers 0 to 4; the console shown, the data set loaded.
struct Screen {
    Screen() : frame(app, factories()), macro(app) {
        zbq::test::describeItemSelStructure(app);
        app.SetDataLoaded(1);
        frame.ShowConsole();
        console = qobject_cast<CConsSheet*>(frame.console());
        page = console->ItemSelPage();
        app.RebuildItemTree();
    }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(app, &owner); };
        return f;
    }
    std::int32_t play(const std::string& step) { return macro.ExecuteStep(step); }
    std::vector<std::string> messages() const { return prompts.messageTexts(); }
    std::vector<std::int32_t> rows() const { return page->list().itemNumbers(); }

    zbq::ui::ScriptedPrompts prompts;
    CKWApp app;
    CMainFrame frame;
    CMacro macro;
    CConsSheet* console = nullptr;
    CItemSelPage* page = nullptr;
};

TEST(ItemSelPlayers, TreeStepsActOnTheFirstNodeOfTheirName) {
    Screen s;
    EXPECT_EQ(s.play("ToListItem,\"G\""), 1);
    EXPECT_EQ(s.rows(), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(s.play("ToListItem,\"a\""), 1) << "the a under G, listed already";
    EXPECT_EQ(s.rows(), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(s.play("FromListItem,\"G\""), 1) << "a group leaves nothing";
    EXPECT_EQ(s.rows(), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(s.play("FromListItem,\"a\""), 1);
    EXPECT_EQ(s.rows(), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(s.page->SelectedNode(), 2);
    EXPECT_EQ(s.play("ToListAllItem"), 1);
    EXPECT_EQ(s.rows(), (std::vector<std::int32_t>{1, 0, 2, 3, 4}));
    EXPECT_EQ(s.play("FromListAllItem,7"), 1) << "parameters of a bare command are ignored";
    EXPECT_TRUE(s.rows().empty());
    EXPECT_TRUE(s.messages().empty());

    EXPECT_EQ(s.play("ToListItem,\"zz\""), 0);
    EXPECT_EQ(s.play("FromListItem,\"zz\""), 0);
    EXPECT_EQ(s.play("ToListItem"), 0);
    EXPECT_EQ(s.messages(),
              (std::vector<std::string>{
                  noItemMessage("ToListItem", "zz"), noItemMessage("FromListItem", "zz"),
                  "コマンド[ToListItem]のパラメータ数が不正です。\nこのコマンドのパラメータ数は[1]"
                  "個です。" +
                      kStop}));
}

TEST(ItemSelPlayers, BackListItemRemovesItsRowAloneAndRefusesRowsOutsideTheList) {
    Screen s;
    for (const char* name : {"b", "c", "d"})
        s.page->OnToDisplayList(s.page->tree().FindItem(name));
    s.page->SelectListRows({1, 2});
    EXPECT_EQ(s.play("BackListItem,0"), 1);
    EXPECT_EQ(s.rows(), (std::vector<std::int32_t>{2, 4}));
    for (const char* step : {"BackListItem,2", "BackListItem,-1"})
        EXPECT_EQ(s.play(step), 0) << step;
    EXPECT_EQ(s.messages(), std::vector<std::string>(2, rangeMessage("BackListItem")));
    EXPECT_EQ(s.play("SelectAllListItem"), 1);
    EXPECT_EQ(s.page->list().selectedRows(), (std::vector<int>{0, 1}));
    EXPECT_EQ(s.play("BackAllListItem"), 1);
    EXPECT_TRUE(s.rows().empty());
    EXPECT_EQ(s.play("BackListItem,0"), 0) << "an empty list has no row";
}

TEST(ItemSelPlayers, ChangeListItemMovesANamedRowWithinTheList) {
    Screen s;
    s.play("ToListAllItem");
    EXPECT_EQ(s.play("ChangeListItem,0,\"c\""), 1);
    EXPECT_EQ(s.rows(), (std::vector<std::int32_t>{2, 0, 1, 3, 4}));
    s.play("FromListItem,\"d\"");
    struct Case {
        const char* step;
        std::string message;
    } cases[] = {
        {"ChangeListItem,4,\"c\"", rangeMessage("ChangeListItem")},
        {"ChangeListItem,-1,\"c\"", rangeMessage("ChangeListItem")},
        {"ChangeListItem,0,\"\"",
         "コマンド[ChangeListItem]のパラメータに項目名が指定されていません。" + kStop},
        {"ChangeListItem,0,\"d\"", noItemMessage("ChangeListItem", "d")},
    };
    for (const Case& c : cases) {
        s.prompts.clear();
        EXPECT_EQ(s.play(c.step), 0) << c.step;
        EXPECT_EQ(s.messages(), std::vector{c.message}) << c.step;
    }
    EXPECT_EQ(s.rows(), (std::vector<std::int32_t>{2, 0, 1, 3}));
}

TEST(ItemSelPlayers, ExpandingKeepsTheCollapseFlagAndPermittingSwitchesIt) {
    Screen s;
    EXPECT_EQ(s.play("CollapseAllItem"), 1);
    EXPECT_FALSE(s.page->tree().node(0).expanded);
    EXPECT_EQ(s.play("ExpandAllItem"), 1);
    EXPECT_TRUE(s.page->tree().node(0).expanded && s.page->tree().node(1).expanded);
    EXPECT_TRUE(s.page->tree().collapseAllowed());
    s.play("CollapseAllItem");
    EXPECT_EQ(s.play("PermitItemCollapse"), 1);
    EXPECT_TRUE(s.page->tree().node(5).expanded);
    EXPECT_FALSE(s.page->tree().collapseAllowed());
    EXPECT_EQ(s.play("PermitItemCollapse"), 1);
    EXPECT_TRUE(s.page->tree().collapseAllowed());
}

TEST(ItemSelPlayers, DispDataGoesOnWhateverTheButtonSaid) {
    Screen s;
    EXPECT_EQ(s.play("DispData"), 1);
    EXPECT_EQ(s.messages(), std::vector<std::string>{CItemSelPage::kNoItems});
    s.app.SetDataLoaded(0);
    EXPECT_EQ(s.play("DispData"), 1);
    EXPECT_EQ(s.messages().size(), 1u);
}

TEST(ItemSelPlayers, WithoutAConsoleEveryStepStops) {
    Screen s;
    s.frame.DestroyConsole();
    for (const char* step : {"ToListItem,\"a\"", "BackListItem,0", "ChangeListItem,0,\"a\"",
                             "ExpandAllItem", "DispData", "OpenItemSelTab"})
        EXPECT_EQ(s.play(step), 0) << step;
    EXPECT_EQ(s.messages(), std::vector<std::string>(
                                6, "画面が表示されていないため、マクロを実行できません。" + kStop));
}

}  // namespace
