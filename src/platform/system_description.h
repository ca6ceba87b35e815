#pragma once
#include <string>

namespace platform {

// "Linux" or "Windows", and the kernel's release ("6.1.0-18-amd64",
// "10.0.19045"); "" where the system does not say.
std::string OperatingSystemName();
std::string KernelRelease();

}  // namespace platform
