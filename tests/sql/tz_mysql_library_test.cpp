// Loading the client library: a missing library is reported by name and the next Connect tries
// again. Runs in its own process so that the library is not loaded yet.
#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "sql/tz_connection.h"
#include "sql/tz_mysql_native_library_loader.h"
#include "support/mariadb_test_connection.h"
#include "support/test_server.h"

namespace zered {
namespace {

TEST(TZMySQLLibraryTest, MissingLibraryIsNamedAndTheNextConnectTriesAgain) {
  test::TestServer server = test::GetTestServer();
  ASSERT_NE(server.port, 0);
  TZMySQLNativeLibraryLoader& loader = MySQL5LibraryLoader();
  ASSERT_FALSE(loader.Loaded());
  const std::vector<std::string> real_names = loader.Locations();

  loader.SetLocations({"libzered-absent-a.so.1", "libzered-absent-b.so", "/nowhere/libc.so"});
  TZConnection connection;
  test::ConfigureTestConnection(connection, server);
  try {
    connection.Connect();
    FAIL() << "Connect succeeded";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(),
              "None of the dynamic libraries can be found: libzered-absent-a.so.1, "
              "libzered-absent-b.so, /nowhere/libc.so");
  }
  EXPECT_FALSE(connection.Connected());
  EXPECT_FALSE(loader.Loaded());

  loader.SetLocations(real_names);
  connection.Connect();
  EXPECT_TRUE(connection.Connected());
  EXPECT_TRUE(loader.Loaded());
}

TEST(TZMySQLLibraryTest, EntryPointTableHoldsTheClientFunctions) {
  TZMySQLNativeLibraryLoader& loader = MySQL5LibraryLoader();
  loader.LoadNativeLibrary();
  const TZMySQLEntryPoints& entries = loader.EntryPoints();
  EXPECT_EQ(entries.size(), 120u);
  EXPECT_STREQ(TZMySQLNativeLibraryLoader::EntryPointName(0), "mysql_affected_rows");
  EXPECT_STREQ(TZMySQLNativeLibraryLoader::EntryPointName(119), "mysql_get_character_set_info");
  // Functions the system calls are present; ones the library dropped stay empty.
  for (TZMySQLEntryPoint used : {ep_mysql_init, ep_mysql_real_connect, ep_mysql_query,
                                 ep_mysql_real_escape_string, ep_mysql_autocommit}) {
    EXPECT_NE(entries[used], nullptr) << TZMySQLNativeLibraryLoader::EntryPointName(used);
  }
  EXPECT_EQ(entries[ep_mysql_manager_init], nullptr);
}

}  // namespace
}  // namespace zered
