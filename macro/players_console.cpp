// Players of the console's commands: the system tab's window-list commands, the console's own
// window commands and its tab steps. Each calls the method the console's menu, title bar or tab
// strip calls, so a played step and a clicked one do the same thing.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/sys_page.h"
#include "macro/cmacro.h"
#include "macro/players.h"

namespace {

CConsSheet* consoleOf(CMacro& macro) {
    return qobject_cast<CConsSheet*>(macro.App().windows().console());
}

// A command on one row of the window list: the row must be in the list and hold a window.
std::int32_t playRow(CMacro& macro, const StepFields& fields, void (CSysPage::*command)(int)) {
    CConsSheet* console = consoleOf(macro);
    if (!console) return macro.MacroErrorNoWindow(nullptr);
    CSysPage& page = *console->SysPage();
    const std::int32_t row = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(row, page.Windows().rowCount() - 1, fields[0])) return 0;
    if (!macro.MacroErrorNoWindow(page.Windows().windowAt(row))) return 0;
    (page.*command)(row);
    return 1;
}

// The all-window commands skip a row without a window, as the menu's do: such a row is a
// window that has gone, and stopping there would leave the run half done for nothing.
std::int32_t playAll(CMacro& macro, void (CSysPage::*command)()) {
    CConsSheet* console = consoleOf(macro);
    if (!console) return macro.MacroErrorNoWindow(nullptr);
    (console->SysPage()->*command)();
    return 1;
}

std::int32_t playSysCommand(CMacro& macro, ConsoleSysCommand command) {
    CConsSheet* console = consoleOf(macro);
    if (!console) return macro.MacroErrorNoWindow(nullptr);
    console->OnSysCommand(command);
    return 1;
}

std::int32_t playTab(CMacro& macro, ConsolePage page) {
    CConsSheet* console = consoleOf(macro);
    if (!console) return macro.MacroErrorNoWindow(nullptr);
    console->ActivatePage(page);
    return 1;
}

}  // namespace

std::int32_t PlayCloseWindow(CMacro& macro, StepFields& fields) {
    return playRow(macro, fields, &CSysPage::OnCloseWindow);
}
std::int32_t PlayMinimizedWindow(CMacro& macro, StepFields& fields) {
    return playRow(macro, fields, &CSysPage::OnIconizeWindow);
}
std::int32_t PlayNomalWindow(CMacro& macro, StepFields& fields) {
    return playRow(macro, fields, &CSysPage::OnOriginalSize);
}
std::int32_t PlayMaximizedWindow(CMacro& macro, StepFields& fields) {
    return playRow(macro, fields, &CSysPage::OnMaximizeWindow);
}
std::int32_t PlayMinimizedAllWindow(CMacro& macro, StepFields&) {
    return playAll(macro, &CSysPage::OnIconizeAll);
}
std::int32_t PlayCloseAllWindow(CMacro& macro, StepFields&) {
    return playAll(macro, &CSysPage::OnCloseAll);
}

std::int32_t PlayCons_Max(CMacro& macro, StepFields&) {
    return playSysCommand(macro, ConsoleSysCommand::Maximize);
}
std::int32_t PlayCons_Min(CMacro& macro, StepFields&) {
    return playSysCommand(macro, ConsoleSysCommand::Minimize);
}
std::int32_t PlayCons_Restore(CMacro& macro, StepFields&) {
    return playSysCommand(macro, ConsoleSysCommand::Restore);
}

std::int32_t PlayOpenSystemTab(CMacro& macro, StepFields&) {
    return playTab(macro, ConsolePage::System);
}
std::int32_t PlayOpenItemSelTab(CMacro& macro, StepFields&) {
    return playTab(macro, ConsolePage::ItemSelection);
}
std::int32_t PlayOpenDataSelTab(CMacro& macro, StepFields&) {
    return playTab(macro, ConsolePage::DataSelection);
}
// The OLAP page has no tab: its step brings up the tab at the same position, the
// multi-dimensional one.
std::int32_t PlayOpenOlapTab(CMacro& macro, StepFields&) {
    return playTab(macro, ConsolePage::Molap);
}
std::int32_t PlayOpenMolapTab(CMacro& macro, StepFields&) {
    return playTab(macro, ConsolePage::Molap);
}
std::int32_t PlayOpenLogTab(CMacro& macro, StepFields&) {
    return playTab(macro, ConsolePage::Log);
}
