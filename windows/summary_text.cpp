#include "windows/summary_text.h"

#include <charconv>
#include <cmath>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "windows/item_texts.h"

namespace zbq::windows {

namespace {

using zbq::cp932::literal;

constexpr std::int32_t kFirstValue = 2;

constexpr std::string_view kSeparator = "--------------------------------\r\n";
constexpr std::string_view kRankSeparator = "----------\r\n";

// The text, and beside it, when asked for, the same text as the user reads it: labels and type
// captions through the caller's `shown`, values as they stand.
class Lines {
public:
    Lines(const ShownBytes& shown, std::string* shownText) : shown_(shown), shownText_(shownText) {}
    void add(std::string_view utf8Label, std::string_view value, bool caption = false) {
        const std::string label = literal(utf8Label);
        out_ += label;
        out_ += value;
        out_ += "\r\n";
        if (!shownText_) return;
        *shownText_ += shown_(label);
        *shownText_ += caption ? shown_(std::string(value)) : std::string(value);
        *shownText_ += "\r\n";
    }
    void separator(std::string_view line = kSeparator) {
        out_ += line;
        if (shownText_) *shownText_ += line;
    }
    std::string take() { return std::move(out_); }

private:
    const ShownBytes& shown_;
    std::string* shownText_;
    std::string out_;
};

std::string countText(std::int64_t n) {
    return CKWApp::FormatInt64(n);
}

// "%08.0f" / "%06.0f" of a mean, cut into a date or time when long enough.
std::string meanText(double mean, bool date) {
    const std::size_t width = date ? 8 : 6;
    std::string digits = plainDouble(mean, 0);
    if (digits.empty()) return {};
    const bool negative = digits[0] == '-';
    if (negative) digits.erase(0, 1);
    const std::size_t room = width - (negative ? 1 : 0);
    if (digits.size() < room) digits.insert(0, room - digits.size(), '0');
    if (negative) digits.insert(0, 1, '-');
    if (digits.size() < width) return {};
    if (date) return digits.substr(0, 4) + "/" + digits.substr(4, 2) + "/" + digits.substr(6, 2);
    return digits.substr(0, 2) + ":" + digits.substr(2, 2) + ":" + digits.substr(4, 2);
}

// The rank's value: a date shown only when its "%d" has exactly eight digits.
std::string rankValue(const ItemValues& values, std::int32_t p) {
    if (values.itemType() != 5) return values.summaryValue(p);
    const std::int32_t v = values.intValue(p);
    return v >= 10000000 && v <= 99999999 ? dateText(v) : std::string();
}

}  // namespace

std::string SummaryText(const CKWApp& app, std::int32_t item) {
    return SummaryText(app, item, {}, nullptr);
}

std::string SummaryText(const CKWApp& app, std::int32_t item, const ShownBytes& shown,
                        std::string* shownText) {
    if (shownText) shownText->clear();
    const ItemValues values(app, item);
    const std::int32_t type = values.itemType();
    const std::int32_t n = values.count();
    const bool any = n > kFirstValue;
    const std::int32_t all = app.KWgetItemDataCount(item);
    const std::int32_t errors = values.records(0);
    const std::int32_t blanks = values.records(1);

    // One walk: the frequencies and the smallest and largest values with records.
    std::int32_t most = 0, least = 0, firstPresent = -1, lastPresent = -1;
    for (std::int32_t p = kFirstValue; p < n; ++p) {
        const std::int32_t c = values.records(p);
        if (p == kFirstValue || c > most) most = c;
        if (p == kFirstValue || c < least) least = c;
        if (c > 0) {
            if (firstPresent < 0) firstPresent = p;
            lastPresent = p;
        }
    }
    const std::string none = "-";
    const auto valueAt = [&](std::int32_t p) { return p < 0 ? none : values.summaryValue(p); };
    const bool coded = type == 0 || type == 1;
    // A code item's values 10 to 13 follow "CODE: ", which stands after the label's tabs and is
    // the same in both languages.
    const std::string code = coded ? "CODE: " : "";

    Lines lines(shown, shown ? shownText : nullptr);
    lines.add(ZBQ_SHOWN("1.項目名:\t\t"), app.GetItemName(item));
    lines.add(ZBQ_SHOWN("2.タイプ:\t\t"), CKWApp::GetItemTypeCaption(type), true);
    lines.add(ZBQ_SHOWN("3.全ﾚｺｰﾄﾞ数:\t\t"), countText(all));
    lines.separator();
    lines.add(ZBQ_SHOWN("4.ｴﾗｰﾚｺｰﾄﾞ数:\t\t"), countText(errors));
    lines.add(ZBQ_SHOWN("5.ﾌﾞﾗﾝｸﾚｺｰﾄﾞ数:\t\t"), countText(blanks));
    lines.separator();
    lines.add(ZBQ_SHOWN("6.通常ﾚｺｰﾄﾞ数:\t\t"), countText(std::int64_t{all} - errors - blanks));
    lines.add(ZBQ_SHOWN("7.通常値の種類:\t\t"), countText(n > kFirstValue ? n - kFirstValue : 0));
    lines.add(ZBQ_SHOWN("8.通常値の最多数:\t"), any ? countText(most) : none);
    lines.add(ZBQ_SHOWN("9.通常値の最小数:\t"), any ? countText(least) : none);
    lines.separator();
    lines.add(ZBQ_SHOWN("10.最小定義値:\t\t"),
              code + (any ? values.summaryValue(kFirstValue) : none));
    lines.add(ZBQ_SHOWN("11.最大定義値:\t\t"), code + (any ? values.summaryValue(n - 1) : none));
    lines.add(ZBQ_SHOWN("12.最小存在値:\t\t"), code + valueAt(firstPresent));
    lines.add(ZBQ_SHOWN("13.最大存在値:\t\t"), code + valueAt(lastPresent));

    const bool numeric = type == 2 || type == 3 || type == 5 || type == 7;
    if (numeric) {
        double sum = 0, mean = 0, deviation = 0;
        app.KWgetStatistics(item, &sum, &mean, &deviation);
        const bool date = type == 5, time = type == 7;
        lines.add(ZBQ_SHOWN("14.合計値:\t\t"), any && !date && !time ? plainDouble(sum) : none);
        lines.add(ZBQ_SHOWN("15.平均値:\t\t"), !any           ? none
                                               : date || time ? meanText(mean, date)
                                                              : plainDouble(mean));
        lines.add(ZBQ_SHOWN("16.標準偏差:\t\t"), any ? plainDouble(deviation) : none);
        const auto quartile = [&](double percent) {
            return any ? values.summaryValue(app.KWgetPercentPos(item, percent)) : none;
        };
        lines.add(ZBQ_SHOWN("17.４分位値（下）:\t"), quartile(75));
        lines.add(ZBQ_SHOWN("18.中央値:\t\t"), quartile(50));
        lines.add(ZBQ_SHOWN("19.４分位値（上）:\t"), quartile(25));
    } else if (type == 1) {
        const std::int32_t records = app.Search().KWgetDataCount();
        std::int32_t largest = 0, smallest = 0;
        app.KWgetAnswerRange(item, &largest, &smallest);
        const bool enough = records > 2;
        lines.add(ZBQ_SHOWN("14.親ﾚｺｰﾄﾞ数:\t\t"), countText(records));
        lines.add(ZBQ_SHOWN("15.最小回答数:\t\t"), enough ? countText(smallest) : none);
        lines.add(ZBQ_SHOWN("16.最大回答数:\t\t"), enough ? countText(largest) : none);
        lines.add(ZBQ_SHOWN("17.平均回答数:\t\t"),
                  enough ? plainDouble(static_cast<double>(all) / records, 3) : none);
    }
    return lines.take();
}

std::string PercentStepText(double percent) {
    return plainDouble(percent, 1);
}

std::string PercentRankText(const CKWApp& app, std::int32_t item, double percent) {
    return PercentRankText(app, item, percent, {}, nullptr);
}

std::string PercentRankText(const CKWApp& app, std::int32_t item, double percent,
                            const ShownBytes& shown, std::string* shownText) {
    if (shownText) shownText->clear();
    const ItemValues values(app, item);
    const std::int32_t type = values.itemType();
    Lines lines(shown, shown ? shownText : nullptr);
    lines.separator(kRankSeparator);
    lines.add(ZBQ_SHOWN("タイプ:"), CKWApp::GetItemTypeCaption(type), true);
    lines.add(ZBQ_SHOWN("％順位["), PercentStepText(percent) + "]");
    const std::int32_t p = app.KWgetPercentPos(item, std::trunc(percent));
    // Without an ordinary value there is nothing at any rank; the engine's answer then names a
    // position the item does not have.
    const bool any = p >= kFirstValue && p < values.count();
    const char* const value = ZBQ_SHOWN("値      ");
    switch (type) {
        case 0:
        case 1:
            lines.add(ZBQ_SHOWN("ｺｰﾄﾞ    "), any ? values.summaryValue(p) : "-");
            break;
        case 2:
            lines.add(value, any ? plainInt(values.intValue(p)) : "-");
            break;
        case 3:
        case 4:
        case 5:
        case 7:
            lines.add(value, any ? rankValue(values, p) : "-");
            break;
        default:
            break;
    }
    return lines.take();
}

PercentInput CheckPercentText(std::string_view text) {
    if (text.empty() || !CKWApp::IsDecimalText(text) || text == "-" || text == "." || text == "-.")
        return {std::nullopt, ZBQ_SHOWN("数値を入力してください")};
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return {std::nullopt, ZBQ_SHOWN("数値を入力してください")};
    if (!(value >= 0.0 && value <= 100.0))
        return {std::nullopt, ZBQ_SHOWN("0～100の範囲で入力してください")};
    return {value, {}};
}

}  // namespace zbq::windows
