#include "platform/process.h"

#include <windows.h>

#include <vector>

#include "platform/files.h"
#include "platform/implementation.h"

namespace zered {

std::string RunningExecutablePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    // A path that fills the buffer may have been cut.
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool SetCurrentDir(const std::string& path) {
  return !path.empty() && ::SetCurrentDirectoryA(path.c_str()) != 0;
}

std::string GetCurrentDir() {
  const DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::string();
  std::string buffer(needed, '\0');
  const DWORD length = ::GetCurrentDirectoryA(needed, buffer.data());
  if (length == 0 || length >= needed) return std::string();
  buffer.resize(length);
  return buffer;
}

TDateTime Now() {
  SYSTEMTIME local;
  ::GetLocalTime(&local);
  TDateTime date = 0;
  TDateTime time = 0;
  TryEncodeDate(local.wYear, local.wMonth, local.wDay, date);
  TryEncodeTime(local.wHour, local.wMinute, local.wSecond, local.wMilliseconds, time);
  return CombineDateTime(date, time);
}

std::string ApplicationTitle(const std::string& executable_path) {
  std::string title = executable_path.substr(FolderLength(executable_path));
  title = title.substr(0, title.find('.'));
  // The ANSI code page's own letter case, as the system lowers its texts.
  if (title.size() > 1) ::CharLowerBuffA(title.data() + 1, static_cast<DWORD>(title.size() - 1));
  return title;
}

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> arguments = SplitCommandLine(::GetCommandLineA());
  arguments.erase(arguments.begin());
  return arguments;
}

}  // namespace zered
