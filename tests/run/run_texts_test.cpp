#include "run/run_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zered {
namespace {

TEST(AutomaticModeTest, OnlyTheFirstArgumentSlashAInAnyCase) {
  struct Case {
    std::vector<std::string> arguments;
    bool automatic;
  } cases[] = {{{}, false},           {{"/A"}, true},      {{"/a"}, true},  {{"/B"}, false},
               {{"/AUTO"}, false},    {{" /A"}, false},    {{"-A"}, false}, {{""}, false},
               {{"/b", "/A"}, false}, {{"/a", "/B"}, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsAutomaticMode(c.arguments), c.automatic)
        << (c.arguments.empty() ? "(none)" : c.arguments.front());
  }
}

TEST(FailureBoxTextTest, PeriodAppendedWhenTheLastByteSortsAfterIt) {
  struct Case {
    std::string message;
    std::string shown;
  } cases[] = {{"", ""},
               {"Invalid DBF file.", "Invalid DBF file."},
               {"SQL Error: Unknown database 'velbor'", "SQL Error: Unknown database 'velbor'"},
               {"Dbf1: Field 'id' not found", "Dbf1: Field 'id' not found."},
               {"Cannot open file \"/x/proto.txt\". Permission denied",
                "Cannot open file \"/x/proto.txt\". Permission denied."},
               {"port 3306", "port 3306."},  // '6' sorts after '.'
               {"code -", "code -"},         // '-' sorts before '.'
               {"a/", "a/."},
               {"\xE8", "\xE8."}};  // bytes compare unsigned
  for (const Case& c : cases) {
    EXPECT_EQ(FailureBoxText(c.message), c.shown) << c.message;
  }
}

TEST(StandardErrorTextTest, OneLineNamingTheProgram) {
  EXPECT_EQ(StandardErrorText("SQL Error: Unknown database 'velbor'"),
            "zered: SQL Error: Unknown database 'velbor'");
  EXPECT_EQ(StandardErrorText("first\r\nsecond\nthird\r"), "zered: first  second third ");
  EXPECT_EQ(StandardErrorText(""), "zered: ");
}

}  // namespace
}  // namespace zered
