// The export run driven without any window toolkit: a recording window, real tables in a fresh
// program folder, the private test server.

#include "run/export_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "base/text_lines.h"
#include "platform/file_lock.h"
#include "platform/process.h"
#include "run/export_run_fixture.h"
#include "support/velbor_database.h"

namespace zered {
namespace {

namespace fs = std::filesystem;
using test::Shown;

// Each test process has its own database: CTest runs the tests of this file in parallel.
const std::string& Database() {
  static const std::string name = "velbor_run_" + std::to_string(getpid());
  return name;
}

// The run against the private test server.
class ExportRunTest : public test::ExportRunFixture {
 protected:
  static void SetUpTestSuite() { test::CreateVelborDatabase(test::GetTestServer(), Database()); }
  static void TearDownTestSuite() {
    test::QueryRows(test::GetTestServer(), "", "DROP DATABASE " + Database());
  }

  void SetUp() override {
    ExportRunFixture::SetUp();
    UseServer(test::GetTestServer(), Database());
  }
};

TEST_F(ExportRunTest, RunShowsItsCaptionsFollowsTheRecordsLogsAndCompletes) {
  WriteLog("-----\nearlier run\n");
  WriteTable("fap.dbf", 3);
  auto run = MakeRun();
  SetCurrentDir("/");
  run->Button3Click();

  EXPECT_EQ(steps_, (std::vector<int>{1,  2,  3,  4,  5,  6,  7,  8,  11, 12, 15,
                                      18, 19, 20, 21, 22, 23, 24, 25, 26, 27}));
  // A caption is shown by the step before the one that observes it.
  EXPECT_EQ(captions_[3], "načítám data");
  EXPECT_EQ(captions_[11], "načítám data");
  EXPECT_EQ(captions_[12], "odesílám na server");
  EXPECT_EQ(captions_[19], "hotovo");
  EXPECT_EQ(window_.caption_, "hotovo");
  // 0 and 25, the three records of fap.dbf (fav.dbf is empty); then the sending, from 0 to
  // the kilobytes of sa2.txt plus one step for each of the 13 statements.
  ASSERT_GE(window_.positions_.size(), 6u);
  EXPECT_EQ(std::vector<int>(window_.positions_.begin(), window_.positions_.begin() + 6),
            (std::vector<int>{0, 25, 1, 2, 3, 0}));
  EXPECT_TRUE(std::is_sorted(window_.positions_.begin() + 5, window_.positions_.end()));
  EXPECT_EQ(window_.progress_max_, 1 + 13);  // three short lines make one kilobyte
  EXPECT_EQ(window_.positions_.back(), window_.progress_max_);
  EXPECT_TRUE(window_.progress_visible_);
  EXPECT_GE(window_.messages_processed_, 3);
  EXPECT_EQ(std::filesystem::path(GetCurrentDir()), folder_);

  ASSERT_EQ(window_.shown_.size(), 1u);
  EXPECT_EQ(window_.shown_[0].title, "Warning");
  EXPECT_EQ(window_.shown_[0].text, "hotovo");
  EXPECT_EQ(window_.shown_[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(window_.closed_, 0);

  TextLines lines = SplitLines(ReadLog());
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "-----");
  EXPECT_EQ(lines[1], "earlier run");
  EXPECT_EQ(lines[2], "-----");
  EXPECT_FALSE(lines[3].empty());
  EXPECT_TRUE(lines[4].ends_with(" IN: 3")) << lines[4];
  EXPECT_TRUE(lines[5].ends_with(" OUT: 0")) << lines[5];
  EXPECT_TRUE(lines[6].ends_with(" add")) << lines[6];
  EXPECT_TRUE(lines[7].ends_with(" odeslano"));
  EXPECT_TRUE(ReadLog().ends_with(" odeslano\r\n"));

  // A finished run leaves the button ready for the next one.
  run->Button3Click();
  EXPECT_EQ(RunsStarted(), 2);
  EXPECT_EQ(SplitLines(ReadLog()).size(), 2 + 2 * (lines.size() - 2));
}

TEST_F(ExportRunTest, FailureIsShownAndLeavesNoTraceInTheLog) {
  WriteLog("-----\r\nearlier run\r\n");
  auto run = MakeRun();
  on_step_ = [](int step) {
    if (step == 18) throw EDatabaseError("Dbf1: Field 'id' not found");
  };
  run->Button3Click();
  ASSERT_EQ(window_.shown_.size(), 1u);
  EXPECT_EQ(window_.shown_[0].title, "Zered");
  EXPECT_EQ(window_.shown_[0].text, "Dbf1: Field 'id' not found.");
  EXPECT_EQ(window_.shown_[0].icon, MessageIcon::kError);
  EXPECT_EQ(ReadLog(), "-----\r\nearlier run\r\n");
  EXPECT_EQ(window_.caption_, "načítám data");
  EXPECT_FALSE(run->InProgress());
}

TEST_F(ExportRunTest, SilentAbortShowsNothing) {
  auto run = MakeRun();
  on_step_ = [](int step) {
    if (step == 26) throw EAbort();
  };
  run->Button3Click();
  EXPECT_TRUE(window_.shown_.empty());
  EXPECT_FALSE(std::filesystem::exists(LogPath()));
  EXPECT_FALSE(run->InProgress());
}

TEST_F(ExportRunTest, LogThatCannotBeWrittenIsAFailure) {
  // A folder stands where the log should be written.
  std::filesystem::create_directory(LogPath());
  auto run = MakeRun();
  run->Button3Click();
  ASSERT_EQ(window_.shown_.size(), 1u);
  EXPECT_EQ(window_.shown_[0].icon, MessageIcon::kError);
  EXPECT_NE(window_.shown_[0].text.find("proto.txt"), std::string::npos) << window_.shown_[0].text;
  EXPECT_EQ(steps_.back(), 26);
  EXPECT_TRUE(std::filesystem::is_directory(LogPath()));
}

TEST_F(ExportRunTest, RunThatFindsTheProgramFolderLockedTouchesNothing) {
  WriteTable("fap.dbf", 3);
  auto run = MakeRun();
  // Another run may start while the completion box waits: the lock is free by then.
  bool free_at_box = false;
  window_.on_show_ = [&] { free_at_box = TFileLock((folder_ / "zered.lock").string()).Locked(); };
  run->Button3Click();
  EXPECT_TRUE(free_at_box);
  window_.on_show_ = nullptr;
  const std::string log = ReadLog();
  const auto time_of = [&](const char* name) { return fs::last_write_time(folder_ / name); };
  const auto invoice_lines_time = time_of("sa2.txt");
  const size_t positions = window_.positions_.size();

  {
    // As another process's run holds it.
    TFileLock other((folder_ / "zered.lock").string());
    ASSERT_TRUE(other.Locked());
    steps_.clear();
    window_.shown_.clear();
    run->Button3Click();
    ASSERT_EQ(window_.shown_.size(), 1u);
    EXPECT_EQ(window_.shown_[0].title, "Zered");
    EXPECT_EQ(window_.shown_[0].icon, MessageIcon::kError);
    EXPECT_EQ(window_.shown_[0].text, "The lock file \"" + (folder_ / "zered.lock").string() +
                                          "\" is held: another run is in progress.");
    EXPECT_TRUE(steps_.empty());
    EXPECT_EQ(window_.positions_.size(), positions);  // the bar is left alone
    EXPECT_EQ(ReadLog(), log);
    EXPECT_EQ(time_of("sa2.txt"), invoice_lines_time);
    EXPECT_FALSE(run->InProgress());
  }

  run->Button3Click();
  EXPECT_EQ(RunsStarted(), 1);  // since the steps were cleared
  EXPECT_EQ(SplitLines(ReadLog()).size(), 12u);
}

TEST_F(ExportRunTest, OnlyTheFirstActivationInTheAutomaticModeStartsARun) {
  struct Case {
    std::vector<std::string> arguments;
    bool starts;
  } cases[] = {{{"/a"}, true}, {{"/A", "/B"}, true}, {{}, false}, {{"/AUTO", "/A"}, false}};
  for (const Case& c : cases) {
    auto run = MakeRun(c.arguments);
    EXPECT_EQ(run->StartsAtActivation(), c.starts);
    // Back from another program, or after a box: never again.
    EXPECT_FALSE(run->StartsAtActivation());
  }
}

TEST_F(ExportRunTest, AutomaticModeClosesTheWindowOnlyAfterASuccessfulRun) {
  auto run = MakeRun({"/A"});
  on_step_ = [](int step) {
    if (step == 6) throw Exception("no tables");
  };
  run->Button3Click();
  ASSERT_EQ(window_.shown_.size(), 1u);
  EXPECT_EQ(window_.shown_[0].text, "no tables.");
  EXPECT_EQ(window_.closed_, 0);

  // A run started by hand in the automatic mode also ends by closing the window, without a box.
  on_step_ = nullptr;
  run->Button3Click();
  EXPECT_EQ(window_.closed_, 1);
  EXPECT_EQ(window_.shown_.size(), 1u);
  EXPECT_TRUE(ReadLog().ends_with(" odeslano\r\n"));
}

TEST_F(ExportRunTest, PressDuringARunIsIgnored) {
  auto run = MakeRun();
  on_step_ = [&run](int step) {
    if (step == 18) run->Button3Click();
  };
  run->Button3Click();
  EXPECT_EQ(RunsStarted(), 1);
  EXPECT_EQ(std::count(steps_.begin(), steps_.end(), 27), 1);
  EXPECT_EQ(window_.shown_.size(), 1u);  // the one completion box
}

TEST_F(ExportRunTest, CloseDuringARunIsCarriedOutWhenTheRunHasEnded) {
  WriteTable("fap.dbf", 2);
  auto run = MakeRun();
  bool granted_during_run = true;
  // Asked while the window processes its messages in the middle of the table walk.
  window_.on_messages_ = [&] {
    if (run->InProgress()) granted_during_run = granted_during_run && run->CloseQuery();
  };
  run->Button3Click();
  EXPECT_FALSE(granted_during_run);
  EXPECT_EQ(steps_.back(), 27);
  EXPECT_TRUE(ReadLog().ends_with(" odeslano\r\n"));
  EXPECT_EQ(window_.closed_, 1);
  EXPECT_TRUE(run->CloseQuery());
}

}  // namespace
}  // namespace zered
