#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "run/export_run.h"
#include "run/run_window.h"
#include "settings/form_placement.h"
#include "settings/form_storage_owner.h"
#include "support/folder_contents.h"
#include "support/test_server.h"

namespace zered::test {

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
    if (on_show_) on_show_();
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
  std::function<void()> on_show_;  // while a box is shown
  bool progress_visible_ = false;
  int progress_max_ = 100;
  std::vector<int> positions_;
  std::string folder_;
  std::vector<Shown> shown_;
  int closed_ = 0;
};

// Each test runs as if the executable lay in a fresh folder <root>/bin. Unless a test says
// otherwise, the folder field is empty, so the tables come from the program folder, which
// holds empty invoice tables. The derived fixture points the run at a server (UseServer).
class ExportRunFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the connection settings for `server` (on `port` when not 0) above the program
  // folder; the runs made afterwards use `database`.
  void UseServer(const TestServer& server, const std::string& database, int port = 0);

  // Takes the tables from `folder` (made if missing) instead of the program folder.
  void UseTableFolder(const std::filesystem::path& folder);

  // An invoice table of `records` records in the table folder (ids from `first_id` on).
  void WriteTable(const char* name, int records, int first_id = 1);

  std::unique_ptr<TExportRun> MakeRun(std::vector<std::string> arguments = {});

  std::string LogPath() const { return (folder_ / "proto.txt").string(); }
  void WriteLog(const std::string& bytes);
  std::string ReadLog() const;
  int RunsStarted() const;

  std::filesystem::path root_;
  std::filesystem::path folder_;  // the program folder, root_/bin
  std::filesystem::path tables_;  // where WriteTable writes: the program folder unless changed
  std::string saved_directory_;
  std::string database_;
  RecordingWindow window_;
  TFormPlacement storage_{window_};
  std::vector<int> steps_;
  std::vector<std::string> captions_;  // the Send button's caption as each step begins
  std::function<void(int)> on_step_;
};

}  // namespace zered::test
