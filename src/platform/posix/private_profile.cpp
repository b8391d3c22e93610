#include "platform/private_profile.h"

#include <optional>

#include "base/exceptions.h"
#include "base/profile_text.h"
#include "platform/files.h"
#include "platform/implementation.h"

namespace zered {

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view default_value) {
  std::string content;
  try {
    content = ReadWholeFile(ResolveFileNameCase(path));
  } catch (const Exception&) {
    return std::string(WithoutTrailingBlanks(default_value));
  }
  std::optional<std::string> value = FindProfileValue(content, section, key);
  return value ? std::move(*value) : std::string(WithoutTrailingBlanks(default_value));
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  // Writing to the name a read would find keeps reads and writes on one file.
  const std::string target = ResolveFileNameCase(path);
  if (!MayWriteProfile(target, section, key, value)) return false;
  std::string content;
  try {
    if (FileExists(target)) content = ReadWholeFile(target);
    SetProfileValue(content, section, key, value);
    ReplaceFileAtomically(target, content);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

}  // namespace zered
