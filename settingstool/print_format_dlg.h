// CPrintFormatDlg: the dialog that adds a format-printing entry or edits one. The number comes
// from a list of the free numbers (and, when editing, the entry's own), the menu name from a
// comma-refusing field, the macro file only from the file chooser. OK checks that name and file
// are there and that ZBQ.ini can hold them, asks to confirm, and leaves the entry in entry().
//
// It never touches the list or the file; the caller applies entry() after an accepted run.
#pragma once

#include "settingstool/print_format_table.h"

#include <QDialog>

#include <set>
#include <string>

class QComboBox;
class QLineEdit;

namespace zbq::settings {

class CNoCommaEdit;

class CPrintFormatDlg : public QDialog {
    Q_OBJECT

public:
    // Add mode: the smallest free number preselected.
    CPrintFormatDlg(const std::set<int>& used, QWidget* parent = nullptr);
    // Edit mode for the entry numbered `number`; texts in CP932.
    CPrintFormatDlg(const std::set<int>& used, int number, const std::string& menuName,
                    const std::string& macroFile, QWidget* parent = nullptr);

    bool isEditMode() const { return editMode_; }
    // The entry as OK accepted it: the number as "%d", texts in CP932.
    const PrintFormatRow& entry() const { return entry_; }

    // The Browse button: the file chooser; only the chosen file's name is kept.
    void browse();
    // The OK button.
    void accept() override;

private:
    void build(const std::set<int>& used, std::optional<int> own);

    bool editMode_;
    int ownNumber_ = 0;
    std::string macroFile_;  // CP932, as the field shows it
    PrintFormatRow entry_;
    QComboBox* number_ = nullptr;
    CNoCommaEdit* menuName_ = nullptr;
    QLineEdit* macroFileField_ = nullptr;
};

}  // namespace zbq::settings
