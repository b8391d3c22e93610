#include "base/number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace zered {
namespace {

constexpr int kPrecision = 15;

// Amounts carry at most a few decimals. For such a value the rounding to 15 significant
// digits gives exactly the decimal n / 10^k that the double was read from, and integer
// arithmetic finds it without printf's exact binary-to-decimal conversion, which would
// otherwise dominate an export of amounts. It is exact because n < 10^15 and 10^k are exact
// doubles and their quotient is correctly rounded: when it equals `value`, the decimal (at
// most 15 significant digits) lies within half an ulp (2^-53 relative) of `value`, closer
// than half a step (over 10^-15 relative) of the 15-digit grid, so it is the rounded value.
// Returns 0 for values outside the fixed-point range or with more than 4 decimals.
size_t LayOutShortDecimal(double value, char decimal_separator, char (&buffer)[48]) {
  static constexpr double kScales[] = {1, 10, 100, 1000, 10000};
  static constexpr uint64_t kDivisors[] = {1, 10, 100, 1000, 10000};
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-4 && magnitude < 1e15)) return 0;
  for (int k = 0; k < 5; ++k) {
    const double scaled = std::nearbyint(magnitude * kScales[k]);
    if (scaled >= 1e15) return 0;
    if (scaled / kScales[k] != magnitude) continue;
    const auto digits = static_cast<uint64_t>(scaled);
    const uint64_t whole = digits / kDivisors[k];
    uint64_t fraction = digits % kDivisors[k];
    int decimals = k;
    while (decimals > 0 && fraction % 10 == 0) {
      fraction /= 10;
      --decimals;
    }
    char digits_backwards[32];
    char* end = digits_backwards + sizeof digits_backwards;
    char* out = end;
    for (int i = 0; i < decimals; ++i) {
      *--out = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    if (decimals > 0) *--out = decimal_separator;
    uint64_t rest = whole;
    do {
      *--out = static_cast<char>('0' + rest % 10);
      rest /= 10;
    } while (rest != 0);
    if (value < 0) *--out = '-';
    const auto length = static_cast<size_t>(end - out);
    std::copy(out, end, buffer);
    return length;
  }
  return 0;
}

// Lays out `value` in the general format into `buffer`; returns the length. The buffer
// holds the longest result: sign, 15 digits, 19 zeros of a small fixed value, separator and
// exponent.
size_t LayOutGeneral(double value, char decimal_separator, char (&buffer)[48]) {
  char* out = buffer;
  if (std::isnan(value)) {
    std::snprintf(buffer, sizeof buffer, "NAN");
    return 3;
  }
  if (std::isinf(value)) {
    return static_cast<size_t>(std::snprintf(buffer, sizeof buffer, value < 0 ? "-INF" : "INF"));
  }
  if (value == 0) {
    buffer[0] = '0';
    return 1;
  }
  if (const size_t length = LayOutShortDecimal(value, decimal_separator, buffer)) return length;
  // "%.14e" rounds correctly to 15 significant digits: "d.ddddddddddddddde+XX".
  char scientific[32];
  std::snprintf(scientific, sizeof scientific, "%.*e", kPrecision - 1, value);
  const char* p = scientific;
  if (*p == '-') {
    *out++ = '-';
    ++p;
  }
  char digits[kPrecision] = {};
  int count = 0;
  for (; *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') digits[count++] = *p;
  }
  const int exponent = std::atoi(p + 1);
  while (count > 1 && digits[count - 1] == '0') --count;

  if (exponent < -4 || exponent >= kPrecision) {
    *out++ = digits[0];
    if (count > 1) {
      *out++ = decimal_separator;
      for (int i = 1; i < count; ++i) *out++ = digits[i];
    }
    *out++ = 'E';
    out += std::snprintf(out, 8, "%d", exponent);
    return static_cast<size_t>(out - buffer);
  }
  if (exponent < 0) {
    *out++ = '0';
    *out++ = decimal_separator;
    for (int i = -1; i > exponent; --i) *out++ = '0';
    for (int i = 0; i < count; ++i) *out++ = digits[i];
    return static_cast<size_t>(out - buffer);
  }
  for (int i = 0; i <= exponent; ++i) *out++ = i < count ? digits[i] : '0';
  if (count > exponent + 1) {
    *out++ = decimal_separator;
    for (int i = exponent + 1; i < count; ++i) *out++ = digits[i];
  }
  return static_cast<size_t>(out - buffer);
}

}  // namespace

std::string FormatGeneral(double value, char decimal_separator) {
  std::string text;
  AppendGeneral(text, value, decimal_separator);
  return text;
}

void AppendGeneral(std::string& out, double value, char decimal_separator) {
  char buffer[48];
  out.append(buffer, LayOutGeneral(value, decimal_separator, buffer));
}

std::string FormatCurrency(int64_t ten_thousandths, char decimal_separator) {
  // Unsigned arithmetic keeps the most negative amount representable.
  const bool negative = ten_thousandths < 0;
  const uint64_t magnitude =
      negative ? uint64_t{0} - static_cast<uint64_t>(ten_thousandths) : ten_thousandths;
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04u", static_cast<unsigned>(fraction));
    int length = 4;
    while (digits[length - 1] == '0') --length;
    text += decimal_separator;
    text.append(digits, static_cast<size_t>(length));
  }
  return text;
}

}  // namespace zered
