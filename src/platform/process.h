#pragma once

#include <string>

#include "base/date_time.h"

namespace zered {

// The folder of the running executable, ending in "/".
std::string ProgramFolder();
// The executable's full path.
std::string ExecutablePath();
// The application title: the executable's file name without its folder and without
// everything from its first "." on, its first character unchanged and the rest in lower case
// by the system's rules (UTF-8 file names on POSIX, the ANSI code page on Windows).
std::string ApplicationTitle(const std::string& executable_path);
// For tests: makes ProgramFolder()/ExecutablePath() report this executable path instead.
void OverrideExecutablePath(const std::string& path);

// Sets the process's current directory; false when it fails.
bool SetCurrentDir(const std::string& path);
std::string GetCurrentDir();

// The local date and time now, to the millisecond.
TDateTime Now();

}  // namespace zered
