#pragma once

#include <string>

namespace zered {

// printf-style formatting for the system's message patterns ("%s", "%d").
// Arguments of %s are C strings; pass std::string through .c_str().
std::string Format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zered
