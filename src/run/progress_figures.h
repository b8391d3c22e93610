#pragma once

#include <cstdint>

namespace zered {

// What a progress bar shows for `position` between `min` and `max`, stored as set, in any order.

// 0 when min equals max; otherwise (position - min) / (max - min) * 100 with both differences
// taken as 32-bit integers, truncated toward zero. Not clamped: above 100 past max, negative
// below min.
int64_t PercentDone(int32_t min, int32_t max, int32_t position);

// The filled length out of `length` pixels: 0 when min >= max or position <= min, `length`
// when position > max, otherwise the proportional share truncated toward zero.
int FilledExtent(int32_t min, int32_t max, int32_t position, int length);

struct TRgb {
  uint8_t red, green, blue;
};

// A fill picture's vertical gradient: top to middle_top over the upper half, then a sharp step
// (the glossy look) and middle_bottom to bottom over the lower half. Every column is alike.
struct TGradient {
  TRgb top, middle_top, middle_bottom, bottom;
};

// The main window's fill picture: 13 x 10 pixels of glossy blue.
inline constexpr int kFillPictureWidth = 13;
inline constexpr int kFillPictureHeight = 10;
inline constexpr TGradient kGlossyBlue{
    {190, 220, 255}, {100, 160, 240}, {30, 95, 215}, {90, 160, 250}};

// The colour of row `y` (0 at the top) of a gradient picture `height` rows high (at least 4).
TRgb GradientRow(const TGradient& gradient, int y, int height);

}  // namespace zered
