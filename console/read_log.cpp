#include "console/read_log.h"

#include <charconv>

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

constexpr int kCounterEvery = 100;

}  // namespace

// One pass, line by line: the quotes before a "//" are counted as the line is walked, and the
// last quote of the line tells whether one follows it. A line break never belongs to a
// character, and the trail byte of a two-byte character (which may be 0x5C) is no backslash.
std::vector<TextRange> commentRanges(std::string_view text) {
    std::vector<TextRange> ranges;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find("\r\n", lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        const std::size_t lastQuote = text.substr(lineStart, lineEnd - lineStart).rfind('"');
        int quotes = 0;
        bool escaped = false;
        for (std::size_t i = lineStart; i < lineEnd;) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (zbq::cp932::isLeadByte(c) && i + 1 < lineEnd) {
                escaped = false;
                i += 2;
                continue;
            }
            if (c == '/' && i + 1 < lineEnd && text[i + 1] == '/') {
                const bool quoteFollows =
                    lastQuote != std::string_view::npos && lineStart + lastQuote > i + 1;
                if (quotes % 2 == 0 || !quoteFollows) {
                    ranges.push_back({i, lineEnd - i});
                    break;
                }
                // Inside a quoted text: no comment, but one may still follow on this line.
                escaped = false;
                i += 2;
                continue;
            }
            if (c == '"' && !escaped) ++quotes;
            escaped = c == '\\';
            ++i;
        }
        lineStart = lineEnd + 2;
    }
    return ranges;
}

std::string readCounterLine(int count, ShownWordOf shown) {
    std::string line = zbq::cp932::literal(ZBQ_SHOWN("　%1 行目を読込中です。"));
    if (shown) line = shown(line);
    char digits[16];
    const std::string number(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
    if (const std::size_t at = line.find("%1"); at != std::string::npos)
        line.replace(at, 2, number);
    return line + "\r\n";
}

void ReadLog::startIfFinished() {
    if (!finished_) return;
    finished_ = false;
    lines_ = 0;
    kept_.clear();
}

void ReadLog::show(std::string text, bool counter) {
    shown_ = std::move(text);
    counter_ = counter;
    red_.clear();
    comments_.clear();
}

bool ReadLog::append(std::string_view line) {
    startIfFinished();
    ++lines_;
    kept_.append(line);
    kept_ += "\r\n";
    if (lines_ % kCounterEvery != 0) return false;
    show(readCounterLine(lines_), true);
    return true;
}

bool ReadLog::appendLines(std::string_view lines, int count) {
    startIfFinished();
    const int before = lines_ / kCounterEvery;
    lines_ += count;
    kept_.append(lines);
    if (lines_ / kCounterEvery == before) return false;
    show(readCounterLine(lines_ / kCounterEvery * kCounterEvery), true);
    return true;
}

void ReadLog::flush() {
    show(std::move(kept_), false);
    kept_ = std::string();
    finished_ = true;
}

void ReadLog::colourComments() {
    if (!finished_) flush();
    comments_ = commentRanges(shown_);
}

void ReadLog::end(std::string_view message) {
    show(readCounterLine(lines_), true);
    kept_ = std::string();
    finished_ = true;
    red_ = "\r\n  ";
    red_.append(message);
}
