// CKWApp's texts and vocabulary: numbers grouped with ",", dates and times as the windows show
// them, the checks the dialogs run on typed values, and the names of item types, aggregates and
// class operators. Every result is CP932 (the Japanese captions are made once through the
// converter). Nothing here follows the locale: Qt sets LC_NUMERIC, and a German decimal comma
// must never reach a grid cell or a macro step, so numbers go through std::to_chars and
// std::from_chars only.
#include "app/ckw_app.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/kw_condition.h"
#include "engine/kw_format.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

// The exact decimal expansion of any double ends within 1074 places after the point (the
// smallest subnormal); more would only append zeros, so a silly precision cannot make us
// allocate gigabytes.
constexpr std::int32_t kMaxDecimals = 1074;

// Inserts "," into a run of digits: the first group takes (length mod 3) digits, or 3 when
// that is 0, every further group 3.
std::string groupDigits(std::string_view digits) {
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    std::size_t first = digits.size() % 3;
    if (first == 0) first = 3;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && i >= first && (i - first) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// Takes a leading "-" off, groups what lies before the first "." (all of it without one) and
// puts the rest and the sign back.
std::string groupNumberText(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t dot = std::min(text.find('.'), text.size());
    std::string out = negative ? "-" : "";
    out += groupDigits(text.substr(0, dot));
    out.append(text.substr(dot));
    return out;
}

template <typename Int>
std::string decimalText(Int value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), isDigit);
}

// Splits "a?b?c" at the first ":" or "/" found (the separator), which must occur exactly twice.
bool splitThree(std::string_view text, std::string_view parts[3]) {
    const std::size_t first = text.find_first_of(":/");
    if (first == std::string_view::npos) return false;
    const char separator = text[first];
    const std::size_t second = text.find(separator, first + 1);
    if (second == std::string_view::npos) return false;
    if (text.find(separator, second + 1) != std::string_view::npos) return false;
    parts[0] = text.substr(0, first);
    parts[1] = text.substr(first + 1, second - first - 1);
    parts[2] = text.substr(second + 1);
    return true;
}

// A month, day, hour, minute or second part: one digit, or two digits (a leading "0" allowed).
// The value is stored only when the part passes.
bool shortPart(std::string_view part, std::int32_t* value) {
    if (part.empty() || part.size() > 2 || !allDigits(part)) return false;
    std::int32_t v = 0;
    std::from_chars(part.data(), part.data() + part.size(), v);
    *value = v;
    return true;
}

bool leapYear(std::int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The date's three numbers when the text is a date the system accepts.
bool parseDate(std::string_view text, std::int32_t* year, std::int32_t* month, std::int32_t* day,
               std::string_view parts[3]) {
    if (!splitThree(text, parts)) return false;
    // Four digits, and their value four digits again: no leading zero.
    if (parts[0].size() != 4 || !allDigits(parts[0]) || parts[0][0] == '0') return false;
    std::from_chars(parts[0].data(), parts[0].data() + 4, *year);
    if (!shortPart(parts[1], month) || !shortPart(parts[2], day)) return false;
    static constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (*month < 1 || *month > 12 || *day < 1) return false;
    const std::int32_t last = kDays[*month - 1] + (*month == 2 && leapYear(*year) ? 1 : 0);
    return *day <= last;
}

bool parseTime(std::string_view text, std::int32_t* hour, std::int32_t* minute,
               std::int32_t* second, std::string_view parts[3]) {
    if (!splitThree(text, parts)) return false;
    if (!shortPart(parts[0], hour) || !shortPart(parts[1], minute) || !shortPart(parts[2], second))
        return false;
    return *hour < 24 && *minute < 60 && *second < 60;
}

// A typed date or time back to its number: the separators dropped, the leading number read
// (0 when there is none or it does not fit).
std::int32_t digitsWithout(std::string_view text, char separator) {
    std::string rest;
    for (char c : text)
        if (c != separator) rest += c;
    std::int32_t value = 0;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    return result.ec == std::errc() ? value : 0;
}

}  // namespace

// --- Numbers ---

std::string setCaption(std::int32_t number, const std::string& title, std::int32_t records) {
    const std::string caption =
        "No." + std::to_string(number) + " " + title + " / " + CKWApp::FormatInteger(records);
    return std::string(zbq::cp932::cut(caption, kSetTextBytes));
}

std::string CKWApp::FormatInteger(std::int32_t value) {
    return groupNumberText(decimalText(value));
}

std::string CKWApp::FormatInt64(std::int64_t value) {
    return groupNumberText(decimalText(value));
}

std::string CKWApp::FormatDouble(double value, std::int32_t decimals) {
    // Six decimals when none are asked for, as a plain "%f" would give.
    const std::int32_t precision = decimals < 0 ? 6 : std::min(decimals, kMaxDecimals);
    std::vector<char> text(static_cast<std::size_t>(precision) + 330);
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value,
                                   std::chars_format::fixed, precision)
                         .ptr;
    return groupNumberText(
        std::string_view(text.data(), static_cast<std::size_t>(end - text.data())));
}

// Only an eight-digit number is a date (the engine's dates run from 1000 to 9999): anything
// else is shown as the number it is, never cut into pieces that are not there.
std::string CKWApp::FormatDate(std::int32_t yyyymmdd) {
    const std::string digits = decimalText(yyyymmdd);
    if (yyyymmdd < 10000000 || yyyymmdd > 99999999) return digits;
    return digits.substr(0, 4) + "/" + digits.substr(4, 2) + "/" + digits.substr(6, 2);
}

// Times pad to six digits, so midnight reads 00:00:00; a negative value or one of more than six
// digits is shown as the number it is.
std::string CKWApp::FormatTime(std::int32_t hhmmss) {
    if (hhmmss < 0 || hhmmss > 999999) return decimalText(hhmmss);
    std::string digits = decimalText(hhmmss);
    digits.insert(0, 6 - digits.size(), '0');
    return digits.substr(0, 2) + ":" + digits.substr(2, 2) + ":" + digits.substr(4, 2);
}

std::int32_t CKWApp::DateTextToInt(std::string_view text) {
    return digitsWithout(text, '/');
}

std::int32_t CKWApp::TimeTextToInt(std::string_view text) {
    return digitsWithout(text, ':');
}

// --- Text checks ---

std::int32_t CKWApp::IsIntegerText(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    return allDigits(text) ? 1 : 0;
}

std::int32_t CKWApp::IsDecimalText(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    int dots = 0;
    for (char c : text) {
        if (c == '.')
            ++dots;
        else if (!isDigit(c))
            return 0;
    }
    return dots <= 1 ? 1 : 0;
}

std::int32_t CKWApp::IsAlphanumericText(std::string_view text) {
    for (char c : text)
        if (!isDigit(c) && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z')) return 0;
    return 1;
}

// --- Dates and times; on failure every output is emptied (0 for numbers) ---

std::int32_t CKWApp::CheckDate(std::string_view text) {
    return SplitDateNumbers(text, nullptr, nullptr, nullptr);
}

std::int32_t CKWApp::SplitDateNumbers(std::string_view text, std::int32_t* year,
                                      std::int32_t* month, std::int32_t* day) {
    std::int32_t y = 0, m = 0, d = 0;
    std::string_view parts[3];
    const bool ok = parseDate(text, &y, &m, &d, parts);
    if (year) *year = ok ? y : 0;
    if (month) *month = ok ? m : 0;
    if (day) *day = ok ? d : 0;
    return ok ? 1 : 0;
}

std::int32_t CKWApp::SplitDateText(std::string_view text, std::string* year, std::string* month,
                                   std::string* day) {
    std::int32_t y = 0, m = 0, d = 0;
    std::string_view parts[3];
    const bool ok = parseDate(text, &y, &m, &d, parts);
    if (year) *year = ok ? std::string(parts[0]) : std::string();
    if (month) *month = ok ? std::string(parts[1]) : std::string();
    if (day) *day = ok ? std::string(parts[2]) : std::string();
    return ok ? 1 : 0;
}

std::int32_t CKWApp::CheckTime(std::string_view text) {
    return SplitTimeNumbers(text, nullptr, nullptr, nullptr);
}

std::int32_t CKWApp::SplitTimeNumbers(std::string_view text, std::int32_t* hour,
                                      std::int32_t* minute, std::int32_t* second) {
    std::int32_t h = 0, m = 0, s = 0;
    std::string_view parts[3];
    const bool ok = parseTime(text, &h, &m, &s, parts);
    if (hour) *hour = ok ? h : 0;
    if (minute) *minute = ok ? m : 0;
    if (second) *second = ok ? s : 0;
    return ok ? 1 : 0;
}

std::int32_t CKWApp::SplitTimeText(std::string_view text, std::string* hour, std::string* minute,
                                   std::string* second) {
    std::int32_t h = 0, m = 0, s = 0;
    std::string_view parts[3];
    const bool ok = parseTime(text, &h, &m, &s, parts);
    if (hour) *hour = ok ? std::string(parts[0]) : std::string();
    if (minute) *minute = ok ? std::string(parts[1]) : std::string();
    if (second) *second = ok ? std::string(parts[2]) : std::string();
    return ok ? 1 : 0;
}

// --- Vocabulary ---

std::string CKWApp::GetAggregateName(std::int32_t kind) {
    // Kind 0 (plain record count) is the same aggregate as -1: neither needs a Z item.
    static const std::vector<std::string> names = {zbq::cp932::literal("件数(Ｚ指定不要)"),
                                                   zbq::cp932::literal("件数"),
                                                   zbq::cp932::literal("ﾕﾆｰｸ件数"),
                                                   zbq::cp932::literal("合計"),
                                                   zbq::cp932::literal("平均"),
                                                   zbq::cp932::literal("最大値"),
                                                   zbq::cp932::literal("最小値"),
                                                   zbq::cp932::literal("％順位(上から)")};
    if (kind == -1) kind = 0;
    if (kind < 0 || kind >= static_cast<std::int32_t>(names.size())) return {};
    return names[static_cast<std::size_t>(kind)];
}

std::string CKWApp::GetItemTypeCaption(std::int32_t itemType) {
    static const std::vector<std::string> captions = {zbq::cp932::literal(ZBQ_SHOWN("ｺｰﾄﾞ")),
                                                      zbq::cp932::literal(ZBQ_SHOWN("ﾏﾙﾁｱﾝｻｰ")),
                                                      zbq::cp932::literal(ZBQ_SHOWN("整数")),
                                                      zbq::cp932::literal(ZBQ_SHOWN("浮動小数")),
                                                      zbq::cp932::literal(ZBQ_SHOWN("文字列")),
                                                      zbq::cp932::literal(ZBQ_SHOWN("日付")),
                                                      "RecNo",
                                                      zbq::cp932::literal(ZBQ_SHOWN("時刻")),
                                                      "Group"};
    if (itemType < 0 || itemType >= static_cast<std::int32_t>(captions.size())) return {};
    return captions[static_cast<std::size_t>(itemType)];
}

std::string CKWApp::GetItemTypeKeyword(std::int32_t itemType) {
    switch (itemType) {
        case 0:
            return "Code";
        case 1:
            return "MultiAns";
        case 2:
            return "Integer";
        case 3:
            return "Float";
        case 4:
            return "String";
        case 5:
            return "Date";
        case 7:
            return "Time";
        default:
            return {};
    }
}

std::int32_t CKWApp::ItemTypeToKWType(std::int32_t itemType) {
    switch (itemType) {
        case 0:
        case 4:
            return KW_TYPE_STRING;
        case 1:
            return KW_TYPE_MULTI;
        case 2:
            return KW_TYPE_INTEGER;
        case 3:
            return KW_TYPE_FLOAT;
        case 5:
            return KW_TYPE_DATE;
        case 7:
            return KW_TYPE_TIME;
        default:
            return -1;
    }
}

// Value types: 0 Universal, 1 Integer, 2 Float, 3 Date, 4 Time, 5 String, 6 Code. Universal
// suits every item type that takes categories at all; MultiAns items take none.
std::int32_t CKWApp::IsCategoryTypeCompatible(std::int32_t itemType, std::int32_t valueType) {
    auto takes = [valueType](std::initializer_list<std::int32_t> types) {
        return std::find(types.begin(), types.end(), valueType) != types.end() ? 1 : 0;
    };
    switch (itemType) {
        case 0:
            return takes({0, 5, 6});
        case 2:
            return takes({0, 1});
        case 3:
            return takes({0, 2});
        case 4:
            return takes({0, 5});
        case 5:
            return takes({0, 3});
        case 7:
            return takes({0, 4});
        default:
            return 0;
    }
}

std::int32_t CKWApp::ToEngineClassCode(std::int32_t op, std::string_view value1) {
    switch (op) {
        case 0:
            if (value1 == "Normal") return KW_COND_NORMAL;
            if (value1 == "Error") return KW_COND_ERROR;
            if (value1 == "Brank") return KW_COND_BLANK;
            if (value1 == "Others") return KW_COND_OTHERS;
            return KW_COND_EQ;
        case 1:
            return KW_COND_NE;
        case 2:
            return KW_COND_GE;
        case 3:
            return KW_COND_GT;
        case 4:
            return KW_COND_LE;
        case 5:
            return KW_COND_LT;
        case 6:
            return KW_COND_RANGE;
        case 7:
            return KW_COND_RANGE_HIGH;
        case 8:
            return KW_COND_RANGE_LOW;
        case 9:
            return KW_COND_RANGE_OPEN;
        default:
            return -1;
    }
}
