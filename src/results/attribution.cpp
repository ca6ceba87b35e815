#include "results/attribution.h"

#include <algorithm>
#include <cctype>

#include "stats/statistics.h"

namespace {

// Points of the machine, at least: processes that ended between the
// snapshots are lost.
constexpr double kAttributionAllowance = 1.0;

std::string Folded(const std::string& name) {
  std::string folded;
  for (const char c : name) folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (folded.size() > 4 && folded.compare(folded.size() - 4, 4, ".exe") == 0) folded.resize(folded.size() - 4);
  return folded;
}

}  // namespace

std::vector<std::string> DefaultSoundServerNames() {
#if defined(_WIN32)
  return {"audiodg.exe"};
#else
  return {"pipewire", "pipewire-pulse", "wireplumber", "pulseaudio", "jackd", "jackdbus"};
#endif
}

bool IsNamed(const std::string& processName, std::span<const std::string> names) {
  const std::string folded = Folded(processName);
  return std::any_of(names.begin(), names.end(), [&](const std::string& name) { return Folded(name) == folded; });
}

double SystemFigure(const TestRecord& test) {
  if (test.readings.empty()) return 0;
  return stats::Summarize(std::vector<double>(test.readings.begin(), test.readings.end())).mean;
}

Parts Attribute(const TestRecord& test, std::span<const std::string> serverNames) {
  Parts parts;
  const double system = SystemFigure(test);
  const MachineUse& use = test.use;
  if (!use.measured) {
    parts.unexplained = system;
    return parts;
  }
  parts.programUser = use.PercentOfMachine(use.programUserNs);
  parts.programKernel = use.PercentOfMachine(use.programKernelNs);
  parts.program = parts.programUser + parts.programKernel;
  parts.kernel = use.PercentOfMachine(use.interruptNs);
  uint64_t otherNs = 0;
  for (const ProcessUse& process : use.processes) {
    if (IsNamed(process.name, serverNames)) {
      parts.servers[process.name] += use.PercentOfMachine(process.cpuNs);
    } else {
      otherNs += process.cpuNs;
    }
  }
  parts.other = use.PercentOfMachine(otherNs);
  double explained = parts.program + parts.kernel + parts.other;
  for (const auto& server : parts.servers) explained += server.second;
  parts.unexplained = system - explained;
  // The snapshots' busy time comes from the same kernel accounting as the
  // parts, read at the same moments, so it is what they must add up to.
  const double busy = use.busyNs > 0 ? use.PercentOfMachine(use.busyNs) : system;
  const double missing = busy - explained;
  // The busy figure sums six of the kernel's fields and the parts two more,
  // each cut to its counter's step at both ends: a short test needs more room.
  const uint64_t step = std::max(use.kernelResolutionNs, use.resolutionNs);
  const double allowance = std::max(kAttributionAllowance, use.PercentOfMachine(8 * step));
  parts.attributionAvailable = missing >= -allowance && missing <= std::max(busy / 2, allowance);
  return parts;
}

std::vector<ProcessShare> BusiestOtherProcesses(std::span<const TestRecord* const> tests,
                                                std::span<const std::string> serverNames, size_t count) {
  std::map<std::string, uint64_t> used;
  double capacityNs = 0;
  for (const TestRecord* test : tests) {
    if (!test->use.measured) continue;
    capacityNs += static_cast<double>(test->use.wallNs) * test->use.processors;
    for (const ProcessUse& process : test->use.processes) {
      if (process.cpuNs > 0 && !IsNamed(process.name, serverNames)) used[process.name] += process.cpuNs;
    }
  }
  std::vector<ProcessShare> shares;
  if (capacityNs <= 0) return shares;
  for (const auto& [name, ns] : used) shares.push_back({name, 100.0 * static_cast<double>(ns) / capacityNs});
  std::sort(shares.begin(), shares.end(), [](const ProcessShare& a, const ProcessShare& b) {
    return a.percent != b.percent ? a.percent > b.percent : a.name < b.name;
  });
  if (shares.size() > count) shares.resize(count);
  return shares;
}
