// Civil-day arithmetic on the engine's dates (yyyymmdd integers): days since 1970-01-01 in the
// proleptic Gregorian calendar, independent of the time zone and of daylight saving. Statistics,
// sums and averages of dates go through days, so a mean of two dates is a date again.
#pragma once

#include <cstdint>

namespace kw {

// Days since 1970-01-01 of a yyyymmdd date (proleptic Gregorian; no time zone, no daylight
// saving), and back.
constexpr std::int64_t DaysFromYmd(std::int32_t ymd) {
    std::int64_t y = ymd / 10000;
    const std::int64_t m = ymd / 100 % 100;
    const std::int64_t d = ymd % 100;
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr std::int64_t YmdFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2);
    return y * 10000 + m * 100 + d;
}

static_assert(DaysFromYmd(19700101) == 0 && DaysFromYmd(19691231) == -1 &&
              DaysFromYmd(20000301) == 11017 && YmdFromDays(11017) == 20000301 &&
              YmdFromDays(-1) == 19691231 && YmdFromDays(DaysFromYmd(16000229)) == 16000229);

}  // namespace kw
