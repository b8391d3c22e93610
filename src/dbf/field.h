#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/field_type.h"
#include "dbf/field_data_set.h"
#include "dbf/field_decoding.h"

namespace zered {

// Where a field's value lies in the record.
struct TFieldStorage {
  // From the start of the record; the deletion flag is byte 0.
  int offset = 1;
  // The type letter, table level, adjusted size and timestamp handling.
  TFieldCoding coding;
  // False when the field passes the end of the record: its value is always empty.
  bool fits_in_record = true;
};

// One field of an open table. Its value is decoded from the data set's current record image
// at every read; nothing is cached and the image is never changed. The data set owns its
// fields and outlives them.
//
// The read operations of the base class fail with EDatabaseError
// "Cannot access field '%s' as type %s" ("Float" for ReadNumber, "DateTime" for ReadDate);
// each field class overrides what its kind supports. ReadText of the base class gives "".
class TField {
 public:
  TField(const TDataSet& data_set, std::string field_name, TFieldType data_type, int size,
         int field_no, const TFieldStorage& storage);
  virtual ~TField() = default;
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& FieldName() const { return field_name_; }
  TFieldType DataType() const { return data_type_; }
  // The definition's size: the stored size for ftString, ftBCD and ftBytes, 0 otherwise.
  int Size() const { return size_; }
  // Position in the table, from 1.
  int FieldNo() const { return field_no_; }
  const TDataSet& DataSet() const { return data_set_; }
  const TFieldStorage& Storage() const { return storage_; }

  // The value as text; "" when it is empty. The overload reuses `out`'s capacity, so a
  // caller that keeps `out` does not allocate per record.
  std::string ReadText() const;
  virtual void ReadText(std::string& out) const;
  virtual double ReadNumber() const;
  virtual TDateTime ReadDate() const;

 protected:
  // The stored bytes of this field in the current record; empty without a current record
  // or when the field does not fit in the record.
  std::string_view StoredBytes() const;
  TFieldValue Decode(TFieldType wanted) const;
  [[noreturn]] void AccessError(const char* type_name) const;

 private:
  const TDataSet& data_set_;
  std::string field_name_;
  TFieldType data_type_;
  int size_;
  int field_no_;
  TFieldStorage storage_;
};

}  // namespace zered
