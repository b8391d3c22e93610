#include "run/progress_figures.h"

#include <cmath>

namespace zered {

namespace {

// Wrapping 32-bit subtraction: the percentage takes both differences as 32-bit integers.
int32_t Difference32(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

}  // namespace

int64_t PercentDone(int32_t min, int32_t max, int32_t position) {
  if (min == max) return 0;
  const double done = static_cast<double>(Difference32(position, min));
  // Unequal bounds never wrap to a zero range, so the quotient is finite.
  const double range = static_cast<double>(Difference32(max, min));
  return static_cast<int64_t>(std::trunc(done / range * 100.0));
}

int FilledExtent(int32_t min, int32_t max, int32_t position, int length) {
  if (min >= max || position <= min) return 0;
  if (position > max) return length;
  // 64-bit differences: with min < position <= max neither can overflow.
  const double done = static_cast<double>(int64_t{position} - min);
  const double range = static_cast<double>(int64_t{max} - min);
  return static_cast<int>(std::trunc(done / range * length));
}

TRgb GradientRow(const TGradient& gradient, int y, int height) {
  const auto blend = [](const TRgb& a, const TRgb& b, double t) {
    const auto mix = [t](uint8_t from, uint8_t to) {
      return static_cast<uint8_t>(std::lround(from + (to - from) * t));
    };
    return TRgb{mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue)};
  };
  const int half = height / 2;
  if (y < half) return blend(gradient.top, gradient.middle_top, y / double(half - 1));
  return blend(gradient.middle_bottom, gradient.bottom, (y - half) / double(height - half - 1));
}

}  // namespace zered
