// Field texts to values: integers, floats, dates and times.
#include "engine/kw_create_values.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the parts of a float text lie: [0, mantissaEnd) sign and mantissa, then the exponent.
struct FloatShape {
    bool ok = false;
    std::size_t mantissaEnd = 0;
    std::size_t numberEnd = 0;   // end of what is converted: a digitless exponent is left out
    std::int64_t exponent = 0;   // saturated
    std::int64_t leadPower = 0;  // decimal power of the first significant mantissa digit
    bool mantissaIsZero = true;
};

// Checks the grammar [sign] (digits [. [digits]] | . digits) [(e|E) [sign] [digits]].
FloatShape shapeOf(std::string_view t) {
    FloatShape s;
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t intDigits = 0, fracDigits = 0;
    std::int64_t firstNonZero = -1;  // index among all mantissa digits
    std::int64_t digitIndex = 0;
    for (; i < t.size() && isDigit(t[i]); ++i, ++intDigits, ++digitIndex) {
        if (firstNonZero < 0 && t[i] != '0') firstNonZero = digitIndex;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        for (; i < t.size() && isDigit(t[i]); ++i, ++fracDigits, ++digitIndex) {
            if (firstNonZero < 0 && t[i] != '0') firstNonZero = digitIndex;
        }
    }
    if (intDigits + fracDigits == 0) return s;
    s.mantissaEnd = i;
    s.numberEnd = i;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) negative = t[j++] == '-';
        std::int64_t e = 0;
        const std::size_t digitsFrom = j;
        for (; j < t.size() && isDigit(t[j]); ++j) {
            if (e < 1'000'000'000) e = e * 10 + (t[j] - '0');
        }
        if (j != t.size()) return s;  // "1e5.5": nothing may follow the exponent
        if (j > digitsFrom) {
            s.numberEnd = j;
            s.exponent = negative ? -e : e;
        }
    } else if (i != t.size()) {
        return s;
    }
    s.ok = true;
    s.mantissaIsZero = firstNonZero < 0;
    if (!s.mantissaIsZero) s.leadPower = static_cast<std::int64_t>(intDigits) - 1 - firstNonZero;
    return s;
}

// The leading decimal number of a date or time part; large values saturate (and then fail the
// range checks of the callers).
std::int32_t leadingNumber(std::string_view part) {
    std::int32_t n = 0;
    for (char c : part) {
        if (!isDigit(c)) break;
        if (n < 100'000'000) n = n * 10 + (c - '0');
    }
    return n;
}

// Splits at exactly two occurrences of `sep`; false when there are not exactly two.
bool threeParts(std::string_view text, char sep, std::string_view (&parts)[3]) {
    if (text.size() > 256) return false;
    const std::size_t a = text.find(sep);
    if (a == std::string_view::npos) return false;
    const std::size_t b = text.find(sep, a + 1);
    if (b == std::string_view::npos || text.find(sep, b + 1) != std::string_view::npos) {
        return false;
    }
    parts[0] = text.substr(0, a);
    parts[1] = text.substr(a + 1, b - a - 1);
    parts[2] = text.substr(b + 1);
    return true;
}

}  // namespace

int CheckIntText(std::string_view text) {
    std::int32_t v;
    return ReadIntText(text, v) ? 0 : -1;
}

bool ReadIntText(std::string_view text, std::int32_t& value) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isDigit(text[i]) && !(text[i] == '-' && i == 0)) return false;
    }
    if (text == "-") {
        value = 0;
        return true;
    }
    std::int64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    if (v < -2147483647 || v > 2147483647) return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

int CheckDoubleText(std::string_view text) {
    bool point = false, exponent = false;
    bool mantissaStarted = false;  // a digit or sign of the mantissa seen
    bool afterExponentLetter = false;
    for (char c : text) {
        if (isDigit(c)) {
            mantissaStarted = true;
            afterExponentLetter = false;
        } else if (c == '.') {
            if (point) return -1;
            point = true;
            afterExponentLetter = false;
        } else if (c == 'e' || c == 'E') {
            if (exponent) return -1;
            exponent = true;
            afterExponentLetter = true;
        } else if (c == '+' || c == '-') {
            if (afterExponentLetter) {
                afterExponentLetter = false;
            } else if (!exponent && !mantissaStarted) {
                mantissaStarted = true;
            } else {
                return -1;
            }
        } else {
            return -1;
        }
    }
    return 0;
}

bool ReadDoubleText(std::string_view text, double& value) {
    if (CheckDoubleText(text) != 0) return false;
    if (text == "-") {
        value = 0.0;
        return true;
    }
    const FloatShape s = shapeOf(text);
    if (!s.ok) return false;
    // from_chars takes no leading '+'.
    const std::size_t from = text[0] == '+' ? 1 : 0;
    const char* first = text.data() + from;
    const char* last = text.data() + s.numberEnd;
    double v = 0.0;
    const auto r = std::from_chars(first, last, v);
    if (r.ec == std::errc::result_out_of_range) {
        // Either beyond the largest double (an error) or below the smallest (zero).
        if (s.mantissaIsZero || s.leadPower + s.exponent < 0) {
            value = text[0] == '-' ? -0.0 : 0.0;
            return true;
        }
        return false;
    }
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v)) return false;
    value = v;
    return true;
}

std::int32_t ParseDate(std::string_view text) {
    std::string_view parts[3];
    if (!threeParts(text, '/', parts)) return -1;
    const std::int32_t y = leadingNumber(parts[0]);
    const std::int32_t m = leadingNumber(parts[1]);
    const std::int32_t d = leadingNumber(parts[2]);
    if (y < 1000 || y > 9999 || m < 1 || m > 12 || d < 1) return -1;
    static constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    const std::int32_t days = kDays[m - 1] + (m == 2 && leap ? 1 : 0);
    if (d > days) return -1;
    return y * 10000 + m * 100 + d;
}

std::int32_t ParseTime(std::string_view text) {
    std::string_view parts[3];
    if (!threeParts(text, ':', parts)) return -1;
    const std::int32_t h = leadingNumber(parts[0]);
    const std::int32_t m = leadingNumber(parts[1]);
    const std::int32_t s = leadingNumber(parts[2]);
    if (h > 23 || m > 59 || s > 59) return -1;
    return h * 10000 + m * 100 + s;
}
