// Players of the set tree's commands: delete, the tree's open and close commands, the four set
// operations, renaming and choosing the current set. Each calls the page's method that the
// tree's menu, drop or double click calls, so a played step and a user's gesture do the same.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/set_tree_view.h"
#include "macro/cmacro.h"
#include "macro/players.h"

namespace {

CDataSelPage* pageOf(CMacro& macro) {
    auto* console = qobject_cast<CConsSheet*>(macro.App().windows().console());
    return console ? console->DataSelPage() : nullptr;
}

// The set tree's node of the set becomes the selected one, as the user's click makes it.
void selectNode(CDataSelPage& page, std::int32_t setNo) {
    if (QTreeWidgetItem* node = page.FindSetItem(setNo))
        page.setTree()->programChange([&page, node] { page.setTree()->setCurrentItem(node); });
}

std::int32_t playTreeCommand(CMacro& macro, void (CDataSelPage::*command)()) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    (page->*command)();
    return 1;
}

std::int32_t playCombination(CMacro& macro, const StepFields& fields, SetOp op) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t a = ReadStepInt(fields[1]);
    const std::int32_t b = ReadStepInt(fields[2]);
    if (!page->HasSetItem(a)) return macro.MacroErrorNoSet(a, fields[0]);
    if (!page->HasSetItem(b)) return macro.MacroErrorNoSet(b, fields[0]);
    page->CombineSets(op, a, b);
    page->RefreshWindows();
    return 1;
}

}  // namespace

std::int32_t PlayDeleteSet(CMacro& macro, StepFields& fields) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t setNo = ReadStepInt(fields[1]);
    if (!page->HasSetItem(setNo)) return macro.MacroErrorNoSet(setNo, fields[0]);
    // The whole data set, the current set and the sets above it stay: the program stands on them.
    if (!canDeleteSet(macro.App().Sets(), setNo, page->CurrentSetNo()))
        return macro.MacroErrorInvalidParameter(fields[0]);
    selectNode(*page, setNo);
    page->OnDelete(setNo);
    return 1;
}

std::int32_t PlayPermitSetCollapse(CMacro& macro, StepFields&) {
    return playTreeCommand(macro, &CDataSelPage::OnAllowClose);
}
std::int32_t PlayExpandAllSet(CMacro& macro, StepFields&) {
    return playTreeCommand(macro, &CDataSelPage::OnExpandAll);
}
std::int32_t PlayCollapseAllSet(CMacro& macro, StepFields&) {
    return playTreeCommand(macro, &CDataSelPage::OnCollapseAll);
}

std::int32_t PlayUnionSet(CMacro& macro, StepFields& fields) {
    return playCombination(macro, fields, SetOp::Union);
}
// Macro files hold the product under this name.
std::int32_t PlayDifferenceSet(CMacro& macro, StepFields& fields) {
    return playCombination(macro, fields, SetOp::Product);
}
// ... and the difference under this one.
std::int32_t PlayProductSet(CMacro& macro, StepFields& fields) {
    return playCombination(macro, fields, SetOp::Difference);
}
std::int32_t PlayComplementSet(CMacro& macro, StepFields& fields) {
    return playCombination(macro, fields, SetOp::Complement);
}

// The name has been asked for and checked by the dispatcher.
std::int32_t PlayInputSetName(CMacro& macro, StepFields& fields) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t setNo = ReadStepInt(fields[1]);
    if (!page->HasSetItem(setNo)) return macro.MacroErrorNoSet(setNo, fields[0]);
    selectNode(*page, setNo);
    page->RenameSet(setNo, fields[2]);
    return 1;
}

std::int32_t PlaySelectSet(CMacro& macro, StepFields& fields) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t setNo = ReadStepInt(fields[1]);
    if (!page->HasSetItem(setNo)) return macro.MacroErrorNoSet(setNo, fields[0]);
    page->SelectSet(setNo);
    return 1;
}
