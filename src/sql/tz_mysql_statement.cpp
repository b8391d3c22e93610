#include "sql/tz_mysql_statement.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "base/exceptions.h"
#include "platform/socket_wait.h"
#include "sql/tz_mysql_connection.h"
#include "sql/tz_mysql_utils.h"
#include "sql/tz_wait_hooks.h"

namespace zered {

namespace {

int32_t CheckedCount(uint64_t count) {
  if (count > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    throw Exception("Range check error");
  }
  return static_cast<int32_t>(count);
}

// How long one wait on the server's socket lasts before the window gets its turn.
constexpr std::chrono::milliseconds kWaitSlice{20};

// Waits for the events a non-blocking call asked for, in short slices with the waiting hook
// called in between. A timeout the library asked for (kMySQLWaitTimeout) is kept; without one
// the wait lasts as long as the server works, as a blocking call would.
int WaitForServer(IZMySQLPlainDriver& plain, PZMySQLConnect handle, int wanted) {
  using Clock = std::chrono::steady_clock;
  const intptr_t socket = plain.GetSocket(handle);
  const int socket_events = wanted & (kMySQLWaitRead | kMySQLWaitWrite | kMySQLWaitExcept);
  const bool timed = (wanted & kMySQLWaitTimeout) != 0;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(timed ? plain.GetTimeoutValueMs(handle) : 0);
  for (;;) {
    auto slice = kWaitSlice;
    if (timed) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return kMySQLWaitTimeout;
      slice = std::min(slice, left);
    }
    const int ready = WaitForSocket(socket, socket_events, static_cast<int>(slice.count()));
    int happened = 0;
    if (ready & kSocketReadable) happened |= kMySQLWaitRead;
    if (ready & kSocketWritable) happened |= kMySQLWaitWrite;
    if (ready & kSocketException) happened |= kMySQLWaitExcept;
    if (happened != 0) return happened;
    NotifyWaiting();
  }
}

// mysql_query's result; with a non-blocking connection the query runs in steps so that the
// window stays alive while the server works.
int RunQuery(TZMySQLConnection& connection, const std::string& sql) {
  IZMySQLPlainDriver& plain = connection.GetPlainDriver();
  PZMySQLConnect handle = connection.GetConnectionHandle();
  if (!connection.NonBlocking()) return plain.ExecQuery(handle, sql.c_str());
  int result = 0;
  int wanted = plain.StartQuery(handle, result, sql.data(), static_cast<unsigned long>(sql.size()));
  while (wanted != 0) {
    wanted = plain.ContinueQuery(handle, result, WaitForServer(plain, handle, wanted));
  }
  return result;
}

// Keeps the gate open exactly while the statement runs, also when it throws.
class StatementScope {
 public:
  StatementScope(TZMySQLLocalInfileGate& gate, const std::string& sql) : gate_(gate) {
    gate_.BeginStatement(sql);
  }
  ~StatementScope() { gate_.EndStatement(); }
  StatementScope(const StatementScope&) = delete;
  StatementScope& operator=(const StatementScope&) = delete;

 private:
  TZMySQLLocalInfileGate& gate_;
};

}  // namespace

TZMySQLStatement::TZMySQLStatement(std::shared_ptr<TZMySQLConnection> connection, TextLines info)
    : connection_(std::move(connection)), info_(std::move(info)) {}

int32_t TZMySQLStatement::ExecuteUpdate(const std::string& sql) {
  if (connection_->IsClosed()) throw EZSQLException("Connection is not opened yet", -1);
  // mysql_query ends the text at a zero byte; the server must never run a cut statement.
  if (sql.find('\0') != std::string::npos) {
    throw EZSQLException("The statement text holds a zero byte and was not sent", -1);
  }
  IZMySQLPlainDriver& plain = connection_->GetPlainDriver();
  PZMySQLConnect handle = connection_->GetConnectionHandle();

  int64_t count = -1;
  {
    StatementScope scope(connection_->LocalInfileGate(), sql);
    if (RunQuery(*connection_, sql) != 0) {
      CheckMySQLError(plain, handle);
      last_update_count_ = -1;
      return last_update_count_;
    }
  }
  if (plain.GetFieldCount(handle) != 0) {
    PZMySQLResult result = plain.StoreResult(handle);
    if (result != nullptr) {
      uint64_t rows = plain.GetRowCount(result);
      plain.FreeResult(result);
      count = CheckedCount(rows);
    } else {
      // Rows that could not be read (lost connection, out of memory) are a failure, not an
      // affected-rows count of all ones.
      CheckMySQLError(plain, handle);
      count = CheckedCount(plain.GetAffectedRows(handle));
    }
  } else {
    count = CheckedCount(plain.GetAffectedRows(handle));
  }
  last_update_count_ = static_cast<int32_t>(count);
  return last_update_count_;
}

}  // namespace zered
