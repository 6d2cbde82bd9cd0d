#include "settingstool/settings_app.h"

#include "platform/core/program_paths.h"
#include "settingstool/settings_dlg.h"

#include <QApplication>
#include <QTimer>

namespace zbq::settings {

int CSettingsApp::run() {
    // The dialog runs inside the application's own event loop rather than a loop of its own, so
    // that a termination signal (QCoreApplication::quit) ends the tool even while a message box
    // is open, and so does the start-up message of a missing file.
    CSettingsDlg dialog;
    QObject::connect(&dialog, &QDialog::finished, qApp, [] { QCoreApplication::quit(); });
    QTimer::singleShot(0, &dialog, [&dialog] {
        if (!dialog.start(programDir() + "/ZBQ.ini"))
            QCoreApplication::exit(1);
        else
            dialog.show();
    });
    return QApplication::exec();
}

}  // namespace zbq::settings
