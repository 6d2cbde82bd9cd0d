// ZBQIniViewer, the settings tool: edits the link folder and the format-printing entries of the
// ZBQ.ini beside it.
#include "platform/ui/qt_translations.h"
#include "platform/ui/termination.h"
#include "settingstool/settings_app.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Before Qt starts: a session ending meanwhile finds the tool ready to end cleanly.
    zbq::catchTerminationSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZBQIniViewer"));
    zbq::ui::installQtTranslations();
    zbq::quitOnTerminationSignals();
    return zbq::settings::CSettingsApp::run();
}
