#include "app/password_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/title_width.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/qt_cp932.h"

std::optional<std::string> passwordBytes(const QString& text, std::size_t maxBytes) {
    std::optional<std::string> bytes = zbq::ui::toCp932(text);
    if (!bytes || bytes->size() > maxBytes) return std::nullopt;
    return bytes;
}

QValidator::State PasswordValidator::validate(QString& input, int&) const {
    return passwordBytes(input, maxBytes_) ? Acceptable : Invalid;
}

CPasswordDlg::CPasswordDlg(QWidget* parent) : QDialog(parent), edit_(new QLineEdit(this)) {
    setWindowTitle(zbq::ui::shown("パスワード入力"));
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setValidator(new PasswordValidator(kMaxSavePasswordBytes, edit_));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(zbq::ui::shown("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(zbq::ui::shown("入力は半角英数１５文字以内で"), this));
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    zbq::app::fitTitle(*this);
}

std::string CPasswordDlg::password() const {
    // The validator lets nothing else in; a text set around it is cut rather than trusted.
    return passwordBytes(edit_->text(), kMaxSavePasswordBytes).value_or(std::string());
}

std::optional<std::string> askSavePassword(QWidget* parent) {
    CPasswordDlg dialog(parent);
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.password();
}
