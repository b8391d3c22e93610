#pragma once

#include <cstdint>
#include <string>

#include "base/field_type.h"

namespace zered {

// One field of a table, as its descriptor gives it.
//
// `Size()` and `Precision()` are adjusted to the field kind: a value is read from the
// `Size()` bytes at `Offset()` in the record. `StoredSize()` is the descriptor's length,
// which decides the offsets of the following fields. `Offset()` counts the deletion flag as
// byte 0, so the first field is at 1. A field with `FitsInRecord()` false passes the end of
// the record: its value is never read and counts as empty.
class TDbfFieldDef {
 public:
  TDbfFieldDef() = default;

  // Decides the kind from the type letter (either case), the stored length and decimals at
  // `table_level` (3, 4, 7 or 25) and adjusts size and precision. False when the letter has
  // no kind at that level (the table is then rejected). Sets the stored size too.
  bool AssignType(uint8_t letter, int length, int decimals, int table_level);

  const std::string& FieldName() const { return field_name_; }
  void SetFieldName(std::string name) { field_name_ = std::move(name); }
  TFieldType FieldType() const { return field_type_; }
  // The type letter, upper case ('C', 'N', ..., '0', or the byte 0x91).
  char NativeFieldType() const { return native_field_type_; }
  // Bit number in the null-flags field, -1 without one.
  int NullPosition() const { return null_position_; }
  int Size() const { return size_; }
  int Precision() const { return precision_; }
  bool Required() const { return required_; }
  int StoredSize() const { return stored_size_; }
  int Offset() const { return offset_; }
  bool FitsInRecord() const { return fits_in_record_; }
  // Table level 7 only: next autoincrement value and the field properties (raw bytes, at
  // most the field's length each; empty when absent).
  int64_t AutoIncNext() const { return auto_inc_next_; }
  const std::string& MinValue() const { return min_value_; }
  const std::string& MaxValue() const { return max_value_; }
  const std::string& DefaultValue() const { return default_value_; }

 private:
  friend class TDbfFile;
  friend class TDbfFieldDefs;

  std::string field_name_;
  TFieldType field_type_ = ftUnknown;
  char native_field_type_ = 0;
  int null_position_ = -1;
  int size_ = 0;
  int precision_ = 0;
  bool required_ = false;
  int stored_size_ = 0;
  int stored_precision_ = 0;
  int offset_ = 0;
  bool fits_in_record_ = true;
  int64_t auto_inc_next_ = 0;
  std::string min_value_;
  std::string max_value_;
  std::string default_value_;
};

}  // namespace zered
