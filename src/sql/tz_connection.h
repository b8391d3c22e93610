#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/text_lines.h"
#include "sql/tz_dbc_connection.h"

namespace zered {

class IZDriver;

// The SQL connection component: holds the server settings, opens the connection through the
// driver registry and applies its transaction settings. Not copyable; destroying it
// disconnects. User-interface thread only.
class TZConnection {
 public:
  using TNotifyEvent = std::function<void(TZConnection& sender)>;

  explicit TZConnection(std::string name = "ZConnection1");
  ~TZConnection();
  TZConnection(const TZConnection&) = delete;
  TZConnection& operator=(const TZConnection&) = delete;

  const std::string& Name() const { return name_; }

  // Published properties. Changing the server settings while connected affects only the
  // next Connect.
  const std::string& Protocol() const { return protocol_; }
  void SetProtocol(const std::string& value) { protocol_ = value; }
  const std::string& HostName() const { return host_name_; }
  void SetHostName(const std::string& value) { host_name_ = value; }
  int32_t Port() const { return port_; }
  void SetPort(int32_t value) { port_ = value; }
  const std::string& Database() const { return database_; }
  void SetDatabase(const std::string& value) { database_ = value; }
  const std::string& User() const { return user_; }
  void SetUser(const std::string& value) { user_ = value; }
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& value) { password_ = value; }
  const std::string& Catalog() const { return catalog_; }
  void SetCatalog(const std::string& value) { catalog_ = value; }
  // name=value lines handed to the driver ("Codepage=cp1250", "Compress=yes", ...).
  const TextLines& Properties() const { return properties_; }
  void SetProperties(const TextLines& value) { properties_ = value; }
  bool AutoCommit() const { return auto_commit_; }
  // Applied to the open connection at once, with the busy pointer shown. Throws
  // EZDatabaseError "Invalid operation in explicit transaction mode" inside StartTransaction.
  void SetAutoCommit(bool value);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value) { read_only_ = value; }
  TZTransactIsolationLevel TransactIsolationLevel() const { return isolation_level_; }
  // Applied to the open connection at once, with the busy pointer shown.
  void SetTransactIsolationLevel(TZTransactIsolationLevel value);
  bool Connected() const;
  // True connects, false disconnects.
  void SetConnected(bool value);
  bool LoginPrompt() const { return login_prompt_; }
  void SetLoginPrompt(bool value) { login_prompt_ = value; }
  // Whether Connect, Disconnect and the setters above show the busy pointer.
  bool SQLHourGlass() const { return sql_hour_glass_; }
  void SetSQLHourGlass(bool value) { sql_hour_glass_ = value; }

  // Events (optional).
  TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;
  TNotifyEvent OnCommit, OnRollback, OnStartTransaction;

  // Opens the connection; does nothing (and calls no event) when connected. On failure the
  // component stays disconnected, the client handle is closed and the error goes on
  // (EZSQLException "SQL Error: %s", "None of the dynamic libraries can be found: %s", ...).
  void Connect();
  // Closes the connection; does nothing (and calls no event) when disconnected.
  void Disconnect();

  // Explicit transactions.
  void StartTransaction();
  void Commit();
  void Rollback();
  int TransactionDepth() const { return explicit_transaction_depth_; }

  // The open connection object, or nullptr while disconnected.
  IZConnection* DbcConnection() const { return connection_.get(); }
  // The open connection's driver; while disconnected the registry's driver for this
  // component's URL (nullptr when none accepts it).
  IZDriver* DbcDriver() const;

  // The busy pointer, honouring SQLHourGlass. Calls must pair.
  void ShowSQLHourGlass();
  void HideSQLHourGlass();

  // The connection URL without user and password (they travel as separate values so that
  // any byte in them arrives unchanged).
  std::string ConstructURL() const;

 private:
  void CheckActive() const;
  void CheckAutoCommitMode() const;
  void CheckNonAutoCommitMode() const;
  void EndTransaction(bool commit);

  std::string name_;
  std::string protocol_;
  std::string host_name_;
  int32_t port_ = 0;
  std::string database_;
  std::string user_;
  std::string password_;
  std::string catalog_;
  TextLines properties_;
  bool auto_commit_ = true;
  bool read_only_ = false;
  TZTransactIsolationLevel isolation_level_ = tiNone;
  bool login_prompt_ = false;
  bool sql_hour_glass_ = false;

  std::shared_ptr<IZConnection> connection_;
  int explicit_transaction_depth_ = 0;
};

}  // namespace zered
