// CFilterCondDlg: the filter condition dialog ("ﾌｨﾙﾀ条件") that adds a condition to the
// data-selection tab or edits one: the item (1011), the first operator and value (1012, 1017),
// the bound and second value of a range (1013, 1018), OK and "ｷｬﾝｾﾙ". FilterDialogModel holds
// the state; the widgets mirror it.
//
// The user opens it modally through the modal runner; a macro player opens it modeless. Its
// changes record their steps: the item, the operators, each value when its box loses the focus
// with a new text (OK and Cancel first finish the box that has it), OK and Cancel. While it fills
// itself in edit mode, and while OK stores the condition, it records nothing. User-interface
// thread only.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

#include "console/filter_dialog_model.h"

class CKWApp;
class CDataSelPage;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CFilterCondDlg : public QDialog {
    Q_OBJECT

public:
    // Mode 0 adds a condition; mode 1 edits the condition at `row`.
    CFilterCondDlg(CKWApp& app, CDataSelPage& page, std::int32_t mode, std::int32_t row,
                   QWidget* parent = nullptr);

    const FilterDialogModel& model() const { return model_; }

    // --- The user's changes, as the controls' handlers run them ---
    void OnSelchangeItem(std::int32_t comboIndex);
    void OnSelchangeCondition1(std::int32_t index);
    void OnSelchangeCondition2(std::int32_t index);
    // The code/text choice (the Japanese layout has no radio buttons for it): the item steps.
    void OnCodeStr(std::int32_t flag);
    // Puts a text into a value box as a player does (no step).
    void SetValue1(const std::string& text);
    void SetValue2(const std::string& text);
    // OK: true when the condition was stored and the dialog closed.
    bool OnOK();
    void OnCancel();

    std::int32_t itemCount() const;
    std::int32_t operatorCount() const;
    std::int32_t boundCount() const;

    QComboBox* itemCombo() const { return item_; }
    QComboBox* operatorCombo() const { return operator_; }
    QComboBox* boundCombo() const { return bound_; }
    QLineEdit* value1Edit() const { return value1_; }
    QLineEdit* value2Edit() const { return value2_; }

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
    // A dialog a macro player opened: its close box destroys it and nothing else runs.
    void setPlayerOpened() { playerOpened_ = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void display(const FilterDialogModel& model);
    void valueEntered(int box);
    void valueLeft(int box);
    void finishFocusedValue();
    QWidget* control(FilterControl id) const;

    CKWApp& app_;
    CDataSelPage& page_;
    FilterDialogModel model_;
    QComboBox* item_;
    QComboBox* operator_;
    QLineEdit* value1_;
    QComboBox* bound_;
    QLineEdit* value2_;
    QPushButton* ok_;
    QPushButton* cancel_;
    // The English layout's "Code/number" and "Text" radios; null in the Japanese layout.
    QRadioButton* codeNumber_ = nullptr;
    QRadioButton* text_ = nullptr;
    bool filling_ = false;
    bool playerOpened_ = false;
    // Per value box: the text when it got the focus, and whether it was entered since.
    std::string entered_[2];
    bool enteredFlag_[2] = {false, false};
};
