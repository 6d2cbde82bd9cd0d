// Players of the main frame's commands: show the console, minimise every window, run a
// format-printing entry in the original-data window.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "app/main_frame.h"
#include "app/shown_message.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/shown_text.h"
#include "windows/kw_view.h"

#include <algorithm>
#include <string>

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

// Duplicate numbers all name the first such entry's file; one is enough to play.
std::int32_t PlayPrt(CMacro& macro, StepFields& fields) {
    auto* view = qobject_cast<zbq::windows::CKWView*>(macro.App().windows().dataView());
    if (!macro.MacroErrorNoWindow(view)) return 0;
    const std::int32_t number = ReadStepInt(fields[1]);
    const auto& entries = macro.App().GetPrintMenu();
    const bool found =
        std::any_of(entries.rbegin(), entries.rend(),
                    [number](const PrintMenuEntry& e) { return e.number == number; });
    if (!found) {
        // clang-format off
        macro.App().ShowError(zbq::app::shownMessage(ZBQ_SHOWN("定型印刷のメニューに番号[%1]のメニューが存在しないためマクロを実行できません。\nマクロの実行を中止します。"), {std::to_string(number)}));
        // clang-format on
        return 0;
    }
    view->FormatPrint(number);
    return 1;
}
