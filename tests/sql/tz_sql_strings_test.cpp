#include "sql/tz_sql_strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"

namespace zered {
namespace {

struct Expected {
  std::string sql;
  std::vector<int> param_indices;
  bool operator==(const Expected&) const = default;
};

void PrintTo(const Expected& e, std::ostream* os) {
  *os << testing::PrintToString(e.sql) << testing::PrintToString(e.param_indices);
}

struct HolderCase {
  const char* name;
  std::string text;
  bool param_check;
  bool split;
  std::vector<Expected> statements;
  std::vector<std::string> param_names;
};

void PrintTo(const HolderCase& c, std::ostream* os) { *os << c.name; }

class HolderTest : public testing::TestWithParam<HolderCase> {};

TEST_P(HolderTest, GivesStatementsAndParameters) {
  const HolderCase& c = GetParam();
  TZSQLStrings holder;
  holder.SetParamCheck(c.param_check);
  holder.SetMultiStatements(c.split);
  holder.SetText(c.text);
  std::vector<Expected> statements;
  for (const TZSQLStatement& s : holder.Statements()) {
    statements.push_back({s.sql, s.param_indices});
  }
  EXPECT_EQ(statements, c.statements);
  EXPECT_EQ(holder.ParamNames(), c.param_names);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HolderTest,
    testing::Values(
        HolderCase{"plain_text_gets_crlf_line_ends", "BEGIN", true, false, {{"BEGIN\r\n", {}}}, {}},
        HolderCase{"plain_text_keeps_its_bytes",
                   "set @@session.sql_mode=\"\"\r\n  -- c\rx\ny",
                   true,
                   false,
                   {{"set @@session.sql_mode=\"\"\r\n  -- c\r\nx\r\ny\r\n", {}}},
                   {}},
        HolderCase{"zero_byte_does_not_end_the_text",
                   std::string("a\0b", 3),
                   true,
                   true,
                   {{std::string("a\0b\r\n", 5), {}}},
                   {}},
        HolderCase{"only_whitespace", " \r\n\t", true, true, {}, {}},
        HolderCase{"assignment_is_no_parameter",
                   "SELECT @a:=1  FROM\r\nt",
                   true,
                   false,
                   {{"SELECT @a:=1 FROM t", {}}},
                   {}},
        HolderCase{"parameters_unique_without_regard_to_case",
                   "UPDATE t SET a=:Id WHERE x=:id AND y=:ID2",
                   true,
                   false,
                   {{"UPDATE t SET a=? WHERE x=? AND y=?", {0, 0, 1}}},
                   {"Id", "ID2"}},
        HolderCase{"quoted_names_are_decoded",
                   "x=:'a b' AND y=:\"A B\" AND z=:\"c\\td\"",
                   true,
                   false,
                   {{"x=? AND y=? AND z=?", {0, 0, 1}}},
                   {"a b", "c\td"}},
        HolderCase{"colon_in_a_string_still_takes_the_token_path",
                   "SELECT ':x'  /* c */\r\n  FROM t -- :y",
                   true,
                   false,
                   {{"SELECT ':x' FROM t", {}}},
                   {}},
        HolderCase{"double_colon", "SELECT a::b, c", true, false, {{"SELECT a:b, c", {}}}, {}},
        HolderCase{"comment_between_tokens_keeps_them_apart",
                   "SELECT a--c\r\nFROM t WHERE b=:p",
                   true,
                   false,
                   {{"SELECT a FROM t WHERE b=?", {0}}},
                   {"p"}},
        HolderCase{"version_comment_stays",
                   "SELECT /*!40101 1 */ :p",
                   true,
                   false,
                   {{"SELECT /*!40101 1 */ ?", {0}}},
                   {"p"}},
        HolderCase{"split_at_semicolons",
                   "a=:p;;\r\nb=:q AND c=:P; ",
                   true,
                   true,
                   {{"a=?", {0}}, {"b=? AND c=?", {1, 0}}},
                   {"p", "q"}},
        HolderCase{"semicolon_in_quotes_does_not_split",
                   "x=';' ;y",
                   false,
                   true,
                   {{"x=';'", {}}, {"y", {}}},
                   {}},
        HolderCase{"parameter_check_off_keeps_colons",
                   "x=:y;z",
                   false,
                   true,
                   {{"x=:y", {}}, {"z", {}}},
                   {}},
        HolderCase{
            "parameter_check_off_plain", "SELECT :x", false, false, {{"SELECT :x\r\n", {}}}, {}},
        HolderCase{"comments_only_give_no_statement", "-- only :x\r\n/* ; */", true, true, {}, {}}),
    [](const testing::TestParamInfo<HolderCase>& info) { return std::string(info.param.name); });

TEST(HolderIncorrectTokenTest, ColonFollowedByAnythingButANameFails) {
  for (const char* text : {"a=:1", "a=:NULL", "a=:`b`", "a=: b", "a=:?", "a=:(b)", "a=:"}) {
    TZSQLStrings holder;
    holder.SetText("SELECT 1");
    try {
      holder.SetText(text);
      ADD_FAILURE() << text;
    } catch (const EZDatabaseError& e) {
      EXPECT_STREQ(e.what(), "Incorrect token followed by \":\"") << text;
    }
    EXPECT_EQ(holder.Lines(), TextLines{text});
    EXPECT_EQ(holder.StatementCount(), 0) << text;
  }
}

TEST(HolderChangeTest, EveryChangeRecomputesBeforeNotifying) {
  TZSQLStrings holder;
  std::vector<int> counts_seen;
  holder.OnChange = [&](TZSQLStrings& sender) { counts_seen.push_back(sender.ParamCount()); };
  holder.SetText("a=:x\r\nb=:y");
  holder.Add("c=:z");
  holder.Clear();
  EXPECT_EQ(counts_seen, (std::vector<int>{2, 3, 0}));
  EXPECT_EQ(holder.StatementCount(), 0);

  holder.SetText("a=:x");
  holder.SetParamCheck(false);
  EXPECT_EQ(holder.ParamCount(), 0);
  ASSERT_EQ(holder.StatementCount(), 1);
  EXPECT_EQ(holder.Statements()[0].sql, "a=:x\r\n");
}

}  // namespace
}  // namespace zered
