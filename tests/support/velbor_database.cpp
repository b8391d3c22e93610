#include "support/velbor_database.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <fstream>

namespace zered::test {
namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string ClientCommand(const TestServer& server, const std::string& database) {
  return "mariadb --no-defaults --protocol=TCP -h " + server.host + " -P " +
         std::to_string(server.port) + " -u " + Quoted(server.admin_user) + " -p" +
         Quoted(server.admin_password) + " --default-character-set=utf8mb4 " + database;
}

std::string Run(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return output;
  }
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << "\n" << output;
  return output;
}

}  // namespace

void CreateVelborDatabase(const TestServer& server, const std::string& database) {
  Run(ClientCommand(server, "") + " -e " +
      Quoted("DROP DATABASE IF EXISTS " + database + "; CREATE DATABASE " + database +
             " CHARACTER SET utf8mb4 COLLATE utf8mb4_czech_ci") +
      " 2>&1");
  Run(ClientCommand(server, database) + " < " +
      Quoted(std::string(ZERED_TEST_SOURCE_DIR) + "/../demo/schema.sql") + " 2>&1");
}

std::string QueryRows(const TestServer& server, const std::string& database,
                      const std::string& sql) {
  return Run(ClientCommand(server, database) + " --batch --raw --skip-column-names -e " +
             Quoted(sql) + " 2>&1");
}

void WriteConnectionSettings(const std::string& folder, const TestServer& server, int port) {
  std::ofstream(folder + "velbor05.ini", std::ios::binary)
      << "[LogON]\r\nIP=" << server.host << "\r\nUser=" << server.admin_user
      << "\r\nPassword=" << server.admin_password
      << "\r\nSQLport=" << (port != 0 ? port : server.port) << "\r\n";
}

}  // namespace zered::test
