#include <windows.h>

#include <cstdlib>

#include "platform/environment.h"

namespace platform {

// Both copies: the process block for DLLs that ask Windows, the C runtime's
// for code that calls getenv.
bool SetEnvironmentText(const char* name, const char* value) {
  if (name == nullptr || value == nullptr) return false;
  const bool process = SetEnvironmentVariableA(name, value) != 0;
  const bool runtime = _putenv_s(name, value) == 0;
  return process && runtime;
}

}  // namespace platform
