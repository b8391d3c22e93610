#pragma once

#include <cstdint>
#include <string>

namespace zered {

// SQL type of a statement parameter.
enum TZSQLType {
  stUnknown,
  stBoolean,
  stByte,
  stShort,
  stInteger,
  stLong,
  stFloat,
  stDouble,
  stBigDecimal,
  stString,
  stUnicodeString,
  stBytes,
  stDate,
  stTime,
  stTimestamp,
  stAsciiStream,
  stUnicodeStream,
  stBinaryStream,
};

// A statement executed on an open connection. Owned through std::shared_ptr; it keeps its
// connection alive.
class IZStatement {
 public:
  virtual ~IZStatement() = default;

  // Executes `sql` and returns the number of rows it returned (a statement with a result set)
  // or changed; -1 when the client library reports a failure without an error text.
  // Throws EZSQLException "SQL Error: %s" on a server or client error, and a range error
  // ("Range check error") when the count does not fit 32 bits.
  virtual int32_t ExecuteUpdate(const std::string& sql) = 0;
  // The count returned by the last ExecuteUpdate (-1 before the first).
  virtual int32_t GetUpdateCount() const = 0;
};

}  // namespace zered
