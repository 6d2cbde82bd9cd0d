#include "console/save_mode_dlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"

CSaveModeDlg::CSaveModeDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ZEBRINE"));
    auto* box = new QGroupBox(this);
    auto* boxLayout = new QVBoxLayout(box);
    all_ = new QRadioButton(zbq::ui::shown("元データを保存する"), box);
    displayed_ = new QRadioButton(zbq::ui::shown("表示中の集合データだけを保存する"), box);
    auto* exclusive = new QButtonGroup(box);
    exclusive->addButton(all_);
    exclusive->addButton(displayed_);
    boxLayout->addWidget(all_);
    boxLayout->addWidget(displayed_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(zbq::ui::shown("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(buttons);
}

int CSaveModeDlg::choice() const {
    if (all_->isChecked()) return 0;
    if (displayed_->isChecked()) return 1;
    return -1;
}

std::optional<std::int32_t> askSaveScope(QWidget* parent) {
    CSaveModeDlg dialog(parent);
    if (zbq::ui::runModal(dialog) != QDialog::Accepted) return std::nullopt;
    switch (dialog.choice()) {
        case 0:
            return 1;
        case 1:
            return 2;
        default:
            return std::nullopt;
    }
}
