#pragma once

namespace platform {

// Sets a variable in this process's environment, seen by libraries loaded
// afterwards. False when the system refuses.
bool SetEnvironmentText(const char* name, const char* value);

}  // namespace platform
