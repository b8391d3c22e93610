#pragma once

#include <string>
#include <string_view>

#include "sql/tz_mysql_plain_driver.h"

namespace zered {

// Serves the server's local-file requests (LOAD DATA LOCAL INFILE) only for the file that the
// executing statement names. A request made while no statement runs, while the statement is
// not a LOAD DATA LOCAL INFILE, or for any other file is refused, so the statement fails with
// the client library's error and no byte of the file is sent. Relative names are resolved
// against the current directory. One gate per connection; it must outlive the handle it is
// installed on.
class TZMySQLLocalInfileGate {
 public:
  // The error number reported for a refused request.
  static constexpr unsigned int kRefusedErrorCode = 2068;

  // The callbacks to install on a client handle, bound to this gate.
  TZMySQLLocalInfileCallbacks Callbacks();

  // Brackets one statement's execution.
  void BeginStatement(std::string_view sql);
  void EndStatement();
  // Whether a request for `requested` is served now.
  bool Serves(const std::string& requested) const;

  // The file name a LOAD DATA [LOW_PRIORITY|CONCURRENT] LOCAL INFILE statement names,
  // decoded from its quoted literal; false for any other statement. Leading whitespace and
  // comments are skipped.
  static bool LocalInfileName(std::string_view sql, std::string& file_name);
  // Whether a request for `requested` is served while `sql` executes.
  static bool Allows(std::string_view sql, const std::string& requested);

 private:
  bool executing_ = false;
  std::string sql_;
};

}  // namespace zered
