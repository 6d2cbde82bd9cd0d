// The aggregation window's tests share this: the harness's data set loaded, a main frame
// offscreen that opens the window, a recording macro and console, the table of one build with
// both axes, totals and two Z columns, and what the window shows read back as text.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/main_frame.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_console.h"
#include "tests/support/recording_macro.h"
#include "windows/molap_frame.h"

namespace zbq::windows {

// The factories of a main frame that opens the aggregation window over that harness.
inline WindowFactories molapFactories(test::AppHarness& harness) {
    WindowFactories f;
    f.molapWindow = [&harness](CMainFrame&, const MolapParams& p) {
        return CMOLAPFrm::Make(harness.app(), p);
    };
    return f;
}

// Both axes, totals on both, two Z columns (a sum and an average), two decimals.
inline MolapParams molapTestParams() {
    MolapParams p;
    p.xItems = {1};
    p.yItems = {5};
    p.yDateUnits = {1};
    p.zItems = {2, 4};
    p.zKinds = {1, 2};
    p.xTotalMode = 1;
    p.yTotalMode = 2;
    p.decimalsIndex = 2;
    return p;
}

class MolapWindowTest : public ::testing::Test {
protected:
    MolapWindowTest() : frame(harness.app(), molapFactories(harness)) {}
    void SetUp() override {
        ASSERT_TRUE(harness.load());
        harness.app().SetMacroPort(&macro);
        harness.app().SetConsolePort(&console);
    }
    ~MolapWindowTest() override {
        CMOLAPFrm::setWorkerHookForTest({});
        CMOLAPFrm::setFailingStageForTest(0);
        frame.CloseMolapWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        harness.app().SetMacroPort(nullptr);
        harness.app().SetConsolePort(nullptr);
    }
    static MolapParams params() { return molapTestParams(); }
    CMOLAPFrm* window() const { return qobject_cast<CMOLAPFrm*>(frame.molapWindow()); }
    // Every cell of the shown table, a line per row.
    std::string table() const {
        std::string out;
        const CMOLAPView& v = window()->view();
        for (std::int32_t r = 0; r < v.rows(); ++r) {
            for (std::int32_t c = 0; c < v.columns(); ++c)
                out += (c ? "|" : "") + cp932::toUtf8(v.cellText(r, c));
            out += "\n";
        }
        return out;
    }
    std::vector<std::string> messages() {
        std::vector<std::string> texts;
        for (const auto& m : harness.prompts().messages())
            texts.push_back(m.text.toStdString());
        return texts;
    }
    // Holds the worker of that stage until the close the hook posts has asked for the cancel.
    void closeDuringStage(std::int32_t stage, bool byFrame) {
        CMOLAPFrm::setWorkerHookForTest([this, stage, byFrame](std::int32_t running) {
            if (running != stage) return;
            QMetaObject::invokeMethod(
                &frame,
                [this, byFrame] {
                    if (byFrame)
                        frame.CloseMolapWindow();
                    else
                        window()->close();
                },
                Qt::QueuedConnection);
            // Bounded, so that a close that never cancels fails the test instead of hanging it.
            kw::MolapCancel& cancel = harness.app().Search().MolapCancelFlag();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
            while (cancel.value() != 1) {
                if (std::chrono::steady_clock::now() > deadline) {
                    ADD_FAILURE() << "the close never asked the worker of stage " << stage
                                  << " to cancel";
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    test::AppHarness harness;
    test::RecordingMacro macro;
    test::RecordingConsole console;
    CMainFrame frame;
};

const char* const kTable =
    "性別|ﾌﾞﾗﾝｸ|ﾌﾞﾗﾝｸ|男性|男性|女性|女性|総計|総計\n"
    "回答日（年）|年齢[合計]|満足度[平均]|年齢[合計]|満足度[平均]|年齢[合計]|満足度[平均]|年齢["
    "合計]|"
    "満足度[平均]\n"
    "ﾌﾞﾗﾝｸ|0.00||||||0.00|\n"
    "2023|||||34.00|4.50|34.00|4.50\n"
    "2024|||149.00|3.81|91.00|2.56|240.00|3.19\n"
    "総計|0.00||149.00|3.81|125.00|2.95|274.00|3.33\n";

}  // namespace zbq::windows
