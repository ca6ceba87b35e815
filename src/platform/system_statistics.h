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
// information, each with the exact size the kernel expects. Linux: of the
// sources the kernel offers (the run time per processor of /proc/schedstat,
// the cpuidle state times, /proc/stat's idle + iowait ticks), the one with
// the smallest error measured against a known load at first use (under a
// second), kept for the process; a source that read below the known load or
// above 100 % is not used. With CLOCK_MONOTONIC, converted to 100 ns.
// Allocates nothing.
bool ReadSystemTimes(SystemTimes& times);

// Which source ReadSystemTimes reads, the unit its idle figure moves in and
// its error as measured on this machine: how far a half-second reading can
// be off, in points of the whole machine (percent of all processors); below
// 0 when not measured. E.g. {"/proc/stat", 10000000, 2.0}; {"none", 0, -1}
// when there is none.
struct SystemTimesSource {
  const char* name;
  uint64_t resolutionNs;
  double errorPercent = -1;
};
SystemTimesSource SystemTimesSourceInUse();

// Windows 9x's CPU usage in percent from HKEY_DYN_DATA "PerfStats\<statKey>",
// value "KERNEL\CPUUsage"; `writeAccess` opens the key for reading and writing
// (starting and stopping the statistic), otherwise for reading. Linux: false.
bool QueryDynamicCpuUsage(const char* statKey, bool writeAccess, uint32_t& percent);

}  // namespace platform
