#include "platform/ui/qt_cp932.h"

#include "platform/core/cp932.h"

namespace zbq::ui {

QString fromCp932(std::string_view cp932) {
    const std::string utf8 = cp932::toUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> toCp932(const QString& text) {
    // toUtf8() would turn a lone surrogate into '?', a character the user never typed.
    if (!text.isValidUtf16()) return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    return cp932::fromUtf8(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace zbq::ui
