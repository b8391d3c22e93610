#pragma once

#include <string_view>
#include <vector>

#include "dbf/dbf_field_def.h"

namespace zered {

// The field descriptors of a table in descriptor order.
class TDbfFieldDefs {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const TDbfFieldDef& Items(int index) const { return items_[index]; }
  TDbfFieldDef& Items(int index) { return items_[index]; }
  // The first field whose name equals `name` ignoring ASCII case; nullptr when none.
  const TDbfFieldDef* Find(std::string_view name) const;

  std::vector<TDbfFieldDef>::const_iterator begin() const { return items_.begin(); }
  std::vector<TDbfFieldDef>::const_iterator end() const { return items_.end(); }

  void Clear() { items_.clear(); }
  TDbfFieldDef& Add() { return items_.emplace_back(); }

 private:
  std::vector<TDbfFieldDef> items_;
};

}  // namespace zered
