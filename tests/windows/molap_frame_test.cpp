// The aggregation window on the harness's data inside a main frame offscreen: a build and what
// it logs and records, a close while each worker runs (a hook holds the worker until the close
// has asked for the cancel), a worker that cannot start, an empty record set and the question
// before a huge table.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include "platform/ui/fixed_grid.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "app/main_frame.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_console.h"
#include "tests/support/recording_macro.h"
#include "tests/windows/molap_fixture.h"
#include "windows/molap_frame.h"

namespace zbq::windows {
namespace {

using MolapFrameTest = MolapWindowTest;

TEST_F(MolapFrameTest, buildShowsTheTableLogsAndRecordsTheSettings) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    ASSERT_TRUE(window());
    EXPECT_FALSE(window()->busy());
    EXPECT_EQ(harness.app().IsAddingData(), 0);
    EXPECT_EQ(table(), kTable);
    EXPECT_TRUE(window()->grid()->isVisibleTo(window()));
    EXPECT_EQ(window()->grid()->columnSpan(0, 1), 2);
    EXPECT_EQ(cp932::toUtf8(window()->statusText()), "");
    EXPECT_TRUE(harness.prompts().messages().empty());
    const std::string snapshot = harness.snapshot();
    for (const char* line : {"molap window: \"多次元集計\" busy 0 status \"\"\n",
                             "molap row 4: 2024 #E0FFFF |  |  | 149.00 | 3.81 | 91.00 | 2.56 | "
                             "240.00 #EBEBEB | 3.19 #EBEBEB\n",
                             "molap span 0,1 1x2\n", "molap current: 2,1\n"})
        EXPECT_NE(snapshot.find(line), std::string::npos) << line << snapshot;
    const std::vector<std::string> burst = {
        "SetXColumn,1:0", "SetYColumn,5:1", "SetSyukeiColumn,2:0\t4:0,1\t2",
        "SetXTotal,1",    "SetYTotal,2",    "SetPoint,2",
        "ExecuteMolap"};
    EXPECT_EQ(macro.steps, burst);
    EXPECT_EQ(console.callsStartingWith("LogOperation"),
              std::vector<std::string>{cp932::literal(
                  "LogOperation 多次元集計 [X:性別][Y:回答日][Z:年齢(合計),満足度(平均)] 12")});

    // A rebuild in the same window gives the same table from the window's own copy.
    macro.steps.clear();
    EXPECT_EQ(window()->ExecuteMolap(), 0);
    EXPECT_EQ(table(), kTable);
    EXPECT_EQ(macro.steps, burst);
}

TEST_F(MolapFrameTest, withoutZItemsOneCountColumnAndTheLogSaysSo) {
    MolapParams p;
    p.xItems = {1};
    ASSERT_EQ(frame.ShowMolapWindow(p), 1);
    EXPECT_EQ(table(), "ﾌﾞﾗﾝｸ|男性|女性\n件数|件数|件数\n1|5|5\n");
    EXPECT_EQ(macro.steps, (std::vector<std::string>{"SetXColumn,1:0", "ExecuteMolap"}));
    EXPECT_EQ(
        console.callsStartingWith("LogOperation"),
        std::vector<std::string>{cp932::literal("LogOperation 多次元集計 [X:性別][Z:件数] 12")});
}

// A close while a worker runs: stage 1 ends silently, stage 2 with the "[2]" text; either way
// the window goes, the flags are down and the next build equals an uncancelled one.
TEST_F(MolapFrameTest, closeDuringEitherWorkerCancelsAndCloses) {
    struct Case {
        std::int32_t stage;
        bool byFrame;
        std::vector<std::string> messages;
    } cases[] = {
        {1, false, {}},
        {2, false, {"集計に作成に失敗しました。処理を中止します。[2]"}},
        {1, true, {}},
        {2, true, {"集計に作成に失敗しました。処理を中止します。[2]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stage * 10 + c.byFrame);
        harness.prompts().clear();
        macro.steps.clear();
        closeDuringStage(c.stage, c.byFrame);
        const std::string before = harness.snapshot();
        EXPECT_EQ(frame.ShowMolapWindow(params()), 0);
        settle();
        EXPECT_EQ(harness.snapshot(), before);
        EXPECT_FALSE(frame.molapWindow());
        EXPECT_EQ(harness.app().Search().MolapCancelFlag().value(), 0);
        EXPECT_FALSE(harness.app().Search().MolapCancelFlag().running());
        EXPECT_EQ(harness.app().IsAddingData(), 0);
        std::vector<std::string> expected;
        for (const std::string& m : c.messages)
            expected.push_back(m);
        EXPECT_EQ(messages(), expected);
        // The close box records the close; the frame closing its windows records nothing.
        EXPECT_EQ(macro.steps,
                  c.byFrame ? std::vector<std::string>{} : std::vector<std::string>{"MolapClose"});

        CMOLAPFrm::setWorkerHookForTest({});
        ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
        EXPECT_EQ(table(), kTable);
        frame.CloseMolapWindow();
        settle();
    }
}

// "実行" again while a window is open: the old window goes after the new one has built, and
// takes nothing of the new one's table with it.
TEST_F(MolapFrameTest, anotherExecuteReplacesTheWindowAndItsTableStays) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    const QPointer<CMOLAPFrm> old(window());
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1) << ::testing::PrintToString(messages());
    EXPECT_NE(window(), old.data());
    settle();
    EXPECT_TRUE(old.isNull());
    ASSERT_TRUE(window());
    EXPECT_EQ(table(), kTable);
    EXPECT_TRUE(messages().empty());
}

TEST_F(MolapFrameTest, aWorkerThatCannotStartFailsItsStage) {
    const char* texts[] = {"集計に失敗しました。処理を中止します。[1]",
                           "集計に作成に失敗しました。処理を中止します。[2]"};
    for (std::int32_t stage = 1; stage <= 2; ++stage) {
        harness.prompts().clear();
        CMOLAPFrm::setFailingStageForTest(stage);
        EXPECT_EQ(frame.ShowMolapWindow(params()), 0);
        settle();
        EXPECT_FALSE(frame.molapWindow());
        EXPECT_EQ(messages(), std::vector<std::string>{texts[stage - 1]});
        EXPECT_EQ(harness.app().IsAddingData(), 0);
    }
    CMOLAPFrm::setFailingStageForTest(0);
    EXPECT_TRUE(macro.steps.empty());
}

TEST_F(MolapFrameTest, closeBoxAfterTheBuildRecordsAndCloses) {
    ASSERT_EQ(frame.ShowMolapWindow(params()), 1);
    macro.steps.clear();
    window()->close();
    settle();
    EXPECT_FALSE(frame.molapWindow());
    EXPECT_EQ(macro.steps, std::vector<std::string>{"MolapClose"});
}

TEST_F(MolapFrameTest, anEmptyRecordSetShowsNothingAndTheWindowCloses) {
    ASSERT_EQ(harness.app().KWsrch("#1=3"), 0);
    EXPECT_EQ(frame.ShowMolapWindow(params()), 0);
    settle();
    EXPECT_FALSE(frame.molapWindow());
    EXPECT_TRUE(harness.prompts().messages().empty());
    EXPECT_TRUE(macro.steps.empty());
    EXPECT_EQ(harness.app().IsAddingData(), 0);
}

// One Integer item of `values` distinct values down the Y axis: rows = values + 1.
TEST(MolapFrameSize, aTableOfTenThousandRowsAsksFirst) {
    struct Case {
        std::int32_t values;
        std::optional<ui::Answer> answer;
        std::int32_t shown;
    } cases[] = {{9998, std::nullopt, 1}, {9999, ui::Answer::No, 0}, {9999, ui::Answer::Yes, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        test::AppHarness harness;
        std::string data = "n\n";
        for (std::int32_t i = 0; i < c.values; ++i)
            data += std::to_string(i) + "\n";
        ASSERT_TRUE(
            harness.load("Title = \"t\"\nitem = \"n\"\n  Integer\nEndItem\nEndTitle\n", data));
        CMainFrame frame(harness.app(), molapFactories(harness));
        if (c.answer) harness.prompts().answer(*c.answer);
        MolapParams p;
        p.yItems = {0};
        EXPECT_EQ(frame.ShowMolapWindow(p), c.shown);
        EXPECT_EQ(harness.prompts().messages().size(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_EQ(harness.prompts().messages()[0].text.toStdString(),
                      "集計表の縦または横が10,"
                      "000行を超えています。表示に時間がかかりますが実行しますか？");
        }
        if (c.shown) {
            const auto* window = qobject_cast<CMOLAPFrm*>(frame.molapWindow());
            ASSERT_TRUE(window);
            EXPECT_EQ(window->view().rows(), c.values + 1);
        }
        frame.CloseMolapWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A rebuild in an open window refused at the huge-table question leaves the window with its
// status drawn where the table was.
TEST(MolapFrameSize, aRefusedRebuildShowsThatItStopped) {
    test::AppHarness harness;
    std::string data = "n\n";
    for (std::int32_t i = 0; i < 9999; ++i)
        data += std::to_string(i) + "\n";
    ASSERT_TRUE(harness.load("Title = \"t\"\nitem = \"n\"\n  Integer\nEndItem\nEndTitle\n", data));
    CMainFrame frame(harness.app(), molapFactories(harness));
    ASSERT_EQ(harness.app().KWsrch("#0<5"), 5);
    MolapParams p;
    p.yItems = {0};
    ASSERT_EQ(frame.ShowMolapWindow(p), 1);
    auto* window = qobject_cast<CMOLAPFrm*>(frame.molapWindow());
    ASSERT_TRUE(window);
    const auto inked = [window] {
        // Distinct colours along the status line's strip: one is the bare background.
        const QImage image = window->grab().toImage();
        std::set<QRgb> colours;
        for (int y = 0; y < std::min(image.height(), window->fontMetrics().height()); ++y)
            for (int x = 0; x < std::min(image.width(), 200); ++x)
                colours.insert(image.pixel(x, y));
        return colours.size() > 1;
    };

    ASSERT_EQ(harness.app().KWsrch("#0>=0"), 9999);
    harness.prompts().answer(ui::Answer::No);
    EXPECT_EQ(window->ExecuteMolap(), -1);
    ASSERT_EQ(frame.molapWindow(), window);
    EXPECT_FALSE(window->busy());
    EXPECT_EQ(cp932::toUtf8(window->statusText()), "処理を中止しました。");
    EXPECT_FALSE(window->grid()->isVisibleTo(window));
    EXPECT_TRUE(inked());

    // The next build that goes through shows its table and no status.
    ASSERT_EQ(harness.app().KWsrch("#0<5"), 5);
    EXPECT_EQ(window->ExecuteMolap(), 0);
    EXPECT_EQ(window->statusText(), "");
    frame.CloseMolapWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace zbq::windows
