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

}  // namespace zered
