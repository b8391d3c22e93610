#pragma once

#include <memory>
#include <string>

#include "base/text_lines.h"

namespace zered {

class IZDriver;
class IZStatement;
class IZPreparedStatement;

enum TZTransactIsolationLevel {
  tiNone,
  tiReadUncommitted,
  tiReadCommitted,
  tiRepeatableRead,
  tiSerializable,
};

// An open (or closed) connection to a database server, created by a driver. Owned through
// std::shared_ptr; dropping the last reference to an open connection closes it.
class IZConnection {
 public:
  virtual ~IZConnection() = default;

  // Statements run on this connection's client handle and keep the connection alive.
  // `info` is the statement's own property list (name=value lines).
  virtual std::shared_ptr<IZStatement> CreateStatementWithParams(const TextLines& info) = 0;
  virtual std::shared_ptr<IZPreparedStatement> PrepareStatementWithParams(
      const std::string& sql, const TextLines& info) = 0;

  // While open these act on the server at once; while closed they only store the value.
  virtual void SetAutoCommit(bool value) = 0;
  virtual bool GetAutoCommit() const = 0;
  virtual void SetTransactionIsolation(TZTransactIsolationLevel level) = 0;
  virtual TZTransactIsolationLevel GetTransactionIsolation() const = 0;
  virtual void SetReadOnly(bool value) = 0;
  virtual bool IsReadOnly() const = 0;
  virtual void SetCatalog(const std::string& value) = 0;
  virtual std::string GetCatalog() const = 0;

  // Act only when open, auto-commit is off and the isolation level is not tiNone.
  virtual void Commit() = 0;
  virtual void Rollback() = 0;

  // Open does nothing when open; Close does nothing when closed and sends no commit.
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool IsClosed() const = 0;

  // The driver that created this connection; lives as long as the process.
  virtual IZDriver& GetDriver() = 0;
  // The connection's name=value lines (from the URL and the component's properties).
  virtual const TextLines& GetParameters() const = 0;
};

}  // namespace zered
