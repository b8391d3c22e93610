#include "base/exceptions.h"

namespace zered {

EDatabaseError EDatabaseError::ForComponent(const std::string& component_name,
                                            const std::string& message) {
  return EDatabaseError(component_name + ": " + message);
}

}  // namespace zered
