// A session on the aggregation window recorded through the real settings page and window (two
// X items dropped, one grouped by year from the date menu, one Y item by its button, two
// aggregation rows with a kind changed and a unit from the unit dialog, totals, decimals,
// "実行", a filter, a drill-through by double-click on the grid, a copy, a CSV through the save
// dialog, the workbook and the close), then replayed step by step into a fresh program: the
// screens, the clipboard, the CSV bytes and the workbook's cells compare equal.
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
#include "console/unit_set_dlg.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/fixed_grid.h"
#include "platform/ui/modal_runner.h"
#include "tests/console/molap_fixture.h"
#include "tests/support/app_harness.h"
#include "tests/support/session_gestures.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/session_fixture.h"
#include "windows/molap_frame.h"

namespace zbq::windows {
namespace {

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
// Two X items dropped, the date grouped by year from its menu; one Y item by its button; two
// aggregation rows dropped, the second made 合計 and given a unit through the unit dialog;
// totals on both axes, two decimals, "実行".
void settings(COlap2Page& page) {
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
    {
        ui::ScopedModalHook hook([](QDialog& d) {
            auto& dialog = dynamic_cast<CUnitSetDlg&>(d);
            dialog.roundingButton(3)->setChecked(true);
            dialog.accept();
            return int(QDialog::Accepted);
        });
        emit page.list(L::Sum)->menuRequested();
    }
    EXPECT_TRUE(menuAnswers.empty());
    page.totalRadio(L::X, 2)->click();
    page.totalRadio(L::Y, 1)->click();
    page.decimalsCombo()->setCurrentIndex(2);
    emit page.decimalsCombo()->activated(2);
    page.executeButton()->click();
    page.setMenuChooser(nullptr);
}

// The first body cell outside the total lines that shows a value: a drill there narrows the
// records to its own.
QModelIndex firstValueCell(const CMOLAPView& view) {
    const MolapLayout& l = view.layout();
    for (std::int32_t r = l.fixedRows(); r < view.rows(); ++r)
        for (std::int32_t c = l.fixedColumns(); c < view.columns(); ++c)
            if (const MolapCellView cell = view.cellView(r, c); cell.value && !cell.total)
                return view.index(r, c);
    return {};
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
        EXPECT_EQ(a.h.app().KWgetDataCount(), 1);
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
    ASSERT_GE(steps.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(steps.begin(), steps.begin() + 7),
              (std::vector<std::string>{"SetXColumn,1:0\t5:1", "SetYColumn,2:0",
                                        "SetSyukeiColumn,2:0\t4:130,0\t1", "SetXTotal,2",
                                        "SetYTotal,1", "SetPoint,2", "ExecuteMolap"}));
    std::vector<std::string> names;
    for (const std::string& step : steps)
        names.push_back(step.substr(0, step.find(',')));
    for (const char* name :
         {"SetXColumn", "SetYColumn", "SetSyukeiColumn", "ExecuteMolap", "MolapFilter",
          "MolapDrillThrough", "MolapCopy", "MolapOutToCSV", "MolapOutToExcel", "MolapClose"})
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
    EXPECT_NE(recorded.find("molap X: [1 \"性別\"] [5 \"回答日\\t（年）\"]\n"), std::string::npos);
    EXPECT_NE(csvBytes.find(cp932::literal("\"回答日（年）\"")), std::string::npos);
    EXPECT_NE(csvBytes.find("\"\n"), std::string::npos);
    EXPECT_NE(cells.find("<mergeCell "), std::string::npos);
}

}  // namespace
}  // namespace zbq::windows
