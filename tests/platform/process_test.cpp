#include "platform/process.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "platform/dynamic_library.h"
#include "platform/files.h"
#include "support/temp_folder.h"

namespace zered {
namespace {

TEST(ProcessTest, ProgramFolderIsTheExecutablesFolderWithItsDelimiter) {
  const std::string path = ExecutablePath();
  ASSERT_TRUE(FileExists(path));
  ASSERT_TRUE(IsAbsolutePath(path));
  EXPECT_EQ(ProgramFolder(), path.substr(0, path.find_last_of(PathDelimiter()) + 1));

#ifdef _WIN32
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Apps\\zered\\zered.exe", "C:\\Apps\\zered\\"},
      {"\\\\server\\apps\\zered.exe", "\\\\server\\apps\\"},
      {"D:zered.exe", "D:"},
  };
#else
  const std::pair<std::string, std::string> cases[] = {
      {"/opt/zered/bin/zered", "/opt/zered/bin/"},
      {"/zered", "/"},
  };
#endif
  for (const auto& [executable, folder] : cases) {
    OverrideExecutablePath(executable);
    EXPECT_EQ(ExecutablePath(), executable);
    EXPECT_EQ(ProgramFolder(), folder);
  }
  OverrideExecutablePath("");
  EXPECT_EQ(ExecutablePath(), path);
}

TEST(ProcessTest, CurrentDirectoryFollowsSetCurrentDir) {
  const test::TempFolder folder;
  const std::string saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(folder.Path()));
  const std::string current = GetCurrentDir();
  EXPECT_EQ(current, folder.Path().substr(0, folder.Path().size() - 1));
  EXPECT_FALSE(SetCurrentDir(folder.File("no/such/folder")));
  EXPECT_FALSE(SetCurrentDir(""));
  EXPECT_EQ(GetCurrentDir(), current);
  ASSERT_TRUE(SetCurrentDir(saved));
}

TEST(ProcessTest, NowIsTheLocalCalendarTime) {
  const std::time_t before = std::time(nullptr);
  const TDateTime now = Now();
  const std::tm local = *std::localtime(&before);
  // The same local day, unless midnight passed in between.
  const DateParts date = DecodeDate(now);
  const TimeParts time = DecodeTime(now);
  if (time.hour == 0 && time.minute == 0 && local.tm_hour == 23) return;
  EXPECT_EQ(date.year, local.tm_year + 1900);
  EXPECT_EQ(date.month, local.tm_mon + 1);
  EXPECT_EQ(date.day, local.tm_mday);
  EXPECT_EQ(time.hour, local.tm_hour);
}

// GoogleTest keeps the arguments as the C runtime split them from the same command line.
TEST(CommandLineTest, ArgumentsFollowTheProgramName) {
  const std::vector<std::string> argv = testing::internal::GetArgvs();
  ASSERT_FALSE(argv.empty());
  EXPECT_EQ(CommandLineArguments(), std::vector<std::string>(argv.begin() + 1, argv.end()));
}

TEST(CommandLineTest, SplitsByTheWindowsRules) {
  using Arguments = std::vector<std::string>;
  const std::pair<std::string, Arguments> cases[] = {
      {"zered.exe", {"zered.exe"}},
      {"zered.exe /A", {"zered.exe", "/A"}},
      {"zered.exe \t /a  /b  ", {"zered.exe", "/a", "/b"}},
      {"\"C:\\Program Files\\zered.exe\" /A", {"C:\\Program Files\\zered.exe", "/A"}},
      {"C:\\a\\\"b c\"\\zered.exe x", {"C:\\a\\b c\\zered.exe", "x"}},
      {"zered.exe \"\" x", {"zered.exe", "", "x"}},
      {"zered.exe \"D:\\Data\\Ostrun 2017\\\\\"", {"zered.exe", "D:\\Data\\Ostrun 2017\\"}},
      {"zered.exe D:\\Data\\", {"zered.exe", "D:\\Data\\"}},
      // The examples of the documented rules.
      {"p \"a b c\" d e", {"p", "a b c", "d", "e"}},
      {"p \"ab\\\"c\" \"\\\\\" d", {"p", "ab\"c", "\\", "d"}},
      {"p a\\\\\\b d\"e f\"g h", {"p", "a\\\\\\b", "de fg", "h"}},
      {"p a\\\\\\\"b c d", {"p", "a\\\"b", "c", "d"}},
      {"p a\\\\\\\\\"b c\" d e", {"p", "a\\\\b c", "d", "e"}},
      {"p a\"b\"\" c d", {"p", "ab\" c d"}},
      {"", {""}},
  };
  for (const auto& [line, arguments] : cases) EXPECT_EQ(SplitCommandLine(line), arguments) << line;
}

#ifdef _WIN32
constexpr const char* kSystemLibrary = "msvcrt.dll";
#else
constexpr const char* kSystemLibrary = "libc.so.6";
#endif

TEST(DynamicLibraryTest, LoadsLooksUpAndUnloads) {
  TDynamicLibrary library;
  EXPECT_FALSE(library.Load("libzered-does-not-exist.so"));
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(library.Symbol("strlen"), nullptr);
  ASSERT_TRUE(library.Load(kSystemLibrary));
  using StrLen = size_t (*)(const char*);
  const auto str_len = reinterpret_cast<StrLen>(library.Symbol("strlen"));
  ASSERT_NE(str_len, nullptr);
  EXPECT_EQ(str_len("zered"), 5u);
  EXPECT_EQ(library.Symbol("zered_no_such_function"), nullptr);
  library.Unload();
  EXPECT_FALSE(library.IsLoaded());
}

// The test module is built beside the tests, in a folder of its own that the system does not
// search.
TEST(DynamicLibraryTest, LooksInTheProgramFolderFirst) {
  const test::TempFolder program_folder;
  const std::filesystem::path module(ZERED_TEST_MODULE);
  const std::string name = module.filename().string();
  TDynamicLibrary library;
  ASSERT_FALSE(library.Load(name));
  std::filesystem::copy_file(module, program_folder.File(name));
  OverrideExecutablePath(program_folder.File("zered"));
  const bool loaded = library.Load(name);
  OverrideExecutablePath("");
  ASSERT_TRUE(loaded);
  using Answer = int (*)();
  const auto answer = reinterpret_cast<Answer>(library.Symbol("ZeredTestModuleAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  library.Unload();
}

}  // namespace
}  // namespace zered
