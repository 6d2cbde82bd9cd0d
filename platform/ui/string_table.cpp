#include "platform/ui/string_table.h"

#include "platform/ui/language.h"
#include "platform/ui/prompts.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>

namespace zbq::ui {

StringTable StringTable::load(const QString& name, const QLocale& locale) {
    StringTable table;
    QFile file(QStringLiteral(":/strings/%1.%2.json").arg(name, languageOf(locale)));
    if (file.open(QIODevice::ReadOnly)) parse(file.readAll(), table);
    table.language_ = languageOf(locale);
    return table;
}

QString StringTable::languageOf(const QLocale& locale) {
    return zbq::ui::languageOf(locale) == Language::Japanese ? QStringLiteral("ja")
                                                              : QStringLiteral("en");
}

bool StringTable::parse(const QByteArray& json, StringTable& out) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return false;
    QHash<int, QString> texts;
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QByteArray key = it.key().toLatin1();
        int id = 0;
        auto [end, ec] = std::from_chars(key.constData(), key.constData() + key.size(), id);
        if (ec != std::errc() || end != key.constData() + key.size() || key.isEmpty() ||
            !it.value().isString())
            return false;
        texts.insert(id, it.value().toString());
    }
    out.texts_ = std::move(texts);
    return true;
}

QString StringTable::text(int id) const {
    auto it = texts_.constFind(id);
    if (it != texts_.constEnd()) return *it;
    prompts().message(nullptr, QStringLiteral("Error Loading String: IDS_STRING%1").arg(id),
                      QString(), Icon::Exclamation);
    return QString();
}

QString StringTable::format(int id, const QStringList& args) const {
    return substitute(text(id), args);
}

QString substitute(const QString& pattern, const QStringList& args) {
    QString out;
    out.reserve(pattern.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c != u'%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const QChar conversion = pattern[i + 1];
        if (conversion == u'%') {
            out += u'%';
            ++i;
        } else if ((conversion == u's' || conversion == u'd') && next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace zbq::ui
