// A session on the aggregation window recorded through the real settings page and window (items
// dropped and copied onto the axes, a year grouping from the date menu, a kind changed, totals,
// decimals, "実行", a filter, a drill-through by double-click on the grid, a copy, a CSV through
// the save dialog, the workbook and the close), then replayed step by step into a fresh program:
// the screens, the clipboard, the CSV bytes and the workbook's cells compare equal.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <memory>

#include "console/molap_page.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/fixed_grid.h"
#include "tests/console/molap_fixture.h"
#include "tests/support/app_harness.h"
#include "tests/support/session_gestures.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/session_fixture.h"
#include "windows/molap_frame.h"

namespace zbq::windows {
namespace {

using test::firstValueCell;

using L = MolapList;

struct Program {
    Program() : frame(h.app(), factories()) { h.app().SetClock(fixedSessionTime); }
    ~Program() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.molapWindow = [this](CMainFrame&, const MolapParams& p) {
            return CMOLAPFrm::Make(h.app(), p);
        };
        return f;
    }
    bool start() {
        if (!h.start({h.writeFixture()})) return false;
        frame.ShowConsole();
        h.app().SetExportTempPath(h.file("temp/stamp_e.xlsx"));
        return true;
    }
    COlap2Page& page() const { return *qobject_cast<CConsSheet*>(frame.console())->MolapPage(); }
    CMOLAPFrm* window() const { return qobject_cast<CMOLAPFrm*>(frame.molapWindow()); }

    test::AppHarness h;
    CMacro macro{h.app()};
    CMainFrame frame;
};

void drop(COlap2Page& page, L source, std::vector<int> rows, L target) {
    page.list(source)->selectRows(rows);
    std::unique_ptr<QMimeData> data(
        COlapItemList::dragData(source, page.list(source)->selectedRows()));
    ASSERT_TRUE(test::dropOnList(*page.list(target), *data));
}

// The harness's items on the page's item list: 0 ID, 1 性別, 2 年齢, 3 満足度, 4 回答日.
void settings(COlap2Page& page) {
    page.setMenuChooser([](QMenu&, std::int32_t) { return COlap2Page::kMenuYear; });
    drop(page, L::Items, {1}, L::X);
    page.list(L::Items)->selectRows({4});
    page.copyButton(L::Y)->click();
    page.list(L::Y)->selectRows({0});
    emit page.list(L::Y)->menuRequested();
    drop(page, L::Items, {2, 3}, L::Sum);
    page.list(L::Sum)->selectRows({0});
    emit page.list(L::Sum)->rowsClicked();
    page.kindRadio(1)->click();
    page.totalRadio(L::X, 1)->click();
    page.totalRadio(L::Y, 2)->click();
    page.decimalsCombo()->setCurrentIndex(2);
    emit page.decimalsCombo()->activated(2);
    page.executeButton()->click();
    page.setMenuChooser(nullptr);
}

TEST(MolapSession, ARecordedSessionReplaysIntoTheSameScreenAndFiles) {
    ui::ScriptedClipboard clipboard;
    ui::ScriptedOpener opener;
    test::TempDir outside;
    const std::string csvPath = outside.file("molap.csv");
    std::vector<std::string> steps;
    std::string recorded, csvBytes, clipText, cells;
    {
        Program a;
        ASSERT_TRUE(a.start());
        ASSERT_EQ(a.macro.StartRecording(), 1);
        settings(a.page());
        ASSERT_NE(a.window(), nullptr);
        FilterConditions conditions;
        conditions[0] = {3, 2, "1,000", ""};
        conditions[1] = {6, 1, "3", "4"};
        ASSERT_EQ(a.window()->Filter(conditions), 1);

        ui::FixedGrid& grid = *a.window()->grid();
        grid.resize(900, 600);
        const QModelIndex cell = firstValueCell(a.window()->view());
        ASSERT_TRUE(cell.isValid());
        grid.scrollTo(cell);
        a.h.prompts().answer(ui::Answer::Yes);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
        ASSERT_NE(a.window(), nullptr);
        ASSERT_EQ(a.window()->Copy(), 1);
        a.h.prompts().chooseSave(ui::SaveChoice{QString::fromStdString(csvPath), 0});
        ASSERT_EQ(a.window()->OnOutToCsv(), 1);
        ASSERT_EQ(a.window()->ExportMolapToExcel(), 1);
        ASSERT_EQ(a.h.prompts().messages().size(), 1u);  // the drill's question, answered Yes
        EXPECT_EQ(a.h.prompts().messages()[0].text.toStdString(), "ドリルスルーを実行しますか？");
        // The screen but the recording flag, which the replay does not raise.
        recorded = a.h.snapshot();
        const std::string flag = "macro object: recording 1";
        ASSERT_NE(recorded.find(flag), std::string::npos);
        recorded.replace(recorded.find(flag), flag.size(), "macro object: recording 0");
        csvBytes = test::readFile(csvPath);
        clipText = clipboard.text().value_or("");
        cells = sheetCells(a.h.file("temp/stamp_e.xlsx"));
        a.window()->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(a.window(), nullptr);
        steps = a.macro.RecordedSteps();
        a.macro.StopRecording("");
    }
    std::filesystem::remove(csvPath);
    clipboard.setText("");
    {
        Program b;
        ASSERT_TRUE(b.start());
        std::string beforeClose;
        for (const std::string& step : steps) {
            if (step == "MolapClose") beforeClose = b.h.snapshot();
            EXPECT_EQ(b.macro.ExecuteStep(step), 1) << step;
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(beforeClose, recorded);
        EXPECT_EQ(test::readFile(csvPath), csvBytes);
        EXPECT_EQ(clipboard.text().value_or(""), clipText);
        EXPECT_EQ(sheetCells(b.h.file("temp/stamp_e.xlsx")), cells);
        EXPECT_TRUE(b.h.prompts().messages().empty());
        EXPECT_EQ(b.window(), nullptr);
    }
    std::vector<std::string> names;
    for (const std::string& step : steps)
        names.push_back(step.substr(0, step.find(',')));
    for (const char* name :
         {"SetXColumn", "SetYColumn", "SetSyukeiColumn", "ExecuteMolap", "MolapFilter",
          "MolapDrillThrough", "MolapCopy", "MolapOutToCSV", "MolapOutToExcel", "MolapClose"})
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
    EXPECT_NE(csvBytes.find("\"\n"), std::string::npos);
    EXPECT_NE(cells.find("<mergeCell "), std::string::npos);
}

}  // namespace
}  // namespace zbq::windows
