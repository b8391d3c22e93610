// Arbitrary bytes through the SQL tokenizer (every option set), the script parser (every
// delimiter type, with and without cleanup) and the statement text holder.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/exceptions.h"
#include "sql/tz_mysql_tokenizer.h"
#include "sql/tz_sql_script_parser.h"
#include "sql/tz_sql_strings.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zered;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto tokenizer = SharedMySQLTokenizer();

  for (TZTokenOptions options = 0; options < 128; ++options) {
    const TZTokenList tokens = tokenizer->Tokenize(text, options);
    if (options == 0) {
      std::string joined;
      for (const TZToken& token : tokens) joined += token.value;
      Check(joined == text);
      Check(!tokens.empty() && tokens.back().kind == ttEOF);
    }
  }

  // The first line, when short, serves as the SET TERM delimiter.
  const std::string_view delimiter = text.substr(0, std::min<size_t>(text.find('\n'), 4));
  for (TZDelimiterType type : {dtDefault, dtGo, dtSetTerm, dtEmptyLine}) {
    for (bool cleanup : {false, true}) {
      TZSQLScriptParser parser;
      parser.SetTokenizer(tokenizer);
      parser.SetDelimiterType(type);
      parser.SetCleanupStatements(cleanup);
      if (type == dtSetTerm) parser.SetDelimiter(std::string(delimiter));
      parser.ParseText(text);
      parser.ParseText(text);  // the unfinished statement joins the second parse
      for (int i = 0; i < parser.StatementCount(); ++i) Check(!parser.Statement(i).empty());
    }
  }

  for (bool param_check : {false, true}) {
    for (bool split : {false, true}) {
      TZSQLStrings holder;
      holder.SetParamCheck(param_check);
      holder.SetMultiStatements(split);
      try {
        holder.SetText(text);
      } catch (const EZDatabaseError&) {
        continue;
      }
      for (const TZSQLStatement& statement : holder.Statements()) {
        for (int index : statement.param_indices) {
          Check(index >= 0 && index < holder.ParamCount());
        }
      }
    }
  }
  return 0;
}
