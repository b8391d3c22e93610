#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/format_settings.h"

namespace zered {

// Formats with a Windows date/time pattern: d dd (ddd dddd day names) M MM (MMM MMMM month
// names, English) yy yyyy h hh H HH m mm s ss, tt (the morning's or the afternoon's designator)
// and t (its first character)
// and AM/PM (12-hour clock for h/hh when one of these is present), '...' and "..." literals;
// other characters, blanks and separators such as ". " included, are copied. As in Windows
// patterns, M is the month and m the minute.
std::string FormatDateTimePattern(std::string_view pattern, TDateTime value,
                                  std::string_view am_designator = "AM",
                                  std::string_view pm_designator = "PM");

// The short date, followed by a blank and the long time unless hour, minute and second are
// all zero; "tt" writes the settings' morning and afternoon designators.
std::string FormatTimestamp(TDateTime value, const TFormatSettings& settings);

// "yyyy-mm-dd" with each part zero-padded (the invoice line's date form).
void AppendIsoDate(std::string& out, TDateTime value);

// The system's text-to-date-and-time conversion: a date of three numbers in the order of the
// short date format, separated by its separator (the first character that is not a d, M or
// y), optionally followed by a time h[:mm[:ss[.zzz]]] with an optional AM/PM; or such a time
// alone (with ":" or AM/PM), which is a moment of day 0. The settings' own designators count as
// AM and PM too. Blanks may precede each number;
// two-digit years mean 1950 to 2049. False (value untouched) when the text is not accepted.
bool TryParseDateTime(std::string_view text, const TFormatSettings& settings, TDateTime& value);

}  // namespace zered
