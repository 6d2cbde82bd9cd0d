#include "macro/macro_name_dlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "macro/macro_name.h"
#include "platform/ui/language.h"
#include "platform/ui/qt_cp932.h"

CMacroNameDlg::CMacroNameDlg(const CMacro& macro, const std::string& name, int excluded,
                             QWidget* parent)
    : QDialog(parent),
      macro_(macro),
      excluded_(excluded),
      edit_(new QLineEdit(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(zbq::ui::shown("ﾏｸﾛ名"));
    edit_->setValidator(new MacroNameValidator(edit_));
    // A proposed name the edit could not take is not put into it.
    const QString proposed = zbq::ui::fromCp932(name);
    if (macroNameBytes(proposed)) edit_->setText(proposed);
    edit_->setFocus();

    auto* cancel = new QPushButton(zbq::ui::shown("ｷｬﾝｾﾙ"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CMacroNameDlg::onOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addLayout(buttons);
}

void CMacroNameDlg::onOk() {
    const std::string name = macroNameBytes(edit_->text()).value_or(std::string());
    if (!acceptMacroName(macro_, name, excluded_)) return;
    name_ = name;
    accept();
}
