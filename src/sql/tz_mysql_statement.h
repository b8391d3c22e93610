#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/text_lines.h"
#include "sql/tz_statement.h"

namespace zered {

class TZMySQLConnection;

// A plain statement on a MySQL connection's client handle. Keeps the connection alive.
class TZMySQLStatement : public IZStatement {
 public:
  TZMySQLStatement(std::shared_ptr<TZMySQLConnection> connection, TextLines info);

  int32_t ExecuteUpdate(const std::string& sql) override;
  int32_t GetUpdateCount() const override { return last_update_count_; }

  TZMySQLConnection& Connection() const { return *connection_; }
  const TextLines& Info() const { return info_; }

 private:
  std::shared_ptr<TZMySQLConnection> connection_;
  TextLines info_;
  int32_t last_update_count_ = -1;
};

}  // namespace zered
