#include "settingstool/settings_app.h"

#include "platform/core/program_paths.h"
#include "settingstool/settings_dlg.h"

#include <QApplication>
#include <QProxyStyle>
#include <QTimer>

namespace zbq::settings {

namespace {

// The tool's tooltips come up after 300 ms, sooner than the style's own delay.
class ToolStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return 300;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

int CSettingsApp::run() {
    // The dialog runs inside the application's own event loop rather than a loop of its own, so
    // that a termination signal (QCoreApplication::quit) ends the tool even while a message box
    // is open, and so does the start-up message of a missing file.
    QApplication::setStyle(new ToolStyle);  // the application takes ownership
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
