#include "platform/process.h"

#include <limits.h>
#include <time.h>
#include <unistd.h>

#include <mutex>

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

}  // namespace

std::string ExecutablePath() {
  {
    std::lock_guard<std::mutex> lock(OverrideMutex());
    if (!OverriddenPath().empty()) return OverriddenPath();
  }
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) return std::string();
  return std::string(buffer, static_cast<size_t>(length));
}

std::string ProgramFolder() {
  const std::string path = ExecutablePath();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void OverrideExecutablePath(const std::string& path) {
  std::lock_guard<std::mutex> lock(OverrideMutex());
  OverriddenPath() = path;
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

}  // namespace zered
