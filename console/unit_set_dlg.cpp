#include "console/unit_set_dlg.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

int inGroup(int value) {
    return value >= 1 && value <= 3 ? value : 0;
}

// The index (1 to 3) of the checked button; 0 when none is.
int checkedOf(QRadioButton* const (&buttons)[3]) {
    for (int i = 0; i < 3; ++i)
        if (buttons[i]->isChecked()) return i + 1;
    return 0;
}

QGroupBox* group(QWidget* parent, const char* title, const char* const (&captions)[3],
                 QRadioButton* (&buttons)[3]) {
    auto* box = new QGroupBox(zbq::ui::shown(title), parent);
    auto* layout = new QVBoxLayout(box);
    auto* exclusive = new QButtonGroup(box);
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QRadioButton(zbq::ui::shown(captions[i]), box);
        exclusive->addButton(buttons[i]);
        layout->addWidget(buttons[i]);
    }
    return box;
}

}  // namespace

UnitSetting unitButtonsOnOpening(const UnitSetting& current) {
    if (current.unit <= 0) return {1, 1};
    return {inGroup(current.unit), inGroup(current.rounding)};
}

CUnitSetDlg::CUnitSetDlg(const UnitSetting& current, QWidget* parent)
    : QDialog(parent), setting_(current) {
    setWindowTitle(zbq::ui::shown("単位の設定"));
    static const char* const unitCaptions[3] = {"1,000", ZBQ_SHOWN("100万"), ZBQ_SHOWN("10億")};
    static const char* const roundingCaptions[3] = {ZBQ_SHOWN("切り捨て"), ZBQ_SHOWN("切り上げ"),
                                                    ZBQ_SHOWN("四捨五入")};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group(this, ZBQ_SHOWN("単位"), unitCaptions, units_));
    layout->addWidget(group(this, ZBQ_SHOWN("端数の処理"), roundingCaptions, roundings_));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(zbq::ui::shown("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // Units of a thousand million are not offered any more; one handed in is kept, unseen.
    units_[2]->hide();
    const UnitSetting checked = unitButtonsOnOpening(current);
    if (checked.unit) units_[checked.unit - 1]->setChecked(true);
    if (checked.rounding) roundings_[checked.rounding - 1]->setChecked(true);
}

void CUnitSetDlg::accept() {
    if (const int unit = checkedOf(units_)) setting_.unit = unit;
    if (const int rounding = checkedOf(roundings_)) setting_.rounding = rounding;
    QDialog::accept();
}
