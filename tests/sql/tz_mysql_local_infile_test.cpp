// The server's local-file requests: only the file that the executing LOAD DATA LOCAL INFILE
// statement names is ever sent. A hostile server (rogue_server.py) asks for files at will.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "platform/process.h"
#include "sql/tz_connection.h"
#include "sql/tz_mysql_local_infile_gate.h"
#include "support/mariadb_test_connection.h"

namespace zered {
namespace {

namespace fs = std::filesystem;

TEST(TZMySQLLocalInfileGateTest, FindsTheFileTheStatementNames) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"LOAD DATA LOCAL INFILE \r\n'sa2.txt'\r\n INTO TABLE p  CHARACTER SET cp1250 FIELDS "
       "TERMINATED BY \"|\"\r\n",
       "sa2.txt"},
      {"/* note */\r\n -- line\r\n# hash\n load data low_priority local infile \"a b.txt\" "
       "into table t",
       "a b.txt"},
      {"LOAD DATA CONCURRENT LOCAL INFILE 'it''s\\\\x\\'.txt' INTO TABLE t", "it's\\x'.txt"},
      {"LOAD DATA INFILE 'server.txt' INTO TABLE t", std::nullopt},
      {"SELECT 'LOAD DATA LOCAL INFILE ''x'''", std::nullopt},
      {"LOAD DATA LOCAL INFILE @name INTO TABLE t", std::nullopt},
      {"/*!LOAD DATA LOCAL INFILE 'x' INTO TABLE t */", std::nullopt},
      {"LOAD DATA LOCAL INFILE 'unterminated", std::nullopt},
      {"LOAD DATALOCAL INFILE 'x'", std::nullopt},
  };
  for (const auto& [sql, expected] : cases) {
    std::string name;
    bool found = TZMySQLLocalInfileGate::LocalInfileName(sql, name);
    EXPECT_EQ(found, expected.has_value()) << sql;
    if (found && expected) {
      EXPECT_EQ(name, *expected) << sql;
    }
  }
}

TEST(TZMySQLLocalInfileGateTest, ServesOnlyTheNamedFileResolvedAgainstTheCurrentFolder) {
  const std::string load = "LOAD DATA LOCAL INFILE 'sa2.txt' INTO TABLE t";
  const std::string cwd = GetCurrentDir();
  struct Case {
    std::string sql;
    std::string requested;
    bool served;
  };
  const std::vector<Case> cases = {
      {load, "sa2.txt", true},
      {load, cwd + "/sa2.txt", true},
      {load, "./x/../sa2.txt", true},
      {"LOAD DATA LOCAL INFILE '" + cwd + "/sa2.txt' INTO TABLE t", "sa2.txt", true},
      {load, "/etc/passwd", false},
      {load, "sa2.txt.bak", false},
      {load, "../sa2.txt", false},
      {load, "", false},
      {"SELECT 1", "sa2.txt", false},
      {"LOAD DATA LOCAL INFILE '' INTO TABLE t", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TZMySQLLocalInfileGate::Allows(c.sql, c.requested), c.served)
        << c.sql << " / " << c.requested;
  }

  TZMySQLLocalInfileGate gate;
  EXPECT_FALSE(gate.Serves("sa2.txt"));  // no statement runs
  gate.BeginStatement(load);
  EXPECT_TRUE(gate.Serves("sa2.txt"));
  gate.EndStatement();
  EXPECT_FALSE(gate.Serves("sa2.txt"));
}

class RogueServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // One folder per test: ctest may run the tests of this file in parallel processes.
    folder_ = fs::path(ZERED_TEST_BINARY_DIR) / "rogue_server" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "program");
    fs::create_directories(folder_ / "private");
    secret_ = (folder_ / "private" / "secret.txt").string();
    std::ofstream(secret_, std::ios::binary) << "TOP-SECRET-CONTENT";
    std::ofstream(folder_ / "program" / "allowed.txt", std::ios::binary) << "1|allowed\r\n";
    previous_dir_ = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir((folder_ / "program").string()));
  }

  void TearDown() override { SetCurrentDir(previous_dir_); }

  // Runs `sql` on a connection to a rogue server that answers with a request for `requested`.
  // Returns what the client sent as file content; `error` receives the failure, if any.
  std::string RunAgainstRogueServer(const std::string& sql, const std::string& requested,
                                    std::string& error) {
    std::string capture = (folder_ / "capture.bin").string();
    std::string script = fs::path(ZERED_TEST_FIXTURES).parent_path() / "sql" / "rogue_server.py";
    std::string command = "python3 '" + script + "' '" + requested + "' '" + capture + "'";
    FILE* server = popen(command.c_str(), "r");
    if (server == nullptr) {
      ADD_FAILURE() << "cannot start " << command;
      return {};
    }
    char line[32] = {};
    int port = 0;
    if (std::fgets(line, sizeof(line), server) != nullptr) port = std::atoi(line);
    EXPECT_NE(port, 0) << "the rogue server did not report its port";
    if (port != 0) {
      TZConnection connection;
      connection.SetProtocol("mysql-5");
      connection.SetHostName("127.0.0.1");
      connection.SetPort(port);
      connection.SetDatabase("velbor");
      connection.SetUser("root");
      try {
        connection.Connect();
        test::Execute(connection, sql);
      } catch (const Exception& e) {
        error = e.Message();
      }
    }
    pclose(server);
    std::ifstream in(capture, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

  fs::path folder_;
  std::string secret_;
  std::string previous_dir_;
};

TEST_F(RogueServerTest, RequestsForFilesTheStatementDoesNotNameAreRefused) {
  const std::string load = "LOAD DATA LOCAL INFILE 'allowed.txt' INTO TABLE t";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"SELECT 1", secret_},
      {"SELECT 1", "allowed.txt"},
      {load, secret_},
      {load, "../private/secret.txt"},
  };
  for (const auto& [sql, requested] : cases) {
    SCOPED_TRACE(sql + " / " + requested);
    std::string error;
    std::string sent = RunAgainstRogueServer(sql, requested, error);
    EXPECT_EQ(sent, "");
    EXPECT_EQ(error, "SQL Error: The server asked for the local file \"" + requested +
                         "\", which the statement does not name; the request was refused");
  }
}

TEST_F(RogueServerTest, TheNamedFileIsServed) {
  std::string error;
  std::string sent = RunAgainstRogueServer("LOAD DATA LOCAL INFILE 'allowed.txt' INTO TABLE t",
                                           "allowed.txt", error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(sent, "1|allowed\r\n");
}

}  // namespace
}  // namespace zered
