// A session on the cross-tabulation window recorded through the real console page, widgets and
// menus (X by Y on class conditions with a Z sum, decimals, a sort and its undoing, a mouse
// selection, a divider drag and double-click, a drill-through, a whole copy, a CSV by the save
// dialog, the workbook, maximise, restore and close), then replayed step by step into a fresh
// program: the two screens, the clipboard, the CSV bytes and the workbook's cells compare equal.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <chrono>
#include <filesystem>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/olap_page.h"
#include "macro/cmacro.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "tests/support/app_harness.h"
#include "tests/support/session_gestures.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/session_fixture.h"
#include "windows/cross_frame.h"

namespace zbq::windows {
namespace {

using Axis = OlapAxisSettings::Axis;

struct Program {
    Program() : frame(h.app(), factories()) { h.app().SetClock(fixedSessionTime); }
    ~Program() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.crossWindow = [this](CMainFrame&) { return CCrossFrm::Make(h.app()); };
        return f;
    }
    bool start() {
        if (!h.start({h.writeFixture()})) return false;
        frame.ShowConsole();
        h.app().SetExportTempPath(h.file("temp/stamp_e.xlsx"));
        return true;
    }
    COlapPage& page() const { return *qobject_cast<CConsSheet*>(frame.console())->OlapPage(); }
    CCrossFrm& window() const { return *qobject_cast<CCrossFrm*>(frame.crossWindow()); }
    GridController& g() const { return window().model().geometry(); }
    QPoint cell(int column, int row) const { return test::cellCentre(g(), column, row); }

    test::AppHarness h;
    CMacro macro{h.app()};
    CMainFrame frame;
};

TEST(CrossSession, ARecordedSessionReplaysIntoTheSameScreenAndFiles) {
    ui::ScriptedClipboard clipboard;
    ui::ScriptedOpener opener;
    test::TempDir outside;
    const std::string csvPath = outside.file("cross.csv");
    std::vector<std::string> steps;
    std::string recorded, csvBytes, clipText, cells;
    {
        Program a;
        ASSERT_TRUE(a.start());
        ASSERT_EQ(a.macro.StartRecording(), 1);
        COlapPage& page = a.page();
        emit page.itemCombo(Axis::X)->activated(1);  // 性別
        emit page.itemCombo(Axis::Y)->activated(2);  // 年齢
        page.categoryCombo(Axis::Y)->showPopup();
        page.categoryCombo(Axis::Y)->hidePopup();
        emit page.categoryCombo(Axis::Y)->activated(0);
        QSlider* y = page.levelSlider(Axis::Y);
        y->setSliderDown(true);
        y->setSliderPosition(1);
        y->setSliderDown(false);
        emit page.zCombo()->activated(5);  // 満足度
        emit page.kindCombo()->activated(3);
        page.displayButton()->click();
        ASSERT_NE(a.frame.crossWindow(), nullptr);
        // Y on the built-in category's classes.
        EXPECT_EQ(a.h.app().GetCrossSettings().yCategory, 0);
        EXPECT_EQ(a.h.app().GetCrossSettings().yLevel, 1);
        CCrossListView& view = a.window().view();
        ASSERT_GE(a.window().model().GetRowCount(), 1);
        ASSERT_GE(a.window().model().GetColumnCount(), 2);

        view.RunCommand(CCrossListView::kDecimals0 + 2, -1);
        view.RunCommand(CCrossListView::kSortDown, 1);
        view.RunCommand(CCrossListView::kOriginal, 1);
        view.RunCommand(CCrossListView::kSortUp, 0);
        QWidget* list = view.grid().list()->viewport();
        QWidget* header = view.grid().columnHeader();
        QTest::mousePress(list, Qt::LeftButton, {}, a.cell(0, 0));
        QTest::mouseMove(list, a.cell(1, 0));
        QTest::mouseRelease(list, Qt::LeftButton, {}, a.cell(1, 0));
        const int divider = CrossTabModel::kRowHeaderWidth + a.g().columnLeft(1);
        QTest::mousePress(header, Qt::LeftButton, {}, QPoint(divider, 10));
        QTest::mouseMove(header, QPoint(divider + 25, 10));
        QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(divider + 25, 10));
        const int first = CrossTabModel::kRowHeaderWidth + a.g().columnLeft(1) - 1;
        QTest::mousePress(header, Qt::LeftButton, {}, QPoint(first, 10));
        QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(first, 10));
        QTest::mouseDClick(header, Qt::LeftButton, {}, QPoint(first, 10));
        QTest::mousePress(list, Qt::LeftButton, {}, a.cell(0, 0));
        QTest::mouseMove(list, a.cell(1, 0));
        QTest::mouseRelease(list, Qt::LeftButton, {}, a.cell(1, 0));
        view.RunCommand(CCrossListView::kDrill, -1);
        ASSERT_NE(a.frame.crossWindow(), nullptr);
        a.window().view().RunCommand(CCrossListView::kCopyAll, -1);
        a.h.prompts().chooseSave(ui::SaveChoice{QString::fromStdString(csvPath), 0});
        a.window().view().RunCommand(CCrossListView::kCsvAll, -1);
        a.window().view().RunCommand(CCrossListView::kExcelAll, -1);
        a.window().OnMaximize();
        a.window().OnRestore();
        steps = a.macro.RecordedSteps();
        EXPECT_TRUE(a.h.prompts().messages().empty());
        a.macro.StopRecording("");
        recorded = a.h.snapshot();
        csvBytes = test::readFile(csvPath);
        clipText = clipboard.text().value_or("");
        cells = sheetCells(a.h.file("temp/stamp_e.xlsx"));
        a.window().OnClose();
        EXPECT_EQ(a.frame.crossWindow(), nullptr);
        EXPECT_EQ(a.macro.RecordedSteps().size(), steps.size());  // recording had stopped
    }
    std::filesystem::remove(csvPath);
    clipboard.setText("");
    {
        Program b;
        ASSERT_TRUE(b.start());
        for (const std::string& step : steps) {
            EXPECT_EQ(b.macro.ExecuteStep(step), 1) << step;
        }
        EXPECT_EQ(b.h.snapshot(), recorded);
        EXPECT_EQ(test::readFile(csvPath), csvBytes);
        EXPECT_EQ(clipboard.text().value_or(""), clipText);
        EXPECT_EQ(sheetCells(b.h.file("temp/stamp_e.xlsx")), cells);
        EXPECT_TRUE(b.h.prompts().messages().empty());
        StepFields close{"Olap_Close"};
        EXPECT_EQ(b.macro.ExecuteCommand(close), 1);
        EXPECT_EQ(b.frame.crossWindow(), nullptr);
    }
    std::vector<std::string> names;
    for (const std::string& step : steps)
        names.push_back(step.substr(0, step.find(',')));
    for (const char* name :
         {"DispOlap", "Olap_DecimalDigit", "Olap_Sort", "Olap_OriginalDisplay", "Olap_SelectCell",
          "Olap_AlignmentFree", "Olap_Alignment", "DorileDrillThrough", "Olap_CopyAll",
          "Olap_OutToCsvAll", "Olap_OutToExcelAll", "Olap_Max", "Olap_Restore"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    EXPECT_EQ(std::count(names.begin(), names.end(), "Olap_Close"), 0);
    EXPECT_NE(clipText.find("\r\n"), std::string::npos);
    EXPECT_FALSE(csvBytes.empty());
    EXPECT_NE(cells.find("<c "), std::string::npos);
}

}  // namespace
}  // namespace zbq::windows
