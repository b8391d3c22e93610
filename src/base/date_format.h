#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/format_settings.h"

namespace zered {

// Formats with a Windows date/time pattern: d dd M MM yy yyyy h hh H HH m mm s ss, tt and
// AM/PM (12-hour clock for h/hh when present), '...' and "..." literals; other characters
// are copied.
std::string FormatDateTimePattern(std::string_view pattern, TDateTime value);

// The short date, followed by a blank and the long time unless hour, minute and second are
// all zero.
std::string FormatTimestamp(TDateTime value, const TFormatSettings& settings);

// "yyyy-mm-dd" with each part zero-padded (the invoice line's date form).
void AppendIsoDate(std::string& out, TDateTime value);

// The system's text-to-date-and-time conversion: a date in the order of the short date
// format (its separator), optionally followed by a time h[:mm[:ss]] with an optional AM/PM.
// False when the text is not accepted.
bool TryParseDateTime(std::string_view text, const TFormatSettings& settings, TDateTime& value);

}  // namespace zered
