#pragma once

#include <string>
#include <vector>

#include "settings/form_placement.h"

namespace zered {

class IStoredComponent;

// A form placement that also remembers published properties of the owner's components.
// Each StoredProps line names one, "Component.Property"; it is kept in the settings section
// under the key "<component name>_<property name>", both as the component declares them.
class TFormStorage : public TFormPlacement {
 public:
  explicit TFormStorage(IFormStorageOwner& owner);
  ~TFormStorage() override;

  const std::vector<std::string>& StoredProps() const { return stored_props_; }
  // Stores the lines; once the window is loaded they are bound at once (see Loaded).
  void SetStoredProps(std::vector<std::string> lines);

  // The window has been built: binds every line to the component it names, matched ignoring
  // letter case. Lines without ".", with an empty part, or naming no component are dropped.
  void Loaded();

  // A component is going away: drops the lines bound to it.
  void ComponentDestroyed(const IStoredComponent* component);

 protected:
  void SaveWindowData() override;
  void RestoreWindowData() override;
  // Writes each bound property's value, blanks and control characters trimmed. A property the
  // component does not have is skipped. A failed write ends the save.
  virtual void SaveProperties();
  // Reads each bound property, defaulting to its current value, and assigns it trimmed. A
  // failure with one property leaves that property alone.
  virtual void RestoreProperties();

 private:
  void Bind();

  std::vector<std::string> stored_props_;
  // Parallel to stored_props_ once bound: the component and the line's property part.
  std::vector<IStoredComponent*> components_;
  std::vector<std::string> property_names_;
  bool loaded_ = false;
};

}  // namespace zered
