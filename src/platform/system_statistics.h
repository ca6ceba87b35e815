#pragma once
#include <cstdint>

namespace platform {

// The kernel's own account of processor time, in 100 ns units.
struct SystemTimes {
  uint64_t idleTime = 0;     // summed over all processors
  uint64_t currentTime = 0;  // wall clock
  uint32_t processorCount = 0;
};

// Windows: finds NtQuerySystemInformation in ntdll. Linux: one of the
// sources below gives a reading.
bool SystemTimesAvailable();
// Windows: the basic (class 0), time-of-day (class 3) and performance (class 2)
// information, each with the exact size the kernel expects. Linux: the finest
// source the kernel offers, chosen at first use and kept for the process: the
// run time per processor of /proc/schedstat (idle = processors x wall - run),
// else the cpuidle state times, else /proc/stat's idle + iowait ticks; with
// CLOCK_MONOTONIC, converted to 100 ns. Allocates nothing.
bool ReadSystemTimes(SystemTimes& times);

// Which source ReadSystemTimes reads and the step its idle figure moves in,
// e.g. {"/proc/stat", 10000000}; {"none", 0} when there is none.
struct SystemTimesSource {
  const char* name;
  uint64_t resolutionNs;
};
SystemTimesSource SystemTimesSourceInUse();

// Windows 9x's CPU usage in percent from HKEY_DYN_DATA "PerfStats\<statKey>",
// value "KERNEL\CPUUsage"; `writeAccess` opens the key for reading and writing
// (starting and stopping the statistic), otherwise for reading. Linux: false.
bool QueryDynamicCpuUsage(const char* statKey, bool writeAccess, uint32_t& percent);

}  // namespace platform
