// A session on the original-data window recorded through its real widgets and menus (sorts,
// codes, commas, decimals, a width drag, a fit, mouse selections, keys, the wheel, copy, CSV by
// the save dialog, the workbook, format printing), then replayed step by step into a fresh
// application: the two screens, the clipboard and every file written compare equal.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/workbook/zip_package.h"
#include "tests/support/app_harness.h"
#include "tests/support/session_gestures.h"
#include "tests/support/temp_dir.h"
#include "windows/kw_view.h"

namespace zbq::windows {
namespace {

// The cells of a workbook's first sheet as its XML holds them; "" when it cannot be read.
std::string sheetCells(const std::string& path) {
    std::string error;
    const auto package = workbook::ZipPackage::fromFile(path, &error);
    const std::string* sheet = package ? package->find("xl/worksheets/sheet1.xml") : nullptr;
    return sheet ? *sheet : std::string();
}

// One application with its frame, macro object and the original-data window open.
struct Screen {
    Screen() {
        EXPECT_TRUE(harness.load());
        harness.app().SetDisplayItems({0, 1, 2, 3, 4, 5, 6});
        harness.app().SetGridItems();
        harness.app().SetExportTempPath(harness.file("temp/stamp_e.xlsx"));
        harness.app().SetPrintMenu({{5, "m", harness.file("report.xls")}});
        harness.app().SetExcelPath("calc.desktop");  // as start-up finds one
        WindowFactories factories;
        factories.dataView = [this](CMainFrame&) { return CKWView::Make(harness.app()); };
        frame = std::make_unique<CMainFrame>(harness.app(), std::move(factories));
        macro = std::make_unique<CMacro>(harness.app());
        frame->resize(700, 220);
        frame->show();
        frame->ShowDataView();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        QCoreApplication::processEvents();
    }
    ~Screen() {
        macro.reset();
        frame.reset();
    }
    CKWView& view() { return *qobject_cast<CKWView*>(frame->dataView()); }
    GridController& g() { return view().model().geometry(); }
    QPoint cell(int column, int row) { return test::cellCentre(g(), column, row); }
    void menu(GridRole role, std::int32_t column, std::int32_t command) {
        std::unique_ptr<QMenu> m = view().BuildMenu(role, column);
        for (QAction* action : m->findChildren<QAction*>())
            if (action->data().toInt() == command && action->isEnabled()) {
                action->trigger();
                return;
            }
        ADD_FAILURE() << "no enabled entry " << command;
    }

    test::AppHarness harness;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CMacro> macro;
};

TEST(DataViewSession, ARecordedSessionReplaysIntoTheSameScreenAndFiles) {
    ui::ScriptedClipboard clipboard;
    ui::ScriptedOpener opener;
    std::vector<std::string> steps;
    std::string recorded, csvBytes, printBytes, clipText, cells;
    // Outside both program directories: the step names it and the replay writes it again.
    test::TempDir outside;
    const std::string csvPath = outside.file("session.csv");
    {
        Screen a;
        ASSERT_EQ(a.macro->StartRecording(), 1);
        QWidget* list = a.view().grid().list()->viewport();
        QWidget* header = a.view().grid().columnHeader();
        a.menu(GridRole::ColumnHeader, 2, CKWView::kSortDown);
        a.menu(GridRole::ColumnHeader, 0, CKWView::kSortUp);
        a.menu(GridRole::ColumnHeader, 4, CKWView::kSortDown);
        a.menu(GridRole::ColumnHeader, 1, CKWView::kDispByCode);
        a.menu(GridRole::ColumnHeader, 2, CKWView::kComma);
        a.menu(GridRole::ColumnHeader, 4, CKWView::kDecimals0 + 2);
        const int divider = 80 + a.g().columnLeft(1);
        QTest::mousePress(header, Qt::LeftButton, {}, QPoint(divider, 10));
        QTest::mouseMove(header, QPoint(divider + 30, 10));
        QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(divider + 30, 10));
        a.menu(GridRole::ColumnHeader, 3, CKWView::kCellWidth);
        QTest::mousePress(list, Qt::LeftButton, {}, a.cell(0, 1));
        QTest::mouseMove(list, a.cell(2, 2));
        QTest::mouseRelease(list, Qt::LeftButton, {}, a.cell(2, 2));
        QTest::keyClick(a.view().grid().list(), Qt::Key_Down);
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(list, &wheel);
        QTest::mousePress(list, Qt::LeftButton, {}, a.cell(1, a.g().topRow()));
        QTest::mouseMove(list, a.cell(4, a.g().topRow() + 2));
        QTest::mouseRelease(list, Qt::LeftButton, {}, a.cell(4, a.g().topRow() + 2));
        a.menu(GridRole::List, -1, CKWView::kCopyWithHead);
        a.harness.prompts().chooseSave(ui::SaveChoice{QString::fromStdString(csvPath), 0});
        a.menu(GridRole::List, -1, CKWView::kCsv);
        a.menu(GridRole::List, -1, CKWView::kExcelWithHead);
        ASSERT_TRUE(a.frame->RunPrintEntry(5));
        steps = a.macro->RecordedSteps();
        a.macro->StopRecording("");  // the replay is compared with the screen, not the recorder
        recorded = a.harness.snapshot();
        csvBytes = test::readFile(csvPath);
        printBytes = test::readFile(a.harness.file("temp/StylePrt.csv"));
        clipText = clipboard.text().value_or("");
        cells = sheetCells(a.harness.file("temp/stamp_e.xlsx"));
        EXPECT_TRUE(a.harness.prompts().messages().empty());
    }
    // The replay writes the recorded path again; the bytes must come back.
    std::filesystem::remove(csvPath);
    clipboard.setText("");
    {
        Screen b;
        for (const std::string& step : steps) {
            EXPECT_EQ(b.macro->ExecuteStep(step), 1) << step;
        }
        std::string replayed = b.harness.snapshot();
        // Two program directories; the screens are compared as the user sees them.
        EXPECT_EQ(replayed, recorded);
        EXPECT_EQ(test::readFile(csvPath), csvBytes);
        EXPECT_EQ(test::readFile(b.harness.file("temp/StylePrt.csv")), printBytes);
        EXPECT_EQ(clipboard.text().value_or(""), clipText);
        EXPECT_EQ(sheetCells(b.harness.file("temp/stamp_e.xlsx")), cells);
        EXPECT_TRUE(b.harness.prompts().messages().empty());
    }
    ASSERT_GE(steps.size(), 17u);
    EXPECT_EQ(steps.front(), "Data_SortDown,2");
    EXPECT_EQ(steps.back(), "Prt,5");
    EXPECT_FALSE(clipText.empty());
    EXPECT_FALSE(csvBytes.empty());
    EXPECT_NE(cells.find("<c "), std::string::npos);
    // Both runs opened the workbook and the print entry's file.
    EXPECT_EQ(opener.opened().size(), 4u);
}

}  // namespace
}  // namespace zbq::windows
