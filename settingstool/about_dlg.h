// CAboutDlg: the tool's icon, name and version.
#pragma once

#include <QDialog>

namespace zbq::settings {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace zbq::settings
