#include "platform/process.h"

#include <mutex>

#include "platform/files.h"
#include "platform/implementation.h"

namespace zered {
namespace {

std::mutex& OverrideMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& OverriddenPath() {
  static std::string path;
  return path;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string ExecutablePath() {
  {
    std::lock_guard<std::mutex> lock(OverrideMutex());
    if (!OverriddenPath().empty()) return OverriddenPath();
  }
  return RunningExecutablePath();
}

std::string ProgramFolder() {
  const std::string path = ExecutablePath();
  return path.substr(0, FolderLength(path));
}

void OverrideExecutablePath(const std::string& path) {
  std::lock_guard<std::mutex> lock(OverrideMutex());
  OverriddenPath() = path;
}

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  std::vector<std::string> arguments;
  size_t at = 0;
  const size_t size = command_line.size();

  // The program's name: a path, so backslashes are plain characters.
  std::string name;
  bool quoted = false;
  for (; at < size && (quoted || !IsBlank(command_line[at])); ++at) {
    if (command_line[at] == '"') {
      quoted = !quoted;
    } else {
      name += command_line[at];
    }
  }
  arguments.push_back(std::move(name));

  for (;;) {
    while (at < size && IsBlank(command_line[at])) ++at;
    if (at >= size) break;
    std::string argument;
    quoted = false;
    while (at < size && (quoted || !IsBlank(command_line[at]))) {
      const char c = command_line[at];
      if (c == '\\') {
        size_t backslashes = 0;
        while (at < size && command_line[at] == '\\') ++backslashes, ++at;
        if (at < size && command_line[at] == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            argument += '"';
            ++at;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (c == '"') {
        if (quoted && at + 1 < size && command_line[at + 1] == '"') {
          argument += '"';
          at += 2;
        } else {
          quoted = !quoted;
          ++at;
        }
      } else {
        argument += c;
        ++at;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace zered
