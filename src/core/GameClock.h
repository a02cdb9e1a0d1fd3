#pragma once

#include <string>

namespace tarnwake::core {

// The game clock is a day count from 30 December 1899 held in a double: the whole part is
// the date, the fraction the time of day. Saved games and design files store dates on this
// scale, so it is kept as it is; the operations below round to the millisecond so that
// adding minutes for two days of play never drifts off the minute.
using TDateTime = double;

struct TDateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Returns false (and leaves `out` alone) for a date that does not exist.
bool TryEncodeDateTime(const TDateParts& parts, TDateTime& out);
// As TryEncodeDateTime, answering 0 (30 December 1899) for an impossible date.
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0);
TDateParts DecodeDateTime(TDateTime value);

bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);

TDateTime IncMinute(TDateTime value, long long minutes);

// Whole minutes between two clock values, rounded to the nearest minute.
long long MinutesBetween(TDateTime from, TDateTime to);

// "hh:nn": hours and minutes, 24-hour, both two digits ("07:05").
std::string FormatTime(TDateTime value);
// The short date and time shown in the status bar and written in logs. One fixed form,
// independent of the machine's locale: "1916-05-31 14:48".
std::string FormatDateTime(TDateTime value);
// The short date alone: "1916-05-31".
std::string FormatDate(TDateTime value);

} // namespace tarnwake::core
