#include "platform/process.h"

#include <gtest/gtest.h>

#include <ctime>

#include "platform/dynamic_library.h"
#include "platform/files.h"

namespace zered {
namespace {

TEST(ProcessTest, ProgramFolderIsTheExecutablesFolderWithSlash) {
  const std::string path = ExecutablePath();
  ASSERT_TRUE(FileExists(path));
  EXPECT_EQ(ProgramFolder(), path.substr(0, path.rfind('/') + 1));

  OverrideExecutablePath("/opt/zered/bin/zered");
  EXPECT_EQ(ExecutablePath(), "/opt/zered/bin/zered");
  EXPECT_EQ(ProgramFolder(), "/opt/zered/bin/");
  OverrideExecutablePath("");
  EXPECT_EQ(ExecutablePath(), path);
}

TEST(ProcessTest, CurrentDirectoryFollowsSetCurrentDir) {
  const std::string saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir("/"));
  EXPECT_EQ(GetCurrentDir(), "/");
  EXPECT_FALSE(SetCurrentDir("/no/such/folder"));
  EXPECT_FALSE(SetCurrentDir(""));
  EXPECT_EQ(GetCurrentDir(), "/");
  ASSERT_TRUE(SetCurrentDir(saved));
}

TEST(ProcessTest, NowIsTheLocalCalendarTime) {
  const std::time_t before = std::time(nullptr);
  const TDateTime now = Now();
  std::tm local{};
  ::localtime_r(&before, &local);
  // The same local day, unless midnight passed in between.
  const DateParts date = DecodeDate(now);
  const TimeParts time = DecodeTime(now);
  if (time.hour == 0 && time.minute == 0 && local.tm_hour == 23) return;
  EXPECT_EQ(date.year, local.tm_year + 1900);
  EXPECT_EQ(date.month, local.tm_mon + 1);
  EXPECT_EQ(date.day, local.tm_mday);
  EXPECT_EQ(time.hour, local.tm_hour);
}

TEST(DynamicLibraryTest, LoadsLooksUpAndUnloads) {
  TDynamicLibrary library;
  EXPECT_FALSE(library.Load("libzered-does-not-exist.so"));
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(library.Symbol("strlen"), nullptr);
  ASSERT_TRUE(library.Load("libc.so.6"));
  using StrLen = size_t (*)(const char*);
  const auto str_len = reinterpret_cast<StrLen>(library.Symbol("strlen"));
  ASSERT_NE(str_len, nullptr);
  EXPECT_EQ(str_len("zered"), 5u);
  EXPECT_EQ(library.Symbol("zered_no_such_function"), nullptr);
  library.Unload();
  EXPECT_FALSE(library.IsLoaded());
}

}  // namespace
}  // namespace zered
