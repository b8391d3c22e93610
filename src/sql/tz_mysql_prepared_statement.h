#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/text_lines.h"
#include "sql/tz_emulated_prepared_statement.h"

namespace zered {

class TZMySQLConnection;
class TZMySQLStatement;

// An emulated prepared statement on a MySQL connection: texts are escaped by the client
// library and the built text runs on a TZMySQLStatement on the same handle. Keeps the
// connection alive.
class TZMySQLPreparedStatement : public TZEmulatedPreparedStatement {
 public:
  TZMySQLPreparedStatement(std::shared_ptr<TZMySQLConnection> connection, std::string sql,
                           TextLines info);
  ~TZMySQLPreparedStatement() override;

 protected:
  std::string GetEscapeString(const std::string& value) override;
  int32_t ExecuteUpdateText(const std::string& sql) override;

 private:
  std::shared_ptr<TZMySQLConnection> mysql_connection_;
  TextLines info_;
  std::unique_ptr<TZMySQLStatement> executing_statement_;
};

}  // namespace zered
