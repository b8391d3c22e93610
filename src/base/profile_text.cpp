#include "base/profile_text.h"

#include <vector>

namespace zered {

namespace {

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

struct ProfileLine {
  size_t begin = 0;  // first byte of the line
  size_t end = 0;    // first byte of the line break (or the text's end)
  size_t next = 0;   // first byte after the line break
  LineKind kind = LineKind::kBlank;
  std::string_view name;   // section or key name, without blanks
  std::string_view value;  // key value, without blanks, quotes kept
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

ProfileLine ClassifyLine(std::string_view content, size_t begin, size_t end, size_t next) {
  ProfileLine line;
  line.begin = begin;
  line.end = end;
  line.next = next;
  const std::string_view text = TrimBlanks(content.substr(begin, end - begin));
  if (text.empty()) {
    line.kind = LineKind::kBlank;
  } else if (text.front() == ';' || text.front() == '#') {
    line.kind = LineKind::kComment;
  } else if (text.front() == '[') {
    line.kind = LineKind::kSection;
    const std::string_view inner = text.substr(1);
    line.name = TrimBlanks(inner.substr(0, inner.find(']')));
  } else if (const size_t equals = text.find('='); equals != text.npos) {
    line.kind = LineKind::kKey;
    line.name = TrimBlanks(text.substr(0, equals));
    line.value = TrimBlanks(text.substr(equals + 1));
  } else {
    line.kind = LineKind::kOther;
  }
  return line;
}

// Windows files end lines in CR LF, files edited elsewhere in LF, old Mac files in CR: all
// three are accepted so that a hand-edited settings file never loses its keys.
std::vector<ProfileLine> SplitProfile(std::string_view content) {
  std::vector<ProfileLine> lines;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find_first_of("\r\n", pos);
    size_t next;
    if (end == content.npos) {
      end = content.size();
      next = end;
    } else if (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') {
      next = end + 2;
    } else {
      next = end + 1;
    }
    lines.push_back(ClassifyLine(content, pos, end, next));
    pos = next;
  }
  return lines;
}

// Index of the key's first occurrence within any section of the given name, or -1.
long FindKeyLine(const std::vector<ProfileLine>& lines, std::string_view section,
                 std::string_view key) {
  bool in_section = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const ProfileLine& line = lines[i];
    if (line.kind == LineKind::kSection) {
      in_section = SameNameIgnoringCase(line.name, section);
    } else if (in_section && line.kind == LineKind::kKey && SameNameIgnoringCase(line.name, key)) {
      return static_cast<long>(i);
    }
  }
  return -1;
}

std::string ReadableValue(std::string_view value) {
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\'')) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kProfileValueLimit));
}

bool EndsWithLineBreak(std::string_view content) {
  return !content.empty() && (content.back() == '\n' || content.back() == '\r');
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key) {
  const std::vector<ProfileLine> lines = SplitProfile(content);
  const long index = FindKeyLine(lines, section, key);
  if (index < 0) return std::nullopt;
  return ReadableValue(lines[static_cast<size_t>(index)].value);
}

bool IsWritableProfileEntry(std::string_view section, std::string_view key,
                            std::string_view value) {
  const auto is_clean_name = [](std::string_view name) {
    return !name.empty() && TrimBlanks(name).size() == name.size() && !HasLineBreak(name);
  };
  if (!is_clean_name(section) || section.find(']') != section.npos) return false;
  if (!is_clean_name(key) || key.find('=') != key.npos) return false;
  if (key.front() == ';' || key.front() == '#' || key.front() == '[') return false;
  return !HasLineBreak(value);
}

bool SetProfileValue(std::string& content, std::string_view section, std::string_view key,
                     std::string_view value) {
  if (!IsWritableProfileEntry(section, key, value)) return false;
  const std::vector<ProfileLine> lines = SplitProfile(content);

  if (const long index = FindKeyLine(lines, section, key); index >= 0) {
    // Only the bytes after "=" change; indentation and the key's spelling stay as written.
    const ProfileLine& line = lines[static_cast<size_t>(index)];
    const size_t equals = content.find('=', line.begin);
    content.replace(equals + 1, line.end - (equals + 1), value);
    return true;
  }

  std::string entry;
  entry.append(key).append("=").append(value).append("\r\n");

  // The section's last entry is its last line that is neither blank nor a comment, so that
  // blank lines and comments leading into the next section stay in front of it.
  long last_entry = -1;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != LineKind::kSection || !SameNameIgnoringCase(lines[i].name, section)) {
      continue;
    }
    last_entry = static_cast<long>(i);
    for (size_t j = i + 1; j < lines.size() && lines[j].kind != LineKind::kSection; ++j) {
      if (lines[j].kind == LineKind::kKey || lines[j].kind == LineKind::kOther) {
        last_entry = static_cast<long>(j);
      }
    }
    break;
  }
  if (last_entry >= 0) {
    const ProfileLine& line = lines[static_cast<size_t>(last_entry)];
    if (line.next == line.end) entry.insert(0, "\r\n");  // the text's last line had no break
    content.insert(line.next, entry);
    return true;
  }

  std::string block;
  if (!content.empty()) {
    if (!EndsWithLineBreak(content)) block.append("\r\n");
    if (lines.back().kind != LineKind::kBlank) block.append("\r\n");
  }
  block.append("[").append(section).append("]\r\n").append(entry);
  content.append(block);
  return true;
}

}  // namespace zered
