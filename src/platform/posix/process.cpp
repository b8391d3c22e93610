#include "platform/process.h"

#include <limits.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/implementation.h"

namespace zered {

std::string RunningExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) return std::string();
  return std::string(buffer, static_cast<size_t>(length));
}

bool SetCurrentDir(const std::string& path) { return !path.empty() && ::chdir(path.c_str()) == 0; }

std::string GetCurrentDir() {
  char buffer[PATH_MAX];
  if (::getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return std::string(buffer);
}

TDateTime Now() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  TDateTime date = 0;
  TDateTime time = 0;
  TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
  // A leap second reads as the last second of its minute.
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  TryEncodeTime(local.tm_hour, local.tm_min, second, static_cast<int>(now.tv_nsec / 1000000), time);
  return CombineDateTime(date, time);
}

// The shell has split the line already; the kernel keeps the arguments NUL-separated.
std::vector<std::string> CommandLineArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> arguments;
  size_t start = 0;
  while (start < all.size()) {
    const size_t end = all.find('\0', start);
    const size_t stop = end == std::string::npos ? all.size() : end;
    arguments.emplace_back(all, start, stop - start);
    start = stop + 1;
  }
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

}  // namespace zered
