#include "app/app_texts.h"

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

TEST(ApplicationTitleTest, NameWithoutFolderCutAtFirstDotRestLowerCase) {
  struct Case {
    const char* path;
    const char* title;
  } cases[] = {{"/opt/zered/bin/zered", "zered"},
               {"/opt/ZERED.EXE", "Zered"},
               {"/x/ZeReD.exe", "Zered"},
               {"/a.b/Zered.tar.gz", "Zered"},  // a dot in a folder does not count
               {"/x/.hidden", ""},
               {"/x/ŽERED", "Žered"},
               {"/x/zÉRED", "zéred"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ApplicationTitle(c.path), QString::fromUtf8(c.title)) << c.path;
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

TEST(DisplayTextTest, Utf8KeptOtherBytesReadInTheAnsiCodePage) {
  EXPECT_EQ(DisplayText("Cannot open file \"/data/účty\""),
            QString::fromUtf8("Cannot open file \"/data/účty\""));
  // Not UTF-8: decoded as some 8-bit text of the same length, never dropped.
  QString decoded = DisplayText("SQL Error: \xE8\xED\x73lo");
  EXPECT_TRUE(decoded.startsWith("SQL Error: "));
  EXPECT_EQ(decoded.size(), 16);
  EXPECT_TRUE(decoded.endsWith("slo"));
}

}  // namespace
}  // namespace zered
