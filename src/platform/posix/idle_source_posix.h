#pragma once
#include <cstdint>

#include "platform/system_statistics.h"

// Where Linux's account of idle processor time is read, finest first:
//   /proc/schedstat   the time tasks ran on each processor, in ns (version
//                     15 and later); idle is processors x wall - run time
//   cpuidle           the time each processor spent in each idle state, µs
//   /proc/stat        idle + iowait, in 10 ms ticks
namespace platform {

enum class IdleSourceKind { Schedstat, Cpuidle, ProcStat, None };

// The folders the figures come from; a test points them at a tree of its own.
struct KernelFolders {
  const char* proc = "/proc";
  const char* cpu = "/sys/devices/system/cpu";
};

struct IdleSource {
  IdleSourceKind kind = IdleSourceKind::None;
  uint32_t cpuSlots = 0;  // cpuidle: the processor folders are numbered below this
};

// The finest source that gives a plausible reading now. Reads folders, so
// it allocates: done once, before any measuring.
IdleSource ChooseIdleSource(const KernelFolders& folders);

SystemTimesSource DescribeIdleSource(IdleSourceKind kind);

// One reading in SystemTimes' 100 ns units, given the monotonic clock read
// at the same moment (ns). Allocates nothing.
bool ReadIdleSource(const IdleSource& source, const KernelFolders& folders, uint64_t monotonicNs, SystemTimes& times);

// What /proc/schedstat holds, summed over its "cpuN" lines.
struct SchedstatTotals {
  uint32_t version = 0;
  uint32_t processors = 0;
  uint64_t runNs = 0;
};

// Adds one line of /proc/schedstat (without its newline) to `totals`.
void AddSchedstatLine(const char* line, SchedstatTotals& totals);

// Whether the totals count in ns (version 15 on) and name a processor.
bool SchedstatUsable(const SchedstatTotals& totals);

}  // namespace platform
