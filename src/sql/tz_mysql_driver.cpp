#include "sql/tz_mysql_driver.h"

#include "base/conversions.h"
#include "base/exceptions.h"
#include "base/format.h"
#include "sql/tz_mysql5_plain_driver.h"
#include "sql/tz_mysql_connection.h"
#include "sql/tz_mysql_tokenizer.h"
#include "sql/tz_mysql_utils.h"

namespace zered {

struct TZMySQLDriver::Entry {
  std::string protocol;
  std::shared_ptr<IZMySQLPlainDriver> plain_driver;
};

namespace {

struct ParsedURL {
  std::string host = "localhost";
  int port = 0;
  std::string database;
  TextLines info;
};

[[noreturn]] void IncorrectURL(const std::string& url) {
  throw EZSQLException(Format("Incorrect connection URL: %s", url.c_str()), -1);
}

std::string ProtocolOf(const std::string& url) {
  size_t first = url.find(':');
  if (first == std::string::npos) return {};
  size_t second = url.find(':', first + 1);
  if (second == std::string::npos) return {};
  return url.substr(first + 1, second - first - 1);
}

ParsedURL ParseURL(const std::string& url) {
  ParsedURL parsed;
  std::string rest = url.size() > 5 ? url.substr(5) : std::string();
  size_t colon = rest.find(':');
  rest = colon == std::string::npos ? std::string() : rest.substr(colon + 1);
  if (rest.starts_with("//")) {
    rest.erase(0, 2);
    size_t end = rest.find_first_of("/:?");
    if (end == std::string::npos) IncorrectURL(url);
    parsed.host = rest.substr(0, end);
    rest.erase(0, end);
    if (rest.starts_with(":")) {
      rest.erase(0, 1);
      size_t port_end = rest.find_first_of("/?");
      if (port_end == std::string::npos) IncorrectURL(url);
      int32_t port = 0;
      if (!TryStrToInt(rest.substr(0, port_end), port)) IncorrectURL(url);
      parsed.port = port;
      rest.erase(0, port_end);
    }
    if (!rest.starts_with("/")) IncorrectURL(url);
    rest.erase(0, 1);
  }
  size_t question = rest.find('?');
  parsed.database = rest.substr(0, question);
  if (question != std::string::npos) {
    std::string_view params = std::string_view(rest).substr(question + 1);
    while (!params.empty()) {
      size_t semicolon = params.find(';');
      std::string_view piece = params.substr(0, semicolon);
      if (!piece.empty()) parsed.info.emplace_back(piece);
      if (semicolon == std::string_view::npos) break;
      params.remove_prefix(semicolon + 1);
    }
  }
  return parsed;
}

}  // namespace

TZMySQLDriver::TZMySQLDriver() {
  auto mysql5 = std::make_shared<TZMySQL5PlainDriver>();
  plain_drivers_.push_back({"mysql", mysql5});
  plain_drivers_.push_back({"mysql-4.1", std::make_shared<TZMySQLBasePlainDriver>(
                                             "mysql-4.1", "Native Plain Driver for MySQL 4.1+",
                                             MySQL41LibraryLoader())});
  plain_drivers_.push_back({"mysql-5", mysql5});
  plain_drivers_.push_back(
      {"mysqld-4.1", std::make_shared<TZMySQLBasePlainDriver>(
                         "mysqld-4.1", "Native Plain Driver for Embedded MySQL 4.1+",
                         MySQL41EmbeddedLibraryLoader())});
  plain_drivers_.push_back({"mysqld-5", std::make_shared<TZMySQLBasePlainDriver>(
                                            "mysqld-5", "Native Plain Driver for Embedded MySQL 5+",
                                            MySQL5EmbeddedLibraryLoader())});
}

TZMySQLDriver::~TZMySQLDriver() = default;

std::vector<std::string> TZMySQLDriver::GetSupportedProtocols() const {
  std::vector<std::string> protocols;
  for (const Entry& entry : plain_drivers_) protocols.push_back(entry.protocol);
  return protocols;
}

bool TZMySQLDriver::AcceptsURL(const std::string& url) const {
  for (const Entry& entry : plain_drivers_) {
    if (url.starts_with("zdbc:" + entry.protocol + ":")) return true;
  }
  return false;
}

IZMySQLPlainDriver* TZMySQLDriver::GetPlainDriver(const std::string& protocol) const {
  for (const Entry& entry : plain_drivers_) {
    if (entry.protocol == protocol) return entry.plain_driver.get();
  }
  return nullptr;
}

std::shared_ptr<IZConnection> TZMySQLDriver::Connect(const std::string& url,
                                                     const TextLines& info) {
  std::string protocol = ProtocolOf(url);
  if (protocol.empty()) IncorrectURL(url);
  IZMySQLPlainDriver* plain_driver = GetPlainDriver(protocol);
  if (plain_driver == nullptr) {
    throw EZSQLException(Format("Unsupported protocol: %s", protocol.c_str()), -1);
  }
  plain_driver->Initialize();

  ParsedURL parsed = ParseURL(url);
  parsed.info.insert(parsed.info.end(), info.begin(), info.end());
  std::string user = InfoValue(parsed.info, "UID");
  if (user.empty()) user = InfoValue(parsed.info, "username");
  std::string password = InfoValue(parsed.info, "PWD");
  if (password.empty()) password = InfoValue(parsed.info, "password");

  auto connection =
      std::make_shared<TZMySQLConnection>(*this, *plain_driver, parsed.host, parsed.port,
                                          parsed.database, user, password, std::move(parsed.info));
  connection->Open();
  return connection;
}

std::shared_ptr<IZTokenizer> TZMySQLDriver::GetTokenizer() {
  // One tokenizer for the whole process, shared with the statement text holders.
  return SharedMySQLTokenizer();
}

}  // namespace zered
