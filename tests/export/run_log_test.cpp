#include "export/run_log.h"

#include <gtest/gtest.h>

#include <string>

#include "base/date_time.h"
#include "base/exceptions.h"
#include "base/format_settings.h"
#include "platform/process.h"
#include "support/temp_folder.h"

namespace zered {
namespace {

TDateTime At(int year, int month, int day, int hour, int minute, int second) {
  TDateTime date = 0, time = 0;
  EXPECT_TRUE(TryEncodeDate(year, month, day, date));
  EXPECT_TRUE(TryEncodeTime(hour, minute, second, 0, time));
  return CombineDateTime(date, time);
}

class RunLogTest : public ::testing::Test {
 protected:
  std::string LogPath() const { return folder_.File("proto.txt"); }

  RunLog MakeLog(TDateTime now) {
    return RunLog(LogPath(), TFormatSettings::Czech(), [now] { return now; });
  }

  void WriteFile(const std::string& bytes) { folder_.Put("proto.txt", bytes); }
  std::string ReadFile() const { return folder_.Get("proto.txt"); }

  test::TempFolder folder_;
};

TEST_F(RunLogTest, WithoutFileASuccessfulRunWritesOneBlock) {
  RunLog log = MakeLog(At(2017, 5, 3, 8, 5, 9));
  log.Load();
  EXPECT_TRUE(log.Lines().empty());
  log.Append("-----");
  log.AppendTimestamped("");
  log.AppendTimestamped(" IN: 120");
  log.AppendTimestamped(" odeslano");
  log.Save();
  EXPECT_EQ(ReadFile(),
            "-----\r\n3.5.2017 8:05:09\r\n3.5.2017 8:05:09 IN: 120\r\n"
            "3.5.2017 8:05:09 odeslano\r\n");
}

TEST_F(RunLogTest, ExistingLinesAreKeptAndRewrittenWithCrLf) {
  // LF-only, a lone CR, a NUL byte and a last line without a break all survive as text.
  static const char kOld[] = "-----\n1.5.2017\rold \0line";
  static const char kRewritten[] = "-----\r\n1.5.2017\r\nold \0line\r\n-----\r\n";
  WriteFile(std::string(kOld, sizeof(kOld) - 1));
  RunLog log = MakeLog(At(2017, 5, 3, 0, 0, 0));
  log.Load();
  log.Append("-----");
  log.Save();
  EXPECT_EQ(ReadFile(), std::string(kRewritten, sizeof(kRewritten) - 1));
}

TEST_F(RunLogTest, TimestampOmitsAnExactMidnight) {
  struct Case {
    TDateTime now;
    const char* line;
  } cases[] = {{At(2017, 5, 3, 0, 0, 0), "3.5.2017 add"},
               {At(2017, 5, 3, 0, 0, 1), "3.5.2017 0:00:01 add"},
               {At(2017, 12, 31, 23, 59, 59), "31.12.2017 23:59:59 add"}};
  for (const Case& c : cases) {
    RunLog log = MakeLog(c.now);
    log.AppendTimestamped(" add");
    EXPECT_EQ(log.Lines().back(), c.line);
  }
}

TEST_F(RunLogTest, UnsavedLinesNeverReachTheFile) {
  WriteFile("-----\r\nearlier run\r\n");
  {
    RunLog log = MakeLog(At(2017, 5, 3, 8, 0, 0));
    log.Load();
    log.AppendTimestamped("");
  }
  EXPECT_EQ(ReadFile(), "-----\r\nearlier run\r\n");
}

TEST_F(RunLogTest, DefaultFileIsInTheProgramFolderWhateverTheCurrentDirectory) {
  OverrideExecutablePath(folder_.File("bin/zered"));
  const std::string path = RunLog::DefaultPath();
  OverrideExecutablePath("");
  EXPECT_EQ(path, folder_.File("bin/proto.txt"));
}

}  // namespace
}  // namespace zered
