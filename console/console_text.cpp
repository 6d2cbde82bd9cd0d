#include "console/console_text.h"

#include <QFontDatabase>

#include "platform/ui/qt_cp932.h"

QString consoleText(std::string_view cp932) {
    QString text = zbq::ui::fromCp932(cp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QFont consolePaneFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}
