// Local date-times as the log gives them: no time zone, counted in seconds from
// 1970-01-01 00:00:00 of the same local clock.
#pragma once
#include <cstdint>
#include <string>

namespace report {

constexpr int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, unsigned month, unsigned day);

// The full year of a two-digit one: 69-99 are 1969-1999, 00-68 are 2000-2068
// (the POSIX rule for %y).
int YearOfTwoDigits(unsigned twoDigits);

// True when the day exists (month 1-12, day within the month).
bool IsValidDate(int year, unsigned month, unsigned day);

// "YYYY-MM-DDTHH:MM:SS" into `out` (19 characters, no terminator).
void WriteIsoDateTime(int64_t seconds, char* out);
// "YYYY-MM-DD HH:MM:SS", for people.
std::string DateTimeText(int64_t seconds);
// "1 d 02:03:04" or "02:03:04".
std::string DurationText(int64_t seconds);

}  // namespace report
