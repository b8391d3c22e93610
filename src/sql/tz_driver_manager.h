#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/text_lines.h"
#include "sql/tz_driver.h"

namespace zered {

// The process-wide driver registry. Drivers are asked in registration order; the MySQL driver
// is registered when the registry is first used.
class TZDriverManager {
 public:
  // The one registry of the process.
  static TZDriverManager& Instance();

  // The registry keeps the driver for the rest of the process.
  void RegisterDriver(std::shared_ptr<IZDriver> driver);
  // The first driver that accepts `url`, or nullptr.
  IZDriver* GetDriver(const std::string& url) const;
  // Connects through the first accepting driver. Throws EZSQLException "Requested database
  // driver was not found" when none accepts.
  std::shared_ptr<IZConnection> GetConnectionWithParams(const std::string& url,
                                                        const TextLines& info) const;

 private:
  TZDriverManager() = default;
  std::vector<std::shared_ptr<IZDriver>> drivers_;
};

}  // namespace zered
