#include "support/private_server.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

namespace zered::test {

PrivateServer::PrivateServer(std::string folder) : folder_(std::move(folder)) {
  Script("start");
  info_ = ReadTestServer(folder_);
  EXPECT_NE(info_.port, 0) << "the private server in " << folder_ << " did not start";
}

PrivateServer::~PrivateServer() { Script("stop"); }

void PrivateServer::Kill() { Script("kill"); }

void PrivateServer::Resume() { Script("resume"); }

void PrivateServer::Script(const char* action) {
  const std::string command = std::string("sh '") + ZERED_TEST_SOURCE_DIR +
                              "/support/mariadb_server.sh' " + action + " '" + folder_ + "'";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
}

}  // namespace zered::test
