// StepBuilder: the one way recorders write a step's fields.
#include "app/macro_port.h"

#include <charconv>

StepBuilder& StepBuilder::number(std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    step_ += ',';
    step_.append(digits, end);
    return *this;
}

StepBuilder& StepBuilder::text(std::string_view value) {
    step_ += ",\"";
    for (char c : value) {
        if (c == '"') step_ += '"';
        step_ += c;
    }
    step_ += '"';
    return *this;
}
