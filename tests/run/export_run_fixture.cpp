#include "run/export_run_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>

#include "platform/process.h"
#include "support/invoice_tables.h"
#include "support/velbor_database.h"

namespace zered::test {

void ExportRunFixture::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "run_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  folder_ = root_ / "bin";
  std::filesystem::create_directory(folder_);
  tables_ = folder_;
  OverrideExecutablePath((folder_ / "ZERED.bin").string());
  saved_directory_ = GetCurrentDir();
  WriteTable("fap.dbf", 0);
  WriteTable("fav.dbf", 0);
}

void ExportRunFixture::TearDown() {
  SetCurrentDir(saved_directory_);
  std::filesystem::remove_all(root_);
}

void ExportRunFixture::UseServer(const TestServer& server, const std::string& database, int port) {
  WriteConnectionSettings(root_.string() + "/", server, port);
  database_ = database;
}

void ExportRunFixture::UseTableFolder(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  tables_ = folder;
  window_.SetFolderPath(folder.string() + "/");
}

void ExportRunFixture::WriteTable(const char* name, int records, int first_id) {
  WriteInvoiceTable((tables_ / name).string(), records, first_id);
}

std::unique_ptr<TExportRun> ExportRunFixture::MakeRun(std::vector<std::string> arguments) {
  auto run = std::make_unique<TExportRun>(window_, storage_, std::move(arguments));
  window_.run_ = run.get();
  run->ZConnection1.SetDatabase(database_);
  run->SetStepObserver([this](int step) {
    steps_.push_back(step);
    captions_.push_back(window_.caption_);
    if (on_step_) on_step_(step);
  });
  return run;
}

void ExportRunFixture::WriteLog(const std::string& bytes) {
  std::ofstream(LogPath(), std::ios::binary) << bytes;
}

std::string ExportRunFixture::ReadLog() const { return ReadFileBytes(LogPath()); }

int ExportRunFixture::RunsStarted() const {
  return static_cast<int>(std::count(steps_.begin(), steps_.end(), 1));
}

}  // namespace zered::test
