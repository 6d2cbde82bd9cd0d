#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/condition_list.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "app/struct_def.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

using namespace item_type;

// The search language quotes a text between these marks and has no escape inside them.
constexpr std::string_view kOpenText = "%\"";
constexpr std::string_view kCloseText = "\"%";

const char* const kListOperators[] = {"=", "!", ">", ">=", "<", "<="};
const char* const kEngineOperators[] = {"=", "!=", ">", ">=", "<", "<=", ">", ">="};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::int32_t typeOf(const std::vector<std::int32_t>& types, std::int32_t item) {
    if (item < 0 || static_cast<std::size_t>(item) >= types.size()) return -1;
    return types[static_cast<std::size_t>(item)];
}

// "=" and "!=" for the equality operators, nothing for the others (the engine then refuses).
std::string equality(std::int32_t op) {
    if (op == 0) return "=";
    if (op == 1) return "!=";
    return "";
}

// A value as the search language writes it for a numeric comparison; nullopt when it is none.
std::optional<std::string> numericValue(std::int32_t type, const std::string& value) {
    char text[16];
    switch (type) {
        case kInteger:
            if (!isInt32Text(value)) return std::nullopt;
            return value;
        case kFloat:
            if (!isFloatText(value)) return std::nullopt;
            return value;
        case kDate: {
            std::int32_t y = 0, m = 0, d = 0;
            if (!CKWApp::SplitDateNumbers(value, &y, &m, &d)) return std::nullopt;
            std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
            return std::string(text);
        }
        case kTime: {
            std::int32_t h = 0, m = 0, s = 0;
            if (!CKWApp::SplitTimeNumbers(value, &h, &m, &s)) return std::nullopt;
            std::snprintf(text, sizeof text, "%02d%02d%02d", h, m, s);
            return std::string(text);
        }
        default:
            // A code compared by code: only plain letters and digits reach the engine.
            if (value.empty() || !CKWApp::IsAlphanumericText(value)) return std::nullopt;
            return value;
    }
}

bool comparesByNumber(std::int32_t type, std::int32_t kind) {
    if (isNumeric(type)) return true;
    return (type == kCode || type == kMulti) && kind == 0;
}

// One condition's term without its bracket; nullopt when a value cannot be written.
std::optional<std::string> term(const SearchCondition& c, std::int32_t type) {
    const std::string n = std::to_string(c.item);
    std::string out = "#" + n;
    if (!comparesByNumber(type, c.valueKind)) {
        // A '"' would end the quoted text early and change what the search means.
        if (c.value1.find('"') != std::string::npos) return std::nullopt;
        out += equality(c.op);
        out += kOpenText;
        if (type != kString) out += "NAME:";
        out += c.value1;
        out += kCloseText;
        return out;
    }
    if (c.op < 0 || c.op > 7) return std::nullopt;
    const std::optional<std::string> first = numericValue(type, c.value1);
    if (!first) return std::nullopt;
    out += kEngineOperators[c.op];
    out += *first;
    if (c.op == 6 || c.op == 7) {
        const std::optional<std::string> second = numericValue(type, c.value2);
        if (!second) return std::nullopt;
        out += "*#" + n + (c.upperInclusive == 1 ? "<=" : "<") + *second;
    }
    return out;
}

}  // namespace

std::vector<std::int32_t> itemTypesOf(const CStructDef& def) {
    std::vector<std::int32_t> types;
    for (const CItemDef& item : def.items) {
        if (item.itemNo < 0) continue;
        if (static_cast<std::size_t>(item.itemNo) >= types.size())
            types.resize(static_cast<std::size_t>(item.itemNo) + 1, -1);
        types[static_cast<std::size_t>(item.itemNo)] = item.type;
    }
    return types;
}

std::string conditionText(const SearchCondition& c) {
    if (c.op >= 0 && c.op <= 5) return std::string(kListOperators[c.op]) + " " + c.value1;
    if (c.op != 6 && c.op != 7) return {};
    std::string out = c.op == 6 ? "( " : "[ ";
    out += c.value1 + ", " + c.value2 + " ";
    if (c.upperInclusive == 0) out += ")";
    if (c.upperInclusive == 1) out += "]";
    return out;
}

std::string valueKindText(std::int32_t kind) {
    switch (kind) {
        case 0:
            return zbq::cp932::literal(ZBQ_SHOWN("ｺｰﾄﾞ"));
        case 1:
            return zbq::cp932::literal(ZBQ_SHOWN("文字列"));
        case 2:
            return zbq::cp932::literal(ZBQ_SHOWN("数字"));
        default:
            return {};
    }
}

std::vector<ConditionRow> conditionRows(const std::vector<SearchCondition>& conditions,
                                        const CStructDef& def) {
    std::vector<ConditionRow> rows;
    for (const SearchCondition& c : conditions) {
        ConditionRow row;
        for (const CItemDef& item : def.items)
            if (item.itemNo == c.item) {
                row.itemName = item.name;
                row.itemType = item.type;
                break;
            }
        row.condition = conditionText(c);
        row.kind = valueKindText(c.valueKind);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<std::string> BuildSearchExpression(const std::vector<SearchCondition>& conditions,
                                                 const std::vector<std::int32_t>& itemTypes,
                                                 FilterJoin join) {
    std::string out;
    for (std::size_t i = 0; i < conditions.size(); ++i) {
        const SearchCondition& c = conditions[i];
        const std::optional<std::string> t = term(c, typeOf(itemTypes, c.item));
        if (!t) return std::nullopt;
        if (i > 0) out += join == FilterJoin::Or ? "+" : "*";
        out += "(" + *t + ")";
    }
    if (conditions.size() >= 2) out = "(" + out + ")";
    return out;
}

std::string filterTitle(const std::vector<SearchCondition>& conditions, const CStructDef& def,
                        FilterJoin join) {
    std::string out;
    for (std::size_t i = 0; i < conditions.size(); ++i) {
        if (i > 0) out += join == FilterJoin::Or ? "+" : "*";
        for (const CItemDef& item : def.items)
            if (item.itemNo == conditions[i].item) {
                out += item.name;
                break;
            }
    }
    return out;
}

bool isInt32Text(const std::string& text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
    if (digits.empty()) return false;
    for (char c : digits)
        if (!isDigit(c)) return false;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool isFloatText(const std::string& text) {
    if (!CKWApp::IsDecimalText(text)) return false;
    for (char c : text)
        if (isDigit(c)) return true;
    return false;
}
