#include "report/CivilTime.h"

#include <cstdio>

#include "report/Arithmetic.h"

namespace report {
namespace {
struct CivilDay {
  int64_t year;
  unsigned month;
  unsigned day;
};

// The inverse of DaysFromCivil (H. Hinnant's algorithm).
CivilDay CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const auto day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const auto month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

void WriteDigits(char* out, int64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

int64_t DaysFromCivil(int year, unsigned month, unsigned day) {
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

int YearOfTwoDigits(unsigned twoDigits) {
  return static_cast<int>(twoDigits >= 69 ? 1900 + twoDigits : 2000 + twoDigits);
}

bool IsValidDate(int year, unsigned month, unsigned day) {
  static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1u : 0u);
}

void WriteIsoDateTime(int64_t seconds, char* out) {
  const int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const int64_t second = seconds - days * kSecondsPerDay;
  const CivilDay civil = CivilFromDays(days);
  WriteDigits(out, civil.year, 4);
  out[4] = '-';
  WriteDigits(out + 5, civil.month, 2);
  out[7] = '-';
  WriteDigits(out + 8, civil.day, 2);
  out[10] = 'T';
  WriteDigits(out + 11, second / 3600, 2);
  out[13] = ':';
  WriteDigits(out + 14, second / 60 % 60, 2);
  out[16] = ':';
  WriteDigits(out + 17, second % 60, 2);
}

std::string DateTimeText(int64_t seconds) {
  char text[19];
  WriteIsoDateTime(seconds, text);
  text[10] = ' ';
  return std::string(text, sizeof text);
}

std::string DurationText(int64_t seconds) {
  const bool negative = seconds < 0;
  if (negative) seconds = -seconds;
  const long long days = seconds / kSecondsPerDay;
  const long long rest = seconds % kSecondsPerDay;
  char text[64];
  if (days > 0) {
    std::snprintf(text, sizeof text, "%s%lld d %02lld:%02lld:%02lld", negative ? "-" : "", days,
                  rest / 3600, rest / 60 % 60, rest % 60);
  } else {
    std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld", negative ? "-" : "", rest / 3600,
                  rest / 60 % 60, rest % 60);
  }
  return text;
}

}  // namespace report
