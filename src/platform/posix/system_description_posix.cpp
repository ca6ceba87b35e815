#include <sys/utsname.h>

#include "platform/system_description.h"

namespace platform {

std::string OperatingSystemName() {
  utsname name{};
  return uname(&name) == 0 ? name.sysname : "";
}

std::string KernelRelease() {
  utsname name{};
  return uname(&name) == 0 ? name.release : "";
}

}  // namespace platform
