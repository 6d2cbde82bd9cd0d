#include "tests/settingstool/settings_fixture.h"

#include "platform/core/cp932.h"
#include "settingstool/tool_strings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace zbq::settings::test {

void typeText(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

std::string sjis(std::string_view utf8) {
    return cp932::literal(utf8);
}

std::string iniBytes(std::initializer_list<std::string_view> lines) {
    std::string bytes;
    for (std::string_view line : lines) {
        bytes += sjis(line);
        bytes += "\r\n";
    }
    return bytes;
}

ToolFolder::ToolFolder(const std::string& ini, QLocale language) {
    zbq::test::writeFile(iniPath(), ini);
    ::setenv("ZBQ_PROGRAM_DIR", dir.path().c_str(), 1);
    useLocale(language);
}

ToolFolder::~ToolFolder() {
    ::unsetenv("ZBQ_PROGRAM_DIR");
}

}  // namespace zbq::settings::test
