#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/date_time.h"
#include "base/field_type.h"

namespace zered {

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

// A named statement parameter: data type, parameter type and a value that may be null. The
// typed setters set the data type with the value; the readers convert the stored value and
// throw EConvertError when it has no such reading.
class TParam {
 public:
  explicit TParam(std::string name, TFieldType data_type = ftUnknown,
                  TParamType param_type = ptUnknown)
      : name_(std::move(name)), data_type_(data_type), param_type_(param_type) {}

  const std::string& Name() const { return name_; }
  TFieldType DataType() const { return data_type_; }
  void SetDataType(TFieldType data_type) { data_type_ = data_type; }
  TParamType ParamType() const { return param_type_; }
  void SetParamType(TParamType param_type) { param_type_ = param_type; }

  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
  // Makes the value null; the data type stays.
  void Clear() { value_ = std::monostate(); }

  void SetAsString(std::string value);
  void SetAsBytes(std::string value);
  void SetAsSmallInt(int32_t value);
  void SetAsInteger(int32_t value);
  void SetAsLargeInt(int64_t value);
  void SetAsBoolean(bool value);
  void SetAsFloat(double value);
  void SetAsCurrency(double value);
  void SetAsDate(TDateTime value);
  void SetAsTime(TDateTime value);
  void SetAsDateTime(TDateTime value);
  void SetAsMemo(std::string value);
  void SetAsBlob(std::string value);

  // Null reads as "", 0, false. Numbers are written with "." and up to 15 significant
  // digits; booleans as "True" and "False".
  std::string AsString() const;
  int32_t AsInteger() const;
  bool AsBoolean() const;
  double AsFloat() const;
  // The value rounded to four decimals, as a currency amount holds it.
  double AsCurrency() const;
  TDateTime AsDateTime() const { return AsFloat(); }

  // Data type, parameter type and value of `other`; the name stays.
  void AssignValue(const TParam& other);

 private:
  std::string name_;
  TFieldType data_type_;
  TParamType param_type_;
  std::variant<std::monostate, std::string, int64_t, double, bool> value_;
};

// An ordered list of parameters; names are compared without regard to ASCII case.
class TParams {
 public:
  TParams() = default;
  TParams(const TParams& other);
  TParams& operator=(const TParams& other);

  int Count() const { return static_cast<int>(items_.size()); }
  TParam& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
  const TParam& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  // nullptr when absent.
  TParam* FindParam(std::string_view name);
  const TParam* FindParam(std::string_view name) const;
  // Throws EDatabaseError "Parameter '%s' not found".
  TParam& ParamByName(std::string_view name);

  TParam& CreateParam(TFieldType data_type, std::string name, TParamType param_type);
  void Clear() { items_.clear(); }
  // For each parameter of `source`, the parameter of the same name here takes its data type,
  // parameter type and value; names missing here are ignored.
  void AssignValues(const TParams& source);

 private:
  // Stable addresses: callers keep references while the list grows.
  std::vector<std::unique_ptr<TParam>> items_;
};

}  // namespace zered
