// ZBQ, the analysis program: start-up. The main frame grows here as the application core lands.
#include <QApplication>
#include <QMainWindow>

#include "platform/ui/qt_translations.h"
#include "platform/ui/termination.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("ZBQ");
    zbq::ui::installQtTranslations();
    zbq::quitOnTerminationSignals();

    QMainWindow frame;
    frame.setWindowTitle("ZEBRINE");
    frame.resize(1024, 720);
    frame.show();
    return app.exec();
}
