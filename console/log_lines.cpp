#include "console/log_lines.h"

#include <charconv>
#include <system_error>

#include "platform/core/cp932.h"

namespace {

using zbq::cp932::literal;

std::string integer(std::int32_t value) {
    char digits[16];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The fixed words, in CP932, made once.
struct Words {
    std::string search = literal("検索[");
    std::string count = literal(" 件");
    std::string arrow = literal(" 件 → ");
    std::string millis = literal(" ﾐﾘ秒");
    std::string sort = literal("ｿｰﾄ[");
    std::string ascending = literal("昇順");
    std::string descending = literal("降順");
    std::string original = literal("ｵﾘｼﾞﾅﾙ昇順");
    std::string cross = literal("ｸﾛｽ集計(");
    std::string x = literal("[X：");
    std::string y = literal("][Y：");
    std::string z = literal("][Z：");
    std::string drill = literal("ﾄﾞﾘﾙｽﾙｰ[X：");
    std::string records = literal(" ﾚｺｰﾄﾞ");
    std::string recordsArrow = literal(" ﾚｺｰﾄﾞ -> ");
};

const Words& words() {
    static const Words w;
    return w;
}

}  // namespace

std::string formatMilliseconds(double ms) {
    char digits[400];  // the widest double written out in full
    const auto r = std::to_chars(digits, digits + sizeof digits, ms, std::chars_format::fixed, 0);
    if (r.ec != std::errc()) return "0";
    return std::string(digits, r.ptr);
}

std::string searchLogLine(std::string_view caption, std::int32_t before, std::int32_t after,
                          double ms) {
    const Words& w = words();
    return w.search + std::string(caption) + "] " + integer(before) + w.arrow + integer(after) +
           w.count + " " + formatMilliseconds(ms) + w.millis;
}

std::string sortLogLine(std::string_view itemName, std::int32_t records, std::int32_t kind,
                        double ms) {
    const Words& w = words();
    const std::string& order = kind == 0 ? w.ascending : kind == 1 ? w.descending : w.original;
    return w.sort + std::string(itemName) + "] " + integer(records) + w.count + "(" + order + ") " +
           formatMilliseconds(ms) + w.millis;
}

std::string crossTabCaption(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records) {
    const Words& w = words();
    return w.cross + std::string(aggregate) + ")" + w.x + std::string(x) + w.y + std::string(y) +
           w.z + std::string(z) + "] " + integer(records) + " Rec";
}

std::string crossTabLogLine(std::string_view aggregate, std::string_view x, std::string_view y,
                            std::string_view z, std::int32_t records, double ms) {
    return crossTabCaption(aggregate, x, y, z, records) + " " + formatMilliseconds(ms) +
           words().millis;
}

std::string drillThroughLogLine(std::string_view x, std::string_view y, std::int32_t before,
                                std::int32_t after, double ms) {
    const Words& w = words();
    return w.drill + std::string(x) + w.y + std::string(y) + "] " + integer(before) +
           w.recordsArrow + integer(after) + w.records + " " + formatMilliseconds(ms) + w.millis;
}

std::string operationLogLine(std::string_view text, std::int32_t records, double ms) {
    return std::string(text) + " " + integer(records) + " Rec " + formatMilliseconds(ms) +
           words().millis;
}
