#include <cstdlib>

#include "platform/environment.h"

namespace platform {

bool SetEnvironmentText(const char* name, const char* value) {
  if (name == nullptr || value == nullptr) return false;
  return setenv(name, value, 1) == 0;
}

}  // namespace platform
