#include "sql/tz_sql_script_parser.h"

#include <algorithm>

#include "base/exceptions.h"
#include "base/format.h"
#include "sql/tz_script_utils.h"

namespace zered {

namespace {

bool IsText(const TZToken& token) { return token.kind != ttWhitespace && token.kind != ttEOF; }

size_t CountLineFeeds(std::string_view text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

void TZSQLScriptParser::Clear() {
  statements_.clear();
  uncompleted_statement_.clear();
}

int TZSQLScriptParser::StatementCount() const {
  return static_cast<int>(statements_.size()) + (uncompleted_statement_.empty() ? 0 : 1);
}

const std::string& TZSQLScriptParser::Statement(int index) const {
  if (index >= 0 && static_cast<size_t>(index) < statements_.size()) return statements_[index];
  if (index >= 0 && static_cast<size_t>(index) == statements_.size() &&
      !uncompleted_statement_.empty()) {
    return uncompleted_statement_;
  }
  throw Exception(Format("List index out of bounds (%d)", index));
}

void TZSQLScriptParser::ParseText(std::string_view text) {
  if (!tokenizer_) throw Exception("Tokenizer is not defined");
  const TZTokenList tokens = tokenizer_->Tokenize(
      text, cleanup_statements_ ? TZTokenOptions{toSkipComments} : TZTokenOptions{0});

  std::string statement = uncompleted_statement_;
  if (!statement.empty()) statement += cleanup_statements_ ? ' ' : '\n';
  uncompleted_statement_.clear();
  statements_.clear();

  size_t i = 0;
  while (i < tokens.size()) {
    bool ends = false;
    switch (delimiter_type_) {
      case dtDefault:
        ends = tokens[i].value == ";";
        break;
      case dtGo:
        ends = SameTextAscii(tokens[i].value, "GO");
        break;
      case dtSetTerm:
        if (IsText(tokens[i])) {
          // A delimiter of several bytes may be read as several tokens ("^^" or "!!").
          std::string term = tokens[i].value;
          bool last_appended = true;
          while (!delimiter_.empty() && !term.empty() && delimiter_[0] == term[0] &&
                 delimiter_.size() > term.size() && IsText(tokens[i]) && i + 1 < tokens.size()) {
            ++i;
            last_appended = IsText(tokens[i]);
            if (last_appended) term += tokens[i].value;
          }
          ends = term == delimiter_;
          if (!ends) {
            statement += last_appended ? std::string_view(term).substr(
                                             0, term.size() - tokens[i].value.size())
                                       : std::string_view(term);
          }
        }
        break;
      case dtEmptyLine:
        if (tokens[i].kind == ttWhitespace) {
          std::string blank = tokens[i].value;
          while (CountLineFeeds(blank) < 2 && tokens[i].kind == ttWhitespace &&
                 i + 1 < tokens.size()) {
            ++i;
            if (tokens[i].kind == ttWhitespace) blank += tokens[i].value;
          }
          ends = tokens[i].kind == ttWhitespace || (!statement.empty() && statement.back() == '\n');
          if (!ends && !statement.empty()) {
            TrimInPlace(statement);
            statement += ' ';
          }
        }
        break;
    }

    const TZToken& token = tokens[i];
    if (token.kind == ttEOF) break;

    if (ends) {
      if (cleanup_statements_) TrimInPlace(statement);
      if (!statement.empty()) {
        const std::string_view trimmed = TrimBytes(statement);
        if (delimiter_type_ == dtSetTerm && StartsWithTextAscii(trimmed, "SET TERM ")) {
          delimiter_ = trimmed.substr(9);
        } else {
          if (delimiter_type_ == dtEmptyLine && statement.back() == ';') statement.pop_back();
          if (cleanup_statements_) TrimInPlace(statement);
          if (!statement.empty()) statements_.push_back(std::move(statement));
        }
      }
      statement.clear();
      // An empty line found after a line comment ends the statement at the token that follows
      // it; that token starts the next statement instead of being lost.
      if (delimiter_type_ == dtEmptyLine && token.kind != ttWhitespace) continue;
      ++i;
      continue;
    }

    if (cleanup_statements_ && token.kind == ttWhitespace) {
      if (!statement.empty()) {
        TrimInPlace(statement);
        statement += ' ';
      }
      ++i;
      continue;
    }

    std::string_view value = token.value;
    if (token.kind == ttWhitespace && !value.empty()) {
      const bool next_is_last = i + 2 >= tokens.size();
      const bool drop = statement.empty() || next_is_last || tokens[i + 1].kind == ttWhitespace ||
                        tokens[i + 1].value == delimiter_;
      if (drop) value = {};
    }
    if (statement.empty() && TrimBytes(value).empty()) value = {};
    statement += value;
    ++i;
  }

  if (cleanup_statements_) TrimInPlace(statement);
  if (!statement.empty()) uncompleted_statement_ = std::move(statement);
}

}  // namespace zered
