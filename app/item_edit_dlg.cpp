#include "app/item_edit_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/title_width.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/qt_cp932.h"

QValidator::State ItemNameValidator::validate(QString& input, int&) const {
    const std::optional<std::string> bytes = zbq::ui::toCp932(input);
    return bytes && bytes->size() <= allowed_ ? Acceptable : Invalid;
}

CItemEditDlg::CItemEditDlg(std::string name, int typeChoice, QWidget* parent)
    : QDialog(parent),
      name_(new QLineEdit(this)),
      type_(new QComboBox(this)),
      resultName_(std::move(name)),
      resultType_(typeChoice) {
    setWindowTitle(zbq::ui::shown("項目編集"));
    // In the order of the type choice, in either language: the entry's index is the choice.
    const QStringList types = {zbq::ui::shown("整数"), zbq::ui::shown("浮動小数"),
                               zbq::ui::shown("日付"), zbq::ui::shown("時刻"),
                               zbq::ui::shown("文字列")};
    type_->addItems(types);
    type_->setCurrentIndex(typeChoice >= 0 && typeChoice < types.size() ? typeChoice : -1);
    name_->setText(zbq::ui::fromCp932(resultName_));
    auto* validator = new ItemNameValidator(kNameLimit, name_);
    validator->textIs(resultName_.size());
    name_->setValidator(validator);
    connect(name_, &QLineEdit::textChanged, validator, [validator](const QString& text) {
        validator->textIs(zbq::ui::toCp932(text).value_or(std::string()).size());
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(zbq::ui::shown("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(zbq::ui::shown("名前　："), name_);
    form->addRow(zbq::ui::shown("型　："), type_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    zbq::app::fitTitle(*this);
    name_->setFocus();
}

void CItemEditDlg::accept() {
    // The validator lets nothing CP932 lacks in; the text stays the handed-in one otherwise.
    if (std::optional<std::string> bytes = zbq::ui::toCp932(name_->text()))
        resultName_ = std::move(*bytes);
    resultType_ = type_->currentIndex();
    QDialog::accept();
}

std::optional<ItemEdit> editItem(QWidget* parent, const std::string& name, int typeChoice) {
    CItemEditDlg dialog(name, typeChoice, parent);
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return ItemEdit{dialog.name(), dialog.typeChoice()};
}
