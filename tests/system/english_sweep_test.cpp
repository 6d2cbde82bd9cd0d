// Under English, no Japanese is left on the screen: the frame with its menus, every console page
// with its popup menus and dialogs, every analysis window with its menus, grids and dialogs, the
// macro dialogs and the settings tool are opened on a data set whose names and values are ASCII,
// and every text they show is searched for Japanese, as is every message box they asked for and
// the status texts of a build. The English tests of each window list the texts it must show;
// this one finds a text nobody listed.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

#include "app/excel_read_dlg.h"
#include "app/item_edit_dlg.h"
#include "app/login_dlg.h"
#include "app/main_frame.h"
#include "app/password_dlg.h"
#include "app/text_read_dlg.h"
#include "console/category_file.h"
#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/category_list_view.h"
#include "console/class_dialogs.h"
#include "console/cons_sheet.h"
#include "console/cons_status_bar.h"
#include "console/data_sel_page.h"
#include "console/drag_item_list.h"
#include "console/filter_cond_dlg.h"
#include "console/item_sel_page.h"
#include "console/log_page.h"
#include "console/molap_page.h"
#include "console/molap_settings.h"
#include "console/olap_page.h"
#include "console/save_mode_dlg.h"
#include "console/sys_page.h"
#include "console/unit_set_dlg.h"
#include "graphctl/graph_client.h"
#include "macro/cmacro.h"
#include "macro/macro_menu_dlg.h"
#include "macro/macro_name_dlg.h"
#include "macro/record_cond_dlg.h"
#include "macro/var_cond_dlg.h"
#include "macro/work_list_dlg.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "settingstool/about_dlg.h"
#include "settingstool/print_format_dlg.h"
#include "settingstool/print_format_list.h"
#include "settingstool/settings_dlg.h"
#include "tests/settingstool/settings_fixture.h"
#include "tests/support/app_harness.h"
#include "tests/support/in_language.h"
#include "tests/support/japanese_sweep.h"
#include "tests/support/temp_dir.h"
#include "windows/cross_frame.h"
#include "windows/graph_host.h"
#include "windows/item_sheet.h"
#include "windows/kw_view.h"
#include "windows/molap_filter_dialog.h"
#include "windows/molap_frame.h"
#include "windows/result_grid.h"
#include "windows/summary_percent_dialog.h"
#include "windows/value_list_page.h"
#include "windows/value_list_view.h"

namespace zbq::test {
namespace {

// The texts the program shows in Japanese in both languages, because a file, a clipboard text or
// a search compares them: the error and blank markers of the value lists and grids.
const QStringList kKeptJapanese = {
    QStringLiteral("ｴﾗｰ"),
    QStringLiteral("ﾌﾞﾗﾝｸ"),
};

// Japanese that is shown under English on purpose, each with where it comes from and why it
// stays.
const QStringList kKeptNames = {
    // The built-in category definition's name (app/ckw_app_restore.cpp): a name the settings and
    // macro steps keep, shown as a user's own names are.
    QStringLiteral("cell: 単一"),
};

// The data set: the seven item types, named codes, nested groups, a blank and an error, all in
// ASCII so that whatever Japanese shows is the program's own.
constexpr const char* kDefinition =
    "Title = \"Survey\"\n"
    "Group = \"Basics\"\n"
    "  item = \"Id\"\n"
    "    String\n"
    "  EndItem\n"
    "  Group = \"Person\"\n"
    "    item = \"Sex\"\n"
    "      Code\n"
    "      Def\n"
    "        1 = \"Male\"\n"
    "        2 = \"Female\"\n"
    "      EndDef\n"
    "    EndItem\n"
    "    item = \"Age\"\n"
    "      Integer\n"
    "    EndItem\n"
    "  EndGroup\n"
    "EndGroup\n"
    "item = \"Hobby\"\n"
    "  MultiAns\n"
    "  Def\n"
    "    1 = \"Books\"\n"
    "    2 = \"Travel\"\n"
    "  EndDef\n"
    "EndItem\n"
    "item = \"Score\"\n"
    "  Float\n"
    "EndItem\n"
    "item = \"Day\"\n"
    "  Date\n"
    "EndItem\n"
    "item = \"Hour\"\n"
    "  Time\n"
    "EndItem\n"
    "EndTitle\n";
constexpr const char* kData =
    "Id\tSex\tAge\tHobby\tScore\tDay\tHour\n"
    "A1\t1\t34\t1,2\t3.5\t2024/04/01\t09:30:05\n"
    "A2\t2\t28\t2\t4.25\t2024/04/01\t10:00:00\n"
    "A3\t2\t\t\t2\t2024/04/02\t\n"
    "A4\t1\tabc\t1\t5\t2024/04/03\t23:59:59\n"
    "A5\t1\t51\t2\t1\t2024/05/10\t14:45:30\n";

// The popup menu `open` shows, walked while it is open and then closed with Escape.
void sweepPopup(JapaneseSweep& sweep, const QString& where, const std::function<void()>& open) {
    bool seen = false;
    std::function<void(int)> look = [&](int tries) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup && tries > 0) {
            QTimer::singleShot(10, [&look, tries] { look(tries - 1); });
            return;
        }
        if (!popup) return;
        seen = true;
        sweep.widget(*popup, where);
        popup->close();
    };
    QTimer::singleShot(10, [&look] { look(200); });
    open();
    // A menu shown with popup() rather than exec() is still open here.
    for (int i = 0; i < 300 && !seen; ++i)
        QTest::qWait(10);
    EXPECT_TRUE(seen) << where.toStdString() << " showed no menu";
}

void sweepGrids(JapaneseSweep& sweep, const QWidget& window, const QString& where) {
    const auto shown = [](const std::string& cp932) {
        return QString::fromStdString(cp932::toUtf8(cp932));
    };
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        const auto* grid = dynamic_cast<const windows::ResultGrid*>(w);
        if (!grid) continue;
        const windows::GridOwner& owner = grid->owner();
        sweep.text(shown(owner.cornerText()), where + " grid corner");
        for (std::int32_t c = 0; c < 60; ++c)
            sweep.text(shown(owner.columnTitle(c)), where + " grid column title");
        const std::int32_t rows = std::min<std::int32_t>(owner.listRowCount(), 200);
        for (std::int32_t r = 0; r < rows; ++r) {
            sweep.text(shown(owner.rowLabel(r)), where + " grid row title");
            for (std::int32_t c = 0; c < 60; ++c) {
                std::string cell;
                if (owner.cellText(r, c, &cell)) sweep.text(shown(cell), where + " grid cell");
            }
        }
    }
}

// The frame, its console and every window of the analysis, as the program builds them.
struct Screen {
    Screen() : frame(load(), factories()) {
        h.app().SetDisplayItems({0, 1, 2, 3, 4, 5, 6});
        h.app().SetGridItems();
        frame.resize(1024, 720);
        frame.show();
        frame.ShowConsole();
        // As the program's start-up fills them once the data set is loaded.
        console().RebuildItemTree();
        console().RebuildSetTree();
        console().RefreshOlapPages();
    }
    ~Screen() {
        frame.CloseMolapWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    CKWApp& load() {
        EXPECT_TRUE(h.load(cp932::literal(kDefinition), cp932::literal(kData)));
        return h.app();
    }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        f.crossWindow = [this](CMainFrame&) { return windows::CCrossFrm::Make(h.app()); };
        f.itemWindow = [this](CMainFrame& owner, std::int32_t item) -> QWidget* {
            return new windows::CItemSheet(h.app(), owner, item);
        };
        f.dataView = [this](CMainFrame&) { return windows::CKWView::Make(h.app()); };
        f.molapWindow = [this](CMainFrame&, const MolapParams& p) {
            return windows::CMOLAPFrm::Make(h.app(), p);
        };
        return f;
    }
    CConsSheet& console() { return *qobject_cast<CConsSheet*>(frame.console()); }

    AppHarness h;
    ui::ScriptedClipboard clipboard;
    CMainFrame frame;
};

class EnglishSweep : public ::testing::Test {
protected:
    void TearDown() override {
        QStringList left = sweep.findings();
        for (const QString& name : kKeptNames)
            left.removeIf([&name](const QString& f) { return f.contains(name); });
        EXPECT_TRUE(left.isEmpty()) << "Japanese shown under English:\n"
                                    << left.join('\n').toStdString();
    }

    // What the message boxes asked for were to show, as the box shows it.
    void sweepMessages(const ui::ScriptedPrompts& prompts, const QString& where) {
        for (const ui::Message& m : prompts.messages()) {
            sweep.text(ui::shownText(m.text), where + " message");
            sweep.text(ui::shownText(m.caption), where + " message caption");
        }
        for (const ui::Chooser& c : prompts.choosers()) {
            sweep.text(c.caption, where + " file chooser");
            sweep.text(c.title, where + " file chooser title");
            sweep.text(c.filter, where + " file chooser filter");
        }
    }

    InLanguage english{"en_US"};
    JapaneseSweep sweep{kKeptJapanese};
};

TEST_F(EnglishSweep, TheFrameAndTheConsole) {
    ASSERT_NE(english.translator(), nullptr);
    Screen s;
    sweep.widget(s.frame, "frame");
    sweep.actions(s.frame.menuBar()->actions(), "frame menu bar");
    CConsSheet& console = s.console();
    for (int page = 0; page < console.tabs()->count(); ++page) {
        console.tabs()->setCurrentIndex(page);
        QCoreApplication::processEvents();
    }
    sweep.widget(console, "console");
    sweep.widget(*console.OlapPage(), "OLAP page");

    // The system tab's window list with a window in it, and its menu.
    s.frame.ShowItemSheet(1);
    s.console().ActivatePage(ConsolePage::System);
    sweep.menu(*console.SysPage()->popupMenu(), "window list");

    // The item-selection tab's menus, on the tree's root and on the display list.
    CItemSelPage& items = *console.ItemSelPage();
    console.ActivatePage(ConsolePage::ItemSelection);
    sweepPopup(sweep, "item tree", [&] { items.ShowTreeMenu(0, QPoint(10, 10)); });
    sweepPopup(sweep, "display list", [&] { items.ShowListMenu(QPoint(10, 10)); });

    // The data-selection tab: the set tree's menu, the filter dialog, the question before a
    // condition is deleted.
    CDataSelPage& data = *console.DataSelPage();
    console.ActivatePage(ConsolePage::DataSelection);
    ASSERT_FALSE(s.h.app().Sets().empty());
    sweepPopup(sweep, "set tree", [&] { data.OnContextMenu(s.h.app().Sets().front().number); });
    {
        CFilterCondDlg filter(s.h.app(), data, 0, -1, &data);
        sweep.widget(filter, "filter dialog");
    }
    SearchCondition condition;
    condition.item = 1;
    s.h.app().AddSearchCondition(condition);
    data.FillConditions();
    sweep.widget(data, "data selection with a condition");
    data.SelectRow(0);
    s.h.prompts().answer(ui::Answer::No);
    data.OnDeleteCondition();

    // The aggregation tab with an item to aggregate, its menus and the unit dialog.
    COlap2Page& molap = *console.MolapPage();
    console.ActivatePage(ConsolePage::Molap);
    const auto itemRow = [&molap](const char* name) {
        COlapItemList* items = molap.list(MolapList::Items);
        for (int i = 0; i < items->topLevelItemCount(); ++i)
            if (items->topLevelItem(i)->text(0) == QLatin1String(name)) return i;
        return -1;
    };
    molap.list(MolapList::Items)->selectRows({itemRow("Day")});
    molap.OnCopyTo(MolapList::X);
    molap.list(MolapList::Items)->selectRows({itemRow("Score")});
    molap.OnCopyTo(MolapList::Sum);
    molap.list(MolapList::Sum)->selectRows({0});
    molap.settings().selectSumRows({0});
    molap.OnKind(1);  // 合計, which has units
    // A date grouping on the axis row and a unit with its rounding on the aggregation row.
    molap.settings().setGrouping(MolapList::X, 0, 5);
    molap.settings().setUnit(0, 1, 1);
    molap.sync();
    sweep.widget(molap, "aggregation page");
    molap.list(MolapList::X)->selectRows({0});
    sweepPopup(sweep, "aggregation date menu", [&] { molap.OnContextMenu(MolapList::X); });
    molap.list(MolapList::Sum)->selectRows({0});
    sweepPopup(sweep, "aggregation unit menu", [&] { molap.OnContextMenu(MolapList::Sum); });
    {
        CUnitSetDlg unit(UnitSetting{}, &molap);
        sweep.widget(unit, "unit dialog");
        CSaveModeDlg save(&console);
        sweep.widget(save, "save-mode dialog");
    }

    // The category editor's class dialogs, and the category file's messages.
    {
        std::vector<SmallClassDefinition> small = {{"Young", 2, "30", ""}};
        CMinorCategoryDlg smallDialog(s.h.app(), small, nullptr, &console);
        sweep.widget(smallDialog, "small class dialog");
        std::vector<ClassGrouping> rows = {{"All", "Young"}};
        for (const auto level : {ClassListEditor::Level::Middle, ClassListEditor::Level::Large}) {
            CCategoryListDlg listDialog(s.h.app(), level, rows, {"Young", "Others"}, nullptr,
                                        &console);
            sweep.widget(listDialog, "class list dialog");
        }
    }
    auto* categoryList = console.findChild<COlapListView*>();
    ASSERT_NE(categoryList, nullptr);
    categoryList->SelectRow(0);
    const QPoint row = categoryList->visualRect(categoryList->model()->index(0, 0)).center();
    sweepPopup(sweep, "category list", [&] { categoryList->OnRightButtonDown(row); });
    COlapFrm* categories = console.findChild<COlapFrm*>();
    ASSERT_NE(categories, nullptr);
    s.h.prompts().choose(std::nullopt);
    EXPECT_FALSE(categories->ChooseImportFile());
    categories->ImportCategory(s.h.file("missing.ctg"), false);
    writeFile(s.h.file("damaged.ctg"), "not a category\r\n");
    categories->ImportCategory(s.h.file("damaged.ctg"), false);
    ASSERT_NE(s.h.app().GetCategoryList().size(), 0u);
    categories->ExportCategory(0, s.h.file("no/such/folder/out.ctg"));

    // The reading pane's counter, as a load from a definition file shows it.
    for (int line = 0; line < 100; ++line)
        s.h.app().console().AppendReadLog("Id");
    sweep.widget(*console.LogPage(), "reading pane");

    // A category with a member the level below lacks, in the category editor of the page that
    // has no tab.
    const CategoryDefinition undefined{
        "Ages", 1, {{"Young", 5, "30", ""}}, {{"All", "Old"}}, {}};
    writeFile(s.h.file("ages.ctg"), CategoryFile::WriteCategory(undefined));
    categories->ImportCategory(s.h.file("ages.ctg"), false);
    categories->editor()->LoadCategory(
        static_cast<std::int32_t>(s.h.app().GetCategoryList().size()) - 1);
    sweep.widget(*categories, "category editor");

    // The status texts of a build from text, as the engine sends them.
    s.h.app().setStatusText(cp932::literal("データ解析中"));
    sweep.text(console.statusBar()->partText(0), "status bar");
    s.h.app().setStatusText(cp932::literal("項目12処理中"));
    sweep.text(console.statusBar()->partText(0), "status bar");

    sweepMessages(s.h.prompts(), "console");
}

TEST_F(EnglishSweep, ANotLoadedConsole) {
    AppHarness h;
    CMainFrame frame(h.app(), [&h] {
        WindowFactories f;
        f.console = [&h](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        return f;
    }());
    frame.show();
    frame.ShowConsole();
    auto& console = *qobject_cast<CConsSheet*>(frame.console());
    sweep.widget(console, "empty console");
    console.ItemSelPage()->OnAllToDisplayList();
    ASSERT_EQ(h.prompts().messages().size(), 1u) << "nothing said that no data is loaded";
    sweepMessages(h.prompts(), "empty console");
}

TEST_F(EnglishSweep, TheAnalysisWindows) {
    Screen s;
    windows::CItemSheet* item = nullptr;
    for (std::int32_t number : {1, 2, 3, 4, 5, 6}) {
        s.frame.ShowItemSheet(number);
        item = dynamic_cast<windows::CItemSheet*>(s.frame.FindItemSheet(number));
        ASSERT_NE(item, nullptr) << number;
        for (int tab = 0; tab < item->tabs()->count(); ++tab)
            item->tabs()->setCurrentIndex(tab);
        item->WritePercentRank(50);
        sweep.widget(*item, "item window");
        sweepGrids(sweep, *item, "item window");
        std::unique_ptr<QMenu> menu(item->view()->buildMenu());
        sweep.menu(*menu, "value list");
    }
    {
        windows::CPercentRankDlg percent(s.h.app(), item);
        sweep.widget(percent, "percent rank dialog");
    }

    s.frame.ShowDataView();
    auto* grid = qobject_cast<windows::CKWView*>(s.frame.dataView());
    ASSERT_NE(grid, nullptr);
    sweep.widget(*grid, "data view");
    sweepGrids(sweep, *grid, "data view");
    for (const auto role : {windows::GridRole::ColumnHeader, windows::GridRole::List})
        sweep.menu(*grid->BuildMenu(role, 1), "data view");

    CrossSettings cross;
    cross.xItem = 1;
    cross.yItem = 2;
    s.h.app().SetCrossSettings(cross);
    ASSERT_EQ(s.frame.ShowCrossWindow(), 1);
    auto* crossWindow = qobject_cast<windows::CCrossFrm*>(s.frame.crossWindow());
    ASSERT_NE(crossWindow, nullptr);
    sweep.widget(*crossWindow, "cross window");
    sweepGrids(sweep, *crossWindow, "cross window");
    for (const auto role : {windows::GridRole::ColumnHeader, windows::GridRole::List})
        sweep.menu(*crossWindow->view().BuildMenu(role, 0), "cross window");

    // Days by half and by quarter against the sexes, with subtotals and totals on both axes,
    // the scores summed in thousands.
    MolapParams p;
    p.xItems = {1};
    p.yItems = {5, 5};
    p.yDateUnits = {6, 5};
    p.zItems = {4};
    p.zKinds = {1};
    p.zUnits = {110};
    p.xTotalMode = 2;
    p.yTotalMode = 2;
    ASSERT_EQ(s.frame.ShowMolapWindow(p), 1);
    auto* molap = qobject_cast<windows::CMOLAPFrm*>(s.frame.molapWindow());
    ASSERT_NE(molap, nullptr);
    sweep.widget(*molap, "aggregation window");
    sweepGrids(sweep, *molap, "aggregation window");

    // A drill-through on the first half's first quarter of the first sex: the new set in the
    // set tree and the drill's line in the log tab.
    ASSERT_TRUE(molap->view().SelectCell(2, 2));
    ASSERT_EQ(molap->DrillThrough(), 1);
    molap = qobject_cast<windows::CMOLAPFrm*>(s.frame.molapWindow());
    ASSERT_NE(molap, nullptr);
    sweep.widget(*molap, "aggregation window after a drill-through");
    CConsSheet& console = s.console();
    console.ActivatePage(ConsolePage::DataSelection);
    sweep.widget(*console.DataSelPage(), "set tree after a drill-through");
    console.ActivatePage(ConsolePage::Log);
    sweep.widget(*console.LogPage(), "log tab after a drill-through");
    std::unique_ptr<QMenu> menu(molap->contextMenu());
    sweep.menu(*menu, "aggregation window");
    {
        windows::CFilterDlg filter(s.h.app(), windows::FilterConditions{}, molap);
        sweep.widget(filter, "filter dialog");
    }
    sweep.widget(s.frame, "frame with every window");
    sweepMessages(s.h.prompts(), "windows");
}

// Grafvik's question before it writes over a workbook another program has open, asked through
// the host ZBQ lends it.
TEST_F(EnglishSweep, TheGraphControlsQuestion) {
    AppHarness h;
    std::unique_ptr<grafvik::GraphHost> host = windows::makeGraphHost(h.app());
    std::string why;
    auto client = grafvik::GraphControlClient::openLibrary(GRAFVIK_LIBRARY, host.get(), &why);
    ASSERT_TRUE(client) << why;
    const std::string workbook = h.file("g.xlsx");
    writeFile(workbook, "");
    writeFile(h.file(".~lock.g.xlsx#"), "");  // a spreadsheet program has it open
    h.prompts().answer(ui::Answer::Cancel);
    std::int32_t answer = -1;
    client->invoke("CheckExcel", {workbook}, &answer);
    EXPECT_EQ(answer, 2) << "the question was not asked, or not answered Cancel";
    ASSERT_EQ(h.prompts().messages().size(), 1u);
    EXPECT_EQ(h.prompts().messages()[0].buttons, ui::Buttons::OkCancel);
    sweepMessages(h.prompts(), "graph control");
}

// The dialogs start-up shows before the frame: the imports with a file in them, the item's
// editor, the log-in and the password.
TEST_F(EnglishSweep, TheStartUpDialogs) {
    AppHarness h;
    writeFile(h.file("a.txt"), "name\tscore\n1\t2\n");
    CTextReadDlg text(h.app(), {h.file("a.txt")});
    text.fileList()->topLevelItem(0)->setSelected(true);
    text.button(1074)->click();  // 項目設定: the columns read into the item list
    sweep.widget(text, "text import");
    CExcelReadDlg excel(h.app(), {}, false);
    sweep.widget(excel, "Excel import");
    CItemEditDlg item("x", 0);
    sweep.widget(item, "item editor");
    CLoginDlg login;
    sweep.widget(login, "log-in");
    CPasswordDlg password;
    sweep.widget(password, "password");
    sweepMessages(h.prompts(), "start-up");
}

TEST_F(EnglishSweep, TheMacroDialogs) {
    AppHarness h;
    ASSERT_TRUE(h.load(cp932::literal(kDefinition), cp932::literal(kData)));
    CMacro macro(h.app());
    macro.AddMacro("m", "", {"DispConsole", "Prt,3"});
    const std::unique_ptr<QWidget> dialogs[] = {
        std::make_unique<CMacroMenuDlg>(macro, 0),
        std::make_unique<CMacroNameDlg>(macro, "m", -1),
        std::make_unique<CWorkListDlg>(macro, 0),
        std::make_unique<CRecordCondDlg>(),
        std::make_unique<CVarCondDlg>(h.app(), QStringLiteral("p"), 1),
    };
    for (const auto& dialog : dialogs)
        sweep.widget(*dialog, "macro dialog");
    sweepMessages(h.prompts(), "macro");
}

TEST_F(EnglishSweep, TheSettingsTool) {
    settings::test::ToolFolder folder(
        settings::test::iniBytes({"[image]", "path=/srv/link", "[print]", "prt01=3,Sales,s.mcr"}),
        QLocale(QLocale::English, QLocale::UnitedStates));
    settings::CSettingsDlg dialog;
    ASSERT_TRUE(dialog.start(folder.iniPath()));
    dialog.show();
    sweep.widget(dialog, "settings tool");
    // The entry dialog, to add an entry and to edit the one selected by a click, each through its
    // own loop: swept while it is open, then cancelled by its button.
    const auto sweepEntryDialog = [&](const char* button, const QString& where) {
        bool swept = false;
        std::function<void(int)> look = [&](int tries) {
            auto* entry =
                qobject_cast<settings::CPrintFormatDlg*>(QApplication::activeModalWidget());
            if (!entry && tries > 0) {
                QTimer::singleShot(10, [&look, tries] { look(tries - 1); });
                return;
            }
            if (!entry) return;
            sweep.widget(*entry, where);
            swept = true;
            entry->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
        };
        QTimer::singleShot(0, [&look] { look(300); });
        dialog.findChild<QPushButton*>(QLatin1String(button))->click();
        EXPECT_TRUE(swept) << where.toStdString() << " never opened";
    };
    sweepEntryDialog("add", "settings tool add dialog");
    QTreeWidget* entries = dialog.list();
    const QRect firstRow = entries->visualRect(entries->model()->index(0, 1));
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, {}, firstRow.center());
    ASSERT_EQ(dialog.list()->selectedRow(), 0);
    sweepEntryDialog("edit", "settings tool edit dialog");
    settings::CAboutDlg about;
    sweep.widget(about, "settings tool about");
    sweepMessages(folder.prompts, "settings tool");
}

// Texts English makes longer are shown whole: the % rank dialog's title beside the window
// manager's boxes, and the aggregation list's kind column, its title and every kind.
TEST_F(EnglishSweep, LongerEnglishIsShownWhole) {
    Screen s;
    windows::CPercentRankDlg percent(s.h.app(), &s.frame);
    EXPECT_GE(roomBesideTitle(percent), 100) << percent.windowTitle().toStdString();
    COlapItemList* sum = s.console().MolapPage()->list(MolapList::Sum);
    const int kind = sum->header()->sectionSize(1);
    QStringList texts{sum->headerItem()->text(1)};
    for (const char* k : MolapSettings::kKinds)
        texts << ui::shown(k);
    for (const QString& text : texts)
        EXPECT_GE(kind, sum->fontMetrics().horizontalAdvance(text) + 8) << text.toStdString();
}

}  // namespace
}  // namespace zbq::test
