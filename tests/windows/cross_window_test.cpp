// The cross-tabulation window on the main frame with its real console, offscreen: opening from
// the settings, the window list, fitting the table, closing when a rebuild finds no table, the
// window's own steps, the copies and text exports, and every player's checks with their exact
// messages.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <fstream>
#include <sstream>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/app_harness.h"
#include "tests/windows/console_screen.h"
#include "windows/cross_frame.h"

namespace zbq::windows {
namespace {

const std::string kStop = "\nマクロの実行を中止します。";
std::string rangeMessage(const std::string& command) {
    return "コマンド[" + command + "]のパラメータが範囲を超えています。" + kStop;
}
std::string invalidMessage(const std::string& command) {
    return "コマンド[" + command + "]のパラメータが不正です。" + kStop;
}

std::string u8(std::string_view cp932) {
    return cp932::toUtf8(cp932);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct CrossScreen : ConsoleScreen {
    CrossScreen() : macro(h.app()) {}
    // X 性別, Y ID (eleven texts and a blank), record counts.
    bool show(std::int32_t y = 0) {
        CrossSettings s;
        s.xItem = 1;
        s.yItem = y;
        h.app().SetCrossSettings(s);
        return frame.ShowCrossWindow() == 1;
    }
    CCrossFrm* window() const { return qobject_cast<CCrossFrm*>(frame.crossWindow()); }
    std::int32_t play(const std::string& step) { return macro.ExecuteStep(cp932::literal(step)); }
    std::vector<std::string> messages() { return h.prompts().messageTexts(); }

    ui::ScriptedClipboard clipboard;
    CMacro macro;
};

TEST(CrossWindow, OpensListedAndFittedThenClosesWhenTheTableIsLost) {
    CrossScreen s;
    ASSERT_TRUE(s.show(2));
    CCrossFrm* w = s.window();
    ASSERT_NE(w, nullptr);
    const std::string title = w->windowTitle().toStdString();
    EXPECT_EQ(title.rfind("ｸﾛｽ集計(件数(Ｚ指定不要))[X：性別][Y：年齢][Z：]", 0), 0u) << title;
    const auto listed = s.h.app().console().ListedWindows();
    EXPECT_NE(std::find(listed.begin(), listed.end(), w), listed.end());
    // Fitted to the table, and no narrower than its caption needs.
    const auto [fw, fh] = w->model().FitFrameToTable(0, 0);
    const int nonClient = w->frameGeometry().width() - w->width();
    EXPECT_EQ(w->height(), fh);
    EXPECT_EQ(w->width(),
              std::max(fw, std::min(w->titleWidth(), CrossTabModel::kWidestFrame - nonClient)));
    EXPECT_GT(w->width(), fw) << "a caption wider than this small table";
    EXPECT_LE(w->width(), 800);
    EXPECT_LE(w->height(), 500);

    // A set with no record: the refresh cannot build, the window goes with its row.
    ASSERT_EQ(s.h.app().KWsrch("#2=999"), 0);
    EXPECT_LT(s.h.app().RefreshCrossView(), 0);
    EXPECT_EQ(s.window(), nullptr);
    const auto after = s.h.app().console().ListedWindows();
    EXPECT_EQ(std::find(after.begin(), after.end(), w), after.end());
}

// The toggle and the sort show the table again: the window fits itself to it each time, and the
// decimals the user chose stay.
TEST(CrossWindow, FitsAgainAfterTheToggleAndASortWhichKeepTheDecimals) {
    CrossScreen s;
    ASSERT_TRUE(s.show(2));
    CCrossFrm* w = s.window();
    CrossTabModel& m = w->model();
    m.SetDecimalDigit(2);
    // The table's fit, no narrower than the caption.
    const auto fitted = [&m, w] {
        const auto [fw, fh] = m.FitFrameToTable(0, 0);
        const int nonClient = w->frameGeometry().width() - w->width();
        return QSize(
            std::max(fw, std::min(w->titleWidth(), CrossTabModel::kWidestFrame - nonClient)), fh);
    };
    w->resize(60, 40);
    ASSERT_EQ(m.ToggleErrorBlank(), 0);
    EXPECT_EQ(w->size(), fitted()) << "after the toggle";
    EXPECT_EQ(m.decimals(), 2);
    w->resize(60, 40);
    m.SortRows(0, 1);
    EXPECT_EQ(w->size(), fitted()) << "after the sort";
    EXPECT_EQ(m.decimals(), 2);
    w->resize(60, 40);
    EXPECT_EQ(s.h.app().RefreshCrossView(), 0);
    EXPECT_EQ(w->size(), fitted()) << "after a rebuild";
    EXPECT_EQ(m.decimals(), 0) << "a new table starts from the preset";
}

TEST(CrossWindow, RecordsItsOwnCloseAndStatesButNotTheListsClose) {
    CrossScreen s;
    ASSERT_TRUE(s.show());
    ASSERT_EQ(s.macro.StartRecording(), 1);
    s.window()->OnMaximize();
    s.window()->OnRestore();
    s.window()->OnClose();
    EXPECT_EQ(s.window(), nullptr);
    ASSERT_TRUE(s.show());
    {
        CKWApp::SuppressGuard guard(s.h.app(), Suppress::CloseOne);
        s.window()->close();
    }
    EXPECT_EQ(s.window(), nullptr);
    const auto& steps = s.macro.RecordedSteps();
    EXPECT_EQ(std::vector<std::string>(steps.end() - 3, steps.end()),
              (std::vector<std::string>{"Olap_Max", "Olap_Restore", "Olap_Close"}));
}

TEST(CrossWindow, WholeCopyStartsWithTheCaptionAndTxtIsTabbed) {
    CrossScreen s;
    ASSERT_TRUE(s.show(2));
    CrossTabModel& m = s.window()->model();
    m.CopyAll();
    const std::string text = s.clipboard.text().value_or("");
    EXPECT_EQ(text.rfind(m.caption() + "\r\n", 0), 0u) << cp932::toUtf8(text);

    m.SetSelStart(0, 0);
    m.SetSelEnd(1, 1);
    m.CopyWithHead();
    const std::string block = s.clipboard.text().value_or("");
    EXPECT_EQ(std::count(block.begin(), block.end(), '\n'), 3);
    EXPECT_EQ(
        block.substr(0, block.find("\r\n")),
        m.GetCornerText() + "\t" + m.GetColumnHeaderText(0) + "\t" + m.GetColumnHeaderText(1));

    for (const char* name : {"a.txt", "b.TXT", "c.csv"}) {
        m.OutToCsv(s.h.file(name));
        const std::string bytes = readFile(s.h.file(name));
        const bool tabbed = std::string(name) == "a.txt";  // ".TXT" is not ".txt"
        EXPECT_EQ(bytes, m.GetCellText(0, 0) + (tabbed ? "\t" : ",") + m.GetCellText(0, 1) +
                             "\r\n" + m.GetCellText(1, 0) + (tabbed ? "\t" : ",") +
                             m.GetCellText(1, 1) + "\r\n")
            << name;
    }
}

TEST(CrossWindow, TheWorkbookLeadsWithTheCaptionAndTypesTheCounts) {
    CrossScreen s;
    ui::ScriptedOpener opener;
    s.h.app().SetExportTempPath(s.h.file("temp/stamp_e.xlsx"));
    ASSERT_TRUE(s.show(2));
    CrossTabModel& m = s.window()->model();
    ASSERT_EQ(u8(m.GetRowHeaderText(0)), "-3");
    s.h.app().SetExcelPath("calc.desktop");  // as start-up finds one
    m.OutToExcelAll();
    EXPECT_EQ(test::openpyxlMismatch(s.h.app().GetExportTempPath(), R"({
        "cells": {"Sheet1": {"A1": "ｸﾛｽ集計(件数(Ｚ指定不要))[X：性別][Y：年齢][Z：] 12 Rec",
                             "A2": "件数", "B2": "男性", "C2": "女性",
                             "A3": "-3", "B3": "-", "C3": 1, "A4": "0", "B4": 1, "C4": "-",
                             "A5": "19", "B5": 1, "C5": "-", "A6": "28", "B6": "-", "C6": 1,
                             "A7": "34", "B7": 1, "C7": 1, "A8": "42", "B8": "-", "C8": "-",
                             "A9": "45", "B9": 1, "C9": "-", "A10": "51", "B10": 1, "C10": "-",
                             "A11": "66", "B11": "-", "C11": 1}}
    })"),
              "");
    EXPECT_EQ(opener.opened().size(), 1u);
}

// The workbook entries of the cell menu need a spreadsheet program to open what they write.
TEST(CrossWindow, ExcelEntriesAreGreyedWithoutASpreadsheetProgram) {
    CrossScreen s;
    ASSERT_TRUE(s.show(2));
    for (const std::string program : {"", "calc.desktop"}) {
        SCOPED_TRACE(program);
        s.h.app().SetExcelPath(program);
        std::unique_ptr<QMenu> menu = s.window()->view().BuildMenu(GridRole::List, 0);
        ASSERT_TRUE(menu);
        int excelEntries = 0;
        for (QAction* action : menu->findChildren<QAction*>()) {
            const int command = action->data().toInt();
            const bool excel = command == CCrossListView::kExcelAll ||
                               action->text() == QString::fromUtf8("Excelに書出し");
            if (!excel) continue;
            ++excelEntries;
            EXPECT_EQ(action->isEnabled(), !program.empty()) << action->text().toStdString();
        }
        EXPECT_EQ(excelEntries, 2);
        // The other exports stay offered.
        for (QAction* action : menu->findChildren<QAction*>()) {
            if (action->data().toInt() == CCrossListView::kCsvAll) {
                EXPECT_TRUE(action->isEnabled());
            }
        }
    }
}

TEST(CrossWindow, PlayersCheckTheirNumbers) {
    CrossScreen s;
    ASSERT_TRUE(s.show());
    CrossTabModel& m = s.window()->model();
    const std::string columns = std::to_string(m.GetColumnCount());
    ASSERT_GE(m.GetRowCount(), 11);

    EXPECT_EQ(s.play("Olap_DecimalDigit,15"), 0);
    EXPECT_EQ(s.play("Olap_DecimalDigit,-1"), 0);
    EXPECT_EQ(s.play("Olap_DecimalDigit,3"), 1);
    EXPECT_EQ(m.decimals(), 3);
    EXPECT_EQ(s.play("Olap_DecimalDigit,abc"), 1);
    EXPECT_EQ(m.decimals(), 0);
    EXPECT_EQ(s.play("Olap_AlignmentFree," + columns + ",10"), 0);
    EXPECT_EQ(s.play("Olap_Sort," + columns + ",0"), 0);
    EXPECT_EQ(s.play("Olap_VScroll,5,0"), 0);
    EXPECT_EQ(s.messages(),
              (std::vector<std::string>{
                  invalidMessage("Olap_DecimalDigit"), invalidMessage("Olap_DecimalDigit"),
                  rangeMessage("Olap_AlignmentFree"), rangeMessage("Olap_Sort"),
                  invalidMessage("Olap_VScroll")}));

    m.geometry().setViewport(400, m.geometry().rowHeight());
    EXPECT_EQ(s.play("Olap_VScroll,4,10"), 1);
    EXPECT_EQ(m.geometry().topRow(), 10);
    EXPECT_EQ(s.play("Olap_SelectRow,7,2"), 1);
    EXPECT_EQ(m.GetSelStart(), (Cell{0, 7}));
    EXPECT_EQ(m.GetSelEnd(), (Cell{m.GetColumnCount() - 1, 2}));
    EXPECT_EQ(s.play("Olap_ChangeSelectByKey,65,1,0"), 1);
    EXPECT_EQ(m.GetSelStart(), (Cell{0, 7}));
    EXPECT_EQ(s.play("Olap_AlignmentFree,0,70000"), 1);  // the low 16 bits, held to 24000
    EXPECT_EQ(m.geometry().columnWidth(0), 4464);
    EXPECT_EQ(s.play("Olap_Sort,0,1"), 1);
    EXPECT_EQ(m.sortColumn(), 0);
    EXPECT_EQ(s.play("Olap_OriginalDisplay"), 1);
    EXPECT_EQ(m.sortColumn(), -1);
    EXPECT_EQ(s.play("Olap_OriginalDisplay"), 1);  // unsorted: nothing, the run goes on
    EXPECT_EQ(s.messages().size(), 5u);

    // "???" with nobody to answer it is a cancel: the path is missing, nothing is written.
    EXPECT_EQ(s.play("Olap_OutToCsv,\"???\""), 0);
    EXPECT_EQ(s.messages().back(),
              "コマンド[Olap_OutToCsv]のパラメータにファイル名が指定されていません。" + kStop);
}

TEST(CrossWindow, EveryCommandNeedsTheWindow) {
    CrossScreen s;
    const std::string noWindow = "画面が表示されていないため、マクロを実行できません。" + kStop;
    for (const char* step : {"DorileDrillThrough",
                             "Olap_CopyAll",
                             "Olap_CopyWithHead",
                             "Olap_Copy",
                             "Olap_OutToCsvAll,\"a.csv\"",
                             "Olap_OutToCsvWithHead,\"a.csv\"",
                             "Olap_OutToCsv,\"a.csv\"",
                             "Olap_OutToExcelAll",
                             "Olap_OutToExcelWithHead",
                             "Olap_OutToExcel",
                             "Olap_DecimalDigit,1",
                             "Olap_Alignment,0",
                             "Olap_AlignmentFree,0,1",
                             "Olap_Sort,0,0",
                             "Olap_OriginalDisplay",
                             "Olap_SelectCell,0,0,0,0",
                             "Olap_SelectRow,0,0",
                             "Olap_SelectColumn,0,0",
                             "Olap_SelectAll",
                             "Olap_VScroll,0,0",
                             "Olap_HScroll,0,0",
                             "Olap_MouseWheel,0,0",
                             "Olap_ChangeSelectByKey,37,1,0",
                             "Olap_Close",
                             "Olap_Max",
                             "Olap_Min",
                             "Olap_Restore"}) {
        s.h.prompts().clear();
        EXPECT_EQ(s.play(step), 0) << step;
        EXPECT_EQ(s.messages(), std::vector<std::string>{noWindow}) << step;
    }
}

}  // namespace
}  // namespace zbq::windows
