// Players of the original-data window's commands. Each checks its parameters in the order the
// command has always checked them (column range first, then the item's type, then other values),
// then calls the same model operation the window's menu, gesture or key calls, so a played step
// and a clicked one do the same thing. The dispatcher has checked the field count, that the
// window is open, and asked for and required the CSV path.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QMdiSubWindow>

#include <string>

#include "app/shown_message.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "windows/kw_view.h"

using zbq::windows::CKWView;
using zbq::windows::DataGridModel;

namespace {

// What a column's type refuses, %1 the column.
// clang-format off
constexpr const char* kNotSortable = ZBQ_SHOWN("列番号[%1]の項目はマルチアンサ項目なのでソートできません。\nマクロの実行を中止します。");
constexpr const char* kNoCodes = ZBQ_SHOWN("列番号[%1]の項目はコードまたはマルチアンサ項目でないので、コードで表示できません。\nマクロの実行を中止します。");
constexpr const char* kNoCommas = ZBQ_SHOWN("列番号[%1]の項目は整数または浮動小数項目でないので、カンマ編集できません。\nマクロの実行を中止します。");
constexpr const char* kNoDecimals = ZBQ_SHOWN("列番号[%1]の項目は浮動小数項目でないので、小数点以下桁数を指定できません。\nマクロの実行を中止します。");
// clang-format on

CKWView* viewOf(CMacro& macro) {
    return qobject_cast<CKWView*>(macro.App().windows().dataView());
}

std::int32_t refuse(CMacro& macro, const std::string& utf8Text) {
    macro.App().ShowError(utf8Text);
    return 0;
}

// The view, or the window message when it is gone.
CKWView* reach(CMacro& macro) {
    CKWView* view = viewOf(macro);
    macro.MacroErrorNoWindow(view);
    return view;
}

// A column of the grid item list; refused with the range message otherwise.
bool columnInRange(CMacro& macro, const DataGridModel& model, std::int32_t column,
                   const std::string& command) {
    return macro.MacroErrorOutOfRange(column, model.GetColumnCount() - 1, command) != 0;
}

enum : std::int32_t { kCode = 0, kMultiAns = 1, kInteger = 2, kFloat = 3 };

std::string columnMessage(std::int32_t column, const char* message) {
    return zbq::app::shownMessage(message, {std::to_string(column)});
}

// The one-column commands: count and window checked, then the column's range, then `check` of
// its type, then the action.
template <typename Check, typename Action>
std::int32_t playColumn(CMacro& macro, StepFields& fields, Check check, Action action) {
    CKWView* view = reach(macro);
    if (!view) return 0;
    DataGridModel& model = view->model();
    const std::int32_t column = ReadStepInt(fields[1]);
    if (!columnInRange(macro, model, column, fields[0])) return 0;
    if (!check(model.GetColumnType(column), column)) return 0;
    action(model, column);
    return 1;
}

template <typename Action>
std::int32_t playView(CMacro& macro, Action action) {
    CKWView* view = reach(macro);
    if (!view) return 0;
    action(*view);
    return 1;
}

std::int32_t playCsv(CMacro& macro, StepFields& fields, bool withHeaders) {
    CKWView* view = reach(macro);
    if (!view) return 0;
    if (!macro.MacroErrorNoFolder(fields[1], fields[0])) return 0;
    const std::string path = zbq::cp932::pathFromStored(fields[1]);
    if (withHeaders)
        view->model().OutToCsvWithHead(path);
    else
        view->model().OutToCsv(path);
    return 1;
}

// The selection commands check against the shown rows and columns.
bool inSelectionRange(CMacro& macro, const DataGridModel& model, std::int32_t value, bool column,
                      const std::string& command) {
    const std::int32_t limit = column ? model.GetColumnCount() - 1 : model.GetRowCount() - 1;
    return macro.MacroErrorOutOfRange(value, limit, command) != 0;
}

// Whole rows or whole columns, from the first to the last given.
std::int32_t playBand(CMacro& macro, StepFields& fields, bool columns) {
    CKWView* view = reach(macro);
    if (!view) return 0;
    DataGridModel& model = view->model();
    const std::int32_t first = ReadStepInt(fields[1]), last = ReadStepInt(fields[2]);
    if (!inSelectionRange(macro, model, first, columns, fields[0]) ||
        !inSelectionRange(macro, model, last, columns, fields[0]))
        return 0;
    if (columns)
        model.SelectColumns(first, last);
    else
        model.SelectRows(first, last);
    return 1;
}

std::int32_t playScroll(CMacro& macro, StepFields& fields, bool vertical) {
    CKWView* view = reach(macro);
    if (!view) return 0;
    const std::int32_t code = ReadStepInt(fields[1]);
    if (code < 0 || code > 4) return macro.MacroErrorInvalidParameter(fields[0]);
    const std::int32_t value = code == 4 ? ReadStepInt(fields[2]) : 0;
    if (vertical)
        view->model().VScroll(code, value);
    else
        view->model().HScroll(code, value);
    return 1;
}

template <typename Action>
std::int32_t playFrame(CMacro& macro, Action action) {
    CKWView* view = reach(macro);
    if (!view) return 0;
    if (zbq::windows::CChildFrame* frame = view->frame())
        action(*frame);
    else
        view->close();
    return 1;
}

const auto kAnyType = [](std::int32_t, std::int32_t) { return true; };

}  // namespace

std::int32_t PlayData_CopyWithHead(CMacro& macro, StepFields&) {
    return playView(macro, [](CKWView& v) { v.model().CopyWithHead(); });
}
std::int32_t PlayData_Copy(CMacro& macro, StepFields&) {
    return playView(macro, [](CKWView& v) { v.model().Copy(); });
}
std::int32_t PlayData_OutToCsvWithHead(CMacro& macro, StepFields& fields) {
    return playCsv(macro, fields, true);
}
std::int32_t PlayData_OutToCsv(CMacro& macro, StepFields& fields) {
    return playCsv(macro, fields, false);
}
std::int32_t PlayData_OutToExcelWithHead(CMacro& macro, StepFields&) {
    return playView(macro, [](CKWView& v) { v.model().OutToExcelWithHead(); });
}
std::int32_t PlayData_OutToExcel(CMacro& macro, StepFields&) {
    return playView(macro, [](CKWView& v) { v.model().OutToExcel(); });
}

namespace {
auto sortable(CMacro& macro) {
    return [&macro](std::int32_t type, std::int32_t column) {
        if (type != kMultiAns) return true;
        return refuse(macro, columnMessage(column, kNotSortable)) != 0;
    };
}
}  // namespace

std::int32_t PlayData_SortUp(CMacro& macro, StepFields& fields) {
    return playColumn(macro, fields, sortable(macro),
                      [](DataGridModel& m, std::int32_t c) { m.SortUp(c); });
}
std::int32_t PlayData_SortDown(CMacro& macro, StepFields& fields) {
    return playColumn(macro, fields, sortable(macro),
                      [](DataGridModel& m, std::int32_t c) { m.SortDown(c); });
}
std::int32_t PlayData_SortOrg(CMacro& macro, StepFields&) {
    return playView(macro, [](CKWView& v) { v.model().SortOrg(-1); });
}

std::int32_t PlayData_DispByCode(CMacro& macro, StepFields& fields) {
    const auto codes = [&macro](std::int32_t type, std::int32_t column) {
        if (type == kCode || type == kMultiAns) return true;
        return refuse(macro, columnMessage(column, kNoCodes)) != 0;
    };
    return playColumn(macro, fields, codes,
                      [](DataGridModel& m, std::int32_t c) { m.DispByCode(c); });
}

std::int32_t PlayDispItemDlg(CMacro& macro, StepFields& fields) {
    return playColumn(macro, fields, kAnyType,
                      [](DataGridModel& m, std::int32_t c) { m.DispItemDlg(c); });
}

std::int32_t PlayData_Alignment(CMacro& macro, StepFields& fields) {
    return playColumn(macro, fields, kAnyType,
                      [](DataGridModel& m, std::int32_t c) { m.AdjustCellWidth(c); });
}

std::int32_t PlayData_DispComma(CMacro& macro, StepFields& fields) {
    const auto numbers = [&macro](std::int32_t type, std::int32_t column) {
        if (type == kInteger || type == kFloat) return true;
        return refuse(macro, columnMessage(column, kNoCommas)) != 0;
    };
    return playColumn(macro, fields, numbers,
                      [](DataGridModel& m, std::int32_t c) { m.DispComma(c); });
}

std::int32_t PlayData_DecimalDigit(CMacro& macro, StepFields& fields) {
    const std::int32_t places = ReadStepInt(fields[2]);
    const auto floats = [&](std::int32_t type, std::int32_t column) {
        if (type != kFloat) return refuse(macro, columnMessage(column, kNoDecimals)) != 0;
        if (places < 0 || places > DataGridModel::kMaxDecimals)
            return macro.MacroErrorInvalidParameter(fields[0]) != 0;
        return true;
    };
    return playColumn(macro, fields, floats,
                      [places](DataGridModel& m, std::int32_t c) { m.SetDecimalDigit(c, places); });
}

// The width travels as the low 16 bits of a message word, as it always has; the grid holds it
// within 0-24000.
std::int32_t PlayData_AlignmentFree(CMacro& macro, StepFields& fields) {
    const std::int32_t width = ReadStepInt(fields[2]) & 0xFFFF;
    return playColumn(macro, fields, kAnyType,
                      [width](DataGridModel& m, std::int32_t c) { m.SetColumnWidth(c, width); });
}

std::int32_t PlayData_SelectCell(CMacro& macro, StepFields& fields) {
    CKWView* view = reach(macro);
    if (!view) return 0;
    DataGridModel& model = view->model();
    const std::int32_t ac = ReadStepInt(fields[1]), ar = ReadStepInt(fields[2]);
    const std::int32_t ec = ReadStepInt(fields[3]), er = ReadStepInt(fields[4]);
    if (!inSelectionRange(macro, model, ac, true, fields[0]) ||
        !inSelectionRange(macro, model, ec, true, fields[0]) ||
        !inSelectionRange(macro, model, ar, false, fields[0]) ||
        !inSelectionRange(macro, model, er, false, fields[0]))
        return 0;
    model.SelectCells({ac, ar}, {ec, er});
    return 1;
}

std::int32_t PlayData_SelectRow(CMacro& macro, StepFields& fields) {
    return playBand(macro, fields, false);
}

std::int32_t PlayData_SelectColumn(CMacro& macro, StepFields& fields) {
    return playBand(macro, fields, true);
}

std::int32_t PlayData_SelectAll(CMacro& macro, StepFields&) {
    return playView(macro, [](CKWView& v) { v.model().SelectAll(); });
}

std::int32_t PlayData_VScroll(CMacro& macro, StepFields& fields) {
    return playScroll(macro, fields, true);
}
std::int32_t PlayData_HScroll(CMacro& macro, StepFields& fields) {
    return playScroll(macro, fields, false);
}

std::int32_t PlayData_MouseWheel(CMacro& macro, StepFields& fields) {
    const std::int32_t flags = ReadStepInt(fields[1]);
    const auto delta = static_cast<std::int16_t>(ReadStepInt(fields[2]) & 0xFFFF);
    return playView(macro, [&](CKWView& v) { v.model().OnMouseWheel(flags, delta); });
}

std::int32_t PlayData_ChengeSelectByKey(CMacro& macro, StepFields& fields) {
    const std::int32_t key = ReadStepInt(fields[1]);
    const std::int32_t repeat = ReadStepInt(fields[2]);
    const std::int32_t flags = ReadStepInt(fields[3]);
    return playView(macro, [&](CKWView& v) { v.model().OnKeyDown(key, repeat, flags); });
}

std::int32_t PlayData_Close(CMacro& macro, StepFields&) {
    return playFrame(macro, [](zbq::windows::CChildFrame& f) { f.OnClose(); });
}
std::int32_t PlayData_Max(CMacro& macro, StepFields&) {
    return playFrame(macro, [](zbq::windows::CChildFrame& f) { f.OnMaximize(); });
}
std::int32_t PlayData_Min(CMacro& macro, StepFields&) {
    return playFrame(macro, [](zbq::windows::CChildFrame& f) { f.OnMinimize(); });
}
std::int32_t PlayData_Restore(CMacro& macro, StepFields&) {
    return playFrame(macro, [](zbq::windows::CChildFrame& f) { f.OnRestore(); });
}
