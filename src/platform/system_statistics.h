#pragma once
#include <cstdint>

namespace platform {

// The kernel's own account of processor time, in 100 ns units.
struct SystemTimes {
  uint64_t idleTime = 0;     // summed over all processors
  uint64_t currentTime = 0;  // wall clock
  uint32_t processorCount = 0;
};

// Windows: finds NtQuerySystemInformation in ntdll. Linux: /proc/stat is readable.
bool SystemTimesAvailable();
// Windows: the basic (class 0), time-of-day (class 3) and performance (class 2)
// information, each with the exact size the kernel expects. Linux: /proc/stat
// idle + iowait jiffies and CLOCK_REALTIME, converted to 100 ns.
bool ReadSystemTimes(SystemTimes& times);

// Windows 9x's CPU usage in percent from HKEY_DYN_DATA "PerfStats\<statKey>",
// value "KERNEL\CPUUsage"; `writeAccess` opens the key for reading and writing
// (starting and stopping the statistic), otherwise for reading. Linux: false.
bool QueryDynamicCpuUsage(const char* statKey, bool writeAccess, uint32_t& percent);

}  // namespace platform
