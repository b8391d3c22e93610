#include "support/test_server.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zered::test {

std::string TestServerFolder() { return std::string(ZERED_TEST_BINARY_DIR) + "/mariadb"; }

TestServer GetTestServer() {
  TestServer server = ReadTestServer(TestServerFolder());
  if (server.port == 0) {
    ADD_FAILURE() << "no test server: " << TestServerFolder()
                  << "/server.txt is missing; run the tests through ctest (fixture \"mariadb\")";
  }
  return server;
}

TestServer ReadTestServer(const std::string& folder) {
  TestServer server;
  std::ifstream in(folder + "/server.txt");
  std::string line;
  while (std::getline(in, line)) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string name = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    if (name == "host") server.host = value;
    if (name == "port") server.port = std::stoi(value);
    if (name == "user") server.user = value;
    if (name == "password") server.password = value;
    if (name == "database") server.database = value;
    if (name == "admin_user") server.admin_user = value;
    if (name == "admin_password") server.admin_password = value;
    if (name == "socket") server.socket = value;
  }
  return server;
}

}  // namespace zered::test
