#pragma once

#include <cstdint>
#include <string>

namespace zered {

class TFormPlacement;

// The SQL server's address and login as the connection settings file gives them.
struct ConnectionSettings {
  std::string host_name;
  std::string user;
  std::string password;
  int32_t port = 0;
};

// "<program folder>../velbor05.ini" ("..\velbor05.ini" on Windows): the connection settings
// file in the folder above the program's folder. The ".." is left to the file system.
std::string ConnectionSettingsFileName();

// Reads section "LogON" of the connection settings file through `storage`: "IP" (default
// "localhost"), "User" ("root"), "Password" (empty), "SQLport" (3306), each read opening the
// file anew. Points the storage at the file for the four reads and back at its own file and
// section afterwards; its restored and saved state is left alone. Never fails.
ConnectionSettings ReadConnectionSettings(TFormPlacement& storage);

}  // namespace zered
