// Where CP932 text meets a widget: the one pair of converters between the CP932 bytes the models
// hold and the QStrings the widgets show. Built on platform/core/cp932.h and sharing its policy:
// decoding never cuts a text short (an invalid byte becomes U+FFFD); encoding a character CP932
// lacks fails, and the caller tells the user instead of dropping it. Thread-safe.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace zbq::ui {

QString fromCp932(std::string_view cp932);

// std::nullopt when `text` holds a character that CP932 cannot represent.
std::optional<std::string> toCp932(const QString& text);

}  // namespace zbq::ui
