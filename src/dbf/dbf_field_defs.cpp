#include "dbf/dbf_field_defs.h"

#include <strings.h>

namespace zered {

const TDbfFieldDef* TDbfFieldDefs::Find(std::string_view name) const {
  for (const TDbfFieldDef& def : items_) {
    const std::string& own = def.FieldName();
    if (own.size() == name.size() && ::strncasecmp(own.data(), name.data(), name.size()) == 0) {
      return &def;
    }
  }
  return nullptr;
}

}  // namespace zered
