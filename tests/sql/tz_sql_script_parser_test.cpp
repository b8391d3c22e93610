#include "sql/tz_sql_script_parser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "base/text_lines.h"
#include "export/load_script.h"
#include "sql/tz_mysql_tokenizer.h"
#include "sql/tz_sql_strings.h"

namespace zered {
namespace {

using Statements = std::vector<std::string>;

Statements StatementsOf(const TZSQLScriptParser& parser) {
  Statements statements;
  for (int i = 0; i < parser.StatementCount(); ++i) statements.push_back(parser.Statement(i));
  return statements;
}

TZSQLScriptParser MakeParser(TZDelimiterType type, bool cleanup) {
  TZSQLScriptParser parser;
  parser.SetTokenizer(SharedMySQLTokenizer());
  parser.SetDelimiterType(type);
  parser.SetCleanupStatements(cleanup);
  return parser;
}

struct ParseCase {
  const char* name;
  TZDelimiterType type;
  bool cleanup;
  std::string text;
  Statements expected;  // the unfinished statement last
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, GivesTheStatements) {
  const ParseCase& c = GetParam();
  TZSQLScriptParser parser = MakeParser(c.type, c.cleanup);
  parser.ParseText(c.text);
  EXPECT_EQ(StatementsOf(parser), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTest,
    testing::Values(
        ParseCase{"statements_lose_their_semicolon",
                  dtDefault,
                  false,
                  "BEGIN;\r\nset @@session.sql_mode=\"\";\r\ncommit;\r\n",
                  {"BEGIN", "set @@session.sql_mode=\"\"", "commit"}},
        ParseCase{"empty_statements_are_not_added", dtDefault, false, ";; \r\n ;\t", {}},
        ParseCase{"only_whitespace", dtDefault, false, " \r\n\t\r\n", {}},
        ParseCase{"last_statement_without_semicolon", dtDefault, false, "a;b", {"a", "b"}},
        ParseCase{"edges_trimmed_inner_bytes_kept",
                  dtDefault,
                  false,
                  "  SELECT  1\r\n  FROM t \r\n;",
                  {"SELECT  1\r\n  FROM t"}},
        ParseCase{"semicolons_inside_quotes_and_comments",
                  dtDefault,
                  false,
                  "SELECT ';', \";\", `;` /* ; */ # ;\r\n-- ;\r\nFROM t;x",
                  {"SELECT ';', \";\", `;` /* ; */ # ;\r\n-- ;\r\nFROM t", "x"}},
        ParseCase{"line_comment_hides_the_semicolon",
                  dtDefault,
                  false,
                  "SELECT 1 -- first;\r\nSELECT 2;",
                  {"SELECT 1 -- first;\r\nSELECT 2"}},
        ParseCase{"comment_before_a_statement_belongs_to_it",
                  dtDefault,
                  false,
                  "SELECT 1;\r\n-- second\r\nSELECT 2;",
                  {"SELECT 1", "-- second\r\nSELECT 2"}},
        ParseCase{"comment_after_the_last_semicolon_is_a_statement",
                  dtDefault,
                  false,
                  "SELECT 1;\r\n/* end */\r\n",
                  {"SELECT 1", "/* end */"}},
        ParseCase{"empty_block_comment_does_not_swallow_the_script",
                  dtDefault,
                  false,
                  "DELETE FROM t /**/ WHERE id=1; SELECT 2;",
                  {"DELETE FROM t /**/ WHERE id=1", "SELECT 2"}},
        ParseCase{"delimiter_command_is_plain_text",
                  dtDefault,
                  false,
                  "DELIMITER //\r\nSELECT 1//",
                  {"DELIMITER //\r\nSELECT 1//"}},
        ParseCase{"cleanup_drops_comments_and_reduces_whitespace",
                  dtDefault,
                  true,
                  "SELECT   1 /* c */\r\n, a--x\r\nFROM t;  -- end\r\n",
                  {"SELECT 1 , a FROM t"}},
        ParseCase{"go_in_any_case",
                  dtGo,
                  true,
                  "SELECT 1;\r\ngo\r\nSELECT 2\r\nGO\r\nSELECT 3",
                  {"SELECT 1;", "SELECT 2", "SELECT 3"}},
        ParseCase{"set_term_changes_the_delimiter",
                  dtSetTerm,
                  true,
                  "SET TERM ^ ;\r\nSELECT 1^\r\nSET TERM ; ^\r\nSELECT 2;",
                  {"SELECT 1", "SELECT 2"}},
        ParseCase{"set_term_delimiter_of_several_tokens",
                  dtSetTerm,
                  true,
                  "set term !! ;\r\nSELECT 1 !x !!\r\nSELECT '!!' ! !!",
                  {"SELECT 1 !x", "SELECT '!!' !"}},
        ParseCase{"empty_line_ends_a_statement",
                  dtEmptyLine,
                  true,
                  "SELECT 1\r\nFROM t;\r\n\r\nSELECT 2\r\n",
                  {"SELECT 1 FROM t", "SELECT 2"}},
        ParseCase{"empty_line_after_a_line_comment_keeps_the_next_word",
                  dtEmptyLine,
                  false,
                  "SELECT 1 -- c\r\n\r\nSELECT 2",
                  {"SELECT 1 -- c\r\n", "SELECT 2"}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(ParseTextTest, UnfinishedStatementJoinsTheNextParse) {
  TZSQLScriptParser parser = MakeParser(dtDefault, false);
  parser.ParseText("SELECT 1; SELECT");
  EXPECT_EQ(StatementsOf(parser), (Statements{"SELECT 1", "SELECT"}));
  parser.ParseText("2;");
  EXPECT_EQ(StatementsOf(parser), (Statements{"SELECT\n2"}));
  parser.Clear();
  EXPECT_EQ(parser.StatementCount(), 0);
}

TEST(ParseTextTest, WithoutTokenizerFailsAndKeepsThePreviousStatements) {
  TZSQLScriptParser parser = MakeParser(dtDefault, false);
  parser.ParseText("a;b");
  parser.SetTokenizer(nullptr);
  try {
    parser.ParseText("c;");
    FAIL() << "no failure";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Tokenizer is not defined");
  }
  EXPECT_EQ(StatementsOf(parser), (Statements{"a", "b"}));
  EXPECT_THROW(parser.Statement(2), Exception);
  EXPECT_THROW(parser.Statement(-1), Exception);
}

// The receivables load script that the export run writes, and what the server receives for
// each of its statements: the processor's parser cuts it at ";" with cleanup off, and each
// statement passes through a holder with the parameter check on and the split off.
const TextLines kLoadScript = LoadScriptLines();

const Statements kSentStatements = {
    "BEGIN\r\n",
    "set @@session.sql_mode=\"\"\r\n",
    "SET names cp1250\r\n",
    "TRUNCATE `pohledavky2`\r\n",
    "LOAD DATA LOCAL INFILE \r\n'sa2.txt'\r\n INTO TABLE pohledavky2  CHARACTER SET cp1250 "
    "FIELDS TERMINATED BY \"|\"\r\n",
    "UPDATE pohledavky2 SET CM=CASTKA-ZBYVA\r\n",
    "TRUNCATE `pohledavky`\r\n",
    "INSERT into `pohledavky` \r\n (`CFAKT`,`VS`,`TYP`,`ICO`,`SPLATNOST`,`VYSTAVENI`,`PLNENI`,"
    "`CASTKA`,`ZAPLACENO`,`DATUHRADY`,DIC)\r\nSELECT `CISLO`,`VS`,`TYP`,`ICO`,`SPLATNOST`,"
    "`VYSTAVENI`,`VYSTAVENI`,`CASTKA`,`CM`,`DATUHRADY`,DIC from `pohledavky2`\r\n",
    "UPDATE pohledavky SET DATUHRADY=NULL WHERE ZAPLACENO=0\r\n",
    "UPDATE pohledavky p, adresar a SET p.KODPAR=a.KODPAR,p.NAZEVPODNI=a.NAZEVPODNI,"
    "p.POSTA=a.POSTA\r\n WHERE p.DIC=a.KOD_PLATCE\r\n",
    "UPDATE pohledavky p, adresar a SET p.KODPAR=a.KODPAR,p.NAZEVPODNI=a.NAZEVPODNI,"
    "p.POSTA=a.POSTA\r\n WHERE p.ICO=a.ICO and p.KODPAR=\"\"\r\n",
    "UPDATE pohledavky p, fakt f SET p.DEALER=f.DEALER WHERE p.TYP=\"V\" and p.VS=f.CFAKT\r\n",
    "commit\r\n",
};

TEST(LoadScriptTest, SplitsIntoTheStatementsTheServerReceives) {
  const std::string text = JoinLinesCrLf(kLoadScript);
  ASSERT_EQ(text.size(), 907u);

  TZSQLScriptParser parser = MakeParser(dtDefault, false);
  parser.ParseText(text);
  ASSERT_EQ(parser.StatementCount(), 13);

  Statements sent;
  TZSQLStrings holder;
  holder.SetMultiStatements(false);
  for (int i = 0; i < parser.StatementCount(); ++i) {
    holder.SetText(parser.Statement(i));
    ASSERT_EQ(holder.StatementCount(), 1) << i;
    EXPECT_TRUE(holder.Statements()[0].param_indices.empty());
    sent.push_back(holder.Statements()[0].sql);
  }
  EXPECT_EQ(sent, kSentStatements);
}

TEST(LoadScriptTest, LoadedFromItsFileHasNoParameters) {
  const std::string path = std::string(ZERED_TEST_BINARY_DIR) + "/tz_sql_script_parser_test_sa.txt";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const std::string text = JoinLinesCrLf(kLoadScript);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);

  TZSQLStrings script;
  script.Clear();
  script.LoadFromFile(path);
  std::remove(path.c_str());
  EXPECT_EQ(script.Lines(), kLoadScript);
  EXPECT_EQ(script.ParamCount(), 0);
}

}  // namespace
}  // namespace zered
