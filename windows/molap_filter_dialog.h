// CFilterDlg: the aggregation window's "フィルター" dialog over MolapFilterModel. Five rows of an
// operator list, From and To edits and a colour list whose entries are drawn as their colour
// (18 pixels high, the selected one framed in the inverse colour). OK refuses with the model's
// message, the dialog staying open; closed with OK, conditions() is what the rows hold. Run
// through the modal runner, so tests drive it.
#pragma once

#include <QDialog>

#include <array>

#include "windows/molap_filter_model.h"

class CKWApp;
class QComboBox;
class QLineEdit;

namespace zbq::windows {

class CFilterDlg : public QDialog {
public:
    CFilterDlg(CKWApp& app, const FilterConditions& conditions, QWidget* parent);
    FilterConditions conditions() const { return model_.conditions(); }
    void accept() override;

    QComboBox* operatorList(std::int32_t k) const {
        return operators_[static_cast<std::size_t>(k)];
    }
    QComboBox* colourList(std::int32_t k) const { return colours_[static_cast<std::size_t>(k)]; }
    QLineEdit* fromEdit(std::int32_t k) const { return froms_[static_cast<std::size_t>(k)]; }
    QLineEdit* toEdit(std::int32_t k) const { return tos_[static_cast<std::size_t>(k)]; }

private:
    void readRows();
    void showEnabled(std::int32_t k);

    CKWApp& app_;
    MolapFilterModel model_;
    std::array<QComboBox*, MolapFilterModel::kRows> operators_{}, colours_{};
    std::array<QLineEdit*, MolapFilterModel::kRows> froms_{}, tos_{};
};

}  // namespace zbq::windows
