#include <windows.h>

#include <cstdio>

#include "platform/system_description.h"

namespace platform {

std::string OperatingSystemName() { return "Windows"; }

// RtlGetVersion tells the truth where GetVersionEx answers what the
// program's manifest allows.
std::string KernelRelease() {
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (ntdll == nullptr) return "";
  const auto rtlGetVersion =
      reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (rtlGetVersion == nullptr || rtlGetVersion(&info) != 0) return "";
  char text[48];
  std::snprintf(text, sizeof(text), "%lu.%lu.%lu", info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
  return text;
}

}  // namespace platform
