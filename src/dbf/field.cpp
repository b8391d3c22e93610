#include "dbf/field.h"

#include "base/exceptions.h"
#include "base/format.h"

namespace zered {

TField::TField(const TDataSet& data_set, std::string field_name, TFieldType data_type, int size,
               int field_no, const TFieldStorage& storage)
    : data_set_(data_set),
      field_name_(std::move(field_name)),
      data_type_(data_type),
      size_(size),
      field_no_(field_no),
      storage_(storage) {}

std::string TField::ReadText() const {
  std::string text;
  ReadText(text);
  return text;
}

void TField::ReadText(std::string& out) const { out.clear(); }

double TField::ReadNumber() const { AccessError("Float"); }

TDateTime TField::ReadDate() const { AccessError("DateTime"); }

std::string_view TField::StoredBytes() const {
  const std::string_view record = data_set_.ActiveRecord();
  if (!storage_.fits_in_record || storage_.offset < 0 || storage_.coding.size < 0) return {};
  const auto offset = static_cast<size_t>(storage_.offset);
  const auto size = static_cast<size_t>(storage_.coding.size);
  // Checked here as well as at open: a value is never read beyond its record.
  if (offset > record.size() || size > record.size() - offset) return {};
  return record.substr(offset, size);
}

TFieldValue TField::Decode(TFieldType wanted) const {
  const std::string_view bytes = StoredBytes();
  if (bytes.empty()) return {};
  return DecodeFieldValue(storage_.coding, bytes, wanted,
                          data_set_.FormatSettings().decimal_separator);
}

void TField::AccessError(const char* type_name) const {
  throw EDatabaseError(
      Format("Cannot access field '%s' as type %s", field_name_.c_str(), type_name));
}

}  // namespace zered
