#include "windows/value_search.h"

#include <charconv>

#include "app/ckw_app.h"

namespace zbq::windows {

std::string withoutBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

std::optional<SearchTerm> parseSearchTerm(std::string_view t) {
    if (t.empty()) return std::nullopt;
    struct Prefix {
        std::string_view text;
        std::int32_t op;
    };
    for (const Prefix& p : {Prefix{"=", 4}, Prefix{"!", 5}, Prefix{">=", 1}, Prefix{">", 0},
                            Prefix{"<=", 3}, Prefix{"<", 2}})
        if (t.starts_with(p.text))
            return SearchTerm{p.op, std::string(t.substr(p.text.size())), {}};
    const char open = t.front(), close = t.back();
    std::int32_t op = -1;
    if (t.size() >= 2 && (open == '[' || open == '(') && (close == ']' || close == ')'))
        op = open == '[' ? (close == ']' ? 6 : 7) : (close == ']' ? 8 : 9);
    if (op < 0) return SearchTerm{4, std::string(t), {}};
    const std::string_view inner = t.substr(1, t.size() - 2);
    const std::size_t comma = inner.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    return SearchTerm{op, std::string(inner.substr(0, comma)),
                      std::string(inner.substr(comma + 1))};
}

namespace {

// A one-operand form leaves the second operand empty; it reads as 0, which the engine ignores.
bool readInt(std::string_view text, std::int32_t* value) {
    *value = 0;
    if (text.empty()) return true;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), *value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool readDouble(std::string_view text, double* value) {
    *value = 0;
    if (text.empty()) return true;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), *value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool readDate(std::string_view text, std::int32_t* value) {
    *value = 0;
    if (text.empty()) return true;
    std::int32_t y = 0, m = 0, d = 0;
    if (!CKWApp::SplitDateNumbers(text, &y, &m, &d)) return false;
    *value = y * 10000 + m * 100 + d;
    return true;
}

bool readTime(std::string_view text, std::int32_t* value) {
    *value = 0;
    if (text.empty()) return true;
    std::int32_t h = 0, m = 0, s = 0;
    if (!CKWApp::SplitTimeNumbers(text, &h, &m, &s)) return false;
    *value = h * 10000 + m * 100 + s;
    return true;
}

}  // namespace

std::optional<ValueSearch> makeValueSearch(std::string_view text, std::int32_t itemType,
                                           bool textSearch) {
    if (text.empty()) return std::nullopt;
    const bool coded = itemType == 0 || itemType == 1;
    ValueSearch search;
    if ((coded && textSearch) || itemType == 4) {
        search.kind = ValueSearch::Kind::Contains;
        search.text1 = std::string(text);
        return search;
    }
    const std::optional<SearchTerm> term = parseSearchTerm(withoutBlanks(text));
    if (!term) return std::nullopt;
    search.op = term->op;
    bool ok = true;
    switch (itemType) {
        case 0:
        case 1:
            search.kind = ValueSearch::Kind::TextRange;
            search.text1 = term->first;
            search.text2 = term->second;
            break;
        case 2:
            search.kind = ValueSearch::Kind::Int;
            ok = readInt(term->first, &search.int1) && readInt(term->second, &search.int2);
            break;
        case 3:
            search.kind = ValueSearch::Kind::Double;
            ok = readDouble(term->first, &search.double1) &&
                 readDouble(term->second, &search.double2);
            break;
        case 5:
            search.kind = ValueSearch::Kind::Int;
            ok = readDate(term->first, &search.int1) && readDate(term->second, &search.int2);
            break;
        case 7:
            search.kind = ValueSearch::Kind::Int;
            ok = readTime(term->first, &search.int1) && readTime(term->second, &search.int2);
            break;
        default:
            return std::nullopt;
    }
    // An operand that must be there and cannot be read sets up nothing, rather than a search
    // for a value the user did not type.
    if (!ok || term->first.empty()) return std::nullopt;
    return search;
}

std::int32_t setUpValueSearch(CKWApp& app, std::int32_t item, const ValueSearch& s,
                              std::int32_t row) {
    switch (s.kind) {
        case ValueSearch::Kind::Contains:
            return app.KWsetFindString(item, row, s.text1);
        case ValueSearch::Kind::TextRange:
            return app.KWsetFindStringRange(item, row, s.op, s.text1, s.text2);
        case ValueSearch::Kind::Int:
            return app.KWsetFindInt(item, row, s.op, s.int1, s.int2);
        case ValueSearch::Kind::Double:
            return app.KWsetFindDouble(item, row, s.op, s.double1, s.double2);
    }
    return -1;
}

}  // namespace zbq::windows
