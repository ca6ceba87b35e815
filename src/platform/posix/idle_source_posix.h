#pragma once
#include <cstdint>
#include <vector>

#include "platform/system_statistics.h"

// Where Linux's account of idle processor time can be read, finest unit
// first (a unit is not what a source delivers: see the check):
//   /proc/schedstat   the time tasks ran on each processor, in ns (version
//                     15 and later); idle is processors x wall - run time
//   cpuidle           the time each processor spent in each idle state, µs;
//                     an idle period is added only when it ends, so a
//                     processor asleep at a reading's boundary is counted in
//                     the wrong reading
//   /proc/stat        idle + iowait, in 10 ms ticks; on a tickless kernel
//                     the idle period in progress is included
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

// Every source that gives a plausible reading now, in the order above.
// Whether one can be trusted is for a check against a known load to say
// (idle_source_check_posix.h). Reads folders, so it allocates: done once,
// before any measuring.
std::vector<IdleSource> OfferedIdleSources(const KernelFolders& folders);

// The most one reading's idle figure can be off by its unit alone, in ns:
// the fields it sums are each cut to whole units.
uint64_t IdleSourceStepNs(IdleSourceKind kind, uint32_t processors);

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
