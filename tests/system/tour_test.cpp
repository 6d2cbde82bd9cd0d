// One session through the real widgets of ZBQ's windows, offscreen, on a data set imported at
// start-up from a workbook that openpyxl writes here (integers, decimals, dates, times, texts
// with CP932 names, answers of several codes as text, blanks and error cells). It is recorded
// through the macro menu, saved, and played again in fresh programs started on the same
// workbook: from the macro menu (with Japanese and with English in force), step by step through
// the work list, and as "auto_open" at start-up. Each ends on the same screen, and writes the
// same clipboard texts and files. Every dialog runs its own modal loop, as in the program, and
// is answered from inside it by clicks and keys. A start-up on text files does the same with the
// text import dialog.
//
// A workbook's items are integers, decimals, dates, times or texts: code items and items of
// several answers come only from a definition file, so several answers stand here as a text.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include "app/excel_read_dlg.h"
#include "app/text_read_dlg.h"
#include "app/main_frame.h"
#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/category_list_view.h"
#include "console/class_dialogs.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/filter_cond_dlg.h"
#include "console/item_sel_page.h"
#include "console/molap_page.h"
#include "console/olap_page.h"
#include "console/set_tree_view.h"
#include "engine/kw_search.h"
#include "graphctl/graph_client.h"
#include "macro/cmacro.h"
#include "macro/macro_dialogs.h"
#include "macro/macro_menu_dlg.h"
#include "macro/macro_name_dlg.h"
#include "macro/var_cond_dlg.h"
#include "macro/work_list_dlg.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/fixed_grid.h"
#include "platform/ui/language.h"
#include "tests/console/molap_fixture.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/app_harness.h"
#include "tests/support/in_language.h"
#include "tests/support/real_input.h"
#include "tests/support/saved_bytes.h"
#include "tests/support/session_gestures.h"
#include "tests/support/shown_captions.h"
#include "tests/support/temp_dir.h"
#include "windows/cross_frame.h"
#include "windows/cross_tab_model.h"
#include "windows/every_window.h"
#include "windows/graph_host.h"
#include "windows/item_sheet.h"
#include "windows/kw_view.h"
#include "windows/molap_filter_dialog.h"
#include "windows/molap_frame.h"
#include "windows/summary_percent_dialog.h"
#include "windows/value_list_view.h"

namespace zbq::test {
namespace {

using windows::CKWView;
using windows::GridRole;
using Axis = OlapAxisSettings::Axis;

// A menu path of the program's Japanese captions ("外す/選択範囲を外す") as the language in force
// shows it.
QString shownPath(const char* path) {
    QStringList parts = QString::fromUtf8(path).split('/');
    for (QString& part : parts)
        part = ui::shown(part.toUtf8().constData());
    return parts.join('/');
}

// One start-up stamp for every program, so their temporary names agree.
std::chrono::system_clock::time_point fixedTime() {
    using namespace std::chrono;
    return sys_days{year{2024} / 5 / 6} + hours{12} + minutes{34} + seconds{56};
}

// The questionnaire and the records added later, as openpyxl writes them.
void writeWorkbooks(const std::string& folder) {
    const ProgramRun run = runPython({"-c", R"py(
import sys, datetime, openpyxl
def book(path, rows):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "回答"
    ws.append(["番号", "性別", "年齢", "満足度", "回答日", "時刻", "氏名", "趣味"])
    for r in rows:
        ws.append(r)
    for row in ws.iter_rows(min_row=2):
        row[3].number_format = "0.0"
        row[4].number_format = "yyyy/m/d"
        row[5].number_format = "h:mm:ss"
    wb.save(path)
d = datetime.datetime
t = datetime.time
names = ["山田太郎", "佐藤花子", "鈴木一郎", "高橋ﾐﾂｺ", "田中①", "髙橋誠", "伊藤～", "渡辺",
         "中村", "小林", "加藤", "吉田", "山本", "佐々木", "山口", "松本", "井上", "木村",
         "林", "清水"]
rows = []
for i in range(20):
    sex = ["男性", "女性"][i % 2] if i % 7 != 6 else None
    age = 20 + (i * 7) % 45 if i != 9 else None
    if i == 13: age = "#N/A"
    score = round(1 + (i * 3) % 9 / 2, 1) if i != 4 else None
    if i == 11: score = "#DIV/0!"
    day = d(2024, 1 + i % 12, 1 + (i * 5) % 28) if i != 15 else None
    time = t((8 + i) % 24, (i * 13) % 60, 0) if i != 8 else None
    hobby = ["1,2", "3", "2,3", None, "1"][i % 5]
    rows.append([i + 1, sex, age, score, day, time, names[i], hobby])
book(sys.argv[1] + "/tour.xlsx", rows)
book(sys.argv[1] + "/more.xlsx", [
    [21, "女性", 33, 2.5, d(2024, 6, 1), t(9, 30, 0), "追加花子", "2"],
    [22, "男性", 58, 4.0, d(2024, 6, 2), t(10, 0, 0), "追加次郎", "1,3"],
])
)py",
                                      folder});
    ASSERT_EQ(run.status, 0) << run.output;
}

// The clipboard, keeping every text it is given.
class ClipboardLog final : public ui::Clipboard {
public:
    ClipboardLog() : previous_(ui::setClipboard(this)) {}
    ~ClipboardLog() override { ui::setClipboard(previous_); }
    bool setText(std::string_view cp932) override {
        texts.emplace_back(cp932);
        return true;
    }
    std::optional<std::string> text() const override {
        return texts.empty() ? std::nullopt : std::optional<std::string>(texts.back());
    }
    std::vector<std::string> texts;

private:
    ui::Clipboard* previous_;
};

// The desktop's opener, keeping a copy of each file as it stood when it was opened, and of the
// format-printing output beside a format file.
class OpenedFiles final : public ui::DesktopOpener {
public:
    OpenedFiles(std::string programDir, std::string copies)
        : programDir_(std::move(programDir)),
          copies_(std::move(copies)),
          previous_(ui::setOpener(this)) {}
    ~OpenedFiles() override { ui::setOpener(previous_); }
    bool open(const QString& path, std::function<void()>) override {
        const std::filesystem::path from(path.toStdString());
        const std::string copy =
            copies_ + "/" + std::to_string(names.size()) + "-" + from.filename().string();
        names.push_back(from.filename().string());
        std::error_code error;
        if (std::filesystem::copy_file(from, copy, error)) copiesMade.push_back(copy);
        const std::string print = programDir_ + "/temp/StylePrt.csv";
        if (from.extension() == ".xls" && std::filesystem::exists(print))
            prints.push_back(readFile(print));
        return true;
    }
    std::vector<std::string> names, copiesMade, prints;

private:
    std::string programDir_, copies_;
    ui::DesktopOpener* previous_;
};

// A workbook's cells, sheet by sheet, as openpyxl reads them.
std::string workbookCells(const std::string& path) {
    const ProgramRun run = runPython({"-c",
                                      "import sys, openpyxl\n"
                                      "wb = openpyxl.load_workbook(sys.argv[1])\n"
                                      "for ws in wb.worksheets:\n"
                                      "    print('sheet', ws.title)\n"
                                      "    for r in ws.iter_rows():\n"
                                      "        print(','.join(repr(c.value) for c in r))\n",
                                      path});
    EXPECT_EQ(run.status, 0) << run.output;
    return run.output;
}

// The graph control itself, loaded from the build, as the graph host hands it the charts.
class GraphControl : public windows::GraphOutput {
public:
    GraphControl() {
        std::string why;
        client_ = grafvik::GraphControlClient::openLibrary(GRAFVIK_LIBRARY, nullptr, &why);
        EXPECT_TRUE(client_) << why;
        previous_ = windows::setGraphOutput(this);
    }
    ~GraphControl() override { windows::setGraphOutput(previous_); }
    void setFilePath(const std::string& path) override { client_->setFilePath(path); }
    void setData(const std::string& text) override { client_->setData(cp932::toUtf8(text)); }
    void closeXls(const std::string& path) override { client_->closeXls(path); }
    void exNormal() override { client_->exNormal(); }

private:
    std::unique_ptr<grafvik::GraphControlClient> client_;
    windows::GraphOutput* previous_ = nullptr;
};

// ZBQ as main() wires it: the application started on the workbook, the macro object with its
// dialogs and the variable-value question, the main frame with every window's factory. Every
// dialog runs its own modal loop, as in the program, and is answered from inside it by clicks
// and keys: the import at start-up, the log-in and password dialogs by the harness, the others
// by the test's handlers, in order.
struct Zbq {
    using DialogStep = std::function<void(QDialog&)>;

    explicit Zbq(const std::string& folder)
        : folder(folder), frame(h.app(), windows::everyWindowFactory(h.app())) {
        h.runDialogsInTheirLoops();
        h.app().SetClock(fixedTime);
        macro.SetScreen(&screen);
        macro.SetParameterAsker(&asker);
        frame.setMacroCommandHandler([this](std::int32_t c) { macro.OnMacroCommand(c); });
        h.answerOtherDialogs([this](QDialog& dialog) {
            if (steps.empty()) {
                ADD_FAILURE() << "an unexpected dialog: " << dialog.windowTitle().toStdString();
                dialog.reject();
                return int(QDialog::Rejected);
            }
            DialogStep step = std::move(steps.front());
            steps.pop_front();
            step(dialog);
            return dialog.result();
        });
        h.driveImports([](QDialog& dialog) {
            auto& excel = dynamic_cast<CExcelReadDlg&>(dialog);
            QTreeWidget* sheets = excel.sheetList();
            QTest::mouseClick(sheets->viewport(), Qt::LeftButton, {},
                              sheets->visualItemRect(sheets->topLevelItem(0)).center());
            press(excel.button(1074));
            if (!excel.model().addMode())
                typeInto(excel.titleEdit(), QStringLiteral("満足度調査"));
            press(excel.button(1));
            return dialog.result();
        });
    }
    ~Zbq() { h.exit(); }

    // Starts on the questionnaire (or on the file named), with one format-printing entry in
    // ZBQ.ini.
    bool start(const std::vector<std::string>& arguments = {}) {
        writeFile(h.file("ZBQ.ini"), cp932::literal("[print]\r\nPRT01=5,回答一覧,report.xls\r\n"));
        writeFile(h.file("report.xls"), "");
        frame.resize(1024, 720);
        frame.show();
        // Workbooks are chosen in the open dialog.
        if (arguments.empty())
            h.prompts().chooseFiles(QStringList{QString::fromStdString(folder + "/tour.xlsx")});
        if (!h.start(arguments)) {
            for (const std::string& m : h.prompts().messageTexts())
                ADD_FAILURE() << "start-up said: " << m;
            return false;
        }
        return QTest::qWaitForWindowExposed(&frame);
    }

    CConsSheet* console() const { return qobject_cast<CConsSheet*>(frame.console()); }
    CItemSelPage& itemSel() const { return *console()->ItemSelPage(); }
    COlapPage& olap() const { return *console()->OlapPage(); }
    CKWView* view() const { return qobject_cast<CKWView*>(frame.dataView()); }
    windows::CCrossFrm* cross() const {
        return qobject_cast<windows::CCrossFrm*>(frame.crossWindow());
    }

    void pick(std::int32_t command) { frame.action(command)->trigger(); }
    // The next dialog, a T, answered by `step` from inside its modal loop.
    template <typename T>
    void then(std::function<void(T&)> step) {
        steps.push_back([step](QDialog& d) {
            auto* dialog = dynamic_cast<T*>(&d);
            if (!dialog) {
                ADD_FAILURE() << "another dialog came: " << d.windowTitle().toStdString();
                d.reject();
                return;
            }
            step(*dialog);
        });
    }
    // The macro menu: `row` selected and run; the question before the run answered Yes, the
    // dialogs of the run answered as `during` queues them.
    void executeFromMenu(int row, std::function<void()> during = {}) {
        then<CMacroMenuDlg>([this, row, during](CMacroMenuDlg& d) {
            QTreeWidget* list = d.list();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->topLevelItem(row)).center());
            if (during) during();
            h.prompts().answer(ui::Answer::Yes);
            press(d.executeButton());
        });
        pick(CMainFrame::kMacroMenu);
    }
    void startRecording() {
        h.prompts().answer(ui::Answer::Yes);
        pick(CMainFrame::kRecordStart);
    }
    // Stops the recording, names the macro, works in the menu that opens on it and closes it.
    void stopRecording(const char* name, std::function<void(CMacroMenuDlg&)> inMenu = {}) {
        then<CMacroNameDlg>([name](CMacroNameDlg& d) {
            typeInto(d.nameEdit(), QString::fromUtf8(name));
            press(d.okButton());
        });
        then<CMacroMenuDlg>([inMenu](CMacroMenuDlg& d) {
            if (inMenu) inMenu(d);
            press(d.closeButton());
        });
        pick(CMainFrame::kRecordStop);
    }
    // The variable-value question answered with a file chosen through its browse button.
    void answerVariable(std::string path) {
        then<CVarCondDlg>([this, path](CVarCondDlg& d) {
            h.prompts().choose(QString::fromStdString(path));
            press(d.browseButton());
            press(d.okButton());
        });
    }

    // The files the tour's steps ask for as they play, in their order.
    template <typename P>
    void answerVariables(const P& paths) {
        answerVariable(paths.dataCsv);
        answerVariable(paths.saved);
    }

    // The original-data window's menu entry, as the user picks it.
    void gridMenu(GridRole role, std::int32_t column, std::int32_t command) {
        std::unique_ptr<QMenu> m = view()->BuildMenu(role, column);
        const auto reachable = [](QAction* action) {
            if (!action->isEnabled()) return false;
            for (auto* in = qobject_cast<QMenu*>(action->parent()); in;
                 in = qobject_cast<QMenu*>(in->parent()))
                if (!in->isEnabled() || !in->menuAction()->isEnabled()) return false;
            return true;
        };
        for (QAction* action : m->findChildren<QAction*>())
            if (action->data().toInt() == command && reachable(action)) {
                // What the menu says once the user has clicked through its sub-menus.
                emit m->triggered(action);
                return;
            }
        ADD_FAILURE() << "no enabled entry " << command;
    }

    std::string folder;
    GraphControl graphs;
    AppHarness h;
    CMacro macro{h.app()};
    MacroDialogs screen{macro};
    VarCondAsker asker{h.app()};
    CMainFrame frame;
    std::deque<DialogStep> steps;
};

// What a tour leaves behind: the screen, every clipboard text and every file it wrote.
struct Outcome {
    std::string screen;
    std::vector<std::string> clipboard;
    std::vector<std::string> opened;
    std::vector<std::string> prints;
    std::map<std::string, std::string> files;  // by name in the output folder
    std::vector<std::string> workbooks;        // the cells of each workbook opened
};

// The files the tour names are written outside the program folder; each replay writes them again.
struct Paths {
    explicit Paths(const TempDir& out)
        : saved(out.file("tour.zbq")),
          dataCsv(out.file("data.csv")),
          dataTxt(out.file("data.txt")),
          crossCsv(out.file("cross.csv")),
          molapCsv(out.file("molap.csv")),
          ctg(out.file("age.ctg")) {}
    std::string saved, dataCsv, dataTxt, crossCsv, molapCsv, ctg;
    std::vector<std::string> written() const { return {dataCsv, dataTxt, crossCsv, molapCsv, ctg}; }
};

Outcome outcomeOf(Zbq& p, const ClipboardLog& clipboard, const OpenedFiles& opened,
                  const Paths& paths) {
    Outcome o;
    // The events the last step left, as the program's loop takes them once the run returns, and
    // the main window active again as the user comes back to it.
    QCoreApplication::processEvents();
    p.frame.activateWindow();
    QCoreApplication::processEvents();
    // The main window's caption shows the maximised original-data window's title or not as its
    // activation and its last size change came in order, which the platform decides; a size
    // change, as the user's next one, settles it.
    p.frame.resize(1000, 700);
    QCoreApplication::processEvents();
    p.frame.resize(1024, 720);
    QCoreApplication::processEvents();
    o.screen = p.h.snapshot();
    o.clipboard = clipboard.texts;
    o.opened = opened.names;
    o.prints = opened.prints;
    for (const std::string& path : paths.written())
        if (std::filesystem::exists(path))
            o.files[std::filesystem::path(path).filename().string()] = readFile(path);
    if (std::filesystem::exists(paths.saved))
        o.files["tour.zbq"] = withoutPasswordField(readFile(paths.saved));
    for (const std::string& copy : opened.copiesMade)
        if (copy.ends_with(".xlsx")) o.workbooks.push_back(workbookCells(copy));
    return o;
}

void expectSame(const Outcome& replayed, const Outcome& recorded) {
    EXPECT_EQ(replayed.screen, recorded.screen);
    EXPECT_EQ(replayed.clipboard, recorded.clipboard);
    EXPECT_EQ(replayed.opened, recorded.opened);
    EXPECT_EQ(replayed.prints, recorded.prints);
    EXPECT_EQ(replayed.files, recorded.files);
    EXPECT_EQ(replayed.workbooks, recorded.workbooks);
}

// The button of a dialog's button box that accepts it, whatever its caption.
QAbstractButton* acceptButton(QDialog& d) {
    if (auto* box = d.findChild<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole) return button;
    return nullptr;
}

void dropOnAxis(COlap2Page& page, MolapList source, std::vector<int> rows, MolapList target) {
    page.list(source)->selectRows(rows);
    std::unique_ptr<QMimeData> data(
        COlapItemList::dragData(source, page.list(source)->selectedRows()));
    ASSERT_TRUE(dropOnList(*page.list(target), *data));
}

// Data selection: two conditions typed in the filter dialog, OR, a set; the whole data again,
// a condition deleted, a second set; their union by a drop, a complement from the menu, a
// caption renamed in place, a set deleted.
void dataSelection(Zbq& p) {
    p.console()->tabs()->setCurrentIndex(2);
    CDataSelPage& page = *p.console()->DataSelPage();
    auto choice = std::make_shared<std::int32_t>(0);
    page.setMenuChooser([choice](QMenu&, std::int32_t) { return *choice; });
    p.then<CFilterCondDlg>([](CFilterCondDlg& d) { typeCondition(d, 1, 0, "男性"); });
    QTest::mouseClick(page.button(1015), Qt::LeftButton);  // 追加: 性別 = 男性
    p.then<CFilterCondDlg>([](CFilterCondDlg& d) { typeCondition(d, 2, 3, "40"); });
    QTest::mouseClick(page.button(1015), Qt::LeftButton);  // 追加: 年齢 >= 40
    QTest::mouseClick(page.orButton(), Qt::LeftButton);
    QTest::mouseClick(page.button(1014), Qt::LeftButton);  // set 1
    doubleClick(page.setTree()->viewport(), centreOf(page, 0));
    page.SelectRow(0);
    p.h.prompts().answer(ui::Answer::Yes);
    QTest::mouseClick(page.button(1016), Qt::LeftButton);  // 削除 the first condition
    QTest::mouseClick(page.button(1014), Qt::LeftButton);  // set 2
    *choice = CDataSelPage::kMenuUnion;
    dropSet(page, 2, 1);  // set 3
    *choice = CDataSelPage::kMenuComplement;
    dropSet(page, 1, 1);  // set 4
    CDataSelTreeView* tree = page.setTree();
    tree->editItem(page.FindSetItem(3));
    auto* editor = tree->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QString::fromUtf8("男性か40歳以上"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    doubleClick(page.setTree()->viewport(), centreOf(page, 3));
    *choice = CDataSelPage::kMenuDelete;
    page.OnContextMenu(4);
    page.setMenuChooser(nullptr);
}

// A category of 年齢 with all three class levels, typed through the class dialogs and
// registered; exported to a category file, deleted, and imported again.
void categories(Zbq& p, const std::string& ctg) {
    COlapFrm& frame = *p.console()->OlapFrame();
    COlapFormView& editor = *frame.editor();
    // The cross-tab page has no tab of its own: shown over the console for the user's hands.
    COlapPage& page = p.olap();
    page.resize(p.console()->size());
    page.show();
    page.raise();
    type(editor.nameEdit(), "年齢区分");
    emit editor.typeList()->activated(2);  // Integer
    p.then<CMinorCategoryDlg>([](CMinorCategoryDlg& d) {
        addSmall(d, "B", 2, "40", "");
        addSmall(d, "A", 6, "20", "39");
        type(d.nameEdit(), "C");
        emit d.operatorList()->activated(0);
        clickInto(d.term1Combo());
        pickFromList(d.term1Combo(), 3);  // "Others"
        leaveWithTab();
        press(d.button("追加"));
        QTreeWidget* list = d.list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(1)).center());
        press(d.button("上へ"));
        press(d.button("登録"));
    });
    press(editor.button(COlapFormView::kSmall));
    p.then<CCategoryListDlg>([](CCategoryListDlg& d) {
        addRow(d, "Young", 0);
        addRow(d, "Old", 1);
        addRow(d, "Rest", 2);
        press(d.button("登録"));
    });
    press(editor.button(COlapFormView::kMiddle));
    p.then<CCategoryListDlg>([](CCategoryListDlg& d) {
        addRow(d, "All", 0);
        addRow(d, "All", 1);
        press(d.button("登録"));
    });
    press(editor.button(COlapFormView::kLarge));
    press(editor.button(COlapFormView::kRegister));
    page.hide();

    COlapListView& list = *frame.list();
    list.resize(400, 200);
    auto picks = std::make_shared<std::deque<std::int32_t>>(std::deque<std::int32_t>{
        COlapListView::kExport, COlapListView::kDelete, COlapListView::kImport});
    list.SetMenuChooser([picks](const QPoint&) {
        const std::int32_t pick = picks->front();
        picks->pop_front();
        return pick;
    });
    const auto rightClick = [&](int row) {
        list.OnRightButtonDown(list.visualItemRect(list.topLevelItem(row)).center());
    };
    p.h.prompts().choose(QString::fromStdString(ctg));
    p.h.prompts().choose(QString::fromStdString(ctg));
    rightClick(1);  // selects
    rightClick(1);  // export
    rightClick(1);  // delete
    rightClick(0);  // selects
    rightClick(0);  // import
    list.SetMenuChooser(nullptr);
}

// The item window of 年齢 opened from the grid's title: both tabs, a percent rank, an order, a
// drag selection unmarked, a search with its result added, a new set, a copy, the workbook, a
// chart, and the close box.
void itemWindow(Zbq& p) {
    CKWView& view = *p.view();
    const auto open = [&](std::int32_t item) {
        windows::GridController& g = view.model().geometry();
        for (std::int32_t c = 0; c < view.model().GetColumnCount(); ++c)
            if (view.model().GetColumnItem(c) == item) {
                const int x = g.config().rowHeaderWidth + g.columnLeft(c) - g.xOffset() +
                              g.columnWidth(c) / 2;
                doubleClick(view.grid().columnHeader(), QPoint(x, 10));
            }
        return dynamic_cast<windows::CItemSheet*>(p.frame.FindItemSheet(item));
    };
    auto* score = open(3);
    ASSERT_NE(score, nullptr);
    runMenu(score->view(), shownPath("小数点以下桁数/1"));
    auto* age = open(2);
    ASSERT_NE(age, nullptr);
    p.then<windows::CPercentRankDlg>([](windows::CPercentRankDlg& d) {
        typeInto(d.percentEdit(), QStringLiteral("37.5"));
        press(buttonOf(d, QStringLiteral("OK")));
    });
    const std::function<void()> actions[] = {
        [&] { clickTab(*age, windows::CItemSheet::kSummaryPage); },
        [&] { press(age->percentButton()); },
        [&] { clickTab(*age, windows::CItemSheet::kValueListPage); },
        [&] { runMenu(age->view(), shownPath("存在順に表示/降順")); },
        [&] { dragRows(age->view(), 2, 4); },
        [&] { runMenu(age->view(), shownPath("外す/選択範囲を外す")); },
        // Typed into the search field, which the click on "|<" leaves.
        [&] { typeInto(age->searchField(), QStringLiteral(">40")); },
        [&] { press(age->findChild<QPushButton*>("toTopValue")); },
        [&] { runMenu(age->view(), shownPath("加える/値検索結果を加える")); },
        [&] { dragRows(age->view(), 6, 8); },
        [&] { runMenu(age->view(), shownPath("外す/選択範囲を外す")); },
        [&] { press(age->findChild<QPushButton*>("createSet")); },
        [&] { runMenu(age->view(), shownPath("全てを選択")); },
        [&] { age->model().Copy(true); },
        [&] { runMenu(age->view(), shownPath("Excelに書出し/項目名付き")); },
        [&] { press(age->findChild<QPushButton*>("graph")); },
        [&] { age->close(); },
        [&] { score->close(); },
    };
    for (const auto& action : actions) {
        action();
        QCoreApplication::processEvents();
    }
}

// The aggregation: 性別 on X, 回答日 by year on Y, the sum of 年齢 and 満足度, totals, places,
// "実行"; a filter, a drill by double click, a copy, a CSV, the workbook and the close box.
void aggregation(Zbq& p, const std::string& csv) {
    p.console()->tabs()->setCurrentIndex(3);
    COlap2Page& page = *p.console()->MolapPage();
    using L = MolapList;
    page.setMenuChooser([](QMenu&, std::int32_t) { return COlap2Page::kMenuYear; });
    dropOnAxis(page, L::Items, {1}, L::X);
    page.list(L::Items)->selectRows({4});
    page.copyButton(L::Y)->click();
    page.list(L::Y)->selectRows({0});
    emit page.list(L::Y)->menuRequested();
    dropOnAxis(page, L::Items, {2, 3}, L::Sum);
    page.kindRadio(1)->click();
    page.totalRadio(L::X, 1)->click();
    page.totalRadio(L::Y, 2)->click();
    page.decimalsCombo()->setCurrentIndex(1);
    emit page.decimalsCombo()->activated(1);
    page.executeButton()->click();
    page.setMenuChooser(nullptr);
    auto* window = qobject_cast<windows::CMOLAPFrm*>(p.frame.molapWindow());
    ASSERT_NE(window, nullptr);
    window->OnMaximize();
    window->OnRestore();
    p.then<windows::CFilterDlg>([](windows::CFilterDlg& d) {
        pickFromList(d.operatorList(0), 4);
        typeInto(d.fromEdit(0), QStringLiteral("50"));
        pickFromList(d.colourList(0), 2);
        press(acceptButton(d));
    });
    const auto choose = [window](const char* entry) {
        std::unique_ptr<QMenu> menu(window->contextMenu());
        ASSERT_NE(menu, nullptr);
        QAction* action = menuAction(menu.get(), shownPath(entry));
        ASSERT_NE(action, nullptr) << entry;
        ASSERT_TRUE(action->isEnabled()) << entry;
        action->trigger();
    };
    choose("フィルタ");
    choose("フィルタ解除");
    p.then<windows::CFilterDlg>([](windows::CFilterDlg& d) {
        pickFromList(d.operatorList(1), 2);
        typeInto(d.fromEdit(1), QStringLiteral("5"));
        press(acceptButton(d));
    });
    choose("フィルタ");
    ui::FixedGrid& grid = *window->grid();
    grid.resize(900, 600);
    const QModelIndex cell = firstValueCell(window->view());
    ASSERT_TRUE(cell.isValid());
    grid.scrollTo(cell);
    p.h.prompts().answer(ui::Answer::Yes);
    doubleClick(grid.viewport(), grid.visualRect(cell).center());
    window = qobject_cast<windows::CMOLAPFrm*>(p.frame.molapWindow());
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->Copy(), 1);
    p.h.prompts().chooseSave(ui::SaveChoice{QString::fromStdString(csv), 0});
    ASSERT_EQ(window->OnOutToCsv(), 1);
    ASSERT_EQ(window->ExportMolapToExcel(), 1);
    window->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The tour itself, recorded while the user works.
void tour(Zbq& p, const Paths& paths) {
    CKWApp& app = p.h.app();
    // The macro menu's own run: recorded as one step.
    p.executeFromMenu(0);

    p.console()->OnSysCommand(ConsoleSysCommand::Maximize);
    p.console()->OnSysCommand(ConsoleSysCommand::Restore);

    // Item selection: every item to the display list, then the data.
    CItemSelPage& items = p.itemSel();
    items.DropNodeOnList(0, -1);
    // 時刻 hidden from the list's menu, 趣味 dragged to the top.
    items.SetMenuChooser([](QWidget*, const MenuVariant&, const QPoint&) { return kListHide; });
    items.SelectListRows({5});
    items.ShowListMenu({});
    items.SetMenuChooser(nullptr);
    items.SelectListRows({6});
    items.DropRowsOnList(0);
    items.showDataButton()->click();
    ASSERT_NE(p.view(), nullptr);
    QCoreApplication::processEvents();

    dataSelection(p);
    categories(p, paths.ctg);

    // The original-data window: sorts, display forms, widths, copy, CSV, workbook, printing.
    p.gridMenu(GridRole::ColumnHeader, 2, CKWView::kSortDown);
    p.gridMenu(GridRole::ColumnHeader, 0, CKWView::kSortUp);
    p.gridMenu(GridRole::ColumnHeader, 3, CKWView::kComma);
    p.gridMenu(GridRole::ColumnHeader, 4, CKWView::kDecimals0 + 2);
    p.gridMenu(GridRole::ColumnHeader, 6, CKWView::kCellWidth);
    {
        CKWView& view = *p.view();
        windows::GridController& g = view.model().geometry();
        QWidget* header = view.grid().columnHeader();
        const int divider = 80 + g.columnLeft(1);
        QTest::mousePress(header, Qt::LeftButton, {}, QPoint(divider, 10));
        QTest::mouseMove(header, QPoint(divider + 30, 10));
        QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(divider + 30, 10));
    }
    {
        // A drag over some cells, a key, the wheel, and a drag over the cells the exports take.
        CKWView& view = *p.view();
        windows::GridController& g = view.model().geometry();
        const auto cell = [&g](int column, int row) { return cellCentre(g, column, row); };
        QWidget* list = view.grid().list()->viewport();
        QTest::mousePress(list, Qt::LeftButton, {}, cell(0, 1));
        QTest::mouseMove(list, cell(2, 2));
        QTest::mouseRelease(list, Qt::LeftButton, {}, cell(2, 2));
        QTest::keyClick(view.grid().list(), Qt::Key_Down);
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(list, &wheel);
        QTest::mousePress(list, Qt::LeftButton, {}, cell(1, g.topRow()));
        QTest::mouseMove(list, cell(7, g.topRow() + 4));
        QTest::mouseRelease(list, Qt::LeftButton, {}, cell(7, g.topRow() + 4));
    }
    p.gridMenu(GridRole::List, -1, CKWView::kCopyWithHead);
    // The CSV file asked again at every replay.
    p.screen.indicator()->variableButton()->click();
    p.h.prompts().chooseSave(ui::SaveChoice{QString::fromStdString(paths.dataCsv), 0});
    p.gridMenu(GridRole::List, -1, CKWView::kCsv);
    p.screen.indicator()->fixedButton()->click();
    p.gridMenu(GridRole::List, -1, CKWView::kExcelWithHead);
    p.h.prompts().chooseSave(ui::SaveChoice{QString::fromStdString(paths.dataTxt), 1});
    p.gridMenu(GridRole::List, -1, CKWView::kCsvWithHead);
    // The format-printing menu's entry.
    QAction* print = nullptr;
    for (QAction* action : p.frame.findChildren<QAction*>())
        if (action->data().toInt() == 5 && action->text() == QString::fromUtf8("回答一覧"))
            print = action;
    ASSERT_NE(print, nullptr);
    ASSERT_TRUE(print->isEnabled());
    print->trigger();
    QCoreApplication::processEvents();

    itemWindow(p);

    // The cross tabulation: 年齢 (by its category's classes, once there is one) by 性別, with
    // the mean of 満足度; a drill on a selection of cells.
    COlapPage& olap = p.olap();
    emit olap.itemCombo(Axis::X)->activated(2);
    olap.categoryCombo(Axis::X)->showPopup();
    olap.categoryCombo(Axis::X)->hidePopup();
    emit olap.categoryCombo(Axis::X)->activated(1);
    QSlider* x = olap.levelSlider(Axis::X);
    x->setSliderDown(true);
    x->setSliderPosition(1);
    x->setSliderDown(false);
    emit olap.itemCombo(Axis::Y)->activated(1);
    emit olap.zCombo()->activated(4);
    emit olap.kindCombo()->activated(4);
    olap.displayButton()->click();
    ASSERT_NE(p.cross(), nullptr);
    {
        windows::CCrossListView& cross = p.cross()->view();
        cross.RunCommand(windows::CCrossListView::kDecimals0 + 1, -1);
        cross.RunCommand(windows::CCrossListView::kSortDown, 1);
        cross.RunCommand(windows::CCrossListView::kOriginal, 1);
        {
            windows::GridController& g = cross.model().geometry();
            QWidget* header = cross.grid().columnHeader();
            const int divider = windows::CrossTabModel::kRowHeaderWidth + g.columnLeft(2);
            QTest::mousePress(header, Qt::LeftButton, {}, QPoint(divider, 10));
            QTest::mouseMove(header, QPoint(divider + 25, 10));
            QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(divider + 25, 10));
            const int first = windows::CrossTabModel::kRowHeaderWidth + g.columnLeft(1) - 1;
            doubleClick(header, QPoint(first, 10));
        }
        cross.RunCommand(windows::CCrossListView::kCopyAll, -1);
        p.h.prompts().chooseSave(ui::SaveChoice{QString::fromStdString(paths.crossCsv), 0});
        cross.RunCommand(windows::CCrossListView::kCsvAll, -1);
        cross.RunCommand(windows::CCrossListView::kExcelAll, -1);
        windows::GridController& g = cross.model().geometry();
        const auto cell = [&g](int column, int row) { return cellCentre(g, column, row); };
        QWidget* list = cross.grid().list()->viewport();
        QTest::mousePress(list, Qt::LeftButton, {}, cell(0, 0));
        QTest::mouseMove(list, cell(1, 1));
        QTest::mouseRelease(list, Qt::LeftButton, {}, cell(1, 1));
        cross.RunCommand(windows::CCrossListView::kDrill, -1);
        QCoreApplication::processEvents();
        p.cross()->OnMaximize();
        p.cross()->OnRestore();
        QCoreApplication::processEvents();
    }

    aggregation(p, paths.molapCsv);
    {
        // The whole data current again before the save.
        CDataSelPage& page = *p.console()->DataSelPage();
        p.console()->tabs()->setCurrentIndex(2);
        doubleClick(page.setTree()->viewport(), centreOf(page, 0));
    }

    // The save, its file and password asked again at every replay.
    p.console()->tabs()->setCurrentIndex(1);
    p.screen.indicator()->variableButton()->click();
    p.h.prompts().choose(QString::fromStdString(paths.saved));
    p.h.answerDialogs({"pw"});
    items.writeButton()->click();
    p.screen.indicator()->fixedButton()->click();
    EXPECT_EQ(app.GetLoadMode(), 2);

    KW_search saved;
    ASSERT_GE(saved.KWopen(paths.saved, "pw"), 0);
    EXPECT_EQ(saved.KWgetRecordCount(), 20);

    // Records added from a second workbook.
    p.h.prompts().answer(ui::Answer::Ok);
    p.h.prompts().chooseFiles(QStringList{QString::fromStdString(p.folder + "/more.xlsx")});
    items.addDataButton()->click();
    EXPECT_EQ(app.KWgetDataCount(), 22);
}

class Tour : public ::testing::Test {
protected:
    void SetUp() override { writeWorkbooks(books.path()); }

    // Records "inner" and then the tour, and saves the macro file beside a data file.
    void record() {
        Zbq p(books.path());
        ASSERT_TRUE(p.start());
        ClipboardLog clipboard;
        OpenedFiles opened(p.h.programDir(), copies(0));

        p.startRecording();
        p.console()->tabs()->setCurrentIndex(4);
        p.stopRecording("inner");
        // A macro recorded and deleted in the menu that opens after it.
        p.startRecording();
        p.console()->tabs()->setCurrentIndex(0);
        p.stopRecording("scratch", [&p](CMacroMenuDlg& d) {
            EXPECT_EQ(d.model().selected(), 1);
            p.h.prompts().answer(ui::Answer::Yes);
            press(d.deleteButton());
        });
        ASSERT_EQ(p.macro.macroNames(), std::vector<std::string>{"inner"});

        p.startRecording();
        tour(p, paths);
        steps = p.macro.RecordedSteps();
        EXPECT_EQ(p.h.prompts().unanswered(), 0) << "a question came that the tour did not expect";
        EXPECT_TRUE(p.steps.empty()) << "a dialog the tour set up never came";
        // The tour explained, and moved to the top of the list.
        p.stopRecording("tour", [](CMacroMenuDlg& d) {
            // Typed into the explanation, which the click on 上へ leaves.
            clickInto(d.explanationEdit());
            typeKeys(QString::fromUtf8("全画面の一周"));
            QTest::keyClick(d.explanationEdit(), Qt::Key_Return);
            typeKeys(QString::fromUtf8("二行目"));
            press(d.upButton());
        });
        ASSERT_EQ(p.macro.macroNames(), (std::vector<std::string>{"tour", "inner"}));
        recorded = outcomeOf(p, clipboard, opened, paths);
        // What the comparisons rest on was written.
        EXPECT_GE(recorded.clipboard.size(), 2u);
        EXPECT_GE(recorded.workbooks.size(), 2u);
        EXPECT_EQ(recorded.prints.size(), 1u);
        for (const char* name :
             {"data.csv", "data.txt", "cross.csv", "molap.csv", "age.ctg", "tour.zbq"})
            EXPECT_FALSE(recorded.files[name].empty()) << name;
        messages = p.h.prompts().messageTexts();

        p.h.app().SetSaveMode(1);
        p.h.app().SetSavePath(out.file("final.zbq"));
        ASSERT_EQ(p.h.app().SaveDataAndMacro("", 0), 1);
        macroFile = out.file("final.mcr");
        ASSERT_TRUE(std::filesystem::exists(macroFile));
    }

    // Clears what the tour wrote outside the program folder, for a replay to write it again.
    void clearOutput() {
        for (const std::string& path : paths.written())
            std::filesystem::remove(path);
        std::filesystem::remove(paths.saved);
    }

    std::string copies(int run) {
        const std::string dir = out.file("copies" + std::to_string(run));
        std::filesystem::create_directories(dir);
        return dir;
    }

    TempDir books, out;
    Paths paths{out};
    std::vector<std::string> steps, messages;
    Outcome recorded;
    std::string macroFile;
};

// A run that showed no refusal and ended with its completion message.
void expectCompleted(const std::vector<std::string>& shown, const std::string& completion) {
    for (const std::string& m : shown)
        EXPECT_EQ(m.find("マクロの実行を中止します"), std::string::npos) << m;
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), completion);
}

// The recorded macro file taken in through the macro menu's import.
void importMacros(Zbq& p, const std::string& macroFile) {
    p.then<CMacroMenuDlg>([&p, macroFile](CMacroMenuDlg& d) {
        p.h.prompts().choose(QString::fromStdString(macroFile));
        press(d.importButton());
        press(d.closeButton());
    });
    p.pick(CMainFrame::kMacroMenu);
}

TEST_F(Tour, ReplaysToTheSameScreenAndFilesFromTheMenuTheWorkListAndStartUp) {
    record();
    if (HasFatalFailure()) return;
    // Each window's gestures recorded their steps.
    std::vector<std::string> names;
    for (const std::string& step : steps)
        names.push_back(step.substr(0, step.find(',')));
    const std::string recordedCommands =
        "ExeMacro Cons_Max Cons_Restore ToListAllItem BackListItem ChangeListItem DispData "
        "InputFilterTerm1 ExecuteFilter UnionSet ComplementSet InputSetName DeleteSet "
        "OKSmallClassDialog OKMiddleClassDialog OKLargeClassDialog EntryCategory ExportCategory "
        "ImportCategory Data_SortDown Data_AlignmentFree Data_CopyWithHead Data_OutToCsv "
        "Data_OutToCsvWithHead Data_OutToExcelWithHead Prt DispItemDlg Item_DecimalDigit "
        "Item_PercentValue InputSearchTerm Item_AddSearchResult CreateSet DispGraph Item_Close "
        "SelectCategLevelX DispOlap Olap_Sort Olap_OriginalDisplay Olap_AlignmentFree "
        "Olap_Alignment Olap_OutToCsvAll Olap_OutToExcelAll DorileDrillThrough Olap_Max "
        "Olap_Restore ExecuteMolap MolapMax MolapFilter MolapFilterRelease MolapDrillThrough "
        "MolapCopy MolapOutToCSV MolapOutToExcel MolapClose SaveZbw DispExcelDialog "
        "ExcelAddExecute";
    std::istringstream commands(recordedCommands);
    for (std::string name; commands >> name;)
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    EXPECT_NE(std::find(steps.begin(), steps.end(), "SaveZbw,\"???\",\"???\",0"), steps.end());
    EXPECT_NE(std::find(steps.begin(), steps.end(), "Data_OutToCsv,\"???\""), steps.end());
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "ExeMacro,\"inner\""), 1);

    {
        SCOPED_TRACE("played from the macro menu");
        clearOutput();
        Zbq p(books.path());
        ASSERT_TRUE(p.start());
        ClipboardLog clipboard;
        OpenedFiles opened(p.h.programDir(), copies(1));
        importMacros(p, macroFile);
        ASSERT_EQ(p.macro.macroNames(), (std::vector<std::string>{"tour", "inner"}));
        p.h.answerDialogs({"pw"});
        p.executeFromMenu(0, [&] { p.answerVariables(paths); });
        EXPECT_TRUE(p.steps.empty());
        expectSame(outcomeOf(p, clipboard, opened, paths), recorded);
        expectCompleted(p.h.prompts().messageTexts(), "マクロの実行が完了しました。");
    }
    {
        SCOPED_TRACE("played from the macro menu under English");
        clearOutput();
        InLanguage english("en_US");
        ASSERT_NE(english.translator(), nullptr) << "the English translation is not in the program";
        Zbq p(books.path());
        ASSERT_TRUE(p.start());
        ClipboardLog clipboard;
        OpenedFiles opened(p.h.programDir(), copies(4));
        importMacros(p, macroFile);
        p.h.answerDialogs({"pw"});
        p.executeFromMenu(0, [&] { p.answerVariables(paths); });
        EXPECT_TRUE(p.steps.empty());
        Outcome o = outcomeOf(p, clipboard, opened, paths);
        Outcome japanese = recorded;
        // The captions the screen quotes as shown are the English ones.
        o.screen = withoutShownCaptions(o.screen);
        japanese.screen = withoutShownCaptions(japanese.screen);
        expectSame(o, japanese);
        expectCompleted(p.h.prompts().messageTexts(), "マクロの実行が完了しました。");
    }
    {
        SCOPED_TRACE("played step by step through the work list");
        clearOutput();
        Zbq p(books.path());
        ASSERT_TRUE(p.start());
        ClipboardLog clipboard;
        OpenedFiles opened(p.h.programDir(), copies(2));
        importMacros(p, macroFile);
        // ステップ pressed whenever the list, on top, waits for it: a list that ended its loop
        // early would leave steps unplayed.
        std::size_t presses = 0;
        p.then<CMacroMenuDlg>([&](CMacroMenuDlg& d) {
            QTreeWidget* list = d.list();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->topLevelItem(0)).center());
            p.h.prompts().answer(ui::Answer::Yes);
            press(d.stepButton());
        });
        p.then<CWorkListDlg>([&](CWorkListDlg& d) {
            p.answerVariables(paths);
            auto* presser = new QTimer(&d);
            QObject::connect(presser, &QTimer::timeout, &d, [&d, &presses] {
                if (QApplication::activeModalWidget() != &d || !d.isVisible() ||
                    !d.stepButton()->isEnabled())
                    return;
                ++presses;
                press(d.stepButton());
            });
            presser->start(5);
        });
        p.h.answerDialogs({"pw"});
        p.pick(CMainFrame::kMacroMenu);
        EXPECT_TRUE(p.steps.empty());
        EXPECT_EQ(presses, steps.size()) << "the list ended before its last step";
        expectCompleted(p.h.prompts().messageTexts(), "マクロの実行が完了しました。");
        expectSame(outcomeOf(p, clipboard, opened, paths), recorded);
    }
    {
        SCOPED_TRACE("renamed auto_open and played at start-up");
        clearOutput();
        std::string autoOpenFile;
        {
            // The macro renamed in the menu, and the macro file written where the next start-up
            // on the workbook reads it.
            Zbq p(books.path());
            ASSERT_TRUE(p.start());
            importMacros(p, macroFile);
            p.then<CMacroMenuDlg>([&p](CMacroMenuDlg& d) {
                QTreeWidget* list = d.list();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->topLevelItem(0)).center());
                p.then<CMacroNameDlg>([](CMacroNameDlg& n) {
                    typeInto(n.nameEdit(), QStringLiteral("auto_open"));
                    press(n.okButton());
                });
                press(d.renameButton());
                press(d.closeButton());
            });
            p.pick(CMainFrame::kMacroMenu);
            ASSERT_EQ(p.macro.macroNames(), (std::vector<std::string>{"auto_open", "inner"}));
            autoOpenFile =
                std::filesystem::relative(p.h.app().GetMacroFilePath(), p.h.programDir());
            ASSERT_EQ(p.macro.WriteMacroFile(out.file("auto.mcr")), 1);
        }
        Zbq p(books.path());
        ClipboardLog clipboard;
        OpenedFiles opened(p.h.programDir(), copies(3));
        std::filesystem::copy_file(out.file("auto.mcr"), p.h.file(autoOpenFile));
        p.answerVariables(paths);
        p.h.answerDialogs({"pw"});
        p.h.prompts().answer(ui::Answer::Yes);
        ASSERT_TRUE(p.start());
        EXPECT_TRUE(p.steps.empty());
        expectCompleted(p.h.prompts().messageTexts(), "マクロ「auto_open」の実行が完了しました。");
        // The macro file was the test's input to this start-up alone.
        std::filesystem::remove(p.h.file(autoOpenFile));
        Outcome o = outcomeOf(p, clipboard, opened, paths);
        // The one difference the start-up's macro makes: its name.
        const std::string renamed = "macro \"auto_open\"";
        ASSERT_NE(o.screen.find(renamed), std::string::npos);
        o.screen.replace(o.screen.find(renamed), renamed.size(), "macro \"tour\"");
        expectSame(o, recorded);
    }
    {
        SCOPED_TRACE("the saved data file opened again with its password");
        Zbq p(books.path());
        p.h.answerDialogs({"wrong", "pw"});
        p.h.prompts().answer(ui::Answer::Ok);
        ASSERT_TRUE(p.start({paths.saved}));
        EXPECT_EQ(p.h.dialogsShown(),
                  (std::vector<std::string>{"login tour.zbq", "login tour.zbq"}));
        EXPECT_EQ(p.h.app().KWgetDataCount(), 20) << "the records saved before the addition";
    }
}

// Start-up on text files, the import dialog in its own modal loop: a file's row clicked, its
// names read, the title typed, OK pressed; the data set of both files is loaded.
TEST(TextStartUp, TheImportDialogRunsInItsOwnLoopAndLoadsTheFiles) {
    AppHarness h;
    h.runDialogsInTheirLoops();
    h.setSpreadsheet("");
    writeFile(h.file("a.txt"), "name\tscore\r\nx\t1\r\ny\t2\r\n");
    writeFile(h.file("b.txt"), "name\tscore\nz\t3\n");
    h.prompts().chooseFiles(QStringList{QString::fromStdString(h.file("a.txt")),
                                        QString::fromStdString(h.file("b.txt"))});
    h.driveImports([](QDialog& dialog) {
        auto& text = dynamic_cast<CTextReadDlg&>(dialog);
        QTreeWidget* files = text.fileList();
        EXPECT_FALSE(text.button(1074)->isEnabled());
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(files->topLevelItem(1)).center());
        press(text.button(1074));
        EXPECT_EQ(text.itemList()->topLevelItemCount(), 2);
        typeInto(text.titleEdit(), QString::fromUtf8("成績"));
        press(text.button(1));
        return dialog.result();
    });
    ASSERT_TRUE(h.start());
    EXPECT_EQ(h.dialogsShown(), std::vector<std::string>{"import"});
    EXPECT_EQ(h.app().GetStructDef().title, cp932::literal("成績"));
    EXPECT_EQ(h.app().KWgetDataCount(), 3);
}

}  // namespace
}  // namespace zbq::test
