// Players of the cross-tab axis page's commands. Each sets the page's controls the way the
// user leaves them, without the page's own change handling, and the display step reads them
// all when it runs. Indexes are positions in the lists as the page holds them now; the item and
// category lists take -1 for no selection.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <climits>

#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/olap_page.h"
#include "macro/cmacro.h"
#include "macro/players.h"

namespace {

using Axis = OlapAxisSettings::Axis;

COlapPage* pageOf(CMacro& macro) {
    auto* console = qobject_cast<CConsSheet*>(macro.App().windows().console());
    return console ? console->OlapPage() : nullptr;
}

// A list index of field 1 within the list's entries, -1 allowed; the page then shows it.
template <typename Set>
std::int32_t playIndex(CMacro& macro, StepFields& fields, std::int32_t count, Set set) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t index = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(index, count - 1, fields[0], -1)) return 0;
    set(page->settings(), index);
    page->sync();
    return 1;
}

std::int32_t playCategory(CMacro& macro, StepFields& fields, Axis axis) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    page->settings().FillCategoryCombo(axis);
    return playIndex(macro, fields, page->settings().categories(axis).count(),
                     [axis](OlapAxisSettings& s, std::int32_t i) { s.selectCategory(axis, i); });
}

std::int32_t playItem(CMacro& macro, StepFields& fields, Axis axis) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    return playIndex(macro, fields, page->settings().items(axis).count(),
                     [axis](OlapAxisSettings& s, std::int32_t i) { s.selectItem(axis, i); });
}

std::int32_t playCheck(CMacro& macro, Axis axis) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    page->settings().toggleCheck(axis);
    page->sync();
    return 1;
}

// The motion code first, then the position against 3 for every code.
std::int32_t playLevel(CMacro& macro, StepFields& fields, Axis axis) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t code = ReadStepInt(fields[1]);
    const std::int32_t position = ReadStepInt(fields[2]);
    if (!macro.MacroErrorOutOfRange(code, 4, fields[0], 2)) return 0;
    if (!macro.MacroErrorOutOfRange(position, OlapAxisSettings::kMaxLevel, fields[0], INT_MIN))
        return 0;
    page->settings().moveLevel(axis, code, position);
    page->sync();
    return 1;
}

// A percentage the edit may hold: a number from 0 to 100; a text that reads 0 only as "0",
// "00" or "000".
bool acceptablePercent(const std::string& text) {
    const double value = ReadStepDouble(text);
    if (value == 0.0) return text == "0" || text == "00" || text == "000";
    return value >= 0.0 && value <= 100.0;
}

}  // namespace

std::int32_t PlayDispOlap(CMacro& macro, StepFields&) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    page->OnOlapDisplay();
    return 1;
}

std::int32_t PlayCheckX(CMacro& macro, StepFields&) {
    return playCheck(macro, Axis::X);
}
std::int32_t PlayCheckY(CMacro& macro, StepFields&) {
    return playCheck(macro, Axis::Y);
}
std::int32_t PlaySelectCategLevelX(CMacro& macro, StepFields& fields) {
    return playLevel(macro, fields, Axis::X);
}
std::int32_t PlaySelectCategLevelY(CMacro& macro, StepFields& fields) {
    return playLevel(macro, fields, Axis::Y);
}
std::int32_t PlaySelectItemX(CMacro& macro, StepFields& fields) {
    return playItem(macro, fields, Axis::X);
}
std::int32_t PlaySelectItemY(CMacro& macro, StepFields& fields) {
    return playItem(macro, fields, Axis::Y);
}
std::int32_t PlaySelectCategX(CMacro& macro, StepFields& fields) {
    return playCategory(macro, fields, Axis::X);
}
std::int32_t PlaySelectCategY(CMacro& macro, StepFields& fields) {
    return playCategory(macro, fields, Axis::Y);
}

std::int32_t PlaySelectItemZ(CMacro& macro, StepFields& fields) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    return playIndex(macro, fields, page->settings().zItems().count(),
                     [](OlapAxisSettings& s, std::int32_t i) { s.selectZItem(i); });
}

std::int32_t PlaySelectAggregateKind(CMacro& macro, StepFields& fields) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t kind = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(kind, 7, fields[0])) return 0;
    page->settings().selectKind(kind);
    page->sync();
    return 1;
}

// The dispatcher has asked for "???" and refused an empty text.
std::int32_t PlayInputPercent(CMacro& macro, StepFields& fields) {
    COlapPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    if (!acceptablePercent(fields[1])) return macro.MacroErrorInvalidParameter(fields[0]);
    page->settings().setPercent(fields[1]);
    page->sync();
    return 1;
}
