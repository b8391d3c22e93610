#include "sql/tz_mysql_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zered {
namespace {

using Tokens = std::vector<std::pair<std::string, TZTokenType>>;

Tokens Read(std::string_view text, TZTokenOptions options) {
  TZMySQLTokenizer tokenizer;
  Tokens tokens;
  for (const TZToken& token : tokenizer.Tokenize(text, options)) {
    tokens.emplace_back(token.value, token.kind);
  }
  return tokens;
}

struct TokenCase {
  const char* name;
  std::string text;
  TZTokenOptions options;
  Tokens expected;
};

void PrintTo(const TokenCase& c, std::ostream* os) { *os << c.name; }

class TokenizeTest : public testing::TestWithParam<TokenCase> {};

TEST_P(TokenizeTest, GivesTheTokens) {
  const TokenCase& c = GetParam();
  EXPECT_EQ(Read(c.text, c.options | toSkipEOF), c.expected) << c.name;
}

const TZTokenOptions kNone = 0;
const TZTokenOptions kHolder = toSkipComments | toUnifyWhitespaces;

INSTANTIATE_TEST_SUITE_P(
    Cases, TokenizeTest,
    testing::Values(
        TokenCase{"qualified_name",
                  "p.KODPAR",
                  kNone,
                  {{"p", ttWord}, {".", ttSymbol}, {"KODPAR", ttWord}}},
        TokenCase{"numbers",
                  "1.5e3 12. .5 0x1F 7 2E-3",
                  kNone,
                  {{"1.5e3", ttFloat},
                   {" ", ttWhitespace},
                   {"12.", ttFloat},
                   {" ", ttWhitespace},
                   {".5", ttFloat},
                   {" ", ttWhitespace},
                   {"0x1F", ttHexDecimal},
                   {" ", ttWhitespace},
                   {"7", ttInteger},
                   {" ", ttWhitespace},
                   {"2E-3", ttFloat}}},
        TokenCase{
            "exponent_without_digits_starts_a_word",
            "12ex 12e",
            kNone,
            {{"12", ttFloat}, {"ex", ttWord}, {" ", ttWhitespace}, {"12", ttFloat}, {"e", ttWord}}},
        TokenCase{"hex_prefix_only_after_a_lone_zero",
                  "00x1 0xg",
                  kNone,
                  {{"00x1", ttWord}, {" ", ttWhitespace}, {"0x", ttHexDecimal}, {"g", ttWord}}},
        TokenCase{"integer_then_word_is_one_word", "123abc", kNone, {{"123abc", ttWord}}},
        TokenCase{"integer_and_word_apart_stay_apart",
                  "123 abc 4/**/d",
                  toSkipWhitespaces | toSkipComments,
                  {{"123", ttInteger}, {"abc", ttWord}, {"4", ttInteger}, {"d", ttWord}}},
        TokenCase{"dots",
                  "a..b",
                  kNone,
                  {{"a", ttWord}, {".", ttSymbol}, {".", ttSymbol}, {"b", ttWord}}},
        TokenCase{"quotes",
                  "'it''s'\"\"`a``b`'a\\'b'",
                  kNone,
                  {{"'it''s'", ttQuoted},
                   {"\"\"", ttQuoted},
                   {"`a``b`", ttQuotedIdentifier},
                   {"'a\\'b'", ttQuoted}}},
        TokenCase{"quote_ends_after_single_closing_byte",
                  "'a'b",
                  kNone,
                  {{"'a'", ttQuoted}, {"b", ttWord}}},
        TokenCase{"unclosed_quote_runs_to_the_end",
                  "x 'a;b",
                  kNone,
                  {{"x", ttWord}, {" ", ttWhitespace}, {"'a;b", ttQuoted}}},
        TokenCase{"line_comments",
                  "a-- c\r\nb#d\n\ne--",
                  kNone,
                  {{"a", ttWord},
                   {"-- c\r\n", ttComment},
                   {"b", ttWord},
                   {"#d\n\n", ttComment},
                   {"e", ttWord},
                   {"--", ttComment}}},
        TokenCase{"minus_and_slash_alone_are_symbols",
                  "a-b/c-",
                  kNone,
                  {{"a", ttWord},
                   {"-", ttSymbol},
                   {"b", ttWord},
                   {"/", ttSymbol},
                   {"c", ttWord},
                   {"-", ttSymbol}}},
        TokenCase{"block_comments",
                  "/* ; */x/**/y/*!40101 SET */z/*",
                  kNone,
                  {{"/* ; */", ttComment},
                   {"x", ttWord},
                   {"/**/", ttComment},
                   {"y", ttWord},
                   {"/*!40101 SET */", ttSymbol},
                   {"z", ttWord},
                   {"/", ttSymbol},
                   {"*", ttSymbol}}},
        TokenCase{
            "unclosed_block_comment", "a/* b; c", kNone, {{"a", ttWord}, {"/* b; c", ttComment}}},
        TokenCase{"close_needs_its_own_star",
                  "/*/ x */y",
                  kNone,
                  {{"/*/ x */", ttComment}, {"y", ttWord}}},
        TokenCase{"multi_byte_symbols",
                  "<=>=<>:=::!=<<>>@@",
                  kNone,
                  {{"<=", ttSymbol},
                   {">=", ttSymbol},
                   {"<>", ttSymbol},
                   {":=", ttSymbol},
                   {":", ttSymbol},
                   {":", ttSymbol},
                   {"!", ttSymbol},
                   {"=", ttSymbol},
                   {"<<", ttSymbol},
                   {">>", ttSymbol},
                   {"@", ttSymbol},
                   {"@", ttSymbol}}},
        TokenCase{"keywords_in_any_case",
                  "nUlL Nullx and",
                  kNone,
                  {{"nUlL", ttKeyword},
                   {" ", ttWhitespace},
                   {"Nullx", ttWord},
                   {" ", ttWhitespace},
                   {"and", ttKeyword}}},
        TokenCase{"high_bytes",
                  "\xC8\xE1st\x80x\xBF",
                  kNone,
                  {{"\xC8\xE1st", ttWord}, {"\x80", ttSymbol}, {"x", ttWord}, {"\xBF", ttSymbol}}},
        TokenCase{"control_bytes_are_whitespace",
                  std::string("a\0\x1F b", 5),
                  kNone,
                  {{"a", ttWord}, {std::string("\0\x1F ", 3), ttWhitespace}, {"b", ttWord}}},
        TokenCase{"holder_options_drop_comments_but_keep_a_separator",
                  "a--c\nb  /*x*/ \t c#\n'd  e'/*!1*/",
                  kHolder,
                  {{"a", ttWord},
                   {" ", ttWhitespace},
                   {"b", ttWord},
                   {" ", ttWhitespace},
                   {"c", ttWord},
                   {" ", ttWhitespace},
                   {"'d  e'", ttQuoted},
                   {"/*!1*/", ttSymbol}}},
        TokenCase{
            "skip_whitespace", " a \r\n b ", toSkipWhitespaces, {{"a", ttWord}, {"b", ttWord}}},
        TokenCase{"unify_numbers",
                  "1 2.5 0x1 1e",
                  toUnifyNumbers | toSkipWhitespaces,
                  {{"1", ttNumber},
                   {"2.5", ttNumber},
                   {"0x1", ttNumber},
                   {"1", ttNumber},
                   {"e", ttWord}}},
        TokenCase{"decode_strings",
                  "'a\\nb' `c` x",
                  toDecodeStrings | toSkipWhitespaces,
                  {{"a\nb", ttQuoted}, {"c", ttQuotedIdentifier}, {"x", ttWord}}}),
    [](const testing::TestParamInfo<TokenCase>& info) { return std::string(info.param.name); });

TEST(TokenizeEndTokenTest, EndsTheListUnlessSkipped) {
  EXPECT_EQ(Read("", kNone), (Tokens{{"", ttEOF}}));
  EXPECT_EQ(Read("a", kNone), (Tokens{{"a", ttWord}, {"", ttEOF}}));
  EXPECT_EQ(Read("", toSkipEOF), Tokens{});
}

// Without options nothing is lost or added: the script parser relies on it to send the text as
// written.
TEST(TokenizeRoundTripTest, TokensJoinToTheText) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  for (const std::string& text :
       {every_byte, std::string("SELECT 'a''b', \"c\\\"d\", `e` FROM t -- x\r\n/* y */;"),
        std::string("1.e+ 0x .e5 12e- '\\"), std::string("/*!/**/*/--\r\r#\n\r")}) {
    std::string joined;
    for (const TZToken& token : TZMySQLTokenizer().Tokenize(text, kNone)) joined += token.value;
    EXPECT_EQ(joined, text);
  }
}

struct DecodeCase {
  std::string value;
  char quote;
  std::string expected;
};

TEST(TokenizerDecodeTest, RemovesQuotesAndDecodesBackslashSequences) {
  const DecodeCase cases[] = {
      {"'abc'", '\'', "abc"},
      {"''", '\'', ""},
      {"'", '\'', "'"},
      {"\"a\\tb\\rc\\nd\"", '"', "a\tb\rc\nd"},
      {"`\\101\\0x`", '`', "A0x"},
      {"'\\8\\\\\\''", '\'', "8\\'"},
      {"'it''s'", '\'', "it''s"},
      {"'a\\'", '\'', "a\\"},
      {"\"x\"", '\'', "\"x\""},
      {"[x]", '[', "[x]"},
      {"abc", '\'', "abc"},
  };
  TZMySQLTokenizer tokenizer;
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(tokenizer.Decode(c.value, c.quote), c.expected) << c.value;
  }
}

}  // namespace
}  // namespace zered
