// Random macro files against the whole program. ZBQ is wired as main() wires it (the macro
// object with its dialogs, the main frame with every window's factory) and started on the
// harness's fixture, whose macro file holds a macro of 1,000 random steps for a seed
// (tests/support/random_macro.h) beside a few small macros it calls. Every question, chooser,
// password and "???" is answered at random, reproducibly from the seed. The steps play one by one
// through the macro object's own dispatcher; a refused step ends its run and the next run starts
// from the step after it. After every step:
//  - no modal loop is left open;
//  - a refused step told the user why (an empty step and an unknown command are refused silently
//    by design);
//  - every open window agrees with the application and the engine: the original-data window's
//    rows and columns, the item-selection tab's display list, the data-selection tab's set tree,
//    and each set's record count against its map;
//  - a data file or macro file changed only through a step that saves, and then opens again
//    through the real readers;
//  - nothing appeared outside the test's folder: HOME, the XDG folders, TMPDIR and the working
//    directory point into it, /tmp gains none of the generator's names, and the source tree's
//    status is unchanged at the end.
// The sanitizers (the debug build) end the process on the first report.
//
// The 20 fixed seeds are 20 test cases; ZBQ_RANDOM_MACRO_SEED=N runs the case "Seed" on N alone
// (scripts/soak). A failure names the seed and the step: "seed N step K: <text>".
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
#define ZBQ_HAVE_SANITIZER_CALLBACK 1
#include <sanitizer/common_interface_defs.h>
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZBQ_HAVE_SANITIZER_CALLBACK 1
#include <sanitizer/common_interface_defs.h>
#endif
#endif

#include <array>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/item_sel_page.h"
#include "console/set_tree_view.h"
#include "engine/kw_map.h"
#include "engine/kw_search.h"
#include "macro/cmacro.h"
#include "macro/command_table.h"
#include "macro/macro_dialogs.h"
#include "macro/var_cond_dlg.h"
#include "platform/core/cp932.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/desktop_opener.h"
#include "platform/ui/prompts.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/app_harness.h"
#include "tests/support/random_macro.h"
#include "tests/support/temp_dir.h"
#include "windows/cross_frame.h"
#include "windows/every_window.h"
#include "windows/graph_host.h"
#include "windows/item_sheet.h"
#include "windows/kw_view.h"
#include "windows/molap_frame.h"

namespace zbq::test {
namespace {

namespace fs = std::filesystem;

constexpr int kSteps = 1000;

// The step being played, for the line a sanitizer's end of the program leaves behind.
std::uint64_t currentSeed = 0;
int currentStep = 0;
std::string currentText;

[[maybe_unused]] void tellStepAtDeath() {
    std::fprintf(stderr, "FAILED seed %llu step %d: %s: the sanitizer ended the program\n",
                 static_cast<unsigned long long>(currentSeed), currentStep,
                 cp932::toUtf8(currentText).c_str());
}
constexpr const char* kMacroName = "random";

// The environment pointed into the test's folder for the test's life, and the working directory.
class Confined {
public:
    explicit Confined(const std::string& folder) {
        previousDir_ = fs::current_path();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                 "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            const std::string dir = folder + "/env/" + name;
            fs::create_directories(dir);
            fs::permissions(dir, fs::perms::owner_all);
            ::setenv(name, dir.c_str(), 1);
        }
        fs::current_path(folder);
    }
    ~Confined() {
        fs::current_path(previousDir_);
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    fs::path previousDir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Records to add, as openpyxl writes a workbook of the fixture's items (two sheets), and two
// files named as workbooks that are none.
void writeWorkbooks(const std::string& folder) {
    const ProgramRun run = runPython({"-c", R"py(
import sys, datetime, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "追加"
ws.append(["ID", "性別", "年齢", "趣味", "満足度", "回答日", "回答時刻"])
ws.append(["B001", 1, 45, "1,3", 2.5, datetime.datetime(2024, 7, 1), datetime.time(9, 0, 0)])
ws.append(["B002", 2, None, "2", "#N/A", datetime.datetime(2024, 7, 2), None])
ws.append(["追加三", 9, -5, "", 4, None, datetime.time(23, 59, 59)])
other = wb.create_sheet("空")
other.append(["x"])
wb.save(sys.argv[1] + "/add.xlsx")
)py",
                                      folder});
    ASSERT_EQ(run.status, 0) << run.output;
    writeFile(folder + "/bad.xlsx", "PK\x03\x04 not a workbook");
    writeFile(folder + "/empty.xlsx", "");
}

// Paths the prompts may answer with: in the test's folder, or in folders that do not exist.
std::vector<QString> choicePaths(const std::string& folder) {
    std::vector<QString> paths;
    for (const char* name : {"/rnd0.csv", "/rnd1.txt", "/rnd2.ctg", "/rnd3.zbq", "/fixture.def",
                             "/no such folder/rnd.csv", "/add.xlsx", "/bad.xlsx", "/"})
        paths.push_back(QString::fromStdString(folder + name));
    paths.push_back(QString::fromUtf8((folder + "/出力.csv").c_str()));
    return paths;
}

// Every message box, chooser and beep, answered at random from the seed.
class RandomPrompts final : public ui::Prompts {
public:
    RandomPrompts(std::uint64_t seed, std::string folder)
        : rng_(seed ^ 0x5EED5EED5EEDull), paths_(choicePaths(folder)),
          previous_(ui::setPrompts(this)) {}
    ~RandomPrompts() override { ui::setPrompts(previous_); }

    ui::Answer message(QWidget*, const ui::Message& message) override {
        texts.push_back(message.text.toStdString());
        switch (message.buttons) {
            case ui::Buttons::Ok: return ui::Answer::Ok;
            case ui::Buttons::OkCancel:
                return rng_.percent(60) ? ui::Answer::Ok : ui::Answer::Cancel;
            case ui::Buttons::YesNo: return rng_.percent(60) ? ui::Answer::Yes : ui::Answer::No;
            case ui::Buttons::YesNoCancel: {
                const std::uint32_t roll = rng_.below(3);
                return roll == 0 ? ui::Answer::Yes : roll == 1 ? ui::Answer::No : ui::Answer::Cancel;
            }
        }
        return ui::Answer::Cancel;
    }
    std::optional<QString> choose(QWidget*, const ui::Chooser&) override {
        ++choosers;
        if (rng_.percent(20)) return std::nullopt;
        return rng_.pick(paths_);
    }
    std::optional<QStringList> chooseFiles(QWidget*, const ui::Chooser&) override {
        ++choosers;
        if (rng_.percent(20)) return std::nullopt;
        QStringList files{rng_.pick(paths_)};
        if (rng_.percent(30)) files.push_back(rng_.pick(paths_));
        return files;
    }
    std::optional<ui::SaveChoice> chooseSave(QWidget*, const ui::Chooser&) override {
        ++choosers;
        if (rng_.percent(20)) return std::nullopt;
        return ui::SaveChoice{rng_.pick(paths_), static_cast<int>(rng_.below(2))};
    }
    void beep() override { ++beeps; }

    MacroRng& rng() { return rng_; }

    std::vector<std::string> texts;
    int choosers = 0;
    int beeps = 0;

private:
    MacroRng rng_;
    std::vector<QString> paths_;
    ui::Prompts* previous_;
};

class ClipboardSink final : public ui::Clipboard {
public:
    ClipboardSink() : previous_(ui::setClipboard(this)) {}
    ~ClipboardSink() override { ui::setClipboard(previous_); }
    bool setText(std::string_view cp932) override {
        last_ = cp932;
        return true;
    }
    std::optional<std::string> text() const override { return last_; }

private:
    std::optional<std::string> last_;
    ui::Clipboard* previous_;
};

// Files are "opened with the desktop's program" by counting them.
class OpenerSink final : public ui::DesktopOpener {
public:
    OpenerSink() : previous_(ui::setOpener(this)) {}
    ~OpenerSink() override { ui::setOpener(previous_); }
    bool open(const QString&, std::function<void()>) override {
        ++opened;
        return true;
    }
    int opened = 0;

private:
    ui::DesktopOpener* previous_;
};

class GraphSink final : public windows::GraphOutput {
public:
    GraphSink() : previous_(windows::setGraphOutput(this)) {}
    ~GraphSink() override { windows::setGraphOutput(previous_); }
    void setFilePath(const std::string&) override {}
    void setData(const std::string&) override {}
    void closeXls(const std::string&) override {}
    void exNormal() override {}

private:
    windows::GraphOutput* previous_;
};

// ZBQ as main() wires it, on the harness's fixture.
struct Zbq {
    explicit Zbq(std::uint64_t seed, const std::string& folder)
        : seed(seed), folder(folder), frame(h.app(), windows::everyWindowFactory(h.app())) {
        h.app().SetClock([] {
            using namespace std::chrono;
            return system_clock::time_point(sys_days{year{2024} / 5 / 6} + hours{12});
        });
        macro.SetScreen(&screen);
        macro.SetParameterAsker(&asker);
        frame.setMacroCommandHandler([this](std::int32_t c) { macro.OnMacroCommand(c); });
        h.answerOtherDialogs([this](QDialog& dialog) { return answerDialog(dialog); });
    }
    ~Zbq() { h.exit(); }

    // The "???" question and every other dialog a step runs, answered at random.
    int answerDialog(QDialog& dialog) {
        ++dialogs;
        MacroRng& rng = prompts->rng();
        if (auto* ask = dynamic_cast<CVarCondDlg*>(&dialog)) {
            const std::uint32_t roll = rng.below(10);
            if (roll < 2) return int(QDialog::Rejected);
            if (ask->browseButton() && ask->browseButton()->isVisible() && roll < 7) {
                ask->browseButton()->click();
            } else {
                static const std::array<const char*, 10> values = {
                    "30", "-1", "2147483648", "abc", "1,2", "\"q\"", "性別", "", "100", "37.5"};
                ask->valueEdit()->setText(QString::fromUtf8(values[rng.below(values.size())]));
            }
            ask->okButton()->click();
            return ask->QDialog::result();
        }
        if (rng.percent(40)) return int(QDialog::Rejected);
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->isDefault() && button->isEnabled() && button->isVisible()) {
                button->click();
                return dialog.result();
            }
        return int(QDialog::Rejected);
    }

    CConsSheet* console() const { return qobject_cast<CConsSheet*>(frame.console()); }

    std::uint64_t seed;
    std::string folder;
    ClipboardSink clipboard;
    OpenerSink opener;
    GraphSink graphs;
    AppHarness h;
    CMacro macro{h.app()};
    MacroDialogs screen{macro};
    VarCondAsker asker{h.app()};
    CMainFrame frame;
    std::unique_ptr<RandomPrompts> prompts;
    int dialogs = 0;
};

// Content of every data and macro file under a folder, by path.
std::map<std::string, std::string> dataAndMacroFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string ext = it->path().extension().string();
        if (ext == ".zbq" || ext == ".mcr") files[it->path().string()] = readFile(it->path());
    }
    return files;
}

// Entries of /tmp named as the generator names its files.
std::set<std::string> strayInTmp() {
    std::set<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator("/tmp", ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("rnd") || name.find("出力") != std::string::npos) names.insert(name);
    }
    return names;
}

// The files of the source tree that git does not know: what a program writing beside its
// working directory would leave (edits to known files are the developer's).
std::string gitStatus() {
    const std::string command = std::string("git -C '") + ZBQ_SOURCE_DIR +
                                "' status --porcelain --untracked-files=all 2>/dev/null | grep '^[?][?]'";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// What a step's text is, for a failure message: printable, CP932 shown as UTF-8 where it is.
std::string shown(std::string_view step) {
    std::string text = cp932::toUtf8(step);
    if (text.size() > 200) text = text.substr(0, 200) + "...";
    return text;
}

class Player {
public:
    Player(std::uint64_t seed, const std::string& folder, Zbq& p) : seed_(seed), folder_(folder), p_(p) {}

    // The failures of one step, each as "seed N step K: <text>: <what>".
    void fail(int step, std::string_view text, const std::string& what) {
        std::ostringstream out;
        out << "seed " << seed_ << " step " << step << ": " << shown(text) << ": " << what;
        ADD_FAILURE() << out.str();
        if (!failed_) std::cout << "FAILED " << out.str() << "\n";
        failed_ = true;
    }
    bool failed() const { return failed_; }

    // The invariants after a step.
    void check(int step, const std::string& text, std::int32_t result, std::size_t messagesBefore,
               const std::map<std::string, std::string>& filesBefore) {
        QCoreApplication::processEvents();
        if (QWidget* modal = QApplication::activeModalWidget())
            fail(step, text, "a modal window is still open: " + modal->windowTitle().toStdString());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible() && d->isModal())
                fail(step, text, "a modal dialog is still shown: " + d->windowTitle().toStdString());

        if (result == 0 && refusedLoudly(text) && p_.prompts->texts.size() == messagesBefore)
            fail(step, text, "refused without a message");

        checkWindows(step, text);
        checkFiles(step, text, filesBefore);
        if (!strayInTmp().empty())
            fail(step, text, "a file appeared in /tmp: " + *strayInTmp().begin());
    }

private:
    // An empty step and an unknown command are refused silently by design.
    static bool refusedLoudly(const std::string& text) {
        StepFields fields;
        SplitStepText(text, ',', fields);
        return !fields.empty() && FindCommand(fields[0]) >= 0;
    }

    void checkWindows(int step, const std::string& text) {
        CKWApp& app = p_.h.app();
        const KW_search& engine = app.Search();
        for (const SetRecord& set : app.Sets())
            if (set.map && MapCount(set.map->data(), set.map->byteLength()) != set.recordCount)
                fail(step, text,
                     "set No." + std::to_string(set.number) + " counts " +
                         std::to_string(set.recordCount) + " records, its map " +
                         std::to_string(MapCount(set.map->data(), set.map->byteLength())));
        if (auto* view = qobject_cast<windows::CKWView*>(p_.frame.dataView())) {
            if (view->model().GetRowCount() != engine.KWgetDataCount())
                fail(step, text,
                     "the original-data window shows " + std::to_string(view->model().GetRowCount()) +
                         " rows, the engine has " + std::to_string(engine.KWgetDataCount()));
            if (view->model().GetColumnCount() != static_cast<int>(app.GetGridItems().size()))
                fail(step, text,
                     "the original-data window shows " +
                         std::to_string(view->model().GetColumnCount()) + " columns of " +
                         std::to_string(app.GetGridItems().size()) + " grid items");
        }
        if (CConsSheet* console = p_.console()) {
            if (CItemSelPage* page = console->ItemSelPage()) {
                const QTreeWidget* rows = page->listView();
                const DisplayList& list = page->list();
                if (rows->topLevelItemCount() != list.size()) {
                    fail(step, text, "the display list shows " +
                                         std::to_string(rows->topLevelItemCount()) + " rows of " +
                                         std::to_string(list.size()));
                } else {
                    for (int r = 0; r < list.size(); ++r)
                        if (app.GetItemName(list.row(r).itemNo) != list.row(r).name)
                            fail(step, text, "display row " + std::to_string(r) +
                                                 " names another item than its number");
                }
            }
            if (CDataSelPage* page = console->DataSelPage()) {
                std::vector<std::int32_t> shownSets, heldSets;
                for (QTreeWidgetItemIterator it(page->setTree()); *it; ++it)
                    shownSets.push_back(CDataSelTreeView::setNumberOf(*it));
                for (const SetRecord& set : app.Sets())
                    heldSets.push_back(set.number);
                std::sort(shownSets.begin(), shownSets.end());
                std::sort(heldSets.begin(), heldSets.end());
                if (shownSets != heldSets)
                    fail(step, text, "the set tree shows other sets than the application holds");
            }
        }
    }

    void checkFiles(int step, const std::string& text,
                    const std::map<std::string, std::string>& before) {
        const std::map<std::string, std::string> after = dataAndMacroFiles(folder_);
        for (const auto& [path, bytes] : after) {
            const auto was = before.find(path);
            if (was != before.end() && was->second == bytes) continue;
            if (!StepWritesDataFile(text) && !text.starts_with("ExeMacro")) {
                fail(step, text, "changed " + path + " though it saves nothing");
                continue;
            }
            if (path.ends_with(".zbq")) checkDataFile(step, text, path);
            if (path.ends_with(".mcr")) checkMacroFile(step, text, path);
        }
        // A save may move the run's temporary data file to where it is saved.
        for (const auto& [path, bytes] : before)
            if (!after.count(path) && !StepWritesDataFile(text) && !text.starts_with("ExeMacro"))
                fail(step, text, "removed " + path + " though it saves nothing");
    }

    // A save of all records holds every record; one of the displayed set (a last field other
    // than 0) the records of the current map. A save a nested macro made may be either.
    void checkDataFile(int step, const std::string& text, const std::string& path) {
        const KW_search& current = p_.h.app().Search();
        std::set<std::int32_t> expected = {current.KWgetRecordCount(), current.KWgetDataCount()};
        StepFields fields;
        SplitStepText(text, ',', fields);
        if (fields.size() == 4 && fields[0] == "SaveZbw" &&
            cp932::pathFromStored(fields[1]) == path)
            expected = {ReadStepInt(fields[3]) == 0 ? current.KWgetRecordCount()
                                                    : current.KWgetDataCount()};
        // The records an addition built on their own are not the program's.
        if (text.starts_with("AddData") || text.starts_with("Excel")) expected.clear();
        // The password the step gives, or one the password dialog was answered with.
        std::vector<std::string> passwords = {"", "zebra"};
        if (fields.size() > 2 && fields[0] == "SaveZbw") passwords.push_back(fields[2]);
        for (const std::string& password : passwords) {
            KW_search engine;
            if (engine.KWopen(path, password) == 0) {
                if (!expected.empty() && !expected.count(engine.KWgetRecordCount()))
                    fail(step, text,
                         path + " opens with " + std::to_string(engine.KWgetRecordCount()) +
                             " records, the program has " + std::to_string(*expected.begin()));
                engine.KWclose();
                return;
            }
        }
        fail(step, text, path + " does not open");
    }

    // Read by a second macro object on the same application, as start-up would read it; the
    // program's macro object is put back after.
    void checkMacroFile(int step, const std::string& text, const std::string& path) {
        CKWApp& app = p_.h.app();
        const std::size_t before = p_.prompts->texts.size();
        std::int32_t read = 0;
        std::vector<std::string> names;
        {
            CMacro reader(app);
            read = reader.ReadMacroFile(path);
            names = reader.macroNames();
        }
        app.SetMacroPort(&p_.macro);
        if (read != 1 || p_.prompts->texts.size() != before) {
            fail(step, text, path + " does not read back: " +
                                 (p_.prompts->texts.size() > before ? p_.prompts->texts.back()
                                                                    : std::string("refused")));
        } else if (names != p_.macro.macroNames()) {
            fail(step, text, path + " reads back other macros than the program holds");
        }
    }

    std::uint64_t seed_;
    std::string folder_;
    Zbq& p_;
    bool failed_ = false;
};

using StepMaker = std::function<std::vector<std::string>(const RandomMacroWorld&)>;

// Plays the steps `makeSteps` gives as the random macro, the prompts answering from `seed`.
void play(std::uint64_t seed, const StepMaker& makeSteps) {
    currentSeed = seed;
    currentStep = 0;
#ifdef ZBQ_HAVE_SANITIZER_CALLBACK
    __sanitizer_set_death_callback(tellStepAtDeath);
#endif
    TempDir root;
    const std::string folder = root.path();
    const std::string gitBefore = gitStatus();
    Confined confined(folder);
    {
        Zbq p(seed, folder);
        const std::string definition = p.h.writeFixture();
        writeWorkbooks(p.h.programDir());
        // One format-printing entry, as the tour has.
        writeFile(p.h.file("ZBQ.ini"), cp932::literal("[print]\r\nPRT01=5,回答一覧,report.xls\r\n"));
        writeFile(p.h.file("report.xls"), "");
        p.frame.resize(1024, 720);
        p.frame.show();
        ASSERT_TRUE(p.h.start({definition})) << "the fixture does not start";
        ASSERT_TRUE(p.h.prompts().messageTexts().empty())
            << "start-up said: " << p.h.prompts().messageTexts().front();
        // The structure block start-up took from the definition, for the macro file.
        const MacroStructureBlock block = p.macro.StructureBlock();
        RandomMacroWorld world;
        world.folder = p.h.programDir();
        ReadGestureSteps(ZBQ_GESTURES_TABLE, world.folder, world);
        // Commands no gesture records, in steps that play on the fixture.
        const std::string out = world.folder;
        const std::map<std::string, std::vector<std::string>> unrecorded = {
            {"item:4",
             {"Item_Copy,4", "Item_CopyWithHead,4", "Item_OutToCsv,4,\"" + out + "/rnd0.csv\"",
              "Item_OutToCsvWithHead,4,???"}},
            {"molap", {"MolapCopy", "MolapOutToCSV,\"" + out + "/rnd1.csv\""}},
            {"excel",
             {"ColumnInfoRead,0", "ColumnInfoUpdate,1,\"性別\",\"コード\"", "ExcelAddExecute",
              "DispExcelDialog,\"" + out + "/add.xlsx\"", "ColumnInfoRead,0", "ExcelReadExecute",
              "AddData,\"" + out + "/add.xlsx\""}},
            {"olap",
             {"ExportCategory,1,\"" + out + "/rnd0.ctg\"", "ImportCategory,\"" + out + "/rnd0.ctg\"",
              "DeleteCategory,1", "OpenOlapTab", "DispEditSmallClassDialog", "UpSmallClass,1",
              "DispEditLargeClassDialog", "UpLargeClass,1"}},
            {"console", {"DispAddFilterDialog", "SelectCodeStr,1", "SelectCodeStr,0"}},
            {"grid", {"Prt,5", "Prt,1"}},
        };
        for (auto& [name, steps] : world.sections)
            if (const auto more = unrecorded.find(name); more != unrecorded.end())
                for (const std::string& step : more->second) {
                    steps.push_back(cp932::fromUtf8(step).value());
                    world.templates.push_back(steps.back());
                }
        for (const char* name : {"回答者ID", "性別", "年齢", "趣味", "満足度", "回答日", "回答時刻"})
            world.itemNames.push_back(cp932::literal(name));
        world.macroNames = {"sub", "self", "ping", "pong", "empty", cp932::literal("日本語名")};
        world.selfName = kMacroName;
        const std::vector<std::string> steps = makeSteps(world);
        std::vector<GeneratedMacro> macros = {
            {kMacroName, "random steps\r\nseed " + std::to_string(seed), steps},
            {"sub", "", {"DispConsole", "ToListAllItem", "DispData", "Data_SortUp,2", "SelectSet,0"}},
            {"self", "", {"DispConsole", "ExeMacro,\"self\""}},
            {"ping", "", {"ExeMacro,\"pong\""}},
            {"pong", "", {"OpenLogTab", "ExeMacro,\"ping\""}},
            {"empty", "", {" "}},
            {cp932::literal("日本語名"), cp932::literal("説明"), {"OpenDataSelTab", "ExeMacro,\"sub\""}},
        };
        // The macro file beside the fixture's definition, read by the real reader.
        const std::string macroFile = p.h.file("fixture.mcr");
        writeFile(macroFile, MacroFileBytes(block, macros));
        const std::int32_t read = p.macro.ReadMacroFile(macroFile);
        ASSERT_TRUE(read == 1 && p.h.prompts().messageTexts().empty())
            << "reading the macro file said: "
            << (p.h.prompts().messageTexts().empty() ? "nothing"
                                                     : p.h.prompts().messageTexts().front());
        ASSERT_TRUE(p.h.prompts().messageTexts().empty())
            << "reading the macro file said: " << p.h.prompts().messageTexts().front();
        ASSERT_GE(p.macro.FindMacro(kMacroName), 0) << "the random macro was not read";
        ASSERT_EQ(p.macro.Macros()[static_cast<std::size_t>(p.macro.FindMacro(kMacroName))].steps,
                  steps);

        p.prompts = std::make_unique<RandomPrompts>(seed, p.h.programDir());
        {
            std::vector<std::optional<std::string>> passwords;
            MacroRng rng(seed * 31 + 7);
            for (int i = 0; i < 400; ++i)
                passwords.push_back(rng.percent(30) ? std::nullopt
                                                    : std::optional<std::string>("zebra"));
            p.h.answerDialogs(passwords);
        }

        Player player(seed, p.h.programDir(), p);
        const CMacro::PlayingScope playing(p.macro);
        std::map<std::string, std::string> files = dataAndMacroFiles(p.h.programDir());
        int refused = 0;
        // ZBQ_RANDOM_MACRO_TRACE=1: every step, its outcome and its last message, to follow a seed.
        const bool trace = std::getenv("ZBQ_RANDOM_MACRO_TRACE") != nullptr;
        for (int k = 0; k < static_cast<int>(steps.size()) && !player.failed(); ++k) {
            const std::string& step = steps[static_cast<std::size_t>(k)];
            const std::size_t messages = p.prompts->texts.size();
            currentStep = k + 1;
            currentText = step;
            const std::int32_t result = p.macro.ExecuteStep(step);
            if (result == 0) ++refused;
            if (trace)
                std::cout << "step " << k + 1 << (result ? " played " : " refused ") << shown(step)
                          << (p.prompts->texts.size() > messages
                                  ? " | " + p.prompts->texts.back().substr(0, 120)
                                  : std::string())
                          << "\n";
            player.check(k + 1, step, result, messages, files);
            files = dataAndMacroFiles(p.h.programDir());
        }
        ::testing::Test::RecordProperty("refused", refused);
        ::testing::Test::RecordProperty("messages", static_cast<int>(p.prompts->texts.size()));
        ::testing::Test::RecordProperty("dialogs", p.dialogs);
        p.prompts.reset();
    }
    EXPECT_EQ(gitStatus(), gitBefore) << "the source tree changed";
}

void playSeed(std::uint64_t seed) {
    play(seed, [seed](const RandomMacroWorld& world) {
        return RandomMacroSteps(seed, world, kSteps);
    });
}

// A regression macro: one step a line, UTF-8; "\t" stands for a TAB, "\xNN" for a byte,
// "<out>" for the test's folder; lines starting "# " are comments.
std::vector<std::string> regressionSteps(const std::string& path, const RandomMacroWorld& world) {
    std::vector<std::string> steps;
    std::istringstream lines(readFile(path));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("# ")) continue;
        for (std::size_t at; (at = line.find("<out>")) != std::string::npos;)
            line.replace(at, 5, world.folder);
        std::string bytes;
        std::string utf8;
        const auto flush = [&] {
            bytes += cp932::fromUtf8(utf8).value_or("");
            utf8.clear();
        };
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 't') {
                flush();
                bytes += '\t';
                ++i;
            } else if (line[i] == '\\' && i + 3 < line.size() && line[i + 1] == 'x') {
                flush();
                bytes += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                i += 3;
            } else {
                utf8 += line[i];
            }
        }
        flush();
        steps.push_back(bytes);
    }
    return steps;
}

std::vector<std::string> regressionFiles() {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(ZBQ_REGRESSIONS_DIR))
        if (entry.path().extension() == ".steps") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

class RandomMacros : public ::testing::TestWithParam<int> {};

TEST_P(RandomMacros, KeepEveryInvariant) {
    playSeed(static_cast<std::uint64_t>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, RandomMacros, ::testing::Range(1, 21));

// The short macros kept from the faults random macros found, each played with the same checks.
class RegressionMacros : public ::testing::TestWithParam<std::string> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RegressionMacros);

TEST_P(RegressionMacros, KeepEveryInvariant) {
    const std::string path = GetParam();
    play(0, [&path](const RandomMacroWorld& world) { return regressionSteps(path, world); });
}

INSTANTIATE_TEST_SUITE_P(Kept, RegressionMacros, ::testing::ValuesIn(regressionFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = fs::path(info.param).stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// The seed of ZBQ_RANDOM_MACRO_SEED alone; skipped without it.
TEST(RandomMacroSeed, Seed) {
    const char* seed = std::getenv("ZBQ_RANDOM_MACRO_SEED");
    if (!seed) GTEST_SKIP() << "ZBQ_RANDOM_MACRO_SEED is not set";
    playSeed(std::strtoull(seed, nullptr, 10));
}

}  // namespace
}  // namespace zbq::test
