#pragma once

#include <cstdint>
#include <string>

#include "base/date_time.h"
#include "sql/tz_statement.h"

namespace zered {

// A statement with "?" placeholders whose values are set by position (counted from 1). The
// values are written into the text as SQL literals before the text is sent.
class IZPreparedStatement {
 public:
  virtual ~IZPreparedStatement() = default;

  virtual void SetNull(int parameter_index, TZSQLType sql_type) = 0;
  virtual void SetBoolean(int parameter_index, bool value) = 0;
  virtual void SetByte(int parameter_index, int8_t value) = 0;
  virtual void SetShort(int parameter_index, int16_t value) = 0;
  virtual void SetInt(int parameter_index, int32_t value) = 0;
  virtual void SetLong(int parameter_index, int64_t value) = 0;
  virtual void SetFloat(int parameter_index, float value) = 0;
  virtual void SetDouble(int parameter_index, double value) = 0;
  virtual void SetBigDecimal(int parameter_index, double value) = 0;
  virtual void SetString(int parameter_index, const std::string& value) = 0;
  virtual void SetBytes(int parameter_index, const std::string& value) = 0;
  virtual void SetDate(int parameter_index, TDateTime value) = 0;
  virtual void SetTime(int parameter_index, TDateTime value) = 0;
  virtual void SetTimestamp(int parameter_index, TDateTime value) = 0;
  // Streams are passed as their whole content; an empty stream becomes NULL.
  virtual void SetAsciiStream(int parameter_index, const std::string& value) = 0;
  virtual void SetUnicodeStream(int parameter_index, const std::string& value) = 0;
  virtual void SetBinaryStream(int parameter_index, const std::string& value) = 0;
  // The text a null parameter is sent as when the "defaults" property is true.
  virtual void SetDefaultValue(int parameter_index, const std::string& value) = 0;
  virtual void ClearParameters() = 0;

  // Builds the text and executes it as IZStatement::ExecuteUpdate does. Throws
  // EZSQLException "Input parameter count is less then expected" when a placeholder has no
  // parameter.
  virtual int32_t ExecuteUpdatePrepared() = 0;
};

}  // namespace zered
