#include "sql/tz_mysql_local_infile_gate.h"

#include <cstring>
#include <memory>

#include "base/exceptions.h"
#include "base/format.h"
#include "platform/files.h"

namespace zered {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsWordByte(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || b >= 128;
}

// Skips blanks and comments; a "/*!" version comment is statement text and stops the skip.
void SkipBlanksAndComments(std::string_view sql, size_t& pos) {
  while (pos < sql.size()) {
    if (IsBlank(sql[pos])) {
      ++pos;
    } else if (sql[pos] == '#' || sql.substr(pos, 2) == "--") {
      while (pos < sql.size() && sql[pos] != '\n' && sql[pos] != '\r') ++pos;
    } else if (sql.substr(pos, 2) == "/*" && sql.substr(pos, 3) != "/*!") {
      size_t end = sql.find("*/", pos + 2);
      pos = end == std::string_view::npos ? sql.size() : end + 2;
    } else {
      return;
    }
  }
}

// Reads the next word and compares it with `upper` without regard to ASCII case.
bool ReadWord(std::string_view sql, size_t& pos, std::string_view upper) {
  SkipBlanksAndComments(sql, pos);
  size_t start = pos;
  while (pos < sql.size() && IsWordByte(sql[pos])) ++pos;
  std::string_view word = sql.substr(start, pos - start);
  if (word.size() != upper.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (UpperAscii(word[i]) != upper[i]) return false;
  }
  return true;
}

// A quoted string literal as the server reads it with backslash escapes on.
bool ReadStringLiteral(std::string_view sql, size_t& pos, std::string& value) {
  SkipBlanksAndComments(sql, pos);
  if (pos >= sql.size() || (sql[pos] != '\'' && sql[pos] != '"')) return false;
  char quote = sql[pos++];
  value.clear();
  while (pos < sql.size()) {
    char c = sql[pos++];
    if (c == quote) {
      if (pos < sql.size() && sql[pos] == quote) {
        value += quote;
        ++pos;
        continue;
      }
      return true;
    }
    if (c == '\\') {
      if (pos >= sql.size()) return false;
      char e = sql[pos++];
      switch (e) {
        case '0':
          value += '\0';
          break;
        case 'b':
          value += '\b';
          break;
        case 'n':
          value += '\n';
          break;
        case 'r':
          value += '\r';
          break;
        case 't':
          value += '\t';
          break;
        case 'Z':
          value += '\x1a';
          break;
        case '%':
        case '_':
          value += '\\';
          value += e;
          break;
        default:
          value += e;
          break;
      }
      continue;
    }
    value += c;
  }
  return false;  // unterminated
}

// One local-file request: the file being served or the reason it is refused.
struct Transfer {
  std::unique_ptr<TReadOnlyFile> file;
  uint64_t offset = 0;
  unsigned int error_code = 0;
  std::string error;
};

void CopyMessage(const std::string& text, char* buffer, unsigned int size) {
  if (buffer == nullptr || size == 0) return;
  size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

int InfileInit(void** state, const char* file_name, void* user_data) noexcept {
  auto* transfer = new (std::nothrow) Transfer;
  if (state != nullptr) *state = transfer;
  if (transfer == nullptr) return 1;
  try {
    auto* gate = static_cast<TZMySQLLocalInfileGate*>(user_data);
    std::string requested = file_name != nullptr ? file_name : "";
    if (gate == nullptr || !gate->Serves(requested)) {
      transfer->error_code = TZMySQLLocalInfileGate::kRefusedErrorCode;
      transfer->error = Format(
          "The server asked for the local file \"%s\", which the statement does not name; "
          "the request was refused",
          requested.c_str());
      return 1;
    }
    transfer->file = std::make_unique<TReadOnlyFile>(requested);
    return 0;
  } catch (const Exception& e) {
    transfer->error_code = TZMySQLLocalInfileGate::kRefusedErrorCode;
    transfer->error = e.Message();
  } catch (...) {
    transfer->error_code = TZMySQLLocalInfileGate::kRefusedErrorCode;
    transfer->error = "The local file cannot be read";
  }
  return 1;
}

int InfileRead(void* state, char* buffer, unsigned int size) noexcept {
  auto* transfer = static_cast<Transfer*>(state);
  if (transfer == nullptr || !transfer->file) return -1;
  try {
    size_t n = transfer->file->ReadAt(transfer->offset, buffer, size);
    transfer->offset += n;
    return static_cast<int>(n);
  } catch (const Exception& e) {
    transfer->error_code = TZMySQLLocalInfileGate::kRefusedErrorCode;
    transfer->error = e.Message();
  } catch (...) {
    transfer->error_code = TZMySQLLocalInfileGate::kRefusedErrorCode;
    transfer->error = "The local file cannot be read";
  }
  return -1;
}

void InfileEnd(void* state) noexcept { delete static_cast<Transfer*>(state); }

int InfileError(void* state, char* message, unsigned int message_size) noexcept {
  auto* transfer = static_cast<Transfer*>(state);
  if (transfer == nullptr) {
    CopyMessage("Out of memory", message, message_size);
    return static_cast<int>(TZMySQLLocalInfileGate::kRefusedErrorCode);
  }
  CopyMessage(transfer->error, message, message_size);
  return static_cast<int>(transfer->error_code);
}

}  // namespace

TZMySQLLocalInfileCallbacks TZMySQLLocalInfileGate::Callbacks() {
  return {&InfileInit, &InfileRead, &InfileEnd, &InfileError, this};
}

void TZMySQLLocalInfileGate::BeginStatement(std::string_view sql) {
  executing_ = true;
  sql_.assign(sql);
}

void TZMySQLLocalInfileGate::EndStatement() {
  executing_ = false;
  sql_.clear();
}

bool TZMySQLLocalInfileGate::Serves(const std::string& requested) const {
  return executing_ && Allows(sql_, requested);
}

bool TZMySQLLocalInfileGate::LocalInfileName(std::string_view sql, std::string& file_name) {
  size_t pos = 0;
  if (!ReadWord(sql, pos, "LOAD") || !ReadWord(sql, pos, "DATA")) return false;
  size_t before_option = pos;
  if (!ReadWord(sql, pos, "LOW_PRIORITY")) {
    pos = before_option;
    if (!ReadWord(sql, pos, "CONCURRENT")) pos = before_option;
  }
  if (!ReadWord(sql, pos, "LOCAL") || !ReadWord(sql, pos, "INFILE")) return false;
  return ReadStringLiteral(sql, pos, file_name);
}

bool TZMySQLLocalInfileGate::Allows(std::string_view sql, const std::string& requested) {
  std::string named;
  if (!LocalInfileName(sql, named) || named.empty() || requested.empty()) return false;
  // A zero byte would cut the name the file is opened by.
  if (named.find('\0') != std::string::npos) return false;
  return ExpandFileName(named) == ExpandFileName(requested);
}

}  // namespace zered
