#pragma once

#include <cstdint>
#include <string>

namespace zered {

// One INI settings file, named by its path, reached through the private-profile functions
// (platform/private_profile.h). Holds nothing of the file: every read sees the file as it is
// on disk, and every write goes to the file at once, so releasing the object has nothing left
// to write out. Meant to live for one operation.
class TIniFile {
 public:
  explicit TIniFile(std::string file_name);

  const std::string& FileName() const { return file_name_; }

  // The stored value (blanks around it and one enclosing pair of quotes removed, at most 2047
  // characters), or `default_value` (without trailing blanks) when the file, section or key is
  // absent. Never fails.
  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& default_value) const;

  // The stored value as a 32-bit integer: a leading "0x"/"0X" counts as "$" (hexadecimal),
  // then the program's integer conversion; anything that does not convert gives
  // `default_value`.
  int32_t ReadInteger(const std::string& section, const std::string& ident,
                      int32_t default_value) const;

  // Stores `value`. A non-empty value that begins and ends with the same quote character gets
  // one more pair of double quotes, so that a read gives it back unchanged. Throws
  // EIniFileException "Unable to write to %s" when the file cannot be written (or the
  // section, key or value cannot be stored in an INI line); the file then stays as it was.
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);

  // Stores the decimal text of `value`; fails as WriteString.
  void WriteInteger(const std::string& section, const std::string& ident, int32_t value);

 private:
  std::string file_name_;
};

}  // namespace zered
