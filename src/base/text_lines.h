#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zered {

// A list of 8-bit text lines, bytes carried unchanged (NUL included).
using TextLines = std::vector<std::string>;

// Splits at CR LF, a lone CR or a lone LF; a final line without a break counts, an empty
// text gives no lines.
TextLines SplitLines(std::string_view text);

// Every line followed by CR LF, the last one included.
std::string JoinLinesCrLf(const TextLines& lines);

}  // namespace zered
