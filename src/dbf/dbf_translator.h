#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "dbf/dbf_globals.h"

namespace zered {

// How a table's text is converted to the ANSI code page when it is read.
enum TDbfTranslationMode {
  tmNoneNeeded,   // the table is in the ANSI code page
  tmOem,          // the table is in the OEM code page: OEM-to-ANSI conversion
  tmUnicode,      // an installed code page: through UTF-16
  tmUnavailable,  // a code page that is not installed: text stays as stored
};

// What to do with a table whose code page is not installed.
enum TDbfLanguageAction { laReadOnly, laForceOEM, laForceANSI, laDefault };

// Asked when the mode would be unavailable; `action` starts as laReadOnly.
using TDbfLanguageWarningEvent = std::function<void(TDbfLanguageAction& action)>;

// Replaces the translation: converts the NUL-ended text `source` into `dest` (the same
// buffer when reading), toward the table's code page when `to_table`. Returns the result's
// length, -1 for "up to the first NUL of `dest`".
using TTranslateEvent = std::function<int(const char* source, char* dest, bool to_table)>;

// The translation of one open table: decided at open from the table's code page, then used
// for every text and memo value read.
class TDbfTranslator {
 public:
  // The largest value, in UTF-16 units, that is converted through UTF-16; a longer value
  // stays as stored.
  static constexpr int kMaxUnicodeUnits = 1024;
  // Memo values are translated in pieces of this many bytes.
  static constexpr size_t kMemoPieceSize = 512;

  TDbfTranslator() = default;

  // Decides the code page in use (the file code page, or the default open code page when it
  // is 0) and the mode, in this order: ANSI (none needed), OEM, installed (Unicode), else
  // unavailable, which asks `on_language_warning` when assigned. `globals` must outlive
  // this object.
  void Determine(int file_code_page, const TDbfGlobals& globals,
                 const TDbfLanguageWarningEvent& on_language_warning = {});

  TDbfTranslationMode Mode() const { return mode_; }
  int UseCodePage() const { return use_code_page_; }
  void SetOnTranslate(TTranslateEvent on_translate) { on_translate_ = std::move(on_translate); }

  // Translates the text in `data[0, size)` up to its first NUL into the ANSI code page, in
  // place. The buffer's length never changes; when the result is shorter, the rest is
  // filled with NUL bytes. Returns the result's length (up to its first NUL).
  size_t Translate(char* data, size_t size) const;

  // Translates a memo value in consecutive pieces of at most kMemoPieceSize bytes, each on
  // its own: the text of a piece ends at its first NUL, the bytes from that NUL to the
  // piece's end stay as stored.
  void TranslateMemo(std::string& value) const;

 private:
  const TDbfGlobals* globals_ = nullptr;
  TDbfTranslationMode mode_ = tmNoneNeeded;
  int use_code_page_ = 0;
  TTranslateEvent on_translate_;
};

}  // namespace zered
