#include "sql/tz_mysql_prepared_statement.h"

#include <vector>

#include "base/exceptions.h"
#include "sql/tz_mysql_connection.h"
#include "sql/tz_mysql_statement.h"

namespace zered {

TZMySQLPreparedStatement::TZMySQLPreparedStatement(std::shared_ptr<TZMySQLConnection> connection,
                                                   std::string sql, TextLines info)
    : TZEmulatedPreparedStatement(*connection, std::move(sql), info),
      mysql_connection_(std::move(connection)),
      info_(std::move(info)) {}

TZMySQLPreparedStatement::~TZMySQLPreparedStatement() = default;

std::string TZMySQLPreparedStatement::GetEscapeString(const std::string& value) {
  std::vector<char> buffer(2 * value.size() + 1);
  unsigned long length = mysql_connection_->GetPlainDriver().GetEscapeString(
      mysql_connection_->GetConnectionHandle(), buffer.data(), value.data(),
      static_cast<unsigned long>(value.size()));
  // The library reports (unsigned long)-1 when it cannot escape; never send a partial text.
  if (length > 2 * value.size()) throw EZSQLException("The text cannot be escaped", -1);
  std::string literal;
  literal.reserve(length + 2);
  literal += '\'';
  literal.append(buffer.data(), length);
  literal += '\'';
  return literal;
}

int32_t TZMySQLPreparedStatement::ExecuteUpdateText(const std::string& sql) {
  if (!executing_statement_) {
    executing_statement_ = std::make_unique<TZMySQLStatement>(mysql_connection_, info_);
  }
  return executing_statement_->ExecuteUpdate(sql);
}

}  // namespace zered
