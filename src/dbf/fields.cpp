#include "dbf/fields.h"

#include <charconv>

#include "base/conversions.h"
#include "base/date_format.h"
#include "base/exceptions.h"
#include "base/format.h"
#include "base/number_format.h"

namespace zered {

namespace {

void AppendInteger(std::string& out, int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

}  // namespace

void TStringField::ReadText(std::string& out) const {
  const TFieldValue value = Decode(ftString);
  out.assign(value.text);
  if (!out.empty()) out.resize(DataSet().TranslateText(out.data(), out.size()));
}

double TStringField::ReadNumber() const {
  const std::string text = TField::ReadText();
  double number = 0;
  if (!TryStrToFloat(text, DataSet().FormatSettings().decimal_separator, number)) {
    throw EConvertError(Format("'%s' is not a valid floating point value", text.c_str()));
  }
  return number;
}

TDateTime TStringField::ReadDate() const {
  const std::string text = TField::ReadText();
  TDateTime date = 0;
  if (!TryParseDateTime(text, DataSet().FormatSettings(), date)) {
    throw EConvertError(Format("'%s' is not a valid date and time", text.c_str()));
  }
  return date;
}

void TIntegerField::ReadText(std::string& out) const {
  out.clear();
  // An autoincrement value is stored like an I field; its text decodes as an integer.
  const TFieldValue value = Decode(DataType() == ftAutoInc ? ftInteger : DataType());
  if (!value.empty) AppendInteger(out, value.integer);
}

double TIntegerField::ReadNumber() const {
  const TFieldValue value = Decode(DataType() == ftAutoInc ? ftInteger : DataType());
  return value.empty ? 0 : static_cast<double>(value.integer);
}

void TFloatField::ReadText(std::string& out) const {
  out.clear();
  const TFieldValue value = Decode(ftFloat);
  if (!value.empty) AppendGeneral(out, value.number, DataSet().FormatSettings().decimal_separator);
}

double TFloatField::ReadNumber() const {
  const TFieldValue value = Decode(ftFloat);
  return value.empty ? 0 : value.number;
}

void TBCDField::ReadText(std::string& out) const {
  out.clear();
  const TFieldValue value = Decode(ftBCD);
  if (!value.empty) {
    out = FormatCurrency(value.integer, DataSet().FormatSettings().decimal_separator);
  }
}

double TBCDField::ReadNumber() const {
  const TFieldValue value = Decode(ftBCD);
  return value.empty ? 0 : value.number;
}

void TBooleanField::ReadText(std::string& out) const {
  out.clear();
  const TFieldValue value = Decode(ftBoolean);
  if (!value.empty) out.append(value.boolean ? "True" : "False");
}

TDateTime TDateTimeField::Value() const {
  const TFieldValue value = Decode(DataType());
  return value.empty ? 0 : value.number;
}

void TDateTimeField::ReadText(std::string& out) const {
  out.clear();
  const TFieldValue value = Decode(DataType());
  if (!value.empty) out = FormatTimestamp(value.number, DataSet().FormatSettings());
}

double TDateTimeField::ReadNumber() const { return Value(); }

TDateTime TDateTimeField::ReadDate() const { return Value(); }

void TDateField::ReadText(std::string& out) const {
  out.clear();
  const TFieldValue value = Decode(ftDate);
  if (!value.empty) {
    out = FormatDateTimePattern(DataSet().FormatSettings().short_date_format, value.number);
  }
}

void TBlobField::ReadText(std::string& out) const {
  // The field holds the number of the memo block where the value starts.
  const TFieldValue block = Decode(ftInteger);
  out.clear();
  if (!block.empty) DataSet().ReadMemo(block.integer, out);
}

void TMemoField::ReadText(std::string& out) const {
  TBlobField::ReadText(out);
  if (!out.empty()) DataSet().TranslateMemo(out);
}

std::unique_ptr<TField> CreateField(const TDataSet& data_set, std::string field_name,
                                    TFieldType data_type, int size, int field_no,
                                    const TFieldStorage& storage) {
  auto make = [&]<typename T>() -> std::unique_ptr<TField> {
    return std::make_unique<T>(data_set, std::move(field_name), data_type, size, field_no, storage);
  };
  switch (data_type) {
    case ftString:
      return make.operator()<TStringField>();
    case ftSmallint:
      return make.operator()<TSmallintField>();
    case ftInteger:
      return make.operator()<TIntegerField>();
    case ftLargeint:
      return make.operator()<TLargeintField>();
    case ftAutoInc:
      return make.operator()<TAutoIncField>();
    case ftFloat:
      return make.operator()<TFloatField>();
    case ftBCD:
      return make.operator()<TBCDField>();
    case ftBoolean:
      return make.operator()<TBooleanField>();
    case ftDate:
      return make.operator()<TDateField>();
    case ftDateTime:
      return make.operator()<TDateTimeField>();
    case ftMemo:
      return make.operator()<TMemoField>();
    case ftBlob:
    case ftDBaseOle:
      return make.operator()<TBlobField>();
    case ftBytes:
      return make.operator()<TBytesField>();
    default:
      return nullptr;
  }
}

}  // namespace zered
