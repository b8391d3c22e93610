#pragma once

#include <cstdint>
#include <string>

namespace zered {

// The general number format: the value rounded to 15 significant digits, trailing zeros
// dropped, the given decimal separator, no thousands separators; fixed notation for 0 and
// for magnitudes from 0.0001 with at most 15 integer digits, otherwise scientific
// ("5E-5", "2.5E15", "-1.23456789012346E20").
std::string FormatGeneral(double value, char decimal_separator);
// Appends to `out` without allocating once `out` has capacity; for hot paths.
void AppendGeneral(std::string& out, double value, char decimal_separator);

// A currency amount (64-bit integer in ten-thousandths): at most 4 decimals, trailing zeros
// dropped, the given decimal separator.
std::string FormatCurrency(int64_t ten_thousandths, char decimal_separator);

}  // namespace zered
