// Players of the aggregation window's commands: each reaches the open window afresh, checks
// its fields and calls the window's own command, so a played step and a clicked one do the
// same thing. The dispatcher has checked the field count and that the window is open.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <cstdlib>
#include <string>
#include <vector>

#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "windows/molap_frame.h"

using zbq::windows::CMOLAPFrm;

namespace {

// The window, or the window message when it is gone.
CMOLAPFrm* reach(CMacro& macro) {
    auto* window = qobject_cast<CMOLAPFrm*>(macro.App().windows().molapWindow());
    macro.MacroErrorNoWindow(window);
    return window;
}

template <typename Action>
std::int32_t play(CMacro& macro, Action action) {
    CMOLAPFrm* window = reach(macro);
    if (!window) return 0;
    action(*window);
    return 1;
}

std::vector<std::string> splitTabs(const std::string& field) {
    std::vector<std::string> parts(1);
    for (const char c : field) {
        if (c == '\t')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

}  // namespace

std::int32_t PlayMolapCopy(CMacro& macro, StepFields&) {
    return play(macro, [](CMOLAPFrm& w) { w.Copy(); });
}

std::int32_t PlayMolapOutToCSV(CMacro& macro, StepFields& fields) {
    CMOLAPFrm* window = reach(macro);
    if (!window) return 0;
    if (!macro.MacroErrorMissingParameter(fields[1], ZBQ_SHOWN("ファイル名"), fields[0])) return 0;
    if (!macro.MacroErrorNoFolder(fields[1], fields[0])) return 0;
    window->WriteCsvFile(zbq::cp932::pathFromStored(fields[1]));
    return 1;
}

std::int32_t PlayMolapOutToExcel(CMacro& macro, StepFields&) {
    return play(macro, [](CMOLAPFrm& w) { w.ExportMolapToExcel(); });
}

std::int32_t PlayMolapDrillThrough(CMacro& macro, StepFields& fields) {
    CMOLAPFrm* window = reach(macro);
    if (!window) return 0;
    if (!window->view().SelectCell(ReadStepInt(fields[1]), ReadStepInt(fields[2]))) {
        macro.MacroErrorInvalidParameter(fields[0]);
        return 0;
    }
    window->DrillThrough();
    return 1;
}

// Five conditions, each one field of four TAB-separated parts: operator, From, To, colour.
std::int32_t PlayMolapFilter(CMacro& macro, StepFields& fields) {
    CMOLAPFrm* window = reach(macro);
    if (!window) return 0;
    zbq::windows::FilterConditions conditions;
    for (std::size_t k = 0; k < conditions.size(); ++k) {
        const std::vector<std::string> parts = splitTabs(fields[k + 1]);
        const std::int32_t op = ReadStepInt(parts[0]);
        const std::int32_t colour = parts.size() >= 4 ? ReadStepInt(parts[3]) : -1;
        if (parts.size() < 4 || colour < 0 || colour > 4 || op < -1 || op > 6) {
            macro.MacroErrorInvalidParameter(fields[0]);
            return 0;
        }
        conditions[k] = {op, colour, parts[1], parts[2]};
    }
    window->Filter(conditions);
    return 1;
}

std::int32_t PlayMolapFilterRelease(CMacro& macro, StepFields&) {
    return play(macro, [](CMOLAPFrm& w) { w.FilterRelease(); });
}

std::int32_t PlayMolapClose(CMacro& macro, StepFields&) {
    return play(macro, [](CMOLAPFrm& w) { w.close(); });
}

std::int32_t PlayMolapMax(CMacro& macro, StepFields&) {
    return play(macro, [](CMOLAPFrm& w) { w.OnMaximize(); });
}

std::int32_t PlayMolapMin(CMacro& macro, StepFields&) {
    return play(macro, [](CMOLAPFrm& w) { w.OnMinimize(); });
}

std::int32_t PlayMolapRestore(CMacro& macro, StepFields&) {
    return play(macro, [](CMOLAPFrm& w) { w.OnRestore(); });
}
