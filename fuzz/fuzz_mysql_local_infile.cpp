// The local-file gate reads statement text and the server's requested name: any bytes must
// give an answer, never a crash. Input: first byte = length of the requested name, then the
// name, then the statement.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sql/tz_mysql_local_infile_gate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t name_length = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (name_length > rest.size()) name_length = rest.size();
  std::string requested(rest.substr(0, name_length));
  std::string_view sql = rest.substr(name_length);

  std::string name;
  bool named = zered::TZMySQLLocalInfileGate::LocalInfileName(sql, name);
  bool allowed = zered::TZMySQLLocalInfileGate::Allows(sql, requested);
  // A request can only be served for a statement that names a file.
  if (allowed && !named) __builtin_trap();
  return 0;
}
