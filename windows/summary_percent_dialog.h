// CPercentRankDlg: the summary page's "％順位値の算出" dialog. OK takes the typed percentage
// when it reads as one from 0 to 100; otherwise the reason is told and the dialog stays open.
// Run through the modal runner, so tests drive it.
#pragma once

#include <QDialog>

class CKWApp;
class QLineEdit;

namespace zbq::windows {

class CPercentRankDlg : public QDialog {
public:
    CPercentRankDlg(CKWApp& app, QWidget* parent);
    QLineEdit* percentEdit() const { return edit_; }
    double percent() const { return percent_; }
    void accept() override;

private:
    CKWApp& app_;
    QLineEdit* edit_;
    double percent_ = 0.0;
};

}  // namespace zbq::windows
