// Qt's own translations.
#include "platform/ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/ui/string_table.h"

namespace zbq::ui {

QTranslator* installQtTranslations(const QLocale& locale) {
    auto* app = QCoreApplication::instance();
    if (!app || StringTable::languageOf(locale) != QStringLiteral("ja")) return nullptr;
    auto* translator = new QTranslator(app);
    // "qtbase" holds the message boxes' buttons and the file dialogs.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace zbq::ui
