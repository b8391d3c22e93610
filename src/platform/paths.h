#pragma once

#include <string>
#include <string_view>

namespace zered {

// The platform's rules for file paths. POSIX: "/" delimits, a path starting with "/" is full.
// Windows: "\" delimits, a path is full when it starts with a drive ("C:", any letter case) or
// with "\\" (a network share); a file name also ends a drive prefix (after "C:").

#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
#else
inline constexpr char kPathDelimiter = '/';
#endif

// `path` with the delimiter appended when it is not empty and does not end with one.
std::string IncludeTrailingPathDelimiter(std::string_view path);

bool IsFullPath(std::string_view path);

// Where the file name of `path` begins: after its last delimiter (on Windows also after a
// drive's ":"); 0 when it has no folder part.
size_t FileNameStart(std::string_view path);

}  // namespace zered
