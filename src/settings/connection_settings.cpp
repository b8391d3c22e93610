#include "settings/connection_settings.h"

#include "platform/files.h"
#include "platform/process.h"
#include "settings/form_placement.h"

namespace zered {

std::string ConnectionSettingsFileName() {
  return ProgramFolder() + ".." + PathDelimiter() + "velbor05.ini";
}

ConnectionSettings ReadConnectionSettings(TFormPlacement& storage) {
  storage.SetIniFileName(ConnectionSettingsFileName());
  storage.SetIniSection("LogON");
  ConnectionSettings settings;
  settings.host_name = storage.ReadSettingString("IP", "localhost");
  settings.user = storage.ReadSettingString("User", "root");
  settings.password = storage.ReadSettingString("Password", "");
  settings.port = storage.ReadSettingInteger("SQLport", 3306);
  // Cleared at once, so a save at close can only ever go to the window settings file.
  storage.SetIniSection("");
  storage.SetIniFileName("");
  return settings;
}

}  // namespace zered
