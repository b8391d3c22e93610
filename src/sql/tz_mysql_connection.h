#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/text_lines.h"
#include "sql/tz_dbc_connection.h"
#include "sql/tz_mysql_local_infile_gate.h"
#include "sql/tz_mysql_plain_driver.h"

namespace zered {

// A connection to a MySQL server through the plain driver. Created closed with auto-commit on
// and tiNone; Open connects. Must be held by std::shared_ptr (statements keep it alive).
class TZMySQLConnection : public IZConnection,
                          public std::enable_shared_from_this<TZMySQLConnection> {
 public:
  // `info` holds the name=value lines. Port 0 means 3306. The client character set is the
  // "codepage" value, trimmed.
  TZMySQLConnection(IZDriver& driver, IZMySQLPlainDriver& plain_driver, std::string host, int port,
                    std::string database, std::string user, std::string password, TextLines info);
  ~TZMySQLConnection() override;

  std::shared_ptr<IZStatement> CreateStatementWithParams(const TextLines& info) override;
  std::shared_ptr<IZPreparedStatement> PrepareStatementWithParams(const std::string& sql,
                                                                  const TextLines& info) override;

  void SetAutoCommit(bool value) override;
  bool GetAutoCommit() const override { return auto_commit_; }
  void SetTransactionIsolation(TZTransactIsolationLevel level) override;
  TZTransactIsolationLevel GetTransactionIsolation() const override { return isolation_level_; }
  void SetReadOnly(bool value) override { read_only_ = value; }
  bool IsReadOnly() const override { return read_only_; }
  void SetCatalog(const std::string& value) override { catalog_ = value; }
  std::string GetCatalog() const override { return catalog_; }

  void Commit() override;
  void Rollback() override;

  // Connects the client handle (compression, timeout, options, client flags, SSL, character
  // set from the info). On failure the handle is closed and the error goes on. The connect
  // timeout is the "timeout" value in seconds, 20 when there is none or it is no integer; a
  // negative value leaves the client library's own (no limit). It bounds each wait of the
  // connect and never a statement.
  void Open() override;
  void Close() override;
  bool IsClosed() const override { return closed_; }

  IZDriver& GetDriver() override { return driver_; }
  const TextLines& GetParameters() const override { return info_; }

  const std::string& HostName() const { return host_; }
  int Port() const { return port_; }
  const std::string& Database() const { return database_; }
  const std::string& User() const { return user_; }
  const std::string& ClientCodePage() const { return client_code_page_; }
  IZMySQLPlainDriver& GetPlainDriver() { return plain_driver_; }
  // The client handle; nullptr while closed.
  PZMySQLConnect GetConnectionHandle() const { return handle_; }
  // Whether statements run with the client library's non-blocking calls (the window is kept
  // alive while the server works); false for a library that lacks them.
  bool NonBlocking() const { return non_blocking_; }
  // Decides which local-file requests of the server are served.
  TZMySQLLocalInfileGate& LocalInfileGate() { return local_infile_gate_; }

 private:
  IZDriver& driver_;
  IZMySQLPlainDriver& plain_driver_;
  std::string host_;
  int port_;
  std::string database_;
  std::string user_;
  std::string password_;
  TextLines info_;
  bool auto_commit_ = true;
  bool read_only_ = false;
  std::string catalog_;
  TZTransactIsolationLevel isolation_level_ = tiNone;
  bool closed_ = true;
  bool non_blocking_ = false;
  std::string client_code_page_;
  TZMySQLLocalInfileGate local_infile_gate_;
  PZMySQLConnect handle_ = nullptr;
};

}  // namespace zered
