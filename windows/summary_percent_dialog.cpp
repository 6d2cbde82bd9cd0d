#include "windows/summary_percent_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ckw_app.h"
#include "app/title_width.h"
#include "platform/ui/language.h"
#include "windows/summary_text.h"

namespace zbq::windows {

CPercentRankDlg::CPercentRankDlg(CKWApp& app, QWidget* parent)
    : QDialog(parent), app_(app), edit_(new QLineEdit(this)) {
    setWindowTitle(ui::shown("％順位値の算出"));
    edit_->setObjectName("percentEdit");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(ui::shown("％順位を指定してください"), this));
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(ui::shown("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPercentRankDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPercentRankDlg::reject);
    layout->addWidget(buttons);
    app::fitTitle(*this);
}

void CPercentRankDlg::accept() {
    const PercentInput input = CheckPercentText(edit_->text().toStdString());
    if (!input.percent) {
        app_.ShowInformation(input.message);
        return;
    }
    percent_ = *input.percent;
    QDialog::accept();
}

}  // namespace zbq::windows
