// KW_search: the value list of an item by position, its order, its percentile positions and
// its statistics. Everything here walks the dictionary (one step per distinct value, weighted
// by its count), never the records.
#include <algorithm>
#include <cmath>
#include <new>

#include "engine/kw_dates.h"
#include "engine/kw_search.h"

namespace {

template <typename T>
std::size_t at(T i) {
    return static_cast<std::size_t>(i);
}

constexpr std::int64_t kDay = 86400;

// The number a statistic takes from an integer value: seconds for dates and times.
std::int64_t statisticOf(std::int32_t type, std::int32_t v) {
    if (type == KW_TYPE_DATE) return kw::DaysFromYmd(v) * kDay;
    if (type == KW_TYPE_TIME) return v / 10000 * 3600 + v / 100 % 100 * 60 + v % 100;
    return v;
}

}  // namespace

std::int32_t KW_search::KWgetValueCount(std::int32_t item) const {
    return validItem(item) ? static_cast<std::int32_t>(items_[at(item)].dict.size()) : -1;
}

const char* KW_search::KWgetValueText(std::int32_t item, std::int32_t position) const {
    const std::int32_t p = ValueListToDictionary(item, position);
    return p < 0 ? nullptr : DisplayText(item, p);
}

std::int32_t KW_search::KWgetValueInt(std::int32_t item, std::int32_t position) const {
    const std::int32_t p = ValueListToDictionary(item, position);
    if (p < KW_POS_FIRST_VALUE) return 0;
    const kw::ItemBlock& b = items_[at(item)];
    return kw::isIntegerType(b.def.type) ? b.dict[at(p)].high : 0;
}

double KW_search::KWgetValueDouble(std::int32_t item, std::int32_t position) const {
    const std::int32_t p = ValueListToDictionary(item, position);
    if (p < KW_POS_FIRST_VALUE) return 0;
    const kw::ItemBlock& b = items_[at(item)];
    if (b.def.type == KW_TYPE_FLOAT) return b.dict[at(p)].asDouble();
    if (kw::isIntegerType(b.def.type)) return b.dict[at(p)].high;
    return 0;
}

std::int32_t KW_search::KWgetValueDataCount(std::int32_t item, std::int32_t position) const {
    const std::int32_t p = ValueListToDictionary(item, position);
    return p < 0 ? -1 : dictionary(item)[at(p)].mapCount;
}

std::int32_t KW_search::KWgetItemDataCount(std::int32_t item) const {
    if (!validItem(item)) return -1;
    const kw::ItemBlock& b = items_[at(item)];
    if (!current_) return b.def.listLength;
    if (!kw::isMultiType(b.def.type)) return currentCount_;
    std::int64_t answers = 0;
    for (const KW_dict& e : dictionary(item))
        answers += e.mapCount;
    return static_cast<std::int32_t>(answers);  // at most the item's answers, an int32
}

std::int32_t KW_search::KWgetAnswerRange(std::int32_t item, std::int32_t* largest,
                                         std::int32_t* smallest) const {
    if (!validItem(item) || !kw::isMultiType(items_[at(item)].def.type)) return -1;
    const kw::LargeVector<std::int32_t>& starts = items_[at(item)].starts;
    std::int32_t most = 0, least = 0;
    for (std::int32_t r = 0; r < records_; ++r) {
        const std::int32_t n = starts[at(r) + 1] - starts[at(r)];
        most = r == 0 ? n : std::max(most, n);
        least = r == 0 ? n : std::min(least, n);
    }
    *largest = most;
    *smallest = least;
    return 0;
}

std::int32_t KW_search::KWsortValue(std::int32_t item, std::int32_t mode) {
    if (!validItem(item) || mode < -2 || mode > 1) return -1;
    ValueOrder& order = states_[at(item)].order;
    if (mode < 0) {
        order = {mode, {}};
        return 0;
    }
    const std::span<const KW_dict> dict = dictionary(item);
    std::vector<std::int32_t> sorted;
    try {
        sorted.resize(dict.size());
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    for (std::size_t p = 0; p < sorted.size(); ++p)
        sorted[p] = static_cast<std::int32_t>(p);
    // Error and blank keep positions 0 and 1; the ordinary values go by count, ties in
    // dictionary order (a stable sort of positions already ascending).
    std::stable_sort(sorted.begin() + KW_POS_FIRST_VALUE, sorted.end(),
                     [&](std::int32_t a, std::int32_t b) {
                         return dict[at(a)].mapCount < dict[at(b)].mapCount;
                     });
    order = {mode, std::move(sorted)};
    return 0;
}

std::int32_t KW_search::KWsaveSort(std::int32_t item) {
    if (!validItem(item)) return -1;
    ValueOrder& order = states_[at(item)].order;
    savedOrderItem_ = item;
    savedOrder_ = {order.mode, std::move(order.sorted)};
    order.sorted.clear();
    return 0;
}

std::int32_t KW_search::KWrestoreSort(std::int32_t item) {
    if (!validItem(item) || savedOrderItem_ != item) return -1;
    states_[at(item)].order = std::move(savedOrder_);
    savedOrder_ = {};
    savedOrderItem_ = -1;
    return 0;
}

std::int32_t KW_search::KWgetPercentPos(std::int32_t item, double percent) const {
    if (!validItem(item)) return -1;
    const std::span<const KW_dict> dict = dictionary(item);
    const auto size = static_cast<std::int32_t>(dict.size());
    std::int64_t total = 0;
    for (std::int32_t p = KW_POS_FIRST_VALUE; p < size; ++p)
        total += dict[at(p)].mapCount;
    if (size <= KW_POS_FIRST_VALUE || total == 0 || std::isnan(percent)) return KW_POS_FIRST_VALUE;
    // ceil(running share x 10^6) >= threshold, with the share counted / total x 100, in exact
    // integers: counted x 10^8 > (threshold - 1) x total. The share never passes 100 %, so a
    // threshold is clamped to what the comparison can tell apart.
    constexpr std::int64_t kScale = 100'000'000;
    const double truncated = std::trunc(percent * 1'000'000.0);
    const std::int64_t threshold = truncated <= 0       ? 0
                                   : truncated > kScale ? kScale + 1
                                                        : static_cast<std::int64_t>(truncated);
    std::int64_t counted = 0;
    for (std::int32_t p = size - 1; p >= KW_POS_FIRST_VALUE; --p) {
        const std::int32_t c = dict[at(p)].mapCount;
        if (c == 0) continue;
        counted += c;
        if (counted * kScale > (threshold - 1) * total) return p;
    }
    return KW_POS_FIRST_VALUE;
}

std::int32_t KW_search::KWgetStatistics(std::int32_t item, double* sum, double* mean,
                                        double* deviation) const {
    if (!validItem(item)) return -1;
    const std::int32_t type = items_[at(item)].def.type;
    if (!kw::isIntegerType(type) && type != KW_TYPE_FLOAT) return -1;
    const std::span<const KW_dict> dict = dictionary(item);
    const std::span<const KW_dict> values = dict.subspan(KW_POS_FIRST_VALUE);
    std::int64_t n = 0;
    for (const KW_dict& e : values)
        n += e.mapCount;
    if (n == 0) {
        *sum = *mean = *deviation = 0;
        return 0;
    }
    // Integers, dates and times sum exactly; floats in long double. The deviation takes the
    // second pass around the mean, which keeps its precision where a sum of squares would not.
    long double total = 0;
    if (type == KW_TYPE_FLOAT) {
        for (const KW_dict& e : values)
            total += static_cast<long double>(e.mapCount) * e.asDouble();
    } else {
        __int128 exact = 0;
        for (const KW_dict& e : values)
            exact += static_cast<__int128>(e.mapCount) * statisticOf(type, e.high);
        total = static_cast<long double>(exact);
    }
    const long double average = total / static_cast<long double>(n);
    long double squares = 0;
    for (const KW_dict& e : values) {
        if (e.mapCount == 0) continue;
        const long double v = type == KW_TYPE_FLOAT ? e.asDouble() : statisticOf(type, e.high);
        squares += static_cast<long double>(e.mapCount) * (v - average) * (v - average);
    }
    const long double spread = std::sqrt(squares / static_cast<long double>(n));

    *sum = static_cast<double>(total);
    if (type == KW_TYPE_DATE) {
        // The day of the mean instant: floor, so that a mean before 1970 keeps its day.
        *mean = static_cast<double>(
            kw::YmdFromDays(static_cast<std::int64_t>(std::floor(average / kDay))));
        *deviation = static_cast<double>(spread / kDay);
    } else if (type == KW_TYPE_TIME) {
        const auto seconds = static_cast<std::int64_t>(average);  // within one day, >= 0
        *mean =
            static_cast<double>(seconds / 3600 * 10000 + seconds / 60 % 60 * 100 + seconds % 60);
        *deviation = static_cast<double>(spread);
    } else {
        *mean = static_cast<double>(average);
        *deviation = static_cast<double>(spread);
    }
    return 0;
}
