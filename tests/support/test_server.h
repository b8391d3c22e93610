#pragma once

#include <string>

namespace zered::test {

// Connection data of the private MariaDB server that the CTest fixture "mariadb" starts
// (tests/support/mariadb_server.sh). `user` owns only `database`; `admin_user` may do
// anything (create users, grant).
struct TestServer {
  std::string host;
  int port = 0;
  std::string user;
  std::string password;
  std::string database;
  std::string admin_user;
  std::string admin_password;
  std::string socket;
};

// Reads <build>/mariadb/server.txt. Fails the current test (and returns an empty server) when
// the fixture has not run; use ASSERT_NO_FATAL_FAILURE or check `port`.
TestServer GetTestServer();

// The build folder the fixture writes into.
std::string TestServerFolder();

// Reads the connection data that mariadb_server.sh wrote into `folder` (empty when none).
TestServer ReadTestServer(const std::string& folder);

}  // namespace zered::test
