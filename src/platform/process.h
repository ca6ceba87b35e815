#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

// The directory holding the running executable, with a trailing separator.
std::string ExecutableDirectory();

// Starts `program` with one argument and does not wait for it. Windows: the
// shell's "open" verb; Linux: fork + exec, detached. False when it could not start.
bool StartDetached(WindowHandle parent, const std::string& program, const std::string& argument);

uint32_t CurrentProcessId();

// The running program's module instance (its resources); null elsewhere.
InstanceHandle ProgramInstance();

// Initialises COM for the calling thread on Windows; nothing elsewhere.
void InitializeComForThread();
void UninitializeComForThread();

}  // namespace platform
