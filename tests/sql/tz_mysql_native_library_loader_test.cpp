// The client library's candidate names and the failure that names them; needs no library.
#include "sql/tz_mysql_native_library_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"

namespace zered {
namespace {

TEST(TZMySQLNativeLibraryLoaderTest, CandidatesAreThePlatformsClientLibraries) {
#ifdef _WIN32
  const std::vector<std::string> names = {"libmariadb.dll", "libmysql51.dll", "libmysql50.dll",
                                          "libmysql.dll"};
#else
  const std::vector<std::string> names = {"libmariadb.so.3", "libmysqlclient.so.21",
                                          "libmysqlclient.so.18"};
#endif
  EXPECT_EQ(MySQL5LibraryLoader().Locations(), names);
}

TEST(TZMySQLNativeLibraryLoaderTest, MissingLibrariesAreNamedInOrder) {
  TZMySQLNativeLibraryLoader loader({"zered-absent-a.dll", "libzered-absent-b.so.1"});
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      loader.LoadNativeLibrary();
      ADD_FAILURE() << "loaded";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(),
                "None of the dynamic libraries can be found: zered-absent-a.dll, "
                "libzered-absent-b.so.1");
    }
    EXPECT_FALSE(loader.Loaded());
  }
}

}  // namespace
}  // namespace zered
