#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sql/tz_driver.h"

namespace zered {

class IZMySQLPlainDriver;

// The MySQL driver: protocols "mysql", "mysql-4.1", "mysql-5", "mysqld-4.1", "mysqld-5", each
// with its plain driver (created with the driver, kept for its lifetime).
class TZMySQLDriver : public IZDriver {
 public:
  TZMySQLDriver();
  ~TZMySQLDriver() override;

  std::vector<std::string> GetSupportedProtocols() const override;
  bool AcceptsURL(const std::string& url) const override;
  // URL: "zdbc:<protocol>:[//<host>[:<port>]/]<database>[?name=value;...]". Info lookups
  // ignore case; the user is "UID" (else "username"), the password "PWD" (else "password").
  // Throws EZSQLException "Incorrect connection URL: %s" or "Unsupported protocol: %s".
  std::shared_ptr<IZConnection> Connect(const std::string& url, const TextLines& info) override;
  std::shared_ptr<IZTokenizer> GetTokenizer() override;

  // The plain driver of `protocol`, or nullptr.
  IZMySQLPlainDriver* GetPlainDriver(const std::string& protocol) const;

 private:
  struct Entry;
  std::vector<Entry> plain_drivers_;
};

}  // namespace zered
