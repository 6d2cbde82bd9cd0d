// Players of the class-list dialogs' commands: the small-class dialog and the class list
// dialog (middle or large rows) that a macro opened without a modal loop. The dispatcher has
// found the console and the dialog; each player drives the same editor methods the dialog's
// buttons call. A Middle command and its Large twin act alike on whichever class list dialog is
// open; the dialog's own field checks show their messages and the run goes on.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <type_traits>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/class_dialogs.h"
#include "macro/cmacro.h"
#include "macro/players.h"

namespace {

CMainFrame* frameOf(CMacro& macro) {
    return qobject_cast<CMainFrame*>(macro.App().windows().mainWindow());
}

CMinorCategoryDlg* smallDialog(CMacro& macro) {
    return qobject_cast<CMinorCategoryDlg*>(
        macro.App().windows().playerDialog(PlayerDialog::SmallClass));
}

CCategoryListDlg* listDialog(CMacro& macro) {
    const WindowPort& windows = macro.App().windows();
    if (auto* middle =
            qobject_cast<CCategoryListDlg*>(windows.playerDialog(PlayerDialog::MiddleClass)))
        return middle;
    return qobject_cast<CCategoryListDlg*>(windows.playerDialog(PlayerDialog::LargeClass));
}

// The dialog of the command, or the window message.
template <typename Dialog>
Dialog* dialogOf(CMacro& macro) {
    Dialog* dialog = nullptr;
    if constexpr (std::is_same_v<Dialog, CMinorCategoryDlg>)
        dialog = smallDialog(macro);
    else
        dialog = listDialog(macro);
    if (dialog && frameOf(macro)) return dialog;
    macro.MacroErrorNoWindow(nullptr);
    return nullptr;
}

template <typename Dialog, typename Action>
std::int32_t playAction(CMacro& macro, Action action) {
    Dialog* dialog = dialogOf<Dialog>(macro);
    if (!dialog) return 0;
    action(dialog->editor());
    dialog->sync();
    return 1;
}

// Row `fields[1]` of the class list selected alone, then the action.
template <typename Dialog, typename Action>
std::int32_t playOnRow(CMacro& macro, StepFields& fields, Action action) {
    Dialog* dialog = dialogOf<Dialog>(macro);
    if (!dialog) return 0;
    const std::int32_t row = ReadStepInt(fields[1]);
    const auto rows = static_cast<std::int32_t>(dialog->editor().working().size());
    if (!macro.MacroErrorOutOfRange(row, rows - 1, fields[0])) return 0;
    dialog->editor().selectRow(row);
    action(dialog->editor());
    dialog->sync();
    return 1;
}

std::int32_t closeSmall(CMacro& macro, bool ok) {
    CMinorCategoryDlg* dialog = dialogOf<CMinorCategoryDlg>(macro);
    if (!dialog) return 0;
    PlayCloseSmallClassDialog(*frameOf(macro), *dialog, ok);
    return 1;
}

std::int32_t closeList(CMacro& macro, bool ok) {
    CCategoryListDlg* dialog = dialogOf<CCategoryListDlg>(macro);
    if (!dialog) return 0;
    PlayCloseClassListDialog(*frameOf(macro), *dialog, ok);
    return 1;
}

}  // namespace

// --- Small classes ---

std::int32_t PlayInputSmallClassName(CMacro& macro, StepFields& fields) {
    return playAction<CMinorCategoryDlg>(macro, [&](SmallClassEditor& e) { e.setName(fields[1]); });
}
std::int32_t PlaySelectSmallClassOperater(CMacro& macro, StepFields& fields) {
    CMinorCategoryDlg* dialog = dialogOf<CMinorCategoryDlg>(macro);
    if (!dialog) return 0;
    const std::int32_t index = ReadStepInt(fields[1]);
    if (!macro.MacroErrorOutOfRange(index, 9, fields[0])) return 0;
    dialog->editor().selectOperator(index);
    dialog->sync();
    return 1;
}
std::int32_t PlayInputSmallClassTerm1(CMacro& macro, StepFields& fields) {
    return playAction<CMinorCategoryDlg>(macro,
                                         [&](SmallClassEditor& e) { e.setTerm1(fields[1]); });
}
std::int32_t PlayInputSmallClassTerm2(CMacro& macro, StepFields& fields) {
    return playAction<CMinorCategoryDlg>(macro,
                                         [&](SmallClassEditor& e) { e.setTerm2(fields[1]); });
}
std::int32_t PlayClearSmallClass(CMacro& macro, StepFields&) {
    return playAction<CMinorCategoryDlg>(macro, [](SmallClassEditor& e) { e.OnClear(); });
}
std::int32_t PlayAddSmallClass(CMacro& macro, StepFields&) {
    return playAction<CMinorCategoryDlg>(macro, [](SmallClassEditor& e) { e.OnAdd(); });
}
std::int32_t PlayEditSmallClass(CMacro& macro, StepFields&) {
    return playAction<CMinorCategoryDlg>(macro, [](SmallClassEditor& e) { e.OnOverwrite(); });
}
std::int32_t PlayUpSmallClass(CMacro& macro, StepFields& fields) {
    return playOnRow<CMinorCategoryDlg>(macro, fields, [](SmallClassEditor& e) { e.OnUp(); });
}
std::int32_t PlayDownSmallClass(CMacro& macro, StepFields& fields) {
    return playOnRow<CMinorCategoryDlg>(macro, fields, [](SmallClassEditor& e) { e.OnDown(); });
}
std::int32_t PlayDeleteSmallClass(CMacro& macro, StepFields& fields) {
    return playOnRow<CMinorCategoryDlg>(macro, fields, [](SmallClassEditor& e) { e.OnDelete(); });
}
std::int32_t PlayDispSmallClass(CMacro& macro, StepFields& fields) {
    return playOnRow<CMinorCategoryDlg>(macro, fields,
                                        [](SmallClassEditor& e) { e.OnDblclkList(); });
}
std::int32_t PlayOKSmallClassDialog(CMacro& macro, StepFields&) {
    return closeSmall(macro, true);
}
std::int32_t PlayCancelSmallClassDialog(CMacro& macro, StepFields&) {
    return closeSmall(macro, false);
}

// --- Middle and large classes (one player for both names) ---

std::int32_t PlayInputClassName(CMacro& macro, StepFields& fields) {
    return playAction<CCategoryListDlg>(macro, [&](ClassListEditor& e) { e.setName(fields[1]); });
}
std::int32_t PlaySelectClassMember(CMacro& macro, StepFields& fields) {
    CCategoryListDlg* dialog = dialogOf<CCategoryListDlg>(macro);
    if (!dialog) return 0;
    const std::int32_t index = ReadStepInt(fields[1]);
    const auto count = static_cast<std::int32_t>(dialog->editor().members().size());
    if (!macro.MacroErrorOutOfRange(index, count - 1, fields[0])) return 0;
    dialog->editor().selectMember(index);
    dialog->sync();
    return 1;
}
std::int32_t PlayClearClass(CMacro& macro, StepFields&) {
    return playAction<CCategoryListDlg>(macro, [](ClassListEditor& e) { e.OnClear(); });
}
std::int32_t PlayAddClass(CMacro& macro, StepFields&) {
    return playAction<CCategoryListDlg>(macro, [](ClassListEditor& e) { e.OnAdd(); });
}
std::int32_t PlayEditClass(CMacro& macro, StepFields&) {
    return playAction<CCategoryListDlg>(macro, [](ClassListEditor& e) { e.OnOverwrite(); });
}
std::int32_t PlayUpClass(CMacro& macro, StepFields& fields) {
    return playOnRow<CCategoryListDlg>(macro, fields, [](ClassListEditor& e) { e.OnUp(); });
}
std::int32_t PlayDownClass(CMacro& macro, StepFields& fields) {
    return playOnRow<CCategoryListDlg>(macro, fields, [](ClassListEditor& e) { e.OnDown(); });
}
std::int32_t PlayDeleteClass(CMacro& macro, StepFields& fields) {
    return playOnRow<CCategoryListDlg>(macro, fields, [](ClassListEditor& e) { e.OnDelete(); });
}
std::int32_t PlayDispClass(CMacro& macro, StepFields& fields) {
    return playOnRow<CCategoryListDlg>(macro, fields, [](ClassListEditor& e) { e.OnDblclkList(); });
}
std::int32_t PlayOKClassDialog(CMacro& macro, StepFields&) {
    return closeList(macro, true);
}
std::int32_t PlayCancelClassDialog(CMacro& macro, StepFields&) {
    return closeList(macro, false);
}
