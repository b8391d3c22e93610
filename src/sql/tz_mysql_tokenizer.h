#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sql/tz_mysql_tokenizer_states.h"
#include "sql/tz_tokenizer.h"

namespace zered {

// The tokenizer for MySQL's SQL dialect. Every byte value has a state:
//   0-32 whitespace; letters, "_", "$", 192-255 word; digits and "." number;
//   " ' ` quote; "/" "#" "-" comment; everything else symbol.
// Immutable after construction; the driver creates one instance and shares it.
class TZMySQLTokenizer : public TZTokenizer {
 public:
  TZMySQLTokenizer();

  std::string Decode(std::string_view value, char quote) const override;
  const TZTokenizerState& SymbolState() const override { return symbol_state_; }

 private:
  TZWhitespaceState whitespace_state_;
  TZMySQLWordState word_state_;
  TZMySQLNumberState number_state_;
  TZMySQLQuoteState quote_state_;
  TZMySQLCommentState comment_state_;
  TZMySQLSymbolState symbol_state_;
};

// One process-wide instance, created on first use, for users without a connection.
std::shared_ptr<IZTokenizer> SharedMySQLTokenizer();

}  // namespace zered
