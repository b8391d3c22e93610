#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zered {

// Kind of a token read from SQL text.
enum TZTokenType {
  ttEOF,  // the empty token that ends a list
  ttUnknown,
  ttInteger,
  ttFloat,
  ttHexDecimal,
  ttNumber,  // any number, when numbers are unified
  ttSymbol,
  ttQuoted,
  ttQuotedIdentifier,
  ttWord,
  ttKeyword,
  ttWhitespace,
  ttComment,
};

// Options of Tokenize, combined with "|".
enum TZTokenOption : unsigned {
  toSkipUnknown = 1u << 0,
  toSkipWhitespaces = 1u << 1,
  toSkipComments = 1u << 2,
  toSkipEOF = 1u << 3,
  toUnifyWhitespaces = 1u << 4,
  toUnifyNumbers = 1u << 5,
  toDecodeStrings = 1u << 6,
};
using TZTokenOptions = unsigned;

struct TZToken {
  std::string value;
  TZTokenType kind = ttUnknown;
};
using TZTokenList = std::vector<TZToken>;

// The tokenizer as its users see it. Implementations are immutable after construction, so one
// instance may be shared by every user.
class IZTokenizer {
 public:
  virtual ~IZTokenizer() = default;

  // A new token list over `text` (bytes, no locale). Without options the values of the tokens
  // joined give `text` back.
  virtual TZTokenList Tokenize(std::string_view text, TZTokenOptions options) const = 0;

  // A quoted value without its enclosing `quote` bytes and with its backslash sequences
  // decoded; any other value unchanged.
  virtual std::string Decode(std::string_view value, char quote) const = 0;
};

class TZTokenizer;

// Reads one token. `pos` points at the token's first byte (pos < text.size()); the state moves
// it past the last byte it keeps (at least one byte) and returns the token's kind.
class TZTokenizerState {
 public:
  virtual ~TZTokenizerState() = default;
  virtual TZTokenType NextToken(std::string_view text, size_t& pos,
                                const TZTokenizer& tokenizer) const = 0;
};

// Table-driven tokenizer: each first byte names the state that reads the token. Derived
// classes own the states and fill the table; this class applies the options.
class TZTokenizer : public IZTokenizer {
 public:
  TZTokenList Tokenize(std::string_view text, TZTokenOptions options) const override;

  // The state that reads symbols; other states hand bytes over to it.
  virtual const TZTokenizerState& SymbolState() const = 0;

 protected:
  // A byte without a state yields a one-byte ttUnknown token.
  void SetCharacterState(unsigned first, unsigned last, const TZTokenizerState* state);
  // Tokens read by this state are passed through Decode under toDecodeStrings.
  void SetQuoteState(const TZTokenizerState* state) { quote_state_ = state; }

 private:
  std::array<const TZTokenizerState*, 256> character_states_{};
  const TZTokenizerState* quote_state_ = nullptr;
};

}  // namespace zered
