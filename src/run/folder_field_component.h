#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/stored_component.h"

namespace zered {

class IRunWindow;

// The window's folder field as its settings storage sees it: the component "LMDBrowseEdit1"
// with the one published property "Path", the folder text of the window.
class TFolderFieldComponent : public IStoredComponent {
 public:
  // `window` outlives the component.
  explicit TFolderFieldComponent(IRunWindow& window) : window_(window) {}

  // This component when `name` is its name ignoring ASCII letter case, else null: what the
  // window answers when its storage looks a component up.
  IStoredComponent* Find(std::string_view name);

  std::string Name() const override;
  std::optional<std::string> FindProperty(std::string_view name) const override;
  std::string GetPropertyText(const std::string& declared_name) const override;
  void SetPropertyText(const std::string& declared_name, const std::string& value) override;

 private:
  IRunWindow& window_;
};

}  // namespace zered
