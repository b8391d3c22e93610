#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/stored_component.h"

namespace zered {

class TLMDBrowseEdit;

// The folder field as the settings storage sees it: a component with the one published
// property "Path".
class TBrowseEditComponent : public IStoredComponent {
 public:
  explicit TBrowseEditComponent(TLMDBrowseEdit& field) : field_(field) {}

  std::string Name() const override;
  std::optional<std::string> FindProperty(std::string_view name) const override;
  std::string GetPropertyText(const std::string& declared_name) const override;
  void SetPropertyText(const std::string& declared_name, const std::string& value) override;

 private:
  TLMDBrowseEdit& field_;
};

}  // namespace zered
