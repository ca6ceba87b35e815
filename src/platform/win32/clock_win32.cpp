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
  auto value = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return value(kernel) + value(user);
}

// A real handle of the thread (GetCurrentThread's is only a pseudo handle).
// It stays open for the life of the process: one per thread that asks.
ThreadCpuClock CurrentThreadCpuClock() {
  HANDLE handle = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &handle,
                       THREAD_QUERY_LIMITED_INFORMATION, FALSE, 0)) {
    return 0;
  }
  return static_cast<ThreadCpuClock>(reinterpret_cast<uintptr_t>(handle));
}

uint64_t ThreadCpuTime100ns(ThreadCpuClock clock) {
  if (clock == 0) return 0;
  FILETIME created, exited, kernel, user;
  HANDLE handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(clock));
  if (!GetThreadTimes(handle, &created, &exited, &kernel, &user)) return 0;
  auto value = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return value(kernel) + value(user);
}

}  // namespace platform
