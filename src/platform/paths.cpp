#include "platform/paths.h"

namespace zered {

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string result(path);
  if (!result.empty() && result.back() != kPathDelimiter) result.push_back(kPathDelimiter);
  return result;
}

bool IsFullPath(std::string_view path) {
#ifdef _WIN32
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || path.starts_with("\\\\");
#else
  return path.starts_with('/');
#endif
}

size_t FileNameStart(std::string_view path) {
#ifdef _WIN32
  const size_t last = path.find_last_of("\\:");
#else
  const size_t last = path.rfind('/');
#endif
  return last == std::string_view::npos ? 0 : last + 1;
}

}  // namespace zered
