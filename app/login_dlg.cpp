#include "app/login_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

#include "app/password_dlg.h"
#include "app/title_width.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"

CLoginDlg::CLoginDlg(QWidget* parent)
    : QDialog(parent), fileName_(new QLabel(this)), edit_(new QLineEdit(this)) {
    setWindowTitle(zbq::ui::shown("ログイン"));
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setValidator(new PasswordValidator(std::numeric_limits<std::size_t>::max(), edit_));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(zbq::ui::shown("OK(&O)"));
    buttons->button(QDialogButtonBox::Cancel)->setText(zbq::ui::shown("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(zbq::ui::shown("ファイル名 : "), fileName_);
    auto* label = new QLabel(zbq::ui::shown("パスワード(&P):"), this);
    label->setBuddy(edit_);
    form->addRow(label, edit_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    zbq::app::fitTitle(*this);
}

void CLoginDlg::SetFileName(const QString& name) {
    fileName_->setText(name);
}

QString CLoginDlg::fileName() const {
    return fileName_->text();
}

std::string CLoginDlg::password() const {
    return passwordBytes(edit_->text(), std::numeric_limits<std::size_t>::max())
        .value_or(std::string());
}

std::optional<std::string> askLoginPassword(QWidget* parent, const std::string& fileName) {
    CLoginDlg dialog(parent);
    dialog.SetFileName(QString::fromStdString(fileName));
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.password();
}
