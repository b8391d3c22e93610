#pragma once

#include "base/exceptions.h"

namespace zered {

// A settings file that could not be written: "Unable to write to %s" with the file's path.
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace zered
