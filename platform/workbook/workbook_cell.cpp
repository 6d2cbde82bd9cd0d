// Number formats, cell texts and type proposals for the workbook import.
#include "platform/workbook/workbook_cell.h"

#include <array>
#include <charconv>
#include <cmath>

#include "platform/core/cp932.h"

namespace zbq::workbook {

namespace {

struct BuiltinFormat {
    uint32_t id;
    std::string_view code;
};

// The built-in number formats as a Japanese installation shows them; ids 14 and 22 and the
// calendar formats differ from the English ones.
constexpr std::array kBuiltinFormats{
    BuiltinFormat{0, "G/標準"},
    BuiltinFormat{1, "0"},
    BuiltinFormat{2, "0.00"},
    BuiltinFormat{3, "#,##0"},
    BuiltinFormat{4, "#,##0.00"},
    BuiltinFormat{5, "￥#,##0;￥\\-#,##0"},
    BuiltinFormat{6, "￥#,##0;[赤]￥\\-#,##0"},
    BuiltinFormat{7, "￥#,##0.00;￥\\-#,##0.00"},
    BuiltinFormat{8, "￥#,##0.00;[赤]￥\\-#,##0.00"},
    BuiltinFormat{9, "0%"},
    BuiltinFormat{10, "0.00%"},
    BuiltinFormat{11, "0.00E+00"},
    BuiltinFormat{12, "# ?/?"},
    BuiltinFormat{13, "# ?\?/?\?"},
    BuiltinFormat{14, "yyyy/m/d"},
    BuiltinFormat{15, "d-mmm-yy"},
    BuiltinFormat{16, "d-mmm"},
    BuiltinFormat{17, "mmm-yy"},
    BuiltinFormat{18, "h:mm AM/PM"},
    BuiltinFormat{19, "h:mm:ss AM/PM"},
    BuiltinFormat{20, "h:mm"},
    BuiltinFormat{21, "h:mm:ss"},
    BuiltinFormat{22, "yyyy/m/d h:mm"},
    BuiltinFormat{27, "[$-411]ge.m.d"},
    BuiltinFormat{28, "[$-411]ggge\"年\"m\"月\"d\"日\""},
    BuiltinFormat{29, "[$-411]ggge\"年\"m\"月\"d\"日\""},
    BuiltinFormat{30, "m/d/yy"},
    BuiltinFormat{31, "yyyy\"年\"m\"月\"d\"日\""},
    BuiltinFormat{32, "h\"時\"mm\"分\""},
    BuiltinFormat{33, "h\"時\"mm\"分\"ss\"秒\""},
    BuiltinFormat{34, "yyyy\"年\"m\"月\""},
    BuiltinFormat{35, "m\"月\"d\"日\""},
    BuiltinFormat{36, "[$-411]ge.m.d"},
    BuiltinFormat{37, "#,##0 ;(#,##0)"},
    BuiltinFormat{38, "#,##0 ;[Red](#,##0)"},
    BuiltinFormat{39, "#,##0.00;(#,##0.00)"},
    BuiltinFormat{40, "#,##0.00;[Red](#,##0.00)"},
    BuiltinFormat{41, "_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)"},
    BuiltinFormat{42, "_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)"},
    BuiltinFormat{43, "_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)"},
    BuiltinFormat{44, "_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)"},
    BuiltinFormat{45, "mm:ss"},
    BuiltinFormat{46, "[h]:mm:ss"},
    BuiltinFormat{47, "mmss.0"},
    BuiltinFormat{48, "##0.0E+0"},
    BuiltinFormat{49, "@"},
    BuiltinFormat{50, "[$-411]ge.m.d"},
    BuiltinFormat{51, "[$-411]ggge\"年\"m\"月\"d\"日\""},
    BuiltinFormat{52, "yyyy\"年\"m\"月\""},
    BuiltinFormat{53, "m\"月\"d\"日\""},
    BuiltinFormat{54, "[$-411]ggge\"年\"m\"月\"d\"日\""},
    BuiltinFormat{55, "yyyy\"年\"m\"月\""},
    BuiltinFormat{56, "m\"月\"d\"日\""},
    BuiltinFormat{57, "[$-411]ge.m.d"},
    BuiltinFormat{58, "[$-411]ggge\"年\"m\"月\"d\"日\""},
};

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower(text[i]) != lower(prefix[i])) return false;
    return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// Both are written for every date cell of an import: printed into a buffer, not joined from
// strings.
std::string dateText(int64_t y, unsigned m, unsigned d) {
    char buf[48];
    char* p = std::to_chars(buf, buf + 20, y).ptr;
    *p++ = '/';
    p = std::to_chars(p, p + 10, m).ptr;
    *p++ = '/';
    p = std::to_chars(p, p + 10, d).ptr;
    return std::string(buf, p);
}

std::string timeText(int64_t seconds) {
    char buf[48];
    char* p = std::to_chars(buf, buf + 20, seconds / 3600).ptr;
    for (const int64_t part : {seconds / 60 % 60, seconds % 60}) {
        *p++ = ':';
        *p++ = static_cast<char>('0' + part / 10);
        *p++ = static_cast<char>('0' + part % 10);
    }
    return std::string(buf, p);
}

bool isDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

unsigned toNumber(std::string_view digits) {
    unsigned v = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), v);
    return v;
}

// "2024-03-05" -> "2024/3/5"; nullopt when it is not of that form.
std::optional<std::string> isoDate(std::string_view s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !isDigits(s.substr(0, 4)) ||
        !isDigits(s.substr(5, 2)) || !isDigits(s.substr(8, 2)))
        return std::nullopt;
    return std::to_string(toNumber(s.substr(0, 4))) + "/" +
           std::to_string(toNumber(s.substr(5, 2))) + "/" +
           std::to_string(toNumber(s.substr(8, 2)));
}

// "07:05:09" -> "7:05:09".
std::optional<std::string> isoTime(std::string_view s) {
    if (s.size() != 8 || s[2] != ':' || s[5] != ':' || !isDigits(s.substr(0, 2)) ||
        !isDigits(s.substr(3, 2)) || !isDigits(s.substr(6, 2)))
        return std::nullopt;
    return std::to_string(toNumber(s.substr(0, 2))) + std::string(s.substr(2));
}

bool wholeInt32(double v) {
    return std::isfinite(v) && v == std::floor(v) && v >= -2147483648.0 && v <= 2147483647.0;
}

}  // namespace

std::optional<std::string_view> builtinFormatCode(uint32_t id) {
    for (const BuiltinFormat& f : kBuiltinFormats)
        if (f.id == id) return f.code;
    return std::nullopt;
}

Temporal temporalOf(std::string_view code) {
    bool date = false, time = false;
    // The last token outside m's that decides what an m means: 'h' before it or 's' after it
    // make it minutes.
    char lastToken = 0;
    std::size_t pendingMonth = 0;  // m runs waiting for the token after them
    auto settleMonths = [&](char next) {
        if (pendingMonth == 0) return;
        if (lastToken == 'h' || next == 's')
            time = true;
        else
            date = true;
        pendingMonth = 0;
    };
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        const char l = lower(c);
        if (c == '"') {
            const std::size_t end = code.find('"', i + 1);
            i = end == std::string_view::npos ? code.size() : end;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // the next character is shown as it is (or only makes room)
        } else if (c == '[') {
            const std::size_t end = code.find(']', i + 1);
            const std::string_view inside =
                code.substr(i + 1, (end == std::string_view::npos ? code.size() : end) - i - 1);
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos) {
                time = true;  // elapsed hours, minutes or seconds
                lastToken = lower(inside[0]) == 'm' ? 'h' : lower(inside[0]);
            }
            i = end == std::string_view::npos ? code.size() : end;
        } else if (startsWithNoCase(code.substr(i), "general")) {
            i += 6;
        } else if (code.substr(i).starts_with("G/")) {
            i += 1;  // "G/標準": general, not an era
        } else if (startsWithNoCase(code.substr(i), "am/pm")) {
            time = true;
            i += 4;
        } else if (startsWithNoCase(code.substr(i), "a/p")) {
            time = true;
            i += 2;
        } else if ((l == 'e') && i + 1 < code.size() &&
                   (code[i + 1] == '+' || code[i + 1] == '-')) {
            ++i;  // an exponent
        } else if (l == 'm') {
            ++pendingMonth;
        } else if (l == 'y' || l == 'd' || l == 'g' || c == 'e') {
            settleMonths(l);
            date = true;
            lastToken = l;
        } else if (l == 'h' || l == 's') {
            settleMonths(l);
            time = true;
            lastToken = l;
        }
    }
    settleMonths(0);
    if (date && time) return Temporal::DateTime;
    if (date) return Temporal::Date;
    if (time) return Temporal::Time;
    return Temporal::None;
}

std::string numberText(double value) {
    if (value == 0) return "0";  // also for -0
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, res.ptr);
}

std::optional<std::string> serialText(double serial, Temporal temporal, bool date1904) {
    if (!std::isfinite(serial) || serial < 0 || temporal == Temporal::None) return std::nullopt;
    const int64_t lastDay = date1904 ? 2957003 : 2958465;  // 9999/12/31
    // Compared as a double first: a serial from 2^63 up has no 64-bit day count.
    if (std::floor(serial) > static_cast<double>(lastDay)) return std::nullopt;
    int64_t days = static_cast<int64_t>(std::floor(serial));
    int64_t seconds = std::llround((serial - static_cast<double>(days)) * 86400.0);
    if (temporal != Temporal::Date && seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    if (days > lastDay) return std::nullopt;  // a time that rounds up past the last day
    if (temporal == Temporal::Time) return timeText(seconds);

    std::string date;
    if (!date1904 && days == 0) {
        date = "1900/1/0";
    } else if (!date1904 && days == 60) {
        date = "1900/2/29";  // the leap day the 1900 system counts though the year had none
    } else {
        const int64_t epoch =
            date1904 ? daysFromCivil(1904, 1, 1) : daysFromCivil(1899, 12, days < 60 ? 31 : 30);
        int64_t y;
        unsigned m, d;
        civilFromDays(epoch + days, y, m, d);
        date = dateText(y, m, d);
    }
    if (temporal == Temporal::Date) return date;
    return date + " " + timeText(seconds);
}

std::string isoToCellText(std::string_view iso) {
    if (auto d = isoDate(iso)) return *d;
    if (auto t = isoTime(iso)) return *t;
    if (iso.size() == 19 && iso[10] == ' ') {
        auto d = isoDate(iso.substr(0, 10));
        auto t = isoTime(iso.substr(11));
        if (d && t) return *d + " " + *t;
    }
    return std::string(iso);
}

int proposeTypeChoice(const ReadCell& sample) {
    constexpr int kInteger = 0, kFloat = 1, kDate = 2, kTime = 3, kString = 4;
    if (sample.kind != CellKind::Number) return kString;
    const int byValue = wholeInt32(sample.number) ? kInteger : kFloat;
    static const std::string dateCode = cp932::literal("yyyy/m/d");
    static const std::string timeCode = cp932::literal("h:mm:ss");
    static const std::string generalCode = cp932::literal("G/標準");
    const std::string& f = sample.formatCode;
    if (f == dateCode) return kDate;
    if (f == timeCode) return kTime;
    if (f == generalCode) return byValue;
    if (f.find('.') != std::string::npos) return kFloat;
    // Letters are looked for at character starts: a trail byte of a CP932 character may be one.
    for (std::string_view token : {"y", "m", "d"})
        if (cp932::find(f, token) != std::string::npos) return kString;
    // Any other format shows the number as it is stored: an integer item only holds it whole.
    return byValue;
}

std::string columnLetters(uint32_t column) {
    std::string out;
    for (; column > 0; column = (column - 1) / 26)
        out.insert(out.begin(), static_cast<char>('A' + (column - 1) % 26));
    return out;
}

std::string cellName(uint32_t column, uint32_t row) {
    return columnLetters(column) + std::to_string(row);
}

}  // namespace zbq::workbook
