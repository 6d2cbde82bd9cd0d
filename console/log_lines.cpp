#include "console/log_lines.h"

#include <charconv>
#include <system_error>

#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

namespace {

using zbq::cp932::literal;

std::string integer(std::int32_t value) {
    char digits[16];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The fixed words, in CP932: the Japanese made once, which the log keeps; the words the log tab
// shows made again in the language in force for each line shown.
struct Words {
    explicit Words(ShownWord shown = nullptr) {
        for (std::string* word : {&search, &count, &arrow, &millis, &sort, &ascending, &descending,
                                  &original, &cross, &x, &y, &z, &drill, &records, &recordsArrow})
            if (shown) *word = shown(*word);
    }
    std::string search = literal(ZBQ_SHOWN("検索["));
    std::string count = literal(ZBQ_SHOWN(" 件"));
    std::string arrow = literal(ZBQ_SHOWN(" 件 → "));
    std::string millis = literal(ZBQ_SHOWN(" ﾐﾘ秒"));
    std::string sort = literal(ZBQ_SHOWN("ｿｰﾄ["));
    std::string ascending = literal(ZBQ_SHOWN("昇順"));
    std::string descending = literal(ZBQ_SHOWN("降順"));
    std::string original = literal(ZBQ_SHOWN("ｵﾘｼﾞﾅﾙ昇順"));
    std::string cross = literal(ZBQ_SHOWN("ｸﾛｽ集計("));
    std::string x = literal(ZBQ_SHOWN("[X："));
    std::string y = literal(ZBQ_SHOWN("][Y："));
    std::string z = literal(ZBQ_SHOWN("][Z："));
    std::string drill = literal(ZBQ_SHOWN("ﾄﾞﾘﾙｽﾙｰ[X："));
    std::string records = literal(ZBQ_SHOWN(" ﾚｺｰﾄﾞ"));
    std::string recordsArrow = literal(ZBQ_SHOWN(" ﾚｺｰﾄﾞ -> "));
};

const Words& japaneseWords() {
    static const Words w;
    return w;
}

Words words(ShownWord shown) {
    return shown ? Words(shown) : japaneseWords();
}

std::string text(std::string_view caption, ShownWord shown) {
    return shown ? shown(std::string(caption)) : std::string(caption);
}

}  // namespace

std::string formatMilliseconds(double ms) {
    char digits[400];  // the widest double written out in full
    const auto r = std::to_chars(digits, digits + sizeof digits, ms, std::chars_format::fixed, 0);
    if (r.ec != std::errc()) return "0";
    return std::string(digits, r.ptr);
}

std::string searchLogLine(std::string_view caption, std::int32_t before, std::int32_t after,
                          double ms, ShownWord shown) {
    const Words w = words(shown);
    return w.search + std::string(caption) + "] " + integer(before) + w.arrow + integer(after) +
           w.count + " " + formatMilliseconds(ms) + w.millis;
}

std::string sortLogLine(std::string_view itemName, std::int32_t records, std::int32_t kind,
                        double ms, ShownWord shown) {
    const Words w = words(shown);
    const std::string& order = kind == 0 ? w.ascending : kind == 1 ? w.descending : w.original;
    return w.sort + std::string(itemName) + "] " + integer(records) + w.count + "(" + order + ") " +
           formatMilliseconds(ms) + w.millis;
}

std::string crossTabCaption(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, ShownWord shown) {
    const Words w = words(shown);
    return w.cross + text(aggregate, shown) + ")" + w.x + std::string(x) + w.y + std::string(y) +
           w.z + std::string(z) + "] " + integer(records) + " Rec";
}

std::string crossTabLogLine(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, double ms, ShownWord shown) {
    return crossTabCaption(aggregate, x, y, z, records, shown) + " " + formatMilliseconds(ms) +
           words(shown).millis;
}

std::string drillThroughLogLine(std::string_view x, std::string_view y, std::int32_t before,
                                std::int32_t after, double ms, ShownWord shown) {
    const Words w = words(shown);
    return w.drill + std::string(x) + w.y + std::string(y) + "] " + integer(before) +
           w.recordsArrow + integer(after) + w.records + " " + formatMilliseconds(ms) + w.millis;
}

std::string operationLogLine(std::string_view operation, std::int32_t records, double ms,
                             ShownWord shown) {
    return std::string(operation) + " " + integer(records) + " Rec " + formatMilliseconds(ms) +
           words(shown).millis;
}
