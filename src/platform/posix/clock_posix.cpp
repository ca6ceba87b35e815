#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include "platform/clock.h"

namespace platform {

bool QueryPerformanceCounter(int64_t& count) {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
  count = static_cast<int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
  return true;
}

bool QueryPerformanceFrequency(int64_t& frequency) {
  frequency = 1000000000LL;
  return true;
}

uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

void SleepMilliseconds(uint32_t milliseconds) {
  timespec wait{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

uint32_t ProcessorCount() {
  const long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<uint32_t>(count) : 1u;
}

uint64_t ProcessCpuTime100ns() {
  timespec used{};
  if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used) != 0) return 0;
  return static_cast<uint64_t>(used.tv_sec) * 10000000u + static_cast<uint64_t>(used.tv_nsec) / 100u;
}

// The clock id travels in the low 32 bits; bit 32 marks it valid.
ThreadCpuClock CurrentThreadCpuClock() {
  clockid_t id{};
  if (pthread_getcpuclockid(pthread_self(), &id) != 0) return 0;
  return (uint64_t{1} << 32) | static_cast<uint32_t>(id);
}

uint64_t ThreadCpuTime100ns(ThreadCpuClock clock) {
  if (clock == 0) return 0;
  timespec used{};
  if (clock_gettime(static_cast<clockid_t>(static_cast<uint32_t>(clock)), &used) != 0) return 0;
  return static_cast<uint64_t>(used.tv_sec) * 10000000u + static_cast<uint64_t>(used.tv_nsec) / 100u;
}

}  // namespace platform
