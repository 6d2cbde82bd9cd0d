// The language in force and ZBQ's translation.
#include "platform/ui/language.h"

#include <QCoreApplication>
#include <QTranslator>

#include "platform/ui/qt_cp932.h"

namespace zbq::ui {

namespace {

// One context for the whole program: a Japanese text means the same wherever it is shown.
constexpr const char* kContext = "ZBQ";

Language& current() {
    static Language language = Language::Japanese;
    return language;
}

}  // namespace

Language languageOf(const QLocale& locale) {
    const QLocale::Language named = locale.language();
    // QLocale::C stands for "C", "POSIX" and an unset locale alike.
    if (named == QLocale::Japanese || named == QLocale::C || named == QLocale::AnyLanguage)
        return Language::Japanese;
    return Language::English;
}

Language language() {
    return current();
}

void setLanguage(Language language) {
    current() = language;
}

QTranslator* installProgramTranslation(const QLocale& locale) {
    setLanguage(languageOf(locale));
    auto* app = QCoreApplication::instance();
    if (!app || language() != Language::English) return nullptr;
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral(":/i18n/ZBQ.en.qm")) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

QString shown(const char* japanese) {
    if (language() == Language::Japanese) return QString::fromUtf8(japanese);
    return QCoreApplication::translate(kContext, japanese);
}

QString shown(const char* japanese, const char* where) {
    if (language() == Language::Japanese) return QString::fromUtf8(japanese);
    return QCoreApplication::translate(kContext, japanese, where);
}

QString shownCp932(std::string_view japanese) {
    return shownText(fromCp932(japanese));
}

QString shownText(const QString& japanese) {
    if (language() == Language::Japanese || japanese.isEmpty()) return japanese;
    const QByteArray utf8 = japanese.toUtf8();
    return QCoreApplication::translate(kContext, utf8.constData());
}

}  // namespace zbq::ui
