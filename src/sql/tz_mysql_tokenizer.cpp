#include "sql/tz_mysql_tokenizer.h"

namespace zered {

TZMySQLTokenizer::TZMySQLTokenizer() {
  SetCharacterState(0, 255, &symbol_state_);
  SetCharacterState(0, 32, &whitespace_state_);
  SetCharacterState('a', 'z', &word_state_);
  SetCharacterState('A', 'Z', &word_state_);
  SetCharacterState('_', '_', &word_state_);
  SetCharacterState('$', '$', &word_state_);
  SetCharacterState(192, 255, &word_state_);
  SetCharacterState('0', '9', &number_state_);
  SetCharacterState('.', '.', &number_state_);
  for (unsigned char quote : {'"', '\'', '`'}) SetCharacterState(quote, quote, &quote_state_);
  for (unsigned char first : {'/', '#', '-'}) SetCharacterState(first, first, &comment_state_);
  SetQuoteState(&quote_state_);
}

std::string TZMySQLTokenizer::Decode(std::string_view value, char quote) const {
  return TZMySQLQuoteState::Decode(value, quote);
}

std::shared_ptr<IZTokenizer> SharedMySQLTokenizer() {
  static const std::shared_ptr<IZTokenizer> instance = std::make_shared<TZMySQLTokenizer>();
  return instance;
}

}  // namespace zered
