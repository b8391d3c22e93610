#pragma once

#include <string>

namespace zered {

// The thin layer over a database client library.
class IZPlainDriver {
 public:
  virtual ~IZPlainDriver() = default;

  virtual std::string GetProtocol() const = 0;
  virtual std::string GetDescription() const = 0;
  // Loads the client library on first use and takes its entry points. Throws Exception "None
  // of the dynamic libraries can be found: %s" when it cannot be loaded.
  virtual void Initialize() = 0;
};

}  // namespace zered
