// Players of the cross-tabulation window's commands. Each checks its numbers in the order the
// command has always checked them, then calls the same model or frame operation the window's
// menu, gesture, key or title bar calls, so a played step and a clicked one do the same thing.
// The dispatcher has checked the field count, that the window is open, and asked for and
// required the CSV path.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <string>

#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/cp932.h"
#include "windows/cross_frame.h"

using zbq::windows::CCrossFrm;
using zbq::windows::CrossTabModel;

namespace {

// The frame, or the window message when it is gone.
CCrossFrm* reach(CMacro& macro) {
    auto* frame = qobject_cast<CCrossFrm*>(macro.App().windows().crossWindow());
    macro.MacroErrorNoWindow(frame);
    return frame;
}

template <typename Action>
std::int32_t playModel(CMacro& macro, Action action) {
    CCrossFrm* frame = reach(macro);
    if (!frame) return 0;
    action(frame->model());
    return 1;
}

template <typename Action>
std::int32_t playFrame(CMacro& macro, Action action) {
    CCrossFrm* frame = reach(macro);
    if (!frame) return 0;
    action(*frame);
    return 1;
}

bool inRange(CMacro& macro, const CrossTabModel& model, std::int32_t value, bool column,
             const std::string& command) {
    const std::int32_t limit = column ? model.GetColumnCount() - 1 : model.GetRowCount() - 1;
    return macro.MacroErrorOutOfRange(value, limit, command) != 0;
}

enum ExportKind { kAll, kWithHead, kPlain };

std::int32_t playCsv(CMacro& macro, StepFields& fields, ExportKind kind) {
    CCrossFrm* frame = reach(macro);
    if (!frame) return 0;
    if (!macro.MacroErrorNoFolder(fields[1], fields[0])) return 0;
    const std::string path = zbq::cp932::pathFromStored(fields[1]);
    CrossTabModel& model = frame->model();
    if (kind == kAll)
        model.OutToCsvAll(path);
    else if (kind == kWithHead)
        model.OutToCsvWithHead(path);
    else
        model.OutToCsv(path);
    return 1;
}

// A command on one column: its range first, then the action.
template <typename Action>
std::int32_t playColumn(CMacro& macro, StepFields& fields, Action action) {
    CCrossFrm* frame = reach(macro);
    if (!frame) return 0;
    CrossTabModel& model = frame->model();
    const std::int32_t column = ReadStepInt(fields[1]);
    if (!inRange(macro, model, column, true, fields[0])) return 0;
    action(model, column);
    return 1;
}

std::int32_t playBand(CMacro& macro, StepFields& fields, bool columns) {
    CCrossFrm* frame = reach(macro);
    if (!frame) return 0;
    CrossTabModel& model = frame->model();
    const std::int32_t anchor = ReadStepInt(fields[1]), end = ReadStepInt(fields[2]);
    if (!inRange(macro, model, anchor, columns, fields[0]) ||
        !inRange(macro, model, end, columns, fields[0]))
        return 0;
    if (columns)
        model.SelectColumns(anchor, end);
    else
        model.SelectRows(anchor, end);
    return 1;
}

std::int32_t playScroll(CMacro& macro, StepFields& fields, bool vertical) {
    CCrossFrm* frame = reach(macro);
    if (!frame) return 0;
    const std::int32_t code = ReadStepInt(fields[1]);
    if (code < 0 || code > 4) return macro.MacroErrorInvalidParameter(fields[0]);
    const std::int32_t value = code == 4 ? ReadStepInt(fields[2]) : 0;
    if (vertical)
        frame->model().VScroll(code, value);
    else
        frame->model().HScroll(code, value);
    return 1;
}

}  // namespace

std::int32_t PlayDorileDrillThrough(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.DrillThrough(); });
}
std::int32_t PlayOlap_CopyAll(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.CopyAll(); });
}
std::int32_t PlayOlap_CopyWithHead(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.CopyWithHead(); });
}
std::int32_t PlayOlap_Copy(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.Copy(); });
}
std::int32_t PlayOlap_OutToCsvAll(CMacro& macro, StepFields& fields) {
    return playCsv(macro, fields, kAll);
}
std::int32_t PlayOlap_OutToCsvWithHead(CMacro& macro, StepFields& fields) {
    return playCsv(macro, fields, kWithHead);
}
std::int32_t PlayOlap_OutToCsv(CMacro& macro, StepFields& fields) {
    return playCsv(macro, fields, kPlain);
}
std::int32_t PlayOlap_OutToExcelAll(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.OutToExcelAll(); });
}
std::int32_t PlayOlap_OutToExcelWithHead(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.OutToExcelWithHead(); });
}
std::int32_t PlayOlap_OutToExcel(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.OutToExcel(); });
}

std::int32_t PlayOlap_DecimalDigit(CMacro& macro, StepFields& fields) {
    CCrossFrm* frame = reach(macro);
    if (!frame) return 0;
    const std::int32_t places = ReadStepInt(fields[1]);
    if (places < 0 || places > CrossTabModel::kMaxDecimals)
        return macro.MacroErrorInvalidParameter(fields[0]);
    frame->model().SetDecimalDigit(places);
    return 1;
}

std::int32_t PlayOlap_Alignment(CMacro& macro, StepFields& fields) {
    return playColumn(macro, fields, [](CrossTabModel& m, std::int32_t c) { m.FitColumnWidth(c); });
}

// The width travels as the low 16 bits of a message word, as it always has; the grid holds it
// within 0-24000.
std::int32_t PlayOlap_AlignmentFree(CMacro& macro, StepFields& fields) {
    const std::int32_t width = ReadStepInt(fields[2]) & 0xFFFF;
    return playColumn(macro, fields,
                      [width](CrossTabModel& m, std::int32_t c) { m.SetColumnWidth(c, width); });
}

std::int32_t PlayOlap_Sort(CMacro& macro, StepFields& fields) {
    const std::int32_t order = ReadStepInt(fields[2]);
    return playColumn(macro, fields,
                      [order](CrossTabModel& m, std::int32_t c) { m.SortRows(c, order); });
}

std::int32_t PlayOlap_OriginalDisplay(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.OriginalDisplay(); });
}

std::int32_t PlayOlap_SelectCell(CMacro& macro, StepFields& fields) {
    CCrossFrm* frame = reach(macro);
    if (!frame) return 0;
    CrossTabModel& model = frame->model();
    const std::int32_t ac = ReadStepInt(fields[1]), ar = ReadStepInt(fields[2]);
    const std::int32_t ec = ReadStepInt(fields[3]), er = ReadStepInt(fields[4]);
    if (!inRange(macro, model, ac, true, fields[0]) ||
        !inRange(macro, model, ec, true, fields[0]) ||
        !inRange(macro, model, ar, false, fields[0]) ||
        !inRange(macro, model, er, false, fields[0]))
        return 0;
    model.SelectCells({ac, ar}, {ec, er});
    return 1;
}

std::int32_t PlayOlap_SelectRow(CMacro& macro, StepFields& fields) {
    return playBand(macro, fields, false);
}
std::int32_t PlayOlap_SelectColumn(CMacro& macro, StepFields& fields) {
    return playBand(macro, fields, true);
}
std::int32_t PlayOlap_SelectAll(CMacro& macro, StepFields&) {
    return playModel(macro, [](CrossTabModel& m) { m.SelectAll(); });
}

std::int32_t PlayOlap_VScroll(CMacro& macro, StepFields& fields) {
    return playScroll(macro, fields, true);
}
std::int32_t PlayOlap_HScroll(CMacro& macro, StepFields& fields) {
    return playScroll(macro, fields, false);
}

std::int32_t PlayOlap_MouseWheel(CMacro& macro, StepFields& fields) {
    const std::int32_t flags = ReadStepInt(fields[1]), delta = ReadStepInt(fields[2]);
    return playModel(macro, [&](CrossTabModel& m) { m.OnMouseWheel(flags, delta); });
}

std::int32_t PlayOlap_ChangeSelectByKey(CMacro& macro, StepFields& fields) {
    const std::int32_t key = ReadStepInt(fields[1]), repeat = ReadStepInt(fields[2]);
    const std::int32_t flags = ReadStepInt(fields[3]);
    return playModel(macro, [&](CrossTabModel& m) { m.OnKeyDown(key, repeat, flags); });
}

std::int32_t PlayOlap_Close(CMacro& macro, StepFields&) {
    return playFrame(macro, [](CCrossFrm& f) { f.OnClose(); });
}
std::int32_t PlayOlap_Max(CMacro& macro, StepFields&) {
    return playFrame(macro, [](CCrossFrm& f) { f.OnMaximize(); });
}
std::int32_t PlayOlap_Min(CMacro& macro, StepFields&) {
    return playFrame(macro, [](CCrossFrm& f) { f.OnMinimize(); });
}
std::int32_t PlayOlap_Restore(CMacro& macro, StepFields&) {
    return playFrame(macro, [](CCrossFrm& f) { f.OnRestore(); });
}
