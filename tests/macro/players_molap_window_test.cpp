// The aggregation window's steps played through the dispatcher on the real window: refusals
// with their messages, and what accepted steps do to the window and the record selection.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "windows/molap_frame.h"

namespace {

using zbq::windows::CMOLAPFrm;

constexpr const char* kStop = "\nマクロの実行を中止します。";

class MolapWindowPlayers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.load());
        WindowFactories factories;
        factories.molapWindow = [this](CMainFrame&, const MolapParams& p) {
            return CMOLAPFrm::Make(harness.app(), p);
        };
        frame = std::make_unique<CMainFrame>(harness.app(), std::move(factories));
        macro = std::make_unique<CMacro>(harness.app());
        MolapParams p;
        p.xItems = {1};
        p.yItems = {5};
        p.yDateUnits = {1};
        p.zItems = {2};
        p.zKinds = {1};
        p.xTotalMode = 1;
        p.yTotalMode = 1;
        ASSERT_EQ(frame->ShowMolapWindow(p), 1);
    }
    void TearDown() override {
        frame->CloseMolapWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        macro.reset();
        frame.reset();
    }
    CMOLAPFrm* window() { return qobject_cast<CMOLAPFrm*>(frame->molapWindow()); }
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

// Table: rows 0 X keys, 1 captions, 2-4 ﾌﾞﾗﾝｸ/2023/2024, 5 総計; columns 0 Y keys, 1-3 the
// three 性別 keys, 4 総計.
TEST_F(MolapWindowPlayers, refusalsStopTheRunWithTheirMessage) {
    const std::string invalid = "のパラメータが不正です。";
    const std::string unused = ",\"-1\t\t\t0\"";
    const struct {
        std::string step;
        std::string message;
    } cases[] = {
        {"MolapDrillThrough,6,1", "コマンド[MolapDrillThrough]" + invalid + kStop},
        {"MolapDrillThrough,2,5", "コマンド[MolapDrillThrough]" + invalid + kStop},
        {"MolapDrillThrough,-1,1", "コマンド[MolapDrillThrough]" + invalid + kStop},
        {"MolapFilter,\"3\t1\t\"" + unused + unused + unused + unused,
         "コマンド[MolapFilter]" + invalid + kStop},
        {"MolapFilter,\"3\t1\t\t5\"" + unused + unused + unused + unused,
         "コマンド[MolapFilter]" + invalid + kStop},
        {"MolapFilter,\"7\t1\t\t0\"" + unused + unused + unused + unused,
         "コマンド[MolapFilter]" + invalid + kStop},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        harness.prompts().clear();
        EXPECT_EQ(play(c.step), 0);
        EXPECT_EQ(lastMessage(), c.message);
    }
    EXPECT_EQ(harness.app().KWgetDataCount(), 12);
    EXPECT_FALSE(window()->view().filterActive());

    harness.prompts().clear();
    EXPECT_EQ(play("MolapOutToCSV,\"\""), 0);
    EXPECT_NE(lastMessage().find("ファイル名"), std::string::npos) << lastMessage();
    harness.prompts().clear();
    EXPECT_EQ(play("MolapOutToCSV,\"" + harness.file("missing/x.csv") + "\""), 0);
    EXPECT_FALSE(lastMessage().empty());
    EXPECT_FALSE(std::filesystem::exists(harness.file("missing")));
}

TEST_F(MolapWindowPlayers, acceptedStepsActOnTheWindow) {
    const std::string unused = ",\"-1\t\t\t0\"";
    // A From holding a comma replays whole.
    EXPECT_EQ(play("MolapFilter,\"3\t1,000\t\t2\",\"0\t34\t\t1\"" + unused + unused + unused), 1);
    EXPECT_TRUE(window()->view().filterActive());
    EXPECT_EQ(window()->view().conditions()[0].from, "1,000");
    EXPECT_EQ(window()->view().filterMark(3, 3), 1);  // 女性 2023: 34
    EXPECT_EQ(play("MolapFilterRelease"), 1);
    EXPECT_FALSE(window()->view().filterActive());

    const std::string path = harness.file("a,b.csv");
    EXPECT_EQ(play("MolapOutToCSV,\"" + path + "\""), 1);
    EXPECT_TRUE(std::filesystem::exists(path));

    // An empty cell: the message, and the run goes on.
    harness.prompts().clear();
    EXPECT_EQ(play("MolapDrillThrough,2,2"), 1);
    EXPECT_EQ(lastMessage(), "ドリルスルーを実行できません。");
    EXPECT_EQ(play("MolapDrillThrough,4,2"), 1);  // 2024, 男性
    EXPECT_EQ(harness.app().KWgetDataCount(), 5);

    EXPECT_EQ(play("MolapMax"), 1);
    EXPECT_TRUE(window()->isMaximized());
    EXPECT_EQ(play("MolapRestore"), 1);
    EXPECT_EQ(play("MolapClose"), 1);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame->molapWindow());
    harness.prompts().clear();
    EXPECT_EQ(play("MolapCopy"), 0);
    EXPECT_FALSE(lastMessage().empty());
}

// A played close is done when its step returns: the next step of the same run meets no window.
TEST_F(MolapWindowPlayers, AStepAfterAPlayedCloseInTheSameRunFindsNoWindow) {
    macro->AddMacro("m", "", {"MolapClose", "MolapOutToExcel"});
    harness.prompts().clear();
    EXPECT_EQ(macro->RunMacro(0), 0);
    EXPECT_EQ(frame->molapWindow(), nullptr);
    EXPECT_EQ(
        harness.prompts().messageTexts(),
        std::vector<std::string>{
            "画面が表示されていないため、マクロを実行できません。\nマクロの実行を中止します。"});
}

}  // namespace
