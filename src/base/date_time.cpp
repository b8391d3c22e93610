#include "base/date_time.h"

#include <cmath>
#include <cstdint>

namespace zered {
namespace {

constexpr int64_t kMsPerDay = 86400000;
// Day number of 30 December 1899 when 1 January 0001 is day 1.
constexpr int64_t kDateDelta = 693594;
// Day numbers (1 January 0001 = 1) of 1 January 0001 and 31 December 9999.
constexpr int64_t kFirstDay = 1;
constexpr int64_t kLastDay = 3652059;

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 0001 (that day being 1).
int64_t DayNumber(int year, int month, int day) {
  int64_t days = day;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  const int64_t y = year - 1;
  return days + y * 365 + y / 4 - y / 100 + y / 400;
}

// Milliseconds of the value, rounded; false when the value is not a representable moment.
bool ToMilliseconds(TDateTime value, int64_t& ms) {
  if (!std::isfinite(value)) return false;
  const double scaled = std::round(value * static_cast<double>(kMsPerDay));
  // Far outside the calendar, the value has no date; the bound keeps the cast defined.
  if (std::fabs(scaled) > 1e18) return false;
  ms = static_cast<int64_t>(scaled);
  return true;
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
  if (!IsValidDate(year, month, day)) return false;
  value = static_cast<double>(DayNumber(year, month, day) - kDateDelta);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    return false;
  const int64_t ms = ((hour * 60 + minute) * 60 + second) * int64_t{1000} + millisecond;
  value = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  return true;
}

TDateTime CombineDateTime(TDateTime date, TDateTime time) {
  return date < 0 ? date - time : date + time;
}

DateParts DecodeDate(TDateTime value) {
  int64_t ms = 0;
  if (!ToMilliseconds(value, ms)) return {};
  const int64_t day_number = ms / kMsPerDay + kDateDelta;
  if (day_number < kFirstDay || day_number > kLastDay) return {};
  // Civil date from a day count (400-year cycles of 146097 days).
  int64_t n = day_number - 1;
  int64_t year = 1 + 400 * (n / 146097);
  n %= 146097;
  int64_t centuries = n / 36524;
  if (centuries == 4) centuries = 3;
  year += 100 * centuries;
  n -= centuries * 36524;
  year += 4 * (n / 1461);
  n %= 1461;
  int64_t years = n / 365;
  if (years == 4) years = 3;
  year += years;
  n -= years * 365;
  DateParts parts;
  parts.year = static_cast<int>(year);
  parts.month = 1;
  while (n >= DaysInMonth(parts.year, parts.month)) {
    n -= DaysInMonth(parts.year, parts.month);
    ++parts.month;
  }
  parts.day = static_cast<int>(n) + 1;
  return parts;
}

TimeParts DecodeTime(TDateTime value) {
  int64_t ms = 0;
  if (!ToMilliseconds(value, ms)) return {};
  // Before day 0 the fraction counts backwards from the whole day, so its magnitude is the
  // time of day.
  int64_t of_day = ms % kMsPerDay;
  if (of_day < 0) of_day = -of_day;
  TimeParts parts;
  parts.millisecond = static_cast<int>(of_day % 1000);
  of_day /= 1000;
  parts.second = static_cast<int>(of_day % 60);
  of_day /= 60;
  parts.minute = static_cast<int>(of_day % 60);
  parts.hour = static_cast<int>(of_day / 60);
  return parts;
}

}  // namespace zered
