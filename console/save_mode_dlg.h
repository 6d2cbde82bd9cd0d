// CSaveModeDlg: before a data set is written, asks what to save: "元データを保存する" (all
// records, choice 0) or "表示中の集合データだけを保存する" (the records of the displayed set,
// choice 1). Nothing is chosen when it opens; an OK without a choice saves nothing, as Cancel
// does. Run through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

class QRadioButton;

class CSaveModeDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSaveModeDlg(QWidget* parent = nullptr);

    // -1 none, 0 all records, 1 the displayed set.
    int choice() const;
    QRadioButton* allRecordsButton() const { return all_; }
    QRadioButton* displayedSetButton() const { return displayed_; }

private:
    QRadioButton* all_;
    QRadioButton* displayed_;
};

// Runs the dialog: the save scope chosen (1 all records, 2 the displayed set); nullopt after
// Cancel or an OK without a choice.
std::optional<std::int32_t> askSaveScope(QWidget* parent);
