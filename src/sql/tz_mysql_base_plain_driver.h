#pragma once

#include <string>

#include "sql/tz_mysql_native_library_loader.h"
#include "sql/tz_mysql_plain_driver.h"

namespace zered {

// The MySQL plain driver over a process-wide library loader. Initialize loads the library
// (first time) and copies the loader's entry point table; calls before that, or to an entry
// point the library lacks, fail with EZSQLException naming the function.
class TZMySQLBasePlainDriver : public IZMySQLPlainDriver {
 public:
  TZMySQLBasePlainDriver(std::string protocol, std::string description,
                         TZMySQLNativeLibraryLoader& loader);

  std::string GetProtocol() const override { return protocol_; }
  std::string GetDescription() const override { return description_; }
  void Initialize() override;

  PZMySQLConnect Init() override;
  void Despose(PZMySQLConnect& handle) override;
  void Close(PZMySQLConnect handle) override;
  int SetOptions(PZMySQLConnect handle, TZMySQLOption option, const void* arg) override;
  void SslSet(PZMySQLConnect handle, const char* key, const char* cert, const char* ca,
              const char* capath, const char* cipher) override;
  PZMySQLConnect RealConnect(PZMySQLConnect handle, const char* host, const char* user,
                             const char* password, const char* db, unsigned int port,
                             const char* unix_socket, uint32_t client_flag) override;
  int GetLastErrorCode(PZMySQLConnect handle) override;
  std::string GetLastError(PZMySQLConnect handle) override;
  int ExecQuery(PZMySQLConnect handle, const char* sql) override;
  unsigned int GetFieldCount(PZMySQLConnect handle) override;
  PZMySQLResult StoreResult(PZMySQLConnect handle) override;
  uint64_t GetRowCount(PZMySQLResult result) override;
  void FreeResult(PZMySQLResult result) override;
  uint64_t GetAffectedRows(PZMySQLConnect handle) override;
  bool SetAutocommit(PZMySQLConnect handle, bool mode) override;
  bool Commit(PZMySQLConnect handle) override;
  bool Rollback(PZMySQLConnect handle) override;
  unsigned long GetEscapeString(PZMySQLConnect handle, char* to, const char* from,
                                unsigned long length) override;
  bool SetLocalInfileHandler(PZMySQLConnect handle,
                             const TZMySQLLocalInfileCallbacks& callbacks) override;
  bool OffersNonBlocking() const override;
  void EnableNonBlocking(PZMySQLConnect handle) override;
  int StartQuery(PZMySQLConnect handle, int& result, const char* sql,
                 unsigned long length) override;
  int ContinueQuery(PZMySQLConnect handle, int& result, int ready) override;
  intptr_t GetSocket(PZMySQLConnect handle) override;
  unsigned int GetTimeoutValueMs(PZMySQLConnect handle) override;

 private:
  template <typename F>
  F Entry(TZMySQLEntryPoint entry) const;
  template <typename F>
  F Extension(TZMySQLExtension extension) const;

  std::string protocol_;
  std::string description_;
  TZMySQLNativeLibraryLoader& loader_;
  TZMySQLEntryPoints entry_points_{};
  TZMySQLExtensions extensions_{};
};

}  // namespace zered
