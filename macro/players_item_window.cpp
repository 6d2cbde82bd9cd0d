// Players of the item window's steps: its value-list page (new set, record and value stepping,
// the search text, "文字列", the graph), the value list's order, exports, marks, display,
// selection and scrolling, the summary's percent rank, and the window's own state and tabs.
// Each finds the window of the item in field 1 afresh (the dispatcher has refused a step whose
// window is not open), makes its own checks in the order the command gives, and calls the
// action the window's widgets call.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <cstdlib>
#include <string>

#include "app/shown_message.h"
#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "windows/item_sheet.h"
#include "windows/summary_text.h"
#include "windows/value_list_view.h"
#include "windows/value_search.h"

using zbq::windows::CItemSheet;
using zbq::windows::MarkCommand;

namespace {

// What a column's type refuses, %1 the item.
// clang-format off
constexpr const char* kNoCommas = ZBQ_SHOWN("列番号[%1]の項目は整数または浮動小数項目でないので、カンマ編集できません。\nマクロの実行を中止します。");
constexpr const char* kNoDecimals = ZBQ_SHOWN("列番号[%1]の項目は浮動小数項目でないので、小数点以下桁数を指定できません。\nマクロの実行を中止します。");
// clang-format on

CItemSheet* sheetOf(CMacro& macro, const StepFields& fields) {
    return dynamic_cast<CItemSheet*>(macro.App().windows().itemWindow(ReadStepInt(fields[1])));
}

// Runs `action` on the step's window; the window message when it is not open.
template <typename Action>
std::int32_t onSheet(CMacro& macro, const StepFields& fields, Action action) {
    CItemSheet* sheet = sheetOf(macro, fields);
    if (!macro.MacroErrorNoWindow(sheet)) return 0;
    const std::int32_t result = action(*sheet);
    sheet->updateValuePage();
    return result;
}

std::int32_t playPage(CMacro& macro, const StepFields& fields,
                      void (zbq::windows::ValueListPage::*action)()) {
    return onSheet(macro, fields, [action](CItemSheet& s) {
        (s.page().*action)();
        return 1;
    });
}

std::int32_t playMark(CMacro& macro, const StepFields& fields, MarkCommand command) {
    return onSheet(macro, fields, [command](CItemSheet& s) {
        s.page().Mark(command);
        return 1;
    });
}

std::int32_t playModel(CMacro& macro, const StepFields& fields,
                       void (zbq::windows::ValueListModel::*action)()) {
    return onSheet(macro, fields, [action](CItemSheet& s) {
        (s.model().*action)();
        return 1;
    });
}

std::int32_t playCsv(CMacro& macro, StepFields& fields, bool withHead) {
    CItemSheet* sheet = sheetOf(macro, fields);
    if (!macro.MacroErrorNoWindow(sheet)) return 0;
    if (!macro.MacroErrorNoFolder(fields[2], fields[0])) return 0;
    sheet->model().OutToCsv(zbq::cp932::pathFromStored(fields[2]), withHead);
    return 1;
}

std::int32_t playState(CMacro& macro, const StepFields& fields, Qt::WindowState state) {
    return onSheet(macro, fields, [state](CItemSheet& s) {
        if (state == Qt::WindowMaximized)
            s.showMaximized();
        else if (state == Qt::WindowMinimized)
            s.showMinimized();
        else
            s.showNormal();
        return 1;
    });
}

}  // namespace

// --- Value-list page ---

std::int32_t PlayCreateSet(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) {
        s.page().CreateSet();
        return 1;
    });
}
std::int32_t PlayToTopHitData(CMacro& macro, StepFields& fields) {
    return playPage(macro, fields, &zbq::windows::ValueListPage::ToTopHitData);
}
std::int32_t PlayToPrevHitData(CMacro& macro, StepFields& fields) {
    return playPage(macro, fields, &zbq::windows::ValueListPage::ToPrevHitData);
}
std::int32_t PlayToNextHitData(CMacro& macro, StepFields& fields) {
    return playPage(macro, fields, &zbq::windows::ValueListPage::ToNextHitData);
}
std::int32_t PlayToEndHitData(CMacro& macro, StepFields& fields) {
    return playPage(macro, fields, &zbq::windows::ValueListPage::ToEndHitData);
}
std::int32_t PlayToTopItemData(CMacro& macro, StepFields& fields) {
    return playPage(macro, fields, &zbq::windows::ValueListPage::ToTopItemData);
}
std::int32_t PlayToPrevItemData(CMacro& macro, StepFields& fields) {
    return playPage(macro, fields, &zbq::windows::ValueListPage::ToPrevItemData);
}
std::int32_t PlayToNextItemData(CMacro& macro, StepFields& fields) {
    return playPage(macro, fields, &zbq::windows::ValueListPage::ToNextItemData);
}
std::int32_t PlayToEndItemData(CMacro& macro, StepFields& fields) {
    return playPage(macro, fields, &zbq::windows::ValueListPage::ToEndItemData);
}
std::int32_t PlayChechStr(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) {
        s.toggleTextSearch();
        return 1;
    });
}
std::int32_t PlayInputSearchTerm(CMacro& macro, StepFields& fields) {
    CItemSheet* sheet = sheetOf(macro, fields);
    if (!macro.MacroErrorNoWindow(sheet)) return 0;
    if (fields[2].size() > zbq::windows::kMaxSearchBytes)
        return macro.MacroErrorInvalidParameter(fields[0]);
    sheet->setSearchText(fields[2]);
    return 1;
}
std::int32_t PlayDispGraph(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) {
        s.page().DispGraph();
        return 1;
    });
}

// --- Order, exports, marks ---

std::int32_t PlayItem_SortUp(CMacro& macro, StepFields& fields) {
    return playModel(macro, fields, &zbq::windows::ValueListModel::SortUp);
}
std::int32_t PlayItem_SortDown(CMacro& macro, StepFields& fields) {
    return playModel(macro, fields, &zbq::windows::ValueListModel::SortDown);
}
std::int32_t PlayItem_SortReverse(CMacro& macro, StepFields& fields) {
    return playModel(macro, fields, &zbq::windows::ValueListModel::SortReverse);
}
std::int32_t PlayItem_CopyWithHead(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) { return s.model().Copy(true), 1; });
}
std::int32_t PlayItem_Copy(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) { return s.model().Copy(false), 1; });
}
std::int32_t PlayItem_OutToCsvWithHead(CMacro& macro, StepFields& fields) {
    return playCsv(macro, fields, true);
}
std::int32_t PlayItem_OutToCsv(CMacro& macro, StepFields& fields) {
    return playCsv(macro, fields, false);
}
std::int32_t PlayItem_OutToExcelWithHead(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) { return s.model().OutToExcel(true), 1; });
}
std::int32_t PlayItem_OutToExcel(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) { return s.model().OutToExcel(false), 1; });
}
std::int32_t PlayItem_RemoveSelection(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::RemoveSelection);
}
std::int32_t PlayItem_RemoveOnlySelection(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::RemoveOnlySelection);
}
std::int32_t PlayItem_RemoveAll(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::RemoveAll);
}
std::int32_t PlayItem_RemoveSearchResult(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::RemoveSearchResult);
}
std::int32_t PlayItem_RemoveOnlySearchResult(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::RemoveOnlySearchResult);
}
std::int32_t PlayItem_AddSelection(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::AddSelection);
}
std::int32_t PlayItem_AddOnlySelection(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::AddOnlySelection);
}
std::int32_t PlayItem_AddAll(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::AddAll);
}
std::int32_t PlayItem_AddSearchResult(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::AddSearchResult);
}
std::int32_t PlayItem_AddOnlySearchResult(CMacro& macro, StepFields& fields) {
    return playMark(macro, fields, MarkCommand::AddOnlySearchResult);
}

// --- Display ---

std::int32_t PlayItem_DispComma(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        const std::int32_t type = macro.App().GetItemType(s.GetItemNo());
        if (type != 2 && type != 3) {
            macro.App().ShowError(
                zbq::app::shownMessage(kNoCommas, {std::to_string(s.GetItemNo())}));
            return 0;
        }
        s.model().DispComma();
        return 1;
    });
}
std::int32_t PlayItem_DecimalDigit(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        if (macro.App().GetItemType(s.GetItemNo()) != 3) {
            macro.App().ShowError(
                zbq::app::shownMessage(kNoDecimals, {std::to_string(s.GetItemNo())}));
            return 0;
        }
        const std::int32_t places = ReadStepInt(fields[2]);
        if (places < 0 || places > zbq::windows::ValueListModel::kMaxDecimals)
            return macro.MacroErrorInvalidParameter(fields[0]);
        s.model().SetDecimalDigit(places);
        return 1;
    });
}
std::int32_t PlayItem_PercentDigit(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        const std::int32_t places = ReadStepInt(fields[2]);
        if (places < 0 || places > zbq::windows::ValueListModel::kMaxPercentDigits)
            return macro.MacroErrorInvalidParameter(fields[0]);
        s.model().SetPercentDigit(places);
        return 1;
    });
}
std::int32_t PlayItem_Alignment(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        const std::int32_t column = ReadStepInt(fields[2]);
        if (!macro.MacroErrorOutOfRange(column, s.model().columnCount() - 1, fields[0])) return 0;
        s.view()->FitColumn(column);
        return 1;
    });
}
std::int32_t PlayItem_AlignmentFree(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        const std::int32_t column = ReadStepInt(fields[2]);
        if (!macro.MacroErrorOutOfRange(column, s.model().columnCount() - 1, fields[0])) return 0;
        s.view()->SetColumnWidth(column, ReadStepInt(fields[3]));
        return 1;
    });
}

// --- Selection and scrolling ---

std::int32_t PlayItem_SelectCell(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        const std::int32_t columns = s.model().columnCount() - 1, rows = s.model().rowCount() - 1;
        const std::int32_t c1 = ReadStepInt(fields[2]), r1 = ReadStepInt(fields[3]);
        const std::int32_t c2 = ReadStepInt(fields[4]), r2 = ReadStepInt(fields[5]);
        if (!macro.MacroErrorOutOfRange(c1, columns, fields[0]) ||
            !macro.MacroErrorOutOfRange(c2, columns, fields[0]) ||
            !macro.MacroErrorOutOfRange(r1, rows, fields[0]) ||
            !macro.MacroErrorOutOfRange(r2, rows, fields[0]))
            return 0;
        s.view()->SelectCells({c1, r1}, {c2, r2});
        return 1;
    });
}
std::int32_t PlayItem_SelectRow(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        const std::int32_t rows = s.model().rowCount() - 1;
        const std::int32_t r1 = ReadStepInt(fields[2]), r2 = ReadStepInt(fields[3]);
        if (!macro.MacroErrorOutOfRange(r1, rows, fields[0]) ||
            !macro.MacroErrorOutOfRange(r2, rows, fields[0]))
            return 0;
        s.view()->SelectRows(r1, r2);
        return 1;
    });
}
std::int32_t PlayItem_SelectColumn(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        const std::int32_t columns = s.model().columnCount() - 1;
        const std::int32_t c1 = ReadStepInt(fields[2]), c2 = ReadStepInt(fields[3]);
        if (!macro.MacroErrorOutOfRange(c1, columns, fields[0]) ||
            !macro.MacroErrorOutOfRange(c2, columns, fields[0]))
            return 0;
        s.view()->SelectColumns(c1, c2);
        return 1;
    });
}
std::int32_t PlayItem_SelectAll(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) {
        s.view()->SelectAll();
        return 1;
    });
}
std::int32_t PlayItem_VScroll(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        if (!s.view()->VScroll(ReadStepInt(fields[2]), ReadStepInt(fields[3])))
            return macro.MacroErrorInvalidParameter(fields[0]);
        return 1;
    });
}
std::int32_t PlayItem_HScroll(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        if (!s.view()->HScroll(ReadStepInt(fields[2]), ReadStepInt(fields[3])))
            return macro.MacroErrorInvalidParameter(fields[0]);
        return 1;
    });
}
std::int32_t PlayItem_MouseWheel(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        s.view()->MouseWheel(ReadStepInt(fields[2]), ReadStepInt(fields[3]));
        return 1;
    });
}
std::int32_t PlayItem_ChangeSelectByKey(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        s.view()->KeyDown(ReadStepInt(fields[2]), ReadStepInt(fields[3]), ReadStepInt(fields[4]));
        return 1;
    });
}

// --- Summary, window and tabs ---

std::int32_t PlayItem_PercentValue(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [&](CItemSheet& s) {
        const double percent = ReadStepDouble(fields[2]);
        if (!(percent >= 0.0 && percent <= 100.0))
            return macro.MacroErrorInvalidParameter(fields[0]);
        s.WritePercentRank(percent);
        return 1;
    });
}
std::int32_t PlayItem_Close(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) {
        s.close();
        return 1;
    });
}
std::int32_t PlayItem_Max(CMacro& macro, StepFields& fields) {
    return playState(macro, fields, Qt::WindowMaximized);
}
std::int32_t PlayItem_Min(CMacro& macro, StepFields& fields) {
    return playState(macro, fields, Qt::WindowMinimized);
}
std::int32_t PlayItem_Restore(CMacro& macro, StepFields& fields) {
    return playState(macro, fields, Qt::WindowNoState);
}
std::int32_t PlayOpenValListTab(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) {
        s.ShowPage(CItemSheet::kValueListPage);
        return 1;
    });
}
std::int32_t PlayOpenSummaryTab(CMacro& macro, StepFields& fields) {
    return onSheet(macro, fields, [](CItemSheet& s) {
        s.ShowPage(CItemSheet::kSummaryPage);
        return 1;
    });
}
