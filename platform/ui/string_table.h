// String tables: every user text of a program, looked up by its number, in Japanese or English.
//
// A table is a JSON object of number -> text, one file per program and language, compiled in as
// the Qt resource ":/strings/<name>.<language>.json" (resources/strings/FORMAT.md). The locale
// chooses the language as language.h says: Japanese for a Japanese locale or none, English for
// any other.
//
// A loaded table is immutable and may be read from any thread; text() of a missing number reports
// through prompts() and so belongs to the GUI thread.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace zbq::ui {

class StringTable {
public:
    StringTable() = default;

    // The table `name` for the locale's language; an empty table when the resource is missing or
    // malformed (every lookup then reports the missing string).
    static StringTable load(const QString& name, const QLocale& locale = QLocale::system());
    // "ja" or "en".
    static QString languageOf(const QLocale& locale);
    // Parses a table; false when `json` is not an object of decimal numbers to strings.
    static bool parse(const QByteArray& json, StringTable& out);

    const QString& language() const { return language_; }
    bool contains(int id) const { return texts_.contains(id); }
    int size() const { return static_cast<int>(texts_.size()); }

    // The text of `id`. A missing number shows "Error Loading String: IDS_STRING<id>" first and
    // reads as the empty text.
    QString text(int id) const;
    // text(id) with each "%s" or "%d" replaced by the next argument in turn ("%%" is a percent
    // sign; a placeholder without an argument stays as it is).
    QString format(int id, const QStringList& args) const;

private:
    QHash<int, QString> texts_;
    QString language_;
};

// The printf-style substitution of StringTable::format(), for texts from elsewhere.
QString substitute(const QString& pattern, const QStringList& args);

}  // namespace zbq::ui
