#include "sql/tz_mysql_tokenizer_states.h"

namespace zered {

namespace {

unsigned char ByteAt(std::string_view text, size_t pos) {
  return static_cast<unsigned char>(text[pos]);
}

bool IsDigit(unsigned char b) { return b >= '0' && b <= '9'; }
bool IsOctalDigit(unsigned char b) { return b >= '0' && b <= '7'; }

bool IsHexDigit(unsigned char b) {
  return IsDigit(b) || (b >= 'a' && b <= 'f') || (b >= 'A' && b <= 'F');
}

bool IsWordByte(unsigned char b) {
  return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || IsDigit(b) || b == '_' || b == '$' ||
         b >= 192;
}

bool IsLineBreak(unsigned char b) { return b == '\r' || b == '\n'; }

size_t SkipDigits(std::string_view text, size_t pos) {
  while (pos < text.size() && IsDigit(ByteAt(text, pos))) ++pos;
  return pos;
}

bool EqualsUpperAscii(std::string_view word, std::string_view upper) {
  if (word.size() != upper.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    unsigned char b = ByteAt(word, i);
    if (b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 'a' + 'A');
    if (b != static_cast<unsigned char>(upper[i])) return false;
  }
  return true;
}

// Up to and including the first CR or LF, plus a second CR or LF right after it.
size_t SkipRestOfLine(std::string_view text, size_t pos) {
  while (pos < text.size() && !IsLineBreak(ByteAt(text, pos))) ++pos;
  if (pos < text.size()) ++pos;
  if (pos < text.size() && IsLineBreak(ByteAt(text, pos))) ++pos;
  return pos;
}

// Up to and including the first "*/" at or after `pos`, else to the end of the text.
size_t SkipRestOfBlock(std::string_view text, size_t pos) {
  while (pos + 1 < text.size()) {
    if (text[pos] == '*' && text[pos + 1] == '/') return pos + 2;
    ++pos;
  }
  return text.size();
}

}  // namespace

TZTokenType TZWhitespaceState::NextToken(std::string_view text, size_t& pos,
                                         const TZTokenizer& /*tokenizer*/) const {
  ++pos;
  while (pos < text.size() && ByteAt(text, pos) <= 32) ++pos;
  return ttWhitespace;
}

const TZSymbolNode* TZSymbolNode::FindChild(unsigned char byte) const {
  if (byte < children_.size() && children_[byte]->Byte() == byte) return children_[byte].get();
  for (const auto& child : children_) {
    if (child->Byte() == byte) return child.get();
  }
  return nullptr;
}

TZSymbolNode& TZSymbolNode::EnsureChild(unsigned char byte) {
  if (const TZSymbolNode* found = FindChild(byte)) return const_cast<TZSymbolNode&>(*found);
  children_.push_back(std::make_unique<TZSymbolNode>(byte, this));
  return *children_.back();
}

TZSymbolRootNode::TZSymbolRootNode() : TZSymbolNode(0, nullptr) {
  for (unsigned b = 0; b < 256; ++b) EnsureChild(static_cast<unsigned char>(b)).SetValid(true);
}

void TZSymbolRootNode::Add(std::string_view symbol) {
  TZSymbolNode* node = this;
  for (char c : symbol) node = &node->EnsureChild(static_cast<unsigned char>(c));
  node->SetValid(true);
}

TZMySQLSymbolState::TZMySQLSymbolState() {
  for (std::string_view symbol : {"<=", ">=", "<>", "<<", ">>", ":="}) root_.Add(symbol);
}

TZTokenType TZMySQLSymbolState::NextToken(std::string_view text, size_t& pos,
                                          const TZTokenizer& /*tokenizer*/) const {
  const TZSymbolNode* node = root_.FindChild(ByteAt(text, pos));
  size_t end = pos + 1;
  size_t longest = end;
  while (node != nullptr && end < text.size()) {
    node = node->FindChild(ByteAt(text, end));
    if (node == nullptr) break;
    ++end;
    if (node->Valid()) longest = end;
  }
  pos = longest;
  return ttSymbol;
}

TZTokenType TZMySQLWordState::NextToken(std::string_view text, size_t& pos,
                                        const TZTokenizer& /*tokenizer*/) const {
  const size_t start = pos;
  ++pos;
  while (pos < text.size() && IsWordByte(ByteAt(text, pos))) ++pos;
  const std::string_view word = text.substr(start, pos - start);
  for (std::string_view keyword :
       {"AND", "OR", "NOT", "XOR", "LIKE", "IS", "NULL", "TRUE", "FALSE"}) {
    if (EqualsUpperAscii(word, keyword)) return ttKeyword;
  }
  return ttWord;
}

TZTokenType TZMySQLNumberState::NextToken(std::string_view text, size_t& pos,
                                          const TZTokenizer& tokenizer) const {
  const size_t start = pos;
  size_t end = pos + 1;
  bool is_float = false;
  if (text[start] == '.') {
    end = SkipDigits(text, end);
    is_float = true;
  } else {
    end = SkipDigits(text, end);
    if (end < text.size() && text[end] == '.') {
      end = SkipDigits(text, end + 1);
      is_float = true;
    }
  }
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    // Without a digit or sign after it the "e" begins the next token (12e is 12 and "e").
    const size_t e = end;
    if (e + 1 < text.size() &&
        (IsDigit(ByteAt(text, e + 1)) || text[e + 1] == '+' || text[e + 1] == '-')) {
      end = SkipDigits(text, e + 2);
    }
    is_float = true;
  }
  bool is_hex = false;
  if (end - start == 1 && text[start] == '0' && end < text.size() &&
      (text[end] == 'x' || text[end] == 'X')) {
    ++end;
    while (end < text.size() && IsHexDigit(ByteAt(text, end))) ++end;
    is_hex = true;
  }
  if (end - start == 1 && text[start] == '.') {
    return tokenizer.SymbolState().NextToken(text, pos, tokenizer);
  }
  pos = end;
  if (is_hex) return ttHexDecimal;
  return is_float ? ttFloat : ttInteger;
}

TZTokenType TZMySQLQuoteState::NextToken(std::string_view text, size_t& pos,
                                         const TZTokenizer& /*tokenizer*/) const {
  const unsigned char quote = ByteAt(text, pos);
  constexpr int kNone = -1;
  int previous = kNone;
  ++pos;
  while (pos < text.size()) {
    const unsigned char b = ByteAt(text, pos);
    if (previous == quote && b != quote) break;
    ++pos;
    if (previous == '\\' || (previous == quote && b == quote)) {
      previous = kNone;
    } else {
      previous = b;
    }
  }
  return quote == '`' ? ttQuotedIdentifier : ttQuoted;
}

std::string TZMySQLQuoteState::Decode(std::string_view value, char quote) {
  if ((quote != '"' && quote != '\'' && quote != '`') || value.size() < 2 ||
      value.front() != quote || value.back() != quote) {
    return std::string(value);
  }
  const std::string_view inner = value.substr(1, value.size() - 2);
  std::string result;
  result.reserve(inner.size());
  size_t i = 0;
  while (i < inner.size()) {
    if (inner[i] != '\\' || i + 1 >= inner.size()) {
      result += inner[i++];
      continue;
    }
    const unsigned char escaped = ByteAt(inner, i + 1);
    switch (escaped) {
      case 'n':
        result += '\n';
        break;
      case 'r':
        result += '\r';
        break;
      case 't':
        result += '\t';
        break;
      default:
        // Three octal digits give one byte; anything shorter stands for itself.
        if (i + 3 < inner.size() && IsOctalDigit(escaped) && IsOctalDigit(ByteAt(inner, i + 2)) &&
            IsOctalDigit(ByteAt(inner, i + 3))) {
          const unsigned code = (escaped - '0') * 64u + (ByteAt(inner, i + 2) - '0') * 8u +
                                (ByteAt(inner, i + 3) - '0');
          result += static_cast<char>(code & 0xFFu);
          i += 4;
          continue;
        }
        result += static_cast<char>(escaped);
        break;
    }
    i += 2;
  }
  return result;
}

TZTokenType TZMySQLCommentState::NextToken(std::string_view text, size_t& pos,
                                           const TZTokenizer& tokenizer) const {
  const char first = text[pos];
  const bool has_next = pos + 1 < text.size();
  if (first == '-' && has_next && text[pos + 1] == '-') {
    pos = SkipRestOfLine(text, pos + 2);
    return ttComment;
  }
  if (first == '#') {
    pos = SkipRestOfLine(text, pos + 1);
    return ttComment;
  }
  if (first == '/' && has_next && text[pos + 1] == '*' && pos + 2 < text.size()) {
    const char c = text[pos + 2];
    if (c == '!') {
      pos = SkipRestOfBlock(text, pos + 3);
      return ttSymbol;
    }
    // The byte after "/*" may be the "*" of "*/": "/**/" is a complete empty comment and must
    // not swallow the rest of the script.
    pos = SkipRestOfBlock(text, c == '*' ? pos + 2 : pos + 3);
    return ttComment;
  }
  return tokenizer.SymbolState().NextToken(text, pos, tokenizer);
}

}  // namespace zered
