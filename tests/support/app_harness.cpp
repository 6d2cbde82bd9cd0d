#include "tests/support/app_harness.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/excel_read_dlg.h"
#include "app/excel_read_start.h"
#include "app/login_dlg.h"
#include "app/main_frame.h"
#include "app/password_dlg.h"
#include "app/text_read_dlg.h"
#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/category_list_view.h"
#include "console/class_dialogs.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/item_sel_page.h"
#include "console/log_page.h"
#include "console/olap_page.h"
#include "console/sys_page.h"
#include "graphctl/registration.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/core/registry_file.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/spreadsheet_probe.h"
#include "tests/support/data_sel_snapshot.h"
#include "tests/support/molap_page_snapshot.h"
#include "tests/support/molap_snapshot.h"
#include "tests/support/real_input.h"
#include "windows/cross_frame.h"
#include "windows/item_sheet.h"
#include "windows/kw_view.h"

namespace zbq::test {
namespace {

// The fixture as UTF-8; written as CP932. Groups nest two deep; every type once; codes named.
constexpr const char* kDefinition =
    "// ゼブラ調査: the harness's data set\n"
    "Title = \"ゼブラ 調査\"\n"
    "Group = \"基本情報\"\n"
    "  item = \"回答者ID\"\n"
    "    String\n"
    "  EndItem\n"
    "  Group = \"属性\"\n"
    "    item = \"性別\"\n"
    "      Code\n"
    "      Def\n"
    "        1 = \"男性\"\n"
    "        2 = \"女性\"\n"
    "      EndDef\n"
    "    EndItem\n"
    "    item = \"年齢\"\n"
    "      Integer\n"
    "    EndItem\n"
    "  EndGroup\n"
    "EndGroup\n"
    "item = \"趣味\"   // several answers\n"
    "  MultiAns\n"
    "  Def\n"
    "    1 = \"読書\"\n"
    "    2 = \"旅行\"\n"
    "    3 = \"料理\"\n"
    "  EndDef\n"
    "EndItem\n"
    "item = \"満足度\"\n"
    "  Float\n"
    "EndItem\n"
    "item = \"回答日\"\n"
    "  Date\n"
    "EndItem\n"
    "item = \"回答時刻\"\n"
    "  Time\n"
    "EndItem\n"
    "EndTitle\n";

// Header line, then twelve records: blanks (empty fields) and errors (texts that break a type).
constexpr const char* kData =
    "ID\t性別\t年齢\t趣味\t満足度\t回答日\t回答時刻\n"
    "A001\t1\t34\t1,2\t3.5\t2024/04/01\t09:30:05\n"
    "A002\t2\t28\t3\t4.25\t2024/04/01\t10:00:00\n"
    "A003\t2\t\t\t2\t2024/04/02\t\n"
    "A004\t1\t51\t1,2,3\t5\t2024/04/03\t23:59:59\n"
    "A005\t9\t42\t2\t-1.5\t2024/13/01\t12:00:00\n"
    "A006\t\tabc\t1\t\t\t08:15:00\n"
    "A007\t1\t19\t2,4\t4\t2024/05/10\t25:00:00\n"
    "A008\t2\t66\t1\t3\t2024/05/10\t14:45:30\n"
    "テスト\t1\t0\t3\tx\t2024/06/30\t00:00:00\n"
    "A010\t2\t34\t1,3\t4.5\t2023/12/31\t18:20:00\n"
    "\t1\t45\t2\t2.75\t2024/02/29\t07:07:07\n"
    "A012\t2\t-3\t1,2\t1\t2024/03/15\t16:00:00\n";

std::string hex(const KW_map& map) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(map.data());
    for (std::int32_t i = 0; i < map.byteLength(); ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string utf8(std::string_view cp932) {
    return cp932::toUtf8(cp932);
}

template <typename T>
std::string joined(const std::vector<T>& values) {
    std::ostringstream out;
    for (std::size_t i = 0; i < values.size(); ++i)
        out << (i ? " " : "") << values[i];
    return out.str();
}

std::string number(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// Timings differ from run to run: the figure before each "ﾐﾘ秒" becomes "#".
std::string maskTimings(std::string line) {
    static const std::string unit = "ﾐﾘ秒";
    for (std::size_t at = line.find(unit); at != std::string::npos;
         at = line.find(unit, at + unit.size())) {
        std::size_t end = at;
        while (end > 0 && line[end - 1] == ' ')
            --end;
        std::size_t begin = end;
        while (begin > 0 && (std::isdigit(static_cast<unsigned char>(line[begin - 1])) ||
                             line[begin - 1] == '.' || line[begin - 1] == '-'))
            --begin;
        if (begin == end) continue;
        line.replace(begin, end - begin, "#");
        at -= end - begin - 1;
    }
    return line;
}

// Two harnesses live in two folders: the program directory is written as "<program dir>".
std::string maskDir(std::string text, const std::string& dir) {
    if (dir.empty()) return text;
    for (std::size_t at = text.find(dir); at != std::string::npos; at = text.find(dir, at))
        text.replace(at, dir.size(), "<program dir>");
    return text;
}

const char* stateOf(const QWidget& window) {
    if (window.isMinimized()) return "minimized";
    if (window.isMaximized()) return "maximized";
    return window.isVisible() ? "normal" : "hidden";
}

// A log's CP932 text, "\r\n" a line, as indented UTF-8 lines, timings and folder masked.
void logLines(std::ostringstream& out, const char* name, const std::string& text,
              const std::string& dir) {
    out << name << ":\n";
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find("\r\n", from);
        if (end == std::string::npos) end = text.size();
        out << "  " << maskDir(maskTimings(utf8(text.substr(from, end - from))), dir) << "\n";
        from = end + 2;
    }
}

// The item-selection tab: the collapse flag, the tree's nodes with their levels, marks and
// expansion, then the display list's rows with their selection. The tree's selected node is left
// out: a right click selects one and no step records it.
void snapshotItemSelection(const CItemSelPage& page, std::ostringstream& out) {
    const ItemTree& tree = page.tree();
    out << "item tree: collapse allowed " << tree.collapseAllowed() << "\n";
    static const char* const kinds[] = {"root", "group", "item"};
    for (const ItemNode& node : tree.nodes()) {
        out << "  " << std::string(static_cast<std::size_t>(node.level) * 2, ' ') << "\""
            << utf8(node.text) << "\" " << kinds[static_cast<int>(node.kind)];
        if (node.kind == ItemNodeKind::Item)
            out << " " << node.itemNo << (node.marked ? " marked" : "");
        else
            out << (node.expanded ? " open" : " closed");
        out << "\n";
    }
    const DisplayList& list = page.list();
    for (int row = 0; row < list.size(); ++row)
        out << "display row " << row << ": item " << list.row(row).itemNo << " \""
            << utf8(list.row(row).name) << "\" \"" << utf8(list.row(row).typeCaption) << "\""
            << (list.row(row).selected ? " selected" : "") << "\n";
}

// The original-data window: its columns, rows, selection, scroll position and the texts of its
// first and last rows.
void snapshotDataView(std::ostringstream& out, windows::CKWView& view) {
    windows::DataGridModel& model = view.model();
    const windows::GridController& g = model.geometry();
    for (std::int32_t c = 0; c < model.GetColumnCount(); ++c)
        out << "grid column " << c << ": \"" << utf8(model.GetColumnName(c)) << "\" type "
            << model.GetColumnType(c) << " comma " << model.GetDispComma(c) << " places "
            << model.GetDecimalDigit(c) << " code " << model.GetDispCode(c) << " width "
            << g.columnWidth(c) << "\n";
    const auto [ac, ar] = model.GetSelStart();
    const auto [ec, er] = model.GetSelEnd();
    out << "grid rows " << model.GetRowCount() << " selection " << ac << "," << ar << " " << ec
        << "," << er << " top " << g.topRow() << " x " << g.xOffset() << "\n";
    for (std::int32_t row : {0, model.GetRowCount() - 1}) {
        if (row < 0) continue;
        out << "grid row " << row << ":";
        for (std::int32_t c = 0; c < model.GetColumnCount(); ++c) {
            std::string text;
            model.GetCellText(row, c, &text);
            out << " \"" << utf8(text) << "\"";
        }
        out << "\n";
    }
}

// The cross-tab window: caption, state, corner, headers, every cell with its alignment, the
// selection, sort, decimals, error/blank flag, widths and top row.
void snapshotCrossWindow(std::ostringstream& out, windows::CCrossFrm& frame) {
    windows::CrossTabModel& model = frame.model();
    const windows::GridController& g = model.geometry();
    out << "cross window: \"" << frame.windowTitle().toStdString() << "\" " << stateOf(frame)
        << " corner \"" << utf8(model.GetCornerText()) << "\"\n";
    for (std::int32_t c = 0; c < model.GetColumnCount(); ++c)
        out << "cross column " << c << ": \"" << utf8(model.GetColumnHeaderText(c)) << "\" width "
            << g.columnWidth(c) << "\n";
    for (std::int32_t r = 0; r < model.GetRowCount(); ++r) {
        out << "cross row " << r << " \"" << utf8(model.GetRowHeaderText(r)) << "\":";
        for (std::int32_t c = 0; c < model.GetColumnCount(); ++c) {
            const std::string text = model.GetCellText(r, c);
            out << " \"" << utf8(text) << "\"/" << model.GetCellAlignment(text);
        }
        out << "\n";
    }
    const auto [ac, ar] = model.GetSelStart();
    const auto [ec, er] = model.GetSelEnd();
    out << "cross selection " << ac << "," << ar << " " << ec << "," << er << " sort "
        << model.sortColumn() << (model.sortDescending() ? " descending" : " ascending")
        << " places " << model.decimals() << " error/blank " << model.errorBlank() << " top "
        << g.topRow() << "\n";
}

// The macro object: flags, the indicator, the macros and the dialog open now.
void snapshotMacro(const CMacro& macro, std::ostringstream& out) {
    out << "macro object: recording " << macro.isRecording() << " playing " << macro.isPlaying()
        << " indicator " << (macro.HasIndicator() ? (macro.isVariable() ? "可変" : "固定") : "none")
        << "\n";
    for (const MacroRecord& m : macro.Macros()) {
        std::string explanation = utf8(m.explanation);
        for (std::size_t at = explanation.find("\r\n"); at != std::string::npos;
             at = explanation.find("\r\n", at + 4))
            explanation.replace(at, 2, "\\r\\n");
        out << "macro \"" << utf8(m.name) << "\" explanation \"" << explanation << "\"\n";
        for (const std::string& step : m.steps)
            out << "  step " << utf8(step) << "\n";
    }
    out << "macro dialog: \"" << macro.Screen().openDialog() << "\"\n";
}

// The cross-tab axis page: each list's selection and size, the checks, levels, kind and
// percentage; then the class dialogs a macro holds open, with their fields and rows.
void snapshotOlap(const CKWApp& app, const COlapPage& page, std::ostringstream& out) {
    using Axis = OlapAxisSettings::Axis;
    const OlapAxisSettings& s = page.settings();
    auto combo = [](const OlapAxisSettings::Combo& c) {
        const OlapAxisSettings::Entry* e = c.current();
        return std::to_string(c.selected) + "/" + std::to_string(c.count()) +
               (e ? " \"" + utf8(e->text) + "\"" : std::string());
    };
    for (Axis axis : {Axis::X, Axis::Y})
        out << "olap " << (axis == Axis::X ? "X" : "Y") << ": item " << combo(s.items(axis))
            << " category " << combo(s.categories(axis)) << " check " << s.checked(axis)
            << " level " << s.level(axis) << "\n";
    out << "olap Z: item " << combo(s.zItems()) << " kind " << s.kind() << " percent \""
        << utf8(s.percent()) << "\"" << (s.percentShown() ? " shown" : "") << "\n";
    if (auto* small = qobject_cast<const CMinorCategoryDlg*>(
            app.windows().playerDialog(PlayerDialog::SmallClass))) {
        const SmallClassEditor& e = small->editor();
        out << "small-class dialog: \"" << utf8(e.name()) << "\" op " << e.op() << " \""
            << utf8(e.term1()) << "\" \"" << utf8(e.term2()) << "\" row " << e.selectedRow()
            << "\n";
        for (const std::string& row : e.rowTexts())
            out << "  " << utf8(row) << "\n";
    }
    for (PlayerDialog which : {PlayerDialog::MiddleClass, PlayerDialog::LargeClass})
        if (auto* list = qobject_cast<const CCategoryListDlg*>(app.windows().playerDialog(which))) {
            const ClassListEditor& e = list->editor();
            out << "class list dialog " << static_cast<int>(e.level()) << ": \"" << utf8(e.name())
                << "\" member " << e.memberIndex() << " row " << e.selectedRow() << "\n";
            for (const ClassListEditor::Row& row : e.rows())
                out << "  " << utf8(row.text) << (row.known ? "" : " unknown") << "\n";
        }
}

// The OLAP page's category frame: the list's rows with their selection, then the editor's name
// field, type entry, the index it was loaded from and the class tree with its marks.
void snapshotCategories(const COlapFrm& frame, std::ostringstream& out) {
    const COlapListView& list = *frame.list();
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        const QTreeWidgetItem& item = *list.topLevelItem(row);
        out << "category row " << row << ":";
        for (int c = 0; c < list.columnCount(); ++c)
            out << " \"" << item.text(c).toStdString() << "\"";
        out << " icon " << item.data(0, Qt::UserRole).toInt()
            << (item.isSelected() ? " selected" : "") << "\n";
    }
    const COlapFormView& editor = *frame.editor();
    out << "category editor: \"" << editor.nameEdit()->text().toStdString() << "\" type \""
        << editor.typeList()->currentText().toStdString() << "\" index " << editor.model().index()
        << "\n";
    const QTreeWidget& tree = *editor.tree();
    for (int r = 0; r < tree.topLevelItemCount(); ++r) {
        const QTreeWidgetItem& root = *tree.topLevelItem(r);
        out << "  " << root.text(0).toStdString() << (root.isExpanded() ? " open" : " closed")
            << "\n";
        for (int c = 0; c < root.childCount(); ++c)
            out << "    " << root.child(c)->text(0).toStdString()
                << (root.child(c)->data(0, Qt::UserRole).toBool() ? " marked" : "") << "\n";
    }
}

// What the frame and console show, when the application has them.
void snapshotScreen(const CKWApp& app, std::ostringstream& out) {
    const QWidget* frame = qobject_cast<const CMainFrame*>(app.windows().mainWindow());
    const auto* console = qobject_cast<const CConsSheet*>(app.windows().console());
    if (!frame && !console) return;
    const std::string& dir = app.GetProgramDir();
    if (frame)
        out << "frame: \"" << maskDir(frame->windowTitle().toStdString(), dir) << "\" "
            << stateOf(*frame) << "\n";
    if (console) {
        out << "console: tab " << console->tabs()->currentIndex() << " " << stateOf(*console)
            << " status \"" << utf8(console->StatusText()) << "\"\n";
        const WindowList& rows = console->SysPage()->Windows();
        for (int row = 0; row < rows.rowCount(); ++row)
            out << "window row " << row << ": \"" << utf8(rows.row(row).title) << "\" \""
                << utf8(rows.row(row).kind) << "\" image " << rows.row(row).image
                << (rows.windowAt(row) ? " open" : " none") << "\n";
        snapshotItemSelection(*console->ItemSelPage(), out);
        snapshotOlap(app, *console->OlapPage(), out);
        snapshotCategories(*console->OlapFrame(), out);
        logLines(out, "reading log", console->LogPage()->ReadLogText(), dir);
        logLines(out, "operation log", console->LogPage()->OperationLogText(), dir);
        snapshotDataSel(*console->DataSelPage(), out);
        snapshotMolapPage(*console->MolapPage(), out);
    }
    // The clipboard is what the windows' copies leave.
    auto* view = qobject_cast<windows::CKWView*>(app.windows().dataView());
    if (view) snapshotDataView(out, *view);
    auto* cross = qobject_cast<windows::CCrossFrm*>(app.windows().crossWindow());
    if (cross) snapshotCrossWindow(out, *cross);
    if (view || cross)
        if (const auto text = ui::clipboard().text())
            out << "clipboard: \"" << utf8(*text) << "\"\n";
    if (const auto* import =
            qobject_cast<const CExcelReadDlg*>(app.windows().playerDialog(PlayerDialog::ExcelRead)))
        for (const std::string& line : import->model().describe())
            out << maskDir(line, dir) << "\n";
    for (std::int32_t item = 0; item < app.Search().KWgetItemCount(); ++item)
        if (const auto* sheet =
                dynamic_cast<const windows::CItemSheet*>(app.windows().itemWindow(item)))
            out << sheet->snapshot();
    snapshotMolapWindow(app.windows().molapWindow(), out);
    std::vector<std::string> temp;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir + "/temp", ec))
        temp.push_back(entry.path().filename().string());
    std::sort(temp.begin(), temp.end());
    out << "temp: [" << joined(temp) << "]\n";
}

}  // namespace

std::string AppHarness::fixtureDefinition() {
    return cp932::literal(kDefinition);
}
std::string AppHarness::fixtureData() {
    return cp932::literal(kData);
}

AppHarness::AppHarness() : app_(std::make_unique<CKWApp>()) {
    app_->SetProgramDir(dir_.path());
    app_->SetImportDialog(app::importDialogs(*app_));
    std::filesystem::create_directory(dir_.file("temp"));
}

AppHarness::~AppHarness() {
    // The test's ports may already be gone.
    app_->SetConsolePort(nullptr);
    app_->SetWindowPort(nullptr);
    app_->SetMacroPort(nullptr);
    exit();
    app_.reset();
    dialogHook_.reset();
    watcher_.reset();
    ui::setSpreadsheetProbeForTest(std::nullopt);
    for (const auto& [name, value] : savedEnvironment_) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
}

std::string AppHarness::writeFixture() {
    writeFile(dir_.file("fixture.def"), fixtureDefinition());
    writeFile(dir_.file("fixture.dat"), fixtureData());
    return dir_.file("fixture.def");
}

void AppHarness::prepareStart() {
    // The graph control as an installation leaves it: the library in the program directory and
    // its registration in a registry of the test's own.
    const auto setEnv = [this](const std::string& name, const std::string& value) {
        const bool known = std::any_of(savedEnvironment_.begin(), savedEnvironment_.end(),
                                       [&](const auto& saved) { return saved.first == name; });
        if (!known) {
            const char* previous = std::getenv(name.c_str());
            savedEnvironment_.emplace_back(
                name, previous ? std::optional<std::string>(previous) : std::nullopt);
        }
        ::setenv(name.c_str(), value.c_str(), 1);
    };
    setEnv("ZBQ_SYSTEM_LIBRARY_DIR", dir_.file("system-lib"));
    setEnv("ZBQ_REGISTRY_FILE", dir_.file("registry.ini"));
    std::filesystem::remove(dir_.file("Grafvik.ocx"));
    std::filesystem::remove(dir_.file("registry.ini"));
    if (graphControl_) {
        writeFile(dir_.file("Grafvik.ocx"), "");
        RegistryFile registry;
        grafvik::registerServer(registry, dir_.file("Grafvik.ocx"));
        if (!registry.save(dir_.file("registry.ini"))) ADD_FAILURE() << "registry not written";
    }
    ui::setSpreadsheetProbeForTest(spreadsheet_);

    if (inLoops_) {
        if (!watcher_) {
            watcher_ = std::make_unique<QObject>();
            watchModals();
        }
    } else if (!dialogHook_) {
        dialogHook_ = std::make_unique<ui::ScopedModalHook>(
            [this](QDialog& dialog) { return answer(dialog, false); });
    }
}

int AppHarness::answer(QDialog& dialog, bool inItsLoop) {
    QLineEdit* edit = nullptr;
    if (auto* login = dynamic_cast<CLoginDlg*>(&dialog)) {
        dialogsShown_.push_back("login " + login->fileName().toStdString());
        edit = login->passwordEdit();
    } else if (auto* password = dynamic_cast<CPasswordDlg*>(&dialog)) {
        dialogsShown_.push_back("password");
        edit = password->passwordEdit();
    } else if (dynamic_cast<CTextReadDlg*>(&dialog) || dynamic_cast<CExcelReadDlg*>(&dialog)) {
        dialogsShown_.push_back("import");
        if (importDriver_) return importDriver_(dialog);
        if (inItsLoop) QTest::keyClick(&dialog, Qt::Key_Escape);
        return int(QDialog::Rejected);
    } else if (otherDialogs_) {
        return otherDialogs_(dialog);
    } else {
        ADD_FAILURE() << "an unexpected dialog was run: " << dialog.windowTitle().toStdString();
        if (inItsLoop) dialog.reject();
        return int(QDialog::Rejected);
    }
    const bool cancel = answers_.empty() || !answers_.front();
    std::string text = cancel ? std::string() : *answers_.front();
    if (!answers_.empty()) answers_.pop_front();
    if (!inItsLoop) {
        if (cancel) return int(QDialog::Rejected);
        edit->setText(QString::fromStdString(text));
        return int(QDialog::Accepted);
    }
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    if (!buttons) {
        ADD_FAILURE() << "the password dialog has no buttons";
        dialog.reject();
        return int(QDialog::Rejected);
    }
    if (cancel) {
        press(buttons->button(QDialogButtonBox::Cancel));
    } else {
        typeInto(edit, QString::fromStdString(text));
        press(buttons->button(QDialogButtonBox::Ok));
    }
    return dialog.result();
}

// Looks every 10 ms for a modal dialog it has not answered yet. The next look is set before an
// answer runs, so that a dialog the answer opens is answered inside that answer's loop. A
// dialog still open after five minutes fails the test and is closed, so that nothing waits
// forever; the bound is wide, since a dialog stays open while the work it started runs (a macro
// played from the menu), which a sanitized build on a loaded machine makes slow.
void AppHarness::watchModals() {
    QTimer::singleShot(10, watcher_.get(), [this] {
        watchModals();
        const auto now = std::chrono::steady_clock::now();
        for (auto& [seen, since] : seenModals_)
            if (seen && seen->isVisible() && now - since > std::chrono::minutes(5)) {
                ADD_FAILURE() << "the dialog " << seen->windowTitle().toStdString()
                              << " was left open";
                since = now;
                seen->reject();
            }
        std::erase_if(seenModals_, [](const auto& seen) { return seen.first.isNull(); });
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        for (const auto& seen : seenModals_)
            if (seen.first == dialog) return;
        seenModals_.emplace_back(dialog, now);
        if (!activate(dialog)) return;
        answer(*dialog, true);
    });
}

void AppHarness::runDialogsInTheirLoops() {
    inLoops_ = true;
    dialogHook_.reset();
}

void AppHarness::answerDialogs(std::vector<std::optional<std::string>> answers) {
    answers_.assign(answers.begin(), answers.end());
}

bool AppHarness::start(const std::vector<std::string>& arguments) {
    prepareStart();
    started_ = true;
    if (app_->InitInstance(arguments)) return true;
    exit();
    return false;
}

bool AppHarness::restart(const std::vector<std::string>& arguments) {
    exit();
    abandon();
    return start(arguments);
}

void AppHarness::usePorts(ConsolePort* console, WindowPort* windows, MacroPort* macro) {
    console_ = console;
    windows_ = windows;
    macro_ = macro;
    app_->SetConsolePort(console);
    app_->SetWindowPort(windows);
    app_->SetMacroPort(macro);
}

void AppHarness::abandon() {
    started_ = false;
    app_.reset();
    app_ = std::make_unique<CKWApp>();
    app_->SetProgramDir(dir_.path());
    app_->SetImportDialog(app::importDialogs(*app_));
    usePorts(console_, windows_, macro_);
}

int AppHarness::exit() {
    if (!started_) return 0;
    started_ = false;
    return app_->ExitInstance();
}

std::vector<std::string> AppHarness::tempFiles() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.file("temp"), ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool AppHarness::load() {
    return load(fixtureDefinition(), fixtureData());
}

bool AppHarness::load(const std::string& definition, const std::string& data) {
    writeFile(dir_.file("fixture.def"), definition);
    writeFile(dir_.file("fixture.dat"), data);
    CKWApp& a = *app_;
    a.SetLoadMode(1);
    a.SetDefinitionPath(dir_.file("fixture.def"));
    a.SetTextDataPath(dir_.file("fixture.dat"));
    a.SetMacroFilePath(dir_.file("fixture.mcr"));
    a.SetTempDataFile(dir_.file("temp/harness_t.zbq"));
    if (!a.ReadDefinitionFile() || !a.ParseDefinitionFile()) {
        ADD_FAILURE() << "the fixture's definition was refused";
        return false;
    }

    // Build and open as start-up does for a definition file.
    const CStructDef& def = a.GetStructDef();
    KW_create& create = a.Creator();
    bool described = create.SetItemCount(def.itemCount) == 0;
    for (const CItemDef& item : def.items)
        described &= create.SetItem(item.itemNo, item.name, CKWApp::ItemTypeToKWType(item.type),
                                    item.csvColumn) == 0;
    for (const CCodeDef& list : def.codeLists) {
        described &=
            create.SetCodeCount(list.itemNo, static_cast<std::int32_t>(list.codes.size())) == 0;
        for (std::size_t j = 0; j < list.codes.size(); ++j)
            described &= create.SetCode(list.itemNo, static_cast<std::int32_t>(j),
                                        list.codes[j].code, list.codes[j].name) == 0;
    }
    create.SetTitle(def.title);
    create.SetOwner(&a);
    if (!described) {
        ADD_FAILURE() << "the builder refused the fixture's description";
        return false;
    }
    if (const int rc = create.KWcreate(a.GetTextDataPath(), a.GetTempDataFile(), def.separator,
                                       def.header != 0);
        rc < 0) {
        ADD_FAILURE() << "building the fixture failed: " << rc;
        return false;
    }
    // Opened as start-up opens it, the working file held from here on.
    if (a.OpenDataFile() != 1) {
        ADD_FAILURE() << "opening the fixture failed";
        return false;
    }

    a.RestoreDisplayList();
    if (!a.RestoreSets()) {
        ADD_FAILURE() << "restoring the sets failed";
        return false;
    }
    a.InitConditionItems();
    a.RestoreCategories();
    a.SetDataLoaded(1);
    return true;
}

std::string AppHarness::snapshot() const {
    return snapshotOf(*app_);
}

std::string snapshotOf(const CKWApp& app) {
    std::ostringstream out;
    const KW_search& search = app.Search();
    const CStructDef& def = app.GetStructDef();

    out << "load mode: " << app.GetLoadMode() << "\n";
    out << "data set: \"" << utf8(def.title) << "\" records " << search.KWgetRecordCount()
        << " items " << def.itemCount << " header " << def.header << " separator "
        << static_cast<int>(def.separator) << " alloc \"" << def.allocText << "\" ["
        << joined(def.alloc) << "]\n";
    for (const CItemDef& item : def.items) {
        out << "item " << item.itemNo << ": \"" << utf8(item.name) << "\" type " << item.type
            << " column " << item.csvColumn << " groups [";
        for (std::size_t g = 0; g < item.groups.size(); ++g)
            out << (g ? " / " : "") << utf8(item.groups[g]);
        out << "]";
        if (search.IsLoaded() && item.itemNo < search.KWgetItemCount())
            out << " values " << search.KWgetValueCount(item.itemNo) << " data "
                << search.KWgetItemDataCount(item.itemNo);
        out << "\n";
    }
    for (const CCodeDef& list : def.codeLists) {
        out << "codes of item " << list.itemNo << ":";
        for (const CCodeEntry& code : list.codes)
            out << " " << utf8(code.code) << "=" << utf8(code.name);
        out << "\n";
    }
    out << "definition lines: " << app.GetDefinitionText().size() << "\n";
    out << "display items: [" << joined(app.GetDisplayItems()) << "]\n";
    out << "grid items: [" << joined(app.GetGridItems()) << "]\n";

    out << "next set: " << app.GetNextSetNo() << "\n";
    for (const SetRecord& set : app.Sets()) {
        out << "set " << set.number << ": level " << set.level << " \"" << utf8(set.text1)
            << "\" \"" << utf8(set.text2) << "\" \"" << utf8(set.text3) << "\" records "
            << set.recordCount << " map ";
        if (set.map)
            out << set.mapLength << " bytes " << hex(*set.map);
        else
            out << "none (" << set.mapLength << ")";
        out << "\n";
    }
    const KW_mapPtr current = search.KWmapGet();
    out << "current map: " << (current ? hex(*current) : std::string("all records")) << " rows "
        << (search.IsLoaded() ? search.KWgetDataCount() : 0) << "\n";
    out << "restored set: " << app.GetRestoredSetNo() << "\n";

    out << "condition items: [" << joined(app.GetConditionItems()) << "]\n";
    for (const SearchCondition& c : app.GetSearchConditions())
        out << "condition: item " << c.item << " op " << c.op << " upper " << c.upperInclusive
            << " \"" << utf8(c.value1) << "\" \"" << utf8(c.value2) << "\" kind " << c.valueKind
            << "\n";

    std::vector<std::string> reserved;
    for (const std::string& word : app.GetReservedWords())
        reserved.push_back(utf8(word));
    out << "reserved words: [" << joined(reserved) << "]\n";
    for (const CategoryDefinition& c : app.GetCategoryList()) {
        out << "category \"" << utf8(c.name) << "\" type " << c.valueType << "\n";
        for (const SmallClassDefinition& s : c.smallClasses)
            out << "  small \"" << utf8(s.name) << "\" op " << s.op << " \"" << utf8(s.value1)
                << "\" \"" << utf8(s.value2) << "\"\n";
        for (const ClassGrouping& m : c.middleClasses)
            out << "  middle \"" << utf8(m.name) << "\" <- \"" << utf8(m.member) << "\"\n";
        for (const ClassGrouping& l : c.largeClasses)
            out << "  large \"" << utf8(l.name) << "\" <- \"" << utf8(l.member) << "\"\n";
    }

    const CrossSettings x = app.GetCrossSettings();
    out << "cross settings: " << x.xItem << " " << x.yItem << " " << x.zItem << " " << x.xCategory
        << " " << x.yCategory << " " << x.xCheck << " " << x.yCheck << " " << x.xLevel << " "
        << x.yLevel << " " << x.kind << " " << number(x.percentage) << "\n";

    out << "flags: loaded " << app.IsDataLoaded() << " adding " << app.IsAddingData() << " graph "
        << app.GetGraphOutput() << " save mode " << app.GetSaveMode() << " suppressed";
    for (Suppress s : {Suppress::CloseOne, Suppress::CloseAll, Suppress::ItemTree,
                       Suppress::SetTree, Suppress::Filter})
        out << " " << (app.IsSuppressed(s) ? 1 : 0);
    out << "\n";
    if (const auto* macro = dynamic_cast<const CMacro*>(&app.macro())) snapshotMacro(*macro, out);
    snapshotScreen(app, out);
    return out.str();
}

}  // namespace zbq::test
