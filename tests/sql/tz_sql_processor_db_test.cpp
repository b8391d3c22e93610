// The script processor against the private MariaDB server.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/exceptions.h"
#include "sql/tz_busy_pointer.h"
#include "sql/tz_connection.h"
#include "sql/tz_sql_processor.h"
#include "support/mariadb_test_connection.h"
#include "support/test_server.h"

namespace zered {
namespace {

using test::Execute;

class TZSQLProcessorDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = test::GetTestServer();
    ASSERT_NE(server_.port, 0);
    test::ConfigureTestConnection(connection_, server_);
    // Each test has its own table, so that tests may run side by side.
    table_ = std::string("proc_") + testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : table_) {
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    connection_.Connect();
    Execute(connection_, "DROP TABLE IF EXISTS " + table_);
    Execute(connection_, "CREATE TABLE " + table_ + " (n INT)");
    connection_.Disconnect();
    processor_.SetConnection(&connection_);
    processor_.BeforeExecute = [this](TZSQLProcessor&, int i) { events_.push_back(i); };
    processor_.AfterExecute = [this](TZSQLProcessor&, int i) { events_.push_back(100 + i); };
  }

  void TearDown() override {
    connection_.Connect();
    Execute(connection_, "DROP TABLE IF EXISTS " + table_);
  }

  int32_t Rows(const std::string& where) {
    return Execute(connection_, "SELECT n FROM " + table_ + " WHERE " + where);
  }

  // The script with {T} replaced by the test's table.
  void SetScript(const std::string& text) {
    std::string script = text;
    for (size_t at = script.find("{T}"); at != std::string::npos; at = script.find("{T}", at)) {
      script.replace(at, 3, table_);
    }
    processor_.Script().SetText(script);
  }

  test::TestServer server_;
  TZConnection connection_;
  TZSQLProcessor processor_;
  std::string table_;
  std::vector<int> events_;  // i for BeforeExecute, 100 + i for AfterExecute
};

TEST_F(TZSQLProcessorDbTest, RunsEveryStatementIncludingAFinalOneWithoutSemicolon) {
  SetScript(
      "INSERT INTO {T} VALUES (1);\r\n"
      "INSERT INTO {T} /* ; */ VALUES (2); -- two;\r\n"
      "INSERT INTO {T}\r\n"
      " VALUES (3)");
  processor_.Execute();
  EXPECT_EQ(processor_.StatementCount(), 3);
  EXPECT_EQ(events_, (std::vector<int>{0, 100, 1, 101, 2, 102}));
  EXPECT_EQ(Rows("n IN (1, 2, 3)"), 3);
}

// Servers that refuse a query without content ("Query was empty") must not fail the script.
TEST_F(TZSQLProcessorDbTest, CommentAfterTheLastStatementRunsAsAStatement) {
  SetScript("INSERT INTO {T} VALUES (1);\r\n-- end\r\n/* really */\r\n");
  processor_.Execute();
  EXPECT_EQ(processor_.StatementCount(), 2);
  EXPECT_EQ(events_, (std::vector<int>{0, 100, 1, 101}));
  EXPECT_EQ(Rows("n = 1"), 1);
}

TEST_F(TZSQLProcessorDbTest, WhitespaceOnlyScriptConnectsAndRunsNothing) {
  SetScript(" \r\n\t\r\n");
  processor_.Execute();
  EXPECT_TRUE(connection_.Connected());
  EXPECT_EQ(processor_.StatementCount(), 0);
  EXPECT_TRUE(events_.empty());
}

TEST_F(TZSQLProcessorDbTest, FirstFailingStatementStopsTheScript) {
  std::vector<bool> busy;
  TZBusyPointerHook previous = SetBusyPointerHook([&](bool on) { busy.push_back(on); });
  connection_.SetSQLHourGlass(true);
  SetScript(
      "INSERT INTO {T} VALUES (1);\r\n"
      "INSERT INTO proc_no_such_table VALUES (2);\r\n"
      "INSERT INTO {T} VALUES (3);");
  try {
    processor_.Execute();
    FAIL() << "no failure";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(),
              "SQL Error: Table '" + server_.database + ".proc_no_such_table' doesn't exist");
    EXPECT_EQ(e.ErrorCode(), 1146);
  }
  SetBusyPointerHook(previous);
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(BusyPointerDepth(), 0);
  EXPECT_EQ(events_, (std::vector<int>{0, 100, 1}));
  EXPECT_TRUE(connection_.Connected());
  EXPECT_EQ(Rows("n = 1"), 1);
  EXPECT_EQ(Rows("n = 3"), 0);
}

TEST_F(TZSQLProcessorDbTest, LeavesTheTransactionToTheConnection) {
  connection_.SetAutoCommit(false);
  SetScript("INSERT INTO {T} VALUES (1);");
  processor_.Execute();
  EXPECT_EQ(Rows("n = 1"), 1);

  TZConnection other;
  test::ConfigureTestConnection(other, server_);
  other.Connect();
  EXPECT_EQ(Execute(other, "SELECT n FROM " + table_), 0);
  connection_.Disconnect();
  EXPECT_EQ(Execute(other, "SELECT n FROM " + table_), 0);
}

struct ErrorCase {
  const char* name;
  TZErrorHandleAction action;
  std::vector<int> events;
  int32_t rows_of_3;
};

class TZSQLProcessorOnErrorTest : public TZSQLProcessorDbTest,
                                  public testing::WithParamInterface<ErrorCase> {};

TEST_P(TZSQLProcessorOnErrorTest, HandlerDecidesHowToGoOn) {
  const ErrorCase& c = GetParam();
  const std::string target = table_ + "_target";
  std::vector<std::string> errors;
  processor_.OnError = [&](TZSQLProcessor&, int i, const Exception& e,
                           TZErrorHandleAction& action) {
    errors.push_back(std::to_string(i) + ": " + e.Message());
    action = c.action;
    if (c.action == eaRetry && errors.size() == 2) {
      Execute(connection_, "CREATE TABLE " + target + " (n INT)");
    }
  };
  connection_.Connect();
  Execute(connection_, "DROP TABLE IF EXISTS " + target);
  SetScript("INSERT INTO {T} VALUES (1);\r\nINSERT INTO " + target +
            " VALUES (2);\r\nINSERT INTO {T} VALUES (3);");
  processor_.Execute();
  EXPECT_EQ(events_, c.events);
  const std::string missing =
      "1: SQL Error: Table '" + server_.database + "." + target + "' doesn't exist";
  const std::vector<std::string> expected_errors(c.action == eaRetry ? 2 : 1, missing);
  EXPECT_EQ(errors, expected_errors);
  EXPECT_EQ(Rows("n = 3"), c.rows_of_3);
  Execute(connection_, "DROP TABLE IF EXISTS " + target);
}

INSTANTIATE_TEST_SUITE_P(Actions, TZSQLProcessorOnErrorTest,
                         testing::Values(ErrorCase{"skip", eaSkip, {0, 100, 1, 101, 2, 102}, 1},
                                         ErrorCase{"abort", eaAbort, {0, 100, 1}, 0},
                                         ErrorCase{"retry", eaRetry, {0, 100, 1, 101, 2, 102}, 1}),
                         [](const testing::TestParamInfo<ErrorCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(TZSQLProcessorDbTest, ParametersAreNullUntilSetThenBoundByDataType) {
  connection_.Connect();
  Execute(connection_, "DROP TABLE " + table_);
  Execute(connection_, "CREATE TABLE " + table_ +
                           " (n INT, s VARCHAR(20), b CHAR(1), f DOUBLE, l BIGINT, d DATE, "
                           "ts DATETIME, m TEXT, sm SMALLINT)");
  SetScript("INSERT INTO {T} VALUES (:n, :s, :b, :f, :l, :d, :ts, :m, :sm)");
  ASSERT_EQ(processor_.Params().Count(), 9);
  processor_.Execute();
  EXPECT_EQ(Rows("n IS NULL AND s IS NULL AND b IS NULL AND f IS NULL AND l IS NULL AND d IS "
                 "NULL AND ts IS NULL AND m IS NULL AND sm IS NULL"),
            1);

  TParams& params = processor_.Params();
  params.ParamByName("n").SetAsInteger(-7);
  params.ParamByName("s").SetAsString("it's \\ \"q\" :x");
  params.ParamByName("b").SetAsBoolean(true);
  params.ParamByName("f").SetAsFloat(2.5);
  params.ParamByName("l").SetAsLargeInt(9007199254740993);
  TDateTime date = 0;
  TDateTime time = 0;
  ASSERT_TRUE(TryEncodeDate(2026, 12, 10, date));
  ASSERT_TRUE(TryEncodeTime(17, 5, 9, 0, time));
  params.ParamByName("d").SetAsDate(date);
  params.ParamByName("ts").SetAsDateTime(CombineDateTime(date, time));
  params.ParamByName("m").SetAsMemo("memo");
  params.ParamByName("sm").SetAsSmallInt(-32768);
  processor_.Execute();
  EXPECT_EQ(Rows("n = -7 AND s = 'it''s \\\\ \"q\" :x' AND b = 'Y' AND f = 2.5 AND "
                 "l = 9007199254740993 AND d = '2026-12-10' AND ts = '2026-12-10 17:05:09' AND "
                 "m = 'memo' AND sm = -32768"),
            1);

  params.ParamByName("sm").SetAsSmallInt(32768);
  try {
    processor_.Execute();
    FAIL() << "no failure";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Range check error");
    EXPECT_EQ(e.ErrorCode(), -1);
  }
  EXPECT_EQ(Execute(connection_, "SELECT * FROM " + table_), 2);
}

}  // namespace
}  // namespace zered
