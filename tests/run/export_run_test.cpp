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
#include "platform/process.h"
#include "run/run_window.h"
#include "settings/form_placement.h"
#include "settings/form_storage_owner.h"
#include "support/invoice_tables.h"
#include "support/velbor_database.h"

namespace zered {
namespace {

struct Shown {
  std::string title;
  std::string text;
  MessageIcon icon;
};

// Records what the run asks of its window. Closing asks the run first, as a real window does.
class RecordingWindow : public IRunWindow, public IFormStorageOwner {
 public:
  void SetSendCaption(std::string_view caption) override { caption_ = caption; }
  void ProcessMessages() override {
    ++messages_processed_;
    if (on_messages_) on_messages_();
  }
  void SetProgressVisible(bool visible) override { progress_visible_ = visible; }
  void SetProgressMax(int max) override { progress_max_ = max; }
  void SetProgressPosition(int position) override { positions_.push_back(position); }
  std::string FolderPath() const override { return folder_; }
  void SetFolderPath(const std::string& path) override { folder_ = path; }
  void ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) override {
    shown_.push_back({std::string(title), std::string(text), icon});
  }
  void CloseWindow() override {
    if (run_->CloseQuery()) ++closed_;
  }

  std::string ClassName() const override { return "TForm1"; }
  IStoredComponent* FindComponent(std::string_view) override { return nullptr; }
  void ShowException(const std::exception& error) override { run_->ShowException(error); }

  TExportRun* run_ = nullptr;
  std::string caption_ = "Odeslat";
  int messages_processed_ = 0;
  std::function<void()> on_messages_;
  bool progress_visible_ = false;
  int progress_max_ = 100;
  std::vector<int> positions_;
  std::string folder_;
  std::vector<Shown> shown_;
  int closed_ = 0;
};

// Each test process has its own database: CTest runs the tests of this file in parallel.
const std::string& Database() {
  static const std::string name = "velbor_run_" + std::to_string(getpid());
  return name;
}

// Each test runs as if the executable lay in a fresh folder <root>/bin, with the connection
// settings of the test server above it. Unless a test says otherwise, the folder field is
// empty, so the tables come from the program folder, which holds empty invoice tables.
class ExportRunTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::CreateVelborDatabase(test::GetTestServer(), Database()); }
  static void TearDownTestSuite() {
    test::QueryRows(test::GetTestServer(), "", "DROP DATABASE " + Database());
  }

  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "run_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = std::filesystem::path(pattern) / "bin";
    std::filesystem::create_directory(folder_);
    OverrideExecutablePath((folder_ / "ZERED.bin").string());
    saved_directory_ = GetCurrentDir();
    WriteTable("fap.dbf", 0);
    WriteTable("fav.dbf", 0);
    test::WriteConnectionSettings(pattern + "/", test::GetTestServer());
  }
  void TearDown() override {
    SetCurrentDir(saved_directory_);
    std::filesystem::remove_all(folder_.parent_path());
  }

  // An invoice table of `records` records in the program folder.
  void WriteTable(const char* name, int records) {
    test::WriteInvoiceTable((folder_ / name).string(), records);
  }

  std::unique_ptr<TExportRun> MakeRun(std::vector<std::string> arguments = {}) {
    auto run = std::make_unique<TExportRun>(window_, storage_, std::move(arguments));
    window_.run_ = run.get();
    run->ZConnection1.SetDatabase(Database());
    run->SetStepObserver([this](int step) {
      steps_.push_back(step);
      captions_.push_back(window_.caption_);
      if (on_step_) on_step_(step);
    });
    return run;
  }

  std::string LogPath() const { return (folder_ / "proto.txt").string(); }
  void WriteLog(const std::string& bytes) { std::ofstream(LogPath(), std::ios::binary) << bytes; }
  std::string ReadLog() const {
    std::ifstream in(LogPath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  int RunsStarted() const { return static_cast<int>(std::count(steps_.begin(), steps_.end(), 1)); }

  std::filesystem::path folder_;
  std::string saved_directory_;
  RecordingWindow window_;
  TFormPlacement storage_{window_};
  std::vector<int> steps_;
  std::vector<std::string> captions_;  // the Send button's caption as each step begins
  std::function<void(int)> on_step_;
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
