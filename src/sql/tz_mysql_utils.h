#pragma once

#include <string>
#include <string_view>

#include "base/text_lines.h"
#include "sql/tz_mysql_plain_driver.h"

namespace zered {

// After a failed client library call: raises EZSQLException "SQL Error: %s" with the library's
// error text (trimmed of bytes 0 to 32) and its error number as the code when both are set;
// otherwise returns and the caller decides.
void CheckMySQLError(IZMySQLPlainDriver& plain_driver, PZMySQLConnect handle);

// The value of `name` in name=value lines, the name compared without regard to ASCII case;
// the first line that matches wins; empty when absent.
std::string InfoValue(const TextLines& info, std::string_view name);

// Removes the bytes 0 to 32 at both ends.
std::string TrimBlanks(std::string_view text);

}  // namespace zered
