#include "platform/private_profile.h"

#include "base/exceptions.h"
#include "base/profile_text.h"
#include "platform/files.h"
#include "platform/implementation.h"

namespace zered {

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool MayWriteProfile(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value) {
  if (!IsWritableProfileEntry(section, key, value)) return false;
  if (!FileExists(path)) return true;
  // Writing into a file that cannot be read would drop what it holds.
  try {
    TReadOnlyFile probe(path);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

}  // namespace zered
