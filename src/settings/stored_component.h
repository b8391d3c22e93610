#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zered {

// A component of the owner window whose published properties the form storage remembers.
// The window implements it for each component it offers; the storage never owns one.
class IStoredComponent {
 public:
  virtual ~IStoredComponent() = default;

  // The component's name as the window declares it ("LMDBrowseEdit1").
  virtual std::string Name() const = 0;

  // The declared name of the published property that matches `name` ignoring letter case
  // ("path" gives "Path"), or nullopt when the component has no such property.
  virtual std::optional<std::string> FindProperty(std::string_view name) const = 0;

  // The property's current value as text. `declared_name` comes from FindProperty.
  virtual std::string GetPropertyText(const std::string& declared_name) const = 0;

  // Assigns the property from text. May throw when the text does not suit the property.
  virtual void SetPropertyText(const std::string& declared_name, const std::string& value) = 0;
};

}  // namespace zered
