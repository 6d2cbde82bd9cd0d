// Players of the category commands of the OLAP page: the category list's actions (show, delete,
// import, export) and the editor's (name, value type, register, clear, reset). Each reaches the
// page's category frame afresh through the console and calls the method the menu or button
// calls; those record nothing while a macro plays. Paths in steps are stored (CP932) paths.
// The editor's own refusals (no data set loaded, an empty name, a failed check with its
// message) end the step with 1, so the macro goes on.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "app/main_frame.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include "app/step_text.h"
#include "console/category_form_view.h"
#include "console/category_frame.h"
#include "console/category_list_view.h"
#include "console/class_dialogs.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

COlapFrm* frameOf(CMacro& macro) {
    auto* console = qobject_cast<CConsSheet*>(macro.App().windows().console());
    return console ? console->OlapFrame() : nullptr;
}

// The class dialog of `level` opened modeless on the editor's definition; the dialog's own steps
// follow and its OK or Cancel step closes it.
std::int32_t playOpenClassDialog(CMacro& macro, ClassLevel level) {
    COlapFrm* frame = frameOf(macro);
    auto* mainFrame = qobject_cast<CMainFrame*>(macro.App().windows().mainWindow());
    if (!frame || !mainFrame) return macro.MacroErrorNoWindow(nullptr);
    QDialog* dialog = OpenClassDialogOnEditor(macro.App(), *mainFrame, *frame->editor(), level);
    if (!dialog) return 0;
    // Centred across the screen, in its lower half, as the filter dialog's player places its own.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        dialog->move((size.width() - dialog->width()) / 2, size.height() / 2 + 30);
    }
    dialog->raise();
    return 1;
}

// The definition index of field `at`, checked against the list's rows.
bool definitionIndex(CMacro& macro, const COlapFrm& frame, const StepFields& fields, int at,
                     std::int32_t& index) {
    index = ReadStepInt(fields[static_cast<std::size_t>(at)]);
    return macro.MacroErrorOutOfRange(index, frame.set()->GetCount() - 1, fields[0]) != 0;
}

// A command without parameters: the editor's action alone.
std::int32_t playEditor(CMacro& macro, void (COlapFormView::*action)()) {
    COlapFrm* frame = frameOf(macro);
    if (!frame) return macro.MacroErrorNoWindow(nullptr);
    (frame->editor()->*action)();
    return 1;
}

}  // namespace

std::int32_t PlayDispCategory(CMacro& macro, StepFields& fields) {
    COlapFrm* frame = frameOf(macro);
    if (!frame) return macro.MacroErrorNoWindow(nullptr);
    std::int32_t index = 0;
    if (!definitionIndex(macro, *frame, fields, 1, index)) return 0;
    frame->editor()->LoadCategory(index);
    return 1;
}

std::int32_t PlayDeleteCategory(CMacro& macro, StepFields& fields) {
    COlapFrm* frame = frameOf(macro);
    if (!frame) return macro.MacroErrorNoWindow(nullptr);
    std::int32_t index = 0;
    if (!definitionIndex(macro, *frame, fields, 1, index)) return 0;
    frame->list()->OnDelete(index);
    return 1;
}

std::int32_t PlayImportCategory(CMacro& macro, StepFields& fields) {
    COlapFrm* frame = frameOf(macro);
    if (!frame) return macro.MacroErrorNoWindow(nullptr);
    if (!macro.MacroErrorMissingParameter(fields[1], ZBQ_SHOWN("ファイル名"), fields[0])) return 0;
    if (!macro.MacroErrorNoFile(fields[1])) return 0;
    // A file that cannot be read stops the macro with its message; the set stays as it was.
    return frame->ImportCategory(zbq::cp932::pathFromStored(fields[1]), true) ? 1 : 0;
}

std::int32_t PlayExportCategory(CMacro& macro, StepFields& fields) {
    COlapFrm* frame = frameOf(macro);
    if (!frame) return macro.MacroErrorNoWindow(nullptr);
    std::int32_t index = 0;
    if (!definitionIndex(macro, *frame, fields, 1, index)) return 0;
    if (!macro.MacroErrorMissingParameter(fields[2], ZBQ_SHOWN("ファイル名"), fields[0])) return 0;
    if (!macro.MacroErrorNoFolder(fields[2], fields[0])) return 0;
    return frame->ExportCategory(index, zbq::cp932::pathFromStored(fields[2])) ? 1 : 0;
}

std::int32_t PlayInputCategoryName(CMacro& macro, StepFields& fields) {
    COlapFrm* frame = frameOf(macro);
    if (!frame) return macro.MacroErrorNoWindow(nullptr);
    frame->editor()->SetNameText(fields[1]);
    return 1;
}

std::int32_t PlaySelectCategoryType(CMacro& macro, StepFields& fields) {
    COlapFrm* frame = frameOf(macro);
    if (!frame) return macro.MacroErrorNoWindow(nullptr);
    const std::int32_t entry = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(entry, 7, fields[0])) return 0;
    frame->editor()->OnSelchangeType(entry);
    return 1;
}

std::int32_t PlayEntryCategory(CMacro& macro, StepFields&) {
    return playEditor(macro, &COlapFormView::OnRegister);
}

std::int32_t PlayClearCategory(CMacro& macro, StepFields&) {
    return playEditor(macro, &COlapFormView::OnClear);
}

std::int32_t PlayResetCategory(CMacro& macro, StepFields&) {
    return playEditor(macro, &COlapFormView::OnReset);
}

std::int32_t PlayDispEditSmallClassDialog(CMacro& macro, StepFields&) {
    return playOpenClassDialog(macro, ClassLevel::Small);
}

std::int32_t PlayDispEditMiddleClassDialog(CMacro& macro, StepFields&) {
    return playOpenClassDialog(macro, ClassLevel::Middle);
}

std::int32_t PlayDispEditLargeClassDialog(CMacro& macro, StepFields&) {
    return playOpenClassDialog(macro, ClassLevel::Large);
}
