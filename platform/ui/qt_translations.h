// Qt's own texts (the standard buttons Yes, No, OK and Cancel, the file and folder choosers) in
// the language our texts are shown in (language.h): Japanese unless the locale names another
// language, so that a dialog never mixes two languages; in English Qt's texts stay as they are.
//
// Call on the GUI thread once the QApplication exists. The translations are those Qt ships in
// its translations folder (Debian's qt6-translations-l10n); when they are not installed nothing
// changes and Qt's English texts show.
#pragma once

#include <QLocale>

class QTranslator;

namespace zbq::ui {

// Installs the translator on the running application, which owns it; nullptr when the locale
// needs none or Qt's files for it are missing.
QTranslator* installQtTranslations(const QLocale& locale = QLocale::system());

}  // namespace zbq::ui
