#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "macro/macro_dialogs.h"

#include "macro/cmacro.h"
#include "macro/macro_menu_dlg.h"
#include "macro/macro_name_dlg.h"
#include "macro/work_list_dlg.h"
#include "platform/ui/modal_runner.h"

namespace {

class IndicatorWindow : public RecordingIndicator {
public:
    explicit IndicatorWindow(CRecordCondDlg* window) : window_(window) {}
    ~IndicatorWindow() override { delete window_.data(); }
    bool isVariable() const override { return window_ && window_->isVariable(); }

private:
    QPointer<CRecordCondDlg> window_;
};

// Forgets the open dialog however its run ends.
template <typename T>
class OpenWhile {
public:
    OpenWhile(const T*& slot, const T* dialog) : slot_(slot) { slot_ = dialog; }
    ~OpenWhile() { slot_ = nullptr; }
    OpenWhile(const OpenWhile&) = delete;
    OpenWhile& operator=(const OpenWhile&) = delete;

private:
    const T*& slot_;
};

}  // namespace

QWidget* MacroDialogs::owner() const {
    return macro_.App().windows().mainWindow();
}

std::unique_ptr<RecordingIndicator> MacroDialogs::showIndicator() {
    auto* window = new CRecordCondDlg(owner());
    window->show();
    window->raise();
    indicator_ = window;
    return std::make_unique<IndicatorWindow>(window);
}

std::optional<std::string> MacroDialogs::askMacroName(const std::string& proposed, int excluded) {
    CMacroNameDlg dialog(macro_, proposed, excluded, owner());
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.name();
}

MacroMenuChoice MacroDialogs::openMacroMenu(int row) {
    CMacroMenuDlg dialog(macro_, row, owner());
    const OpenWhile<CMacroMenuDlg> open(menu_, &dialog);
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return {};
    return dialog.model().choice();
}

void MacroDialogs::openWorkList(int index) {
    CWorkListDlg dialog(macro_, index, owner());
    const OpenWhile<CWorkListDlg> open(workList_, &dialog);
    zbq::ui::runModal(dialog);
}

std::string MacroDialogs::openDialog() const {
    if (workList_) return "work list: step " + std::to_string(workList_->model().current());
    if (menu_) return "macro menu: row " + std::to_string(menu_->model().selected());
    return {};
}
