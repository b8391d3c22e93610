#include "run/folder_field_component.h"

#include "run/run_window.h"

namespace zered {

namespace {

const char kName[] = "LMDBrowseEdit1";
const char kPath[] = "Path";

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

IStoredComponent* TFolderFieldComponent::Find(std::string_view name) {
  return SameIgnoringAsciiCase(name, kName) ? this : nullptr;
}

std::string TFolderFieldComponent::Name() const { return kName; }

std::optional<std::string> TFolderFieldComponent::FindProperty(std::string_view name) const {
  if (SameIgnoringAsciiCase(name, kPath)) return kPath;
  return std::nullopt;
}

std::string TFolderFieldComponent::GetPropertyText(const std::string&) const {
  return window_.FolderPath();
}

void TFolderFieldComponent::SetPropertyText(const std::string&, const std::string& value) {
  window_.SetFolderPath(value);
}

}  // namespace zered
