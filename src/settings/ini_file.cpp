#include "settings/ini_file.h"

#include "base/conversions.h"
#include "base/format.h"
#include "platform/private_profile.h"
#include "settings/ini_file_exception.h"

namespace zered {

TIniFile::TIniFile(std::string file_name) : file_name_(std::move(file_name)) {}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& default_value) const {
  return ReadProfileString(file_name_, section, ident, default_value);
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& ident,
                              int32_t default_value) const {
  std::string text = ReadString(section, ident, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.replace(0, 2, "$");
  }
  int32_t value = default_value;
  if (TryStrToInt(text, value)) return value;
  // Settings written by other tools keep 32-bit patterns in hexadecimal ("$FFFFFFFF" for -1);
  // those are taken as they are, where the shared conversion sees them out of range.
  int64_t wide = 0;
  const bool hexadecimal = text.find_first_of("$xX") != text.npos;
  if (hexadecimal && TryStrToInt64(text, wide) && wide >= -int64_t{0xFFFFFFFF} &&
      wide <= int64_t{0xFFFFFFFF}) {
    return static_cast<int32_t>(static_cast<uint32_t>(wide));
  }
  return default_value;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) {
  // A read strips one enclosing pair of quotes; the extra pair protects the value's own.
  const bool self_quoted = !value.empty() && value.front() == value.back() &&
                           (value.front() == '"' || value.front() == '\'');
  const std::string stored = self_quoted ? "\"" + value + "\"" : value;
  if (!WriteProfileString(file_name_, section, ident, stored)) {
    throw EIniFileException(Format("Unable to write to %s", file_name_.c_str()));
  }
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int32_t value) {
  WriteString(section, ident, std::to_string(value));
}

}  // namespace zered
