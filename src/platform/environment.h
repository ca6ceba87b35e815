#pragma once
#include <string>

namespace platform {

// Sets a variable in this process's environment, seen by libraries loaded
// afterwards. False when the system refuses.
bool SetEnvironmentText(const char* name, const char* value);

// Reads a variable of this process's environment. False when it is not set.
bool GetEnvironmentText(const char* name, std::string& value);

}  // namespace platform
