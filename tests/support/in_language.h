// Puts a language in force for one test, as start-up does for the locale, and the Japanese
// back after it. Header-only.
#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include "platform/ui/language.h"

namespace zbq::test {

class InLanguage {
public:
    explicit InLanguage(const char* locale)
        : translator_(zbq::ui::installProgramTranslation(QLocale(QString::fromLatin1(locale)))) {}
    ~InLanguage() {
        if (translator_) {
            QCoreApplication::removeTranslator(translator_);
            delete translator_;
        }
        zbq::ui::setLanguage(zbq::ui::Language::Japanese);
    }
    InLanguage(const InLanguage&) = delete;
    InLanguage& operator=(const InLanguage&) = delete;
    QTranslator* translator() const { return translator_; }

private:
    QTranslator* translator_;
};

}  // namespace zbq::test
