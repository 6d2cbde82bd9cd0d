// The language the programs show: Japanese, the system's own, or English.
//
// The locale decides once at start-up: English when it names a language other than Japanese
// ("en_US.UTF-8", "de_DE.UTF-8"), Japanese when it names Japanese or no language at all ("C",
// "POSIX", unset). Only what is shown follows it: macro files, step texts, data files, log lines
// and every other byte written to a file are the same in both languages.
//
// ZBQ's own texts are written in Japanese in the code and shown through shown(), which looks them
// up in the English translation (resources/i18n/ZBQ.en.ts, compiled into the program) when English
// is in force and returns them as they stand otherwise. GUI thread only.
#pragma once

#include <QLocale>
#include <QString>

#include <string_view>

class QTranslator;

namespace zbq::ui {

enum class Language { Japanese, English };

Language languageOf(const QLocale& locale);

// The language in force: Japanese until setLanguage() says otherwise.
Language language();
inline bool englishShown() {
    return language() == Language::English;
}
void setLanguage(Language language);

// Puts the locale's language in force and, for English, installs ZBQ's translation on the running
// application (which owns it). Returns the translator, or nullptr for Japanese or when the
// translation is missing from the program (the Japanese texts then show).
QTranslator* installProgramTranslation(const QLocale& locale = QLocale::system());

// A Japanese text of ZBQ's own (UTF-8) as the user sees it: its English while English is in force
// and the translation holds it, else the text itself.
QString shown(const char* japanese);
// The same where one Japanese text has two Englishes: `where` tells them apart ("text import").
QString shown(const char* japanese, const char* where);
// The same for a text held in CP932 (the captions and messages the models keep).
QString shownCp932(std::string_view japanese);
// The same for a whole text already in a QString: a message box's text, say. A text built with
// data in it is not in the translation and shows as it stands.
QString shownText(const QString& japanese);

}  // namespace zbq::ui
