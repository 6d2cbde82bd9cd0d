// The console's rules without widgets: the operation log's lines, the reading log's counter and
// ending, where comments are coloured, the stepping number box, which window-state change is
// which command, the status bar's edges, the system text and the image button's layout.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "console/cons_status_bar.h"
#include "console/cons_sys_command.h"
#include "console/image_button.h"
#include "console/log_lines.h"
#include "console/read_log.h"
#include "console/system_text.h"
#include "console/up_down_edit.h"
#include "platform/core/cp932.h"
#include "tests/support/in_language.h"

namespace {

using zbq::cp932::literal;

TEST(LogLines, EachFormatWritesItsLine) {
    const std::string item = literal("年齢");
    struct Case {
        std::string line;
        const char* expected;
    };
    const Case cases[] = {
        {searchLogLine(literal("性別*年齢"), 5000, 1234, 12.4),
         "検索[性別*年齢] 5000 件 → 1234 件 12 ﾐﾘ秒"},
        {sortLogLine(item, 300, 0, 0.0), "ｿｰﾄ[年齢] 300 件(昇順) 0 ﾐﾘ秒"},
        {sortLogLine(item, 300, 1, 7.0), "ｿｰﾄ[年齢] 300 件(降順) 7 ﾐﾘ秒"},
        {sortLogLine(item, 300, 2, 7.0), "ｿｰﾄ[年齢] 300 件(ｵﾘｼﾞﾅﾙ昇順) 7 ﾐﾘ秒"},
        {sortLogLine(item, 300, -1, 7.0), "ｿｰﾄ[年齢] 300 件(ｵﾘｼﾞﾅﾙ昇順) 7 ﾐﾘ秒"},
        {crossTabLogLine(literal("件数"), literal("性別"), item, "", 12, 1234.6),
         "ｸﾛｽ集計(件数)[X：性別][Y：年齢][Z：] 12 Rec 1235 ﾐﾘ秒"},
        {crossTabCaption(literal("合計"), "a", "b", "c", 0),
         "ｸﾛｽ集計(合計)[X：a][Y：b][Z：c] 0 Rec"},
        {drillThroughLogLine(literal("男"), "20", 100, 7, 3.0),
         "ﾄﾞﾘﾙｽﾙｰ[X：男][Y：20] 100 ﾚｺｰﾄﾞ -> 7 ﾚｺｰﾄﾞ 3 ﾐﾘ秒"},
        {operationLogLine(literal("和集合"), -1, 0.49), "和集合 -1 Rec 0 ﾐﾘ秒"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zbq::cp932::toUtf8(c.line), c.expected);
}

TEST(LogLines, MillisecondsRoundLikePrintfWhateverTheLocale) {
    EXPECT_EQ(formatMilliseconds(2.5), "2");  // halves to even, as "%.0f"
    EXPECT_EQ(formatMilliseconds(3.5), "4");
    EXPECT_EQ(formatMilliseconds(1234567.0), "1234567");  // never grouped
}

TEST(ReadLog, ShowsACounterEveryHundredLinesThenTheWholeText) {
    ReadLog log;
    for (int i = 1; i < 100; ++i)
        EXPECT_FALSE(log.append("line")) << i;
    EXPECT_EQ(log.shown(), "");
    EXPECT_TRUE(log.append("line"));
    EXPECT_EQ(zbq::cp932::toUtf8(log.shown()), "　100 行目を読込中です。\r\n");

    log.append("last");
    log.flush();
    EXPECT_EQ(log.shown().size(), 100 * std::string("line\r\n").size() + 6);
    EXPECT_TRUE(log.shown().ends_with("line\r\nlast\r\n"));
}

// Lines handed over in blocks of any size show what they show handed over one by one: the
// counter of each hundredth line reached, the same text at the end and the same final count.
TEST(ReadLog, BlocksOfLinesShowWhatTheSameLinesShowOneByOne) {
    std::vector<std::string> lines;
    std::string stored;
    for (int i = 0; i < 250; ++i) {
        lines.push_back(i % 3 ? "" : "line " + std::to_string(i));
        stored += lines.back() + "\r\n";
    }
    ReadLog single;
    std::vector<std::string> singleShown;
    for (const std::string& line : lines)
        if (single.append(line)) singleShown.push_back(single.shown());
    ASSERT_EQ(singleShown.size(), 2u);
    ReadLog singleEnded = single;
    singleEnded.end("red");

    // Blocks that end at each hundredth line, as the parser hands them, and blocks that do not.
    for (const std::vector<int>& sizes : {std::vector<int>{1, 99, 100, 37, 13},
                                          std::vector<int>{250}, std::vector<int>{150, 100}}) {
        ReadLog blocks;
        std::vector<std::string> shown;
        std::size_t at = 0;
        for (int size : sizes) {
            std::size_t end = at;
            for (int i = 0; i < size; ++i)
                end = stored.find("\r\n", end) + 2;
            if (blocks.appendLines(std::string_view(stored).substr(at, end - at), size))
                shown.push_back(blocks.shown());
            at = end;
        }
        EXPECT_EQ(blocks.lines(), 250);
        if (sizes.size() == 5) {
            EXPECT_EQ(shown, singleShown);
        }
        EXPECT_EQ(shown.back(), singleShown.back());
        ReadLog ended = blocks;
        ended.end("red");
        EXPECT_EQ(ended.shown(), singleEnded.shown());
        blocks.flush();
        EXPECT_EQ(blocks.shown(), stored);
    }
}

TEST(ReadLog, EndShowsTheFinalCountAndTheMessageInRed) {
    ReadLog log;
    for (int i = 0; i < 7; ++i)
        log.append("x");
    log.end(literal("不正な行"));
    EXPECT_EQ(zbq::cp932::toUtf8(log.shown()), "　7 行目を読込中です。\r\n");
    EXPECT_EQ(zbq::cp932::toUtf8(log.red()), "\r\n  不正な行");

    // The next load counts from its own first line and clears the red message.
    log.append("a");
    log.append("b");
    log.flush();
    EXPECT_EQ(log.shown(), "a\r\nb\r\n");
    EXPECT_EQ(log.red(), "");
    EXPECT_EQ(log.lines(), 2);
}

TEST(ReadLog, ColouringFlushesFirstAndFindsTheShownComments) {
    ReadLog log;
    log.append("Title \"t\" // the title");
    log.append("Item");
    log.colourComments();
    EXPECT_EQ(log.shown(), "Title \"t\" // the title\r\nItem\r\n");
    ASSERT_EQ(log.comments().size(), 1u);
    EXPECT_EQ(log.shown().substr(log.comments()[0].start, log.comments()[0].length),
              "// the title");
}

TEST(CommentRanges, QuotedSlashesAreNoComment) {
    struct Case {
        std::string text;
        std::vector<std::string> comments;
    };
    const Case cases[] = {
        {"a // b\r\nc\r\n// d", {"// b", "// d"}},
        {"no comment\r\n", {}},
        // Inside the quotes, then after the closing quote on the same line.
        {"Name \"http://x\" // real\r\nnext", {"// real"}},
        // A quote after the "//" but none before it: a comment.
        {"// say \"hi\"\r\n", {"// say \"hi\""}},
        // An escaped quote does not open a text.
        {"x \\\"a // b \"\r\n", {"// b \""}},
        // 0x5C as the trail byte of ソ escapes nothing: the quote opens a text.
        {"\x83\x5C\"a // b\" // c", {"// c"}},
        {"///\r\n", {"///"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> found;
        for (const TextRange& r : commentRanges(c.text))
            found.push_back(c.text.substr(r.start, r.length));
        EXPECT_EQ(found, c.comments) << c.text;
    }
}

TEST(UpDownEdit, StepsWithinZeroToHundred) {
    struct Case {
        const char* text;
        const char* up;
        const char* down;
    };
    const Case cases[] = {
        {"", "1", "0"},
        {"0", "1", "0"},
        {"1", "2", "0"},
        {"99", "100", "98"},
        {"100", "100", "99"},
        {"250", "100", "99"},
        {"-5", "1", "0"},
        {" 42abc", "43", "41"},
        {"abc", "1", "0"},
        {"99999999999", "100", "99"},
        {"-99999999999", "1", "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(upDownStepUp(c.text), c.up) << '"' << c.text << '"';
        EXPECT_EQ(upDownStepDown(c.text), c.down) << '"' << c.text << '"';
    }
}

TEST(ConsoleSysCommand, StateChangesMapToTheTitleBarCommands) {
    using S = Qt::WindowState;
    using C = ConsoleSysCommand;
    struct Case {
        Qt::WindowStates before, after;
        std::optional<C> command;
    };
    const Case cases[] = {
        {S::WindowNoState, S::WindowMaximized, C::Maximize},
        {S::WindowNoState, S::WindowMinimized, C::Minimize},
        {S::WindowMaximized, S::WindowNoState, C::Restore},
        {S::WindowMinimized, S::WindowNoState, C::Restore},
        // Back from the task bar to the maximised size is a restore, not a maximise.
        {S::WindowMinimized | S::WindowMaximized, S::WindowMaximized, C::Restore},
        {S::WindowMaximized, S::WindowMinimized | S::WindowMaximized, C::Minimize},
        {S::WindowNoState, S::WindowActive, std::nullopt},
        {S::WindowMaximized, S::WindowMaximized | S::WindowActive, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sysCommandForStateChange(c.before, c.after), c.command)
            << int(c.before) << " -> " << int(c.after);
    EXPECT_STREQ(consoleSysCommandStep(C::Maximize), "Cons_Max");
    EXPECT_STREQ(consoleSysCommandStep(C::Minimize), "Cons_Min");
    EXPECT_STREQ(consoleSysCommandStep(C::Restore), "Cons_Restore");
}

TEST(StatusBar, PartEdgesFollowTheWindowWidth) {
    EXPECT_EQ(statusPartEdges(440), (std::array<int, 3>{146, 292, -1}));
    EXPECT_EQ(statusPartEdges(100), (std::array<int, 3>{33, 66, -1}));
}

TEST(SystemText, VersionRuleAndMemoryLines) {
    zbq::MemoryStatus memory;
    memory.totalPhysical = 17179869184ULL;  // 16 GiB
    memory.totalVirtual = 19327352832ULL;
    const std::string text = zbq::cp932::toUtf8(systemText(memory));
    EXPECT_TRUE(text.starts_with(" ZEBRINE V1.0.2 J\r\n\r\n")) << text;
    EXPECT_NE(text.find("\r\n" + std::string(36, '-') + "\r\n\r\n"), std::string::npos);
    EXPECT_EQ(text.find(std::string(37, '-')), std::string::npos);
    EXPECT_TRUE(
        text.ends_with("  全メモリー   17,179,869,184 ﾊﾞｲﾄ\r\n"
                       "  全仮想記憶   19,327,352,832 ﾊﾞｲﾄ\r\n"))
        << text;
    zbq::test::InLanguage english("en_US");
    const std::string shown = zbq::cp932::toUtf8(systemText(memory));
    EXPECT_NE(shown.find("\r\n Tabular data aggregation and analysis system\r\n"),
              std::string::npos)
        << shown;
    EXPECT_TRUE(
        shown.ends_with("  Total memory     17,179,869,184 bytes\r\n"
                        "  Virtual memory   19,327,352,832 bytes\r\n"))
        << shown;
}

TEST(ImageButtonLayout, AutomaticAndFixedPositions) {
    const QPoint centre(-1, -1);
    auto layout = [&](QSize image, QSize caption, bool automatic = true, QPoint imagePos = {-1, -1},
                      QPoint captionPos = {-1, -1}, bool pushed = false) {
        ImageButtonLayoutInput in;
        in.client = QSize(100, 40);
        in.image = image;
        in.caption = caption;
        in.automatic = automatic;
        in.imagePos = imagePos;
        in.captionPos = captionPos;
        in.pushed = pushed;
        return imageButtonLayout(in);
    };
    // Image 4 pixels from the left; the caption centred in the room right of it (100 - 8 - 16 -
    // 4 - 30 = 42 pixels, half of it before), one pixel above the middle.
    EXPECT_EQ(layout({16, 16}, {30, 12}), (ImageButtonLayout{{4, 12}, {21 + 28, 13}}));
    EXPECT_EQ(layout({16, 16}, {30, 12}, true, centre, centre, true),
              (ImageButtonLayout{{5, 13}, {21 + 29, 14}}));
    // A caption wider than the room starts right after the image.
    EXPECT_EQ(layout({16, 16}, {90, 12}).caption, QPoint(28, 13));
    // Either alone is centred.
    EXPECT_EQ(layout({16, 16}, {}).image, QPoint(42, 12));
    EXPECT_EQ(layout({}, {30, 12}).caption, QPoint(35, 13));
    // Fixed positions, -1 centring that coordinate.
    EXPECT_EQ(layout({16, 16}, {30, 12}, false, {2, -1}, {-1, 3}),
              (ImageButtonLayout{{2, 12}, {35, 3}}));
}

}  // namespace
