#include <windows.h>
#include <mmsystem.h>

#include "platform/processor_timing.h"

namespace platform {

bool GetProcessAffinity(uint64_t& mask) {
  DWORD_PTR processMask = 0, systemMask = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask)) return false;
  mask = processMask;
  return true;
}

bool SetProcessAffinity(uint64_t mask) {
  return SetProcessAffinityMask(GetCurrentProcess(), static_cast<DWORD_PTR>(mask)) != 0;
}

void BeginFineTimerPeriod() { timeBeginPeriod(1); }
void EndFineTimerPeriod() { timeEndPeriod(1); }

bool GetOsPlatformId(uint32_t& platformId) {
  OSVERSIONINFOA version{};
  static_assert(sizeof(version) == 148);
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  platformId = version.dwPlatformId;
  return true;
}

}  // namespace platform
