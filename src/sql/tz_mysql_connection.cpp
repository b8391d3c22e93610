#include "sql/tz_mysql_connection.h"

#include "base/conversions.h"
#include "base/exceptions.h"
#include "base/format.h"
#include "sql/tz_mysql_prepared_statement.h"
#include "sql/tz_mysql_statement.h"
#include "sql/tz_mysql_utils.h"

namespace zered {

namespace {

constexpr int kDefaultPort = 3306;
constexpr int32_t kDefaultConnectTimeout = 20;  // seconds

bool InfoIsTrue(const TextLines& info, std::string_view name) {
  return IsTrueText(InfoValue(info, name));
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

TZMySQLConnection::TZMySQLConnection(IZDriver& driver, IZMySQLPlainDriver& plain_driver,
                                     std::string host, int port, std::string database,
                                     std::string user, std::string password, TextLines info)
    : driver_(driver),
      plain_driver_(plain_driver),
      host_(std::move(host)),
      port_(port == 0 ? kDefaultPort : port),
      database_(std::move(database)),
      user_(std::move(user)),
      password_(std::move(password)),
      info_(std::move(info)),
      client_code_page_(TrimBlanks(InfoValue(info_, "codepage"))) {}

TZMySQLConnection::~TZMySQLConnection() { Close(); }

std::shared_ptr<IZStatement> TZMySQLConnection::CreateStatementWithParams(const TextLines& info) {
  return std::make_shared<TZMySQLStatement>(shared_from_this(), info);
}

std::shared_ptr<IZPreparedStatement> TZMySQLConnection::PrepareStatementWithParams(
    const std::string& sql, const TextLines& info) {
  return std::make_shared<TZMySQLPreparedStatement>(shared_from_this(), sql, info);
}

void TZMySQLConnection::SetAutoCommit(bool value) {
  if (value == auto_commit_) return;
  auto_commit_ = value;
  if (!closed_ && !plain_driver_.SetAutocommit(handle_, value)) {
    CheckMySQLError(plain_driver_, handle_);
  }
}

void TZMySQLConnection::SetTransactionIsolation(TZTransactIsolationLevel level) {
  if (level == isolation_level_) return;
  isolation_level_ = level;
  if (closed_) return;
  const char* sql = nullptr;
  switch (level) {
    case tiNone:
    case tiReadUncommitted:
      sql = "SET SESSION TRANSACTION ISOLATION LEVEL READ UNCOMMITTED";
      break;
    case tiReadCommitted:
      sql = "SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED";
      break;
    case tiRepeatableRead:
      sql = "SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ";
      break;
    case tiSerializable:
      sql = "SET SESSION TRANSACTION ISOLATION LEVEL SERIALIZABLE";
      break;
  }
  if (plain_driver_.ExecQuery(handle_, sql) != 0) CheckMySQLError(plain_driver_, handle_);
}

void TZMySQLConnection::Commit() {
  if (isolation_level_ != tiNone && !auto_commit_ && !closed_) {
    if (!plain_driver_.Commit(handle_)) CheckMySQLError(plain_driver_, handle_);
  }
}

void TZMySQLConnection::Rollback() {
  if (isolation_level_ != tiNone && !auto_commit_ && !closed_) {
    if (!plain_driver_.Rollback(handle_)) CheckMySQLError(plain_driver_, handle_);
  }
}

void TZMySQLConnection::Open() {
  if (!closed_) return;
  handle_ = plain_driver_.Init();
  if (handle_ == nullptr) throw EZSQLException("Cannot connect to SQL server", -1);
  try {
    if (port_ == 0) port_ = kDefaultPort;

    if (InfoIsTrue(info_, "compress")) {
      plain_driver_.SetOptions(handle_, MYSQL_OPT_COMPRESS, nullptr);
    }
    // The client library takes 0 as "no limit": a silent address, or a server that accepts
    // but never greets, would hold an unattended run for good. Its connect timeout bounds each
    // wait of the connect (TCP, greeting, login) and no statement.
    int32_t timeout = kDefaultConnectTimeout;
    if (!TryStrToInt(InfoValue(info_, "timeout"), timeout)) timeout = kDefaultConnectTimeout;
    if (timeout >= 0) {
      unsigned int connect_timeout = static_cast<unsigned int>(timeout);
      plain_driver_.SetOptions(handle_, MYSQL_OPT_CONNECT_TIMEOUT, &connect_timeout);
    }
    for (int i = 0; i < kMySQLOptionNameCount; ++i) {
      auto option = static_cast<TZMySQLOption>(i);
      std::string value = InfoValue(info_, MySQLOptionName(option));
      if (value.empty()) continue;
      // The connect timeout takes a number; compression and named pipes take no argument.
      if (option == MYSQL_OPT_CONNECT_TIMEOUT) {
        int32_t seconds = 0;
        if (TryStrToInt(value, seconds) && seconds >= 0) {
          unsigned int argument = static_cast<unsigned int>(seconds);
          plain_driver_.SetOptions(handle_, option, &argument);
        }
      } else if (option == MYSQL_OPT_COMPRESS || option == MYSQL_OPT_NAMED_PIPE) {
        if (IsTrueText(value)) plain_driver_.SetOptions(handle_, option, nullptr);
      } else {
        plain_driver_.SetOptions(handle_, option, value.c_str());
      }
    }

    uint32_t client_flag = 0;
    if (!InfoIsTrue(info_, "dbless")) client_flag |= kClientConnectWithDb;
    for (int bit = 0; bit < kMySQLClientOptionCount; ++bit) {
      if (InfoIsTrue(info_, MySQLClientOptionName(bit))) client_flag |= uint32_t{1} << bit;
    }

    // LOAD DATA LOCAL INFILE is allowed, but every file request of the server passes the
    // gate, which serves only the file the executing statement names. Without a handler
    // entry point the library's own default stays.
    if (plain_driver_.SetLocalInfileHandler(handle_, local_infile_gate_.Callbacks())) {
      unsigned int enable = 1;
      plain_driver_.SetOptions(handle_, MYSQL_OPT_LOCAL_INFILE, &enable);
    }

    non_blocking_ = plain_driver_.OffersNonBlocking();
    if (non_blocking_) plain_driver_.EnableNonBlocking(handle_);

    if (InfoIsTrue(info_, "MYSQL_SSL")) {
      std::string key = InfoValue(info_, "MYSQL_SSL_KEY");
      std::string cert = InfoValue(info_, "MYSQL_SSL_CERT");
      std::string ca = InfoValue(info_, "MYSQL_SSL_CA");
      std::string capath = InfoValue(info_, "MYSQL_SSL_CAPATH");
      std::string cipher = InfoValue(info_, "MYSQL_SSL_CYPHER");
      plain_driver_.SslSet(handle_, OrNull(key), OrNull(cert), OrNull(ca), OrNull(capath),
                           OrNull(cipher));
    }

    if (plain_driver_.RealConnect(handle_, host_.c_str(), user_.c_str(), password_.c_str(),
                                  database_.c_str(), static_cast<unsigned int>(port_), nullptr,
                                  client_flag) == nullptr) {
      CheckMySQLError(plain_driver_, handle_);
      throw EZSQLException("Cannot connect to SQL server", -1);
    }

    if (!client_code_page_.empty()) {
      std::string sql = Format("SET CHARACTER SET %s", client_code_page_.c_str());
      plain_driver_.ExecQuery(handle_, sql.c_str());
      CheckMySQLError(plain_driver_, handle_);
    }

    // Still closed here: these only keep their values.
    SetTransactionIsolation(isolation_level_);
    SetAutoCommit(auto_commit_);
  } catch (...) {
    plain_driver_.Close(handle_);
    plain_driver_.Despose(handle_);
    throw;
  }
  closed_ = false;
}

void TZMySQLConnection::Close() {
  if (closed_) return;
  plain_driver_.Close(handle_);
  plain_driver_.Despose(handle_);
  closed_ = true;
}

}  // namespace zered
