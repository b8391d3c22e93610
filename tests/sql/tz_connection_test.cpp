// The connection component against the private MariaDB server.
#include "sql/tz_connection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"
#include "sql/tz_busy_pointer.h"
#include "support/fault_server.h"
#include "support/mariadb_test_connection.h"
#include "support/test_server.h"

namespace zered {
namespace {

using test::ConfigureTestConnection;
using test::Execute;

class TZConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = test::GetTestServer();
    ASSERT_NE(server_.port, 0);
    ConfigureTestConnection(connection_, server_);
  }

  // Counts the rows of a query on the component's open connection.
  int32_t Rows(const std::string& sql) { return Execute(connection_, sql); }

  test::TestServer server_;
  TZConnection connection_;
};

TEST_F(TZConnectionTest, ConnectAndDisconnectCallEventsOnceAndRepeatsDoNothing) {
  std::vector<std::string> calls;
  auto record = [&calls](const char* name) {
    return [&calls, name](TZConnection&) { calls.push_back(name); };
  };
  connection_.BeforeConnect = record("BeforeConnect");
  connection_.AfterConnect = record("AfterConnect");
  connection_.BeforeDisconnect = record("BeforeDisconnect");
  connection_.AfterDisconnect = record("AfterDisconnect");

  connection_.Disconnect();  // already disconnected
  connection_.Connect();
  EXPECT_TRUE(connection_.Connected());
  connection_.Connect();  // already connected
  connection_.SetConnected(false);
  EXPECT_FALSE(connection_.Connected());
  EXPECT_EQ(connection_.DbcConnection(), nullptr);
  connection_.Disconnect();

  EXPECT_EQ(calls, (std::vector<std::string>{"BeforeConnect", "AfterConnect", "BeforeDisconnect",
                                             "AfterDisconnect"}));
}

TEST_F(TZConnectionTest, FailedConnectsReportTheClientLibraryError) {
  struct Case {
    const char* what;
    std::string password;
    int port;
    std::string database;
    int error_code;
    std::string message;  // the whole message, or its start
  };
  const std::vector<Case> cases = {
      {"wrong password", "wrong", server_.port, server_.database, 1045,
       "SQL Error: Access denied for user 'zered'@'localhost' (using password: YES)"},
      {"unreachable port", server_.password, 1, server_.database, 2002,
       // The operating system's reason follows in parentheses.
       "SQL Error: Can't connect to server on '127.0.0.1' ("},
      {"unknown database", server_.password, server_.port, "no_such_db", 1044,
       "SQL Error: Access denied for user 'zered'@'%' to database 'no_such_db'"},
  };
  int busy_changes = 0;
  TZBusyPointerHook previous = SetBusyPointerHook([&](bool) { ++busy_changes; });
  connection_.SetSQLHourGlass(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    connection_.SetPassword(c.password);
    connection_.SetPort(c.port);
    connection_.SetDatabase(c.database);
    try {
      connection_.Connect();
      ADD_FAILURE() << "Connect succeeded";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message().substr(0, c.message.size()), c.message);
      EXPECT_EQ(e.ErrorCode(), c.error_code);
    }
    EXPECT_FALSE(connection_.Connected());
    EXPECT_EQ(connection_.DbcConnection(), nullptr);
    EXPECT_EQ(BusyPointerDepth(), 0);
  }
  EXPECT_EQ(busy_changes, 2 * static_cast<int>(cases.size()));
  SetBusyPointerHook(previous);
}

// Loopback servers that give no answer: the connect timeout ends the wait with the client
// library's error. (Without a "timeout" property the bound is 20 seconds; the program's own
// test of an unattended run meets it.)
TEST_F(TZConnectionTest, ConnectWithoutAnswerEndsAtTheTimeoutWithTheClientLibraryError) {
  struct Case {
    const char* mode;
    int error_code;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"mute", 2013,
       "SQL Error: Lost connection to server at 'handshake: reading initial communication "
       "packet', system error: 110"},
      {"deaf", 2002, "SQL Error: Can't connect to server on '127.0.0.1' (110)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    test::FaultServer silent({c.mode});
    ASSERT_NE(silent.Port(), 0);
    connection_.SetPort(silent.Port());
    connection_.SetProperties({"timeout=2"});
    try {
      connection_.Connect();
      ADD_FAILURE() << "Connect succeeded";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_EQ(e.ErrorCode(), c.error_code);
    }
    EXPECT_FALSE(connection_.Connected());
  }
}

// Large offices' statements take minutes: nothing of the connect's bound stays on them.
TEST_F(TZConnectionTest, ConnectTimeoutNeverCutsAStatement) {
  connection_.SetProperties({"timeout=1"});
  connection_.Connect();
  EXPECT_EQ(Rows("SELECT SLEEP(3)"), 1);
  EXPECT_EQ(Rows("SELECT 1"), 1);
}

TEST_F(TZConnectionTest, UnknownDatabaseForAnAdminIsReportedByName) {
  ConfigureTestConnection(connection_, server_, /*admin=*/true);
  connection_.SetDatabase("no_such_db");
  try {
    connection_.Connect();
    FAIL() << "Connect succeeded";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: Unknown database 'no_such_db'");
    EXPECT_EQ(e.ErrorCode(), 1049);
  }
}

TEST_F(TZConnectionTest, NestedBusyPeriodsShowOnePointer) {
  std::vector<bool> shown;
  TZBusyPointerHook previous = SetBusyPointerHook([&shown](bool busy) { shown.push_back(busy); });
  connection_.SetSQLHourGlass(true);
  connection_.ShowSQLHourGlass();  // an outer user, as the script processor is
  connection_.Connect();
  connection_.SetAutoCommit(false);
  connection_.HideSQLHourGlass();
  EXPECT_EQ(shown, (std::vector<bool>{true, false}));
  connection_.Disconnect();
  EXPECT_EQ(shown, (std::vector<bool>{true, false, true, false}));

  connection_.SetSQLHourGlass(false);
  connection_.Connect();
  EXPECT_EQ(shown.size(), 4u);
  EXPECT_EQ(BusyPointerDepth(), 0);
  SetBusyPointerHook(previous);
}

TEST_F(TZConnectionTest, TheSystemsSettingsReachTheSession) {
  connection_.SetProperties({"Codepage=cp1250", "Compress=yes"});
  connection_.SetAutoCommit(false);
  connection_.Connect();
  EXPECT_EQ(Rows("SELECT 1 FROM information_schema.SESSION_STATUS "
                 "WHERE VARIABLE_NAME = 'COMPRESSION' AND VARIABLE_VALUE = 'ON'"),
            1);
  EXPECT_EQ(Rows("SELECT 1 FROM DUAL WHERE @@character_set_client = 'cp1250' "
                 "AND @@character_set_results = 'cp1250'"),
            1);
  EXPECT_EQ(Rows("SELECT 1 FROM DUAL WHERE @@autocommit = 0"), 1);
}

TEST_F(TZConnectionTest, PropertiesReachTheSession) {
  const std::string compressed =
      "SELECT 1 FROM information_schema.SESSION_STATUS "
      "WHERE VARIABLE_NAME = 'COMPRESSION' AND VARIABLE_VALUE = 'ON'";
  struct Case {
    TextLines lines;
    std::string query;  // returns one row when the property took effect
    int32_t rows;
  };
  const std::vector<Case> cases = {
      {{"Compress=yes"}, compressed, 1},
      {{"COMPRESS=TRUE"}, compressed, 1},
      {{"compress=1"}, compressed, 1},
      {{"Compress=no"}, compressed, 0},
      {{"Compress=0"}, compressed, 0},
      {{}, compressed, 0},
      {{"MYSQL_OPT_COMPRESS=yes"}, compressed, 1},
      {{"MYSQL_INIT_COMMAND=SET @zered_init = 5"}, "SELECT 1 FROM DUAL WHERE @zered_init = 5", 1},
      {{"MYSQL_SET_CHARSET_NAME=latin2"},
       "SELECT 1 FROM DUAL WHERE @@character_set_client = 'latin2'",
       1},
      {{"timeout=5", "codepage= cp1250 "},
       "SELECT 1 FROM DUAL WHERE @@character_set_client = 'cp1250'",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.empty() ? std::string("no properties") : c.lines[0]);
    connection_.SetProperties(c.lines);
    connection_.Connect();
    EXPECT_EQ(Rows(c.query), c.rows);
    connection_.Disconnect();
  }
}

TEST_F(TZConnectionTest, UserAndPasswordArriveIntactWhateverBytesTheyHold) {
  const std::string password = "p;w/d:x?y;Compress=yes";
  {
    TZConnection admin;
    ConfigureTestConnection(admin, server_, /*admin=*/true);
    admin.Connect();
    Execute(admin, "DROP USER IF EXISTS 'odd;user'@'%'");
    Execute(admin, "CREATE USER 'odd;user'@'%' IDENTIFIED BY '" + password + "'");
    Execute(admin, "GRANT ALL PRIVILEGES ON " + server_.database + ".* TO 'odd;user'@'%'");
  }
  connection_.SetUser("odd;user");
  connection_.SetPassword(password);
  connection_.Connect();
  EXPECT_EQ(Rows("SELECT 1 FROM DUAL WHERE SUBSTRING_INDEX(USER(), '@', 1) = 'odd;user'"), 1);
  // The password's tail is no setting of the connection.
  EXPECT_EQ(Rows("SELECT 1 FROM information_schema.SESSION_STATUS "
                 "WHERE VARIABLE_NAME = 'COMPRESSION' AND VARIABLE_VALUE = 'ON'"),
            0);
}

TEST_F(TZConnectionTest, WithoutCommitTheServerDiscardsTheWorkAtClose) {
  connection_.SetAutoCommit(false);
  connection_.Connect();
  Execute(connection_, "CREATE TABLE IF NOT EXISTS kept (n INT) ENGINE=InnoDB");  // commits
  Execute(connection_, "DELETE FROM kept");
  Execute(connection_, "COMMIT");
  Execute(connection_, "INSERT INTO kept VALUES (1)");
  connection_.Commit();  // tiNone: nothing is sent
  connection_.Disconnect();

  connection_.Connect();
  EXPECT_EQ(Rows("SELECT * FROM kept"), 0);

  connection_.SetTransactIsolationLevel(tiReadCommitted);
  Execute(connection_, "INSERT INTO kept VALUES (2)");
  connection_.Commit();
  EXPECT_EQ(Rows("SELECT 1 FROM DUAL WHERE @@tx_isolation = 'READ-COMMITTED'"), 1);
  connection_.Disconnect();
  connection_.Connect();
  EXPECT_EQ(Rows("SELECT * FROM kept"), 1);
}

TEST_F(TZConnectionTest, ExplicitTransactionsRestoreAutoCommit) {
  connection_.SetTransactIsolationLevel(tiReadCommitted);
  connection_.Connect();
  Execute(connection_, "CREATE TABLE IF NOT EXISTS tx (n INT) ENGINE=InnoDB");
  Execute(connection_, "DELETE FROM tx");

  connection_.StartTransaction();
  connection_.StartTransaction();
  EXPECT_FALSE(connection_.AutoCommit());
  EXPECT_THROW(connection_.SetAutoCommit(true), EZDatabaseError);
  Execute(connection_, "INSERT INTO tx VALUES (1)");
  connection_.Commit();  // inner: only the depth drops
  EXPECT_EQ(connection_.TransactionDepth(), 1);
  connection_.Rollback();
  EXPECT_EQ(connection_.TransactionDepth(), 0);
  EXPECT_TRUE(connection_.AutoCommit());
  EXPECT_EQ(Rows("SELECT * FROM tx"), 0);
  EXPECT_EQ(Rows("SELECT 1 FROM DUAL WHERE @@autocommit = 1"), 1);
}

TEST(TZConnectionMisuseTest, TransactionCallsCheckTheirPreconditions) {
  TZConnection connection;
  struct Case {
    const char* what;
    std::function<void(TZConnection&)> call;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"commit while disconnected", [](TZConnection& c) { c.Commit(); },
       "Connection is not opened yet"},
      {"rollback while disconnected", [](TZConnection& c) { c.Rollback(); },
       "Connection is not opened yet"},
      {"start without auto-commit",
       [](TZConnection& c) {
         c.SetAutoCommit(false);
         c.StartTransaction();
       },
       "Invalid operation in non AutoCommit mode"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.call(connection);
      ADD_FAILURE() << "no error";
    } catch (const EZDatabaseError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(TZConnectionMisuseTest, UnknownProtocolHasNoDriver) {
  TZConnection connection;
  connection.SetProtocol("postgresql-8");
  connection.SetHostName("localhost");
  EXPECT_EQ(connection.DbcDriver(), nullptr);
  try {
    connection.Connect();
    FAIL() << "Connect succeeded";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Requested database driver was not found");
  }
  EXPECT_FALSE(connection.Connected());
}

}  // namespace
}  // namespace zered
