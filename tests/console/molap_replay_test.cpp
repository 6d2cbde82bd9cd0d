// A session on the aggregation settings tab recorded through the real widgets and replayed in a
// fresh program: two X items dropped (one grouped by year from the date menu), one Y item by
// its button, two aggregation rows dropped, one changed to 合計 and given a unit through the
// unit dialog, totals on both axes, two decimals and "実行" on a stand-in window that records
// the burst as the window's build does. The replay ends on the same screen and hands the window
// the same parameters.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include <chrono>
#include <memory>

#include "console/drag_item_list.h"
#include "console/molap_page.h"
#include "console/unit_set_dlg.h"
#include "platform/ui/modal_runner.h"
#include "tests/console/molap_fixture.h"
#include "tests/support/app_harness.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

using L = MolapList;

// One start-up stamp for both programs, so that their temporary names agree whatever second
// each starts in.
std::chrono::system_clock::time_point fixedTime() {
    using namespace std::chrono;
    return sys_days{year{2024} / 5 / 6} + hours{12};
}

struct Program {
    Program() : frame(h.app(), factories()) { h.app().SetClock(fixedTime); }
    ~Program() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.molapWindow = [this](CMainFrame&, const MolapParams& p) -> QWidget* {
            executed.push_back(p);
            return new FakeMolapSettingsWindow(h.app(), p);
        };
        return f;
    }
    COlap2Page& page() const { return *qobject_cast<CConsSheet*>(frame.console())->MolapPage(); }

    AppHarness h;
    CMacro macro{h.app()};
    std::vector<MolapParams> executed;
    CMainFrame frame;
};

void drop(COlap2Page& page, L source, std::vector<int> rows, L target) {
    page.list(source)->selectRows(rows);
    std::unique_ptr<QMimeData> data(
        COlapItemList::dragData(source, page.list(source)->selectedRows()));
    dropOnList(*page.list(target), *data);
}

// The harness's items on the page's item list: 0 ID, 1 性別, 2 年齢, 3 満足度, 4 回答日, 5
// 回答時刻.
void session(COlap2Page& page) {
    std::vector<std::int32_t> menuAnswers = {COlap2Page::kMenuYear, COlap2Page::kMenuUnitSet};
    page.setMenuChooser([&](QMenu&, std::int32_t) {
        const std::int32_t answer = menuAnswers.front();
        menuAnswers.erase(menuAnswers.begin());
        return answer;
    });
    drop(page, L::Items, {1, 4}, L::X);
    page.list(L::X)->selectRows({1});
    emit page.list(L::X)->menuRequested();
    page.list(L::Items)->selectRows({2});
    page.copyButton(L::Y)->click();
    drop(page, L::Items, {2, 3}, L::Sum);
    page.list(L::Sum)->selectRows({1});
    emit page.list(L::Sum)->rowsClicked();
    page.kindRadio(1)->click();
    ui::ScopedModalHook hook([](QDialog& d) {
        auto& dialog = dynamic_cast<CUnitSetDlg&>(d);
        dialog.roundingButton(3)->setChecked(true);
        dialog.accept();
        return int(QDialog::Accepted);
    });
    emit page.list(L::Sum)->menuRequested();
    page.totalRadio(L::X, 2)->click();
    page.totalRadio(L::Y, 1)->click();
    page.decimalsCombo()->setCurrentIndex(2);
    emit page.decimalsCombo()->activated(2);
    page.executeButton()->click();
    page.setMenuChooser(nullptr);
}

TEST(MolapReplay, ASessionOnThePageReplaysToTheSameScreenAndParameters) {
    TempDir out;
    std::string recordedScreen;
    std::vector<MolapParams> recorded;
    {
        Program p;
        ASSERT_TRUE(p.h.start({p.h.writeFixture()}));
        p.frame.ShowConsole();
        ASSERT_EQ(p.macro.StartRecording(), 1);
        session(p.page());
        EXPECT_EQ(p.macro.RecordedSteps(),
                  (std::vector<std::string>{"SetXColumn,1:0\t5:1", "SetYColumn,2:0",
                                            "SetSyukeiColumn,2:0\t4:130,0\t1", "SetXTotal,2",
                                            "SetYTotal,1", "SetPoint,2", "ExecuteMolap"}));
        ASSERT_EQ(p.macro.StopRecording("aggregation"), 1);
        ASSERT_EQ(p.executed.size(), 1u);
        recordedScreen = p.h.snapshot();
        recorded = p.executed;
        ASSERT_EQ(p.macro.WriteMacroFile(out.file("session.mcr")), 1);
    }
    EXPECT_NE(recordedScreen.find("molap X: [1 \"性別\"] [5 \"回答日\\t（年）\"]"),
              std::string::npos)
        << recordedScreen;

    Program replay;
    ASSERT_TRUE(replay.h.start({replay.h.writeFixture()}));
    replay.frame.ShowConsole();
    ASSERT_NE(replay.macro.ReadMacroFile(out.file("session.mcr")), 0);
    const int index = replay.macro.FindMacro("aggregation");
    ASSERT_GE(index, 0);
    ASSERT_EQ(replay.macro.RunMacro(index), 1);
    ASSERT_EQ(replay.executed.size(), 1u);
    const MolapParams &a = replay.executed[0], &b = recorded[0];
    EXPECT_EQ(std::tie(a.xItems, a.yItems, a.zItems, a.zKinds, a.xDateUnits, a.yDateUnits, a.zUnits,
                       a.xTotalMode, a.yTotalMode, a.decimalsIndex),
              std::tie(b.xItems, b.yItems, b.zItems, b.zKinds, b.xDateUnits, b.yDateUnits, b.zUnits,
                       b.xTotalMode, b.yTotalMode, b.decimalsIndex));
    EXPECT_EQ(replay.h.snapshot(), recordedScreen);
}

}  // namespace
}  // namespace zbq::test
