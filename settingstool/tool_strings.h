// ZBQIniViewer's string table: every text the tool shows, by its number (string_ids.h), in the
// language of the system locale. Tests choose the language with useLocale() before they build a
// window. GUI thread only.
#pragma once

#include "platform/ui/string_table.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace zbq::settings {

const ui::StringTable& strings();
// Loads the table for `locale` in place of the system locale's.
void useLocale(const QLocale& locale);

inline QString text(int id) {
    return strings().text(id);
}
inline QString text(int id, const QStringList& args) {
    return strings().format(id, args);
}

}  // namespace zbq::settings
