#include "settings/form_placement.h"

#include "platform/files.h"
#include "platform/process.h"
#include "settings/form_storage_owner.h"
#include "settings/ini_file.h"

namespace zered {

namespace {

constexpr char kFormVersionKey[] = "FormVersion";

// Releases the file object of a save or restore however the operation ends.
class IniSession {
 public:
  IniSession(std::unique_ptr<TIniFile>& slot, const std::string& file_name) : slot_(slot) {
    slot_ = std::make_unique<TIniFile>(file_name);
  }
  ~IniSession() { slot_.reset(); }
  IniSession(const IniSession&) = delete;
  IniSession& operator=(const IniSession&) = delete;

 private:
  std::unique_ptr<TIniFile>& slot_;
};

}  // namespace

std::string WindowSettingsFileName() {
  const std::string executable = ExecutablePath();
  std::string name = executable.substr(FolderLength(executable));
  const size_t dot = name.rfind('.');
  if (dot != name.npos) name.erase(dot);
  return ProgramFolder() + name + ".INI";
}

TFormPlacement::TFormPlacement(IFormStorageOwner& owner) : owner_(owner) {}

TFormPlacement::~TFormPlacement() = default;

std::string TFormPlacement::IniFileName() const {
  return ini_file_name_.empty() ? WindowSettingsFileName() : ini_file_name_;
}

std::string TFormPlacement::IniSection() const {
  return ini_section_.empty() ? owner_.ClassName() : ini_section_;
}

TIniFile& TFormPlacement::IniFor(std::unique_ptr<TIniFile>& scratch) {
  if (ini_) return *ini_;
  scratch = std::make_unique<TIniFile>(IniFileName());
  return *scratch;
}

std::string TFormPlacement::ReadString(const std::string& section, const std::string& key,
                                       const std::string& default_value) {
  std::unique_ptr<TIniFile> scratch;
  return IniFor(scratch).ReadString(section, key, default_value);
}

void TFormPlacement::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value) {
  std::unique_ptr<TIniFile> scratch;
  IniFor(scratch).WriteString(section, key, value);
}

std::string TFormPlacement::ReadSettingString(const std::string& key,
                                              const std::string& default_value) {
  return ReadString(IniSection(), key, default_value);
}

int32_t TFormPlacement::ReadSettingInteger(const std::string& key, int32_t default_value) {
  std::unique_ptr<TIniFile> scratch;
  return IniFor(scratch).ReadInteger(IniSection(), key, default_value);
}

void TFormPlacement::WriteSettingString(const std::string& key, const std::string& value) {
  WriteString(IniSection(), key, value);
}

void TFormPlacement::WriteSettingInteger(const std::string& key, int32_t value) {
  std::unique_ptr<TIniFile> scratch;
  IniFor(scratch).WriteInteger(IniSection(), key, value);
}

void TFormPlacement::SaveFormPlacement() {
  // A window that was never restored has nothing worth keeping; saving would overwrite the
  // file with the layout's defaults.
  if (!restored_ && active_) return;
  IniSession session(ini_, IniFileName());
  WriteSettingInteger(kFormVersionKey, version_);
  SaveWindowData();
  if (on_save_placement_) on_save_placement_();
  saved_ = true;
}

void TFormPlacement::RestoreFormPlacement() {
  saved_ = false;
  IniSession session(ini_, IniFileName());
  if (ReadSettingInteger(kFormVersionKey, 0) >= version_) {
    RestoreWindowData();
    if (on_restore_placement_) on_restore_placement_();
  }
  restored_ = true;
}

void TFormPlacement::HandleShow() {
  if (!active_) return;
  try {
    RestoreFormPlacement();
  } catch (const std::exception& error) {
    owner_.ShowException(error);
  }
}

void TFormPlacement::HandleCloseGranted() {
  if (!active_) return;
  try {
    SaveFormPlacement();
  } catch (const std::exception& error) {
    owner_.ShowException(error);
  }
}

void TFormPlacement::HandleDestroy() {
  if (!active_ || saved_) return;
  destroying_ = true;
  try {
    SaveFormPlacement();
  } catch (const std::exception& error) {
    owner_.ShowException(error);
  }
  destroying_ = false;
}

}  // namespace zered
