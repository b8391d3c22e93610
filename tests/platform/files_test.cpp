#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/exceptions.h"
#include "platform/process.h"

namespace zered {
namespace {

namespace fs = std::filesystem;

class FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zered-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern + "/";
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }

  void Put(const std::string& name, const std::string& content) {
    std::ofstream(dir_ + name, std::ios::binary) << content;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string dir_;
};

TEST_F(FilesTest, ReplaceWritesWholeContentAndLeavesNoTemporaryFile) {
  Put("out.txt", "old content that is longer");
  ReplaceFileAtomically(dir_ + "out.txt", std::string("new\0x", 5));
  EXPECT_EQ(ReadWholeFile(dir_ + "out.txt"), std::string("new\0x", 5));
  ReplaceFileAtomically(dir_ + "empty.txt", "");
  EXPECT_EQ(ReadWholeFile(dir_ + "empty.txt"), "");
  EXPECT_EQ(Names(), (std::vector<std::string>{"empty.txt", "out.txt"}));
}

TEST_F(FilesTest, ReplaceKeepsThePermissionsOfTheReplacedFile) {
  Put("out.txt", "old");
  ::chmod((dir_ + "out.txt").c_str(), 0640);
  ReplaceFileAtomically(dir_ + "out.txt", "new");
  struct stat info;
  ASSERT_EQ(::stat((dir_ + "out.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(FilesTest, ReplaceWritesThroughASymbolicLink) {
  fs::create_directory(dir_ + "real");
  Put("real/log.txt", "old");
  fs::create_symlink(dir_ + "real/log.txt", dir_ + "link.txt");
  ReplaceFileAtomically(dir_ + "link.txt", "new");
  EXPECT_TRUE(fs::is_symlink(dir_ + "link.txt"));
  EXPECT_EQ(ReadWholeFile(dir_ + "real/log.txt"), "new");
  EXPECT_EQ(Names(), (std::vector<std::string>{"link.txt", "real"}));
}

TEST_F(FilesTest, FailedReplaceNamesTheFileAndKeepsWhatWasThere) {
  fs::create_directory(dir_ + "taken");
  Put("taken/inner", "x");
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {dir_ + "taken", "Is a directory"},
      {dir_ + "missing/out.txt", "No such file or directory"},
  };
  for (const Case& c : cases) {
    try {
      ReplaceFileAtomically(c.path, "data");
      ADD_FAILURE() << c.path << " was written";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "Cannot create file \"" + c.path + "\". " + c.reason);
    }
  }
  EXPECT_EQ(ReadWholeFile(dir_ + "taken/inner"), "x");
  EXPECT_EQ(Names(), (std::vector<std::string>{"taken"}));
}

TEST_F(FilesTest, FailedReplaceInReadOnlyFolderKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  Put("out.txt", "old");
  ::chmod(dir_.c_str(), 0555);
  EXPECT_THROW(ReplaceFileAtomically(dir_ + "out.txt", "new"), EFCreateError);
  ::chmod(dir_.c_str(), 0755);
  EXPECT_EQ(ReadWholeFile(dir_ + "out.txt"), "old");
  EXPECT_EQ(Names(), (std::vector<std::string>{"out.txt"}));
}

TEST_F(FilesTest, WriterReplacesOnlyOnCommit) {
  Put("out.txt", "old");
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
}

TEST_F(FilesTest, LinesRoundTripWithCrLf) {
  Put("log.txt", "one\ntwo\rthree");
  const TextLines lines = LoadLinesFromFile(dir_ + "log.txt");
  EXPECT_EQ(lines, (TextLines{"one", "two", "three"}));
  SaveLinesToFile(dir_ + "log.txt", lines);
  EXPECT_EQ(ReadWholeFile(dir_ + "log.txt"), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(FilesTest, OpenFailuresNameTheFullPathAndTheReason) {
  fs::create_directory(dir_ + "folder");
  const std::string saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(dir_ + "folder"));
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {dir_ + "none", "Cannot open file \"" + dir_ + "none\". No such file or directory"},
      {"../none", "Cannot open file \"" + dir_ + "none\". No such file or directory"},
      {dir_ + "folder", "Cannot open file \"" + dir_ + "folder\". Is a directory"},
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
  Put("data", "0123456789");
  TReadOnlyFile file(dir_ + "data");
  char buffer[8];
  EXPECT_EQ(file.ReadAt(6, buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(file.ReadAt(10, buffer, sizeof buffer), 0u);
  EXPECT_EQ(file.ReadAt(uint64_t{1} << 40, buffer, sizeof buffer), 0u);
  EXPECT_EQ(file.Size(), 10u);
  std::ofstream(dir_ + "data", std::ios::app) << "ab";
  EXPECT_EQ(file.Size(), 12u);
  EXPECT_EQ(file.ReadAt(10, buffer, sizeof buffer), 2u);
}

TEST_F(FilesTest, ResolvesNamesThatDifferOnlyInCase) {
  Put("FAP.DBF", "");
  Put("fap.FPT", "");
  Put("fav.dbf", "");
  Put("Fav.DBF", "");
  const std::pair<std::string, std::string> cases[] = {
      {"fap.dbf", "FAP.DBF"}, {"FAP.fpt", "fap.FPT"},   {"fav.dbf", "fav.dbf"},
      {"FAV.DBF", "Fav.DBF"}, {"none.dbf", "none.dbf"},
  };
  for (const auto& [asked, found] : cases) {
    EXPECT_EQ(ResolveFileNameCase(dir_ + asked), dir_ + found) << asked;
  }
  EXPECT_EQ(ResolveFileNameCase(dir_ + "nodir/fap.dbf"), dir_ + "nodir/fap.dbf");
}

TEST_F(FilesTest, ExistenceTellsFilesFromFolders) {
  Put("file", "");
  EXPECT_TRUE(FileExists(dir_ + "file"));
  EXPECT_FALSE(FileExists(dir_));
  EXPECT_FALSE(FileExists(dir_ + "none"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists(dir_));
  EXPECT_FALSE(DirectoryExists(dir_ + "file"));
}

TEST(ExpandFileNameTest, CleansPathsLexically) {
  const std::pair<std::string, std::string> cases[] = {
      {"/a/b/../velbor05.ini", "/a/velbor05.ini"},
      {"/a//./b/", "/a/b/"},
      {"/..", "/"},
      {"/a/b/..", "/a"},
  };
  for (const auto& [path, full] : cases) EXPECT_EQ(ExpandFileName(path), full) << path;
  EXPECT_EQ(ExpandFileName("x.txt"), ExpandFileName(GetCurrentDir() + "/x.txt"));
}

TEST(SystemErrorReasonTest, HasNoTrailingDotsBlanksOrBreaks) {
  EXPECT_EQ(SystemErrorReason(ENOENT), "No such file or directory");
  for (int error_number = 0; error_number < 140; ++error_number) {
    const std::string reason = SystemErrorReason(error_number);
    ASSERT_FALSE(reason.empty());
    EXPECT_EQ(std::string(" .\r\n").find(reason.back()), std::string::npos) << reason;
  }
}

}  // namespace
}  // namespace zered
