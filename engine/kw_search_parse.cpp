// The search language: compaction, tokens, operator precedence to postfix, and the terms.
#include "engine/kw_search_parse.h"

#include <bit>
#include <charconv>
#include <optional>
#include <string>

#include "engine/kw_error.h"

namespace kw {

namespace {

constexpr std::string_view kNamePrefix = "NAME:";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isOperatorChar(char c) {
    return c == '=' || c == '<' || c == '>' || c == '!';
}

bool isPunctuation(char c) {
    return c == '(' || c == ')' || c == '*' || c == '+';
}

std::string_view withoutQuotes(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}

// An optional leading "-" and digits: the whole text, within int32.
std::optional<std::int32_t> parseInteger(std::string_view v) {
    const std::size_t digits = !v.empty() && v.front() == '-' ? 1 : 0;
    if (v.size() == digits) return std::nullopt;
    for (std::size_t i = digits; i < v.size(); ++i)
        if (!isDigit(v[i])) return std::nullopt;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
    return value;
}

// An optional leading "-", digits and at most one ".", at least one digit; a finite double.
std::optional<double> parseReal(std::string_view v) {
    std::size_t i = !v.empty() && v.front() == '-' ? 1 : 0;
    bool digit = false, point = false;
    for (; i < v.size(); ++i) {
        if (isDigit(v[i])) {
            digit = true;
        } else if (v[i] == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
    return value;
}

enum class Kind { Integer, Real, Text };

Kind kindOf(std::int32_t type) {
    if (isIntegerType(type)) return Kind::Integer;
    return type == KW_TYPE_FLOAT ? Kind::Real : Kind::Text;
}

// One bound into the condition (first = value 1, else value 2). False when a number does not
// have the numeric form of its type.
bool setBound(Kind kind, std::string_view v, bool first, Condition& c) {
    if (kind == Kind::Integer) {
        const auto n = parseInteger(v);
        if (!n) return false;
        (first ? c.int1 : c.int2) = *n;
    } else if (kind == Kind::Real) {
        const auto n = parseReal(v);
        if (!n) return false;
        (first ? c.real1 : c.real2) = *n;
    } else {
        (first ? c.text1 : c.text2).assign(v);
    }
    return true;
}

// The bounds of a range in ascending order.
void orderBounds(Kind kind, Condition& c) {
    if (kind == Kind::Integer && c.int2 < c.int1) std::swap(c.int1, c.int2);
    if (kind == Kind::Real && c.real2 < c.real1) std::swap(c.real1, c.real2);
    if (kind == Kind::Text && c.text2 < c.text1) std::swap(c.text1, c.text2);  // unsigned bytes
}

// The first "-" outside double quotes, or npos.
std::size_t rangeDash(std::string_view v) {
    bool quoted = false;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '"') quoted = !quoted;
        if (v[i] == '-' && !quoted) return i;
    }
    return std::string_view::npos;
}

// "=" and "!=": display-name prefix, range, wildcards, quotes, then the value by kind.
std::int32_t parseEquality(Kind kind, std::string_view v, SearchTerm& term) {
    Condition& c = term.condition;
    if (v.starts_with(kNamePrefix)) {
        v.remove_prefix(kNamePrefix.size());
        c.byName = kind == Kind::Text;
    }
    if (const std::size_t dash = rangeDash(v); dash != std::string_view::npos && dash > 0) {
        if (dash + 1 == v.size()) return KW_ERR_SYNTAX;
        if (!setBound(kind, withoutQuotes(v.substr(0, dash)), true, c) ||
            !setBound(kind, withoutQuotes(v.substr(dash + 1)), false, c))
            return KW_ERR_SYNTAX;
        orderBounds(kind, c);
        term.code += kSearchRange;
        c.op = KW_COND_RANGE;
        return 0;
    }
    if (v == "%") return KW_ERR_SYNTAX;
    const bool leading = v.starts_with('%'), trailing = v.ends_with('%');
    if (leading && trailing) {
        term.code += kSearchContains;
        c.op = KW_COND_CONTAINS;
        v = v.substr(1, v.size() - 2);
    } else if (leading) {
        term.code += kSearchEndsWith;
        c.op = KW_COND_ENDS;
        v.remove_prefix(1);
    } else if (trailing) {
        term.code += kSearchBeginsWith;
        c.op = KW_COND_BEGINS;
        v.remove_suffix(1);
    } else {
        c.op = KW_COND_EQ;
    }
    v = withoutQuotes(v);
    if (kind == Kind::Text) return setBound(kind, v, true, c) ? 0 : KW_ERR_SYNTAX;
    if (leading || trailing) return KW_ERR_SYNTAX;
    if (!v.empty() && (v.front() == '\x01' || v.front() == '\x02')) {
        // A value of one such byte, the rest of its field zero: the integer 1 or 2, or the
        // double of those bits.
        const auto byte = static_cast<std::uint8_t>(v.front());
        c.int1 = byte;
        c.real1 = std::bit_cast<double>(std::uint64_t{byte});
        return 0;
    }
    return setBound(kind, v, true, c) ? 0 : KW_ERR_SYNTAX;
}

std::int32_t parseComparison(Kind kind, std::string_view v, SearchTerm& term) {
    static constexpr std::int32_t kOps[] = {KW_COND_GT, KW_COND_GE, KW_COND_LT, KW_COND_LE};
    term.condition.op = kOps[term.code - kSearchGreater];
    // The display-name prefix stands outside the quotes, as with "=".
    if (kind == Kind::Text && v.starts_with(kNamePrefix)) {
        v.remove_prefix(kNamePrefix.size());
        term.condition.byName = true;
    }
    return setBound(kind, withoutQuotes(v), true, term.condition) ? 0 : KW_ERR_SYNTAX;
}

// A text whose first bound still begins with "NAME:" (written inside quotes or behind a
// wildcard, as the filter tab does) compares display names too; quotes right behind the
// prefix are dropped as they would be in front of it.
void takeNamePrefix(SearchTerm& term) {
    Condition& c = term.condition;
    if (!c.text1.starts_with(kNamePrefix)) return;
    c.byName = true;
    c.text1 = withoutQuotes(std::string_view(c.text1).substr(kNamePrefix.size()));
    if (c.op == KW_COND_RANGE && c.text2.starts_with(kNamePrefix))
        c.text2 = withoutQuotes(std::string_view(c.text2).substr(kNamePrefix.size()));
}

std::int32_t parseTerm(std::string_view token, std::span<const std::int32_t> itemTypes,
                       SearchTerm& term) {
    if (!token.starts_with('#')) return KW_ERR_SYNTAX;
    std::size_t i = 1;
    while (i < token.size() && isDigit(token[i]))
        ++i;
    if (i == 1 || i == token.size()) return KW_ERR_SYNTAX;
    std::int32_t item = 0;
    const auto [end, ec] = std::from_chars(token.data() + 1, token.data() + i, item);
    if (ec != std::errc() || end != token.data() + i) return KW_ERR_SYNTAX;
    if (static_cast<std::size_t>(item) >= itemTypes.size()) return KW_ERR_PASSWORD;
    term.item = item;

    const std::size_t opStart = i;
    while (i < token.size() && isOperatorChar(token[i]) && i - opStart < 5)
        ++i;
    if (i - opStart == 5 || i == token.size()) return KW_ERR_SYNTAX;
    const std::string_view op = token.substr(opStart, i - opStart);
    const std::string_view value = token.substr(i);
    if (value.size() > kSearchMaxValue) return KW_ERR_SYNTAX;

    const Kind kind = kindOf(itemTypes[static_cast<std::size_t>(item)]);
    std::int32_t rc;
    if (op == "=" || op == "!=") {
        term.code = op == "=" ? kSearchEqual : kSearchNot;
        rc = parseEquality(kind, value, term);
    } else if (op == ">" || op == ">=" || op == "<" || op == "<=") {
        term.code = op == ">"    ? kSearchGreater
                    : op == ">=" ? kSearchGreaterEqual
                    : op == "<"  ? kSearchLess
                                 : kSearchLessEqual;
        rc = parseComparison(kind, value, term);
    } else {
        return KW_ERR_SYNTAX;
    }
    if (rc == 0 && kind == Kind::Text) takeNamePrefix(term);
    return rc;
}

class Parser {
public:
    Parser(std::string_view expression, std::span<const std::int32_t> itemTypes, SearchProgram& out)
        : itemTypes_(itemTypes), out_(out) {
        // Blanks outside quotes carry no meaning.
        text_.reserve(expression.size());
        bool quoted = false;
        for (const char c : expression) {
            if (c == '"') quoted = !quoted;
            if (c != ' ' || quoted) text_ += c;
        }
    }

    std::int32_t run() {
        bool operand = true;  // expecting an operand, else an operator
        for (;;) {
            const std::string_view token = next();
            const char c = token.size() == 1 ? token[0] : '\0';
            std::int32_t rc = 0;
            if (operand) {
                if (c == '(') {
                    rc = push(c);
                } else if (c == '*' || c == '+' || c == ')') {
                    return KW_ERR_SYNTAX;
                } else {
                    rc = emitTerm(token);  // the empty token at the end fails here
                    operand = false;
                }
            } else if (token.empty()) {
                break;
            } else if (c == '*' || c == '+') {
                while (!operators_.empty() && precedence(operators_.back()) >= precedence(c)) {
                    if ((rc = emit(operators_.back())) < 0) return rc;
                    operators_.pop_back();
                }
                rc = push(c);
                operand = true;
            } else if (c == ')') {
                rc = closeParenthesis();
            } else {
                return KW_ERR_SYNTAX;  // a term or "(" right behind an operand
            }
            if (rc < 0) return rc;
        }
        while (!operators_.empty()) {
            const char op = operators_.back();
            operators_.pop_back();
            if (op == '(') return KW_ERR_SYNTAX;
            if (const std::int32_t rc = emit(op); rc < 0) return rc;
        }
        return 0;
    }

private:
    static int precedence(char op) { return op == '*' ? 2 : op == '+' ? 1 : 0; }

    // The next token of the compact text: one punctuation byte, or a run up to the next
    // punctuation outside quotes; empty at the end.
    std::string_view next() {
        const std::string_view rest = std::string_view(text_).substr(pos_);
        if (rest.empty()) return rest;
        std::size_t n = 1;
        if (!isPunctuation(rest[0])) {
            bool quoted = rest[0] == '"';
            for (; n < rest.size() && (quoted || !isPunctuation(rest[n])); ++n)
                if (rest[n] == '"') quoted = !quoted;
        }
        pos_ += n;
        return rest.substr(0, n);
    }

    std::int32_t push(char op) {
        if (operators_.size() >= kSearchMaxOperators) return KW_ERR_STACK_FULL;
        operators_.push_back(op);
        return 0;
    }

    std::int32_t emit(char op) {
        if (out_.postfix.size() >= kSearchMaxProgram) return KW_ERR_STACK_FULL;
        out_.postfix.push_back(op == '*' ? kSearchAnd : kSearchOr);
        return 0;
    }

    std::int32_t emitTerm(std::string_view token) {
        SearchTerm term;
        if (const std::int32_t rc = parseTerm(token, itemTypes_, term); rc < 0) return rc;
        if (out_.postfix.size() >= kSearchMaxProgram) return KW_ERR_STACK_FULL;
        out_.postfix.push_back(static_cast<std::int32_t>(out_.terms.size()));
        out_.terms.push_back(std::move(term));
        return 0;
    }

    std::int32_t closeParenthesis() {
        for (;;) {
            if (operators_.empty()) return KW_ERR_SYNTAX;
            const char op = operators_.back();
            operators_.pop_back();
            if (op == '(') return 0;
            if (const std::int32_t rc = emit(op); rc < 0) return rc;
        }
    }

    std::string text_;
    std::size_t pos_ = 0;
    std::span<const std::int32_t> itemTypes_;
    SearchProgram& out_;
    std::vector<char> operators_;
};

}  // namespace

std::int32_t parseSearch(std::string_view expression, std::span<const std::int32_t> itemTypes,
                         SearchProgram& out) {
    out = {};
    expression = expression.substr(0, expression.find('\0'));
    if (expression.empty()) return KW_ERR_ARGUMENT;
    return Parser(expression, itemTypes, out).run();
}

}  // namespace kw
