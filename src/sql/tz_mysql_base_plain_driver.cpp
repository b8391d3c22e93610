#include "sql/tz_mysql_base_plain_driver.h"

#include <mariadb/mysql.h>

#include "base/exceptions.h"
#include "base/format.h"

namespace zered {

namespace {

// The system's option numbering mapped to the client library's; the two agree today, the map
// keeps a differing library correct.
constexpr ::mysql_option kOptionMap[] = {
    ::MYSQL_OPT_CONNECT_TIMEOUT, ::MYSQL_OPT_COMPRESS,      ::MYSQL_OPT_NAMED_PIPE,
    ::MYSQL_INIT_COMMAND,        ::MYSQL_READ_DEFAULT_FILE, ::MYSQL_READ_DEFAULT_GROUP,
    ::MYSQL_SET_CHARSET_DIR,     ::MYSQL_SET_CHARSET_NAME,  ::MYSQL_OPT_LOCAL_INFILE,
};
static_assert(std::size(kOptionMap) == MYSQL_OPT_LOCAL_INFILE + 1);

constexpr const char* kOptionNames[] = {
    "MYSQL_OPT_CONNECT_TIMEOUT", "MYSQL_OPT_COMPRESS",      "MYSQL_OPT_NAMED_PIPE",
    "MYSQL_INIT_COMMAND",        "MYSQL_READ_DEFAULT_FILE", "MYSQL_READ_DEFAULT_GROUP",
    "MYSQL_SET_CHARSET_DIR",     "MYSQL_SET_CHARSET_NAME",
};
static_assert(std::size(kOptionNames) == kMySQLOptionNameCount);

constexpr const char* kClientOptionNames[] = {
    "CLIENT_LONG_PASSWORD",
    "CLIENT_FOUND_ROWS",
    "CLIENT_LONG_FLAG",
    "CLIENT_CONNECT_WITH_DB",
    "CLIENT_NO_SCHEMA",
    "CLIENT_COMPRESS",
    "CLIENT_ODBC",
    "CLIENT_LOCAL_FILES",
    "CLIENT_IGNORE_SPACE",
    "CLIENT_CHANGE_USER",
    "CLIENT_INTERACTIVE",
    "CLIENT_SSL",
    "CLIENT_IGNORE_SIGPIPE",
    "CLIENT_TRANSACTIONS",
    "CLIENT_RESERVED",
    "CLIENT_SECURE_CONNECTION",
    "CLIENT_MULTI_STATEMENTS",
    "CLIENT_MULTI_RESULTS",
    "CLIENT_OPT_18",
    "CLIENT_OPT_19",
    "CLIENT_OPT_20",
    "CLIENT_OPT_21",
    "CLIENT_OPT_22",
    "CLIENT_OPT_23",
    "CLIENT_OPT_24",
    "CLIENT_OPT_25",
    "CLIENT_OPT_26",
    "CLIENT_OPT_27",
    "CLIENT_OPT_28",
    "CLIENT_OPT_29",
    "CLIENT_OPT_30",
    "CLIENT_REMEMBER_OPTIONS",
};
static_assert(std::size(kClientOptionNames) == kMySQLClientOptionCount);
static_assert(kClientConnectWithDb == CLIENT_CONNECT_WITH_DB);
static_assert(kClientLocalFiles == CLIENT_LOCAL_FILES);
static_assert(kMySQLWaitRead == MYSQL_WAIT_READ && kMySQLWaitWrite == MYSQL_WAIT_WRITE &&
              kMySQLWaitExcept == MYSQL_WAIT_EXCEPT && kMySQLWaitTimeout == MYSQL_WAIT_TIMEOUT);

MYSQL* AsMySQL(PZMySQLConnect handle) { return static_cast<MYSQL*>(handle); }
MYSQL_RES* AsResult(PZMySQLResult result) { return static_cast<MYSQL_RES*>(result); }

using LocalInfileHandlerFn = void (*)(MYSQL*, int (*)(void**, const char*, void*),
                                      int (*)(void*, char*, unsigned int), void (*)(void*),
                                      int (*)(void*, char*, unsigned int), void*);

}  // namespace

const char* MySQLOptionName(TZMySQLOption option) {
  int index = static_cast<int>(option);
  return (index >= 0 && index < kMySQLOptionNameCount) ? kOptionNames[index] : "";
}

const char* MySQLClientOptionName(int bit) {
  return (bit >= 0 && bit < kMySQLClientOptionCount) ? kClientOptionNames[bit] : "";
}

TZMySQLBasePlainDriver::TZMySQLBasePlainDriver(std::string protocol, std::string description,
                                               TZMySQLNativeLibraryLoader& loader)
    : protocol_(std::move(protocol)), description_(std::move(description)), loader_(loader) {}

void TZMySQLBasePlainDriver::Initialize() {
  loader_.LoadNativeLibrary();
  entry_points_ = loader_.EntryPoints();
  extensions_ = loader_.Extensions();
}

template <typename F>
F TZMySQLBasePlainDriver::Entry(TZMySQLEntryPoint entry) const {
  void* address = entry_points_[entry];
  if (address == nullptr) {
    throw EZSQLException(Format("The client library does not offer %s",
                                TZMySQLNativeLibraryLoader::EntryPointName(entry)),
                         -1);
  }
  return reinterpret_cast<F>(address);
}

template <typename F>
F TZMySQLBasePlainDriver::Extension(TZMySQLExtension extension) const {
  return reinterpret_cast<F>(extensions_[extension]);
}

PZMySQLConnect TZMySQLBasePlainDriver::Init() {
  if (entry_points_[ep_mysql_server_init] != nullptr) {
    Entry<decltype(&::mysql_server_init)>(ep_mysql_server_init)(1, nullptr, nullptr);
  }
  return Entry<decltype(&::mysql_init)>(ep_mysql_init)(nullptr);
}

void TZMySQLBasePlainDriver::Despose(PZMySQLConnect& handle) { handle = nullptr; }

void TZMySQLBasePlainDriver::Close(PZMySQLConnect handle) {
  Entry<decltype(&::mysql_close)>(ep_mysql_close)(AsMySQL(handle));
}

int TZMySQLBasePlainDriver::SetOptions(PZMySQLConnect handle, TZMySQLOption option,
                                       const void* arg) {
  int index = static_cast<int>(option);
  if (index < 0 || index >= static_cast<int>(std::size(kOptionMap))) return 1;
  return Entry<decltype(&::mysql_options)>(ep_mysql_options)(AsMySQL(handle), kOptionMap[index],
                                                             arg);
}

void TZMySQLBasePlainDriver::SslSet(PZMySQLConnect handle, const char* key, const char* cert,
                                    const char* ca, const char* capath, const char* cipher) {
  Entry<decltype(&::mysql_ssl_set)>(ep_mysql_ssl_set)(AsMySQL(handle), key, cert, ca, capath,
                                                      cipher);
}

PZMySQLConnect TZMySQLBasePlainDriver::RealConnect(PZMySQLConnect handle, const char* host,
                                                   const char* user, const char* password,
                                                   const char* db, unsigned int port,
                                                   const char* unix_socket, uint32_t client_flag) {
  return Entry<decltype(&::mysql_real_connect)>(ep_mysql_real_connect)(
      AsMySQL(handle), host, user, password, db, port, unix_socket, client_flag);
}

int TZMySQLBasePlainDriver::GetLastErrorCode(PZMySQLConnect handle) {
  return static_cast<int>(Entry<decltype(&::mysql_errno)>(ep_mysql_errno)(AsMySQL(handle)));
}

std::string TZMySQLBasePlainDriver::GetLastError(PZMySQLConnect handle) {
  const char* text = Entry<decltype(&::mysql_error)>(ep_mysql_error)(AsMySQL(handle));
  return text != nullptr ? std::string(text) : std::string();
}

int TZMySQLBasePlainDriver::ExecQuery(PZMySQLConnect handle, const char* sql) {
  return Entry<decltype(&::mysql_query)>(ep_mysql_query)(AsMySQL(handle), sql);
}

unsigned int TZMySQLBasePlainDriver::GetFieldCount(PZMySQLConnect handle) {
  return Entry<decltype(&::mysql_field_count)>(ep_mysql_field_count)(AsMySQL(handle));
}

PZMySQLResult TZMySQLBasePlainDriver::StoreResult(PZMySQLConnect handle) {
  return Entry<decltype(&::mysql_store_result)>(ep_mysql_store_result)(AsMySQL(handle));
}

uint64_t TZMySQLBasePlainDriver::GetRowCount(PZMySQLResult result) {
  return Entry<decltype(&::mysql_num_rows)>(ep_mysql_num_rows)(AsResult(result));
}

void TZMySQLBasePlainDriver::FreeResult(PZMySQLResult result) {
  Entry<decltype(&::mysql_free_result)>(ep_mysql_free_result)(AsResult(result));
}

uint64_t TZMySQLBasePlainDriver::GetAffectedRows(PZMySQLConnect handle) {
  return Entry<decltype(&::mysql_affected_rows)>(ep_mysql_affected_rows)(AsMySQL(handle));
}

bool TZMySQLBasePlainDriver::SetAutocommit(PZMySQLConnect handle, bool mode) {
  return Entry<decltype(&::mysql_autocommit)>(ep_mysql_autocommit)(AsMySQL(handle), mode ? 1 : 0) ==
         0;
}

bool TZMySQLBasePlainDriver::Commit(PZMySQLConnect handle) {
  return Entry<decltype(&::mysql_commit)>(ep_mysql_commit)(AsMySQL(handle)) == 0;
}

bool TZMySQLBasePlainDriver::Rollback(PZMySQLConnect handle) {
  return Entry<decltype(&::mysql_rollback)>(ep_mysql_rollback)(AsMySQL(handle)) == 0;
}

unsigned long TZMySQLBasePlainDriver::GetEscapeString(PZMySQLConnect handle, char* to,
                                                      const char* from, unsigned long length) {
  if (handle != nullptr) {
    return Entry<decltype(&::mysql_real_escape_string)>(ep_mysql_real_escape_string)(
        AsMySQL(handle), to, from, length);
  }
  return Entry<decltype(&::mysql_escape_string)>(ep_mysql_escape_string)(to, from, length);
}

bool TZMySQLBasePlainDriver::SetLocalInfileHandler(PZMySQLConnect handle,
                                                   const TZMySQLLocalInfileCallbacks& callbacks) {
  auto install = Extension<LocalInfileHandlerFn>(ext_mysql_set_local_infile_handler);
  if (install == nullptr) return false;
  install(AsMySQL(handle), callbacks.init, callbacks.read, callbacks.end, callbacks.error,
          callbacks.user_data);
  return true;
}

bool TZMySQLBasePlainDriver::OffersNonBlocking() const {
  return extensions_[ext_mysql_real_query_start] != nullptr &&
         extensions_[ext_mysql_real_query_cont] != nullptr &&
         extensions_[ext_mysql_get_socket] != nullptr &&
         extensions_[ext_mysql_get_timeout_value_ms] != nullptr;
}

void TZMySQLBasePlainDriver::EnableNonBlocking(PZMySQLConnect handle) {
  // The library's default stack for its non-blocking context.
  Entry<decltype(&::mysql_options)>(ep_mysql_options)(AsMySQL(handle), ::MYSQL_OPT_NONBLOCK,
                                                      nullptr);
}

int TZMySQLBasePlainDriver::StartQuery(PZMySQLConnect handle, int& result, const char* sql,
                                       unsigned long length) {
  return Extension<decltype(&::mysql_real_query_start)>(ext_mysql_real_query_start)(
      &result, AsMySQL(handle), sql, length);
}

int TZMySQLBasePlainDriver::ContinueQuery(PZMySQLConnect handle, int& result, int ready) {
  return Extension<decltype(&::mysql_real_query_cont)>(ext_mysql_real_query_cont)(
      &result, AsMySQL(handle), ready);
}

intptr_t TZMySQLBasePlainDriver::GetSocket(PZMySQLConnect handle) {
  return static_cast<intptr_t>(
      Extension<decltype(&::mysql_get_socket)>(ext_mysql_get_socket)(AsMySQL(handle)));
}

unsigned int TZMySQLBasePlainDriver::GetTimeoutValueMs(PZMySQLConnect handle) {
  return Extension<decltype(&::mysql_get_timeout_value_ms)>(ext_mysql_get_timeout_value_ms)(
      AsMySQL(handle));
}

}  // namespace zered
