#pragma once

#include <string_view>

namespace zered {

// Writes `line` followed by the platform's line break to the process's standard error stream
// in one write, when the process has such a stream (a Windows program started without one, a
// closed descriptor: nothing happens). The bytes go out unchanged. Never fails.
void WriteStandardErrorLine(std::string_view line);

}  // namespace zered
