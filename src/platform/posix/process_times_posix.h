#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/machine_snapshot.h"

// Every process's processor time, for attribution. The kernel keeps each
// task's run time in ns; /proc/<pid>/schedstat shows only the main thread's,
// and /proc/<pid>/stat the whole process's in 10 ms ticks. The process's
// clock (clock_getcpuclockid) is the run time of all its threads, ended ones
// included, in ns: that is read, and the ticks only where it cannot be.
namespace platform {

// A process's run time in ns, false when the kernel does not say.
using ProcessRunTime = std::function<bool(uint32_t pid, uint64_t& ns)>;
bool ReadProcessClock(uint32_t pid, uint64_t& ns);

// "pid (name) state ...": the name may hold spaces and parentheses, so it
// ends at the last ')'. Sets the id, the name and the user + kernel ticks
// (the 14th and 15th fields) in ns.
bool ParseProcessStat(const char* text, uint64_t tickNs, ProcessTime& process);

// Every process under `procFolder` but `self`, its time from `runTime` and
// else from its ticks; one that ends or cannot be read is left out. Returns
// the coarsest step of the times read (1 for ns, `tickNs` where ticks were
// needed), 0 when the folder cannot be read.
uint64_t ReadProcessTimes(const char* procFolder, uint32_t self, const ProcessRunTime& runTime, uint64_t tickNs,
                          std::vector<ProcessTime>& processes);

}  // namespace platform
