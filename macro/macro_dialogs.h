// MacroDialogs: the screen the program gives the macro object (macro_screen.h): the recording
// indicator as a floating tool window over the main window, and the name dialog, the macro menu
// and the work list run modally over it through zbq::ui::runModal. The widgets it keeps are
// guarded: a window closed with its owner reads as gone. GUI thread only.
#pragma once

#include <QPointer>

#include "macro/macro_screen.h"
#include "macro/record_cond_dlg.h"

class CMacro;
class CMacroMenuDlg;
class CWorkListDlg;

class MacroDialogs : public MacroScreen {
public:
    explicit MacroDialogs(CMacro& macro) : macro_(macro) {}

    std::unique_ptr<RecordingIndicator> showIndicator() override;
    std::optional<std::string> askMacroName(const std::string& proposed, int excluded) override;
    MacroMenuChoice openMacroMenu(int row) override;
    void openWorkList(int index) override;
    std::string openDialog() const override;

    // The indicator shown now, if any.
    CRecordCondDlg* indicator() const { return indicator_; }

private:
    QWidget* owner() const;

    CMacro& macro_;
    QPointer<CRecordCondDlg> indicator_;
    const CMacroMenuDlg* menu_ = nullptr;
    const CWorkListDlg* workList_ = nullptr;
};
