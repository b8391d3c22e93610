// Statements and prepared statements against the private MariaDB server.
#include "sql/tz_mysql_statement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/exceptions.h"
#include "platform/process.h"
#include "sql/tz_connection.h"
#include "sql/tz_emulated_prepared_statement.h"
#include "sql/tz_prepared_statement.h"
#include "sql/tz_wait_hooks.h"
#include "support/mariadb_test_connection.h"
#include "support/test_server.h"

namespace zered {
namespace {

using test::Execute;

class TZMySQLStatementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = test::GetTestServer();
    ASSERT_NE(server_.port, 0);
    test::ConfigureTestConnection(connection_, server_);
    connection_.SetProperties({"Codepage=cp1250"});
    connection_.Connect();
  }

  std::shared_ptr<IZPreparedStatement> Prepare(const std::string& sql) {
    return connection_.DbcConnection()->PrepareStatementWithParams(sql, {});
  }

  test::TestServer server_;
  TZConnection connection_;
};

TEST_F(TZMySQLStatementTest, CountsReturnedOrChangedRows) {
  const std::vector<std::pair<std::string, int32_t>> steps = {
      {"DROP TABLE IF EXISTS counted", 0},
      {"CREATE TABLE counted (n INT)", 0},
      {"INSERT INTO counted VALUES (1), (2), (3)", 3},
      {"UPDATE counted SET n = n + 10 WHERE n > 1", 2},
      {"SELECT * FROM counted", 3},
      {"SELECT * FROM counted WHERE n < 0", 0},
      {"SHOW TABLES LIKE 'counted'", 1},
      {"DELETE FROM counted", 3},
  };
  auto statement = connection_.DbcConnection()->CreateStatementWithParams({});
  for (const auto& [sql, count] : steps) {
    EXPECT_EQ(statement->ExecuteUpdate(sql), count) << sql;
    EXPECT_EQ(statement->GetUpdateCount(), count) << sql;
  }
}

TEST_F(TZMySQLStatementTest, ServerErrorsCarryTheirTextAndNumber) {
  try {
    Execute(connection_, "SELECT * FROM no_such_table");
    FAIL() << "no error";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(),
              "SQL Error: Table '" + server_.database + ".no_such_table' doesn't exist");
    EXPECT_EQ(e.ErrorCode(), 1146);
  }
}

TEST_F(TZMySQLStatementTest, AZeroByteNeverSendsACutStatement) {
  Execute(connection_, "DROP TABLE IF EXISTS guarded");
  Execute(connection_, "CREATE TABLE guarded (n INT)");
  Execute(connection_, "INSERT INTO guarded VALUES (1)");
  EXPECT_THROW(Execute(connection_, std::string("DELETE FROM guarded\0 WHERE n = 2", 32)),
               EZSQLException);
  EXPECT_EQ(Execute(connection_, "SELECT * FROM guarded"), 1);
}

TEST_F(TZMySQLStatementTest, TextParametersRoundTripThroughTheServer) {
  Execute(connection_, "DROP TABLE IF EXISTS texts");
  Execute(connection_, "CREATE TABLE texts (s VARCHAR(100) CHARACTER SET cp1250)");
  // Quotes, backslashes, a zero byte and Czech letters in cp1250 ("Žluťoučký kůň").
  const std::vector<std::string> values = {
      "it's \"quoted\"",
      "back\\slash\\",
      "\\'; DROP TABLE texts; --",
      std::string("zero\0byte", 9),
      "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2",
  };
  for (const std::string& value : values) {
    SCOPED_TRACE(value);
    Execute(connection_, "DELETE FROM texts");
    auto insert = Prepare("INSERT INTO texts VALUES (?)");
    insert->SetString(1, value);
    EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);

    std::string hex;
    for (unsigned char c : value) {
      char digits[3];
      std::snprintf(digits, sizeof(digits), "%02X", c);
      hex += digits;
    }
    auto check = Prepare("SELECT * FROM texts WHERE s = ? AND HEX(s) = '" + hex + "'");
    check->SetString(1, value);
    EXPECT_EQ(check->ExecuteUpdatePrepared(), 1);
  }
  // The Czech text is stored as the letters it means, not as bytes of another code page.
  EXPECT_EQ(
      Execute(connection_,
              "SELECT * FROM texts WHERE "
              "CONVERT(s USING utf8mb4) = _utf8mb4 X'C5BD6C75C5A56F75C48D6BC3BD206BC5AFC588'"),
      1);
}

TEST_F(TZMySQLStatementTest, LiteralsOfEachParameterType) {
  TDateTime date = 0;
  TDateTime time = 0;
  ASSERT_TRUE(TryEncodeDate(2026, 3, 7, date));
  ASSERT_TRUE(TryEncodeTime(9, 5, 1, 0, time));
  struct Case {
    const char* what;
    std::function<void(IZPreparedStatement&)> set;
    std::string literal;
  };
  const std::vector<Case> cases = {
      {"true", [](IZPreparedStatement& s) { s.SetBoolean(1, true); }, "'Y'"},
      {"false", [](IZPreparedStatement& s) { s.SetBoolean(1, false); }, "'N'"},
      {"short", [](IZPreparedStatement& s) { s.SetShort(1, -32768); }, "-32768"},
      {"long", [](IZPreparedStatement& s) { s.SetLong(1, 9007199254740993); }, "9007199254740993"},
      {"double", [](IZPreparedStatement& s) { s.SetDouble(1, 1234.5); }, "1234.5"},
      {"15 digits", [](IZPreparedStatement& s) { s.SetDouble(1, 2.0 / 3.0); }, "0.666666666666667"},
      {"date", [date](IZPreparedStatement& s) { s.SetDate(1, date); }, "'2026-03-07'"},
      {"time", [time](IZPreparedStatement& s) { s.SetTime(1, time); }, "'09:05:01'"},
      {"timestamp", [=](IZPreparedStatement& s) { s.SetTimestamp(1, date + time); },
       "'2026-03-07 09:05:01'"},
      {"null", [](IZPreparedStatement& s) { s.SetNull(1, stString); }, "NULL"},
      {"null with default",
       [](IZPreparedStatement& s) {
         s.SetNull(1, stInteger);
         s.SetDefaultValue(1, "42");
       },
       "42"},
      {"empty stream", [](IZPreparedStatement& s) { s.SetBinaryStream(1, ""); }, "NULL"},
      {"stream", [](IZPreparedStatement& s) { s.SetAsciiStream(1, "a'b"); }, "'a\\'b'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto statement = Prepare("SELECT ? FROM DUAL");
    c.set(*statement);
    auto& emulated = dynamic_cast<TZEmulatedPreparedStatement&>(*statement);
    EXPECT_EQ(emulated.PrepareSQL(), "SELECT " + c.literal + " FROM DUAL");
    EXPECT_EQ(statement->ExecuteUpdatePrepared(), 1);  // the server accepts the literal
  }
}

TEST_F(TZMySQLStatementTest, OnlyPlaceholderTokensTakeParameters) {
  auto statement = Prepare("SELECT '?', `a?`, ? /* ? */  FROM DUAL -- ?\n");
  statement->SetInt(1, 7);
  auto& emulated = dynamic_cast<TZEmulatedPreparedStatement&>(*statement);
  EXPECT_EQ(emulated.PrepareSQL(), "SELECT '?', `a?`, 7 /* ? */ FROM DUAL -- ?\n");

  auto missing = Prepare("SELECT ?, ? FROM DUAL");
  missing->SetInt(1, 1);
  try {
    missing->ExecuteUpdatePrepared();
    FAIL() << "no error";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Input parameter count is less then expected");
    EXPECT_EQ(e.ErrorCode(), -1);
  }
}

TEST_F(TZMySQLStatementTest, LoadDataLocalInfileReadsTheNamedFile) {
  Execute(connection_, "DROP TABLE IF EXISTS loaded");
  Execute(connection_, "CREATE TABLE loaded (a INT, b VARCHAR(10) CHARACTER SET cp1250)");
  std::filesystem::path folder =
      std::filesystem::path(test::TestServerFolder()) / "load_data_local";
  std::filesystem::create_directories(folder);
  {
    std::ofstream file(folder / "small.txt", std::ios::binary);
    file << "1|k\xF9\xF2\r\n2|two\r\n";
  }
  std::string previous = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(folder.string()));
  int32_t count =
      Execute(connection_,
              "LOAD DATA LOCAL INFILE \r\n'small.txt'\r\n INTO TABLE loaded  "
              "CHARACTER SET cp1250 FIELDS TERMINATED BY '|' LINES TERMINATED BY '\\r\\n'");
  SetCurrentDir(previous);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(Execute(connection_, "SELECT * FROM loaded WHERE a = 1 AND HEX(b) = '6BF9F2'"), 1);
}

// While the server works and while a local file goes out, the waiting hook runs again and again
// (the window processes its messages there) and the bytes sent follow the file to its end.
TEST_F(TZMySQLStatementTest, WaitingHooksRunWhileTheServerWorksAndTheFileIsSent) {
  ASSERT_TRUE(connection_.DbcConnection() != nullptr);
  int waits = 0;
  std::vector<uint64_t> sent;
  SetWaitHooks({[&] { ++waits; }, [&](uint64_t bytes) { sent.push_back(bytes); }});
  struct Restore {
    ~Restore() { SetWaitHooks({}); }
  } restore;

  EXPECT_EQ(Execute(connection_, "SELECT SLEEP(0.4)"), 1);
  // The statement waits in slices of a few tens of milliseconds.
  EXPECT_GE(waits, 5);

  Execute(connection_, "DROP TABLE IF EXISTS streamed");
  Execute(connection_, "CREATE TABLE streamed (n INT, t VARCHAR(100))");
  std::filesystem::path folder = std::filesystem::path(test::TestServerFolder()) / "streamed";
  std::filesystem::create_directories(folder);
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += std::to_string(i) + "|" + std::string(40, 'x') + "\n";
  std::ofstream(folder / "lines.txt", std::ios::binary) << lines;
  std::string previous = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(folder.string()));
  waits = 0;
  const int32_t count =
      Execute(connection_,
              "LOAD DATA LOCAL INFILE 'lines.txt' INTO TABLE streamed FIELDS TERMINATED BY '|'");
  SetCurrentDir(previous);
  EXPECT_EQ(count, 20000);
  ASSERT_GT(sent.size(), 2u);  // several blocks
  EXPECT_TRUE(std::is_sorted(sent.begin(), sent.end()));
  EXPECT_EQ(sent.back(), lines.size());
  EXPECT_GE(waits, static_cast<int>(sent.size()));
}

}  // namespace
}  // namespace zered
