#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace zered {

class IStoredComponent;

// The window that owns a form storage, as the storage sees it. The window outlives the storage.
class IFormStorageOwner {
 public:
  virtual ~IFormStorageOwner() = default;

  // The window's class name ("TForm1"): the default settings section.
  virtual std::string ClassName() const = 0;

  // The window's component whose name matches `name` ignoring letter case, or null.
  virtual IStoredComponent* FindComponent(std::string_view name) = 0;

  // The application's display of an uncaught error (a message box); it shows nothing for the
  // silent abort. The storage reports a failed save or restore here and carries on.
  virtual void ShowException(const std::exception& error) = 0;
};

}  // namespace zered
