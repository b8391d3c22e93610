#include "base/conversions.h"

#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <cmath>
#include <limits>
#include <string>

namespace zered {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads an integer within [min, max]; the magnitude is accumulated unsigned so that the most
// negative value is accepted and overflow is seen before it happens.
template <typename T>
bool TryParseInteger(std::string_view text, T& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  using Unsigned = std::make_unsigned_t<T>;
  const Unsigned limit = negative ? static_cast<Unsigned>(std::numeric_limits<T>::max()) + 1u
                                  : static_cast<Unsigned>(std::numeric_limits<T>::max());
  Unsigned magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit =
        base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return false;
    if (magnitude > (limit - static_cast<Unsigned>(digit)) / base) return false;
    magnitude = static_cast<Unsigned>(magnitude * base + static_cast<Unsigned>(digit));
  }
  value = negative ? static_cast<T>(Unsigned{0} - magnitude) : static_cast<T>(magnitude);
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// strtod in the C locale: the conversion must not follow the process locale, which the window
// toolkit sets. The C libraries of Windows and POSIX name the locale functions differently.
double StrToDoubleInCLocale(const char* number, char** end) {
#ifdef _WIN32
  static const _locale_t locale = ::_create_locale(LC_ALL, "C");
  return ::_strtod_l(number, end, locale);
#else
  static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return ::strtod_l(number, end, locale);
#endif
}

}  // namespace

bool TryStrToInt(std::string_view text, int32_t& value) { return TryParseInteger(text, value); }

bool TryStrToInt64(std::string_view text, int64_t& value) { return TryParseInteger(text, value); }

bool TryStrToFloat(std::string_view text, char decimal_separator, double& value) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  // The number is copied in the C form ("." and "e") for a locale-independent conversion;
  // it is never longer than the text, and short texts need no allocation.
  char local[64];
  std::string heap;
  char* number = local;
  if (n >= sizeof local) {
    heap.resize(n + 1);
    number = heap.data();
  }
  size_t length = 0;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number[length++] = '-';
    ++i;
  }
  size_t mantissa_digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++mantissa_digits) number[length++] = text[i];
  if (i < n && text[i] == decimal_separator) {
    number[length++] = '.';
    for (++i; i < n && IsDigit(text[i]); ++i, ++mantissa_digits) number[length++] = text[i];
  }
  if (mantissa_digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    number[length++] = 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) number[length++] = text[i++];
    size_t exponent_digits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++exponent_digits) number[length++] = text[i];
    if (exponent_digits == 0) return false;
  }
  number[length] = '\0';
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return false;
  errno = 0;
  char* end = nullptr;
  const double result = StrToDoubleInCLocale(number, &end);
  // Too large is not a number; too small reads as (nearly) zero, as the digits say.
  if (end != number + length || !std::isfinite(result)) return false;
  if (errno == ERANGE && std::fabs(result) > 1) return false;
  value = result;
  return true;
}

bool IsTrueText(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (upper == "Y" || upper == "YES" || upper == "T" || upper == "TRUE") return true;
  int32_t number = 0;
  return TryStrToInt(text, number) && number != 0;
}

}  // namespace zered
