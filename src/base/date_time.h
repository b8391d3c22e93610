#pragma once

namespace zered {

// Date-and-time value: whole part counts days from 30 December 1899 (day 0), the fraction is
// the time of day; before that day the fraction is subtracted (-1.25 is 29 Dec 1899 06:00).
using TDateTime = double;

struct DateParts {
  int year = 0;
  int month = 0;
  int day = 0;
};

struct TimeParts {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Proleptic Gregorian calendar, years 1 to 9999.
bool IsValidDate(int year, int month, int day);
// False (value untouched) when the date is not valid.
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value);
// Combines a date (whole days) and a time of day (fraction) with the sign rule above.
TDateTime CombineDateTime(TDateTime date, TDateTime time);

DateParts DecodeDate(TDateTime value);
// Rounds to the nearest millisecond.
TimeParts DecodeTime(TDateTime value);

}  // namespace zered
