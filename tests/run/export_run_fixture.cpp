#include "run/export_run_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>

#include "platform/process.h"
#include "support/dbf_builder.h"
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
  DbfBuilder table;
  for (const char* field : {"ID", "CISLO", "VARSYM", "ICO", "DIC"}) table.Field(field, 'C', 10);
  for (const char* field : {"DATUM", "DATSPLAT", "DATLIKV"}) table.Field(field, 'D', 8);
  for (const char* field : {"KCCELKEM", "KCLIKV", "CMCELKEM"}) table.Field(field, 'N', 10, 2);
  for (int i = first_id; i < first_id + records; ++i) {
    const std::string id = std::to_string(i);
    table.Values({id, "F-" + id, id, "1", "CZ1", "20170411", "20170425", "", "100.50", "0", ""});
  }
  table.Write((tables_ / name).string());
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
