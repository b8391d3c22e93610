#include "dbf/field_decoding.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "base/conversions.h"
#include "base/date_time.h"
#include "base/exceptions.h"
#include "base/format.h"

namespace zered {

namespace {

constexpr int64_t kMillisecondsPerDay = 86400000;
// Days from 1 January 0001 (day 1) to 30 December 1899 (day 0 of the date-and-time value).
constexpr int64_t kDelphiDateOffset = 693594;
// Julian day number of the day before 1 January 0001.
constexpr int64_t kJulianDayOffset = 1721425;

uint32_t LoadLittle32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

uint32_t LoadBig32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint32_t{b[3]} | uint32_t{b[2]} << 8 | uint32_t{b[1]} << 16 | uint32_t{b[0]} << 24;
}

uint64_t LoadLittle64(const char* p) {
  return uint64_t{LoadLittle32(p)} | uint64_t{LoadLittle32(p + 4)} << 32;
}

uint64_t LoadBig64(const char* p) { return uint64_t{LoadBig32(p)} << 32 | LoadBig32(p + 4); }

bool AllZero(std::string_view bytes) {
  for (char c : bytes) {
    if (c != 0) return false;
  }
  return true;
}

// Whole days and a time of day (in milliseconds) as a date-and-time value; before day 0 the
// time is subtracted, so -1.25 is 29 December 1899, 06:00.
double DaysAndMilliseconds(int64_t whole_days, int64_t milliseconds) {
  const double fraction = static_cast<double>(milliseconds) / kMillisecondsPerDay;
  const auto whole = static_cast<double>(whole_days);
  return whole_days < 0 ? whole - fraction : whole + fraction;
}

[[noreturn]] void InvalidTimestamp(int64_t date, int64_t time) {
  throw EConvertError(Format("'%lld.%lld' is not a valid timestamp", static_cast<long long>(date),
                             static_cast<long long>(time)));
}

TFieldValue DecodeBinary(const TFieldCoding& coding, std::string_view bytes) {
  TFieldValue value;
  const char* p = bytes.data();
  switch (coding.native_type) {
    case 'I':
    case '+':
      if (bytes.size() < 4) return value;
      if (coding.native_type == 'I' && coding.table_level == 25) {
        value.integer = static_cast<int32_t>(LoadLittle32(p));
      } else {
        if (AllZero(bytes.substr(0, 4))) return value;
        value.integer = static_cast<int32_t>(LoadBig32(p) ^ 0x80000000u);
      }
      break;
    case 'B':
      if (bytes.size() < 8) return value;
      value.number = std::bit_cast<double>(LoadLittle64(p));
      break;
    case 'Y':
      if (bytes.size() < 8) return value;
      value.integer = static_cast<int64_t>(LoadLittle64(p));
      value.number = static_cast<double>(value.integer) / 10000;
      break;
    case 'O': {
      if (bytes.size() < 8 || AllZero(bytes.substr(0, 8))) return value;
      uint64_t bits = LoadBig64(p);
      // Positive numbers are stored with the sign bit set, negative ones with all bits
      // inverted, so that the bytes sort like the numbers.
      bits = static_cast<int64_t>(bits) > 0 ? ~bits : bits ^ (uint64_t{1} << 63);
      value.number = std::bit_cast<double>(bits);
      break;
    }
    case '@': {
      if (bytes.size() < 8 || AllZero(bytes.substr(0, 4)) || AllZero(bytes.substr(4, 4))) {
        return value;
      }
      const double x = std::bit_cast<double>(LoadBig64(p));
      if (coding.date_time_handling == dtDateTime) {
        value.number = x;
        break;
      }
      // Milliseconds since 1 January 0001 minus one day. Clamped so that the conversion to
      // an integer is defined for any stored bits; NaN counts as 0.
      int64_t m = 0;
      if (x >= 9.2e18) {
        m = INT64_C(9200000000000000000);
      } else if (x <= -9.2e18) {
        m = -INT64_C(9200000000000000000);
      } else if (!std::isnan(x)) {
        m = static_cast<int64_t>(std::llround(x));
      }
      const int64_t days = m / kMillisecondsPerDay;
      const int64_t milliseconds = m % kMillisecondsPerDay;
      if (days <= 0) InvalidTimestamp(days, milliseconds);
      value.number = DaysAndMilliseconds(days - kDelphiDateOffset, milliseconds);
      break;
    }
    case 'T': {
      if (bytes.size() < 8 || AllZero(bytes.substr(0, 8))) return value;
      const int64_t day = static_cast<int32_t>(LoadLittle32(p));
      const int64_t milliseconds = static_cast<int32_t>(LoadLittle32(p + 4));
      if (day <= kJulianDayOffset || milliseconds < 0) {
        InvalidTimestamp(day - kJulianDayOffset, milliseconds);
      }
      value.number = DaysAndMilliseconds(day - kJulianDayOffset - kDelphiDateOffset, milliseconds);
      break;
    }
    case 'M':
      if (bytes.size() < 4) return value;
      value.integer = LoadLittle32(p);
      if (value.integer == 0) return value;
      break;
    default:
      return value;
  }
  value.empty = false;
  return value;
}

// A part of a stored date: `text` (at most its first characters) read as an integer, 1
// when it is not one.
int DatePart(std::string_view text) {
  int32_t part = 0;
  return TryStrToInt(text, part) ? part : 1;
}

double DecodeDate(std::string_view t) {
  // Positions beyond the end of the field count as blanks.
  char digits[8];
  std::memset(digits, ' ', sizeof digits);
  std::memcpy(digits, t.data(), std::min(t.size(), sizeof digits));
  const std::string_view all(digits, sizeof digits);
  const int year = DatePart(all.substr(0, 4));
  const int month = DatePart(all.substr(4, 2));
  const int day = DatePart(all.substr(6, 2));
  double date = 0;
  if (!TryEncodeDate(year, month, day, date)) return 0;
  return date;
}

double DecodeFloat(std::string_view t, char decimal_separator) {
  double number = 0;
  const size_t point = t.find('.');
  if (decimal_separator == '.' || point == std::string_view::npos) {
    return TryStrToFloat(t, decimal_separator, number) ? number : 0;
  }
  // The stored "." becomes the system's separator on a copy: the record stays untouched.
  char buffer[64];
  std::string long_copy;
  char* copy = buffer;
  if (t.size() > sizeof buffer) {
    long_copy.assign(t);
    copy = long_copy.data();
  } else {
    std::memcpy(buffer, t.data(), t.size());
  }
  copy[point] = decimal_separator;
  return TryStrToFloat(std::string_view(copy, t.size()), decimal_separator, number) ? number : 0;
}

TFieldValue DecodeText(std::string_view t, TFieldType wanted, char decimal_separator) {
  TFieldValue value;
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  if (wanted != ftString) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  }
  if (t.empty()) return value;
  switch (wanted) {
    case ftString:
      value.text = t.substr(0, t.find('\0'));
      break;
    case ftSmallint:
    case ftInteger: {
      int32_t integer = 0;
      if (TryStrToInt(t, integer)) {
        value.integer = wanted == ftSmallint ? static_cast<int16_t>(integer) : integer;
      }
      break;
    }
    case ftLargeint: {
      int64_t integer = 0;
      if (TryStrToInt64(t, integer)) value.integer = integer;
      break;
    }
    case ftFloat:
      value.number = DecodeFloat(t, decimal_separator);
      break;
    case ftBoolean:
      value.boolean = t.front() == 'T' || t.front() == 't';
      break;
    case ftDate:
      value.number = DecodeDate(t);
      break;
    default:
      return value;
  }
  value.empty = false;
  return value;
}

}  // namespace

bool IsBinaryStorage(const TFieldCoding& coding) {
  switch (coding.native_type) {
    case 'I':
    case '+':
    case 'Y':
    case 'O':
    case '@':
    case 'T':
      return true;
    case 'B':
      return coding.table_level == 25;
    case 'M':
      return coding.size == 4;
    default:
      return false;
  }
}

TFieldValue DecodeFieldValue(const TFieldCoding& coding, std::string_view bytes, TFieldType wanted,
                             char decimal_separator) {
  if (static_cast<int>(bytes.size()) > coding.size && coding.size >= 0) {
    bytes = bytes.substr(0, static_cast<size_t>(coding.size));
  }
  if (IsBinaryStorage(coding)) return DecodeBinary(coding, bytes);
  return DecodeText(bytes, wanted, decimal_separator);
}

}  // namespace zered
