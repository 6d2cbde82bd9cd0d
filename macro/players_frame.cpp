// Players of the main frame's commands: show the console, minimise every window.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "app/main_frame.h"
#include "macro/cmacro.h"
#include "macro/players.h"

namespace {

CMainFrame* frameOf(CMacro& macro) {
    return qobject_cast<CMainFrame*>(macro.App().windows().mainWindow());
}

}  // namespace

// A console that cannot be created ends the run without a message.
std::int32_t PlayDispConsole(CMacro& macro, StepFields&) {
    CMainFrame* frame = frameOf(macro);
    return frame ? frame->ShowConsole() : 0;
}

std::int32_t PlayMinAll(CMacro& macro, StepFields&) {
    CMainFrame* frame = frameOf(macro);
    if (!frame) return 0;
    frame->OnIconizeAll();
    return 1;
}
