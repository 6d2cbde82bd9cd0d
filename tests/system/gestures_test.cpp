// Every command that a user's gesture records, recorded by that gesture on the real widgets of
// the whole program offscreen: the table gestures.tsv names, per command, the gesture (a menu
// entry, a button, a drag, a key, a divider, a tab, a change of a window's state, a field left,
// a drop ...) and the exact steps it records. Its sections each start a fresh program, open the
// window they need and play their rows in order, each row's steps compared with what the
// recording port received. Then the commands that no row records must be exactly those that the
// command table says no gesture records, and those only the English layout records must come from
// the sections played under English alone. What a section under English recorded is played back
// under Japanese in a fresh program, which must come to the same state, clipboard and files.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/excel_read_dlg.h"
#include "app/item_edit_dlg.h"
#include "app/main_frame.h"
#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/category_list_view.h"
#include "console/class_dialogs.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/item_sel_page.h"
#include "console/molap_page.h"
#include "console/molap_settings.h"
#include "console/olap_page.h"
#include "console/set_tree_view.h"
#include "console/sys_page.h"
#include "console/up_down_edit.h"
#include "macro/cmacro.h"
#include "macro/macro_dialogs.h"
#include "macro/macro_menu_dlg.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/fixed_grid.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "tests/support/app_harness.h"
#include "tests/support/in_language.h"
#include "tests/support/real_input.h"
#include "tests/support/recording_macro.h"
#include "tests/support/shown_captions.h"
#include "tests/support/temp_dir.h"
#include "windows/cross_frame.h"
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

using windows::CCrossFrm;
using windows::CItemSheet;
using windows::CKWView;
using windows::CMOLAPFrm;
using windows::GridController;
using windows::GridRole;
using windows::ResultGrid;
using windows::ValueListView;

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// --- The tables ---

// One gesture: a command it records ("-" none of its own), the gesture's kind, what it acts on,
// its argument, the answers queued for the prompts it meets, and the steps it records (UTF-8).
struct Row {
    int line = 0;
    std::string command, gesture, target, argument, answers;
    std::vector<std::string> steps;
};

struct Section {
    std::string name;
    bool english = false;  // played with English in force
    std::vector<Row> rows;
};

std::vector<Section> gestureTable() {
    std::ifstream in(ZBQ_GESTURES_TABLE);
    std::vector<Section> sections;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            const std::size_t end = line.find(']');
            const std::string language = line.substr(std::min(end + 1, line.size()));
            EXPECT_TRUE(language.empty() || language == " under English")
                << "gestures.tsv:" << number << ": " << language;
            sections.push_back({line.substr(1, end - 1), language == " under English", {}});
            continue;
        }
        const std::vector<std::string> cells = split(line, '\t');
        EXPECT_GE(cells.size(), 5u) << "gestures.tsv:" << number;
        EXPECT_FALSE(sections.empty()) << "gestures.tsv:" << number << ": a row before a section";
        if (cells.size() < 5 || sections.empty()) continue;
        Row row{number, cells[0], cells[1], cells[2], cells[3], cells[4], {}};
        for (std::size_t i = 5; i < cells.size(); ++i)
            if (!cells[i].empty()) row.steps.push_back(cells[i]);
        sections.back().rows.push_back(row);
    }
    return sections;
}

// The command table's column: each command and whether some gesture records it, in either
// layout or in the English layout alone.
enum class Recorded { No, Yes, InEnglish };

std::map<std::string, Recorded> commandsRecorded() {
    std::ifstream in(ZBQ_COMMANDS_TABLE);
    std::map<std::string, Recorded> commands;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> cells = split(line, '\t');
        if (cells.size() >= 6)
            commands[cells[1]] = cells[5] == "yes"                    ? Recorded::Yes
                                 : cells[5] == "yes (English layout)" ? Recorded::InEnglish
                                                                      : Recorded::No;
    }
    return commands;
}

// A caption of the table (the program's Japanese text) as the widgets show it in the language in
// force.
QString shownCaption(const std::string& japanese) {
    return ui::shown(japanese.c_str());
}

std::string commandOf(const std::string& step) {
    return step.substr(0, step.find(','));
}

// --- The program ---

std::chrono::system_clock::time_point fixedTime() {
    using namespace std::chrono;
    return sys_days{year{2024} / 5 / 6} + hours{12};
}

// The graph control's stand-in: the workbook it is asked to close appears at its path.
class WorkbookGraph : public windows::GraphOutput {
public:
    void setFilePath(const std::string&) override {}
    void setData(const std::string&) override {}
    void closeXls(const std::string& path) override { std::ofstream(path) << "chart"; }
    void exNormal() override {}
};

// ZBQ as main() wires it, started on the harness's fixture, recording into the test's port.
struct World {
    World() : frame(h.app(), windows::everyWindowFactory(h.app())) { h.app().SetClock(fixedTime); }
    ~World() {
        if (graph) windows::setGraphOutput(nullptr);
        h.app().SetMacroPort(nullptr);
        h.exit();
    }

    // The harness's fixture, or a data set of the section's own.
    bool start(const std::string& definition = {}, const std::string& data = {}) {
        std::string path = h.writeFixture();
        if (!definition.empty()) {
            path = h.file("own.def");
            std::ofstream(path, std::ios::binary) << cp932::literal(definition);
            std::ofstream(h.file("own.dat"), std::ios::binary) << cp932::literal(data);
        }
        if (!h.start({path})) return false;
        h.app().SetExportTempPath(h.file("temp/stamp_e.xlsx"));
        frame.resize(900, 600);
        frame.show();
        frame.ShowConsole();
        QCoreApplication::processEvents();
        h.app().SetMacroPort(&macro);
        return true;
    }

    CConsSheet& console() const { return *qobject_cast<CConsSheet*>(frame.console()); }
    CItemSelPage& itemSel() const { return *console().ItemSelPage(); }
    CDataSelPage& dataSel() const { return *console().DataSelPage(); }
    COlapPage& olap() const { return *console().OlapPage(); }
    CKWView* dataView() const { return qobject_cast<CKWView*>(frame.dataView()); }
    CCrossFrm* cross() const { return qobject_cast<CCrossFrm*>(frame.crossWindow()); }
    CMOLAPFrm* molap() const { return qobject_cast<CMOLAPFrm*>(frame.molapWindow()); }
    CItemSheet* itemSheet() const { return dynamic_cast<CItemSheet*>(frame.FindItemSheet(item)); }

    // The original-data window on every item, through the item-selection tab's own buttons.
    void showData() {
        itemSel().OnAllToDisplayList();
        itemSel().OnShowData();
        QCoreApplication::processEvents();
    }

    AppHarness h;
    RecordingMacro macro;
    CMainFrame frame;
    ui::ScriptedClipboard clipboard;
    ui::ScriptedOpener opener;
    TempDir out;
    std::string section;
    std::int32_t item = -1;                      // the item window the rows act on
    QDialog* dialog = nullptr;                   // the modal dialog the rows act on
    std::unique_ptr<ui::ScopedModalHook> modal;  // the answer of the row's dialog
    // The macro object with its dialogs, for the gestures of the macro menu; it records then.
    std::unique_ptr<CMacro> real;
    std::unique_ptr<MacroDialogs> screen;
    std::size_t seen = 0;  // its steps already checked
    int depth = 0;         // the dialogs open over each other
    std::unique_ptr<WorkbookGraph> graph;
    std::vector<std::string> played;  // every step the rows recorded, in order (CP932)
};

// The steps recorded since the last call.
std::vector<std::string> takeSteps(World& w) {
    if (w.real) {
        const std::vector<std::string>& all = w.real->RecordedSteps();
        std::vector<std::string> out(
            all.begin() + static_cast<std::ptrdiff_t>(std::min(w.seen, all.size())), all.end());
        w.seen = all.size();
        return out;
    }
    std::vector<std::string> out = std::move(w.macro.steps);
    w.macro.steps.clear();
    return out;
}

// The result grid the section's rows act on, and the menu its controls open.
struct GridRef {
    ResultGrid* grid = nullptr;
    std::function<std::unique_ptr<QMenu>(GridRole, std::int32_t)> menu;
};

GridRef gridOf(World& w) {
    if (w.section == "cross" && w.cross()) {
        windows::CCrossListView* view = &w.cross()->view();
        return {&view->grid(), [view](GridRole role, std::int32_t column) {
                    return view->BuildMenu(role, column);
                }};
    }
    if (w.section == "item" && w.itemSheet()) {
        ValueListView* view = w.itemSheet()->view();
        return {&view->grid(), [view](GridRole, std::int32_t) {
                    return std::unique_ptr<QMenu>(view->buildMenu());
                }};
    }
    if (CKWView* view = w.dataView())
        return {&view->grid(), [view](GridRole role, std::int32_t column) {
                    return view->BuildMenu(role, column);
                }};
    return {};
}

// The entry of a menu at a caption path ("ソート/昇順にソート"), through its sub-menus.
QAction* menuEntry(QMenu* menu, const std::string& path) {
    QMenu* at = menu;
    const std::vector<std::string> parts = split(path, '/');
    for (std::size_t i = 0; i < parts.size(); ++i) {
        QAction* found = nullptr;
        for (QAction* a : at->actions())
            if (a->text().remove('&') == shownCaption(parts[i]).remove('&')) found = a;
        if (!found) return nullptr;
        if (i + 1 == parts.size()) return found;
        if (!(at = found->menu())) return nullptr;
    }
    return nullptr;
}

std::vector<int> numbers(const std::string& text) {
    std::vector<int> out;
    for (const std::string& part : split(text, ','))
        if (!part.empty()) out.push_back(std::stoi(part));
    return out;
}

QWidget* namedWidget(World& w, const std::string& name);

// A control by the name the table gives it, or by its object name or caption, looked for in the
// dialog the rows act on, then the item window, the cross-tab page (in its section), the
// console and the aggregation window.
template <typename T>
T* control(World& w, const std::string& name) {
    if (T* named = qobject_cast<T*>(namedWidget(w, name))) return named;
    const QString wanted = QString::fromStdString(name);
    std::vector<QWidget*> roots;
    if (w.dialog) roots.push_back(w.dialog);
    if (CItemSheet* sheet = w.itemSheet()) roots.push_back(sheet);
    if (w.section == "olap") roots.push_back(&w.olap());
    roots.push_back(&w.console());
    if (w.molap()) roots.push_back(w.molap());
    for (QWidget* root : roots)
        for (T* widget : root->findChildren<T*>()) {
            QString text;
            if (auto* button = qobject_cast<QAbstractButton*>(widget))
                text = button->text().remove('&');
            if (widget->objectName() == wanted ||
                (!text.isEmpty() && text == shownCaption(name).remove('&')))
                return widget;
        }
    return nullptr;
}

// The controls that have no name of their own, by the name the table gives them: the cross-tab
// page's, the category editor's and the class dialogs'.
QWidget* namedWidget(World& w, const std::string& name) {
    using Axis = COlapPage::Axis;
    COlapPage& olap = w.olap();
    const std::map<std::string, QWidget*> page = {
        {"xItem", olap.itemCombo(Axis::X)},
        {"yItem", olap.itemCombo(Axis::Y)},
        {"xCateg", olap.categoryCombo(Axis::X)},
        {"yCateg", olap.categoryCombo(Axis::Y)},
        {"zItem", olap.zCombo()},
        {"kind", olap.kindCombo()},
        {"xCheck", olap.checkBox(Axis::X)},
        {"yCheck", olap.checkBox(Axis::Y)},
        {"xLevel", olap.levelSlider(Axis::X)},
        {"yLevel", olap.levelSlider(Axis::Y)},
        {"percent", olap.percentEdit()},
        {"spinUp", olap.spinButton(true)},
        {"spinDown", olap.spinButton(false)},
        {"display", olap.displayButton()},
        {"categName", olap.frame()->editor()->nameEdit()},
        {"categType", olap.frame()->editor()->typeList()},
        {"categories", olap.frame()->list()},
    };
    if (const auto found = page.find(name); found != page.end()) return found->second;
    if (auto* edit = dynamic_cast<CItemEditDlg*>(w.dialog)) {
        if (name == "itemName") return edit->nameEdit();
        if (name == "itemType") return edit->typeCombo();
    }
    if (auto* excel = dynamic_cast<CExcelReadDlg*>(w.dialog)) {
        if (name == "sheets") return excel->sheetList();
        if (name == "items") return excel->itemList();
        if (name.starts_with("b")) return excel->button(std::stoi(name.substr(1)));
    }
    if (auto* menu = dynamic_cast<CMacroMenuDlg*>(w.dialog)) {
        const std::map<std::string, QWidget*> fields = {{"macros", menu->list()},
                                                        {"execute", menu->executeButton()}};
        if (const auto found = fields.find(name); found != fields.end()) return found->second;
    }
    if (auto* filter = dynamic_cast<windows::CFilterDlg*>(w.dialog)) {
        const std::map<std::string, QWidget*> fields = {{"operator1", filter->operatorList(0)},
                                                        {"from1", filter->fromEdit(0)},
                                                        {"to1", filter->toEdit(0)},
                                                        {"colour1", filter->colourList(0)}};
        if (const auto found = fields.find(name); found != fields.end()) return found->second;
    }
    if (auto* small = dynamic_cast<CMinorCategoryDlg*>(w.dialog)) {
        const std::map<std::string, QWidget*> fields = {{"name", small->nameEdit()},
                                                        {"operator", small->operatorList()},
                                                        {"term1", small->term1Combo()},
                                                        {"term2", small->term2Edit()},
                                                        {"list", small->list()}};
        if (const auto found = fields.find(name); found != fields.end()) return found->second;
    }
    if (auto* classes = dynamic_cast<CCategoryListDlg*>(w.dialog)) {
        const std::map<std::string, QWidget*> fields = {{"name", classes->nameEdit()},
                                                        {"member", classes->memberList()},
                                                        {"list", classes->list()}};
        if (const auto found = fields.find(name); found != fields.end()) return found->second;
    }
    return nullptr;
}

// --- Gestures: each kind a function of the row ---

using Gesture = std::function<void(World&, const Row&)>;

void fail(const Row& row, const std::string& why) {
    ADD_FAILURE() << "gestures.tsv:" << row.line << " " << row.command << ": " << why;
}

// A grid's control by its name in the table.
QWidget* gridControl(const GridRef& g, const std::string& name) {
    if (!g.grid) return nullptr;
    if (name == "titles") return g.grid->columnHeader();
    if (name == "rows") return g.grid->rowHeader();
    return g.grid->list()->viewport();
}

// The centre of a cell in list coordinates.
QPoint cellPoint(GridController& g, int column, int row) {
    return {g.columnLeft(column) - g.xOffset() + g.columnWidth(column) / 2,
            (row - g.topRow()) * g.rowHeight() + g.rowHeight() / 2};
}

int rowHeaderWidth(const GridRef& g) {
    return g.grid->rowHeader()->width();
}

// A point of a grid's control for a cell: the titles take its column, the row labels its row.
QPoint gridPoint(const GridRef& g, const std::string& control, int column, int row) {
    GridController& geometry = g.grid->geometry();
    const QPoint at = cellPoint(geometry, column, row);
    if (control == "titles") return {rowHeaderWidth(g) + at.x(), 10};
    if (control == "rows") return {10, at.y()};
    return at;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The item-selection tab's tree or display list: the context menu on a node (by its name) or a
// row, the entry chosen by its caption.
void consoleMenu(World& w, const Row& row, const std::vector<std::string>& target) {
    CItemSelPage& page = w.itemSel();
    w.console().ActivatePage(ConsolePage::ItemSelection);
    QCoreApplication::processEvents();
    const bool tree = target[0] == "itemtree";
    QTreeWidget* view = tree ? page.treeView() : page.listView();
    QTreeWidgetItem* item = nullptr;
    if (tree) {
        const QList<QTreeWidgetItem*> found = view->findItems(
            QString::fromStdString(target.at(1)), Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty()) item = found.front();
    } else {
        item = view->topLevelItem(std::stoi(target.at(1)));
        view->clearSelection();
        if (item) item->setSelected(true);
    }
    if (!item) {
        std::string shown;
        for (QTreeWidgetItemIterator it(view); *it; ++it)
            shown += " [" + (*it)->text(0).toStdString() + "]";
        return fail(row, "no node or row " + row.target + " among" + shown);
    }
    bool chosen = false;
    page.SetMenuChooser([&](QWidget*, const MenuVariant& menu, const QPoint&) {
        for (const MenuEntry& entry : menu.entries)
            if (entry.caption == row.argument && entry.enabled) {
                chosen = true;
                return entry.id;
            }
        return 0;
    });
    const QPoint at = view->visualItemRect(item).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &event);
    page.SetMenuChooser(nullptr);
    if (!chosen) fail(row, "no enabled entry " + row.argument);
}

// The data-selection tab's set tree: the context menu on a set, the entry chosen by caption.
CDataSelPage::MenuChooser chooseCaption(const std::string& caption, bool& chosen) {
    return [caption, &chosen](QMenu& menu, std::int32_t) {
        for (QAction* a : menu.actions())
            if (a->text() == shownCaption(caption) && a->isEnabled()) {
                chosen = true;
                return a->data().toInt();
            }
        return 0;
    };
}

QTreeWidgetItem* shownSet(World& w, std::int32_t setNo) {
    w.console().ActivatePage(ConsolePage::DataSelection);
    CDataSelTreeView* tree = w.dataSel().setTree();
    tree->programChange([tree] { tree->expandAll(); });
    QCoreApplication::processEvents();
    return w.dataSel().FindSetItem(setNo);
}

void setTreeMenu(World& w, const Row& row, std::int32_t setNo) {
    QTreeWidgetItem* item = shownSet(w, setNo);
    if (!item) return fail(row, "no set " + row.target);
    CDataSelTreeView* tree = w.dataSel().setTree();
    bool chosen = false;
    w.dataSel().setMenuChooser(chooseCaption(row.argument, chosen));
    const QPoint at = tree->visualItemRect(item).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &event);
    if (!chosen) fail(row, "no enabled entry " + row.argument);
}

// Data of a private MIME type dropped on a view at a point, as a real drag ends.
bool dropOn(QWidget* viewport, const char* mimeType, const QByteArray& data, QPoint at) {
    QMimeData mime;
    mime.setData(QString::fromLatin1(mimeType), data);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    return drop.isAccepted();
}

const std::map<std::string, Gesture>& gestures() {
    static const std::map<std::string, Gesture> kinds = {
        // A menu entry, by its caption path, of a menu the target names.
        {"menu",
         [](World& w, const Row& row) {
             const std::vector<std::string> target = split(row.target, ':');
             std::unique_ptr<QMenu> owned;
             QMenu* menu = nullptr;
             if (target[0] == "grid") {
                 const GridRole role = target.at(1) == "titles" ? GridRole::ColumnHeader
                                       : target.at(1) == "rows" ? GridRole::RowHeader
                                                                : GridRole::List;
                 const int column = target.size() > 2 ? std::stoi(target[2]) : -1;
                 owned = gridOf(w).menu(role, column);
                 menu = owned.get();
             } else if (target[0] == "frame") {
                 // The caption without its key: "ｺﾝｿｰﾙを表示(&C)\tCtrl+C" is "ｺﾝｿｰﾙを表示".
                 const auto bare = [](QString text) {
                     text = text.split('\t')[0];
                     return text.remove(QRegularExpression(QStringLiteral("\\(&.\\)"))).remove('&');
                 };
                 QAction* entry = nullptr;
                 for (QAction* a : w.frame.menuBar()->findChildren<QAction*>())
                     if (bare(a->text()) == bare(shownCaption(row.argument))) entry = a;
                 if (!entry) return fail(row, "no frame menu entry " + row.argument);
                 entry->trigger();
                 return;
             } else if (target[0] == "syslist") {
                 CSysPage& page = *w.console().SysPage();
                 page.SelectRow(std::stoi(target.at(1)));
                 menu = page.popupMenu();
             } else if (target[0] == "print") {
                 menu = w.frame.printMenu();
             } else if (target[0] == "itemtree" || target[0] == "displaylist") {
                 return consoleMenu(w, row, target);
             } else if (target[0] == "settree") {
                 return setTreeMenu(w, row, std::stoi(target.at(1)));
             } else if (target[0] == "molap") {
                 menu = w.molap()->contextMenu();
                 owned.reset(menu);
             }
             if (!menu) return fail(row, "no menu " + row.target);
             QAction* entry = menuEntry(menu, row.argument);
             if (!entry) return fail(row, "no entry " + row.argument);
             if (!entry->isEnabled()) return fail(row, "a disabled entry " + row.argument);
             entry->trigger();
         }},
        // A button, check box or radio button, by its name or caption, clicked.
        {"button",
         [](World& w, const Row& row) {
             QAbstractButton* button = control<QAbstractButton>(w, row.target);
             if (!button) return fail(row, "no button " + row.target);
             if (!button->isEnabled()) return fail(row, "a disabled button " + row.target);
             if (!button->isVisible()) return fail(row, "a button out of sight " + row.target);
             press(button);
         }},
        // A mouse drag over a grid's cells, row labels or titles: "c1,r1,c2,r2".
        {"drag",
         [](World& w, const Row& row) {
             const GridRef g = gridOf(w);
             QWidget* widget = gridControl(g, row.target);
             const std::vector<int> n = numbers(row.argument);
             if (!widget || n.size() != 4) return fail(row, "no grid or no cells");
             const QPoint from = gridPoint(g, row.target, n[0], n[1]);
             const QPoint to = gridPoint(g, row.target, n[2], n[3]);
             QTest::mousePress(widget, Qt::LeftButton, {}, from);
             sendMouse(widget, QEvent::MouseMove, to, Qt::LeftButton);
             QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
         }},
        // A click on the top-left corner of a grid's titles.
        {"corner",
         [](World& w, const Row& row) {
             const GridRef g = gridOf(w);
             if (!g.grid) return fail(row, "no grid");
             QTest::mouseClick(g.grid->columnHeader(), Qt::LeftButton, {},
                               QPoint(rowHeaderWidth(g) / 2, 10));
         }},
        // A column divider of a grid's titles dragged until the column is as wide as asked:
        // "column,width".
        {"divider",
         [](World& w, const Row& row) {
             const GridRef g = gridOf(w);
             const std::vector<int> n = numbers(row.argument);
             if (!g.grid || n.size() != 2) return fail(row, "no grid");
             GridController& geometry = g.grid->geometry();
             QWidget* header = g.grid->columnHeader();
             const int x = rowHeaderWidth(g) + geometry.columnLeft(n[0] + 1) - geometry.xOffset();
             const int to = x + n[1] - geometry.columnWidth(n[0]);
             QTest::mousePress(header, Qt::LeftButton, {}, QPoint(x, 10));
             sendMouse(header, QEvent::MouseMove, QPoint(to, 10), Qt::LeftButton);
             QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(to, 10));
         }},
        // A double-click on a column divider (press, release, double-click, release) or on a
        // column's title: "divider,column" or "title,column".
        {"dblclick",
         [](World& w, const Row& row) {
             const GridRef g = gridOf(w);
             if (!g.grid) return fail(row, "no grid");
             GridController& geometry = g.grid->geometry();
             QWidget* header = g.grid->columnHeader();
             const int column = std::stoi(row.argument);
             const QPoint at = row.target == "divider"
                                   ? QPoint(rowHeaderWidth(g) + geometry.columnLeft(column + 1) -
                                                geometry.xOffset(),
                                            10)
                                   : gridPoint(g, "titles", column, 0);
             QTest::mousePress(header, Qt::LeftButton, {}, at);
             QTest::mouseRelease(header, Qt::LeftButton, {}, at);
             sendMouse(header, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
             QTest::mouseRelease(header, Qt::LeftButton, {}, at);
         }},
        // A key pressed in a grid's list.
        {"key",
         [](World& w, const Row& row) {
             const GridRef g = gridOf(w);
             if (!g.grid) return fail(row, "no grid");
             const std::map<std::string, Qt::Key> keys = {
                 {"Tab", Qt::Key_Tab},   {"Down", Qt::Key_Down},        {"Up", Qt::Key_Up},
                 {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right},      {"Home", Qt::Key_Home},
                 {"End", Qt::Key_End},   {"PageDown", Qt::Key_PageDown}};
             QTest::keyClick(g.grid->list(), keys.at(row.argument));
         }},
        // The wheel turned over a grid's list: the delta.
        {"wheel",
         [](World& w, const Row& row) {
             const GridRef g = gridOf(w);
             if (!g.grid) return fail(row, "no grid");
             QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(),
                               QPoint(0, std::stoi(row.argument)), Qt::NoButton, Qt::NoModifier,
                               Qt::NoScrollPhase, false);
             QApplication::sendEvent(g.grid->list()->viewport(), &wheel);
         }},
        // A grid's scroll bar ("vertical" or "horizontal"): "page" steps a page on, "thumb,n"
        // drags the thumb to n and lets it go.
        {"scroll",
         [](World& w, const Row& row) {
             const GridRef g = gridOf(w);
             if (!g.grid) return fail(row, "no grid");
             QScrollBar* bar = row.target == "vertical" ? g.grid->list()->verticalScrollBar()
                                                        : g.grid->list()->horizontalScrollBar();
             const std::vector<std::string> arg = split(row.argument, ',');
             if (arg[0] == "page") {
                 bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
                 return;
             }
             if (arg[0] == "line-") {
                 bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
                 return;
             }
             bar->setSliderDown(true);
             bar->triggerAction(QAbstractSlider::SliderMove);
             bar->setSliderPosition(std::stoi(arg.at(1)));
             bar->setSliderDown(false);
         }},
        // A tab clicked: the console's strip or the item window's.
        {"tab",
         [](World& w, const Row& row) {
             QTabBar* bar = row.target == "item" ? w.itemSheet()->tabs()->tabBar()
                                                 : w.console().tabs()->tabBar();
             QTest::mouseClick(bar, Qt::LeftButton, {},
                               bar->tabRect(std::stoi(row.argument)).center());
         }},
        // A window's state changed by the window system: maximised, minimised, restored, closed.
        {"state",
         [](World& w, const Row& row) {
             QWidget* window = nullptr;
             if (row.target == "data" && w.dataView())
                 window = w.dataView()->parentWidget();
             else if (row.target == "cross")
                 window = w.cross();
             else if (row.target == "molap")
                 window = w.molap();
             else if (row.target == "item")
                 window = w.itemSheet();
             else if (row.target == "console")
                 window = &w.console();
             if (!window) return fail(row, "no window " + row.target);
             if (row.argument == "close") {
                 window->close();
             } else if (auto* sub = qobject_cast<QMdiSubWindow*>(window)) {
                 // The subwindow's own title-bar buttons.
                 if (row.argument == "max") sub->showMaximized();
                 if (row.argument == "min") sub->showMinimized();
                 if (row.argument == "restore") sub->showNormal();
             } else {
                 // A top-level window's state as the window system reports the user's change.
                 const Qt::WindowStates state = row.argument == "max"   ? Qt::WindowMaximized
                                                : row.argument == "min" ? Qt::WindowMinimized
                                                                        : Qt::WindowNoState;
                 window->windowHandle()->setWindowStates(state);
             }
             QCoreApplication::processEvents();
         }},
        // A combo box's entry chosen by the user: the index.
        {"combo",
         [](World& w, const Row& row) {
             QComboBox* combo = control<QComboBox>(w, row.target);
             if (!combo) return fail(row, "no combo " + row.target);
             const int index = std::stoi(row.argument);
             combo->showPopup();  // a list that fills itself as it drops down
             combo->hidePopup();
             combo->setCurrentIndex(index);
             emit combo->activated(index);
         }},
        // A text field entered, typed into and left: the text (UTF-8).
        {"field",
         [](World& w, const Row& row) {
             QWidget* widget = control<QWidget>(w, row.target);
             auto* edit = widget ? qobject_cast<QLineEdit*>(clickTarget(widget)) : nullptr;
             if (!edit) return fail(row, "no field " + row.target);
             typeInto(widget, QString::fromStdString(row.argument));
             if (edit->text() != QString::fromStdString(row.argument))
                 fail(row, "the field shows " + edit->text().toStdString());
             leaveWithTab();
             if (edit->hasFocus()) fail(row, "Tab left the focus in the field");
         }},
        // A drag and drop: a set onto a set ("settree:A", "B/caption of the menu entry"), or a
        // display-list row onto another row ("displaylist", "from,to").
        {"drop",
         [](World& w, const Row& row) {
             const std::vector<std::string> target = split(row.target, ':');
             if (target[0] == "settree") {
                 QTreeWidgetItem* item = shownSet(w, std::stoi(target.at(1)));
                 const std::vector<std::string> arg = split(row.argument, '/');
                 if (!item || arg.size() != 2) return fail(row, "no set " + row.target);
                 CDataSelTreeView* tree = w.dataSel().setTree();
                 bool chosen = false;
                 w.dataSel().setMenuChooser(chooseCaption(arg[1], chosen));
                 dropOn(tree->viewport(), kSetMimeType, QByteArray::fromStdString(arg[0]),
                        tree->visualItemRect(item).center());
                 QCoreApplication::processEvents();  // the menu comes once the drop returned
                 if (!chosen) fail(row, "no enabled entry " + arg[1]);
                 return;
             }
             w.console().ActivatePage(ConsolePage::ItemSelection);
             QCoreApplication::processEvents();
             QTreeWidget* list = w.itemSel().listView();
             const std::vector<int> n = numbers(row.argument);
             QTreeWidgetItem* from = list->topLevelItem(n.at(0));
             QTreeWidgetItem* to = list->topLevelItem(n.at(1));
             if (!from || !to) return fail(row, "no rows " + row.argument);
             list->clearSelection();
             from->setSelected(true);
             dropOn(list->viewport(), kDisplayRowsMime, {}, list->visualItemRect(to).center());
         }},
        // A node of the item tree dragged onto a row of the display list ("name,row", -1 below
        // the last row), or the list's row dragged onto the tree ("rows", the row).
        {"dragitem",
         [](World& w, const Row& row) {
             w.console().ActivatePage(ConsolePage::ItemSelection);
             QCoreApplication::processEvents();
             CItemSelPage& page = w.itemSel();
             QTreeWidget* list = page.listView();
             const std::vector<std::string> arg = split(row.argument, ',');
             if (row.target == "rows") {
                 QTreeWidgetItem* item = list->topLevelItem(std::stoi(arg.at(0)));
                 if (!item) return fail(row, "no row " + arg.at(0));
                 list->clearSelection();
                 item->setSelected(true);
                 dropOn(page.treeView()->viewport(), kDisplayRowsMime, {}, QPoint(5, 5));
                 return;
             }
             int node = -1;
             const std::vector<ItemNode>& nodes = page.tree().nodes();
             for (std::size_t i = 0; i < nodes.size() && node < 0; ++i)
                 if (cp932::toUtf8(nodes[i].text) == arg.at(0)) node = static_cast<int>(i);
             const int at = std::stoi(arg.at(1));
             QTreeWidgetItem* target = at >= 0 ? list->topLevelItem(at) : nullptr;
             if (node < 0 || (at >= 0 && !target)) return fail(row, "no node or row");
             const QPoint point = target ? list->visualItemRect(target).center()
                                         : QPoint(5, list->viewport()->height() - 5);
             dropOn(list->viewport(), kItemNodeMime, QByteArray::number(node), point);
         }},
        // Escape pressed in the dialog the rows act on.
        {"escape",
         [](World& w, const Row& row) {
             if (!w.dialog) return fail(row, "no dialog");
             // The key goes where the focus is and reaches the dialog from there.
             QWidget* at = QApplication::focusWidget();
             QTest::keyClick(at && at->window() == w.dialog ? at : w.dialog, Qt::Key_Escape);
         }},
        // A double-click on a set of the set tree.
        {"setdblclick",
         [](World& w, const Row& row) {
             QTreeWidgetItem* item = shownSet(w, std::stoi(row.target));
             if (!item) return fail(row, "no set " + row.target);
             CDataSelTreeView* tree = w.dataSel().setTree();
             const QPoint at = tree->visualItemRect(item).center();
             QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
             sendMouse(tree->viewport(), QEvent::MouseButtonDblClick, at, Qt::LeftButton);
         }},
        // A text field entered and typed into, the focus left in it: the text (UTF-8).
        {"type",
         [](World& w, const Row& row) {
             QWidget* widget = control<QWidget>(w, row.target);
             auto* edit = widget ? qobject_cast<QLineEdit*>(clickTarget(widget)) : nullptr;
             if (!edit) return fail(row, "no field " + row.target);
             typeInto(widget, QString::fromStdString(row.argument));
         }},
        // A slider moved: a page to the left or right ("page-", "page+"), or its thumb dragged
        // to a position and let go ("drag,n").
        {"slider",
         [](World& w, const Row& row) {
             QSlider* slider = control<QSlider>(w, row.target);
             if (!slider) return fail(row, "no slider " + row.target);
             const std::vector<std::string> arg = split(row.argument, ',');
             if (arg[0] == "page+") slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
             if (arg[0] == "page-") slider->triggerAction(QAbstractSlider::SliderPageStepSub);
             if (arg[0] == "drag") {
                 slider->setSliderDown(true);
                 slider->triggerAction(QAbstractSlider::SliderMove);
                 slider->setSliderPosition(std::stoi(arg.at(1)));
                 slider->setSliderDown(false);
             }
         }},
        // A row of a list double-clicked: the category list's or a class dialog's.
        {"rowdblclick",
         [](World& w, const Row& row) {
             auto* list = qobject_cast<QTreeWidget*>(namedWidget(w, row.target));
             const int index = std::stoi(row.argument);
             if (!list || !list->topLevelItem(index))
                 return fail(row, "no row " + row.argument + " of " + row.target);
             // The first click of the two takes the focus into the list, as a user's does.
             list->scrollToItem(list->topLevelItem(index));
             doubleClick(list->viewport(),
                         list->visualItemRect(list->topLevelItem(index)).center());
         }},
        // A row of a class dialog's list selected alone, as a click does.
        {"pick",
         [](World& w, const Row& row) {
             auto* list = qobject_cast<QTreeWidget*>(namedWidget(w, row.target));
             const int index = std::stoi(row.argument);
             if (!list || !list->topLevelItem(index))
                 return fail(row, "no row " + row.argument + " of " + row.target);
             activate(list);
             list->scrollToItem(list->topLevelItem(index));  // as the user scrolls to it
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                               list->visualItemRect(list->topLevelItem(index)).center());
         }},
        // The category list's menu on a row, the entry chosen by its caption.
        {"categmenu",
         [](World& w, const Row& row) {
             COlapListView& list = *w.olap().frame()->list();
             const std::map<std::string, std::int32_t> ids = {
                 {"定義を表示", COlapListView::kShowDefinition},
                 {"削除", COlapListView::kDelete},
                 {"定義のｲﾝﾎﾟｰﾄ", COlapListView::kImport},
                 {"定義のｴｸｽﾎﾟｰﾄ", COlapListView::kExport}};
             const int index = std::stoi(row.target);
             QTreeWidgetItem* item = list.topLevelItem(index);
             if (!item || !ids.contains(row.argument)) return fail(row, "no row or entry");
             bool shown = false;
             list.SetMenuChooser([&](const QPoint&) {
                 shown = true;
                 return ids.at(row.argument);
             });
             // The right button on a row not yet selected selects it; on a selected one it
             // opens the menu.
             const QPoint at = list.visualItemRect(item).center();
             QTest::mousePress(list.viewport(), Qt::RightButton, {}, at);
             if (!shown) QTest::mousePress(list.viewport(), Qt::RightButton, {}, at);
             list.SetMenuChooser(nullptr);
             if (!shown) fail(row, "no menu");
         }},
        // A cell of the aggregation grid clicked or double-clicked: "click,row,column" or
        // "double,row,column".
        {"molapcell",
         [](World& w, const Row& row) {
             if (!w.molap()) return fail(row, "no aggregation window");
             ui::FixedGrid* grid = w.molap()->grid();
             const std::vector<std::string> arg = split(row.argument, ',');
             const QRect cell =
                 grid->visualRect(grid->model()->index(std::stoi(arg.at(1)), std::stoi(arg.at(2))));
             if (arg[0] == "double")
                 doubleClick(grid->viewport(), cell.center());
             else
                 QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
         }},
        // A row of a list clicked: the data-selection tab's conditions.
        {"select",
         [](World& w, const Row& row) {
             w.console().ActivatePage(ConsolePage::DataSelection);
             QCoreApplication::processEvents();
             QTreeWidget* list = w.dataSel().conditionList();
             QTreeWidgetItem* item = list->topLevelItem(std::stoi(row.argument));
             if (!item) return fail(row, "no row " + row.argument);
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                               list->visualItemRect(item).center());
         }},
        // A set's caption edited in place and ended with Enter.
        {"rename",
         [](World& w, const Row& row) {
             QTreeWidgetItem* item = shownSet(w, std::stoi(row.target));
             if (!item) return fail(row, "no set " + row.target);
             CDataSelTreeView* tree = w.dataSel().setTree();
             w.console().activateWindow();
             tree->editItem(item);
             auto* editor = tree->findChild<QLineEdit*>();
             if (!editor) return fail(row, "no editor");
             editor->setText(QString::fromStdString(row.argument));
             QTest::keyClick(editor, Qt::Key_Return);
             QCoreApplication::processEvents();
         }},
    };
    return kinds;
}

void queueAnswers(World& w, const std::string& answers) {
    if (answers.empty() || answers == "-") return;
    for (const std::string& answer : split(answers, ';')) {
        if (answer == "yes") w.h.prompts().answer(ui::Answer::Yes);
        if (answer == "ok") w.h.prompts().answer(ui::Answer::Ok);
        if (answer.starts_with("save:"))
            w.h.prompts().chooseSave(ui::SaveChoice{
                QString::fromStdString(replaceAll(answer.substr(5), "<out>", w.out.path())), 0});
        if (answer == "graph" && !w.graph) {
            w.graph = std::make_unique<WorkbookGraph>();
            windows::setGraphOutput(w.graph.get());
        }
        if (answer.starts_with("files:"))
            w.h.prompts().chooseFiles(QStringList{
                QString::fromStdString(replaceAll(answer.substr(6), "<out>", w.out.path()))});
        if (answer.starts_with("password:")) w.h.answerDialogs({answer.substr(9)});
        if (answer.starts_with("percent:")) {
            const QString value = QString::fromStdString(answer.substr(8));
            // Typed into the dialog's field and confirmed with its OK, inside its own loop.
            w.modal = std::make_unique<ui::ScopedModalHook>([value](QDialog& dialog) {
                answerModal<windows::CPercentRankDlg>([value](windows::CPercentRankDlg& rank) {
                    typeInto(rank.percentEdit(), value);
                    press(buttonOf(rank, QStringLiteral("OK")));
                });
                return dialog.exec();
            });
        }
        if (answer.starts_with("open:"))
            w.h.prompts().choose(
                QString::fromStdString(replaceAll(answer.substr(5), "<out>", w.out.path())));
    }
}

// Opens what a section's rows act on; false when it could not.
bool prepare(World& w, const std::string& section) {
    w.section = section;
    if (section == "console") return true;
    if (section == "grid") {
        std::ofstream(w.h.file("report.xls")) << "report";
        w.h.app().SetPrintMenu({{5, cp932::literal("月報"), w.h.file("report.xls")}});
        w.frame.BuildPrintMenu();
        w.showData();
        if (!w.dataView()) return false;
        // Fewer rows and columns than the records and items, so that the bars scroll.
        auto* sub = qobject_cast<QMdiSubWindow*>(w.dataView()->parentWidget());
        if (!sub) return false;
        sub->showNormal();
        sub->resize(360, 160);
        QCoreApplication::processEvents();
        return true;
    }
    if (section.starts_with("item:")) {
        w.showData();
        w.item = std::stoi(section.substr(5));
        CKWView* view = w.dataView();
        if (!view) return false;
        for (std::int32_t c = 0; c < view->model().GetColumnCount(); ++c)
            if (view->model().GetColumnItem(c) == w.item) view->model().DispItemDlg(c);
        w.section = "item";
        if (!w.itemSheet()) return false;
        w.itemSheet()->resize(360, 260);
        QCoreApplication::processEvents();
        return true;
    }
    if (section == "excel") {
        // As a start-up on a data file leaves it, with a workbook of two sheets of records to
        // add, headed as the data set's items.
        CKWApp& app = w.h.app();
        app.SetTempAddFile(w.h.file("temp/harness_a.zbq"));
        app.SetTempMergeFile(w.h.file("temp/harness_m.zbq"));
        app.SetLoadMode(2);
        app.SetDataFilePath(app.GetTempDataFile());
        app.ShowItemSelControl2();
        lxw_workbook* book = workbook_new(w.out.file("add.xlsx").c_str());
        int number = 1;
        for (const char* name : {"S1", "S2"}) {
            lxw_worksheet* sheet = workbook_add_worksheet(book, name);
            const char* header[] = {"番号", "金額", "日付", "名前"};
            for (lxw_col_t c = 0; c < 4; ++c)
                worksheet_write_string(sheet, 0, c, header[c], nullptr);
            for (lxw_row_t r = 1; r <= 2; ++r, ++number) {
                worksheet_write_number(sheet, r, 0, number, nullptr);
                worksheet_write_number(sheet, r, 1, number + 0.5, nullptr);
                worksheet_write_string(sheet, r, 2, "2024/1/5", nullptr);
                worksheet_write_string(sheet, r, 3, name, nullptr);
            }
        }
        return workbook_close(book) == LXW_NO_ERROR;
    }
    if (section == "macro") {
        // A macro to run from the macro menu while recording.
        w.real = std::make_unique<CMacro>(w.h.app());
        w.screen = std::make_unique<MacroDialogs>(*w.real);
        w.real->SetScreen(w.screen.get());
        w.frame.setMacroCommandHandler([&w](std::int32_t c) { w.real->OnMacroCommand(c); });
        w.real->AddMacro("tabs", "", {"OpenSystemTab"});
        w.real->StartRecording();
        return true;
    }
    if (section == "molap") {
        // 性別 across, 年齢 down, the sum of 満足度, totals on both axes, two places.
        MolapSettings& settings = w.console().MolapPage()->settings();
        settings.SetXItems({1}, {0});
        settings.SetYItems({2}, {0});
        settings.SetSumItems({4}, {3}, {0});
        settings.SetXTotalMode(1);
        settings.SetYTotalMode(1);
        settings.SetDecimalPlaces(2);
        w.console().MolapPage()->sync();
        w.console().ActivatePage(ConsolePage::Molap);
        QCoreApplication::processEvents();
        return true;
    }
    if (section == "syslist") {
        // The original-data and cross-tab windows in the system tab's list.
        w.showData();
        emit w.olap().itemCombo(COlapPage::Axis::X)->activated(1);
        emit w.olap().itemCombo(COlapPage::Axis::Y)->activated(3);
        w.olap().displayButton()->click();
        w.console().ActivatePage(ConsolePage::System);
        QCoreApplication::processEvents();
        return w.dataView() && w.cross();
    }
    if (section == "olap") {
        // The page has no tab; shown over the console, its controls take the user's gestures.
        w.olap().resize(w.console().size());
        w.olap().show();
        w.olap().raise();
        QCoreApplication::processEvents();
        return true;
    }
    if (section == "cross") {
        // 性別 across, 趣味 down, counted.
        COlapPage& page = w.olap();
        emit page.itemCombo(COlapPage::Axis::X)->activated(1);
        emit page.itemCombo(COlapPage::Axis::Y)->activated(3);
        page.displayButton()->click();
        QCoreApplication::processEvents();
        if (!w.cross()) return false;
        w.cross()->resize(300, 150);
        QCoreApplication::processEvents();
        return true;
    }
    return false;
}

// The steps recorded since the last check against a row's, then forgotten.
void check(World& w, const Row& row, std::set<std::string>& covered) {
    std::vector<std::string> recorded;
    for (const std::string& step : takeSteps(w)) {
        w.played.push_back(step);
        recorded.push_back(cp932::toUtf8(step));
    }
    std::vector<std::string> expected;
    for (const std::string& step : row.steps)
        expected.push_back(replaceAll(replaceAll(step, "<out>", w.out.path()), "\\t", "\t"));
    const std::vector<std::string> messages = w.h.prompts().messageTexts();
    EXPECT_EQ(recorded, expected) << "gestures.tsv:" << row.line << " " << row.command
                                  << (messages.empty() ? "" : ", the last message: ")
                                  << (messages.empty() ? "" : messages.back());
    if (row.command != "-") {
        EXPECT_TRUE(
            std::any_of(expected.begin(), expected.end(),
                        [&](const std::string& step) { return commandOf(step) == row.command; }))
            << "gestures.tsv:" << row.line << ": no step of " << row.command;
    }
    for (const std::string& step : recorded)
        covered.insert(commandOf(step));
}

// Lets the events of a gesture run out, and an aggregation build end.
void settle(World& w) {
    QCoreApplication::processEvents();
    for (int i = 0; i < 500 && w.molap() && w.molap()->busy(); ++i)
        QTest::qWait(10);
    QCoreApplication::processEvents();
}

// How deep in dialogs a row acts: one "dlg:" before its target for each dialog.
int dialogDepth(const Row& row) {
    int depth = 0;
    for (std::string_view t = row.target; t.starts_with("dlg:"); t.remove_prefix(4))
        ++depth;
    return depth;
}

// Plays the row at `next` and moves past it. A row whose answers say "dialog" opens a modal
// dialog: its own steps are checked as the dialog comes up, and the rows after it whose target
// begins "dlg:" are played inside the dialog, which the last of them closes.
void playRow(World& w, const std::vector<Row>& rows, std::size_t& next,
             std::set<std::string>& covered) {
    const Row& row = rows[next++];
    const auto kind = gestures().find(row.gesture);
    if (kind == gestures().end()) return fail(row, "no gesture " + row.gesture);
    Row acted = row;
    while (acted.target.starts_with("dlg:"))
        acted.target = acted.target.substr(4);
    if (row.answers.find("dialog") == std::string::npos) {
        w.modal.reset();
        queueAnswers(w, row.answers);
        kind->second(w, acted);
        settle(w);
        return check(w, row, covered);
    }
    queueAnswers(w, row.answers);
    // The row's steps before a cell "..." come as its dialog opens, the rest once it has
    // closed; "dialog after": all of them once it has closed.
    Row before = row, late = row;
    before.steps.clear();
    late.steps.clear();
    bool closing = row.answers.find("after") != std::string::npos;
    for (const std::string& step : row.steps) {
        if (step == "...") {
            closing = true;
            continue;
        }
        (closing ? late : before).steps.push_back(step);
    }
    if (before.steps.empty()) before.command = "-";
    late.command = "-";
    // The dialog runs its own modal loop; the rows inside it play from a timer in that loop, and
    // the last of them closes it.
    bool opened = false;
    ui::ScopedModalHook hook([&](QDialog& dialog) {
        opened = true;
        QPointer<QDialog> guarded(&dialog);
        QTimer::singleShot(0, [&, guarded] {
            if (!guarded) return fail(row, "the dialog went before its rows");
            QDialog* outer = w.dialog;
            w.dialog = guarded;
            ++w.depth;
            activate(guarded);
            QCoreApplication::processEvents();
            check(w, before, covered);
            while (next < rows.size() && dialogDepth(rows[next]) >= w.depth)
                playRow(w, rows, next, covered);
            --w.depth;
            w.dialog = outer;
            if (guarded && guarded->isVisible()) {
                fail(row, "the dialog's rows left it open");
                guarded->reject();
            }
        });
        return dialog.exec();
    });
    kind->second(w, acted);
    settle(w);
    if (!opened) return fail(row, "no dialog came");
    check(w, late, covered);
}

// What the program holds after a row: its state as the harness writes it, the clipboard's text
// and every file in the test's own folder, that folder written "<out>". The macro object is the
// recording port in one program and the player in the other: its lines are left out, and so are
// the captions the state quotes as shown, which follow the language in force.
std::string observed(World& w) {
    std::string seen;
    std::istringstream state(withoutShownCaptions(w.h.snapshot()));
    for (std::string line; std::getline(state, line);)
        if (!line.starts_with("macro ")) seen += line + "\n";
    if (const auto text = w.clipboard.text()) seen += "clipboard: " + cp932::toUtf8(*text) + "\n";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(w.out.path()))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        seen += "file " + file.filename().string() + ": " +
                std::string(std::istreambuf_iterator<char>(in), {}) + "\n";
    }
    return replaceAll(seen, w.out.path(), "<out>");
}

// A section as it was played: every step recorded, and for each top-level row the number of
// steps recorded up to its end and what it left; the test's own folder.
struct Played {
    int line = 0;
    std::size_t steps = 0;
    std::string seen;
};
struct SectionRun {
    std::vector<std::string> steps;
    std::vector<Played> rows;
    std::string out;
};

// The section's rows, one after the other, each checked against the steps it recorded; with a
// `run`, what each top-level row left.
void playSection(const Section& section, std::set<std::string>& covered,
                 SectionRun* run = nullptr) {
    SCOPED_TRACE("section " + section.name + (section.english ? " under English" : ""));
    std::optional<InLanguage> english;
    if (section.english) {
        english.emplace("en_US");
        ASSERT_NE(english->translator(), nullptr)
            << "the English translation is not in the program";
    }
    World w;
    if (section.name == "excel") {
        // Items of the types a workbook can add to: number, amount, date, name.
        ASSERT_TRUE(
            w.start("Title = \"売上\"\nitem = \"番号\"\n Integer\nEndItem\n"
                    "item = \"金額\"\n Float\nEndItem\nitem = \"日付\"\n Date\n"
                    "EndItem\nitem = \"名前\"\n String\nEndItem\nEndTitle\n",
                    "n\ta\td\tm\n0\t0.5\t2024/1/1\tz\n"));
    } else {
        ASSERT_TRUE(w.start());
    }
    ASSERT_TRUE(prepare(w, section.name)) << section.name;
    w.macro.steps.clear();
    for (std::size_t next = 0; next < section.rows.size();) {
        const int line = section.rows[next].line;
        playRow(w, section.rows, next, covered);
        if (run) run->rows.push_back({line, w.played.size(), observed(w)});
    }
    if (run) {
        run->steps = w.played;
        run->out = w.out.path();
    }
    // Every question was answered as the table says, and every answer was asked for.
    std::string shown;
    for (const std::string& text : w.h.prompts().messageTexts())
        shown += "\n  " + text;
    EXPECT_EQ(w.h.prompts().unanswered(), 0) << section.name << ": the messages shown:" << shown;
    EXPECT_EQ(w.h.prompts().pending(), 0u) << section.name;
}

// Whether the program offers the control of a row's button or window menu as it stands.
bool offers(World& w, const Row& row) {
    const std::string target = row.target.substr(row.target.rfind("dlg:") == 0 ? 4 : 0);
    if (row.gesture == "button") return control<QAbstractButton>(w, target) != nullptr;
    const std::vector<std::string> parts = split(target, ':');
    std::unique_ptr<QMenu> menu;
    if (parts[0] == "molap" && w.molap()) menu.reset(w.molap()->contextMenu());
    if (parts[0] == "grid" && gridOf(w).menu) menu = gridOf(w).menu(GridRole::List, -1);
    return menu && menuEntry(menu.get(), row.argument);
}

// The steps a section recorded under English, played in a fresh program with the Japanese in
// force, which does not offer the English layout's controls: after each row's steps the program
// holds what the English program held after the row.
void replayInJapanese(const Section& section, const SectionRun& english) {
    SCOPED_TRACE("section " + section.name + " played back under Japanese");
    ASSERT_FALSE(ui::englishShown());
    World w;
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(prepare(w, section.name)) << section.name;
    CMacro player(w.h.app());
    CMacro::PlayingScope playing(player);
    const std::map<std::string, Recorded> commands = commandsRecorded();
    std::size_t done = 0;
    for (const Played& row : english.rows) {
        for (; done < row.steps; ++done) {
            const std::string step = replaceAll(english.steps[done], english.out, w.out.path());
            for (const Row& gesture : section.rows) {
                if (gesture.command == commandOf(step) &&
                    commands.at(gesture.command) == Recorded::InEnglish) {
                    EXPECT_FALSE(offers(w, gesture))
                        << "gestures.tsv:" << gesture.line << ": offered under Japanese";
                }
            }
            EXPECT_EQ(player.ExecuteStep(step), 1) << cp932::toUtf8(step);
            settle(w);
        }
        const std::string seen = observed(w);
        if (seen == row.seen) continue;
        // The lines that differ, not the whole of two long texts.
        std::istringstream here(seen), there(row.seen);
        std::string a, b, differ;
        for (;;) {
            const bool more = static_cast<bool>(std::getline(here, a));
            if (!std::getline(there, b) && !more) break;
            if (a != b) differ += "\n  played: " + a + "\n  English: " + b;
            a.clear();
            b.clear();
        }
        ADD_FAILURE() << "after the steps of gestures.tsv:" << row.line << differ;
    }
    EXPECT_TRUE(w.h.prompts().messageTexts().empty()) << w.h.prompts().messageTexts().front();
}

TEST(Gestures, EachRecordsItsStepsAndTogetherEveryRecordedCommand) {
    const std::vector<Section> sections = gestureTable();
    ASSERT_FALSE(sections.empty());
    std::set<std::string> covered;
    // ZBQ_GESTURES_SECTION=name plays that section alone, to look into one window's gestures.
    if (const char* only = std::getenv("ZBQ_GESTURES_SECTION")) {
        for (const Section& section : sections)
            if (section.name == only) playSection(section, covered);
        return;
    }
    std::set<std::string> inJapanese;
    for (const Section& section : sections)
        playSection(section, section.english ? covered : inJapanese);
    covered.insert(inJapanese.begin(), inJapanese.end());

    const std::map<std::string, Recorded> commands = commandsRecorded();
    ASSERT_EQ(commands.size(), 248u);
    std::vector<std::string> unrecorded, golden;
    for (const auto& [name, recorded] : commands) {
        if (!covered.contains(name)) unrecorded.push_back(name);
        if (recorded == Recorded::No) golden.push_back(name);
        // The Japanese layout has no control that records it.
        if (recorded == Recorded::InEnglish) {
            EXPECT_FALSE(inJapanese.contains(name)) << name << " recorded under Japanese";
        }
    }
    EXPECT_EQ(unrecorded, golden);
    for (const std::string& name : covered)
        EXPECT_TRUE(commands.contains(name)) << "recorded a step of no command: " << name;
}

// What the English layout's controls record plays back under Japanese to the same state,
// clipboard text and files.
TEST(Gestures, UnderEnglishPlayBackUnderJapaneseToTheSameStateAndFiles) {
    int english = 0;
    for (const Section& section : gestureTable()) {
        if (!section.english) continue;
        ++english;
        std::set<std::string> covered;
        SectionRun run;
        playSection(section, covered, &run);
        ASSERT_FALSE(run.steps.empty()) << section.name;
        replayInJapanese(section, run);
    }
    EXPECT_GE(english, 3);
}

}  // namespace
}  // namespace zbq::test
