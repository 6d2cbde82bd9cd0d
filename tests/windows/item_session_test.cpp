// A session in item windows opened from the original-data window, recorded through their widgets,
// replayed in a fresh program: both tabs, a percent rank, a count order and a drag selection
// unmarked from the menu, a search with its result added, a new set, a copy, a workbook, Float
// places and the close box. The macro plays to the same screen (the windows' snapshot lines
// included), the same clipboard text and the same workbook.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <functional>

#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/modal_runner.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/app_harness.h"
#include "tests/support/session_gestures.h"
#include "tests/support/temp_dir.h"
#include "windows/item_sheet.h"
#include "windows/kw_view.h"
#include "windows/summary_percent_dialog.h"
#include "windows/value_list_view.h"

namespace zbq::windows {
namespace {

using test::clickTab;
using test::dragRows;
using test::runMenu;
using test::typeSearch;

std::chrono::system_clock::time_point fixedTime() {
    using namespace std::chrono;
    return sys_days{year{2024} / 5 / 6} + hours{12} + minutes{34} + seconds{56};
}

struct Program {
    Program() : frame(h.app(), factories()) { h.app().SetClock(fixedTime); }
    ~Program() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.dataView = [this](CMainFrame&) { return CKWView::Make(h.app()); };
        f.itemWindow = [this](CMainFrame& owner, std::int32_t item) -> QWidget* {
            return new CItemSheet(h.app(), owner, item);
        };
        return f;
    }
    CItemSheet* sheet(std::int32_t item) const {
        return dynamic_cast<CItemSheet*>(frame.FindItemSheet(item));
    }
    // The original-data window on every item, as a data file opens it.
    void showGrid() {
        h.app().SetDisplayItems({0, 1, 2, 3, 4, 5, 6});
        h.app().SetGridItems();
        frame.ShowDataView();
    }
    // The original-data window's item details on the column of an item.
    void openItem(std::int32_t item) {
        auto* view = qobject_cast<CKWView*>(frame.dataView());
        ASSERT_NE(view, nullptr);
        for (std::int32_t c = 0; c < view->model().GetColumnCount(); ++c)
            if (view->model().GetColumnItem(c) == item) view->model().DispItemDlg(c);
        ASSERT_NE(sheet(item), nullptr);
    }

    test::AppHarness h;
    CMacro macro{h.app()};
    CMainFrame frame;
};

std::string workbookCells(const std::string& path) {
    const test::ProgramRun run = test::runPython(
        {"-c",
         "import sys, openpyxl\n"
         "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
         "print('|'.join(','.join(repr(c.value) for c in r) for r in ws.iter_rows()))\n",
         path});
    EXPECT_EQ(run.status, 0) << run.output;
    return run.output;
}

TEST(ItemWindowSession, ReplaysToTheSameScreenClipboardAndWorkbook) {
    test::TempDir out;
    std::string screen, copied, cells;
    ui::ScriptedOpener opener;
    {
        Program session;
        ASSERT_TRUE(session.h.start({session.h.writeFixture()}));
        session.showGrid();
        ASSERT_EQ(session.macro.StartRecording(), 1);
        session.openItem(2);
        session.openItem(4);
        CItemSheet& age = *session.sheet(2);
        CItemSheet& score = *session.sheet(4);
        ui::ScriptedClipboard clipboard;
        ui::ScopedModalHook percent([](QDialog& dialog) {
            auto* d = dynamic_cast<CPercentRankDlg*>(&dialog);
            if (!d) return int(QDialog::Rejected);
            d->percentEdit()->setText("37.5");
            d->accept();
            return d->result();
        });
        const std::function<void()> actions[] = {
            [&] { clickTab(age, CItemSheet::kSummaryPage); },
            [&] { age.percentButton()->click(); },
            [&] { clickTab(age, CItemSheet::kValueListPage); },
            [&] { runMenu(age.view(), "存在順に表示/降順"); },
            [&] { dragRows(age.view(), 2, 4); },
            [&] { runMenu(age.view(), "外す/選択範囲を外す"); },
            [&] { typeSearch(age, ">40"); },
            [&] { age.findChild<QPushButton*>("toTopValue")->click(); },
            [&] { runMenu(age.view(), "加える/値検索結果を加える"); },
            [&] { dragRows(age.view(), 6, 8); },
            [&] { runMenu(age.view(), "外す/選択範囲を外す"); },
            [&] { age.findChild<QPushButton*>("createSet")->click(); },
            [&] { runMenu(age.view(), "全てを選択"); },
            [&] { age.model().Copy(true); },
            [&] { runMenu(age.view(), "Excelに書出し/項目名付き"); },
            [&] { runMenu(score.view(), "小数点以下桁数/1"); },
            [&] { score.close(); },
        };
        for (const auto& action : actions) {
            action();
            QCoreApplication::processEvents();
        }
        const std::vector<std::string> steps = session.macro.RecordedSteps();
        EXPECT_EQ(
            steps,
            (std::vector<std::string>{
                "DispItemDlg,2", "DispItemDlg,4", "OpenSummaryTab,2", "Item_PercentValue,2,37.5",
                "OpenValListTab,2", "Item_SortDown,2", "Item_SelectCell,2,0,2,0,4",
                "Item_RemoveSelection,2", "InputSearchTerm,2,\">40\"", "ToTopItemData,2",
                "Item_AddSearchResult,2", "Item_SelectCell,2,0,6,0,8", "Item_RemoveSelection,2",
                "CreateSet,2", "Item_SelectAll,2", "Item_CopyWithHead,2",
                "Item_OutToExcelWithHead,2", "Item_DecimalDigit,4,1", "Item_Close,4"}));
        ASSERT_EQ(session.macro.StopRecording("session"), 1);
        screen = session.h.snapshot();
        ASSERT_TRUE(clipboard.text());
        copied = *clipboard.text();
        ASSERT_EQ(opener.opened().size(), 1u);
        cells = workbookCells(opener.opened()[0].toStdString());
        ASSERT_EQ(session.macro.WriteMacroFile(out.file("recorded.mcr")), 1);
    }
    EXPECT_NE(screen.find("item window 2: tab 1"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("item window 4"), std::string::npos);
    EXPECT_NE(cells.find("'値'"), std::string::npos) << cells;

    Program replay;
    std::filesystem::copy_file(out.file("recorded.mcr"), replay.h.file("fixture.mcr"));
    ASSERT_TRUE(replay.h.start({replay.h.writeFixture()}));
    replay.showGrid();
    ui::ScriptedClipboard clipboard;
    const int index = replay.macro.FindMacro("session");
    ASSERT_GE(index, 0);
    replay.h.prompts().answer(ui::Answer::Ok);  // the run's completion
    ASSERT_EQ(replay.macro.RunMacro(index), 1);
    EXPECT_EQ(replay.h.snapshot(), screen);
    ASSERT_TRUE(clipboard.text());
    EXPECT_EQ(*clipboard.text(), copied);
    ASSERT_EQ(opener.opened().size(), 2u);
    EXPECT_EQ(workbookCells(opener.opened()[1].toStdString()), cells);
}

}  // namespace
}  // namespace zbq::windows
