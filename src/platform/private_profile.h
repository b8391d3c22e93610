#pragma once

#include <string>
#include <string_view>

namespace zered {

// The private-profile functions: INI files read and written by full path, the program's only
// way to its settings files. On Windows GetPrivateProfileStringA and WritePrivateProfileStringA;
// elsewhere the same rules on the INI text of base/profile_text.h. Section and key names match
// ignoring letter case; blanks around a value and one enclosing pair of quotes are not part of
// it; a value is read with at most 2047 characters.

// Reads `key` of `section` from the file `path` (elsewhere than on Windows, a file differing
// only in letter case is taken when the exact name does not exist). Gives `default_value`
// without its trailing blanks, as Windows does, when the file cannot be read or the section
// or key is absent; a key with an empty value gives the empty text. Never fails.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view default_value);

// Writes `key` of `section` into the file `path`, creating file, section and key as needed
// and leaving every other line as it was. Returns false, writing nothing, when the entry
// could not be read back as written (see IsWritableProfileEntry) or the file exists but
// cannot be read (it is never replaced then); false also when the file cannot be written.
// Elsewhere than on Windows the file is replaced atomically, so a failure at any point leaves
// the old file complete.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace zered
