#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "sql/tz_native_library_loader.h"

namespace zered {

// The MySQL client library's entry points, in the order of the loader's name table.
enum TZMySQLEntryPoint : int {
#define ZERED_MYSQL_ENTRY(name) ep_##name,
#include "sql/tz_mysql_entry_points.inc"
#undef ZERED_MYSQL_ENTRY
  kMySQLEntryPointCount
};

using TZMySQLEntryPoints = std::array<void*, kMySQLEntryPointCount>;

// Entry points outside the name table, used where the library offers them: the local-file
// request handler and MariaDB Connector/C's non-blocking query calls.
enum TZMySQLExtension : int {
  ext_mysql_set_local_infile_handler,
  ext_mysql_real_query_start,
  ext_mysql_real_query_cont,
  ext_mysql_get_socket,
  ext_mysql_get_timeout_value_ms,
  kMySQLExtensionCount
};

using TZMySQLExtensions = std::array<void*, kMySQLExtensionCount>;

// Loads the MySQL client library and looks up its entry points by name; a missing one stays
// nullptr. At its destruction (program end) a loaded loader calls mysql_server_end when the
// library exports it and unloads the library.
class TZMySQLNativeLibraryLoader : public TZNativeLibraryLoader {
 public:
  using TZNativeLibraryLoader::TZNativeLibraryLoader;
  ~TZMySQLNativeLibraryLoader() override;

  // The exported names, in table order.
  static const char* EntryPointName(int index);

  // Valid once Loaded().
  const TZMySQLEntryPoints& EntryPoints() const { return entry_points_; }
  // Valid once Loaded(); nullptr for each one the library does not export.
  const TZMySQLExtensions& Extensions() const { return extensions_; }

  void FreeNativeLibrary() override;

 protected:
  void LoadApi() override;

 private:
  TZMySQLEntryPoints entry_points_{};
  TZMySQLExtensions extensions_{};
};

// The process-wide loaders of the four driver variants. Candidate names: on Windows the
// vendor DLL names (for MySQL 5 MariaDB Connector/C's libmariadb.dll first), each looked for
// in the program folder first; elsewhere the shared objects of MariaDB Connector/C and
// libmysqlclient.
TZMySQLNativeLibraryLoader& MySQL5LibraryLoader();
TZMySQLNativeLibraryLoader& MySQL5EmbeddedLibraryLoader();
TZMySQLNativeLibraryLoader& MySQL41LibraryLoader();
TZMySQLNativeLibraryLoader& MySQL41EmbeddedLibraryLoader();

}  // namespace zered
