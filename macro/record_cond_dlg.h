// CRecordCondDlg: the recording indicator, "条件の記録". A small modeless tool window that floats
// above the other windows while recording lasts, without a system menu, holding the one choice
// between 固定 (values recorded as they are) and 可変 (recorded as "???", asked at play).
// GUI thread only.
#pragma once

#include <QDialog>

class QCloseEvent;
class QRadioButton;

class CRecordCondDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRecordCondDlg(QWidget* parent = nullptr);

    QRadioButton* fixedButton() const { return fixed_; }
    QRadioButton* variableButton() const { return variable_; }
    bool isVariable() const;

    // The indicator stays while recording lasts: Escape and a close request do not end it.
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QRadioButton* fixed_;
    QRadioButton* variable_;
};
