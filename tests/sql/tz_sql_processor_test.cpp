// The script processor's parts that need no server: its parameter list and its guards.
#include "sql/tz_sql_processor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"
#include "sql/tz_connection.h"

namespace zered {
namespace {

std::vector<std::string> ParamNames(const TZSQLProcessor& processor) {
  std::vector<std::string> names;
  for (int i = 0; i < processor.Params().Count(); ++i) {
    names.push_back(processor.Params().Items(i).Name());
  }
  return names;
}

TEST(TZSQLProcessorParamsTest, RebuiltAfterEveryScriptChangeKeepingValuesByName) {
  TZConnection connection;
  connection.SetProtocol("mysql-5");
  TZSQLProcessor processor;
  processor.SetConnection(&connection);

  processor.Script().SetText("UPDATE t SET a=:a WHERE id=:Id;\r\nDELETE FROM u WHERE id=:ID");
  EXPECT_EQ(ParamNames(processor), (std::vector<std::string>{"a", "Id"}));
  EXPECT_EQ(processor.Params().Items(0).DataType(), ftUnknown);
  EXPECT_EQ(processor.Params().Items(0).ParamType(), ptUnknown);
  EXPECT_TRUE(processor.Params().Items(0).IsNull());

  processor.Params().ParamByName("ID").SetAsInteger(7);
  processor.Script().SetText("SELECT :id, :b");
  EXPECT_EQ(ParamNames(processor), (std::vector<std::string>{"id", "b"}));
  EXPECT_EQ(processor.Params().Items(0).DataType(), ftInteger);
  EXPECT_EQ(processor.Params().Items(0).AsInteger(), 7);
  EXPECT_TRUE(processor.Params().Items(1).IsNull());

  processor.Script().Clear();
  EXPECT_EQ(processor.Params().Count(), 0);
  processor.Script().SetText("SELECT :c");
  processor.SetParamCheck(false);
  EXPECT_EQ(processor.Params().Count(), 0);
}

TEST(TZSQLProcessorParamsTest, AssigningParamsCopiesValuesByName) {
  TZSQLProcessor processor;
  processor.Script().SetText("SELECT :x, :y");
  TParams values;
  values.CreateParam(ftUnknown, "Y", ptInput).SetAsString("why");
  values.CreateParam(ftUnknown, "z", ptInput).SetAsString("ignored");
  processor.SetParams(values);
  EXPECT_TRUE(processor.Params().ParamByName("x").IsNull());
  EXPECT_EQ(processor.Params().ParamByName("y").AsString(), "why");
  EXPECT_EQ(processor.Params().ParamByName("y").ParamType(), ptInput);
  EXPECT_EQ(processor.Params().Count(), 2);
}

TEST(TZSQLProcessorParamsTest, IncorrectParameterSurfacesFromTheLoad) {
  TZSQLProcessor processor;
  processor.Script().SetText("SELECT :a");
  try {
    processor.Script().SetText("SELECT :a, :1");
    FAIL() << "no failure";
  } catch (const EZDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Incorrect token followed by \":\"");
  }
  EXPECT_EQ(processor.Script().Lines(), TextLines{"SELECT :a, :1"});
}

TEST(TZSQLProcessorTest, WithoutConnectionFailsBeforeAnythingElse) {
  TZSQLProcessor processor;
  processor.Script().SetText("SELECT 1");
  for (auto run : {&TZSQLProcessor::Execute, &TZSQLProcessor::Parse}) {
    try {
      (processor.*run)();
      ADD_FAILURE() << "no failure";
    } catch (const EZDatabaseError& e) {
      EXPECT_STREQ(e.what(), "Database connection component is not assigned");
    }
  }
}

}  // namespace
}  // namespace zered

namespace zered {
namespace {

TEST(TParamTest, ReadsConvertTheStoredValueOrFail) {
  TParam param("p");
  EXPECT_TRUE(param.IsNull());
  EXPECT_EQ(param.AsString(), "");
  EXPECT_EQ(param.AsInteger(), 0);

  param.SetAsString(" 12");
  EXPECT_EQ(param.AsInteger(), 12);
  EXPECT_EQ(param.DataType(), ftString);
  param.SetAsString("12x");
  EXPECT_THROW(param.AsInteger(), EConvertError);
  EXPECT_THROW(param.AsBoolean(), EConvertError);
  param.SetAsString("TRUE");
  EXPECT_TRUE(param.AsBoolean());

  param.SetAsFloat(2.5);
  EXPECT_EQ(param.AsString(), "2.5");
  param.SetAsLargeInt(int64_t{1} << 40);
  EXPECT_EQ(param.AsString(), "1099511627776");
  EXPECT_THROW(param.AsInteger(), EConvertError);
  param.SetAsBoolean(false);
  EXPECT_EQ(param.AsString(), "False");
  param.SetAsCurrency(1.23456);
  EXPECT_DOUBLE_EQ(param.AsCurrency(), 1.2346);

  param.Clear();
  EXPECT_TRUE(param.IsNull());
  EXPECT_EQ(param.DataType(), ftCurrency);

  TParams params;
  params.CreateParam(ftString, "a", ptInput);
  try {
    params.ParamByName("b");
    FAIL() << "no failure";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Parameter 'b' not found");
  }
}

}  // namespace
}  // namespace zered
