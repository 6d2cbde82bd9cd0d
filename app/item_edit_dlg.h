// CItemEditDlg: the name and type of one imported item, edited from either import dialog's item
// list. The name is CP932, at most 32 bytes as typed (a character that would make it longer, or
// that CP932 cannot hold, is refused); a longer name handed in is shown and kept unless it is
// edited, and may be shortened. The type choice is the combo box's index (0 整数 ... 4 文字列),
// so it means the same in either language. Nothing is checked on OK: the import dialog checks.
// Runs through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>
#include <QValidator>

#include <cstddef>
#include <optional>
#include <string>

class QComboBox;
class QLineEdit;

// Accepts texts CP932 holds in at most the larger of the limit and the length of the text in
// the edit, so that a longer text can shrink but never grow.
class ItemNameValidator : public QValidator {
public:
    ItemNameValidator(std::size_t maxBytes, QObject* parent = nullptr)
        : QValidator(parent), maxBytes_(maxBytes), allowed_(maxBytes) {}
    State validate(QString& input, int& pos) const override;
    // The edit's text is now this long.
    void textIs(std::size_t bytes) { allowed_ = bytes > maxBytes_ ? bytes : maxBytes_; }

private:
    std::size_t maxBytes_;
    std::size_t allowed_;
};

class CItemEditDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr std::size_t kNameLimit = 32;

    CItemEditDlg(std::string name, int typeChoice, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return name_; }
    QComboBox* typeCombo() const { return type_; }

    // After OK: the name (CP932) and the type choice.
    const std::string& name() const { return resultName_; }
    int typeChoice() const { return resultType_; }

    void accept() override;

private:
    QLineEdit* name_;
    QComboBox* type_;
    std::string resultName_;
    int resultType_;
};

struct ItemEdit {
    std::string name;
    int typeChoice = 4;
};
// Runs the dialog on one item; the edit after OK, nullopt after Cancel.
std::optional<ItemEdit> editItem(QWidget* parent, const std::string& name, int typeChoice);
