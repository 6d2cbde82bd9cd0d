// Step splitting, the TAB-list parsers and the number readers.
#include "app/step_text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The end of a quoted field that opens at `text[0]`, read as the present writer writes it: the
// first '"' that is not doubled and is followed by the separator or the end. npos when the field
// does not close that way (a file of the old writer, or a step cut short).
std::size_t doubledQuoteEnd(std::string_view text, char separator, std::string& field) {
    field.clear();
    std::size_t i = 1;
    while (i < text.size()) {
        if (text[i] != '"') {
            field += text[i++];
            continue;
        }
        if (i + 1 == text.size() || text[i + 1] == separator) return i;
        field += '"';
        // A doubled quote stands for one; a lone one inside the field is an old writer's.
        i += text[i + 1] == '"' ? 2 : 1;
    }
    return npos;
}

void undouble(std::string_view raw, std::string& field) {
    field.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        field += raw[i];
        if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') ++i;
    }
}

template <typename Each>
void forEachPiece(std::string_view text, char separator, Each each) {
    while (!text.empty()) {
        const std::size_t cut = text.find(separator);
        each(text.substr(0, cut));
        if (cut == npos) break;
        text.remove_prefix(cut + 1);
    }
}

std::string_view skipBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || (s.front() >= '\t' && s.front() <= '\r')))
        s.remove_prefix(1);
    return s;
}

}  // namespace

void SplitStepText(std::string_view text, char separator, std::vector<std::string>& fields) {
    fields.clear();
    std::string field;
    while (!text.empty()) {
        if (text.front() == '"') {
            const std::size_t close = doubledQuoteEnd(text, separator, field);
            if (close != npos) {
                text.remove_prefix(std::min(close + 2, text.size()));
            } else {
                // The old writer's reading: the field ends at the first '"' that the separator
                // follows, or else runs to the end without its first and last characters.
                const char closing[2] = {'"', separator};
                const std::size_t p = text.find(std::string_view(closing, 2), 1);
                if (p != npos) {
                    undouble(text.substr(1, p - 1), field);
                    text.remove_prefix(p + 2);
                } else {
                    undouble(text.substr(1, text.size() >= 2 ? text.size() - 2 : 0), field);
                    text = {};
                }
            }
        } else {
            const std::size_t p = text.find(separator);
            undouble(text.substr(0, p), field);
            text.remove_prefix(p == npos ? text.size() : p + 1);
        }
        fields.push_back(field);
    }
}

void ParseColumnPairs(std::string_view text, char separator, std::vector<std::int32_t>& firsts,
                      std::vector<std::int32_t>& seconds) {
    firsts.clear();
    seconds.clear();
    forEachPiece(text, separator, [&](std::string_view piece) {
        const std::size_t colon = piece.find(':');
        if (colon == npos) return;
        firsts.push_back(ReadStepInt(piece.substr(0, colon)));
        seconds.push_back(ReadStepInt(piece.substr(colon + 1)));
    });
}

void ParseNumberList(std::string_view text, char separator, std::vector<std::int32_t>& numbers) {
    numbers.clear();
    forEachPiece(text, separator,
                 [&](std::string_view piece) { numbers.push_back(ReadStepInt(piece)); });
}

std::int32_t ReadStepInt(std::string_view field) {
    field = skipBlanks(field);
    bool negative = false;
    if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), magnitude);
    if (ec == std::errc::invalid_argument) return 0;
    constexpr std::uint64_t maxUp = std::numeric_limits<std::int32_t>::max();
    if (ec == std::errc::result_out_of_range || magnitude > maxUp + (negative ? 1 : 0))
        return negative ? std::numeric_limits<std::int32_t>::min()
                        : std::numeric_limits<std::int32_t>::max();
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

double ReadStepDouble(std::string_view field) {
    field = skipBlanks(field);
    // from_chars takes no '+'; a leading '+' is part of the number for the players.
    if (!field.empty() && field.front() == '+' && field.size() > 1 && field[1] != '-' &&
        field[1] != '+')
        field.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec == std::errc::invalid_argument) return 0;
    if (ec == std::errc::result_out_of_range) {
        // Too small reads 0, too large an infinity of its sign, as the C library reads them.
        const std::string_view number(field.data(), static_cast<std::size_t>(end - field.data()));
        const std::size_t e = number.find_first_of("eE");
        if (e != npos && e + 1 < number.size() && number[e + 1] == '-') return 0;
        const double inf = std::numeric_limits<double>::infinity();
        return !number.empty() && number.front() == '-' ? -inf : inf;
    }
    return value;
}
