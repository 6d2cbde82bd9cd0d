// Players of the item-selection tab's commands: the tree's and the display list's menu actions
// and the button "ﾃﾞｰﾀ表示". Each finds the node or row its step names, makes it the one the action
// works on, and calls the page method the menu calls. Names address the first tree node in
// pre-order (groups included) or the first display row of that text, as the steps were
// recorded. The action's own refusals (no data set loaded, an empty list) end the step with 1.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/item_sel_page.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/shown_text.h"

namespace {

CItemSelPage* pageOf(CMacro& macro) {
    auto* console = qobject_cast<CConsSheet*>(macro.App().windows().console());
    return console ? console->ItemSelPage() : nullptr;
}

// A command without parameters: the page's action alone.
std::int32_t playAction(CMacro& macro, void (CItemSelPage::*action)()) {
    CItemSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    (page->*action)();
    return 1;
}

// A command on the tree node that field 1 names.
template <typename Action>
std::int32_t playOnNode(CMacro& macro, const StepFields& fields, Action action) {
    CItemSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const int node = page->tree().FindItem(fields[1]);
    if (node < 0) return macro.MacroErrorNoItem(fields[1], fields[0]);
    page->SelectNode(node);
    action(*page, node);
    return 1;
}

}  // namespace

std::int32_t PlayToListItem(CMacro& macro, StepFields& fields) {
    return playOnNode(macro, fields,
                      [](CItemSelPage& page, int node) { page.OnToDisplayList(node); });
}

std::int32_t PlayFromListItem(CMacro& macro, StepFields& fields) {
    return playOnNode(macro, fields, [](CItemSelPage& page, int node) { page.OnHide(node); });
}

std::int32_t PlayToListAllItem(CMacro& macro, StepFields&) {
    return playAction(macro, &CItemSelPage::OnAllToDisplayList);
}
std::int32_t PlayFromListAllItem(CMacro& macro, StepFields&) {
    return playAction(macro, &CItemSelPage::OnHideAll);
}
std::int32_t PlayPermitItemCollapse(CMacro& macro, StepFields&) {
    return playAction(macro, &CItemSelPage::OnAllowClose);
}
std::int32_t PlayExpandAllItem(CMacro& macro, StepFields&) {
    return playAction(macro, &CItemSelPage::OnExpandAll);
}
std::int32_t PlayCollapseAllItem(CMacro& macro, StepFields&) {
    return playAction(macro, &CItemSelPage::OnCollapseAll);
}
std::int32_t PlayBackAllListItem(CMacro& macro, StepFields&) {
    return playAction(macro, &CItemSelPage::OnListHideAll);
}
std::int32_t PlaySelectAllListItem(CMacro& macro, StepFields&) {
    return playAction(macro, &CItemSelPage::OnListSelectAll);
}
std::int32_t PlayDispData(CMacro& macro, StepFields&) {
    return playAction(macro, &CItemSelPage::OnShowData);
}

// The row alone is selected, so "非表示に" removes it and nothing else.
std::int32_t PlayBackListItem(CMacro& macro, StepFields& fields) {
    CItemSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t row = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(row, page->list().size() - 1, fields[0])) return 0;
    page->SelectListRows({row});
    page->OnListHide(page->list().selectedRows());
    return 1;
}

std::int32_t PlayChangeListItem(CMacro& macro, StepFields& fields) {
    CItemSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t position = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(position, page->list().size() - 1, fields[0])) return 0;
    if (!macro.MacroErrorMissingParameter(fields[2], ZBQ_SHOWN("項目名"), fields[0])) return 0;
    if (page->list().rowOfName(fields[2]) < 0) return macro.MacroErrorNoItem(fields[2], fields[0]);
    page->MoveDisplayItem(position, fields[2]);
    return 1;
}
