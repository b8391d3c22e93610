#pragma once

#include <string>

#include "support/test_server.h"

namespace zered::test {

// Creates (anew) the database `database` on the test server with the demo schema of the
// receivables tables and its address-book and invoice rows.
void CreateVelborDatabase(const TestServer& server, const std::string& database);

// Runs `sql` in `database` through the command-line client as the admin user; returns the
// rows as tab-separated UTF-8 lines, each ending in "\n", values unescaped.
std::string QueryRows(const TestServer& server, const std::string& database,
                      const std::string& sql);

// Writes the connection settings file velbor05.ini into `folder` (which ends in "/"), for the
// test server's admin user; `port` overrides the server's port when not 0.
void WriteConnectionSettings(const std::string& folder, const TestServer& server, int port = 0);

}  // namespace zered::test
