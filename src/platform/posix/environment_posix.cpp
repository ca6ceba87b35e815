#include <cstdlib>

#include "platform/environment.h"

namespace platform {

bool SetEnvironmentText(const char* name, const char* value) {
  if (name == nullptr || value == nullptr) return false;
  return setenv(name, value, 1) == 0;
}

bool GetEnvironmentText(const char* name, std::string& value) {
  const char* text = name != nullptr ? std::getenv(name) : nullptr;
  if (text == nullptr) return false;
  value = text;
  return true;
}

}  // namespace platform
