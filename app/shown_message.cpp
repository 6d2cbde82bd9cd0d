#include "app/shown_message.h"

#include <QString>

#include <vector>

#include "platform/ui/language.h"

namespace zbq::app {

std::string shownMessage(std::string_view japanese,
                         std::initializer_list<std::string_view> values) {
    const QString text = zbq::ui::shownText(
        QString::fromUtf8(japanese.data(), static_cast<qsizetype>(japanese.size())));
    const std::vector<std::string_view> filling(values);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 1 < text.size() && text.at(i + 1) >= QLatin1Char('1') &&
            text.at(i + 1) <= QLatin1Char('9')) {
            const auto place = static_cast<std::size_t>(text.at(i + 1).unicode() - '1');
            if (place < filling.size()) {
                out += QString::fromUtf8(filling[place].data(),
                                         static_cast<qsizetype>(filling[place].size()));
                ++i;
                continue;
            }
        }
        out += c;
    }
    const QByteArray utf8 = out.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace zbq::app
