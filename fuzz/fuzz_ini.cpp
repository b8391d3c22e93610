// INI text from untrusted bytes: reads and edits must never crash, and an edit must read back.
// Input: three length bytes (section, key, value), those three texts, then the file content.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/profile_text.h"

namespace {

std::string_view Take(std::string_view& input, size_t length) {
  length = length < input.size() ? length : input.size();
  const std::string_view part = input.substr(0, length);
  input.remove_prefix(length);
  return part;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A value that a read gives back unchanged: no blanks or quotes at its ends, not too long.
bool ReadsBackAsIs(std::string_view value) {
  if (value.size() > zered::kProfileValueLimit) return false;
  if (value.empty()) return true;
  for (const char end : {value.front(), value.back()}) {
    if (end == ' ' || end == '\t' || end == '"' || end == '\'') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.size() < 3) return 0;
  const size_t section_length = static_cast<uint8_t>(input[0]) % 16;
  const size_t key_length = static_cast<uint8_t>(input[1]) % 16;
  const size_t value_length = static_cast<uint8_t>(input[2]) % 32;
  input.remove_prefix(3);
  const std::string_view section = Take(input, section_length);
  const std::string_view key = Take(input, key_length);
  const std::string_view value = Take(input, value_length);

  const std::optional<std::string> found = zered::FindProfileValue(input, section, key);
  if (found && found->size() > zered::kProfileValueLimit) __builtin_trap();

  // Another key of the same section, to see that an edit leaves it alone.
  constexpr std::string_view kProbe = "FormVersion";
  const std::optional<std::string> probe_before = zered::FindProfileValue(input, section, kProbe);

  std::string content(input);
  if (!zered::SetProfileValue(content, section, key, value)) {
    if (content != input) __builtin_trap();
    return 0;
  }
  const std::optional<std::string> read_back = zered::FindProfileValue(content, section, key);
  if (!read_back) __builtin_trap();
  if (ReadsBackAsIs(value) && *read_back != value) __builtin_trap();
  if (!SameIgnoringCase(key, kProbe) &&
      zered::FindProfileValue(content, section, kProbe) != probe_before) {
    __builtin_trap();
  }
  return 0;
}
