#include "sql/tz_mysql_statement.h"

#include <limits>

#include "base/exceptions.h"
#include "sql/tz_mysql_connection.h"
#include "sql/tz_mysql_utils.h"

namespace zered {

namespace {

int32_t CheckedCount(uint64_t count) {
  if (count > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    throw Exception("Range check error");
  }
  return static_cast<int32_t>(count);
}

// Keeps the gate open exactly while the statement runs, also when it throws.
class StatementScope {
 public:
  StatementScope(TZMySQLLocalInfileGate& gate, const std::string& sql) : gate_(gate) {
    gate_.BeginStatement(sql);
  }
  ~StatementScope() { gate_.EndStatement(); }
  StatementScope(const StatementScope&) = delete;
  StatementScope& operator=(const StatementScope&) = delete;

 private:
  TZMySQLLocalInfileGate& gate_;
};

}  // namespace

TZMySQLStatement::TZMySQLStatement(std::shared_ptr<TZMySQLConnection> connection, TextLines info)
    : connection_(std::move(connection)), info_(std::move(info)) {}

int32_t TZMySQLStatement::ExecuteUpdate(const std::string& sql) {
  if (connection_->IsClosed()) throw EZSQLException("Connection is not opened yet", -1);
  // mysql_query ends the text at a zero byte; the server must never run a cut statement.
  if (sql.find('\0') != std::string::npos) {
    throw EZSQLException("The statement text holds a zero byte and was not sent", -1);
  }
  IZMySQLPlainDriver& plain = connection_->GetPlainDriver();
  PZMySQLConnect handle = connection_->GetConnectionHandle();

  int64_t count = -1;
  {
    StatementScope scope(connection_->LocalInfileGate(), sql);
    if (plain.ExecQuery(handle, sql.c_str()) != 0) {
      CheckMySQLError(plain, handle);
      last_update_count_ = -1;
      return last_update_count_;
    }
  }
  if (plain.GetFieldCount(handle) != 0) {
    PZMySQLResult result = plain.StoreResult(handle);
    if (result != nullptr) {
      uint64_t rows = plain.GetRowCount(result);
      plain.FreeResult(result);
      count = CheckedCount(rows);
    } else {
      // Rows that could not be read (lost connection, out of memory) are a failure, not an
      // affected-rows count of all ones.
      CheckMySQLError(plain, handle);
      count = CheckedCount(plain.GetAffectedRows(handle));
    }
  } else {
    count = CheckedCount(plain.GetAffectedRows(handle));
  }
  last_update_count_ = static_cast<int32_t>(count);
  return last_update_count_;
}

}  // namespace zered
