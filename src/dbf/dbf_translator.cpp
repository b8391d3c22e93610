#include "dbf/dbf_translator.h"

#include <algorithm>
#include <cstring>

#include "platform/code_page_conversion.h"

namespace zered {

void TDbfTranslator::Determine(int file_code_page, const TDbfGlobals& globals,
                               const TDbfLanguageWarningEvent& on_language_warning) {
  globals_ = &globals;
  use_code_page_ = file_code_page != 0 ? file_code_page : globals.DefaultOpenCodePage();
  auto decide = [&] {
    if (use_code_page_ == globals.AnsiCodePage()) return tmNoneNeeded;
    if (use_code_page_ == globals.OemCodePage()) return tmOem;
    if (globals.CodePageInstalled(use_code_page_)) return tmUnicode;
    return tmUnavailable;
  };
  mode_ = decide();
  if (mode_ != tmUnavailable || !on_language_warning) return;
  TDbfLanguageAction action = laReadOnly;
  on_language_warning(action);
  switch (action) {
    case laReadOnly:
      break;
    case laForceOEM:
      use_code_page_ = globals.OemCodePage();
      mode_ = tmOem;
      break;
    case laForceANSI:
      use_code_page_ = globals.AnsiCodePage();
      mode_ = tmNoneNeeded;
      break;
    case laDefault:
      use_code_page_ = globals.DefaultOpenCodePage();
      mode_ = decide();
      break;
  }
}

size_t TDbfTranslator::Translate(char* data, size_t size) const {
  size_t length = std::find(data, data + size, '\0') - data;
  if (length == 0) return 0;
  if (on_translate_) {
    // The handler sees NUL-ended text and a destination of the value's size plus the NUL;
    // its result never passes the value's own bytes.
    std::string text(data, length);
    std::string dest(size + 1, '\0');
    std::copy(data, data + size, dest.begin());
    const int result = on_translate_(text.c_str(), dest.data(), false);
    length = result < 0 ? std::find(dest.begin(), dest.begin() + size, '\0') - dest.begin()
                        : std::min(static_cast<size_t>(result), size);
    std::copy(dest.begin(), dest.begin() + length, data);
    std::fill(data + length, data + size, '\0');
    return length;
  }
  if (globals_ == nullptr) return length;
  const int ansi = globals_->AnsiCodePage();
  const int source = mode_ == tmNoneNeeded ? ansi : use_code_page_;
  if (source == ansi) return length;
  if (source == globals_->OemCodePage()) {
    OemToCharBuff(globals_->Settings(), data, data, length);
    return std::find(data, data + length, '\0') - data;
  }
  char16_t wide[kMaxUnicodeUnits];
  const int units =
      MultiByteToWideChar(source, data, static_cast<int>(length), wide, kMaxUnicodeUnits);
  // Not installed, or longer than the UTF-16 buffer: the text stays as stored.
  if (units == 0) return length;
  const int written = WideCharToMultiByte(ansi, wide, units, data, static_cast<int>(length));
  // A multi-byte source gives a shorter result; what follows it is not text any more.
  std::fill(data + written, data + length, '\0');
  return static_cast<size_t>(written);
}

void TDbfTranslator::TranslateMemo(std::string& value) const {
  if (value.empty()) return;
  std::string result;
  result.reserve(value.size());
  char piece[kMemoPieceSize + 1];
  for (size_t start = 0; start < value.size(); start += kMemoPieceSize) {
    const size_t size = std::min(kMemoPieceSize, value.size() - start);
    std::memcpy(piece, value.data() + start, size);
    piece[size] = '\0';
    const size_t text = std::find(piece, piece + size, '\0') - piece;
    const size_t translated = text == 0 ? 0 : Translate(piece, text);
    result.append(piece, translated);
    result.append(value, start + text, size - text);
  }
  value = std::move(result);
}

}  // namespace zered
