#include "sql/tz_connection.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "sql/tz_busy_pointer.h"
#include "sql/tz_driver.h"
#include "sql/tz_driver_manager.h"

namespace zered {

namespace {

// Pairs ShowSQLHourGlass with HideSQLHourGlass, also when the work in between throws.
class HourGlassScope {
 public:
  explicit HourGlassScope(TZConnection& connection) : connection_(connection) {
    connection_.ShowSQLHourGlass();
  }
  ~HourGlassScope() { connection_.HideSQLHourGlass(); }
  HourGlassScope(const HourGlassScope&) = delete;
  HourGlassScope& operator=(const HourGlassScope&) = delete;

 private:
  TZConnection& connection_;
};

void Notify(const TZConnection::TNotifyEvent& event, TZConnection& sender) {
  if (event) event(sender);
}

}  // namespace

TZConnection::TZConnection(std::string name) : name_(std::move(name)) {}

TZConnection::~TZConnection() {
  try {
    Disconnect();
  } catch (...) {
    // Nothing can be reported while the component goes away; the handle is closed anyway.
  }
}

bool TZConnection::Connected() const { return connection_ && !connection_->IsClosed(); }

void TZConnection::SetConnected(bool value) {
  if (value) {
    Connect();
  } else {
    Disconnect();
  }
}

std::string TZConnection::ConstructURL() const {
  if (port_ != 0) {
    return Format("zdbc:%s://%s:%d/%s", protocol_.c_str(), host_name_.c_str(), port_,
                  database_.c_str());
  }
  return Format("zdbc:%s://%s/%s", protocol_.c_str(), host_name_.c_str(), database_.c_str());
}

IZDriver* TZConnection::DbcDriver() const {
  if (connection_) return &connection_->GetDriver();
  return TZDriverManager::Instance().GetDriver(ConstructURL());
}

void TZConnection::Connect() {
  if (connection_) return;
  Notify(BeforeConnect, *this);
  {
    HourGlassScope busy(*this);
    // User and password travel beside the URL, not in it, so that ";", "/", ":" or "?" in
    // them cannot cut them short or add settings of their own. They come first: the first
    // line of a name wins.
    TextLines info;
    info.reserve(properties_.size() + 2);
    info.push_back("UID=" + user_);
    info.push_back("PWD=" + password_);
    info.insert(info.end(), properties_.begin(), properties_.end());

    std::shared_ptr<IZConnection> connection =
        TZDriverManager::Instance().GetConnectionWithParams(ConstructURL(), info);
    // Dropping the object on failure closes its handle.
    connection->SetAutoCommit(auto_commit_);
    connection->SetReadOnly(read_only_);
    connection->SetCatalog(catalog_);
    connection->SetTransactionIsolation(isolation_level_);
    connection->Open();
    connection_ = std::move(connection);
  }
  if (Connected()) Notify(AfterConnect, *this);
}

void TZConnection::Disconnect() {
  if (!connection_) return;
  Notify(BeforeDisconnect, *this);
  {
    HourGlassScope busy(*this);
    std::shared_ptr<IZConnection> connection = std::move(connection_);
    connection_.reset();
    // No datasets register with this component; only the connection object is closed.
    connection->Close();
  }
  Notify(AfterDisconnect, *this);
}

void TZConnection::SetAutoCommit(bool value) {
  if (auto_commit_ == value) return;
  if (explicit_transaction_depth_ > 0) {
    throw EZDatabaseError("Invalid operation in explicit transaction mode");
  }
  auto_commit_ = value;
  if (connection_) {
    HourGlassScope busy(*this);
    connection_->SetAutoCommit(value);
  }
}

void TZConnection::SetTransactIsolationLevel(TZTransactIsolationLevel value) {
  if (isolation_level_ == value) return;
  isolation_level_ = value;
  if (connection_) {
    HourGlassScope busy(*this);
    connection_->SetTransactionIsolation(value);
  }
}

void TZConnection::CheckActive() const {
  if (!connection_) throw EZDatabaseError("Connection is not opened yet");
}

void TZConnection::CheckAutoCommitMode() const {
  if (auto_commit_) throw EZDatabaseError("Invalid operation in AutoCommit mode");
}

void TZConnection::CheckNonAutoCommitMode() const {
  if (!auto_commit_) throw EZDatabaseError("Invalid operation in non AutoCommit mode");
}

void TZConnection::StartTransaction() {
  if (explicit_transaction_depth_ == 0) {
    CheckNonAutoCommitMode();
    SetAutoCommit(false);
  }
  Notify(OnStartTransaction, *this);
  ++explicit_transaction_depth_;
}

void TZConnection::EndTransaction(bool commit) {
  CheckActive();
  CheckAutoCommitMode();
  if (explicit_transaction_depth_ > 1) {
    --explicit_transaction_depth_;
    return;
  }
  bool explicit_transaction = explicit_transaction_depth_ > 0;
  try {
    HourGlassScope busy(*this);
    if (commit) {
      connection_->Commit();
    } else {
      connection_->Rollback();
    }
  } catch (...) {
    explicit_transaction_depth_ = 0;
    if (explicit_transaction) SetAutoCommit(true);
    throw;
  }
  explicit_transaction_depth_ = 0;
  if (explicit_transaction) SetAutoCommit(true);
  Notify(commit ? OnCommit : OnRollback, *this);
}

void TZConnection::Commit() { EndTransaction(true); }

void TZConnection::Rollback() { EndTransaction(false); }

void TZConnection::ShowSQLHourGlass() {
  if (sql_hour_glass_) BusyPointerOn();
}

void TZConnection::HideSQLHourGlass() {
  if (sql_hour_glass_) BusyPointerOff();
}

}  // namespace zered
