#include "platform/private_profile.h"

#include <windows.h>

// winbase.h names its win.ini function so; this file defines the program's own.
#undef WriteProfileString

#include "base/profile_text.h"
#include "platform/implementation.h"

namespace zered {

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view default_value) {
  // One more than the longest value, for the terminator.
  char buffer[kProfileValueLimit + 1];
  const std::string section_text(section);
  const std::string key_text(key);
  const std::string default_text(default_value);
  const DWORD length =
      ::GetPrivateProfileStringA(section_text.c_str(), key_text.c_str(), default_text.c_str(),
                                 buffer, sizeof buffer, path.c_str());
  return std::string(buffer, length);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  if (!MayWriteProfile(path, section, key, value)) return false;
  const std::string section_text(section);
  const std::string key_text(key);
  const std::string value_text(value);
  return ::WritePrivateProfileStringA(section_text.c_str(), key_text.c_str(), value_text.c_str(),
                                      path.c_str()) != 0;
}

}  // namespace zered
