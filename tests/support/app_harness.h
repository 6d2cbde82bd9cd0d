// The application harness: one CKWApp loaded with a small data set in a temporary program
// directory, with scripted prompts, for the tests of ZBQ's application core and everything built
// on it.
//
// The fixture is a definition file and its text data (CP932): the seven item types, named codes,
// nested groups, Japanese names, blanks and errors, a dozen records. load() reads and parses the
// definition through CKWApp, builds the data file with the engine's builder and opens it the way
// start-up does for a definition file, then runs the restore steps of that load mode.
//
// snapshot() writes what the application core holds (data set, items, display and grid items,
// sets with counts and maps, the current map, conditions, categories, cross-tab settings, flags)
// as UTF-8 text, one fact a line, in a stable order, so that two states compare as two texts.
// When a main frame or console is in use it adds what they show: the frame's caption and state,
// the console's tab, state and status text, the window list, the item tree and display list,
// the reading and operation logs (timings as "#") and the names in temp/; with the macro object
// as the macro port, its recording, indicator and choice, every macro (explanations with their
// CR LF as "\r\n") and the macro dialog open at the time; the program directory
// reads "<program dir>", so two harnesses in two folders compare equal.
//
// start() runs the program's own start-up (CKWApp::InitInstance) headless instead: the fixture
// from the command line (mode 1 from fixture.def), a data file (mode 2), or the open dialog
// answered through prompts(). The graph control is installed in the program directory and a
// spreadsheet program is found unless the test says otherwise; the log-in and password dialogs
// are answered by answerDialogs().
//
// runDialogsInTheirLoops() takes the modal hook away: every dialog then runs its own modal loop
// (QDialog::exec), and a watcher answers each one from inside that loop, once it is the active
// modal window, by real clicks and keys: the same handlers, whose results are then not used
// (the buttons they press end the loop), the log-in and password dialogs typed and confirmed.
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QPointer>

#include "app/ckw_app.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {

class AppHarness {
public:
    AppHarness();
    ~AppHarness();
    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    // The fixture's definition and text data, CP932 bytes.
    static std::string fixtureDefinition();
    static std::string fixtureData();
    static constexpr int kFixtureRecords = 12;

    // Writes the fixture into the program directory and loads it; false (the test failed with
    // the reason) when any step refuses.
    bool load();
    // Loads a definition and text data of the test's own.
    bool load(const std::string& definition, const std::string& data);

    CKWApp& app() { return *app_; }
    ui::ScriptedPrompts& prompts() { return prompts_; }
    const std::string& programDir() const { return dir_.path(); }
    std::string file(const std::string& name) const { return dir_.file(name); }

    std::string snapshot() const;

    // --- The program's start-up and end ---
    // Writes the fixture as fixture.def and fixture.dat; the definition's path.
    std::string writeFixture();
    // CKWApp::InitInstance with these arguments; when it refuses, ExitInstance follows, as in
    // the program.
    bool start(const std::vector<std::string>& arguments = {});
    // Ends the application (ExitInstance) and starts a fresh one on the same program directory,
    // the way a data file the first run saved is opened again.
    bool restart(const std::vector<std::string>& arguments);
    // ExitInstance of the started application, once; later calls give 0 and do nothing.
    int exit();
    // Drops the application without ExitInstance and makes a fresh one, as a program killed
    // mid-run leaves its files behind for the next start.
    void abandon();
    // What the spreadsheet probe finds ("" none); set before start().
    void setSpreadsheet(std::string program) { spreadsheet_ = std::move(program); }
    // Whether the graph control's library and registration are installed; set before start().
    void setGraphControlInstalled(bool installed) { graphControl_ = installed; }
    // Answers the next log-in or password dialogs in order: a text (UTF-8) typed and confirmed
    // with OK, nullopt for Cancel. An unanswered dialog is cancelled.
    void answerDialogs(std::vector<std::optional<std::string>> answers);
    // Dialogs other than the log-in and password dialogs go to `handler`, whose result is the
    // dialog's; without one such a dialog fails the test.
    void answerOtherDialogs(ui::ModalHook handler) { otherDialogs_ = std::move(handler); }
    // Drives the import dialogs start-up runs (the dialog built, its lists filled); its result
    // is the dialog's. Unset: they are cancelled.
    void driveImports(ui::ModalHook driver) { importDriver_ = std::move(driver); }
    // From now on, and in every start, dialogs run through their own modal loops (see above).
    void runDialogsInTheirLoops();
    // "login <file name>", "password" or "import" for every dialog shown, in order.
    const std::vector<std::string>& dialogsShown() const { return dialogsShown_; }
    // The names in temp/, sorted.
    std::vector<std::string> tempFiles() const;
    // Ports (not owned; null for the null port) installed in the application now and in every
    // application restart() makes.
    void usePorts(ConsolePort* console, WindowPort* windows, MacroPort* macro);

private:
    void prepareStart();
    // The answer to a log-in, password or import dialog, or to another through the handler;
    // what the hook returns, or (in its own loop) what the buttons pressed make it.
    int answer(QDialog& dialog, bool inItsLoop);
    void watchModals();

    TempDir dir_;
    ui::ScriptedPrompts prompts_;
    std::unique_ptr<CKWApp> app_;

    std::string spreadsheet_ = "calc.desktop";
    bool graphControl_ = true;
    bool started_ = false;
    std::deque<std::optional<std::string>> answers_;
    ui::ModalHook otherDialogs_;
    std::vector<std::string> dialogsShown_;
    std::unique_ptr<ui::ScopedModalHook> dialogHook_;
    ui::ModalHook importDriver_;
    bool inLoops_ = false;
    std::unique_ptr<QObject> watcher_;
    std::vector<std::pair<QPointer<QDialog>, std::chrono::steady_clock::time_point>> seenModals_;
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment_;
    ConsolePort* console_ = nullptr;
    WindowPort* windows_ = nullptr;
    MacroPort* macro_ = nullptr;
};

// The snapshot of any application object.
std::string snapshotOf(const CKWApp& app);

}  // namespace zbq::test
