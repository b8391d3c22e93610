#include "settings/form_storage.h"

#include <optional>

#include "settings/form_storage_owner.h"
#include "settings/stored_component.h"

namespace zered {

namespace {

// Blanks and control characters at both ends go, as for any text the window shows.
std::string TrimControls(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace

TFormStorage::TFormStorage(IFormStorageOwner& owner) : TFormPlacement(owner) {}

TFormStorage::~TFormStorage() = default;

void TFormStorage::SetStoredProps(std::vector<std::string> lines) {
  stored_props_ = std::move(lines);
  components_.clear();
  property_names_.clear();
  if (loaded_) Bind();
}

void TFormStorage::Loaded() {
  loaded_ = true;
  Bind();
}

void TFormStorage::Bind() {
  std::vector<std::string> lines;
  components_.clear();
  property_names_.clear();
  for (const std::string& line : stored_props_) {
    const size_t dot = line.find('.');
    if (dot == line.npos) continue;
    const std::string component_name = TrimControls(line.substr(0, dot));
    std::string property_name = TrimControls(line.substr(dot + 1));
    if (component_name.empty() || property_name.empty()) continue;
    IStoredComponent* component = Owner().FindComponent(component_name);
    if (component == nullptr) continue;
    lines.push_back(line);
    components_.push_back(component);
    property_names_.push_back(std::move(property_name));
  }
  stored_props_ = std::move(lines);
}

void TFormStorage::ComponentDestroyed(const IStoredComponent* component) {
  for (size_t i = components_.size(); i-- > 0;) {
    if (components_[i] != component) continue;
    stored_props_.erase(stored_props_.begin() + static_cast<std::ptrdiff_t>(i));
    components_.erase(components_.begin() + static_cast<std::ptrdiff_t>(i));
    property_names_.erase(property_names_.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void TFormStorage::SaveWindowData() {
  TFormPlacement::SaveWindowData();
  SaveProperties();
}

void TFormStorage::RestoreWindowData() {
  TFormPlacement::RestoreWindowData();
  // A settings file edited by hand must never keep the window from opening.
  try {
    RestoreProperties();
  } catch (const std::exception&) {
  }
}

void TFormStorage::SaveProperties() {
  const std::string section = IniSection();
  for (size_t i = 0; i < components_.size(); ++i) {
    IStoredComponent& component = *components_[i];
    const std::optional<std::string> property = component.FindProperty(property_names_[i]);
    if (!property) continue;
    WriteString(section, component.Name() + "_" + *property,
                TrimControls(component.GetPropertyText(*property)));
  }
}

void TFormStorage::RestoreProperties() {
  const std::string section = IniSection();
  for (size_t i = 0; i < components_.size(); ++i) {
    try {
      IStoredComponent& component = *components_[i];
      const std::optional<std::string> property = component.FindProperty(property_names_[i]);
      if (!property) continue;
      const std::string value = ReadString(section, component.Name() + "_" + *property,
                                           component.GetPropertyText(*property));
      component.SetPropertyText(*property, TrimControls(value));
    } catch (const std::exception&) {
    }
  }
}

}  // namespace zered
