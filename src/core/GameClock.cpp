#include "core/GameClock.h"

#include <cmath>
#include <cstdio>

namespace tarnwake::core {

namespace {

constexpr long long kMillisPerDay = 86'400'000LL;
constexpr long long kMillisPerMinute = 60'000LL;
constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days from 1 January of year 1 to the given date (proleptic Gregorian), 1 January 1 = 0.
long long DaysFromCivilOrigin(int year, int month, int day) {
    static constexpr int kCumulative[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const long long y = year - 1;
    long long days = y * 365 + y / 4 - y / 100 + y / 400;
    days += kCumulative[month - 1];
    if (month > 2 && IsLeapYear(year)) {
        ++days;
    }
    return days + day - 1;
}

const long long kEpochDays = DaysFromCivilOrigin(1899, 12, 30);

long long ToMillis(TDateTime value) {
    // Beyond the years 1..9999 a value is garbage from a damaged file; pin it to the range
    // rather than overflow.
    constexpr double kMaxDays = 2958465.0;
    constexpr double kMinDays = -693593.0;
    if (!std::isfinite(value)) {
        return 0;
    }
    if (value > kMaxDays) {
        value = kMaxDays;
    } else if (value < kMinDays) {
        value = kMinDays;
    }
    return std::llround(value * static_cast<double>(kMillisPerDay));
}

// A day count and a time of day from a clock value. The scale is linear on both sides of
// 30 December 1899: the day is the whole part rounded down and the time of day what is
// left, so adding a minute always moves the clock forward, in 1899 as in 1916.
void SplitMillis(TDateTime value, long long& dayNumber, long long& millisOfDay) {
    const long long millis = ToMillis(value);
    dayNumber = millis / kMillisPerDay;
    millisOfDay = millis % kMillisPerDay;
    if (millisOfDay < 0) {
        millisOfDay += kMillisPerDay;
        --dayNumber;
    }
}

void CivilFromDays(long long daysFromOrigin, int& year, int& month, int& day) {
    // Counted in years that begin on 1 March, so that the leap day ends a year: every month
    // length then follows from the day of that year alone. The clock is read for every ship
    // every minute, so this is arithmetic, not a walk through the years.
    constexpr long long kDaysPer400 = 146097;
    // 1 January of the year 1 is day 306 of the March-based year 0.
    constexpr long long kMarchOfYearZero = 306;
    const long long z = daysFromOrigin + kMarchOfYearZero;
    const long long era = (z >= 0 ? z : z - (kDaysPer400 - 1)) / kDaysPer400;
    const long long dayOfEra = z - era * kDaysPer400;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

} // namespace

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

bool TryEncodeDateTime(const TDateParts& parts, TDateTime& out) {
    if (!IsValidDate(parts.year, parts.month, parts.day) || parts.hour < 0 || parts.hour > 23 ||
        parts.minute < 0 || parts.minute > 59 || parts.second < 0 || parts.second > 59) {
        return false;
    }
    const long long days = DaysFromCivilOrigin(parts.year, parts.month, parts.day) - kEpochDays;
    const long long seconds = parts.hour * 3600LL + parts.minute * 60LL + parts.second;
    const double fraction = static_cast<double>(seconds) / 86400.0;
    // One linear scale on both sides of the epoch (see SplitMillis).
    out = static_cast<double>(days) + fraction;
    return true;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute) {
    TDateTime result = 0.0;
    TryEncodeDateTime({year, month, day, hour, minute, 0}, result);
    return result;
}

TDateParts DecodeDateTime(TDateTime value) {
    long long dayNumber = 0;
    long long millisOfDay = 0;
    SplitMillis(value, dayNumber, millisOfDay);
    TDateParts parts;
    CivilFromDays(dayNumber + kEpochDays, parts.year, parts.month, parts.day);
    const long long seconds = millisOfDay / 1000;
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

TDateTime IncMinute(TDateTime value, long long minutes) {
    // Work in whole milliseconds so that 2,880 single-minute steps land exactly on the minute.
    const long long millis = ToMillis(value) + minutes * kMillisPerMinute;
    return static_cast<double>(millis) / static_cast<double>(kMillisPerDay);
}

long long MinutesBetween(TDateTime from, TDateTime to) {
    const long long diff = ToMillis(to) - ToMillis(from);
    return diff >= 0 ? (diff + kMillisPerMinute / 2) / kMillisPerMinute
                     : -((-diff + kMillisPerMinute / 2) / kMillisPerMinute);
}

std::string FormatTime(TDateTime value) {
    const TDateParts p = DecodeDateTime(value);
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", p.hour % 100, p.minute % 100);
    return buffer;
}

std::string FormatDate(TDateTime value) {
    const TDateParts p = DecodeDateTime(value);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p.year % 10000, p.month % 100,
                  p.day % 100);
    return buffer;
}

std::string FormatDateTime(TDateTime value) {
    return FormatDate(value) + " " + FormatTime(value);
}

} // namespace tarnwake::core
