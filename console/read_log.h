// The reading log of the log tab: what its upper pane shows while a definition file and its data
// are read. Lines are counted and kept aside; the pane shows only a counter line every 100th
// line, until the whole text is put in at once (flush) or the log ends with a counter line and a
// message in red. A new load starts counting afresh at its first line.
//
// The text is CP932 with "\r\n" line ends, as the definition file has them. Comment ranges are
// byte ranges of the shown text. Plain C++; the log page shows it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/mixed_text.h"

struct TextRange {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextRange&) const = default;
};

// The "//" comments of definition text: each runs from its "//" to the end of its line. A "//"
// inside a double-quoted text on its line (an odd number of quotes not escaped by "\" before it,
// and a quote after it) is no comment, and the search goes on after it on the same line.
std::vector<TextRange> commentRanges(std::string_view text);

// "　<count> 行目を読込中です。" followed by "\r\n"; its words through `shown`, when given.
std::string readCounterLine(int count, ShownWordOf shown = nullptr);

class ReadLog {
public:
    // Counts the line and keeps it with "\r\n"; true when the shown text changed (every 100th
    // line shows the counter).
    bool append(std::string_view line);
    // The same for `count` lines at once, each followed by "\r\n" in `lines`: the counter shows
    // the last hundredth line among them.
    bool appendLines(std::string_view lines, int count);
    // The shown text becomes the lines kept so far.
    void flush();
    // Flushes what is kept, then finds the comments of the shown text.
    void colourComments();
    // The shown text becomes the counter line of the last count; `message` follows in red after
    // "\r\n  ".
    void end(std::string_view message);

    const std::string& shown() const { return shown_; }
    // Shown in red after shown(); empty when there is none.
    const std::string& red() const { return red_; }
    // The comment ranges of shown() found by the last colourComments().
    const std::vector<TextRange>& comments() const { return comments_; }
    int lines() const { return lines_; }
    // True while shown() is the counter line of lines(), which the pane shows in the language
    // in force.
    bool showsCounter() const { return counter_; }

private:
    void startIfFinished();
    void show(std::string text, bool counter);

    int lines_ = 0;
    std::string kept_;
    bool finished_ = false;
    bool counter_ = false;
    std::string shown_;
    std::string red_;
    std::vector<TextRange> comments_;
};
