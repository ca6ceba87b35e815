#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/machine_snapshot.h"
#include "platform/posix/process_times_posix.h"

namespace platform {
namespace {

uint64_t NanosecondsPerTick() {
  const long ticks = sysconf(_SC_CLK_TCK);
  return ticks > 0 ? 1000000000ull / static_cast<uint64_t>(ticks) : 10000000ull;
}

uint64_t Microseconds(const timeval& t) {
  return static_cast<uint64_t>(t.tv_sec) * 1000000u + static_cast<uint64_t>(t.tv_usec);
}

// The "cpu" line of /proc/stat: busy and interrupt ticks of all processors.
bool ReadKernelTotals(MachineSnapshot& snapshot, uint64_t tickNs) {
  FILE* file = std::fopen("/proc/stat", "r");
  if (file == nullptr) return false;
  char line[512];
  bool haveTotal = false;
  uint32_t processors = 0;
  while (std::fgets(line, sizeof(line), file) != nullptr) {
    if (std::strncmp(line, "cpu", 3) != 0) break;
    if (line[3] != ' ') {
      ++processors;
      continue;
    }
    unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
    const int fields = std::sscanf(line + 3, "%llu %llu %llu %llu %llu %llu %llu %llu", &user, &nice, &system, &idle,
                                   &iowait, &irq, &softirq, &steal);
    if (fields < 7) continue;
    // Guest time is already part of user time.
    snapshot.busyNs = (user + nice + system + irq + softirq + steal) * tickNs;
    snapshot.interruptNs = (irq + softirq) * tickNs;
    haveTotal = true;
  }
  std::fclose(file);
  snapshot.processorCount = processors;
  return haveTotal && processors > 0;
}

}  // namespace

bool ReadMachineSnapshot(MachineSnapshot& snapshot) {
  const uint64_t tickNs = NanosecondsPerTick();
  snapshot = MachineSnapshot{};
  snapshot.kernelResolutionNs = tickNs;
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0 || !ReadKernelTotals(snapshot, tickNs)) return false;
  snapshot.wallNs = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);

  // The kernel's exact run time of the whole process, cut to microseconds.
  rusage own{};
  if (getrusage(RUSAGE_SELF, &own) == 0) {
    snapshot.programUserNs = Microseconds(own.ru_utime) * 1000u;
    snapshot.programKernelNs = Microseconds(own.ru_stime) * 1000u;
  }
  const uint64_t processStep = ReadProcessTimes("/proc", static_cast<uint32_t>(getpid()), ReadProcessClock, tickNs,
                                                snapshot.processes);
  snapshot.resolutionNs = std::max<uint64_t>(1000, processStep);
  return true;
}

double CurrentProcessorMhz() {
  // The frequency driver's figure where there is one, else what the kernel
  // last saw in /proc/cpuinfo.
  if (FILE* file = std::fopen("/sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "r")) {
    unsigned long long kilohertz = 0;
    const bool read = std::fscanf(file, "%llu", &kilohertz) == 1;
    std::fclose(file);
    if (read && kilohertz > 0) return static_cast<double>(kilohertz) / 1000.0;
  }
  FILE* file = std::fopen("/proc/cpuinfo", "r");
  if (file == nullptr) return 0;
  char line[256];
  double megahertz = 0;
  while (std::fgets(line, sizeof(line), file) != nullptr) {
    if (std::strncmp(line, "cpu MHz", 7) != 0) continue;
    const char* colon = std::strchr(line, ':');
    if (colon != nullptr) megahertz = std::strtod(colon + 1, nullptr);
    break;
  }
  std::fclose(file);
  return megahertz;
}

}  // namespace platform
