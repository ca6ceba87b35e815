#pragma once
#include <cstdint>

// Process-wide settings the timing code changes around a measurement.
namespace platform {

// Processor affinity of the whole process as a bit mask (bit n: processor n).
// Windows: Get/SetProcessAffinityMask. Linux: sched_{get,set}affinity of the
// process, which the kernel applies to the calling thread.
bool GetProcessAffinity(uint64_t& mask);
bool SetProcessAffinity(uint64_t mask);

// Windows: timeBeginPeriod(1) / timeEndPeriod(1), so sleeps wake within a
// millisecond. Linux sleeps are already that precise: nothing to do.
void BeginFineTimerPeriod();
void EndFineTimerPeriod();

// The platform id GetVersionExA reports: 1 Windows 9x, 2 NT. Linux answers 2,
// so every NT-only path (the kernel's statistics) is taken there.
bool GetOsPlatformId(uint32_t& platformId);

}  // namespace platform
