#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sql/tz_tokenizer.h"

namespace zered {

// How the end of a statement is recognised.
enum TZDelimiterType {
  dtDefault,    // a ";" token
  dtGo,         // a word GO in any case
  dtSetTerm,    // the tokens that spell Delimiter; "SET TERM <d>" changes Delimiter to <d>
  dtEmptyLine,  // an empty line; a final ";" is dropped
};

// Cuts an SQL script into statements at its delimiter, reading the text through a tokenizer
// so that delimiters inside quotes and comments do not count. Text after the last delimiter
// is kept as the unfinished statement and is joined to the text of the next parse.
class TZSQLScriptParser {
 public:
  TZSQLScriptParser() = default;

  const std::string& Delimiter() const { return delimiter_; }
  void SetDelimiter(std::string delimiter) { delimiter_ = std::move(delimiter); }
  TZDelimiterType DelimiterType() const { return delimiter_type_; }
  void SetDelimiterType(TZDelimiterType type) { delimiter_type_ = type; }
  // On: comments are dropped and whitespace runs become one blank. Off: statements keep
  // their bytes as written (comments and line breaks included).
  bool CleanupStatements() const { return cleanup_statements_; }
  void SetCleanupStatements(bool cleanup) { cleanup_statements_ = cleanup; }
  const std::shared_ptr<IZTokenizer>& Tokenizer() const { return tokenizer_; }
  void SetTokenizer(std::shared_ptr<IZTokenizer> tokenizer) { tokenizer_ = std::move(tokenizer); }

  // Empties the statements and the unfinished statement.
  void Clear();
  // Adds the statements of `text`. Throws Exception "Tokenizer is not defined" without a
  // tokenizer; the statements of the previous parse then remain.
  void ParseText(std::string_view text);

  // The complete statements, plus one when the unfinished statement is not empty.
  int StatementCount() const;
  // Counted from 0; index StatementCount() - 1 may be the unfinished statement. Throws
  // Exception "List index out of bounds (%d)" outside.
  const std::string& Statement(int index) const;
  const std::string& UncompletedStatement() const { return uncompleted_statement_; }

 private:
  std::string delimiter_ = ";";
  TZDelimiterType delimiter_type_ = dtDefault;
  bool cleanup_statements_ = true;
  std::shared_ptr<IZTokenizer> tokenizer_;
  std::vector<std::string> statements_;
  std::string uncompleted_statement_;
};

}  // namespace zered
