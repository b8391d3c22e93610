#pragma once

#include <memory>
#include <string>

#include "dbf/field.h"

namespace zered {

// The field classes, one per field kind. What each read operation returns:
//
// class            ReadText                      ReadNumber           ReadDate
// TStringField     text, translated              text as a float (1)  text as a date (2)
// TIntegerField    decimal digits                the integer          fails
// TLargeintField   decimal digits                the integer          fails
// TFloatField      general number format         the double           fails
// TBCDField        currency format               the amount           fails
// TBooleanField    "True" / "False"              fails                fails
// TDateTimeField   short date [long time]        the value            the value
// TDateField       short date                    the value            the value
// TBlobField       memo bytes, untranslated      fails                fails
// TMemoField       memo text, translated         fails                fails
// TBytesField      ""                            fails                fails
//
// An empty value reads as "" and as 0. (1) EConvertError "'%s' is not a valid floating point
// value", the empty text included; (2) EConvertError "'%s' is not a valid date and time".

class TStringField : public TField {
 public:
  using TField::ReadText;
  using TField::TField;
  void ReadText(std::string& out) const override;
  double ReadNumber() const override;
  TDateTime ReadDate() const override;
};

// ftInteger (N/F of 5 to 9 digits, I); the base of the 16-bit and autoincrement fields.
class TIntegerField : public TField {
 public:
  using TField::ReadText;
  using TField::TField;
  void ReadText(std::string& out) const override;
  double ReadNumber() const override;
};

// ftSmallint: an N/F value of at most 4 digits, kept to 16 bits.
class TSmallintField : public TIntegerField {
 public:
  using TIntegerField::TIntegerField;
};

// ftAutoInc: the + field of level 7 tables.
class TAutoIncField : public TIntegerField {
 public:
  using TIntegerField::TIntegerField;
};

class TLargeintField : public TIntegerField {
 public:
  using TIntegerField::TIntegerField;
};

// ftFloat: N/F with decimals, O, and B at level 25.
class TFloatField : public TField {
 public:
  using TField::ReadText;
  using TField::TField;
  void ReadText(std::string& out) const override;
  double ReadNumber() const override;
};

// ftBCD: the Y currency field. Never empty.
class TBCDField : public TField {
 public:
  using TField::ReadText;
  using TField::TField;
  void ReadText(std::string& out) const override;
  double ReadNumber() const override;
};

class TBooleanField : public TField {
 public:
  using TField::ReadText;
  using TField::TField;
  void ReadText(std::string& out) const override;
};

// ftDateTime: T and @ fields.
class TDateTimeField : public TField {
 public:
  using TField::ReadText;
  using TField::TField;
  void ReadText(std::string& out) const override;
  double ReadNumber() const override;
  TDateTime ReadDate() const override;

 protected:
  TDateTime Value() const;
};

// ftDate: the D field. An invalid stored date reads as 0 (30 December 1899), not as empty.
class TDateField : public TDateTimeField {
 public:
  using TDateTimeField::TDateTimeField;
  using TField::ReadText;
  void ReadText(std::string& out) const override;
};

// ftBlob and ftDBaseOle: the bytes of the memo block the field names, untranslated.
class TBlobField : public TField {
 public:
  using TField::ReadText;
  using TField::TField;
  void ReadText(std::string& out) const override;
};

// ftMemo: the memo text, translated in pieces of 512 bytes.
class TMemoField : public TBlobField {
 public:
  using TBlobField::TBlobField;
  using TField::ReadText;
  void ReadText(std::string& out) const override;
};

// ftBytes: the null flags of a Visual FoxPro table; never read by the program, read as "".
class TBytesField : public TField {
 public:
  using TField::TField;
};

// The field object of the class that `data_type` calls for; nullptr for a kind that no DBF
// field has.
std::unique_ptr<TField> CreateField(const TDataSet& data_set, std::string field_name,
                                    TFieldType data_type, int size, int field_no,
                                    const TFieldStorage& storage);

}  // namespace zered
