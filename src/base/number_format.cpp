#include "base/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zered {
namespace {

constexpr int kPrecision = 15;

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
  // "%.14e" rounds correctly to 15 significant digits: "d.ddddddddddddddde+XX".
  char scientific[32];
  std::snprintf(scientific, sizeof scientific, "%.*e", kPrecision - 1, value);
  const char* p = scientific;
  if (*p == '-') {
    *out++ = '-';
    ++p;
  }
  char digits[kPrecision];
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
