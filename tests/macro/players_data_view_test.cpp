// The original-data window's steps played through the dispatcher on the real window: each
// refusal with its exact message and in its order of checks, the window message while the window
// is closed, and what the accepted steps do to the grid.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMdiSubWindow>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "windows/kw_view.h"

namespace {

using zbq::windows::Cell;
using zbq::windows::CKWView;

constexpr const char* kStop = "\nマクロの実行を中止します。";

class DataViewPlayers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.load());
        harness.app().SetDisplayItems({0, 1, 2, 3, 4, 5, 6});
        harness.app().SetGridItems();
        harness.app().SetPrintMenu({{5, "m", harness.file("report.xls")}});
        WindowFactories factories;
        factories.dataView = [this](CMainFrame&) { return CKWView::Make(harness.app()); };
        frame = std::make_unique<CMainFrame>(harness.app(), std::move(factories));
        macro = std::make_unique<CMacro>(harness.app());
        frame->resize(700, 160);
        frame->show();
        frame->ShowDataView();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        macro.reset();
        frame.reset();
    }
    CKWView* view() { return qobject_cast<CKWView*>(frame->dataView()); }
    std::int32_t play(const std::string& step) {
        return macro->ExecuteStep(zbq::cp932::literal(step));
    }
    std::string lastMessage() {
        const auto& messages = harness.prompts().messages();
        return messages.empty() ? std::string() : messages.back().text.toStdString();
    }

    zbq::test::AppHarness harness;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CMacro> macro;
};

TEST_F(DataViewPlayers, RefusalsTellTheirOwnMessageInTheOrderOfTheChecks) {
    const std::string range = "のパラメータが範囲を超えています。";
    const struct {
        const char* step;
        std::string message;
    } cases[] = {
        {"Data_DecimalDigit,2,3",
         "列番号[2]の項目は浮動小数項目でないので、小数点以下桁数を指定できません。"},
        {"Data_DecimalDigit,2,15",  // the type is looked at before the places
         "列番号[2]の項目は浮動小数項目でないので、小数点以下桁数を指定できません。"},
        {"Data_DecimalDigit,4,15", "コマンド[Data_DecimalDigit]のパラメータが不正です。"},
        {"Data_DecimalDigit,7,3", "コマンド[Data_DecimalDigit]" + range},
        {"Data_SortUp,3", "列番号[3]の項目はマルチアンサ項目なのでソートできません。"},
        {"Data_SortDown,-1", "コマンド[Data_SortDown]" + range},
        {"Data_DispByCode,0",
         "列番号[0]の項目はコードまたはマルチアンサ項目でないので、コードで表示できません。"},
        {"Data_DispComma,5",
         "列番号[5]の項目は整数または浮動小数項目でないので、カンマ編集できません。"},
        {"Data_SelectCell,0,99,7,0", "コマンド[Data_SelectCell]" + range},
        {"Data_SelectRow,0,12", "コマンド[Data_SelectRow]" + range},
        {"Data_VScroll,5,0", "コマンド[Data_VScroll]のパラメータが不正です。"},
        {"Data_OutToCsv,???",
         "コマンド[Data_OutToCsv]のパラメータにファイル名が指定されていません。"},
        {"Data_OutToCsv,\"/no/such/folder/x.csv\"",
         "コマンド[Data_OutToCsv]のパラメータのフォルダ\n[/no/such/folder]が存在しません。"},
        {"Prt,abc",
         "定型印刷のメニューに番号[0]のメニューが存在しないためマクロを実行できません。"},
    };
    for (const auto& c : cases) {
        harness.prompts().clear();
        EXPECT_EQ(play(c.step), 0) << c.step;
        EXPECT_EQ(harness.prompts().messages().size(), 1u) << c.step;
        EXPECT_EQ(lastMessage(), c.message + kStop) << c.step;
    }
    EXPECT_EQ(view()->model().GetDecimalDigit(4), 0);  // nothing of a refused step was done
}

TEST_F(DataViewPlayers, EveryStepNeedsTheWindow) {
    auto* sub = qobject_cast<QMdiSubWindow*>(view()->parentWidget());
    sub->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(frame->dataView(), nullptr);
    for (const char* step : {"Data_SortUp,0", "Prt,5", "Data_SelectAll", "Data_Close"}) {
        harness.prompts().clear();
        EXPECT_EQ(play(step), 0) << step;
        EXPECT_EQ(lastMessage(),
                  std::string("画面が表示されていないため、マクロを実行できません。") + kStop)
            << step;
    }
}

TEST_F(DataViewPlayers, AcceptedStepsActOnTheGrid) {
    auto& model = view()->model();
    model.SetViewport(400, 3 * model.geometry().rowHeight());  // three rows in view
    EXPECT_EQ(play("Data_VScroll,4,10"), 1);
    EXPECT_EQ(model.geometry().topRow(), 10);
    EXPECT_EQ(play("Data_SelectCell,1,2,3,4"), 1);
    EXPECT_EQ(model.GetSelStart(), (Cell{1, 2}));
    EXPECT_EQ(model.GetSelEnd(), (Cell{3, 4}));
    EXPECT_EQ(play("Data_SelectColumn,2,2"), 1);
    EXPECT_EQ(model.GetSelEnd(), (Cell{2, 11}));
    EXPECT_EQ(play("Data_DecimalDigit,4,2"), 1);
    EXPECT_EQ(model.GetDecimalDigit(4), 2);
    EXPECT_EQ(play("Data_AlignmentFree,0,70000"), 1);  // 70000 & 0xFFFF = 4464
    EXPECT_EQ(model.geometry().columnWidth(0), 4464);
    EXPECT_EQ(play("Data_SortDown,2"), 1);
    std::string text;
    model.GetCellText(0, 2, &text);
    EXPECT_EQ(text, "66");
    EXPECT_EQ(play("Data_ChengeSelectByKey,36,1,0"), 1);  // Home
    EXPECT_EQ(model.GetSelStart(), (Cell{0, 0}));
    EXPECT_EQ(play("Data_Close,1"), 1);  // a parameter too many is ignored
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->dataView(), nullptr);
    EXPECT_TRUE(harness.prompts().messages().empty());
}

}  // namespace
