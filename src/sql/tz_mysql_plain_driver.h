#pragma once

#include <cstdint>
#include <string>

#include "sql/tz_plain_driver.h"

namespace zered {

// The client library's connection handle (MYSQL*) and result (MYSQL_RES*), opaque here so that
// only the plain driver sees the client library's header.
using PZMySQLConnect = void*;
using PZMySQLResult = void*;

// Options of mysql_options by the system's numbering; the connection sets the first eight by
// name from its properties.
enum TZMySQLOption : int {
  MYSQL_OPT_CONNECT_TIMEOUT,
  MYSQL_OPT_COMPRESS,
  MYSQL_OPT_NAMED_PIPE,
  MYSQL_INIT_COMMAND,
  MYSQL_READ_DEFAULT_FILE,
  MYSQL_READ_DEFAULT_GROUP,
  MYSQL_SET_CHARSET_DIR,
  MYSQL_SET_CHARSET_NAME,
  MYSQL_OPT_LOCAL_INFILE,
};
inline constexpr int kMySQLOptionNameCount = 8;
// "MYSQL_OPT_CONNECT_TIMEOUT", ... for the first kMySQLOptionNameCount options.
const char* MySQLOptionName(TZMySQLOption option);

// Names of the client flag bits, bit n for the n-th name ("CLIENT_LONG_PASSWORD" is bit 0,
// "CLIENT_REMEMBER_OPTIONS" bit 31).
inline constexpr int kMySQLClientOptionCount = 32;
const char* MySQLClientOptionName(int bit);
inline constexpr uint32_t kClientConnectWithDb = 8;
inline constexpr uint32_t kClientLocalFiles = 128;

// What a non-blocking call waits for before it can go on (a mask), as the client library
// numbers it.
inline constexpr int kMySQLWaitRead = 1;
inline constexpr int kMySQLWaitWrite = 2;
inline constexpr int kMySQLWaitExcept = 4;
inline constexpr int kMySQLWaitTimeout = 8;

// Callbacks of the client library's local-file request (LOAD DATA LOCAL INFILE).
struct TZMySQLLocalInfileCallbacks {
  int (*init)(void** state, const char* file_name, void* user_data);
  int (*read)(void* state, char* buffer, unsigned int size);
  void (*end)(void* state);
  int (*error)(void* state, char* message, unsigned int message_size);
  void* user_data;
};

// One operation per client library function, arguments passed through unchanged. The
// handle-taking calls require a handle from Init. Valid after Initialize.
class IZMySQLPlainDriver : public IZPlainDriver {
 public:
  // mysql_server_init(0, none, none) when exported, then mysql_init(none).
  virtual PZMySQLConnect Init() = 0;
  // Forgets a handle that Close has released.
  virtual void Despose(PZMySQLConnect& handle) = 0;
  virtual void Close(PZMySQLConnect handle) = 0;
  virtual int SetOptions(PZMySQLConnect handle, TZMySQLOption option, const void* arg) = 0;
  // nullptr for a parameter that is not given.
  virtual void SslSet(PZMySQLConnect handle, const char* key, const char* cert, const char* ca,
                      const char* capath, const char* cipher) = 0;
  // nullptr on failure.
  virtual PZMySQLConnect RealConnect(PZMySQLConnect handle, const char* host, const char* user,
                                     const char* password, const char* db, unsigned int port,
                                     const char* unix_socket, uint32_t client_flag) = 0;
  virtual int GetLastErrorCode(PZMySQLConnect handle) = 0;
  virtual std::string GetLastError(PZMySQLConnect handle) = 0;
  // 0 on success. `sql` ends in a zero byte.
  virtual int ExecQuery(PZMySQLConnect handle, const char* sql) = 0;
  virtual unsigned int GetFieldCount(PZMySQLConnect handle) = 0;
  virtual PZMySQLResult StoreResult(PZMySQLConnect handle) = 0;
  virtual uint64_t GetRowCount(PZMySQLResult result) = 0;
  virtual void FreeResult(PZMySQLResult result) = 0;
  virtual uint64_t GetAffectedRows(PZMySQLConnect handle) = 0;
  // True on success.
  virtual bool SetAutocommit(PZMySQLConnect handle, bool mode) = 0;
  virtual bool Commit(PZMySQLConnect handle) = 0;
  virtual bool Rollback(PZMySQLConnect handle) = 0;
  // mysql_real_escape_string with a handle, mysql_escape_string with nullptr. `to` holds
  // 2 * length + 1 bytes. Returns the length written.
  virtual unsigned long GetEscapeString(PZMySQLConnect handle, char* to, const char* from,
                                        unsigned long length) = 0;
  // Installs the local-file request handler; false when the library offers none.
  virtual bool SetLocalInfileHandler(PZMySQLConnect handle,
                                     const TZMySQLLocalInfileCallbacks& callbacks) = 0;

  // Non-blocking queries (MariaDB Connector/C): whether the library offers them. When it does,
  // EnableNonBlocking, called on a handle before RealConnect, lets StartQuery and ContinueQuery
  // run a query in steps; the blocking calls keep working on such a handle.
  virtual bool OffersNonBlocking() const = 0;
  virtual void EnableNonBlocking(PZMySQLConnect handle) = 0;
  // mysql_real_query_start / mysql_real_query_cont: the events to wait for before continuing
  // (kMySQLWait* mask), 0 when the query is done and `result` holds what mysql_real_query
  // would have returned. `ready` names the events that happened.
  virtual int StartQuery(PZMySQLConnect handle, int& result, const char* sql,
                         unsigned long length) = 0;
  virtual int ContinueQuery(PZMySQLConnect handle, int& result, int ready) = 0;
  // The connection's socket, and the time a wait with kMySQLWaitTimeout may last.
  virtual intptr_t GetSocket(PZMySQLConnect handle) = 0;
  virtual unsigned int GetTimeoutValueMs(PZMySQLConnect handle) = 0;
};

}  // namespace zered
