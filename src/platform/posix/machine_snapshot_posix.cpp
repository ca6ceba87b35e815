#include <dirent.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/machine_snapshot.h"

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

// "pid (name) state ..." with user and kernel ticks the 14th and 15th fields;
// the name may hold spaces and parentheses, so it ends at the last ')'.
bool ReadProcess(const char* pid, uint64_t tickNs, ProcessTime& process) {
  char path[sizeof("/proc//stat") + sizeof(dirent::d_name)];
  std::snprintf(path, sizeof(path), "/proc/%s/stat", pid);
  FILE* file = std::fopen(path, "r");
  if (file == nullptr) return false;
  char text[1024];
  const size_t length = std::fread(text, 1, sizeof(text) - 1, file);
  std::fclose(file);
  text[length] = '\0';
  const char* open = std::strchr(text, '(');
  const char* close = std::strrchr(text, ')');
  if (open == nullptr || close == nullptr || close < open) return false;
  unsigned long long user = 0, kernel = 0;
  if (std::sscanf(close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &kernel) != 2) {
    return false;
  }
  process.pid = static_cast<uint32_t>(std::strtoul(pid, nullptr, 10));
  process.name.assign(open + 1, close);
  process.cpuNs = (user + kernel) * tickNs;
  return true;
}

}  // namespace

bool ReadMachineSnapshot(MachineSnapshot& snapshot) {
  const uint64_t tickNs = NanosecondsPerTick();
  snapshot = MachineSnapshot{};
  snapshot.resolutionNs = tickNs;
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0 || !ReadKernelTotals(snapshot, tickNs)) return false;
  snapshot.wallNs = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);

  rusage own{};
  if (getrusage(RUSAGE_SELF, &own) == 0) {
    snapshot.programUserNs = Microseconds(own.ru_utime) * 1000u;
    snapshot.programKernelNs = Microseconds(own.ru_stime) * 1000u;
  }

  DIR* proc = opendir("/proc");
  if (proc == nullptr) return true;
  const uint32_t self = static_cast<uint32_t>(getpid());
  snapshot.processes.reserve(512);
  ProcessTime process;
  while (const dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    if (!ReadProcess(entry->d_name, tickNs, process) || process.pid == self) continue;
    snapshot.processes.push_back(process);
  }
  closedir(proc);
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
