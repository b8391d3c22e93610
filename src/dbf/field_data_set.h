#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/format_settings.h"

namespace zered {

// The dataset a field object reads its value through: the current record image and the
// table's services. The table cursor (TDbf) is the one implementation; it outlives its
// fields.
class TDataSet {
 public:
  virtual ~TDataSet() = default;

  // The current record image, deletion flag first; empty when there is no current record.
  virtual std::string_view ActiveRecord() const = 0;
  // The regional settings that formatting and conversion use.
  virtual const TFormatSettings& FormatSettings() const = 0;
  // Translates the table text in `text[0, length)` (up to its first NUL) into the ANSI code
  // page, in place; returns the length of the result.
  virtual size_t TranslateText(char* text, size_t length) const = 0;
  // Translates a memo value into the ANSI code page in pieces of 512 bytes, each on its own.
  virtual void TranslateMemo(std::string& value) const = 0;
  // Replaces `out` with the data of memo block `block`; empty for a block number of 0 or
  // below and when the table has no memo file.
  virtual void ReadMemo(int64_t block, std::string& out) const = 0;
};

}  // namespace zered
