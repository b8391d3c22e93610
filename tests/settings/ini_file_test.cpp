#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_file_exception.h"
#include "support/temp_folder.h"

namespace zered {
namespace {

class IniFileTest : public testing::Test {
 protected:
  test::TempFolder folder_;
  TIniFile ini_{folder_.Path() + "test.ini"};
};

TEST_F(IniFileTest, TextsComeBackAsWritten) {
  for (const char* value :
       {"\"/data/ostrun\"", "'x'", "\"", "'", "\"\"", "\"x'", "a \"b\" c", "plain", ""}) {
    ini_.WriteString("s", "k", value);
    EXPECT_EQ(ini_.ReadString("s", "k", "dflt"), std::string(value)) << value;
  }
}

TEST_F(IniFileTest, SelfQuotedTextGetsOneMorePairOfQuotes) {
  ini_.WriteString("s", "k", "\"x\"");
  EXPECT_EQ(folder_.Get("test.ini"), "[s]\r\nk=\"\"x\"\"\r\n");
}

TEST_F(IniFileTest, ReadIntegerConvertsOrGivesTheDefault) {
  struct Case {
    const char* stored;
    int32_t expected;
  };
  for (const Case& c :
       {Case{"3307", 3307}, Case{"0xCEB", 3307}, Case{"0XceB", 3307}, Case{"$CEB", 3307},
        Case{" 42 ", 42}, Case{"-5", -5}, Case{"0xFFFFFFFF", -1}, Case{"$80000000", INT32_MIN},
        Case{"-$1", -1}, Case{"0x1FFFFFFFF", 3306}, Case{"2147483648", 3306}, Case{"3307x", 3306},
        Case{"0x", 3306}, Case{"x", 3306}, Case{"", 3306}}) {
    folder_.Put("test.ini", std::string("[LogON]\r\nSQLport=") + c.stored + "\r\n");
    EXPECT_EQ(ini_.ReadInteger("LogON", "SQLport", 3306), c.expected) << c.stored;
  }
  EXPECT_EQ(ini_.ReadInteger("LogON", "Missing", 3306), 3306);
}

TEST_F(IniFileTest, WriteIntegerStoresDecimalText) {
  ini_.WriteInteger("s", "k", -17);
  EXPECT_EQ(ini_.ReadString("s", "k", ""), "-17");
}

TEST_F(IniFileTest, FailedWriteNamesTheFile) {
  folder_.Put("file", "");
  for (const std::string& path :
       {folder_.Path() + "missing/zered.INI", folder_.Path() + "file/zered.INI"}) {
    try {
      TIniFile(path).WriteString("TForm1", "FormVersion", "0");
      ADD_FAILURE() << "no failure for " << path;
    } catch (const EIniFileException& error) {
      EXPECT_EQ(error.Message(), "Unable to write to " + path);
    }
  }
}

}  // namespace
}  // namespace zered
