#include "base/date_format.h"

#include <cstdio>

namespace zered {
namespace {

constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};

void AppendNumber(std::string& out, int number, int min_digits) {
  char buffer[16];
  const int length = std::snprintf(buffer, sizeof buffer, "%0*d", min_digits, number);
  out.append(buffer, static_cast<size_t>(length));
}

size_t RunLength(std::string_view pattern, size_t i) {
  size_t end = i;
  while (end < pattern.size() && pattern[end] == pattern[i]) ++end;
  return end - i;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[at + i];
    char b = prefix[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

bool HasAmPm(std::string_view pattern) {
  char quote = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == 't' || StartsWithNoCase(pattern, i, "AM/PM")) {
      return true;
    }
  }
  return false;
}

// 0 = Sunday; day 0 (30 December 1899) was a Saturday.
int DayOfWeek(TDateTime value) {
  long long day = static_cast<long long>(value);
  int weekday = static_cast<int>((day + 6) % 7);
  return weekday < 0 ? weekday + 7 : weekday;
}

}  // namespace

std::string FormatDateTimePattern(std::string_view pattern, TDateTime value,
                                  std::string_view am_designator, std::string_view pm_designator) {
  const DateParts date = DecodeDate(value);
  const TimeParts time = DecodeTime(value);
  const bool twelve_hour = HasAmPm(pattern);
  const bool pm = time.hour >= 12;
  std::string out;
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '\'' || c == '"') {
      const size_t close = pattern.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? pattern.size() : close;
      out.append(pattern.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? end : end + 1;
      continue;
    }
    if (StartsWithNoCase(pattern, i, "AM/PM")) {
      const bool lower = pattern[i] == 'a';
      out += pm ? (lower ? "pm" : "PM") : (lower ? "am" : "AM");
      i += 5;
      continue;
    }
    const size_t run = RunLength(pattern, i);
    switch (c) {
      case 'd':
        if (run >= 4) {
          out += kDayNames[DayOfWeek(value)];
        } else if (run == 3) {
          out.append(kDayNames[DayOfWeek(value)], 3);
        } else {
          AppendNumber(out, date.day, static_cast<int>(run));
        }
        break;
      case 'M':
        if (run >= 4) {
          out += kMonthNames[date.month >= 1 ? date.month - 1 : 0];
        } else if (run == 3) {
          out.append(kMonthNames[date.month >= 1 ? date.month - 1 : 0], 3);
        } else {
          AppendNumber(out, date.month, static_cast<int>(run));
        }
        break;
      case 'y':
        if (run <= 2) {
          AppendNumber(out, date.year % 100, static_cast<int>(run));
        } else {
          AppendNumber(out, date.year, 4);
        }
        break;
      case 'h':
      case 'H': {
        int hour = time.hour;
        if (c == 'h' && twelve_hour) hour = hour % 12 == 0 ? 12 : hour % 12;
        AppendNumber(out, hour, run >= 2 ? 2 : 1);
        break;
      }
      case 'm':
        AppendNumber(out, time.minute, run >= 2 ? 2 : 1);
        break;
      case 's':
        AppendNumber(out, time.second, run >= 2 ? 2 : 1);
        break;
      case 't': {
        const std::string_view designator = pm ? pm_designator : am_designator;
        out += run >= 2 ? designator : designator.substr(0, 1);
        break;
      }
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

std::string FormatTimestamp(TDateTime value, const TFormatSettings& settings) {
  std::string text = FormatDateTimePattern(settings.short_date_format, value);
  const TimeParts time = DecodeTime(value);
  if (time.hour != 0 || time.minute != 0 || time.second != 0) {
    text += ' ';
    text += FormatDateTimePattern(settings.long_time_format, value, settings.time_am_string,
                                  settings.time_pm_string);
  }
  return text;
}

namespace {

// Appends `value` (0 <= value < 10^count) zero-padded to `count` digits.
void AppendDigits(std::string& out, int value, int count) {
  char digits[4];
  for (int i = count - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(digits, static_cast<size_t>(count));
}

}  // namespace

void AppendIsoDate(std::string& out, TDateTime value) {
  const DateParts date = DecodeDate(value);
  // Written digit by digit: an export writes three dates per record, and snprintf would cost
  // more than the rest of a date's way from the table.
  if (date.year >= 1 && date.year <= 9999) {
    AppendDigits(out, date.year, 4);
    out += '-';
    AppendDigits(out, date.month, 2);
    out += '-';
    AppendDigits(out, date.day, 2);
    return;
  }
  char buffer[16];
  const int length =
      std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
  out.append(buffer, static_cast<size_t>(length));
}

namespace {

// A cursor over the text being parsed.
struct Scanner {
  std::string_view text;
  size_t at = 0;

  void SkipBlanks() {
    while (at < text.size() && text[at] == ' ') ++at;
  }
  bool AtEnd() const { return at >= text.size(); }
  bool Take(char c) {
    if (at < text.size() && text[at] == c) {
      ++at;
      return true;
    }
    return false;
  }
  // Up to `max_digits` decimal digits; false when there is none.
  bool Number(int& value, int& digits, int max_digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      if (digits == max_digits) return false;
      value = value * 10 + (text[at] - '0');
      ++digits;
      ++at;
    }
    return digits > 0;
  }
};

enum class DateOrder { kMdy, kDmy, kYmd };

DateOrder OrderOf(std::string_view format) {
  const size_t d = format.find('d');
  const size_t m = format.find('M');
  const size_t y = format.find('y');
  if (y != std::string_view::npos && (d == std::string_view::npos || y < d) &&
      (m == std::string_view::npos || y < m))
    return DateOrder::kYmd;
  if (d != std::string_view::npos && m != std::string_view::npos && d < m) return DateOrder::kDmy;
  return DateOrder::kMdy;
}

char SeparatorOf(std::string_view format) {
  for (const char c : format) {
    if (c != 'd' && c != 'M' && c != 'y' && c != ' ' && c != '\'' && c != '"') return c;
  }
  return '/';
}

bool ScanDate(Scanner& scanner, const TFormatSettings& settings, TDateTime& value) {
  const char separator = SeparatorOf(settings.short_date_format);
  int numbers[3];
  int digits[3];
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && !scanner.Take(separator)) return false;
    if (!scanner.Number(numbers[i], digits[i], 4)) return false;
  }
  // A date format that ends in its separator ("yyyy.MM.dd.") may be written with it.
  if (!settings.short_date_format.empty() && settings.short_date_format.back() == separator)
    scanner.Take(separator);
  int year = 0;
  int month = 0;
  int day = 0;
  int year_digits = 0;
  switch (OrderOf(settings.short_date_format)) {
    case DateOrder::kMdy:
      month = numbers[0], day = numbers[1], year = numbers[2], year_digits = digits[2];
      break;
    case DateOrder::kDmy:
      day = numbers[0], month = numbers[1], year = numbers[2], year_digits = digits[2];
      break;
    case DateOrder::kYmd:
      year = numbers[0], month = numbers[1], day = numbers[2], year_digits = digits[0];
      break;
  }
  // Two-digit years fall into 1950..2049.
  if (year_digits <= 2) year += year < 50 ? 2000 : 1900;
  return TryEncodeDate(year, month, day, value);
}

// `bare` tells whether the time was a lone hour, without ":" or AM/PM.
bool ScanTime(Scanner& scanner, const TFormatSettings& settings, TDateTime& value, bool& bare) {
  bare = true;
  int parts[3] = {0, 0, 0};
  int millisecond = 0;
  int digits = 0;
  if (!scanner.Number(parts[0], digits, 2)) return false;
  for (int i = 1; i < 3 && scanner.Take(':'); ++i) {
    bare = false;
    if (!scanner.Number(parts[i], digits, 2)) return false;
    if (i == 2 && scanner.Take('.')) {
      if (!scanner.Number(millisecond, digits, 3)) return false;
      while (digits++ < 3) millisecond *= 10;
    }
  }
  scanner.SkipBlanks();
  int hour = parts[0];
  struct Marker {
    std::string_view text;
    bool pm;
  };
  for (const Marker marker :
       {Marker{settings.time_am_string, false}, Marker{settings.time_pm_string, true},
        Marker{"AM", false}, Marker{"PM", true}, Marker{"A", false}, Marker{"P", true}}) {
    if (marker.text.empty() || !StartsWithNoCase(scanner.text, scanner.at, marker.text)) continue;
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (marker.pm ? 12 : 0);
    scanner.at += marker.text.size();
    bare = false;
    break;
  }
  return TryEncodeTime(hour, parts[1], parts[2], millisecond, value);
}

}  // namespace

bool TryParseDateTime(std::string_view text, const TFormatSettings& settings, TDateTime& value) {
  Scanner scanner{text};
  TDateTime date = 0;
  TDateTime time = 0;
  bool bare = false;
  if (ScanDate(scanner, settings, date)) {
    scanner.SkipBlanks();
    if (!scanner.AtEnd() && !ScanTime(scanner, settings, time, bare)) return false;
  } else {
    // A time alone is a moment of day 0; a lone number is no time.
    scanner = Scanner{text};
    date = 0;
    if (!ScanTime(scanner, settings, time, bare) || bare) return false;
  }
  scanner.SkipBlanks();
  if (!scanner.AtEnd()) return false;
  value = CombineDateTime(date, time);
  return true;
}

}  // namespace zered
