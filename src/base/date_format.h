#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/format_settings.h"

namespace zered {

// Formats with a Windows date/time pattern: d dd (ddd dddd day names) M MM (MMM MMMM month
// names, English) yy yyyy h hh H HH m mm s ss, t tt and AM/PM (12-hour clock for h/hh when
// present), '...' and "..." literals; other characters are copied. As in Windows patterns,
// M is the month and m the minute.
std::string FormatDateTimePattern(std::string_view pattern, TDateTime value);

// The short date, followed by a blank and the long time unless hour, minute and second are
// all zero.
std::string FormatTimestamp(TDateTime value, const TFormatSettings& settings);

// "yyyy-mm-dd" with each part zero-padded (the invoice line's date form).
void AppendIsoDate(std::string& out, TDateTime value);

// The system's text-to-date-and-time conversion: a date of three numbers in the order of the
// short date format, separated by its separator (the first character that is not a d, M or
// y), optionally followed by a time h[:mm[:ss[.zzz]]] with an optional AM/PM; or such a time
// alone (with ":" or AM/PM), which is a moment of day 0. Blanks may precede each number;
// two-digit years mean 1950 to 2049. False (value untouched) when the text is not accepted.
bool TryParseDateTime(std::string_view text, const TFormatSettings& settings, TDateTime& value);

}  // namespace zered
