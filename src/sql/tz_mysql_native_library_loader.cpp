#include "sql/tz_mysql_native_library_loader.h"

namespace zered {

namespace {

constexpr const char* kEntryPointNames[] = {
#define ZERED_MYSQL_ENTRY(name) #name,
#include "sql/tz_mysql_entry_points.inc"
#undef ZERED_MYSQL_ENTRY
};
static_assert(std::size(kEntryPointNames) == kMySQLEntryPointCount);

constexpr const char* kExtensionNames[] = {
    "mysql_set_local_infile_handler", "mysql_real_query_start",
    "mysql_real_query_cont",          "mysql_get_socket",
    "mysql_get_timeout_value_ms",
};
static_assert(std::size(kExtensionNames) == kMySQLExtensionCount);

#ifdef _WIN32
// MariaDB Connector/C, which the program ships beside itself, before the MySQL client DLLs
// an office may already have.
const std::vector<std::string> kMySQL5Names = {"libmariadb.dll", "libmysql51.dll", "libmysql50.dll",
                                               "libmysql.dll"};
const std::vector<std::string> kMySQL5EmbeddedNames = {"libmysqld51.dll", "libmysqld50.dll",
                                                       "libmysqld.dll"};
const std::vector<std::string> kMySQL41Names = {"libmysql41.dll", "libmysql.dll"};
const std::vector<std::string> kMySQL41EmbeddedNames = {"libmysqld41.dll", "libmysqld.dll"};
#else
const std::vector<std::string> kMySQL5Names = {"libmariadb.so.3", "libmysqlclient.so.21",
                                               "libmysqlclient.so.18"};
const std::vector<std::string> kMySQL5EmbeddedNames = {"libmariadbd.so.19", "libmysqld.so.21",
                                                       "libmysqld.so.18"};
const std::vector<std::string> kMySQL41Names = {"libmysqlclient.so.15", "libmariadb.so.3"};
const std::vector<std::string> kMySQL41EmbeddedNames = {"libmysqld.so.15", "libmariadbd.so.19"};
#endif

}  // namespace

const char* TZMySQLNativeLibraryLoader::EntryPointName(int index) {
  return (index >= 0 && index < kMySQLEntryPointCount) ? kEntryPointNames[index] : nullptr;
}

TZMySQLNativeLibraryLoader::~TZMySQLNativeLibraryLoader() { FreeNativeLibrary(); }

void TZMySQLNativeLibraryLoader::LoadApi() {
  for (int i = 0; i < kMySQLEntryPointCount; ++i) {
    entry_points_[i] = GetAddress(kEntryPointNames[i]);
  }
  for (int i = 0; i < kMySQLExtensionCount; ++i) extensions_[i] = GetAddress(kExtensionNames[i]);
}

void TZMySQLNativeLibraryLoader::FreeNativeLibrary() {
  if (!Loaded()) return;
  if (void* server_end = entry_points_[ep_mysql_server_end]) {
    reinterpret_cast<void (*)()>(server_end)();
  }
  entry_points_ = {};
  extensions_ = {};
  TZNativeLibraryLoader::FreeNativeLibrary();
}

TZMySQLNativeLibraryLoader& MySQL5LibraryLoader() {
  static TZMySQLNativeLibraryLoader loader(kMySQL5Names);
  return loader;
}

TZMySQLNativeLibraryLoader& MySQL5EmbeddedLibraryLoader() {
  static TZMySQLNativeLibraryLoader loader(kMySQL5EmbeddedNames);
  return loader;
}

TZMySQLNativeLibraryLoader& MySQL41LibraryLoader() {
  static TZMySQLNativeLibraryLoader loader(kMySQL41Names);
  return loader;
}

TZMySQLNativeLibraryLoader& MySQL41EmbeddedLibraryLoader() {
  static TZMySQLNativeLibraryLoader loader(kMySQL41EmbeddedNames);
  return loader;
}

}  // namespace zered
