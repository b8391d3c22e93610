#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_lines.h"
#include "sql/tz_tokenizer.h"

namespace zered {

// One statement of a holder: the text sent to the server, with "?" for each :name, and per
// "?" in order the index of its name in the holder's parameter names.
struct TZSQLStatement {
  std::string sql;
  std::vector<int> param_indices;
};

// The holder's owner supplies the tokenizer of its connection's driver.
class IZSQLStringsOwner {
 public:
  virtual ~IZSQLStringsOwner() = default;
  // nullptr when the owner has no connection; the holder then uses the MySQL tokenizer.
  virtual std::shared_ptr<IZTokenizer> GetStringsTokenizer() const = 0;
};

// Statement text holder: SQL text as lines, from which it derives its statements and the
// names of their :name parameters. Both are recomputed once after every completed change of
// the lines, before OnChange is called.
//
// A text without ":" (or with the parameter check off) and without ";" (or with the statement
// split off) is one statement, its lines each followed by CR LF. Any other text is read
// through the tokenizer: comments vanish, whitespace runs become one blank, each :name
// becomes "?", "::" becomes ":", and ";" tokens split statements when the split is on.
class TZSQLStrings {
 public:
  using TNotifyEvent = std::function<void(TZSQLStrings& sender)>;

  TZSQLStrings() = default;
  TZSQLStrings(const TZSQLStrings&) = delete;
  TZSQLStrings& operator=(const TZSQLStrings&) = delete;

  const TextLines& Lines() const { return lines_; }
  int Count() const { return static_cast<int>(lines_.size()); }
  // The lines, each followed by CR LF.
  std::string Text() const;

  // Each of these is one change. A text is split at CR LF, a lone CR or a lone LF. They throw
  // EZDatabaseError "Incorrect token followed by ":"" when a parameter colon is followed by
  // anything but a name or a quoted name; the lines are changed all the same and the
  // statements and parameter names are left empty.
  void SetText(std::string_view text);
  void SetLines(TextLines lines);
  void Add(std::string line);
  void Clear();
  // Throws EFOpenError when the file cannot be read; the lines then stay as they were.
  void LoadFromFile(const std::string& path);

  bool ParamCheck() const { return param_check_; }
  // Recomputes.
  void SetParamCheck(bool value);
  bool MultiStatements() const { return multi_statements_; }
  // Recomputes.
  void SetMultiStatements(bool value);
  // Not owned; may be nullptr. Takes effect at the next change.
  void SetOwner(const IZSQLStringsOwner* owner) { owner_ = owner; }

  // Unique, compared without regard to ASCII case, in order of first appearance.
  const std::vector<std::string>& ParamNames() const { return param_names_; }
  int ParamCount() const { return static_cast<int>(param_names_.size()); }
  // -1 when absent.
  int FindParam(std::string_view name) const;

  const std::vector<TZSQLStatement>& Statements() const { return statements_; }
  int StatementCount() const { return static_cast<int>(statements_.size()); }

  // Called after each change, once the statements are recomputed.
  TNotifyEvent OnChange;

 private:
  void Changed();
  void Rebuild();

  TextLines lines_;
  bool param_check_ = true;
  bool multi_statements_ = true;
  const IZSQLStringsOwner* owner_ = nullptr;
  std::vector<std::string> param_names_;
  std::vector<TZSQLStatement> statements_;
};

}  // namespace zered
