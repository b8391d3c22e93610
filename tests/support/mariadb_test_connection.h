#pragma once

#include <cstdint>
#include <string>

#include "sql/tz_connection.h"
#include "sql/tz_statement.h"
#include "support/test_server.h"

namespace zered::test {

// Points `connection` at the private test server as the test user (or the admin user).
inline void ConfigureTestConnection(TZConnection& connection, const TestServer& server,
                                    bool admin = false) {
  connection.SetProtocol("mysql-5");
  connection.SetHostName(server.host);
  connection.SetPort(server.port);
  connection.SetDatabase(server.database);
  connection.SetUser(admin ? server.admin_user : server.user);
  connection.SetPassword(admin ? server.admin_password : server.password);
}

// Runs one statement on the open connection and returns its row count.
inline int32_t Execute(TZConnection& connection, const std::string& sql) {
  return connection.DbcConnection()->CreateStatementWithParams({})->ExecuteUpdate(sql);
}

}  // namespace zered::test
