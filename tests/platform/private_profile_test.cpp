#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace zered {
namespace {

class ProfileFileTest : public testing::Test {
 protected:
  test::TempFolder folder_;
};

TEST_F(ProfileFileTest, ReadGivesTheDefaultWhenThereIsNoReadableFile) {
  folder_.Put("sub/x.ini", "[s]\r\nk=1\r\n");
  for (const std::string& path :
       {folder_.Path() + "none.ini", folder_.Path() + "sub", folder_.Path() + "sub/x.ini/y.ini"}) {
    EXPECT_EQ(ReadProfileString(path, "s", "k", "dflt"), "dflt") << path;
  }
}

TEST_F(ProfileFileTest, ReadAndWriteUseAFileThatDiffersOnlyInCase) {
  folder_.Put("VELBOR05.INI", "[LogON]\r\nIP=db\r\n");
  const std::string path = folder_.Path() + "velbor05.ini";
  EXPECT_EQ(ReadProfileString(path, "LogON", "IP", "localhost"), "db");
  ASSERT_TRUE(WriteProfileString(path, "LogON", "User", "u"));
  EXPECT_EQ(folder_.Get("VELBOR05.INI"), "[LogON]\r\nIP=db\r\nUser=u\r\n");
#ifndef _WIN32
  // No second file: on Windows the file system itself ignores letter case.
  EXPECT_EQ(folder_.Get("velbor05.ini"), "<missing>");
#endif
}

TEST_F(ProfileFileTest, WriteCreatesTheFileAndEditsItAfterwards) {
  const std::string path = folder_.Path() + "zered.INI";
  ASSERT_TRUE(WriteProfileString(path, "TForm1", "FormVersion", "0"));
  ASSERT_TRUE(WriteProfileString(path, "TForm1", "LMDBrowseEdit1_Path", "/data"));
  ASSERT_TRUE(WriteProfileString(path, "TForm1", "FormVersion", "1"));
  EXPECT_EQ(folder_.Get("zered.INI"), "[TForm1]\r\nFormVersion=1\r\nLMDBrowseEdit1_Path=/data\r\n");
}

TEST_F(ProfileFileTest, FailedWriteLeavesEverythingAsItWas) {
  folder_.Put("file", "[s]\r\nk=1\r\n");
  for (const std::string& path :
       {folder_.Path() + "missing/zered.INI", folder_.Path() + "file/zered.INI", folder_.Path()}) {
    EXPECT_FALSE(WriteProfileString(path, "s", "k", "2")) << path;
  }
  EXPECT_FALSE(WriteProfileString(folder_.Path() + "file", "s", "k", "a\nb"));
  EXPECT_EQ(folder_.Get("file"), "[s]\r\nk=1\r\n");
  EXPECT_EQ(folder_.Get("missing/zered.INI"), "<missing>");
}

}  // namespace
}  // namespace zered
