#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zered {

class IFormStorageOwner;
class TIniFile;

// Which window placement data a storage keeps. This port keeps none of them: the window's
// position and state belong to the window system; the set is carried for the window layout.
enum TPlacementOption : uint8_t { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
using TPlacementOptions = uint8_t;

// Only meaningful with UseRegistry, which this port does not offer.
enum class TPlacementRegRoot {
  prCurrentUser,
  prLocalMachine,
  prCurrentConfig,
  prClassesRoot,
  prUsers,
  prDynData
};

// Size limits of the owner window; zero means no limit. Applied by the window, if at all.
struct TWinMinMaxInfo {
  int32_t MaxPosLeft = 0;
  int32_t MaxPosTop = 0;
  int32_t MaxSizeWidth = 0;
  int32_t MaxSizeHeight = 0;
  int32_t MaxTrackWidth = 0;
  int32_t MaxTrackHeight = 0;
  int32_t MinTrackWidth = 0;
  int32_t MinTrackHeight = 0;
};

using TNotifyEvent = std::function<void()>;

// The window settings file of the running program: its folder, then the executable's name with
// its extension replaced by ".INI" ("/opt/zered/bin/zered" gives "/opt/zered/bin/zered.INI",
// "C:\Apps\zered.exe" gives "C:\Apps\zered.INI").
// Worked out anew on every call.
std::string WindowSettingsFileName();

// Saves and restores settings of one window in an INI file, and reads INI values for the
// program. Every file access goes through a TIniFile that lives for one read or write, or for
// one whole save or restore; nothing is cached between operations.
//
// The window calls the hooks: HandleShow() before it becomes visible, HandleCloseGranted()
// after a close request was granted (and while it has its native window), HandleDestroy() when
// it is destroyed. The hooks report failures through the owner's ShowException and return.
class TFormPlacement {
 public:
  // `owner` must outlive the storage.
  explicit TFormPlacement(IFormStorageOwner& owner);
  virtual ~TFormPlacement();
  TFormPlacement(const TFormPlacement&) = delete;
  TFormPlacement& operator=(const TFormPlacement&) = delete;

  // When false, the hooks do nothing.
  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }

  // The stored path, or the window settings file when none is stored. Setting only stores.
  std::string IniFileName() const;
  void SetIniFileName(std::string value) { ini_file_name_ = std::move(value); }

  // The stored section, or the owner's class name when none is stored. Setting only stores.
  std::string IniSection() const;
  void SetIniSection(std::string value) { ini_section_ = std::move(value); }

  const TWinMinMaxInfo& MinMaxInfo() const { return min_max_info_; }
  void SetMinMaxInfo(const TWinMinMaxInfo& value) { min_max_info_ = value; }
  TPlacementOptions Options() const { return options_; }
  void SetOptions(TPlacementOptions value) { options_ = value; }
  bool PreventResize() const { return prevent_resize_; }
  void SetPreventResize(bool value) { prevent_resize_ = value; }
  TPlacementRegRoot RegistryRoot() const { return registry_root_; }
  void SetRegistryRoot(TPlacementRegRoot value) { registry_root_ = value; }
  // Settings always live in INI files here; the flag is carried for the window layout.
  bool UseRegistry() const { return use_registry_; }
  void SetUseRegistry(bool value) { use_registry_ = value; }

  // Saved under "FormVersion"; a restore needs a stored version not below it.
  int32_t Version() const { return version_; }
  void SetVersion(int32_t value) { version_ = value; }

  // Called at the end of a save (before the saved flag is set) and of a restore that passed
  // the version check.
  void SetOnSavePlacement(TNotifyEvent handler) { on_save_placement_ = std::move(handler); }
  void SetOnRestorePlacement(TNotifyEvent handler) { on_restore_placement_ = std::move(handler); }

  // Reads `key` of IniSection() in IniFileName(): through the file object of a save or restore
  // under way, else through one opened for this read alone. Never fails.
  std::string ReadSettingString(const std::string& key, const std::string& default_value);
  // As ReadSettingString, converted as TIniFile::ReadInteger does.
  int32_t ReadSettingInteger(const std::string& key, int32_t default_value);
  // Writes like the reads read; throws EIniFileException "Unable to write to %s".
  void WriteSettingString(const std::string& key, const std::string& value);
  void WriteSettingInteger(const std::string& key, int32_t value);

  // Writes "FormVersion" and the window data. Does nothing unless a restore has run or the
  // storage is inactive. Throws on a failed write, leaving the saved flag clear.
  void SaveFormPlacement();
  // Clears the saved flag; reads "FormVersion" and, unless it is below Version(), the window
  // data; sets the restored flag.
  void RestoreFormPlacement();

  void HandleShow();
  void HandleCloseGranted();
  // Saves once more unless a save has succeeded since the restore.
  void HandleDestroy();

  bool Restored() const { return restored_; }
  bool Saved() const { return saved_; }
  // True while the save at destruction runs.
  bool Destroying() const { return destroying_; }

 protected:
  // Window data beyond "FormVersion". This base keeps no window placement.
  virtual void SaveWindowData() {}
  virtual void RestoreWindowData() {}
  // One text value of `section`, through the file object as ReadSettingString describes.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& default_value);
  virtual void WriteString(const std::string& section, const std::string& key,
                           const std::string& value);

  IFormStorageOwner& Owner() { return owner_; }

 private:
  // The file object of the save or restore under way, else `scratch` opened for one access.
  TIniFile& IniFor(std::unique_ptr<TIniFile>& scratch);

  IFormStorageOwner& owner_;
  bool active_ = true;
  std::string ini_file_name_;
  std::string ini_section_;
  TWinMinMaxInfo min_max_info_;
  TPlacementOptions options_ = 0;
  bool prevent_resize_ = false;
  TPlacementRegRoot registry_root_ = TPlacementRegRoot::prCurrentUser;
  bool use_registry_ = false;
  int32_t version_ = 0;
  TNotifyEvent on_save_placement_;
  TNotifyEvent on_restore_placement_;

  bool restored_ = false;
  bool saved_ = false;
  bool destroying_ = false;
  std::unique_ptr<TIniFile> ini_;
};

}  // namespace zered
