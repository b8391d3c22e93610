#include "sql/tz_tokenizer.h"

namespace zered {

namespace {

// The line break that ends a line comment, or one blank; a comment stands between the tokens
// around it, so dropping it must not glue them together ("a--c\nb" is not "ab").
std::string_view CommentSeparator(std::string_view comment) {
  size_t begin = comment.size();
  while (begin > 0 && (comment[begin - 1] == '\r' || comment[begin - 1] == '\n')) --begin;
  return begin < comment.size() ? comment.substr(begin) : std::string_view(" ");
}

}  // namespace

void TZTokenizer::SetCharacterState(unsigned first, unsigned last, const TZTokenizerState* state) {
  for (unsigned b = first; b <= last && b < character_states_.size(); ++b) {
    character_states_[b] = state;
  }
}

TZTokenList TZTokenizer::Tokenize(std::string_view text, TZTokenOptions options) const {
  TZTokenList tokens;
  TZTokenType previous_kind = ttUnknown;
  // Only a token directly before a word in the text may be merged with it.
  bool dropped_since_last = false;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t start = pos;
    const unsigned char first = static_cast<unsigned char>(text[pos]);
    const TZTokenizerState* state = character_states_[first];
    TZTokenType kind = ttUnknown;
    if (state == nullptr) {
      ++pos;
    } else {
      kind = state->NextToken(text, pos, *this);
      if (pos <= start) pos = start + 1;  // a state that reads nothing must not stall the loop
      if (pos > text.size()) pos = text.size();
    }
    std::string_view raw = text.substr(start, pos - start);

    if (kind == ttUnknown && (options & toSkipUnknown)) {
      dropped_since_last = true;
      continue;
    }
    std::string value;
    if ((options & toDecodeStrings) && state != nullptr && state == quote_state_) {
      value = Decode(raw, static_cast<char>(first));
    } else if (kind == ttComment && (options & toSkipComments)) {
      kind = ttWhitespace;
      value = CommentSeparator(raw);
    } else {
      value = raw;
    }
    if (kind == ttWhitespace && (options & toSkipWhitespaces)) {
      dropped_since_last = true;
      continue;
    }
    if (kind == ttWhitespace && (options & toUnifyWhitespaces)) {
      if (previous_kind == ttWhitespace) {
        dropped_since_last = true;
        continue;
      }
      value = " ";
    }
    if ((options & toUnifyNumbers) &&
        (kind == ttInteger || kind == ttFloat || kind == ttHexDecimal)) {
      kind = ttNumber;
    }
    if (kind == ttWord && previous_kind == ttInteger && !dropped_since_last && !tokens.empty()) {
      tokens.back().value += value;
      tokens.back().kind = ttWord;
    } else {
      tokens.push_back(TZToken{std::move(value), kind});
    }
    previous_kind = kind;
    dropped_since_last = false;
  }
  if (!(options & toSkipEOF)) tokens.push_back(TZToken{std::string(), ttEOF});
  return tokens;
}

}  // namespace zered
