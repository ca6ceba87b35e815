#include <windows.h>

#include "platform/clock.h"

namespace platform {

bool QueryPerformanceCounter(int64_t& count) {
  LARGE_INTEGER value;
  if (!::QueryPerformanceCounter(&value)) return false;
  count = value.QuadPart;
  return true;
}

bool QueryPerformanceFrequency(int64_t& frequency) {
  LARGE_INTEGER value;
  if (!::QueryPerformanceFrequency(&value)) return false;
  frequency = value.QuadPart;
  return true;
}

uint32_t TickCount() { return GetTickCount(); }

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t ProcessorCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors;
}

uint64_t ProcessCpuTime100ns() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto value = [](const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return value(kernel) + value(user);
}

}  // namespace platform
