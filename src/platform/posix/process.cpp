#include "platform/process.h"

#include <limits.h>
#include <locale.h>
#include <time.h>
#include <unistd.h>
#include <wctype.h>

#include <fstream>
#include <iterator>
#include <string_view>

#include "platform/files.h"
#include "platform/implementation.h"

namespace zered {

namespace {

// Length of the UTF-8 sequence starting at `text[i]`, 0 when the bytes there are no valid
// sequence; `code_point` gets its value.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& code_point) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code_point = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code_point = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code_point = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code_point = (code_point << 6) | (byte(i + k) & 0x3F);
  }
  const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code_point < kSmallest[length] || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    return 0;
  }
  return length;
}

void EncodeUtf8(char32_t code_point, std::string& out) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

// Letter case follows Unicode, whatever locale the process has set.
locale_t Utf8Locale() {
  static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

std::string ApplicationTitle(const std::string& executable_path) {
  std::string_view name(executable_path);
  name.remove_prefix(FolderLength(name));
  name = name.substr(0, name.find('.'));
  std::string title;
  for (size_t i = 0; i < name.size();) {
    char32_t code_point = 0;
    const size_t length = DecodeUtf8(name, i, code_point);
    if (length == 0) {  // not UTF-8: the byte stays as it is
      title += name[i++];
      continue;
    }
    if (i > 0 && Utf8Locale() != static_cast<locale_t>(0)) {
      code_point =
          static_cast<char32_t>(::towlower_l(static_cast<wint_t>(code_point), Utf8Locale()));
    }
    EncodeUtf8(code_point, title);
    i += length;
  }
  return title;
}

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
