#include "settingstool/tool_strings.h"

#include <optional>

namespace zbq::settings {

namespace {

std::optional<ui::StringTable>& table() {
    static std::optional<ui::StringTable> loaded;
    return loaded;
}

}  // namespace

const ui::StringTable& strings() {
    if (!table()) table() = ui::StringTable::load(QStringLiteral("ZBQIniViewer"));
    return *table();
}

void useLocale(const QLocale& locale) {
    table() = ui::StringTable::load(QStringLiteral("ZBQIniViewer"), locale);
}

}  // namespace zbq::settings
