#include "sql/tz_driver_manager.h"

#include "base/exceptions.h"
#include "sql/tz_mysql_driver.h"

namespace zered {

TZDriverManager& TZDriverManager::Instance() {
  static TZDriverManager* manager = [] {
    // Never destroyed: connections closed at program end still reach their driver.
    auto* created = new TZDriverManager;
    created->RegisterDriver(std::make_shared<TZMySQLDriver>());
    return created;
  }();
  return *manager;
}

void TZDriverManager::RegisterDriver(std::shared_ptr<IZDriver> driver) {
  drivers_.push_back(std::move(driver));
}

IZDriver* TZDriverManager::GetDriver(const std::string& url) const {
  for (const std::shared_ptr<IZDriver>& driver : drivers_) {
    if (driver->AcceptsURL(url)) return driver.get();
  }
  return nullptr;
}

std::shared_ptr<IZConnection> TZDriverManager::GetConnectionWithParams(
    const std::string& url, const TextLines& info) const {
  IZDriver* driver = GetDriver(url);
  if (driver == nullptr) throw EZSQLException("Requested database driver was not found", -1);
  return driver->Connect(url, info);
}

}  // namespace zered
