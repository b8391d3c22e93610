#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sql/tz_tokenizer.h"

// The states of the MySQL tokenizer. They are small and only meaningful together, so they
// share this header. Every state reads bytes, never characters; no locale is involved.

namespace zered {

// Bytes 0 to 32 in a run.
class TZWhitespaceState : public TZTokenizerState {
 public:
  TZTokenType NextToken(std::string_view text, size_t& pos,
                        const TZTokenizer& tokenizer) const override;
};

// A node of the symbol tree: one byte of a symbol. Owns its children.
class TZSymbolNode {
 public:
  TZSymbolNode(unsigned char byte, const TZSymbolNode* parent) : byte_(byte), parent_(parent) {}
  virtual ~TZSymbolNode() = default;

  unsigned char Byte() const { return byte_; }
  const TZSymbolNode* Parent() const { return parent_; }
  bool Valid() const { return valid_; }
  void SetValid(bool valid) { valid_ = valid; }

  const TZSymbolNode* FindChild(unsigned char byte) const;
  // The child for `byte`, created (not valid) when missing.
  TZSymbolNode& EnsureChild(unsigned char byte);

 private:
  unsigned char byte_;
  const TZSymbolNode* parent_;
  bool valid_ = false;
  // Few nodes have children; the root has all 256, created in byte order.
  std::vector<std::unique_ptr<TZSymbolNode>> children_;
};

// The root: one valid child per byte value, so every single byte is a symbol.
class TZSymbolRootNode : public TZSymbolNode {
 public:
  TZSymbolRootNode();
  // Makes `symbol` (two bytes or more) a valid symbol.
  void Add(std::string_view symbol);
};

// The longest known symbol at the position: "<=", ">=", "<>", "<<", ">>", ":=" or one byte.
class TZMySQLSymbolState : public TZTokenizerState {
 public:
  TZMySQLSymbolState();
  TZTokenType NextToken(std::string_view text, size_t& pos,
                        const TZTokenizer& tokenizer) const override;

 private:
  TZSymbolRootNode root_;
};

// Letters, digits, "_", "$" and bytes 192 to 255; AND OR NOT XOR LIKE IS NULL TRUE FALSE in
// any ASCII case are keywords.
class TZMySQLWordState : public TZTokenizerState {
 public:
  TZTokenType NextToken(std::string_view text, size_t& pos,
                        const TZTokenizer& tokenizer) const override;
};

// Integers, floats (fraction, exponent) and 0x hex numbers; a lone "." is a symbol.
class TZMySQLNumberState : public TZTokenizerState {
 public:
  TZTokenType NextToken(std::string_view text, size_t& pos,
                        const TZTokenizer& tokenizer) const override;
};

// Text in single or double quotes (ttQuoted) or backticks (ttQuotedIdentifier). A backslash
// protects the byte after it and a doubled quote byte stays inside; an unclosed quote runs to
// the end of the text.
class TZMySQLQuoteState : public TZTokenizerState {
 public:
  TZTokenType NextToken(std::string_view text, size_t& pos,
                        const TZTokenizer& tokenizer) const override;

  // For `quote` one of " ' `: a value of two bytes or more enclosed in `quote` loses them and
  // gets \n \r \t, three octal digits and \<byte> decoded. Doubled quotes stay doubled.
  static std::string Decode(std::string_view value, char quote);
};

// "--" and "#" comments to the end of the line (line break included), "/* */" comments;
// "/*!" version comments are kept as symbols. A lone "-" or "/" is a symbol.
class TZMySQLCommentState : public TZTokenizerState {
 public:
  TZTokenType NextToken(std::string_view text, size_t& pos,
                        const TZTokenizer& tokenizer) const override;
};

}  // namespace zered
