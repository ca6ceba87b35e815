#include "cpu/machine_use.h"

#include <algorithm>
#include <unordered_map>

namespace {

uint64_t Since(uint64_t before, uint64_t after) { return after > before ? after - before : 0; }

}  // namespace

double MachineUse::PercentOfMachine(uint64_t ns) const {
  if (wallNs == 0 || processors == 0) return 0;
  return 100.0 * static_cast<double>(ns) / (static_cast<double>(wallNs) * processors);
}

MachineUse UseBetween(const platform::MachineSnapshot& start, const platform::MachineSnapshot& end,
                      uint64_t meterIdleNs) {
  MachineUse use;
  use.measured = true;
  use.wallNs = Since(start.wallNs, end.wallNs);
  use.processors = end.processorCount;
  use.busyNs = Since(start.busyNs, end.busyNs);
  use.interruptNs = Since(start.interruptNs, end.interruptNs);
  const uint64_t user = Since(start.programUserNs, end.programUserNs);
  use.programUserNs = user - std::min(user, meterIdleNs);
  use.programKernelNs = Since(start.programKernelNs, end.programKernelNs);
  use.resolutionNs = std::max(start.resolutionNs, end.resolutionNs);
  use.kernelResolutionNs = std::max(start.kernelResolutionNs, end.kernelResolutionNs);

  std::unordered_map<uint32_t, const platform::ProcessTime*> before;
  before.reserve(start.processes.size());
  for (const platform::ProcessTime& process : start.processes) before.emplace(process.pid, &process);
  for (const platform::ProcessTime& process : end.processes) {
    const auto found = before.find(process.pid);
    // Kernel workers rename themselves after their current work: the id decides.
    const bool same = found != before.end() && found->second->cpuNs <= process.cpuNs;
    const uint64_t used = same ? process.cpuNs - found->second->cpuNs : process.cpuNs;
    // Idle ones too: a sound server that did nothing is a part of 0, not
    // a part that is missing.
    use.processes.push_back({process.name, used});
  }
  return use;
}
