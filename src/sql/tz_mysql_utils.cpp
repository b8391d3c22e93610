#include "sql/tz_mysql_utils.h"

#include "base/exceptions.h"
#include "base/format.h"

namespace zered {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string InfoValue(const TextLines& info, std::string_view name) {
  for (const std::string& line : info) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    if (SameTextAscii(std::string_view(line).substr(0, equals), name)) {
      return line.substr(equals + 1);
    }
  }
  return {};
}

void CheckMySQLError(IZMySQLPlainDriver& plain_driver, PZMySQLConnect handle) {
  std::string text = TrimBlanks(plain_driver.GetLastError(handle));
  int code = plain_driver.GetLastErrorCode(handle);
  if (code != 0 && !text.empty()) {
    throw EZSQLException(Format("SQL Error: %s", text.c_str()), code);
  }
}

}  // namespace zered
