#include "platform/files.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/exceptions.h"
#include "platform/lock_retry.h"
#include "platform/process.h"
#include "support/system_errors.h"
#include "support/temp_folder.h"

namespace zered {
namespace {

namespace fs = std::filesystem;

class FilesTest : public testing::Test {
 protected:
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_.Path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string OpenMessage(const std::string& path, int error_number) const {
    return "Cannot open file \"" + path + "\". " + SystemErrorReason(error_number);
  }

  test::TempFolder folder_;
  const std::string& dir_ = folder_.Path();
};

TEST_F(FilesTest, ReplaceWritesWholeContentAndLeavesNoTemporaryFile) {
  folder_.Put("out.txt", "old content that is longer");
  ReplaceFileAtomically(dir_ + "out.txt", std::string("new\0x", 5));
  EXPECT_EQ(ReadWholeFile(dir_ + "out.txt"), std::string("new\0x", 5));
  ReplaceFileAtomically(dir_ + "empty.txt", "");
  EXPECT_EQ(ReadWholeFile(dir_ + "empty.txt"), "");
  EXPECT_EQ(Names(), (std::vector<std::string>{"empty.txt", "out.txt"}));
}

TEST_F(FilesTest, ReplaceKeepsThePermissionsOfTheReplacedFile) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows gives the new file the permissions the folder passes on";
#endif
  folder_.Put("out.txt", "old");
  const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir_ + "out.txt", kept);
  ReplaceFileAtomically(dir_ + "out.txt", "new");
  EXPECT_EQ(fs::status(dir_ + "out.txt").permissions() & fs::perms::all, kept);
}

TEST_F(FilesTest, ReplaceWritesThroughASymbolicLink) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need rights on Windows that the program never has";
#endif
  folder_.Put("real/log.txt", "old");
  fs::create_symlink(folder_.File("real/log.txt"), dir_ + "link.txt");
  ReplaceFileAtomically(dir_ + "link.txt", "new");
  EXPECT_TRUE(fs::is_symlink(dir_ + "link.txt"));
  EXPECT_EQ(ReadWholeFile(folder_.File("real/log.txt")), "new");
  EXPECT_EQ(Names(), (std::vector<std::string>{"link.txt", "real"}));
}

TEST_F(FilesTest, FailedReplaceNamesTheFileAndKeepsWhatWasThere) {
  folder_.Put("taken/inner", "x");
  struct Case {
    std::string path;
    int error_number;
  };
  const Case cases[] = {
      {dir_ + "taken", test::kFolderAsFile},
      {folder_.File("missing/out.txt"), test::kFolderNotFound},
  };
  for (const Case& c : cases) {
    try {
      ReplaceFileAtomically(c.path, "data");
      ADD_FAILURE() << c.path << " was written";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(),
                "Cannot create file \"" + c.path + "\". " + SystemErrorReason(c.error_number));
    }
  }
  EXPECT_EQ(ReadWholeFile(folder_.File("taken/inner")), "x");
  EXPECT_EQ(Names(), (std::vector<std::string>{"taken"}));
}

// POSIX refuses to write into a folder the process may not write; Windows refuses to replace
// a file that another program holds open without allowing its deletion (as the C runtime
// opens files).
TEST_F(FilesTest, RefusedReplaceKeepsTheOldFile) {
  folder_.Put("out.txt", "old");
#ifdef _WIN32
  std::ifstream holder(fs::path(dir_ + "out.txt"), std::ios::binary);
  ASSERT_TRUE(holder.is_open());
#else
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(dir_, write, fs::perm_options::remove);
#endif
  EXPECT_THROW(ReplaceFileAtomically(dir_ + "out.txt", "new"), EFCreateError);
#ifdef _WIN32
  holder.close();
#else
  fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::add);
#endif
  EXPECT_EQ(ReadWholeFile(dir_ + "out.txt"), "old");
  EXPECT_EQ(Names(), (std::vector<std::string>{"out.txt"}));
}

TEST_F(FilesTest, WriterReplacesOnlyOnCommit) {
  folder_.Put("out.txt", "old");
  {
    TAtomicFileWriter writer(dir_ + "out.txt");
    writer.Write("never committed");
  }
  EXPECT_EQ(ReadWholeFile(dir_ + "out.txt"), "old");
  EXPECT_EQ(Names(), (std::vector<std::string>{"out.txt"}));

  // Pieces smaller and larger than the write buffer arrive in order.
  std::string expected;
  TAtomicFileWriter writer(dir_ + "out.txt");
  for (size_t size : {1u, 70000u, 3u, 200000u, 65535u, 2u}) {
    const std::string piece(size, static_cast<char>('a' + size % 26));
    writer.Write(piece);
    expected += piece;
  }
  EXPECT_EQ(ReadWholeFile(dir_ + "out.txt"), "old");
  writer.Commit();
  EXPECT_EQ(ReadWholeFile(dir_ + "out.txt"), expected);
  EXPECT_EQ(Names(), (std::vector<std::string>{"out.txt"}));
  EXPECT_THROW(writer.Write("after the commit"), EFCreateError);
}

TEST_F(FilesTest, LinesRoundTripWithCrLf) {
  folder_.Put("log.txt", "one\ntwo\rthree");
  const TextLines lines = LoadLinesFromFile(dir_ + "log.txt");
  EXPECT_EQ(lines, (TextLines{"one", "two", "three"}));
  SaveLinesToFile(dir_ + "log.txt", lines);
  EXPECT_EQ(ReadWholeFile(dir_ + "log.txt"), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(FilesTest, OpenFailuresNameTheFullPathAndTheReason) {
  folder_.Put("folder/file", "");
  const std::string saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(folder_.File("folder")));
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {dir_ + "none", OpenMessage(dir_ + "none", test::kFileNotFound)},
      {"../none", OpenMessage(dir_ + "none", test::kFileNotFound)},
      {folder_.File("folder"), OpenMessage(folder_.File("folder"), test::kFolderAsFile)},
  };
  for (const Case& c : cases) {
    try {
      ReadWholeFile(c.path);
      ADD_FAILURE() << c.path << " was read";
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  SetCurrentDir(saved);
}

TEST_F(FilesTest, ReadOnlyFileReadsShortAtTheEndAndSeesGrowth) {
  folder_.Put("data", "0123456789");
  TReadOnlyFile file(dir_ + "data");
  char buffer[8];
  EXPECT_EQ(file.ReadAt(6, buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(file.ReadAt(10, buffer, sizeof buffer), 0u);
  EXPECT_EQ(file.ReadAt(uint64_t{1} << 40, buffer, sizeof buffer), 0u);
  EXPECT_EQ(file.TryReadAt(2, buffer, 3), std::optional<size_t>(3));
  EXPECT_EQ(std::string(buffer, 3), "234");
  EXPECT_EQ(file.TryReadAt(8, buffer, sizeof buffer), std::optional<size_t>(2));
  EXPECT_EQ(file.Size(), 10u);
  std::ofstream(fs::path(dir_ + "data"), std::ios::app) << "ab";
  EXPECT_EQ(file.Size(), 12u);
  EXPECT_EQ(file.ReadAt(10, buffer, sizeof buffer), 2u);
}

TEST_F(FilesTest, ResolvesNamesThatDifferOnlyInCase) {
#ifdef _WIN32
  // The file system itself ignores letter case: the name is used as asked.
  folder_.Put("FAP.DBF", "table");
  EXPECT_EQ(ResolveFileNameCase(dir_ + "fap.dbf"), dir_ + "fap.dbf");
  EXPECT_EQ(ReadWholeFile(dir_ + "fap.dbf"), "table");
#else
  folder_.Put("FAP.DBF", "");
  folder_.Put("fap.FPT", "");
  folder_.Put("fav.dbf", "");
  folder_.Put("Fav.DBF", "");
  const std::pair<std::string, std::string> cases[] = {
      {"fap.dbf", "FAP.DBF"}, {"FAP.fpt", "fap.FPT"},   {"fav.dbf", "fav.dbf"},
      {"FAV.DBF", "Fav.DBF"}, {"none.dbf", "none.dbf"},
  };
  for (const auto& [asked, found] : cases) {
    EXPECT_EQ(ResolveFileNameCase(dir_ + asked), dir_ + found) << asked;
  }
  EXPECT_EQ(ResolveFileNameCase(dir_ + "nodir/fap.dbf"), dir_ + "nodir/fap.dbf");
#endif
}

TEST_F(FilesTest, ExistenceTellsFilesFromFolders) {
  folder_.Put("file", "");
  EXPECT_TRUE(FileExists(dir_ + "file"));
  EXPECT_FALSE(FileExists(dir_));
  EXPECT_FALSE(FileExists(dir_ + "none"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists(dir_));
  EXPECT_FALSE(DirectoryExists(dir_ + "file"));
  EXPECT_FALSE(DirectoryExists(""));
}

TEST(PathTest, TellsFoldersNamesAndFullPaths) {
  struct Case {
    const char* path;
    bool absolute;
    size_t folder_length;
  };
#ifdef _WIN32
  EXPECT_EQ(PathDelimiter(), '\\');
  const Case cases[] = {
      {"C:\\data\\fap.dbf", true, 8}, {"C:/data/fap.dbf", true, 8},
      {"\\\\server\\s\\x", true, 11}, {"\\data\\", false, 6},
      {"C:fap.dbf", true, 2},         {"data\\fap.dbf", false, 5},
      {"fap.dbf", false, 0},          {"", false, 0},
  };
#else
  EXPECT_EQ(PathDelimiter(), '/');
  const Case cases[] = {
      {"/data/fap.dbf", true, 6},
      {"//server/s/x", true, 11},
      {"/", true, 1},
      {"data/fap.dbf", false, 5},
      {"C:\\data", false, 0},
      {"fap.dbf", false, 0},
      {"", false, 0},
  };
#endif
  for (const Case& c : cases) {
    EXPECT_EQ(IsAbsolutePath(c.path), c.absolute) << c.path;
    EXPECT_EQ(FolderLength(c.path), c.folder_length) << c.path;
  }
  EXPECT_TRUE(IsPathDelimiter(PathDelimiter()));
  EXPECT_FALSE(IsPathDelimiter(':'));
}

TEST(ExpandFileNameTest, CleansPathsLexically) {
#ifdef _WIN32
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\a\\b\\..\\velbor05.ini", "C:\\a\\velbor05.ini"},
      {"C:/a/./b/", "C:\\a\\b\\"},
      {"C:\\..", "C:\\"},
      {"C:\\a\\b\\..", "C:\\a"},
  };
#else
  const std::pair<std::string, std::string> cases[] = {
      {"/a/b/../velbor05.ini", "/a/velbor05.ini"},
      {"/a//./b/", "/a/b/"},
      {"/..", "/"},
      {"/a/b/..", "/a"},
  };
#endif
  for (const auto& [path, full] : cases) EXPECT_EQ(ExpandFileName(path), full) << path;
  EXPECT_EQ(ExpandFileName("x.txt"), ExpandFileName(GetCurrentDir() + PathDelimiter() + "x.txt"));
}

TEST(SystemErrorReasonTest, IsTheSystemsTextWithoutTrailingDotsBlanksOrBreaks) {
  const std::string not_found = SystemErrorReason(test::kFileNotFound);
#ifdef _WIN32
  // FormatMessageA's text in the user's language and the ANSI code page, as Windows words it
  // in English or Czech ("...specified.\r\n"); Wine words it its own way.
  const char* const texts[] = {
      "The system cannot find the file specified",
      "Syst\xE9m nem\xF9\x9E"
      "e nal\xE9zt uveden\xFD soubor",
      "File not found",
      "Soubor nebyl nalezen",
  };
  EXPECT_NE(std::find(std::begin(texts), std::end(texts), not_found), std::end(texts)) << not_found;
  const int error_numbers = 1500;
#else
  EXPECT_EQ(not_found, "No such file or directory");
  const int error_numbers = 140;
#endif
  for (int error_number = 0; error_number < error_numbers; ++error_number) {
    const std::string reason = SystemErrorReason(error_number);
    ASSERT_FALSE(reason.empty()) << error_number;
    EXPECT_EQ(std::string(" .\r\n").find(reason.back()), std::string::npos) << reason;
  }
}

TEST(LockRetryTest, RepeatsWhileLockedUntilTheLimit) {
  using std::chrono::milliseconds;
  int calls = 0;
  const auto locked_three_times = [&] {
    return ++calls <= 3 ? TLockedAttempt::kLocked : TLockedAttempt::kDone;
  };
  EXPECT_EQ(RetryWhileLocked(locked_three_times, milliseconds(10000)), TLockedAttempt::kDone);
  EXPECT_EQ(calls, 4);

  calls = 0;
  const auto never_released = [&] {
    ++calls;
    return TLockedAttempt::kLocked;
  };
  EXPECT_EQ(RetryWhileLocked(never_released, milliseconds(0)), TLockedAttempt::kLocked);
  EXPECT_EQ(calls, 1);
  calls = 0;
  EXPECT_EQ(RetryWhileLocked(never_released, milliseconds(20)), TLockedAttempt::kLocked);
  EXPECT_GT(calls, 1);
}

}  // namespace
}  // namespace zered
