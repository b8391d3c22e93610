#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text_lines.h"
#include "sql/tz_prepared_statement.h"

namespace zered {

class IZConnection;

// A prepared statement that the client never prepares: the SQL is cut at its "?" placeholders
// (once, through the connection driver's tokenizer) and every execution sends the pieces with
// each placeholder replaced by its parameter's literal. Derived classes give the literals and
// execute the text.
class TZEmulatedPreparedStatement : public IZPreparedStatement {
 public:
  TZEmulatedPreparedStatement(IZConnection& connection, std::string sql, TextLines info);

  void SetNull(int parameter_index, TZSQLType sql_type) override;
  void SetBoolean(int parameter_index, bool value) override;
  void SetByte(int parameter_index, int8_t value) override;
  void SetShort(int parameter_index, int16_t value) override;
  void SetInt(int parameter_index, int32_t value) override;
  void SetLong(int parameter_index, int64_t value) override;
  void SetFloat(int parameter_index, float value) override;
  void SetDouble(int parameter_index, double value) override;
  void SetBigDecimal(int parameter_index, double value) override;
  void SetString(int parameter_index, const std::string& value) override;
  void SetBytes(int parameter_index, const std::string& value) override;
  void SetDate(int parameter_index, TDateTime value) override;
  void SetTime(int parameter_index, TDateTime value) override;
  void SetTimestamp(int parameter_index, TDateTime value) override;
  void SetAsciiStream(int parameter_index, const std::string& value) override;
  void SetUnicodeStream(int parameter_index, const std::string& value) override;
  void SetBinaryStream(int parameter_index, const std::string& value) override;
  void SetDefaultValue(int parameter_index, const std::string& value) override;
  void ClearParameters() override;

  int32_t ExecuteUpdatePrepared() override;

  const std::string& SQL() const { return sql_; }
  // The highest position set.
  int ParameterCount() const { return static_cast<int>(values_.size()); }
  // The text that ExecuteUpdatePrepared sends with the current values.
  std::string PrepareSQL();

 protected:
  struct TParameter {
    TZSQLType sql_type = stUnknown;
    bool is_null = true;
    bool boolean = false;
    int64_t integer = 0;
    double number = 0;  // floating types and date-time values
    std::string text;   // texts, bytes, streams
    std::optional<std::string> default_value;
  };

  // The SQL literal of a non-null parameter.
  virtual std::string GetEscapeString(const std::string& value) = 0;
  virtual int32_t ExecuteUpdateText(const std::string& sql) = 0;

  IZConnection& connection() const { return connection_; }
  // The "defaults" property: the statement's own info first, then the connection's; true when
  // absent from both.
  bool UseDefaults() const;

 private:
  TParameter& Parameter(int parameter_index);
  std::string PrepareParameter(int position);
  void CutSQL();

  IZConnection& connection_;
  std::string sql_;
  TextLines info_;
  std::vector<TParameter> values_;
  bool cut_ = false;
  // Pieces of the SQL; an empty optional stands for a placeholder.
  std::vector<std::optional<std::string>> pieces_;
};

}  // namespace zered
