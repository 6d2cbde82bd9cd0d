// The aggregation settings page's players and recorders: the pair and kind lists as tables of
// steps and the lists they leave, the refusals of what the page could not hold (nothing
// changed), the total modes and decimals, the field counts, a closed console, ExecuteMolap's
// refusal that lets the run go on, and the recorded burst that leaves out the defaults and plays
// back to the same parameters.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QComboBox>
#include <QRadioButton>

#include <string>
#include <vector>

#include "console/drag_item_list.h"
#include "console/molap_page.h"
#include "console/molap_steps.h"
#include "tests/console/molap_fixture.h"
#include "tests/support/recording_macro.h"

namespace {

using L = MolapList;
using zbq::test::molapRowsText;

const std::string kStop = "\nマクロの実行を中止します。";
std::string invalid(const std::string& command) {
    return "コマンド[" + command + "]のパラメータが不正です。" + kStop;
}

struct Players : zbq::test::MolapScreen {
    Players() { page = console->MolapPage(); }
    std::string rows(L l) const { return molapRowsText(page->settings().rows(l), l == L::Sum); }
    COlap2Page* page = nullptr;
};

TEST(MolapPlayers, PairListsFillTheAxes) {
    struct Case {
        const char* step;
        const char* x;
    };
    const std::vector<Case> cases = {
        {"SetXColumn", ""},
        {"SetXColumn,", ""},
        {"SetXColumn,35", ""},
        {"SetXColumn,3:0\t5:4", "3 5:4"},
        {"SetXColumn,3\t5:1", "5:1"},
        {"SetXColumn,7:2:9", "7:2"},
        {"SetXColumn,a:b", "0"},
        {"SetXColumn,2:7\t5:100", "2 5"},
        {"SetXColumn,5:0\t5:1\t", "5 5:1"},
    };
    for (const Case& c : cases) {
        Players p;
        p.page->settings().SetXItems({2}, {0});
        EXPECT_EQ(p.play(c.step), 1) << c.step;
        EXPECT_EQ(p.rows(L::X), c.x) << c.step;
        EXPECT_TRUE(p.messages().empty()) << c.step;
    }
    Players p;
    EXPECT_EQ(p.play("SetYColumn,8:6\t2:0"), 1);
    EXPECT_EQ(p.rows(L::Y), "8:6 2");
    EXPECT_EQ(p.rows(L::X), "");
}

TEST(MolapPlayers, AggregationPairsTakeTheirKinds) {
    Players p;
    EXPECT_EQ(p.play("SetSyukeiColumn,2:0\t4:110,1\t2"), 1);
    EXPECT_EQ(p.rows(L::Sum), "2/1 4/2:110");
    EXPECT_EQ(p.page->list(L::Sum)->topLevelItem(1)->text(0),
              QString::fromUtf8("text\t（1,000:切り捨て）"));
    EXPECT_EQ(p.page->list(L::Sum)->topLevelItem(1)->text(1), QString::fromUtf8("平均"));
    EXPECT_EQ(p.play("SetSyukeiColumn,5:3\t3:230\t2:9,0\t4\t3\t1"), 1);  // a spare kind is unused
    EXPECT_EQ(p.rows(L::Sum), "5/0:3 3/4:230 2/3");
    EXPECT_EQ(p.play("SetSyukeiColumn,,"), 1);
    EXPECT_EQ(p.rows(L::Sum), "");
}

TEST(MolapPlayers, WhatThePageCannotHoldIsRefusedAndChangesNothing) {
    const std::vector<std::string> steps = {
        "SetXColumn,0:0\t2:0\t3:0\t4:0\t5:0\t6:0",
        "SetYColumn,2:0\t2:0",
        "SetYColumn,2:7\t2:0",
        "SetXColumn,1:0",
        "SetXColumn,99:0",
        "SetSyukeiColumn,2:0\t3:0,1",
        "SetSyukeiColumn,2:0,5",
        "SetSyukeiColumn,2:0,-1",
        "SetSyukeiColumn,1:0,0",
        "SetPoint,6",
        "SetPoint,-1",
    };
    for (const std::string& step : steps) {
        Players p;
        p.page->settings().SetXItems({2}, {0});
        p.page->settings().SetYItems({3}, {0});
        p.page->settings().SetSumItems({4}, {3}, {0});
        p.page->settings().SetDecimalPlaces(2);
        EXPECT_EQ(p.play(step), 0) << step;
        const std::string command = step.substr(0, step.find(','));
        EXPECT_EQ(p.messages(), std::vector<std::string>{invalid(command)}) << step;
        EXPECT_EQ(p.rows(L::X) + "|" + p.rows(L::Y) + "|" + p.rows(L::Sum), "2|3|4/3") << step;
        EXPECT_EQ(p.page->settings().decimals(), 2) << step;
    }
}

TEST(MolapPlayers, TotalsAndDecimalsShowOnTheRadiosAndCombo) {
    Players p;
    struct Case {
        const char* value;
        int mode;
    };
    for (const Case c : {Case{"2", 2}, {"1", 1}, {"0", 0}, {"9", 0}, {"2", 2}, {"-3", 0}}) {
        ASSERT_EQ(p.play(std::string("SetXTotal,") + c.value), 1);
        ASSERT_EQ(p.play(std::string("SetYTotal,") + c.value), 1);
        for (int m = 0; m < 3; ++m) {
            EXPECT_EQ(p.page->totalRadio(L::X, m)->isChecked(), m == c.mode) << c.value << m;
            EXPECT_EQ(p.page->totalRadio(L::Y, m)->isChecked(), m == c.mode) << c.value << m;
        }
    }
    ASSERT_EQ(p.play("SetPoint,5"), 1);
    EXPECT_EQ(p.page->decimalsCombo()->currentText(), QStringLiteral("5"));
}

TEST(MolapPlayers, CountsAndAClosedConsoleStopTheRun) {
    Players p;
    EXPECT_EQ(p.play("SetXColumn,1:0,2"), 0);
    EXPECT_EQ(p.play("SetSyukeiColumn"), 0);
    EXPECT_EQ(p.play("SetPoint"), 0);
    const std::vector<std::string> counts = {
        "コマンド[SetXColumn]のパラメータ数が不正です。\nこのコマンドのパラメータ数は[1]個です。" +
            kStop,
        "コマンド[SetSyukeiColumn]のパラメータ数が不正です。\nこのコマンドのパラメータ数は[2]"
        "個です。" +
            kStop,
        "コマンド[SetPoint]のパラメータ数が不正です。\nこのコマンドのパラメータ数は[1]個です。" +
            kStop};
    EXPECT_EQ(p.messages(), counts);

    p.frame.DestroyConsole();
    for (const char* step : {"ExecuteMolap", "SetXColumn,2:0", "SetPoint,1"})
        EXPECT_EQ(p.play(step), 0);
    EXPECT_EQ(p.messages().size(), 6u);
    EXPECT_EQ(p.messages().back(), "画面が表示されていないため、マクロを実行できません。" + kStop);
}

TEST(MolapPlayers, ExecuteWithEmptyAxesShowsThePagesMessageAndGoesOn) {
    Players p;
    EXPECT_EQ(p.play("ExecuteMolap,ignored"), 1);
    EXPECT_EQ(p.messages(), std::vector<std::string>{MolapSettings::kNoAxis});
    EXPECT_TRUE(p.executed.empty());
    EXPECT_EQ(p.play("SetYColumn,5:4"), 1);
    EXPECT_EQ(p.play("ExecuteMolap"), 1);
    ASSERT_EQ(p.executed.size(), 1u);
    EXPECT_EQ(p.executed[0].yDateUnits, std::vector<std::int32_t>{4});
}

bool sameParams(const MolapParams& a, const MolapParams& b) {
    return a.xItems == b.xItems && a.yItems == b.yItems && a.zItems == b.zItems &&
           a.zKinds == b.zKinds && a.xDateUnits == b.xDateUnits && a.yDateUnits == b.yDateUnits &&
           a.zUnits == b.zUnits && a.xTotalMode == b.xTotalMode && a.yTotalMode == b.yTotalMode &&
           a.decimalsIndex == b.decimalsIndex;
}

TEST(MolapRecorders, TheBurstLeavesOutDefaultsAndPlaysBackTheSameParameters) {
    MolapParams xOnly;
    xOnly.xItems = {2, 5};
    xOnly.xDateUnits = {0, 1};
    xOnly.zUnits = {0};
    EXPECT_EQ(molapSettingSteps(xOnly),
              (std::vector<std::string>{"SetXColumn,2:0\t5:1", "ExecuteMolap"}));

    MolapParams full = xOnly;
    full.yItems = {8};
    full.yDateUnits = {4};
    full.zItems = {2, 3};
    full.zKinds = {1, 4};
    full.zUnits = {130, 0};
    full.xTotalMode = 2;
    full.yTotalMode = 1;
    full.decimalsIndex = 3;
    const std::vector<std::string> steps = molapSettingSteps(full);
    EXPECT_EQ(steps, (std::vector<std::string>{"SetXColumn,2:0\t5:1", "SetYColumn,8:4",
                                               "SetSyukeiColumn,2:130\t3:0,1\t4", "SetXTotal,2",
                                               "SetYTotal,1", "SetPoint,3", "ExecuteMolap"}));

    Players p;
    for (const std::string& step : steps)
        ASSERT_EQ(p.play(step), 1) << step;
    ASSERT_EQ(p.executed.size(), 1u);
    EXPECT_TRUE(sameParams(p.executed[0], full));

    zbq::test::RecordingMacro recording;
    p.app.SetMacroPort(&recording);
    RecordMolapSettings(p.app, xOnly);
    EXPECT_EQ(recording.steps, molapSettingSteps(xOnly));
    recording.recording = false;
    RecordMolapSettings(p.app, full);
    EXPECT_EQ(recording.steps.size(), 2u);
    p.app.SetMacroPort(nullptr);
}

}  // namespace
