// CMacroNameDlg: "ﾏｸﾛ名", the macro name question of Stop Recording and of the macro menu's
// rename. The edit takes a name of at most 64 CP932 bytes (macro_name.h); OK refuses an empty
// name silently and another macro's name with its message, and the dialog stays open.
// Runs through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>

#include <string>

class CMacro;
class QLineEdit;
class QPushButton;

class CMacroNameDlg : public QDialog {
    Q_OBJECT

public:
    // `name` (CP932) is proposed; the macro at `excluded` (-1 none) may keep its own name.
    CMacroNameDlg(const CMacro& macro, const std::string& name, int excluded,
                  QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    // The accepted name, CP932.
    const std::string& name() const { return name_; }

private:
    void onOk();

    const CMacro& macro_;
    int excluded_;
    std::string name_;
    QLineEdit* edit_;
    QPushButton* ok_;
};
