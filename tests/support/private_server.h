#pragma once

#include <string>

#include "support/test_server.h"

namespace zered::test {

// A MariaDB server of its own for a test that kills it, started by mariadb_server.sh in
// `folder` and stopped when the object goes. Other tests keep the fixture's server.
class PrivateServer {
 public:
  // Starts a fresh server; fails the test (Info().port stays 0) when it cannot.
  explicit PrivateServer(std::string folder);
  ~PrivateServer();
  PrivateServer(const PrivateServer&) = delete;
  PrivateServer& operator=(const PrivateServer&) = delete;

  const TestServer& Info() const { return info_; }
  // SIGKILL, as a crash would; returns when the process is gone. Safe from any thread.
  void Kill();
  // Starts it again on its data (crash recovery included) and port; returns when it answers.
  void Resume();

 private:
  void Script(const char* action);

  std::string folder_;
  TestServer info_;
};

}  // namespace zered::test
