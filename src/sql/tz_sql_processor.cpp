#include "sql/tz_sql_processor.h"

#include "base/conversions.h"
#include "base/format.h"
#include "sql/tz_connection.h"
#include "sql/tz_dbc_connection.h"
#include "sql/tz_driver.h"
#include "sql/tz_mysql_tokenizer.h"
#include "sql/tz_prepared_statement.h"

namespace zered {

namespace {

TZSQLType SQLTypeOf(TFieldType data_type) {
  switch (data_type) {
    case ftString:
      return stString;
    case ftBytes:
      return stBytes;
    case ftSmallint:
      return stShort;
    case ftInteger:
    case ftAutoInc:
      return stInteger;
    case ftLargeint:
      return stLong;
    case ftBoolean:
      return stBoolean;
    case ftFloat:
      return stDouble;
    case ftCurrency:
      return stBigDecimal;
    case ftDate:
      return stDate;
    case ftTime:
      return stTime;
    case ftDateTime:
    case ftTimeStamp:
      return stTimestamp;
    case ftBlob:
    case ftGraphic:
      return stBinaryStream;
    case ftMemo:
      return stAsciiStream;
    default:
      return stUnknown;
  }
}

void BindParam(IZPreparedStatement& statement, int position, const TParam& param) {
  if (param.IsNull()) {
    statement.SetNull(position, SQLTypeOf(param.DataType()));
    return;
  }
  switch (param.DataType()) {
    case ftString:
    case ftBytes:
      statement.SetString(position, param.AsString());
      break;
    case ftSmallint: {
      const int32_t value = param.AsInteger();
      if (value < -32768 || value > 32767) throw Exception("Range check error");
      statement.SetShort(position, static_cast<int16_t>(value));
      break;
    }
    case ftInteger:
    case ftAutoInc:
      statement.SetInt(position, param.AsInteger());
      break;
    case ftLargeint: {
      const std::string text = param.AsString();
      int64_t value = 0;
      if (!TryStrToInt64(text, value)) {
        throw EConvertError(Format("'%s' is not a valid integer value", text.c_str()));
      }
      statement.SetLong(position, value);
      break;
    }
    case ftBoolean:
      statement.SetBoolean(position, param.AsBoolean());
      break;
    case ftFloat:
      statement.SetDouble(position, param.AsFloat());
      break;
    case ftCurrency:
      statement.SetBigDecimal(position, param.AsCurrency());
      break;
    case ftDate:
      statement.SetDate(position, param.AsDateTime());
      break;
    case ftTime:
      statement.SetTime(position, param.AsDateTime());
      break;
    case ftDateTime:
    case ftTimeStamp:
      statement.SetTimestamp(position, param.AsDateTime());
      break;
    case ftBlob:
    case ftGraphic:
      statement.SetBinaryStream(position, param.AsString());
      break;
    case ftMemo:
      statement.SetAsciiStream(position, param.AsString());
      break;
    default:
      break;
  }
}

}  // namespace

TZSQLProcessor::TZSQLProcessor(std::string name) : name_(std::move(name)) {
  parser_.SetDelimiterType(dtDefault);
  parser_.SetDelimiter(";");
  parser_.SetCleanupStatements(false);
  script_.SetParamCheck(true);
  script_.SetMultiStatements(true);
  script_.SetOwner(this);
  script_.OnChange = [this](TZSQLStrings&) { ScriptChanged(); };
}

TZSQLProcessor::~TZSQLProcessor() {
  script_.OnChange = nullptr;
  script_.SetOwner(nullptr);
}

void TZSQLProcessor::SetParamCheck(bool value) {
  param_check_ = value;
  script_.SetParamCheck(value);
  ScriptChanged();
}

void TZSQLProcessor::SetScript(const TextLines& lines) {
  parser_.Clear();
  script_.SetLines(lines);
}

void TZSQLProcessor::SetConnection(TZConnection* connection) {
  if (connection_ == connection) return;
  parser_.Clear();
  connection_ = connection;
}

void TZSQLProcessor::SetDelimiterType(TZDelimiterType value) {
  if (parser_.DelimiterType() == value) return;
  parser_.Clear();
  parser_.SetDelimiterType(value);
}

void TZSQLProcessor::SetDelimiter(const std::string& value) {
  if (parser_.Delimiter() == value) return;
  parser_.Clear();
  parser_.SetDelimiter(value);
}

void TZSQLProcessor::SetCleanupStatements(bool value) {
  if (parser_.CleanupStatements() == value) return;
  parser_.Clear();
  parser_.SetCleanupStatements(value);
}

std::shared_ptr<IZTokenizer> TZSQLProcessor::GetStringsTokenizer() const {
  if (connection_ == nullptr) return nullptr;
  IZDriver* driver = connection_->DbcDriver();
  return driver ? driver->GetTokenizer() : nullptr;
}

void TZSQLProcessor::ScriptChanged() {
  // Statements of an earlier parse no longer belong to the script.
  parser_.Clear();
  const TParams previous = params_;
  params_.Clear();
  for (const std::string& name : script_.ParamNames()) {
    params_.CreateParam(ftUnknown, name, ptUnknown);
  }
  params_.AssignValues(previous);
}

void TZSQLProcessor::Parse() {
  if (connection_ == nullptr) {
    throw EZDatabaseError("Database connection component is not assigned");
  }
  connection_->Connect();
  IZDriver* driver = connection_->DbcDriver();
  parser_.SetTokenizer(driver ? driver->GetTokenizer() : nullptr);
  parser_.Clear();
  parser_.ParseText(script_.Text());
}

void TZSQLProcessor::RunStatement(TZSQLStrings& holder, int index) {
  holder.SetText(Statement(index));
  // A statement of nothing but comments (text after the last ";", or one with a ":" that the
  // holder reduced to nothing) has no content: a server refuses it as an empty query.
  if (holder.StatementCount() == 0) return;
  const TZSQLStatement& sql_statement = holder.Statements()[0];
  std::shared_ptr<IZTokenizer> tokenizer = GetStringsTokenizer();
  if (!tokenizer) tokenizer = SharedMySQLTokenizer();
  if (tokenizer->Tokenize(sql_statement.sql, toSkipComments | toSkipWhitespaces | toSkipEOF)
          .empty()) {
    return;
  }

  IZConnection* connection = connection_->DbcConnection();
  if (connection == nullptr) throw EZDatabaseError("Connection is not opened yet");
  std::shared_ptr<IZPreparedStatement> statement =
      connection->PrepareStatementWithParams(sql_statement.sql, TextLines());
  for (size_t p = 0; p < sql_statement.param_indices.size(); ++p) {
    const std::string& name = holder.ParamNames()[sql_statement.param_indices[p]];
    const TParam* param = params_.FindParam(name);
    if (param == nullptr || param->ParamType() == ptOutput || param->ParamType() == ptResult) {
      continue;
    }
    BindParam(*statement, static_cast<int>(p) + 1, *param);
  }
  statement->ExecuteUpdatePrepared();
}

void TZSQLProcessor::Execute() {
  if (connection_ == nullptr) {
    throw EZDatabaseError("Database connection component is not assigned");
  }
  TZConnection& connection = *connection_;
  connection.ShowSQLHourGlass();
  struct HourGlassOff {
    TZConnection& connection;
    ~HourGlassOff() { connection.HideSQLHourGlass(); }
  } hour_glass_off{connection};

  TZSQLStrings holder;
  holder.SetOwner(this);
  holder.SetParamCheck(param_check_);
  holder.SetMultiStatements(false);

  Parse();
  for (int i = 0; i < StatementCount(); ++i) {
    if (BeforeExecute) BeforeExecute(*this, i);
    for (;;) {
      try {
        RunStatement(holder, i);
        break;
      } catch (const Exception& e) {
        TZErrorHandleAction action = eaFail;
        if (OnError) OnError(*this, i, e, action);
        if (action == eaFail) {
          if (const auto* sql_error = dynamic_cast<const EZSQLThrowable*>(&e)) {
            throw EZSQLException(e.Message(), sql_error->ErrorCode(), sql_error->StatusCode());
          }
          throw EZSQLException(e.Message(), -1);
        }
        if (action == eaAbort) return;
        if (action == eaSkip) break;
        // eaRetry: run the same statement again.
      }
    }
    if (AfterExecute) AfterExecute(*this, i);
  }
}

}  // namespace zered
