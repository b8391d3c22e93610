#pragma once

#include <cstdint>
#include <string_view>

#include "base/field_type.h"

namespace zered {

// How level 7 timestamps (type letter @) are read.
enum TDateTimeHandling { dtDateTime, dtBDETimeStamp };

// What the decoder needs to know about a stored field besides its bytes.
struct TFieldCoding {
  // The upper-case type letter ('C', 'N', ..., '0' or the byte 0x91).
  char native_type = 'C';
  // 3, 4, 7 or 25.
  int table_level = 25;
  // The adjusted size: the number of bytes a value is read from.
  int size = 0;
  TDateTimeHandling date_time_handling = dtBDETimeStamp;
};

// A decoded field value. Which member holds it follows from the type letter and the wanted
// kind: `integer` for the integer kinds, memo block numbers and the ten-thousandths of a Y
// amount; `number` for floats, Y amounts (as a double) and date-and-time values; `boolean`;
// `text` for ftString, a view into the bytes passed to the decoder (valid as long as they
// are). Nothing is set when `empty`.
struct TFieldValue {
  bool empty = true;
  int64_t integer = 0;
  double number = 0;
  bool boolean = false;
  std::string_view text;
};

// True for the type letters whose bytes are a binary value rather than text.
bool IsBinaryStorage(const TFieldCoding& coding);

// Decodes the stored bytes of one field as `wanted` (the field's own kind; ftInteger for
// the block number of a memo, blob or OLE field). `bytes` must not reach beyond the record;
// a binary value with fewer bytes than it needs reads as empty. `decimal_separator` is the
// system's: "." is always accepted as the decimal point of a float. Never changes `bytes`.
// Throws EConvertError "'%d.%d' is not a valid timestamp" for an impossible T or @ value.
TFieldValue DecodeFieldValue(const TFieldCoding& coding, std::string_view bytes, TFieldType wanted,
                             char decimal_separator);

}  // namespace zered
