#pragma once

#include <string>
#include <string_view>

// Byte helpers shared by the script parser, the statement text holder and the processor.
// ASCII only: the text is 8-bit in any code page and no locale is consulted.

namespace zered {

// `text` without the bytes 0 to 32 at both ends.
inline std::string_view TrimBytes(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

inline void TrimInPlace(std::string& text) {
  const std::string_view trimmed = TrimBytes(text);
  const size_t begin = static_cast<size_t>(trimmed.data() - text.data());
  text.erase(begin + trimmed.size());
  text.erase(0, begin);
}

inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

inline bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

inline bool StartsWithTextAscii(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

}  // namespace zered
