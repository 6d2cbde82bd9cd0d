// CPasswordDlg: asks for the password to be stored in a data file that is being saved. The
// password is CP932 bytes, at most 15 of them (the data file holds 16), counted in bytes: the
// edit refuses any character that would make it longer, and any character CP932 cannot hold.
// The label asks for half-width alphanumerics; only the length is enforced.
//
// The password validator is shared with the log-in dialog (login_dlg.h), which takes a password
// of any length. Dialogs run through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>
#include <QValidator>

#include <cstddef>
#include <limits>
#include <optional>
#include <string>

class QLineEdit;

// The longest password the password dialog takes, in CP932 bytes.
inline constexpr std::size_t kMaxSavePasswordBytes = 15;

// The CP932 bytes of `text` when CP932 holds it in at most `maxBytes` bytes; else nullopt.
std::optional<std::string> passwordBytes(const QString& text, std::size_t maxBytes);

// Accepts what passwordBytes() accepts; anything else is refused as it is typed.
class PasswordValidator : public QValidator {
public:
    explicit PasswordValidator(std::size_t maxBytes, QObject* parent = nullptr)
        : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString& input, int& pos) const override;

private:
    std::size_t maxBytes_;
};

class CPasswordDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPasswordDlg(QWidget* parent = nullptr);

    QLineEdit* passwordEdit() const { return edit_; }
    // The entered password, CP932.
    std::string password() const;

private:
    QLineEdit* edit_;
};

// Runs the dialog: the password after OK (empty: none), nullopt after Cancel.
std::optional<std::string> askSavePassword(QWidget* parent);
