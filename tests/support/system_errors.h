#pragma once

#include <cerrno>

namespace zered::test {

// The system's error numbers for the failures the tests provoke: Windows error codes on
// Windows, errno values elsewhere.
#ifdef _WIN32
inline constexpr int kFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
inline constexpr int kFolderNotFound = 3;  // ERROR_PATH_NOT_FOUND
inline constexpr int kFolderAsFile = 5;    // ERROR_ACCESS_DENIED: Windows opens no folder as a file
#else
inline constexpr int kFileNotFound = ENOENT;
inline constexpr int kFolderNotFound = ENOENT;
inline constexpr int kFolderAsFile = EISDIR;
#endif

}  // namespace zered::test
