#include "sql/params.h"

#include <cmath>
#include <limits>

#include "base/conversions.h"
#include "base/exceptions.h"
#include "base/format.h"
#include "base/number_format.h"
#include "sql/tz_script_utils.h"

namespace zered {

void TParam::SetAsString(std::string value) {
  data_type_ = ftString;
  value_ = std::move(value);
}

void TParam::SetAsBytes(std::string value) {
  data_type_ = ftBytes;
  value_ = std::move(value);
}

void TParam::SetAsSmallInt(int32_t value) {
  data_type_ = ftSmallint;
  value_ = int64_t{value};
}

void TParam::SetAsInteger(int32_t value) {
  data_type_ = ftInteger;
  value_ = int64_t{value};
}

void TParam::SetAsLargeInt(int64_t value) {
  data_type_ = ftLargeint;
  value_ = value;
}

void TParam::SetAsBoolean(bool value) {
  data_type_ = ftBoolean;
  value_ = value;
}

void TParam::SetAsFloat(double value) {
  data_type_ = ftFloat;
  value_ = value;
}

void TParam::SetAsCurrency(double value) {
  data_type_ = ftCurrency;
  value_ = value;
}

void TParam::SetAsDate(TDateTime value) {
  data_type_ = ftDate;
  value_ = value;
}

void TParam::SetAsTime(TDateTime value) {
  data_type_ = ftTime;
  value_ = value;
}

void TParam::SetAsDateTime(TDateTime value) {
  data_type_ = ftDateTime;
  value_ = value;
}

void TParam::SetAsMemo(std::string value) {
  data_type_ = ftMemo;
  value_ = std::move(value);
}

void TParam::SetAsBlob(std::string value) {
  data_type_ = ftBlob;
  value_ = std::move(value);
}

std::string TParam::AsString() const {
  if (const auto* text = std::get_if<std::string>(&value_)) return *text;
  if (const auto* integer = std::get_if<int64_t>(&value_)) return std::to_string(*integer);
  if (const auto* number = std::get_if<double>(&value_)) return FormatGeneral(*number, '.');
  if (const auto* boolean = std::get_if<bool>(&value_)) return *boolean ? "True" : "False";
  return std::string();
}

int32_t TParam::AsInteger() const {
  int64_t value = 0;
  if (const auto* integer = std::get_if<int64_t>(&value_)) {
    value = *integer;
  } else if (const auto* number = std::get_if<double>(&value_)) {
    if (!std::isfinite(*number) || std::fabs(*number) > 2147483647.0) {
      throw EConvertError(Format("'%s' is not a valid integer value", AsString().c_str()));
    }
    value = static_cast<int64_t>(std::nearbyint(*number));
  } else if (const auto* boolean = std::get_if<bool>(&value_)) {
    value = *boolean ? 1 : 0;
  } else if (const auto* text = std::get_if<std::string>(&value_)) {
    int32_t parsed = 0;
    if (!TryStrToInt(*text, parsed)) {
      throw EConvertError(Format("'%s' is not a valid integer value", text->c_str()));
    }
    value = parsed;
  }
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    throw EConvertError(Format("'%s' is not a valid integer value", AsString().c_str()));
  }
  return static_cast<int32_t>(value);
}

bool TParam::AsBoolean() const {
  if (const auto* boolean = std::get_if<bool>(&value_)) return *boolean;
  if (const auto* integer = std::get_if<int64_t>(&value_)) return *integer != 0;
  if (const auto* number = std::get_if<double>(&value_)) return *number != 0;
  if (const auto* text = std::get_if<std::string>(&value_)) {
    if (SameTextAscii(TrimBytes(*text), "TRUE")) return true;
    if (SameTextAscii(TrimBytes(*text), "FALSE")) return false;
    int64_t parsed = 0;
    if (TryStrToInt64(*text, parsed)) return parsed != 0;
    throw EConvertError(Format("'%s' is not a valid boolean value", text->c_str()));
  }
  return false;
}

double TParam::AsFloat() const {
  if (const auto* number = std::get_if<double>(&value_)) return *number;
  if (const auto* integer = std::get_if<int64_t>(&value_)) return static_cast<double>(*integer);
  if (const auto* boolean = std::get_if<bool>(&value_)) return *boolean ? 1 : 0;
  if (const auto* text = std::get_if<std::string>(&value_)) {
    double parsed = 0;
    if (!TryStrToFloat(*text, '.', parsed)) {
      throw EConvertError(Format("'%s' is not a valid floating point value", text->c_str()));
    }
    return parsed;
  }
  return 0;
}

double TParam::AsCurrency() const { return std::round(AsFloat() * 10000.0) / 10000.0; }

void TParam::AssignValue(const TParam& other) {
  data_type_ = other.data_type_;
  param_type_ = other.param_type_;
  value_ = other.value_;
}

TParams::TParams(const TParams& other) { *this = other; }

TParams& TParams::operator=(const TParams& other) {
  if (this == &other) return *this;
  items_.clear();
  for (const auto& item : other.items_) items_.push_back(std::make_unique<TParam>(*item));
  return *this;
}

TParam* TParams::FindParam(std::string_view name) {
  for (const auto& item : items_) {
    if (SameTextAscii(item->Name(), name)) return item.get();
  }
  return nullptr;
}

const TParam* TParams::FindParam(std::string_view name) const {
  return const_cast<TParams*>(this)->FindParam(name);
}

TParam& TParams::ParamByName(std::string_view name) {
  if (TParam* param = FindParam(name)) return *param;
  throw EDatabaseError(Format("Parameter '%s' not found", std::string(name).c_str()));
}

TParam& TParams::CreateParam(TFieldType data_type, std::string name, TParamType param_type) {
  items_.push_back(std::make_unique<TParam>(std::move(name), data_type, param_type));
  return *items_.back();
}

void TParams::AssignValues(const TParams& source) {
  for (const auto& item : source.items_) {
    if (TParam* target = FindParam(item->Name())) target->AssignValue(*item);
  }
}

}  // namespace zered
