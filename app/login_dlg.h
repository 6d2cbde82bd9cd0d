// CLoginDlg: asks for the password of a data file that carries one, before the file is opened.
// It shows the file's name (without folder) and takes a password of any length that CP932 can
// hold; opening the file decides whether it is right (three attempts, ckw_app_open.cpp).
// Runs through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;

class CLoginDlg : public QDialog {
    Q_OBJECT

public:
    explicit CLoginDlg(QWidget* parent = nullptr);

    void SetFileName(const QString& name);
    QString fileName() const;
    QLineEdit* passwordEdit() const { return edit_; }
    // The entered password, CP932.
    std::string password() const;

private:
    QLabel* fileName_;
    QLineEdit* edit_;
};

// Runs the dialog for the file `fileName` (UTF-8): the password after OK, nullopt after Cancel.
std::optional<std::string> askLoginPassword(QWidget* parent, const std::string& fileName);
