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

bool GetEnvironmentText(const char* name, std::string& value) {
  if (name == nullptr) return false;
  const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
  if (needed == 0) return false;
  std::string text(needed, '\0');
  const DWORD length = GetEnvironmentVariableA(name, text.data(), needed);
  if (length == 0 || length >= needed) return false;
  text.resize(length);
  value = text;
  return true;
}

}  // namespace platform
