#pragma once

#include <cstdint>
#include <string_view>

namespace zered {

// The system's integer conversion: optional leading blanks, at most one "+" or "-", then
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may
// follow; out of range is not an integer. False leaves `value` untouched.
bool TryStrToInt(std::string_view text, int32_t& value);
bool TryStrToInt64(std::string_view text, int64_t& value);

// The system's floating-point conversion: optional blanks, optional sign, digits, optionally
// the decimal separator and digits, optionally E/e with optional sign and digits, optional
// blanks, nothing else; no thousands separators; too large is not a number.
bool TryStrToFloat(std::string_view text, char decimal_separator, double& value);

// Truth test of a setting text: upper-cased "Y", "YES", "T", "TRUE", or an integer other
// than 0.
bool IsTrueText(std::string_view text);

}  // namespace zered
