#include "console/up_down_edit.h"

#include <QKeyEvent>

#include <charconv>
#include <climits>
#include <system_error>

int upDownValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::size_t end = i;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end == i) return 0;
    long long value = 0;
    const auto r = std::from_chars(text.data() + i, text.data() + end, value);
    if (r.ec == std::errc::result_out_of_range || value > INT_MAX)
        return negative ? INT_MIN : INT_MAX;
    return static_cast<int>(negative ? -value : value);
}

namespace {

std::string decimal(int value) {
    char digits[16];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace

std::string upDownStepUp(std::string_view text) {
    const int n = upDownValue(text);
    return decimal(n < 0 ? 1 : n >= 100 ? 100 : n + 1);
}

std::string upDownStepDown(std::string_view text) {
    const int n = upDownValue(text);
    return decimal(n <= 0 ? 0 : n > 100 ? 99 : n - 1);
}

CUpDownEdit::CUpDownEdit(QWidget* parent) : QLineEdit(parent) {}

void CUpDownEdit::keyPressEvent(QKeyEvent* event) {
    // Only ASCII digits make a number, so UTF-8 serves as well as CP932 here.
    const std::string text = QLineEdit::text().toStdString();
    if (event->key() == Qt::Key_Up)
        setText(QString::fromStdString(upDownStepUp(text)));
    else if (event->key() == Qt::Key_Down)
        setText(QString::fromStdString(upDownStepDown(text)));
    QLineEdit::keyPressEvent(event);
}
