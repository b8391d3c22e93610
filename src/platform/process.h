#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"

namespace zered {

// The folder of the running executable, ending in its path delimiter: the executable's full
// path cut after its last delimiter (on Windows also after a ":").
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

// The program's arguments after the program's name. On Windows the process's command line
// (GetCommandLineA) split by SplitCommandLine; elsewhere the arguments as the system passed
// them.
std::vector<std::string> CommandLineArguments();

// Splits a command line by the Windows rules, the program's name first. The name runs to the
// first blank or tab outside double quotes, and its quotes are dropped. The arguments after it
// are separated by blanks and tabs outside double quotes; a double quote starts or ends a
// quoted stretch and is dropped, and within a quoted stretch two double quotes give one.
// Backslashes are taken as they are, except before a double quote: 2n of them give n and
// leave the quote its meaning, 2n + 1 give n and a literal double quote.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

}  // namespace zered
