#include "qt/browse_edit_component.h"

#include <strings.h>

#include "qt/lmd_browse_edit.h"

namespace zered {

namespace {
const char kPath[] = "Path";
}  // namespace

std::string TBrowseEditComponent::Name() const { return field_.objectName().toStdString(); }

std::optional<std::string> TBrowseEditComponent::FindProperty(std::string_view name) const {
  if (name.size() == sizeof kPath - 1 && strncasecmp(name.data(), kPath, name.size()) == 0) {
    return kPath;
  }
  return std::nullopt;
}

std::string TBrowseEditComponent::GetPropertyText(const std::string&) const {
  return field_.Path();
}

void TBrowseEditComponent::SetPropertyText(const std::string&, const std::string& value) {
  field_.SetPath(value);
}

}  // namespace zered
