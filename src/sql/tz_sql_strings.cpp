#include "sql/tz_sql_strings.h"

#include "base/exceptions.h"
#include "platform/files.h"
#include "sql/tz_mysql_tokenizer.h"
#include "sql/tz_script_utils.h"

namespace zered {

std::string TZSQLStrings::Text() const { return JoinLinesCrLf(lines_); }

void TZSQLStrings::SetText(std::string_view text) {
  // A zero byte is kept like any other byte: cutting the text there could turn
  // "DELETE FROM t <NUL>WHERE ..." into a statement that deletes every row.
  lines_ = SplitLines(text);
  Changed();
}

void TZSQLStrings::SetLines(TextLines lines) {
  lines_ = std::move(lines);
  Changed();
}

void TZSQLStrings::Add(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
}

void TZSQLStrings::Clear() {
  lines_.clear();
  Changed();
}

void TZSQLStrings::LoadFromFile(const std::string& path) { SetText(ReadWholeFile(path)); }

void TZSQLStrings::SetParamCheck(bool value) {
  param_check_ = value;
  Rebuild();
}

void TZSQLStrings::SetMultiStatements(bool value) {
  multi_statements_ = value;
  Rebuild();
}

int TZSQLStrings::FindParam(std::string_view name) const {
  for (size_t i = 0; i < param_names_.size(); ++i) {
    if (SameTextAscii(param_names_[i], name)) return static_cast<int>(i);
  }
  return -1;
}

void TZSQLStrings::Changed() {
  Rebuild();
  if (OnChange) OnChange(*this);
}

void TZSQLStrings::Rebuild() {
  param_names_.clear();
  statements_.clear();
  const std::string text = Text();
  if (TrimBytes(text).empty()) return;

  const bool has_colon = text.find(':') != std::string::npos;
  const bool has_semicolon = text.find(';') != std::string::npos;
  if ((!param_check_ || !has_colon) && (!multi_statements_ || !has_semicolon)) {
    statements_.push_back(TZSQLStatement{text, {}});
    return;
  }

  std::shared_ptr<IZTokenizer> tokenizer = owner_ ? owner_->GetStringsTokenizer() : nullptr;
  if (!tokenizer) tokenizer = SharedMySQLTokenizer();
  const TZTokenList tokens = tokenizer->Tokenize(text, toSkipComments | toUnifyWhitespaces);

  std::vector<std::string> names;
  std::vector<TZSQLStatement> statements;
  std::string sql;
  std::vector<int> indices;
  auto end_statement = [&] {
    TrimInPlace(sql);
    if (!sql.empty()) statements.push_back(TZSQLStatement{std::move(sql), std::move(indices)});
    sql.clear();
    indices.clear();
  };
  for (size_t i = 0; i < tokens.size(); ++i) {
    const TZToken* token = &tokens[i];
    if (param_check_ && token->value == ":") {
      if (i + 1 >= tokens.size()) break;
      token = &tokens[++i];
      if (token->kind != ttEOF && token->value != ":") {
        if (token->kind != ttWord && token->kind != ttQuoted) {
          throw EZDatabaseError("Incorrect token followed by \":\"");
        }
        std::string name = token->value;
        const char first = name.front();
        if (first == '"' || first == '\'' || first == '[' || first == '`') {
          name = tokenizer->Decode(name, first);
        }
        size_t index = 0;
        while (index < names.size() && !SameTextAscii(names[index], name)) ++index;
        if (index == names.size()) names.push_back(std::move(name));
        indices.push_back(static_cast<int>(index));
        sql += '?';
        continue;
      }
    }
    if (token->kind == ttEOF || (multi_statements_ && token->value == ";")) {
      end_statement();
      if (token->kind == ttEOF) break;
    } else {
      sql += token->value;
    }
  }
  end_statement();  // a tokenizer that gives no end token
  param_names_ = std::move(names);
  statements_ = std::move(statements);
}

}  // namespace zered
