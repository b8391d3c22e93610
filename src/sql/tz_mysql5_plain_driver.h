#pragma once

#include "sql/tz_mysql_base_plain_driver.h"

namespace zered {

// The MySQL 5 client: protocol "mysql-5", the process-wide MySQL 5 client library loader.
class TZMySQL5PlainDriver : public TZMySQLBasePlainDriver {
 public:
  TZMySQL5PlainDriver()
      : TZMySQLBasePlainDriver("mysql-5", "Native Plain Driver for MySQL 5.0+",
                               MySQL5LibraryLoader()) {}
};

}  // namespace zered
