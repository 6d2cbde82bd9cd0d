// Players of the filter commands: the data-selection page's buttons and radio buttons, and the
// filter condition dialog, which a player opens without a modal loop and the following steps
// fill through the same handlers as the user's changes. OK and Cancel always end the dialog.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>

#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/data_sel_page.h"
#include "console/filter_cond_dlg.h"
#include "macro/cmacro.h"
#include "macro/players.h"

namespace {

CDataSelPage* pageOf(CMacro& macro) {
    auto* console = qobject_cast<CConsSheet*>(macro.App().windows().console());
    return console ? console->DataSelPage() : nullptr;
}

CFilterCondDlg* dialogOf(CMacro& macro) {
    return qobject_cast<CFilterCondDlg*>(macro.App().windows().playerDialog(PlayerDialog::Filter));
}

std::int32_t conditionRows(const CKWApp& app) {
    return static_cast<std::int32_t>(app.GetSearchConditions().size());
}

// A 0-or-1 flag; anything else gets the range message.
bool flagOf(CMacro& macro, const StepFields& fields, std::int32_t* flag) {
    *flag = ReadStepInt(fields[1]);
    return macro.MacroErrorOutOfRange(*flag, 1, fields[0]) != 0;
}

// The entry of one of the dialog's combo boxes, then that box's change handler.
std::int32_t playCombo(CMacro& macro, const StepFields& fields,
                       QComboBox* (CFilterCondDlg::*box)() const,
                       void (CFilterCondDlg::*changed)(std::int32_t)) {
    CFilterCondDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    QComboBox* combo = (dialog->*box)();
    const std::int32_t index = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(index, combo->count() - 1, fields[0])) return 0;
    combo->setCurrentIndex(index);
    (dialog->*changed)(index);
    return 1;
}

std::int32_t playValue(CMacro& macro, const StepFields& fields,
                       void (CFilterCondDlg::*put)(const std::string&)) {
    CFilterCondDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    (dialog->*put)(fields[1]);
    return 1;
}

}  // namespace

std::int32_t PlayExecuteFilter(CMacro& macro, StepFields&) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    // A refused expression or a failed search has told the user; the run goes on.
    page->OnExecuteFilter();
    return 1;
}

std::int32_t PlaySelectFilterAndOr(CMacro& macro, StepFields& fields) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    std::int32_t flag = 0;
    if (!flagOf(macro, fields, &flag)) return 0;
    page->SetJoin(flag == 1 ? FilterJoin::Or : FilterJoin::And);
    return 1;
}

std::int32_t PlayDispAddFilterDialog(CMacro& macro, StepFields&) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    CFilterCondDlg* dialog = page->OpenPlayerDialog(0, -1);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        dialog->move((size.width() - dialog->width()) / 2, size.height() / 2 + 30);
    }
    dialog->raise();
    return 1;
}

std::int32_t PlayDispEditFilterDialog(CMacro& macro, StepFields& fields) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t row = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(row, conditionRows(macro.App()) - 1, fields[0])) return 0;
    page->OpenPlayerDialog(1, row);
    return 1;
}

std::int32_t PlayDeleteFilter(CMacro& macro, StepFields& fields) {
    CDataSelPage* page = pageOf(macro);
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t row = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(row, conditionRows(macro.App()) - 1, fields[0])) return 0;
    page->DeleteCondition(row);
    return 1;
}

std::int32_t PlayInputFilterItem(CMacro& macro, StepFields& fields) {
    return playCombo(macro, fields, &CFilterCondDlg::itemCombo, &CFilterCondDlg::OnSelchangeItem);
}
std::int32_t PlaySelectFilterOperater1(CMacro& macro, StepFields& fields) {
    return playCombo(macro, fields, &CFilterCondDlg::operatorCombo,
                     &CFilterCondDlg::OnSelchangeCondition1);
}
std::int32_t PlaySelectFilterOperater2(CMacro& macro, StepFields& fields) {
    return playCombo(macro, fields, &CFilterCondDlg::boundCombo,
                     &CFilterCondDlg::OnSelchangeCondition2);
}

// An empty value is a value: it empties the box.
std::int32_t PlayInputFilterTerm1(CMacro& macro, StepFields& fields) {
    return playValue(macro, fields, &CFilterCondDlg::SetValue1);
}
std::int32_t PlayInputFilterTerm2(CMacro& macro, StepFields& fields) {
    return playValue(macro, fields, &CFilterCondDlg::SetValue2);
}

std::int32_t PlaySelectCodeStr(CMacro& macro, StepFields& fields) {
    CFilterCondDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    std::int32_t flag = 0;
    if (!flagOf(macro, fields, &flag)) return 0;
    dialog->OnCodeStr(flag);
    return 1;
}

// The dialog ends whatever OK found; a refusal has been shown and the run goes on.
std::int32_t PlayOKFilterDialog(CMacro& macro, StepFields&) {
    CFilterCondDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    dialog->OnOK();
    delete dialog;
    if (CDataSelPage* page = pageOf(macro)) page->UpdateButtons();
    return 1;
}

std::int32_t PlayCancelFilterDialog(CMacro& macro, StepFields&) {
    CFilterCondDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    dialog->OnCancel();
    delete dialog;
    return 1;
}
