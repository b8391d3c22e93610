// The MySQL driver's URL handling.
#include "sql/tz_mysql_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"
#include "sql/tz_mysql_native_library_loader.h"

namespace zered {
namespace {

TEST(TZMySQLDriverTest, AcceptsOnlyItsProtocols) {
  TZMySQLDriver driver;
  for (const char* url : {"zdbc:mysql://h/db", "zdbc:mysql-4.1://h/db", "zdbc:mysql-5://h/db",
                          "zdbc:mysqld-4.1://h/db", "zdbc:mysqld-5://h/db"}) {
    EXPECT_TRUE(driver.AcceptsURL(url)) << url;
  }
  for (const char* url :
       {"zdbc:mysql-6://h/db", "mysql-5://h/db", "zdbc:MYSQL-5://h/db", "zdbc:mysql-5"}) {
    EXPECT_FALSE(driver.AcceptsURL(url)) << url;
  }
}

TEST(TZMySQLDriverTest, MalformedURLsFailBeforeAnyConnect) {
  // The driver loads the client library before it reads the URL.
  try {
    MySQL5LibraryLoader().LoadNativeLibrary();
  } catch (const Exception& e) {
    GTEST_SKIP() << "no client library here: " << e.Message();
  }
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"zdbc::x", "Incorrect connection URL: zdbc::x"},
      {"zdbc", "Incorrect connection URL: zdbc"},
      {"zdbc:oracle://h/db", "Unsupported protocol: oracle"},
      {"zdbc:mysql-5://hostonly", "Incorrect connection URL: zdbc:mysql-5://hostonly"},
      {"zdbc:mysql-5://h:3306", "Incorrect connection URL: zdbc:mysql-5://h:3306"},
      {"zdbc:mysql-5://h:port/db", "Incorrect connection URL: zdbc:mysql-5://h:port/db"},
      {"zdbc:mysql-5://h:3306?db", "Incorrect connection URL: zdbc:mysql-5://h:3306?db"},
  };
  TZMySQLDriver driver;
  for (const auto& [url, message] : cases) {
    try {
      driver.Connect(url, {});
      ADD_FAILURE() << url << " connected";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), message);
      EXPECT_EQ(e.ErrorCode(), -1);  // raised from a message alone
    }
  }
}

}  // namespace
}  // namespace zered
