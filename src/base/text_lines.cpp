#include "base/text_lines.h"

namespace zered {

TextLines SplitLines(std::string_view text) {
  TextLines lines;
  const size_t size = text.size();
  size_t start = 0;
  while (start < size) {
    size_t end = start;
    while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
    lines.emplace_back(text.substr(start, end - start));
    if (end < size) {
      // CR LF is one break; a lone CR or a lone LF is one break too.
      if (text[end] == '\r' && end + 1 < size && text[end + 1] == '\n') ++end;
      ++end;
    }
    start = end;
  }
  return lines;
}

std::string JoinLinesCrLf(const TextLines& lines) {
  size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 2;
  std::string text;
  text.reserve(total);
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace zered
