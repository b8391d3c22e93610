#include "sql/tz_emulated_prepared_statement.h"

#include <charconv>

#include "base/conversions.h"
#include "base/exceptions.h"
#include "base/format.h"
#include "sql/tz_dbc_connection.h"
#include "sql/tz_driver.h"
#include "sql/tz_mysql_utils.h"
#include "sql/tz_tokenizer.h"

namespace zered {

namespace {

// Shortest text of at most 15 significant digits with "." whatever the process locale.
std::string NumberLiteral(double value) {
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

}  // namespace

TZEmulatedPreparedStatement::TZEmulatedPreparedStatement(IZConnection& connection, std::string sql,
                                                         TextLines info)
    : connection_(connection), sql_(std::move(sql)), info_(std::move(info)) {}

TZEmulatedPreparedStatement::TParameter& TZEmulatedPreparedStatement::Parameter(
    int parameter_index) {
  if (parameter_index < 1) throw EZSQLException("Parameter index out of range", -1);
  if (static_cast<size_t>(parameter_index) > values_.size()) values_.resize(parameter_index);
  return values_[parameter_index - 1];
}

void TZEmulatedPreparedStatement::SetNull(int parameter_index, TZSQLType sql_type) {
  TParameter& p = Parameter(parameter_index);
  p.sql_type = sql_type;
  p.is_null = true;
}

void TZEmulatedPreparedStatement::SetBoolean(int parameter_index, bool value) {
  TParameter& p = Parameter(parameter_index);
  p.sql_type = stBoolean;
  p.is_null = false;
  p.boolean = value;
}

#define ZERED_SET_INTEGER(method, type, sql_type_value)                       \
  void TZEmulatedPreparedStatement::method(int parameter_index, type value) { \
    TParameter& p = Parameter(parameter_index);                               \
    p.sql_type = sql_type_value;                                              \
    p.is_null = false;                                                        \
    p.integer = value;                                                        \
  }
ZERED_SET_INTEGER(SetByte, int8_t, stByte)
ZERED_SET_INTEGER(SetShort, int16_t, stShort)
ZERED_SET_INTEGER(SetInt, int32_t, stInteger)
ZERED_SET_INTEGER(SetLong, int64_t, stLong)
#undef ZERED_SET_INTEGER

#define ZERED_SET_NUMBER(method, type, sql_type_value)                        \
  void TZEmulatedPreparedStatement::method(int parameter_index, type value) { \
    TParameter& p = Parameter(parameter_index);                               \
    p.sql_type = sql_type_value;                                              \
    p.is_null = false;                                                        \
    p.number = value;                                                         \
  }
ZERED_SET_NUMBER(SetFloat, float, stFloat)
ZERED_SET_NUMBER(SetDouble, double, stDouble)
ZERED_SET_NUMBER(SetBigDecimal, double, stBigDecimal)
ZERED_SET_NUMBER(SetDate, TDateTime, stDate)
ZERED_SET_NUMBER(SetTime, TDateTime, stTime)
ZERED_SET_NUMBER(SetTimestamp, TDateTime, stTimestamp)
#undef ZERED_SET_NUMBER

#define ZERED_SET_TEXT(method, sql_type_value)                                              \
  void TZEmulatedPreparedStatement::method(int parameter_index, const std::string& value) { \
    TParameter& p = Parameter(parameter_index);                                             \
    p.sql_type = sql_type_value;                                                            \
    p.is_null = false;                                                                      \
    p.text = value;                                                                         \
  }
ZERED_SET_TEXT(SetString, stString)
ZERED_SET_TEXT(SetBytes, stBytes)
ZERED_SET_TEXT(SetAsciiStream, stAsciiStream)
ZERED_SET_TEXT(SetUnicodeStream, stUnicodeStream)
ZERED_SET_TEXT(SetBinaryStream, stBinaryStream)
#undef ZERED_SET_TEXT

void TZEmulatedPreparedStatement::SetDefaultValue(int parameter_index, const std::string& value) {
  Parameter(parameter_index).default_value = value;
}

void TZEmulatedPreparedStatement::ClearParameters() { values_.clear(); }

bool TZEmulatedPreparedStatement::UseDefaults() const {
  std::string value = InfoValue(info_, "defaults");
  if (value.empty()) value = InfoValue(connection_.GetParameters(), "defaults");
  if (value.empty()) value = "true";
  return IsTrueText(value);
}

void TZEmulatedPreparedStatement::CutSQL() {
  if (cut_) return;
  pieces_.clear();
  if (sql_.find('?') == std::string::npos) {
    pieces_.emplace_back(sql_);
  } else {
    std::shared_ptr<IZTokenizer> tokenizer = connection_.GetDriver().GetTokenizer();
    TZTokenList tokens = tokenizer->Tokenize(sql_, toUnifyWhitespaces);
    std::string piece;
    for (const TZToken& token : tokens) {
      if (token.value == "?") {
        pieces_.emplace_back(std::move(piece));
        piece.clear();
        pieces_.emplace_back(std::nullopt);
      } else {
        piece += token.value;
      }
    }
    pieces_.emplace_back(std::move(piece));
  }
  cut_ = true;
}

std::string TZEmulatedPreparedStatement::PrepareParameter(int position) {
  if (position > ParameterCount()) {
    throw EZSQLException("Input parameter count is less then expected", -1);
  }
  const TParameter& p = values_[position - 1];
  if (p.is_null) {
    if (p.default_value && UseDefaults()) return *p.default_value;
    return "NULL";
  }
  switch (p.sql_type) {
    case stBoolean:
      return p.boolean ? "'Y'" : "'N'";
    case stByte:
    case stShort:
    case stInteger:
    case stLong:
      return std::to_string(p.integer);
    case stFloat:
    case stDouble:
    case stBigDecimal:
      return NumberLiteral(p.number);
    case stString:
    case stUnicodeString:
    case stBytes:
      return GetEscapeString(p.text);
    case stDate: {
      DateParts d = DecodeDate(p.number);
      return Format("'%.4d-%.2d-%.2d'", d.year, d.month, d.day);
    }
    case stTime: {
      TimeParts t = DecodeTime(p.number);
      return Format("'%.2d:%.2d:%.2d'", t.hour, t.minute, t.second);
    }
    case stTimestamp: {
      DateParts d = DecodeDate(p.number);
      TimeParts t = DecodeTime(p.number);
      return Format("'%.4d-%.2d-%.2d %.2d:%.2d:%.2d'", d.year, d.month, d.day, t.hour, t.minute,
                    t.second);
    }
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream:
      return p.text.empty() ? std::string("NULL") : GetEscapeString(p.text);
    case stUnknown:
      break;
  }
  return "NULL";
}

std::string TZEmulatedPreparedStatement::PrepareSQL() {
  CutSQL();
  std::string result;
  int placeholder = 0;
  for (const std::optional<std::string>& piece : pieces_) {
    if (piece) {
      result += *piece;
    } else {
      result += PrepareParameter(++placeholder);
    }
  }
  return result;
}

int32_t TZEmulatedPreparedStatement::ExecuteUpdatePrepared() {
  return ExecuteUpdateText(PrepareSQL());
}

}  // namespace zered
