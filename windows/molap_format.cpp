// The aggregation window's captions, value texts, rounding, number check and filter test.
#include "windows/molap_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace zbq::windows {

namespace {

constexpr std::int32_t kFloat = 3;
constexpr std::int32_t kInteger = 2;
constexpr std::int32_t kDate = 5;
constexpr std::int32_t kTime = 7;

std::string caption(const char* japanese, ShownCaption shown) {
    const std::string bytes = cp932::literal(japanese);
    return shown ? shown(bytes) : bytes;
}

std::string printed(const char* format, auto... values) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, format, values...);
    return std::string(text, n < 0 ? 0 : std::min<std::size_t>(n, sizeof text - 1));
}

// A yyyymmdd date shown as yyyy/mm/dd; a number of another length is shown as it is, never
// cut into pieces that are not there.
std::string dateText(std::int32_t value, std::int32_t dateUnit, ShownCaption shown) {
    const std::string digits = printed("%d", value);
    switch (dateUnit) {
        case 1:
        case 2:
        case 3:
            return digits;
        case 4:
            return digits.size() == 6 ? digits.substr(0, 4) + "/" + digits.substr(4) : digits;
        case 5: {
            std::string quarter = caption(ZBQ_SHOWN("%1期"), shown);
            const std::size_t at = quarter.find("%1");
            return at == std::string::npos ? quarter : quarter.replace(at, 2, digits);
        }
        case 6:
            return caption(value == 1 ? ZBQ_SHOWN("上期") : ZBQ_SHOWN("下期"), shown);
        default:
            return digits.size() == 8
                       ? digits.substr(0, 4) + "/" + digits.substr(4, 2) + "/" + digits.substr(6)
                       : digits;
    }
}

std::string timeText(std::int32_t value) {
    const std::string digits = printed("%06d", value);
    if (digits.size() != 6) return digits;
    return digits.substr(0, 2) + ":" + digits.substr(2, 2) + ":" + digits.substr(4);
}

bool compare(auto value, auto from, auto to, std::int32_t op) {
    switch (op) {
        case 0:
            return value == from;
        case 1:
            return value != from;
        case 2:
            return value > from;
        case 3:
            return value >= from;
        case 4:
            return value < from;
        case 5:
            return value <= from;
        case 6:
            return from <= value && value <= to;
        default:
            return false;
    }
}

// From and To as numbers; false when either needed one is not a number.
bool numbers(const std::string& from, const std::string& to, std::int32_t op, double& f,
             double& t) {
    std::string a = from, b = to;
    if (!IsNumberText(a) || a.empty()) return false;
    f = std::strtod(a.c_str(), nullptr);
    t = 0;
    if (op == 6) {
        if (!IsNumberText(b) || b.empty()) return false;
        t = std::strtod(b.c_str(), nullptr);
    }
    return true;
}

}  // namespace

std::string molapDateUnitCaption(std::int32_t dateUnit, ShownCaption shown) {
    static constexpr const char* kCaptions[] = {ZBQ_SHOWN("（年）"),     ZBQ_SHOWN("（月）"),
                                                ZBQ_SHOWN("（日）"),     ZBQ_SHOWN("（年/月）"),
                                                ZBQ_SHOWN("（四半期）"), ZBQ_SHOWN("（半期）")};
    return dateUnit >= 1 && dateUnit <= 6 ? caption(kCaptions[dateUnit - 1], shown) : "";
}

std::string molapKindCaption(std::int32_t kind, ShownCaption shown) {
    static constexpr const char* kCaptions[] = {ZBQ_SHOWN("件数"), ZBQ_SHOWN("合計"),
                                                ZBQ_SHOWN("平均"), ZBQ_SHOWN("最大"),
                                                ZBQ_SHOWN("最小")};
    return kind >= 0 && kind <= 4 ? caption(kCaptions[kind], shown) : "";
}

std::string molapValueUnitCaption(std::int32_t zUnit, ShownCaption shown) {
    const std::int32_t scale = zUnit / 100, rounding = zUnit / 10 % 10;
    if (zUnit % 10 != 0 || scale < 1 || scale > 2 || rounding < 1 || rounding > 3) return "";
    static constexpr const char* kRounding[] = {ZBQ_SHOWN("(切り捨て)"), ZBQ_SHOWN("(切り上げ)"),
                                                ZBQ_SHOWN("(四捨五入)")};
    return caption(scale == 1 ? ZBQ_SHOWN("単位:千") : ZBQ_SHOWN("単位:100万"), shown) +
           caption(kRounding[rounding - 1], shown);
}

std::string molapItemCaption(const std::string& name, std::int32_t dateUnit, ShownCaption shown) {
    return name + molapDateUnitCaption(dateUnit, shown);
}

std::string molapZCaption(std::int32_t zItem, const std::string& name, std::int32_t kind,
                          std::int32_t zUnit, ShownCaption shown) {
    if (zItem < 0) return caption(ZBQ_SHOWN("件数"), shown);
    std::string text =
        name + molapDateUnitCaption(zUnit, shown) + "[" + molapKindCaption(kind, shown);
    if (zUnit >= 10) text += "/" + molapValueUnitCaption(zUnit, shown);
    return text + "]";
}

std::string FormatKeyValue(std::int32_t itemType, const MolapValue& value, std::int32_t dateUnit,
                           std::int32_t decimalsIndex, ShownCaption shown) {
    if (value.kind == MolapValue::Text) return value.text ? value.text : "";
    if (value.kind == MolapValue::None) return "";
    switch (itemType) {
        case kInteger:
            return CKWApp::FormatInteger(value.integer);
        case kFloat:
            return decimalsIndex != 0 ? CKWApp::FormatDouble(value.number, decimalsIndex)
                                      : printed("%.0f", value.number);
        case kDate:
            return dateText(value.integer, dateUnit, shown);
        case kTime:
            return timeText(value.integer);
        default:
            return "";
    }
}

double molapScaled(double value, std::int32_t zUnit) {
    if (zUnit <= 0) return value;
    const std::int32_t scale = zUnit / 100 % 10, rounding = zUnit / 10 % 10;
    const std::int64_t divisor = scale == 1 ? 1000 : scale == 2 ? 1000000 : 0;
    // A sum beyond the 64-bit range has no integer form; its thousands are far below what a
    // double holds, so it is scaled as it stands.
    if (!(std::fabs(value) < 9.2e18)) {
        if (divisor == 0 || !std::isfinite(value)) return std::trunc(value);
        return std::trunc(value / static_cast<double>(divisor));
    }
    const auto whole = static_cast<std::int64_t>(std::trunc(value));
    if (divisor == 0) return static_cast<double>(whole);
    std::int64_t result = whole / divisor;
    const std::int64_t remainder = whole % divisor;
    if (rounding == 2 && remainder > 0) ++result;
    if (rounding == 3 && remainder >= divisor / 2) ++result;
    return static_cast<double>(result);
}

std::string FormatCellValue(std::int32_t kind, std::int32_t itemType, const MolapValue& value,
                            std::int32_t zUnit, std::int32_t decimalsIndex) {
    if (value.kind == MolapValue::None) return "";
    switch (kind) {
        case -1:
        case 0:
            return CKWApp::FormatInteger(value.integer);
        case 1:
        case 2:
            return CKWApp::FormatDouble(molapScaled(value.number, zUnit), decimalsIndex);
        case 3:
        case 4:
            return FormatKeyValue(itemType, value, zUnit, decimalsIndex);
        default:
            return "";
    }
}

double RoundToDecimals(double value, std::int32_t decimalsIndex) {
    char text[400];
    const int n = decimalsIndex < 0 ? std::snprintf(text, sizeof text, "%15lf", value)
                                    : std::snprintf(text, sizeof text, "%15.*lf",
                                                    std::min(decimalsIndex, 14), value);
    return n > 0 ? std::strtod(text, nullptr) : value;
}

bool IsNumberText(std::string& text) {
    if (text.size() > 255) return false;
    std::string kept;
    for (const char c : text) {
        if (c == ',') continue;
        if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+') {
            kept += c;
            continue;
        }
        text = kept;
        return false;
    }
    text = kept;
    return true;
}

bool MatchesCondition(std::int32_t kind, std::int32_t itemType, const MolapValue& value,
                      const std::string& from, const std::string& to, std::int32_t op,
                      std::int32_t zUnit, std::int32_t decimalsIndex) {
    if (value.kind == MolapValue::None) return false;
    double f = 0, t = 0;
    switch (kind) {
        case -1:
        case 0:
            // As doubles: a From beyond every integer type still compares, cut to its whole
            // part as a count is.
            return numbers(from, to, op, f, t) &&
                   compare(static_cast<double>(value.integer), std::trunc(f), std::trunc(t), op);
        case 1:
        case 2:
            // Compared as shown: a value unit scales the value the user reads.
            return numbers(from, to, op, f, t) &&
                   compare(RoundToDecimals(molapScaled(value.number, zUnit), decimalsIndex),
                           RoundToDecimals(f, decimalsIndex), RoundToDecimals(t, decimalsIndex),
                           op);
        case 3:
        case 4:
            if (value.kind == MolapValue::Integer && itemType == kInteger)
                return numbers(from, to, op, f, t) && compare(static_cast<double>(value.integer),
                                                              std::trunc(f), std::trunc(t), op);
            if (value.kind == MolapValue::Double && itemType == kFloat)
                return numbers(from, to, op, f, t) &&
                       compare(RoundToDecimals(value.number, decimalsIndex),
                               RoundToDecimals(f, decimalsIndex), RoundToDecimals(t, decimalsIndex),
                               op);
            return compare(std::string_view(FormatKeyValue(itemType, value, zUnit, decimalsIndex)),
                           std::string_view(from), std::string_view(to), op);
        default:
            return false;
    }
}

}  // namespace zbq::windows
