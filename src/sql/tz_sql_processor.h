#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/exceptions.h"
#include "base/text_lines.h"
#include "sql/params.h"
#include "sql/tz_sql_script_parser.h"
#include "sql/tz_sql_strings.h"

namespace zered {

class TZConnection;
class TZSQLProcessor;

// What to do with a statement that failed.
enum TZErrorHandleAction {
  eaFail,   // stop; Execute raises EZSQLException with the error's message
  eaAbort,  // stop quietly
  eaSkip,   // go on with the next statement
  eaRetry,  // run the same statement again
};

using TZProcessorNotifyEvent = std::function<void(TZSQLProcessor& processor, int statement_index)>;
using TZProcessorErrorEvent =
    std::function<void(TZSQLProcessor& processor, int statement_index, const Exception& e,
                       TZErrorHandleAction& error_handle_action)>;

// The script processor: holds an SQL script as lines and runs it statement by statement on
// its connection. It never commits, rolls back or disconnects; the server keeps whatever
// transaction state the statements leave. User-interface thread only.
class TZSQLProcessor : public IZSQLStringsOwner {
 public:
  explicit TZSQLProcessor(std::string name = "ZSQLProcessor1");
  ~TZSQLProcessor() override;
  TZSQLProcessor(const TZSQLProcessor&) = delete;
  TZSQLProcessor& operator=(const TZSQLProcessor&) = delete;

  const std::string& Name() const { return name_; }

  // Published properties.
  bool ParamCheck() const { return param_check_; }
  // Passed to the script holder; rebuilds Params.
  void SetParamCheck(bool value);
  // One parameter per :name of the script, rebuilt after every change of the script; values
  // given earlier are kept by name. Unset parameters are sent as NULL.
  TParams& Params() { return params_; }
  const TParams& Params() const { return params_; }
  // Copies values by name into the existing parameters.
  void SetParams(const TParams& value) { params_.AssignValues(value); }
  // The script lines. Each completed change (SetText, Clear, LoadFromFile, ...) rebuilds
  // Params and may throw EZDatabaseError "Incorrect token followed by ":"".
  TZSQLStrings& Script() { return script_; }
  const TZSQLStrings& Script() const { return script_; }
  void SetScript(const TextLines& lines);
  // Not owned; must outlive the processor or be reset first.
  TZConnection* Connection() const { return connection_; }
  void SetConnection(TZConnection* connection);
  TZDelimiterType DelimiterType() const { return parser_.DelimiterType(); }
  void SetDelimiterType(TZDelimiterType value);
  const std::string& Delimiter() const { return parser_.Delimiter(); }
  void SetDelimiter(const std::string& value);
  bool CleanupStatements() const { return parser_.CleanupStatements(); }
  void SetCleanupStatements(bool value);

  // Events (optional). OnError may change the action, which starts as eaFail.
  TZProcessorErrorEvent OnError;
  TZProcessorNotifyEvent AfterExecute;
  TZProcessorNotifyEvent BeforeExecute;

  // Connects the connection, takes its driver's tokenizer and splits the script. Throws
  // EZDatabaseError "Database connection component is not assigned" without a connection;
  // connect failures go on unchanged.
  void Parse();
  // Parses and runs every statement in order with the busy pointer shown. A failing
  // statement goes to OnError; without a handler (eaFail) Execute throws EZSQLException with
  // the error's message, error code (-1 when the error had none) and status. Statements that
  // hold nothing but comments are not sent to the server.
  void Execute();

  // Those of the last Parse, the unfinished statement included.
  int StatementCount() const { return parser_.StatementCount(); }
  const std::string& Statement(int index) const { return parser_.Statement(index); }

 private:
  std::shared_ptr<IZTokenizer> GetStringsTokenizer() const override;
  void ScriptChanged();
  void RunStatement(TZSQLStrings& holder, int index);

  std::string name_;
  bool param_check_ = true;
  TParams params_;
  TZSQLStrings script_;
  TZConnection* connection_ = nullptr;
  TZSQLScriptParser parser_;
};

}  // namespace zered
