// Qt's own translations.
#include "platform/ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/ui/language.h"

namespace zbq::ui {

QTranslator* installQtTranslations(const QLocale& locale) {
    auto* app = QCoreApplication::instance();
    if (!app || languageOf(locale) != Language::Japanese) return nullptr;
    auto* translator = new QTranslator(app);
    // "qtbase" holds the message boxes' buttons and the file dialogs; a locale naming no
    // language shows Japanese, so Qt's Japanese is asked for by name.
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace zbq::ui
