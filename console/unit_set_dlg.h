// CUnitSetDlg: "単位の設定", the unit (1 "1,000", 2 "100万", 3 "10億"; 0 none) and the rounding
// (1 "切り捨て", 2 "切り上げ", 3 "四捨五入"; 0 none) of an aggregated value. The "10億" button
// is never shown, so the user picks between "1,000" and "100万"; a unit of 3 handed in stays
// checked behind it and comes back unchanged. Without a unit the dialog opens on "1,000" and
// "切り捨て". After OK the checked buttons are the result; a group with none checked keeps its
// value. Run through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>

class QRadioButton;

struct UnitSetting {
    int unit = 0;
    int rounding = 0;
    bool operator==(const UnitSetting&) const = default;
};

// The buttons checked on opening (0: none in that group).
UnitSetting unitButtonsOnOpening(const UnitSetting& current);

class CUnitSetDlg : public QDialog {
    Q_OBJECT

public:
    explicit CUnitSetDlg(const UnitSetting& current, QWidget* parent = nullptr);

    // The setting: what was handed in, then what OK read back.
    UnitSetting setting() const { return setting_; }
    // 1 to 3, as the groups number them.
    QRadioButton* unitButton(int unit) const { return units_[unit - 1]; }
    QRadioButton* roundingButton(int rounding) const { return roundings_[rounding - 1]; }

    void accept() override;

private:
    UnitSetting setting_;
    QRadioButton* units_[3];
    QRadioButton* roundings_[3];
};
