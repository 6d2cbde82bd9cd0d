// ZBQ, the analysis program: the application object, the macro object with its dialogs and the
// main frame, wired together; the start-up chooses and loads the input before the event loop runs,
// and the shutdown removes the run's temporary files whichever way the program ends. The exit
// status is 1 when start-up refused to run (program_run.h).
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QApplication>
#include <QStringList>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/excel_read_start.h"
#include "app/main_frame.h"
#include "app/program_run.h"
#include "macro/cmacro.h"
#include "macro/macro_dialogs.h"
#include "macro/var_cond_dlg.h"
#include "platform/core/program_paths.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_translations.h"
#include "platform/ui/termination.h"
#include "windows/every_window.h"
#include "windows/graph_host.h"

int main(int argc, char* argv[]) {
    // Before Qt starts, which takes its time: a session ending meanwhile must find the program
    // ready to shut down rather than be killed with it.
    zbq::catchTerminationSignals();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("ZBQ");
    zbq::ui::installQtTranslations();
    zbq::ui::installProgramTranslation();
    zbq::quitOnTerminationSignals();

    CKWApp app;
    app.SetProgramDir(zbq::programDir());
    app.SetImportDialog(zbq::app::importDialogs(app));
    CMacro macro(app);
    // The macro object's screen: indicator, name dialog, macro menu, work list, "???" question.
    MacroDialogs macroScreen(macro);
    macro.SetScreen(&macroScreen);
    VarCondAsker asker(app);
    macro.SetParameterAsker(&asker);

    CMainFrame frame(app, zbq::windows::everyWindowFactory(app));
    frame.resize(1024, 720);
    frame.setMacroCommandHandler([&macro](std::int32_t command) { macro.OnMacroCommand(command); });

    std::vector<std::string> arguments;
    const QStringList given = QCoreApplication::arguments();
    for (qsizetype i = 1; i < given.size(); ++i)
        arguments.push_back(given[i].toStdString());

    // A signal during start-up's questions ends the program there, its temporaries removed.
    zbq::setEarlyTermination([&app] {
        app.ExitInstance();
        std::_Exit(0);  // the frame and the engine are not to be torn down mid-question
    });
    // The graph control's host, kept for the whole run when graph output is on.
    std::unique_ptr<zbq::windows::GraphOutput> graphHost;
    return zbq::app::runProgram(
        app, arguments, [] { return QApplication::exec(); },
        [&app, &graphHost] {
            zbq::setEarlyTermination(nullptr);
            graphHost = zbq::windows::openGraphHost(app);
        });
}
