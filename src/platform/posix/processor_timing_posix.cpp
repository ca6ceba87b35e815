#include <sched.h>

#include "platform/processor_timing.h"

namespace platform {

bool GetProcessAffinity(uint64_t& mask) {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof(set), &set) != 0) return false;
  mask = 0;
  for (int cpu = 0; cpu < 64; ++cpu) {
    if (CPU_ISSET(cpu, &set)) mask |= uint64_t{1} << cpu;
  }
  return true;
}

bool SetProcessAffinity(uint64_t mask) {
  cpu_set_t set;
  CPU_ZERO(&set);
  for (int cpu = 0; cpu < 64; ++cpu) {
    if ((mask >> cpu) & 1u) CPU_SET(cpu, &set);
  }
  return sched_setaffinity(0, sizeof(set), &set) == 0;
}

void BeginFineTimerPeriod() {}
void EndFineTimerPeriod() {}

bool GetOsPlatformId(uint32_t& platformId) {
  platformId = 2;
  return true;
}

}  // namespace platform
